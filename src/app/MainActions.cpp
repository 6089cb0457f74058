#include "MainActions.h"

#include <QAction>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

const std::vector<ActionSpec>& ActionTable() {
  static const std::vector<ActionSpec> table = {
      {"FileNewAction", "File", "&New File", "Ctrl+N", "New File", 2},
      {"FileOpenAction", "File", "&Open File...", "Ctrl+O", "Open File", 0},
      {"FileSaveAction", "File", "&Save File...", "Ctrl+S", "Save File", 1, 0, "&Save File"},
      {"FileSaveAsAction", "File", "Save &As", "", "Save File as a different name", 1, 0, "Save &As...",
       "Ctrl+Shift+S"},
      {"FileSaveAllAction", "File", "Save A&ll", "", "Save All modified files", 4},
      {"FilePreferencesAction", "File", "&Preferences", "", "Setup Preferences", 3, 0, "Pr&eferences"},
      {"FileImportWorkspaceAction", "File", "Import DSW &Workspace...", "", "Import DSW Workspace", -1, 0,
       "&Import DSW Workspace..."},
      {"FileOpenWorkspace", "File", "Open &Workspace", "", "Open a Tessarin Workspace", -1},
      {"FileNewWorkspaceAction", "File", "New Workspa&ce...", "", "Create a new, empty Tessarin Workspace",
       -1},
      {"FileSaveWorkspaceAction", "File", "Sa&ve Workspace", "", "Save current Workspace", -1},
      {"FileCloseWorkspaceAction", "File", "Close Wor&kspace", "", "Close Current Workspace", -1},
      {"FileExportCompilationDatabaseAction", "File", "Export Compilation &Database...", "",
       "Write the workspace's compile_commands.json for clangd and other editors", -1},
      {"PrintSetupAction", "File", "Print Set&up", "", "", -1},
      {"PrintAction", "File", "&Print", "Ctrl+P", "", 24, 0, nullptr, "Ctrl+Shift+P"},
      {"FileExitAction", "File", "E&xit", "", "Exit Tessarin", -1, 0, nullptr, "Ctrl+Q"},
      {"EditUndoAction", "Edit", "&Undo", "Ctrl+Z", "Undo", 17},
      {"EditRedoAction", "Search", "R&edo", "Ctrl+Y", "Redo", 18},
      {"EditCutAction", "Edit", "Cu&t", "Ctrl+X", "Cut", 10},
      {"EditCopyAction", "Edit", "&Copy", "Ctrl+C", "Copy", 11},
      {"EditPasteAction", "Edit", "&Paste", "Ctrl+V", "Paste", 12},
      // On a desktop Ctrl+Del deletes the word after the caret; Del deletes a selection.
      {"EditDeleteAction", "Edit", "&Delete", "Ctrl+Del", "Delete", 15, 0, nullptr, ""},
      {"EditSelectAllAction", "Edit", "Select &All", "Ctrl+A", "Select All", 16},
      {"EditBlockIndentAction", "Edit", "Block &Indent", "Ctrl+Shift+I", "Indent the selected lines", -1},
      {"EditBlockUnindentAction", "Edit", "Block U&nindent", "Ctrl+Shift+U", "Unindent the selected lines",
       -1},
      {"EditFoldAction", "Edit", "&Fold", "Ctrl+Shift+[", "Fold the block or comment at the caret", -1},
      {"EditUnfoldAction", "Edit", "Unf&old", "Ctrl+Shift+]", "Unfold the block at the caret", -1},
      {"EditFoldAllAction", "Edit", "Fold A&ll", "Ctrl+Shift+-", "Fold every block and comment", -1},
      {"EditUnfoldAllAction", "Edit", "Unfold All", "Ctrl+Shift+=", "Unfold everything", -1},
      {"FindAction", "Search", "&Find...", "Ctrl+F", "Find", 13},
      {"ReplaceAction", "Search", "R&eplace...", "Ctrl+H", "Replace", 14, 1},
      {"SearchAgainAction", "Search", "&Search Again", "F3", "Search Again", 20},
      {"FindInFilesAction", "Search", "Find in Files...", "Ctrl+Shift+F", "Find in Files", 19},
      {"ReplaceInFilesAction", "Search", "Replace in F&iles...", "Ctrl+Shift+H", "Replace in Files", -1},
      {"GotoLineNumberAction", "Search", "&Goto Line Number", "Ctrl+G", "", 23},
      {"GoToDefinitionAction", "Go", "Go to &Definition", "F12",
       "Go to where the name at the caret is defined", -1},
      {"GoToDeclarationAction", "Go", "Go to De&claration", "",
       "Go to where the name at the caret is declared", -1},
      {"FindReferencesAction", "Go", "Find &References", "Shift+F12",
       "List every use of the name at the caret", -1},
      {"RenameSymbolAction", "Go", "Re&name Symbol...", "Ctrl+Shift+R",
       "Rename the function, type or variable at the caret everywhere it is used", -1},
      {"NavigateBackAction", "Go", "&Back", "Alt+Left", "Go back to where the last jump left", -1},
      {"NavigateForwardAction", "Go", "&Forward", "Alt+Right", "Go forward again", -1},
      {"QuickOpenAction", "Go", "&Quick Open...", "Ctrl+Alt+P",
       "Open a file of the workspace by part of its name", -1, 0, nullptr, "Ctrl+P"},
      {"GoToSymbolAction", "Go", "Go to &Symbol in Workspace...", "Ctrl+Alt+T",
       "Go to a function, type or variable of the workspace by part of its name", -1, 0, nullptr, "Ctrl+T"},
      {"CompileActiveAction", "TreeView", "Compile Active", "Ctrl+F7", "", -1},
      {"BuildActiveProjectAction", "TreeView", "Build Active Project", "F7", "Build the Active Project", 5},
      {"BuildAllAction", "TreeView", "Rebuild All", "", "Rebuild all Projects", -1},
      {"NextMessageAction", "TreeView", "&Next Message", "F4", "Go to the place of the next message", -1},
      {"PreviousMessageAction", "TreeView", "&Previous Message", "Shift+F4",
       "Go to the place of the previous message", -1},
      {"CompileAction", "TreeView", "Compile", "", "Compile single source file", -1},
      {"BuildAction", "TreeView", "Build", "", "Build Project", 5},
      {"AddFilesToProjectAction", "TreeView", "Add Files to Project...", "", "Add Files to Project", -1},
      {"SetActiveProjectActive", "TreeView", "Set Active Project", "", "", 21},
      {"RemoveFileFromProjectAction", "TreeView", "Remove File from Project", "", "", -1},
      {"AddNewProjectAction", "TreeView", "Add New Project", "", "Add New Project", -1},
      {"RemoveProjectAction", "TreeView", "Remove Project", "", "Remove Project", -1},
      {"PropertiesAction", "TreeView", "&Properties", "", "", -1},
      {"LaunchQuake3Action", "", "Launch Quake 3", "F5", "Launch Quake 3", 22},
      {"StopGameAction", "", "Stop Game", "Shift+F5", "End the game started from Tessarin", -1},
      {"WindowArrange1", "Window", "&Arrange", "", "Arrange Icons", 8},
      {"WindowClose1", "Window", "C&lose", "", "Close Window", -1, 0, nullptr, "Ctrl+W; Ctrl+F4"},
      {"CloseAllWindowsAction", "Window", "Close All", "", "Close All Windows", -1},
      {"WindowCascade1", "Window", "&Cascade", "", "Cascade Windows", 9},
      {"WindowTileHorizontal1", "Window", "Tile &Horizontally", "", "Tile Windows Horizontally", 6},
      {"WindowTileVertical1", "Window", "&Tile Vertically", "", "Tile Windows Vertically", 7},
      {"NextPaneAction", "Window", "Next &Pane", "F6", "Move to the next pane", -1},
      {"PreviousPaneAction", "Window", "Pre&vious Pane", "Shift+F6", "Move to the previous pane", -1},
      {"WindowSplitBesideAction", "Window", "Split &Beside", "",
       "Show the document in a second view beside it", -1},
      {"WindowSplitBelowAction", "Window", "Split Bel&ow", "", "Show the document in a second view below it",
       -1},
      {"WindowUnsplitAction", "Window", "&Unsplit", "", "Close the view of the document the caret is not in",
       -1},
      {"NextDocumentAction", "Window", "Next &Document", "", "Go to the next document", -1, 0, nullptr,
       "Ctrl+Tab; Ctrl+PgDown"},
      {"PreviousDocumentAction", "Window", "P&revious Document", "", "Go to the previous document", -1, 0,
       nullptr, "Ctrl+Shift+Tab; Ctrl+PgUp"},
      {"KeyboardShortcutsAction", "Help", "&Keyboard Shortcuts", "", "List every key and what it does", -1},
      {"OpenExampleWorkspaceAction", "Help", "Open &Example Workspace", "", "Open the example workspace", -1},
      {"AboutAction", "Help", "&About", "", "About Tessarin", -1},
  };
  return table;
}

MainActions::MainActions(QObject* owner, const QVector<QIcon>& images, bool desktopCaptions, bool desktopKeys)
    : QObject(owner) {
  for (const ActionSpec& entry : ActionTable()) {
    const char* caption =
        desktopCaptions && entry.desktopCaption != nullptr ? entry.desktopCaption : entry.caption;
    auto* action = new QAction(QString::fromUtf8(caption), owner);
    action->setObjectName(entry.name);
    action->setData(entry.tag);
    action->setProperty("category", QString::fromUtf8(entry.category));
    const char* keys =
        desktopKeys && entry.desktopShortcut != nullptr ? entry.desktopShortcut : entry.shortcut;
    action->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(keys)));
    // An empty hint leaves the tool tip to Qt, which shows the caption instead.
    action->setToolTip(entry.hint[0] != '\0' ? QString::fromUtf8(entry.hint) : QString());
    action->setStatusTip(QString::fromUtf8(entry.hint));
    if (entry.image >= 0 && entry.image < images.size()) action->setIcon(images[entry.image]);
    byName_[entry.name] = action;
    ordered_.push_back(action);
  }
}

QAction* MainActions::operator[](const std::string& name) const {
  auto it = byName_.find(name);
  if (it == byName_.end()) {
    std::fprintf(stderr, "no action named %s\n", name.c_str());
    std::abort();
  }
  return it->second;
}

void MainActions::SetHandler(const std::string& name, std::function<void()> handler) {
  QAction* action = (*this)[name];
  disconnect(action, &QAction::triggered, this, nullptr);
  connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] {
    if (guard)
      guard(handler);
    else
      handler();
  });
}

void MainActions::SetEnabledHandler(const std::string& name, std::function<bool()> enabled) {
  SetUpdateHandler(
      name, [enabled = std::move(enabled)](QAction& action) { SetEnabledIfChanged(&action, enabled()); });
}

void MainActions::SetUpdateHandler(const std::string& name, std::function<void(QAction&)> update) {
  updateHandlers_[(*this)[name]] = std::move(update);
}

void MainActions::RunEnabledHandlers() const {
  for (const auto& [action, update] : updateHandlers_)
    update(*action);
}

void SetEnabledIfChanged(QAction* action, bool enabled) {
  if (action->isEnabled() != enabled) action->setEnabled(enabled);
}

void SetTextIfChanged(QAction* action, const QString& text) {
  if (action->text() != text) action->setText(text);
}
