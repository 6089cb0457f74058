// What the shell's commands need of one open editor window, as a small interface: the document
// window implements it, and tests use stand-ins.
#pragma once

#include "EditorCommands.h"
#include "EditorTypes.h"
#include "EditorWindows.h"
#include "PrintCommands.h"
#include "SearchRun.h"
#include "TextEncoding.h"

#include <string>

struct Settings;

// Where the caret is and how the editor takes input, as the status bar shows it.
struct EditorStatus {
  int line = 1;   // the caret's, 1-based
  int column = 1; // the caret's, 1-based
  bool insertMode = true;
  SelectionMode selectionMode = SelectionMode::Normal;
  bool modified = false;
  std::string encoding; // "UTF-8" or "Windows-1252"; empty when not shown

  bool operator==(const EditorStatus&) const = default;
};

// One open editor window. The MDI child widget implements this next to being a QWidget; its
// close event must ask CloseQuery() and refuse the close when that says no. As a jump target it
// takes the marked line of the message lists; the Print command prints it.
class EditorWindowPort : public JumpTarget, public PrintableDocument {
public:
  [[nodiscard]] virtual bool CanUndo() const = 0;
  [[nodiscard]] virtual bool CanRedo() const = 0;
  [[nodiscard]] virtual bool Modified() const = 0;
  [[nodiscard]] virtual bool SelAvail() const = 0;
  [[nodiscard]] virtual EditorStatus Status() const = 0;

  // The save prompt: may the window close? A Yes saves, a No drops the changes.
  virtual bool CloseQuery() = 0;
  // Writes the text when it is modified.
  virtual void SaveFile() = 0;
  // Asks what to do when another program changed or deleted the file since it was read or
  // written; may reload it. Raises TessarinError when a reload cannot read it.
  virtual void NoticeOutsideChanges() = 0;

  virtual void Undo() = 0;
  virtual void Redo() = 0;
  virtual void CutToClipboard() = 0;
  virtual void CopyToClipboard() = 0;
  virtual void PasteFromClipboard() = 0;
  // Replaces the selection with nothing, as one undoable edit.
  virtual void DeleteSelection() = 0;
  // Indent or unindent the lines of the selection, or the caret's line, as one undoable edit.
  virtual void BlockIndent() = 0;
  virtual void BlockUnindent() = 0;
  // Runs a fold command (ecFold, ecUnfold, ecFoldAll, ecUnfoldAll) in the view with the caret.
  virtual void Fold(EditorCommand command) = 0;
  // Takes the editor font and undo levels of the settings.
  virtual void ApplySettings(const Settings& settings) = 0;

  // For the search commands.
  [[nodiscard]] virtual std::string SelText() const = 0;
  // Searches, and with the replace bits replaces, asking the window's replace prompt when told
  // to; returns the matches visited, 0 when there was none.
  virtual int SearchReplace(const std::string& search, const std::string& replace, SearchFlags options) = 0;
  [[nodiscard]] virtual int LineCount() const = 0;
  // The identifier (letters, digits, underscores, bytes above 127) at or just before the caret;
  // empty when there is none.
  [[nodiscard]] virtual std::string WordAtCaret() const = 0;

  // For Find and Replace in Files: the text as the window shows it, lines joined by LF.
  [[nodiscard]] virtual std::string ShownText() const = 0;
  // Replaces lines `first` to `last` (1-based) by `text` (lines joined by LF) as one undoable edit.
  virtual void ReplaceLines(int first, int last, const std::string& text) = 0;
};

// The encoding of the editor's text, as its status shows it (none: Windows-1252, the classic).
[[nodiscard]] inline TextEncoding EncodingOf(const EditorWindowPort& editor) {
  return editor.Status().encoding == EncodingName(TextEncoding::Utf8) ? TextEncoding::Utf8
                                                                      : TextEncoding::Windows1252;
}

// The identifier around byte column `column` (1-based) of `line`, or the one that ends just
// before it.
[[nodiscard]] std::string IdentifierAt(const std::string& line, int column);
