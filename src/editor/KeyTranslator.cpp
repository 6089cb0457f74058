// Key-press translation.
#include "KeyTranslator.h"

EditorCommand KeyTranslator::KeyDown(const KeyMap& keys, std::uint16_t key, ShiftState shift) {
  int found = keys.FindKeySequence(lastKey_, lastShift_, key, shift);
  if (found < 0) found = keys.FindKey(key, shift);
  const EditorCommand command = found >= 0 ? keys.Items(found).Command() : ecNone;
  // Only keys from 30 to 145 can start a two-key sequence.
  if (command != ecNone || key < 30 || key > 145) {
    lastKey_ = 0;
    lastShift_ = 0;
  } else {
    lastKey_ = key;
    lastShift_ = shift;
  }
  ignoreNextChar_ = command != ecNone;
  return command;
}

bool KeyTranslator::AcceptChar() {
  if (ignoreNextChar_) {
    ignoreNextChar_ = false;
    return false;
  }
  return true;
}
