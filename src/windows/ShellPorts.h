// What the main window needs of the editor windows and of the workspace, as two small
// interfaces: the windows and workspace code plug in behind them, and tests use stand-ins.
#pragma once

#include "EditorWindows.h"
#include "kxSearchReplace.h"

#include <string>

class QPrinter;
struct SharedDialogs;

// One open editor window. The MDI child widget implements this next to being a QWidget; its
// close event must ask CloseQuery() and refuse the close when that says no. As a jump target it
// takes the marked line of the message lists.
class EditorWindowPort : public JumpTarget {
public:
  [[nodiscard]] virtual std::string FileName() const = 0;
  [[nodiscard]] virtual bool CanUndo() const = 0;
  [[nodiscard]] virtual bool CanRedo() const = 0;
  [[nodiscard]] virtual bool Modified() const = 0;
  [[nodiscard]] virtual bool SelAvail() const = 0;

  // The save prompt: may the window close? A Yes saves, a No drops the changes.
  virtual bool CloseQuery() = 0;
  // Writes the text when it is modified.
  virtual void SaveFile() = 0;

  virtual void Undo() = 0;
  virtual void Redo() = 0;
  virtual void CutToClipboard() = 0;
  virtual void CopyToClipboard() = 0;
  virtual void PasteFromClipboard() = 0;
  // Replaces the selection with nothing, as one undoable edit.
  virtual void DeleteSelection() = 0;
  virtual void SetEditorFont(const std::string& name, int size) = 0;

  // For the search commands.
  [[nodiscard]] virtual std::string SelText() const = 0;
  // Searches, and with the replace bits replaces, asking the window's replace prompt when told
  // to; returns the matches visited, 0 when there was none.
  virtual int SearchReplace(const std::string& search, const std::string& replace,
                            TkxSearchOptions options) = 0;
  [[nodiscard]] virtual int LineCount() const = 0;
  // Moves the caret to that line, keeping its column; the editor limits it to the text.
  virtual void SetCaretY(int line) = 0;

  // Prints the text (the selection when there is one) on `printer` at once.
  virtual void Print(QPrinter& printer) = 0;
};

// The workspace as the shell drives it.
class WorkspacePort {
public:
  virtual ~WorkspacePort() = default;

  // Loads the workspace file and rebuilds the tree and the class view, whatever happened; an
  // error is shown to the user. True when the file was read whole.
  virtual bool LoadWorkspace(const std::string& path) = 0;
  // Rebuilds the workspace tree from the model ("Projects" alone for an empty workspace).
  virtual void BuildTree() = 0;
  // Offers to save a modified workspace, closes the editor windows and empties the workspace.
  // False when the user kept it open.
  virtual bool CloseWorkspace() = 0;
  // The active project's file, empty when there is none.
  [[nodiscard]] virtual std::string ActiveProjectFile() const { return {}; }
  // The dialogs made once at start exist now: the commands that use them can be wired.
  virtual void AttachSharedDialogs(SharedDialogs& /*dialogs*/) {}
};
