// Qt key events turned into the editor's key codes (the Windows virtual key codes) and modifier sets.
#pragma once

#include "KeyMap.h"

#include <Qt>

// 0 for keys the editor has no code for.
[[nodiscard]] std::uint16_t VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers);
[[nodiscard]] ShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers);
