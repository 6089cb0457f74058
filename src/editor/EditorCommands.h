// The editor's command numbers and their names. Every change of the text, the caret or the
// selection that a key, a menu or a program asks for is one numbered command; 1 ... 1000 are the
// editor's own, 1001 and above are left to the program, 0 is none.
#pragma once

#include <cstdint>
#include <string>
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
inline constexpr EditorCommand ecFold = 621;
inline constexpr EditorCommand ecUnfold = 622;
inline constexpr EditorCommand ecFoldAll = 623;
inline constexpr EditorCommand ecUnfoldAll = 624;

inline constexpr EditorCommand ecGotoMarker0 = 701; // .. ecGotoMarker0 + 9
inline constexpr EditorCommand ecSetMarker0 = 751;  // .. ecSetMarker0 + 9

inline constexpr EditorCommand ecUserFirst = 1001;

struct CommandName {
  EditorCommand command;
  const char* name;
};

// The 93 named commands in their fixed order.
[[nodiscard]] const std::vector<CommandName>& EditorCommandNames();
// The command's name, or its number as text when it has none.
[[nodiscard]] std::string EditorCommandToIdent(EditorCommand command);
