// The commands that change text: typing, the deletions, line breaks with auto-indent, Tab, block
// indent and unindent, and replacing the selection. Each records what it changed as undo steps.
#pragma once

#include "EditorTypes.h"
#include "KeyMap.h"
#include "UndoList.h"

#include <string>
#include <string_view>

class TextEditor;

class EditingCommands {
public:
  explicit EditingCommands(TextEditor& core) : core_(core) {}

  // Carries out a text-changing command (nothing while read-only); false when `command` is none.
  bool Execute(EditorCommand command, char ch, const void* data);
  // Replaces the selection by `value` in normal mode, recording the cut and the insertion.
  // `trimJoined` as for SelectionText::Replace.
  void SetSelText(std::string_view value, bool trimJoined);
  // Removes the selection as one undo step of `reason`; `trimJoined` as for
  // SelectionText::Replace, by default as the options say.
  void RemoveSelection(UndoKind reason);
  void RemoveSelection(UndoKind reason, bool trimJoined);
  // Leading bytes 1 ... 32 of a line; 0 without auto-indent.
  [[nodiscard]] int LeadingBlanks(const std::string& line) const;

private:
  [[nodiscard]] bool SelectionSpansLines() const;
  void TypeString(std::string_view typed, bool imeString);
  void TypeOverSelection(const std::string& text, bool imeString);
  void DeleteLastChar();
  void DeleteChar();
  void DeleteSpan(TextPoint from, TextPoint to, UndoKind reason);
  void DeleteLine();
  void ClearAll();
  void LineBreak(bool moveCaret);
  [[nodiscard]] int TabWidthAt(TextPoint caret) const;
  void InsertTab();
  void BlockIndent();
  void BlockUnindent();

  TextEditor& core_;
};
