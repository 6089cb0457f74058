// Small value types every part of the editor control shares: points, selection modes, options,
// status bits and colours.
#pragma once

#include "Highlighter.h"

#include <cstdint>

// A caret or selection position: 1-based column (byte index + 1) and 1-based line.
struct TextPoint {
  int X = 1;
  int Y = 1;
  bool operator==(const TextPoint&) const = default;
};

// True when `a` comes before `b` in the text (line first, then column).
[[nodiscard]] inline bool PointBefore(TextPoint a, TextPoint b) {
  return a.Y < b.Y || (a.Y == b.Y && a.X < b.X);
}

// The values are those the private clipboard format stores.
enum class SelectionMode : std::uint8_t { Normal = 0, Column = 1, Line = 2 };

enum EditorOption : std::uint16_t {
  eoAutoIndent = 1 << 0,
  eoDragDropEditing = 1 << 1,
  eoDropFiles = 1 << 2,
  eoHalfPageScroll = 1 << 3,
  eoNoCaret = 1 << 4,
  eoNoSelection = 1 << 5,
  eoScrollPastEol = 1 << 6,
  eoShowScrollHint = 1 << 7,
  eoTabsToSpaces = 1 << 8,
  eoSmartTabs = 1 << 9,
  // Undo and redo take back a run of typed characters, or a whole Replace All, at a time.
  eoGroupUndo = 1 << 10,
  // The keys as today's desktop editors have them: Home goes to the first non-blank and from there to
  // column 1, word moves and deletions stop at runs of punctuation, and Shift+Tab without a
  // selection unindents the caret's line.
  eoDesktopKeys = 1 << 11,
  // Typed brackets and quotes bring their closer along; see AutoPairs.
  eoAutoClosePairs = 1 << 12,
};
using EditorOptions = std::uint16_t;
inline constexpr EditorOptions kDefaultEditorOptions = 0x3C3;
// As today's desktop editors edit: no text past line ends, and the keys they share.
inline constexpr EditorOptions kDesktopEditorOptions =
    (kDefaultEditorOptions & ~eoScrollPastEol) | eoGroupUndo | eoDesktopKeys | eoAutoClosePairs;

enum StatusChange : std::uint8_t {
  stCaretX = 1 << 1,
  stCaretY = 1 << 2,
  stLeftChar = 1 << 3,
  stTopLine = 1 << 4,
  stInsertMode = 1 << 5,
  stModified = 1 << 6,
  stSelection = 1 << 7,
};
using StatusChanges = std::uint8_t;

// More system colours beside the highlighter's (ColorValue, clNone, clWindow, clWindowText).
inline constexpr ColorValue clSilver = 0xC0C0C0;
inline constexpr ColorValue clBtnFace = 0x8000000F;
inline constexpr ColorValue clHighlight = 0x8000000D;
inline constexpr ColorValue clHighlightText = 0x8000000E;
inline constexpr ColorValue clBtnHighlight = 0x80000014;
inline constexpr ColorValue clBtnShadow = 0x80000010;
