// Editor command numbers and names, the key map (single keys and two-key sequences) and the
// translation of key presses into commands. Key codes are the classic virtual key codes.
#pragma once

#include "UserQuestions.h"

#include <cstdint>
#include <memory>
#include <vector>

using EditorCommand = std::uint16_t;

inline constexpr EditorCommand ecNone = 0;
inline constexpr EditorCommand ecLeft = 1;
inline constexpr EditorCommand ecRight = 2;
inline constexpr EditorCommand ecUp = 3;
inline constexpr EditorCommand ecDown = 4;
inline constexpr EditorCommand ecWordLeft = 5;
inline constexpr EditorCommand ecWordRight = 6;
inline constexpr EditorCommand ecLineStart = 7;
inline constexpr EditorCommand ecLineEnd = 8;
inline constexpr EditorCommand ecPageUp = 9;
inline constexpr EditorCommand ecPageDown = 10;
inline constexpr EditorCommand ecPageLeft = 11;
inline constexpr EditorCommand ecPageRight = 12;
inline constexpr EditorCommand ecPageTop = 13;
inline constexpr EditorCommand ecPageBottom = 14;
inline constexpr EditorCommand ecEditorTop = 15;
inline constexpr EditorCommand ecEditorBottom = 16;
inline constexpr EditorCommand ecGotoXY = 17;

// Each selecting variant is its plain move + ecSelection.
inline constexpr EditorCommand ecSelection = 100;
inline constexpr EditorCommand ecSelLeft = ecLeft + ecSelection;
inline constexpr EditorCommand ecSelRight = ecRight + ecSelection;
inline constexpr EditorCommand ecSelUp = ecUp + ecSelection;
inline constexpr EditorCommand ecSelDown = ecDown + ecSelection;
inline constexpr EditorCommand ecSelWordLeft = ecWordLeft + ecSelection;
inline constexpr EditorCommand ecSelWordRight = ecWordRight + ecSelection;
inline constexpr EditorCommand ecSelLineStart = ecLineStart + ecSelection;
inline constexpr EditorCommand ecSelLineEnd = ecLineEnd + ecSelection;
inline constexpr EditorCommand ecSelPageUp = ecPageUp + ecSelection;
inline constexpr EditorCommand ecSelPageDown = ecPageDown + ecSelection;
inline constexpr EditorCommand ecSelPageLeft = ecPageLeft + ecSelection;
inline constexpr EditorCommand ecSelPageRight = ecPageRight + ecSelection;
inline constexpr EditorCommand ecSelPageTop = ecPageTop + ecSelection;
inline constexpr EditorCommand ecSelPageBottom = ecPageBottom + ecSelection;
inline constexpr EditorCommand ecSelEditorTop = ecEditorTop + ecSelection;
inline constexpr EditorCommand ecSelEditorBottom = ecEditorBottom + ecSelection;
inline constexpr EditorCommand ecSelGotoXY = ecGotoXY + ecSelection;

inline constexpr EditorCommand ecSelectAll = 199;

inline constexpr EditorCommand ecDeleteLastChar = 401;
inline constexpr EditorCommand ecDeleteChar = 402;
inline constexpr EditorCommand ecDeleteWord = 403;
inline constexpr EditorCommand ecDeleteLastWord = 404;
inline constexpr EditorCommand ecDeleteBOL = 405;
inline constexpr EditorCommand ecDeleteEOL = 406;
inline constexpr EditorCommand ecDeleteLine = 407;
inline constexpr EditorCommand ecClearAll = 408;
inline constexpr EditorCommand ecLineBreak = 409;
inline constexpr EditorCommand ecInsertLine = 410;
inline constexpr EditorCommand ecChar = 411;

inline constexpr EditorCommand ecImeStr = 500;

inline constexpr EditorCommand ecUndo = 601;
inline constexpr EditorCommand ecRedo = 602;
inline constexpr EditorCommand ecCut = 603;
inline constexpr EditorCommand ecCopy = 604;
inline constexpr EditorCommand ecPaste = 605;
inline constexpr EditorCommand ecScrollUp = 606;
inline constexpr EditorCommand ecScrollDown = 607;
inline constexpr EditorCommand ecScrollLeft = 608;
inline constexpr EditorCommand ecScrollRight = 609;
inline constexpr EditorCommand ecInsertMode = 610;
inline constexpr EditorCommand ecOverwriteMode = 611;
inline constexpr EditorCommand ecToggleMode = 612;
inline constexpr EditorCommand ecBlockIndent = 613;
inline constexpr EditorCommand ecBlockUnindent = 614;
inline constexpr EditorCommand ecNormalSelect = 615;
inline constexpr EditorCommand ecColumnSelect = 616;
inline constexpr EditorCommand ecLineSelect = 617;
inline constexpr EditorCommand ecTab = 618;
inline constexpr EditorCommand ecShiftTab = 619;
inline constexpr EditorCommand ecMatchBracket = 620;

inline constexpr EditorCommand ecGotoMarker0 = 701; // .. ecGotoMarker0 + 9
inline constexpr EditorCommand ecSetMarker0 = 751;  // .. ecSetMarker0 + 9

inline constexpr EditorCommand ecUserFirst = 1001;

// Modifier set of a key: bit 0 Shift, bit 1 Alt, bit 2 Ctrl.
using ShiftState = std::uint8_t;
inline constexpr ShiftState ssShift = 1;
inline constexpr ShiftState ssAlt = 2;
inline constexpr ShiftState ssCtrl = 4;

// Packed shortcut: key code in the low byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
using ShortCut = std::uint16_t;
[[nodiscard]] ShortCut PackShortCut(std::uint16_t key, ShiftState shift);
void UnpackShortCut(ShortCut shortCut, std::uint16_t& key, ShiftState& shift);

class KeyMapError : public TessarinError {
public:
  using TessarinError::TessarinError;
};

class KeyMap;

class KeyBinding {
public:
  std::uint16_t Key = 0;
  ShiftState Shift = 0;
  std::uint16_t Key2 = 0;
  ShiftState Shift2 = 0;

  [[nodiscard]] EditorCommand Command() const { return command_; }
  void SetCommand(EditorCommand command) { command_ = command; }

  // The stored forms; setting a pair another item of the map already has raises KeyMapError
  // "Shortcut already exists" and leaves this item as it was.
  [[nodiscard]] ShortCut GetShortCut() const { return PackShortCut(Key, Shift); }
  [[nodiscard]] ShortCut GetShortCut2() const { return PackShortCut(Key2, Shift2); }
  void SetShortCut(ShortCut value);
  void SetShortCut2(ShortCut value);

private:
  friend class KeyMap;
  explicit KeyBinding(KeyMap* owner) : owner_(owner) {}
  void CheckFree(ShortCut first, ShortCut second) const;

  KeyMap* owner_;
  EditorCommand command_ = ecNone;
};

class KeyMap {
public:
  KeyMap() = default;
  KeyMap(const KeyMap&) = delete;
  KeyMap& operator=(const KeyMap&) = delete;

  KeyBinding& Add();
  // Clears this map and copies every item of `source` in order.
  void Assign(const KeyMap& source);
  void Clear() { items_.clear(); }
  void Delete(int index);
  [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }
  [[nodiscard]] KeyBinding& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  [[nodiscard]] const KeyBinding& Items(int index) const {
    return *items_.at(static_cast<std::size_t>(index));
  }

  [[nodiscard]] int FindKey(std::uint16_t key, ShiftState shift) const;
  [[nodiscard]] int FindKeySequence(std::uint16_t key1, ShiftState shift1, std::uint16_t key2,
                                    ShiftState shift2) const;
  [[nodiscard]] int FindShortcutPair(ShortCut shortCut, ShortCut shortCut2) const;

  // The 79 default bindings.
  void LoadDefaultMap();

private:
  // Items keep their address for their lifetime (callers hold references into the map).
  std::vector<std::unique_ptr<KeyBinding>> items_;
};

// The editor's keyboard state: the first half of a possible two-key sequence and the flag that
// swallows the character of a key that produced a command.
class KeyTranslator {
public:
  // Key-down: the command bound to the key (or to the remembered key and this one).
  [[nodiscard]] EditorCommand KeyDown(const KeyMap& keys, std::uint16_t key, ShiftState shift);
  // Character: true when the character is to be typed (no command swallowed it).
  [[nodiscard]] bool AcceptChar();

  [[nodiscard]] std::uint16_t LastKey() const { return lastKey_; }
  [[nodiscard]] ShiftState LastShift() const { return lastShift_; }
  [[nodiscard]] bool IgnoreNextChar() const { return ignoreNextChar_; }

private:
  std::uint16_t lastKey_ = 0;
  ShiftState lastShift_ = 0;
  bool ignoreNextChar_ = false;
};

// Classic virtual key codes the default map uses.
namespace vk {
inline constexpr std::uint16_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18;
inline constexpr std::uint16_t Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39,
                               Down = 40, Insert = 45, Delete = 46;
} // namespace vk
