// Small value types every part of the editor control shares: points, selection modes, options,
// status bits and colours.
#pragma once

#include "kxHighlighter.h"

#include <cstdint>

// A caret or selection position: 1-based column (byte index + 1) and 1-based line.
struct TkxPoint {
  int X = 1;
  int Y = 1;
  bool operator==(const TkxPoint&) const = default;
};

// True when `a` comes before `b` in the text (line first, then column).
[[nodiscard]] inline bool PointBefore(TkxPoint a, TkxPoint b) {
  return a.Y < b.Y || (a.Y == b.Y && a.X < b.X);
}

enum TSelectionMode : std::uint8_t { smNormal = 0, smColumn = 1, smLine = 2 };

enum TkxEditorOption : std::uint16_t {
  kxeoAutoIndent = 1 << 0,
  kxeoDragDropEditing = 1 << 1,
  kxeoDropFiles = 1 << 2,
  kxeoHalfPageScroll = 1 << 3,
  kxeoNoCaret = 1 << 4,
  kxeoNoSelection = 1 << 5,
  kxeoScrollPastEol = 1 << 6,
  kxeoShowScrollHint = 1 << 7,
  kxeoTabsToSpaces = 1 << 8,
  kxeoSmartTabs = 1 << 9,
};
using TkxEditorOptions = std::uint16_t;
inline constexpr TkxEditorOptions kxDefaultEditorOptions = 0x3C3;

enum TkxStatusChange : std::uint8_t {
  stCaretX = 1 << 1,
  stCaretY = 1 << 2,
  stLeftChar = 1 << 3,
  stTopLine = 1 << 4,
  stInsertMode = 1 << 5,
  stModified = 1 << 6,
  stSelection = 1 << 7,
};
using TkxStatusChanges = std::uint8_t;

enum TkxCaretType : std::uint8_t { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };

// More system colours beside the highlighter's (TColor, clNone, clWindow, clWindowText).
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clHighlight = 0x8000000D;
inline constexpr TColor clHighlightText = 0x8000000E;
inline constexpr TColor clBtnHighlight = 0x80000014;
inline constexpr TColor clBtnShadow = 0x80000010;
