// Key presses turned into editor commands through a key map, two-key sequences included.
#pragma once

#include "KeyMap.h"

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
