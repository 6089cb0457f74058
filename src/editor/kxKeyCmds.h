// Editor command numbers and names, the key map (single keys and two-key sequences) and the
// translation of key presses into commands. Key codes are the classic virtual key codes.
#pragma once

#include "UserQuestions.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using TkxEditorCommand = std::uint16_t;

inline constexpr TkxEditorCommand ecNone = 0;
inline constexpr TkxEditorCommand ecLeft = 1;
inline constexpr TkxEditorCommand ecRight = 2;
inline constexpr TkxEditorCommand ecUp = 3;
inline constexpr TkxEditorCommand ecDown = 4;
inline constexpr TkxEditorCommand ecWordLeft = 5;
inline constexpr TkxEditorCommand ecWordRight = 6;
inline constexpr TkxEditorCommand ecLineStart = 7;
inline constexpr TkxEditorCommand ecLineEnd = 8;
inline constexpr TkxEditorCommand ecPageUp = 9;
inline constexpr TkxEditorCommand ecPageDown = 10;
inline constexpr TkxEditorCommand ecPageLeft = 11;
inline constexpr TkxEditorCommand ecPageRight = 12;
inline constexpr TkxEditorCommand ecPageTop = 13;
inline constexpr TkxEditorCommand ecPageBottom = 14;
inline constexpr TkxEditorCommand ecEditorTop = 15;
inline constexpr TkxEditorCommand ecEditorBottom = 16;
inline constexpr TkxEditorCommand ecGotoXY = 17;

// Each selecting variant is its plain move + ecSelection.
inline constexpr TkxEditorCommand ecSelection = 100;
inline constexpr TkxEditorCommand ecSelLeft = ecLeft + ecSelection;
inline constexpr TkxEditorCommand ecSelRight = ecRight + ecSelection;
inline constexpr TkxEditorCommand ecSelUp = ecUp + ecSelection;
inline constexpr TkxEditorCommand ecSelDown = ecDown + ecSelection;
inline constexpr TkxEditorCommand ecSelWordLeft = ecWordLeft + ecSelection;
inline constexpr TkxEditorCommand ecSelWordRight = ecWordRight + ecSelection;
inline constexpr TkxEditorCommand ecSelLineStart = ecLineStart + ecSelection;
inline constexpr TkxEditorCommand ecSelLineEnd = ecLineEnd + ecSelection;
inline constexpr TkxEditorCommand ecSelPageUp = ecPageUp + ecSelection;
inline constexpr TkxEditorCommand ecSelPageDown = ecPageDown + ecSelection;
inline constexpr TkxEditorCommand ecSelPageLeft = ecPageLeft + ecSelection;
inline constexpr TkxEditorCommand ecSelPageRight = ecPageRight + ecSelection;
inline constexpr TkxEditorCommand ecSelPageTop = ecPageTop + ecSelection;
inline constexpr TkxEditorCommand ecSelPageBottom = ecPageBottom + ecSelection;
inline constexpr TkxEditorCommand ecSelEditorTop = ecEditorTop + ecSelection;
inline constexpr TkxEditorCommand ecSelEditorBottom = ecEditorBottom + ecSelection;
inline constexpr TkxEditorCommand ecSelGotoXY = ecGotoXY + ecSelection;

inline constexpr TkxEditorCommand ecSelectAll = 199;

inline constexpr TkxEditorCommand ecDeleteLastChar = 401;
inline constexpr TkxEditorCommand ecDeleteChar = 402;
inline constexpr TkxEditorCommand ecDeleteWord = 403;
inline constexpr TkxEditorCommand ecDeleteLastWord = 404;
inline constexpr TkxEditorCommand ecDeleteBOL = 405;
inline constexpr TkxEditorCommand ecDeleteEOL = 406;
inline constexpr TkxEditorCommand ecDeleteLine = 407;
inline constexpr TkxEditorCommand ecClearAll = 408;
inline constexpr TkxEditorCommand ecLineBreak = 409;
inline constexpr TkxEditorCommand ecInsertLine = 410;
inline constexpr TkxEditorCommand ecChar = 411;

inline constexpr TkxEditorCommand ecImeStr = 500;

inline constexpr TkxEditorCommand ecUndo = 601;
inline constexpr TkxEditorCommand ecRedo = 602;
inline constexpr TkxEditorCommand ecCut = 603;
inline constexpr TkxEditorCommand ecCopy = 604;
inline constexpr TkxEditorCommand ecPaste = 605;
inline constexpr TkxEditorCommand ecScrollUp = 606;
inline constexpr TkxEditorCommand ecScrollDown = 607;
inline constexpr TkxEditorCommand ecScrollLeft = 608;
inline constexpr TkxEditorCommand ecScrollRight = 609;
inline constexpr TkxEditorCommand ecInsertMode = 610;
inline constexpr TkxEditorCommand ecOverwriteMode = 611;
inline constexpr TkxEditorCommand ecToggleMode = 612;
inline constexpr TkxEditorCommand ecBlockIndent = 613;
inline constexpr TkxEditorCommand ecBlockUnindent = 614;
inline constexpr TkxEditorCommand ecNormalSelect = 615;
inline constexpr TkxEditorCommand ecColumnSelect = 616;
inline constexpr TkxEditorCommand ecLineSelect = 617;
inline constexpr TkxEditorCommand ecTab = 618;
inline constexpr TkxEditorCommand ecShiftTab = 619;
inline constexpr TkxEditorCommand ecMatchBracket = 620;

inline constexpr TkxEditorCommand ecGotoMarker0 = 701; // .. ecGotoMarker0 + 9
inline constexpr TkxEditorCommand ecSetMarker0 = 751;  // .. ecSetMarker0 + 9

inline constexpr TkxEditorCommand ecUserFirst = 1001;

struct TkxCommandName {
  TkxEditorCommand command;
  const char* name;
};

// The 89 named commands in their fixed order.
[[nodiscard]] const std::vector<TkxCommandName>& EditorCommandNames();
// The command's name, or its number as text when it has none.
[[nodiscard]] std::string EditorCommandToIdent(TkxEditorCommand command);
// Reads a name (letter case ignored) or a plain number; nothing when it is neither.
[[nodiscard]] std::optional<TkxEditorCommand> IdentToEditorCommand(std::string_view ident);

// Modifier set of a key: bit 0 Shift, bit 1 Alt, bit 2 Ctrl.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;

// Packed shortcut: key code in the low byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
using TShortCut = std::uint16_t;
[[nodiscard]] TShortCut ShortCut(std::uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift);

class EkxKeyError : public TessarinError {
public:
  using TessarinError::TessarinError;
};

class TkxKeyStrokes;

class TkxKeyStroke {
public:
  std::uint16_t Key = 0;
  TShiftState Shift = 0;
  std::uint16_t Key2 = 0;
  TShiftState Shift2 = 0;

  [[nodiscard]] TkxEditorCommand Command() const { return command_; }
  void SetCommand(TkxEditorCommand command) { command_ = command; }

  // The stored forms; setting a pair another item of the map already has raises EkxKeyError
  // "Shortcut already exists" and leaves this item as it was.
  [[nodiscard]] TShortCut GetShortCut() const { return ShortCut(Key, Shift); }
  [[nodiscard]] TShortCut GetShortCut2() const { return ShortCut(Key2, Shift2); }
  void SetShortCut(TShortCut value);
  void SetShortCut2(TShortCut value);

private:
  friend class TkxKeyStrokes;
  explicit TkxKeyStroke(TkxKeyStrokes* owner) : owner_(owner) {}
  void CheckFree(TShortCut first, TShortCut second) const;

  TkxKeyStrokes* owner_;
  TkxEditorCommand command_ = ecNone;
};

class TkxKeyStrokes {
public:
  TkxKeyStrokes() = default;
  TkxKeyStrokes(const TkxKeyStrokes&) = delete;
  TkxKeyStrokes& operator=(const TkxKeyStrokes&) = delete;

  TkxKeyStroke& Add();
  // Clears this map and copies every item of `source` in order.
  void Assign(const TkxKeyStrokes& source);
  void Clear() { items_.clear(); }
  void Delete(int index);
  [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }
  [[nodiscard]] TkxKeyStroke& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  [[nodiscard]] const TkxKeyStroke& Items(int index) const {
    return *items_.at(static_cast<std::size_t>(index));
  }

  [[nodiscard]] int FindKey(std::uint16_t key, TShiftState shift) const;
  [[nodiscard]] int FindKeySequence(std::uint16_t key1, TShiftState shift1, std::uint16_t key2,
                                    TShiftState shift2) const;
  [[nodiscard]] int FindShortcutPair(TShortCut shortCut, TShortCut shortCut2) const;

  // The 79 default bindings.
  void LoadDefaultMap();

private:
  // Items keep their address for their lifetime (callers hold references into the map).
  std::vector<std::unique_ptr<TkxKeyStroke>> items_;
};

// The editor's keyboard state: the first half of a possible two-key sequence and the flag that
// swallows the character of a key that produced a command.
class TkxKeyTranslator {
public:
  // Key-down: the command bound to the key (or to the remembered key and this one).
  [[nodiscard]] TkxEditorCommand KeyDown(const TkxKeyStrokes& keys, std::uint16_t key, TShiftState shift);
  // Character: true when the character is to be typed (no command swallowed it).
  [[nodiscard]] bool AcceptChar();

  [[nodiscard]] std::uint16_t LastKey() const { return lastKey_; }
  [[nodiscard]] TShiftState LastShift() const { return lastShift_; }
  [[nodiscard]] bool IgnoreNextChar() const { return ignoreNextChar_; }

private:
  std::uint16_t lastKey_ = 0;
  TShiftState lastShift_ = 0;
  bool ignoreNextChar_ = false;
};

// Classic virtual key codes the default map uses.
namespace vk {
inline constexpr std::uint16_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18;
inline constexpr std::uint16_t Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39,
                               Down = 40, Insert = 45, Delete = 46;
} // namespace vk
