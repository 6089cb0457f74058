// Qt key to virtual key code table.
#include "QtKeys.h"

#include <utility>

namespace {

// Keys whose code is not simply their letter or digit.
constexpr std::pair<int, std::uint16_t> kNamedKeys[] = {
    {Qt::Key_Backspace, vk::Back},  {Qt::Key_Tab, vk::Tab},       {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Return, vk::Return},   {Qt::Key_Enter, vk::Return},  {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control}, {Qt::Key_Alt, vk::Menu},      {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},         {Qt::Key_Escape, 27},         {Qt::Key_Space, 32},
    {Qt::Key_PageUp, vk::Prior},    {Qt::Key_PageDown, vk::Next}, {Qt::Key_End, vk::End},
    {Qt::Key_Home, vk::Home},       {Qt::Key_Left, vk::Left},     {Qt::Key_Up, vk::Up},
    {Qt::Key_Right, vk::Right},     {Qt::Key_Down, vk::Down},     {Qt::Key_Print, 44},
    {Qt::Key_Insert, vk::Insert},   {Qt::Key_Delete, vk::Delete}, {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},         {Qt::Key_ScrollLock, 145},    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},           {Qt::Key_Equal, 187},         {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},           {Qt::Key_Less, 188},          {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},      {Qt::Key_Period, 190},        {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},           {Qt::Key_Question, 191},      {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},      {Qt::Key_BracketLeft, 219},   {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},       {Qt::Key_Bar, 220},           {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},      {Qt::Key_Apostrophe, 222},    {Qt::Key_QuoteDbl, 222},
};

// Shifted digits arrive as their symbols; the key underneath is what the map binds.
constexpr std::pair<int, std::uint16_t> kShiftedDigits[] = {
    {Qt::Key_ParenRight, '0'},  {Qt::Key_Exclam, '1'},    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},  {Qt::Key_Dollar, '4'},    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
};

} // namespace

std::uint16_t VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<std::uint16_t>(96 + key - Qt::Key_0);
    if (key == Qt::Key_Asterisk) return 106;
    if (key == Qt::Key_Plus) return 107;
    if (key == Qt::Key_Minus) return 109;
    if (key == Qt::Key_Period) return 110;
    if (key == Qt::Key_Slash) return 111;
  }
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
    return static_cast<std::uint16_t>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<std::uint16_t>(112 + key - Qt::Key_F1);
  for (const auto& [qtKey, code] : kNamedKeys)
    if (qtKey == key) return code;
  if (modifiers & Qt::ShiftModifier)
    for (const auto& [qtKey, code] : kShiftedDigits)
      if (qtKey == key) return code;
  return 0;
}

ShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers) {
  ShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  return shift;
}
