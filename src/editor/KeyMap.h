// The key map: single keys and two-key sequences bound to editor commands, in a table the
// program can change. Key codes are the Windows virtual key codes.
#pragma once

#include "EditorCommands.h"
#include "UserQuestions.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

// What an item of the default map is kept by when the user gives it other keys: its command and
// its default keys ("ecCopy 402D").
[[nodiscard]] std::string KeyBindingName(const KeyBinding& item);
// Fills `map` with the default map as the user changed it (`changes` by KeyBindingName): a
// changed item gets its new key, or goes with none; a change that would give a key twice is
// passed over, the earlier item keeping the key.
void LoadUserKeyMap(KeyMap& map, const std::map<std::string, std::uint16_t>& changes);

// The virtual key codes the default map uses.
namespace vk {
inline constexpr std::uint16_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18;
inline constexpr std::uint16_t Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39,
                               Down = 40, Insert = 45, Delete = 46;
} // namespace vk
