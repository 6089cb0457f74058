// The navigation commands in the main window: the Go menu's actions, the editor's context menu,
// the "References" page, the Quick Open and Go to Symbol lists, and every open editor document
// fed to the workspace's navigator as it changes.
#pragma once

#include "CompletionPopup.h"
#include "NavigationCommands.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BuildDiagnostics;
class DocumentWindow;
class MainActions;
class PickListDialog;
class QDialog;
class QHelpEvent;
class EditorWidget;
struct Settings;
class PlacesPage;
struct Place;
class QMdiSubWindow;
class QTabWidget;
class QWidget;
class WindowCommands;
class WorkspacePort;

using PlaceChooser = std::function<std::optional<std::size_t>(const std::vector<std::string>& labels)>;

struct CodeNavigationShell {
  MainActions& actions;
  WindowCommands& windows;
  std::function<WorkspacePort&()> workspace;
  QTabWidget& messagePages;
  QWidget& window; // owner of the dialogs
  // Finds the open editor window of a file or opens one; none when the file cannot be read.
  std::function<QMdiSubWindow*(const std::string& path)> openEditorWindow;
  std::function<void(const std::string& text)> tell;
  // None: a menu at the caret.
  PlaceChooser choose;
  std::function<int(QDialog& dialog)> runDialog;
  const Settings& settings; // whether clangd's warnings are marked
};

class CodeNavigation : public QObject {
  Q_OBJECT
public:
  explicit CodeNavigation(CodeNavigationShell shell);
  ~CodeNavigation() override;

  QWidget* ReferencesSheet;
  PlacesPage* ReferencesResults;

  [[nodiscard]] NavigationCommands& Commands() { return commands_; }
  [[nodiscard]] CompletionPopup& Completion() { return completions_; }
  // The idle refresh: each editor window's document is fed to the workspace's navigator (a new
  // one after the workspace changed), and has the context menu.
  void FollowWindows();
  void QuickOpen();
  void GoToSymbol();

protected:
  // Ctrl+click goes to the definition; a right click puts the caret where the menu's commands ask;
  // Ctrl+Space, "." and "->" list what may follow.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  [[nodiscard]] std::optional<CaretPlace> Caret() const;
  void Show(const CaretPlace& place);
  void ShowReferences(const std::string& name, const Locations& places);
  // The column of the first use the References page shows on a place's line.
  [[nodiscard]] int ReferenceColumn(const Place& place) const;
  [[nodiscard]] std::optional<std::size_t> ChooseAtCaret(const std::vector<std::string>& labels);
  void Follow(DocumentWindow& window, const std::shared_ptr<Navigator>& navigator);
  // The last build's errors and warnings of the window's file become its build marks, once
  // for each change of them: in between the marks move with the lines.
  static void MarkBuildMessages(DocumentWindow& window, const BuildDiagnostics& build);
  // The server's diagnostics of a file become the marks of its window.
  void MarkDiagnostics(const std::string& path, const std::vector<ServerDiagnostic>& diagnostics);
  // The places that define `name` in the open documents, by the shape of their lines.
  [[nodiscard]] Locations OpenDefinitions(const std::string& name, TextRole role) const;
  // The places of the workspace's assembler files that define `name`.
  [[nodiscard]] Locations AssemblyDefinitions(const std::string& name) const;
  [[nodiscard]] std::optional<std::string> AskNewName(const std::string& oldName);
  // Previews the rename's edits, with the text matches it leaves alone, and makes them when confirmed.
  void Rename(const std::string& oldName, const std::string& newName, const std::vector<FileEdits>& edits);
  // Asks the server what may go at the caret and lists it; `asked` says why when it cannot.
  void Complete(EditorWidget& editor, bool asked);
  // The messages under the mouse, else the server's word on the name there.
  void ShowToolTip(EditorWidget& editor, const QHelpEvent& help);
  void Wire();

  CodeNavigationShell shell_;
  NavigationCommands commands_;
  std::unique_ptr<PickListDialog> quickOpen_;
  std::unique_ptr<PickListDialog> symbols_;
  Navigator* hearing_ = nullptr; // whose diagnostics are marked
  RequestId hover_ = 0;
  RequestId completing_ = 0;
  CompletionPopup completions_;
};
