// The main frame window: a switchboard that builds the controls, the actions, menus and
// toolbars, and hands each group of commands to the helper that carries it out.
#pragma once

#include "CodeNavigation.h"
#include "ConfigurationDialog.h"
#include "FileTypeRegistration.h"
#include "MainActions.h"
#include "MessageLines.h"
#include "MissingTools.h"
#include "ProgramFiles.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "SharedDialogs.h"
#include "StatusFields.h"
#include "WorkspaceShell.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class BuildMessagesModel;
class EditCommands;
class FileCommands;
class FoldedMessagesModel;
class MainWindow;
class PrintCommands;
class ProgressStrip;
class QLabel;
class QListView;
class PlacesPage;
class DocumentTabs;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class RecentList;
class RecentListMenu;
class SearchCommands;
class UserQuestions;
class WindowBar;
class WindowCommands;
class WorkspacePort;
struct WindowPlacement;

// The platform's conventions, with the desktop's fixed-pitch font for the editor where a desktop
// is there to ask.
[[nodiscard]] SettingsConventions DesktopConventions();

// Everything the main window takes from outside, so tests can replace each piece.
struct MainWindowEnvironment {
  UserQuestions* questions = nullptr; // required
  std::string storePath = RegistryStore::DefaultFilePath();
  SettingsConventions conventions = DesktopConventions();
  std::vector<std::string> arguments; // the command line after the program name
  DialogRunner runDialog = ExecModally;
  std::string programPath;
  std::string sourceTree = BuiltFromSourceTree(); // the example's last fallback; empty for none
  // The workspace file type is registered for this user under `dataHome` at start.
  bool writesUserRegistration = true;
  std::string dataHome = DesktopDataHome();
  ToolStarter startTool = StartDetached;
  std::function<bool()> clipboardHasText; // the system clipboard when empty
  std::function<bool()> printerInstalled; // the system's printers when empty
  // The workspace behind the tree; the project workspace when empty.
  std::function<std::unique_ptr<WorkspacePort>(MainWindow&)> makeWorkspace;
  // Creates an editor window, loads `path` into it and puts it into the frame (AddEditorWindow);
  // the document windows' own when empty.
  std::function<QMdiSubWindow*(MainWindow&, const std::string& path)> newEditorWindow;
  // The workspace's code navigator (clangd in the program); none: the Go commands say so.
  NavigatorMaker makeNavigator;
  NavigatorUpdate updateNavigator;
  // Picks one of several places a definition has; a menu at the caret when empty.
  PlaceChooser choosePlace;
};

class MainWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit MainWindow(MainWindowEnvironment environment, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Controls other commands work on.
  QMdiArea* MdiArea = nullptr;
  QTabWidget* WorkspacePages;
  QWidget* FileViewPage;
  QWidget* ClassViewPage;
  QTreeWidget* ProjectTreeView;
  QTreeWidget* ClassTreeView;
  QTabWidget* MessagePages;
  QSplitter* LeftSplitter;   // the tree's panel beside the editor windows
  QSplitter* BottomSplitter; // the message lists below both
  QWidget* BuildMessagesPage;
  QWidget* FindInFilesTab;
  QListView* BuildMessageList; // shows BuildMessages
  PlacesPage* FindInFilesResults;
  QListView* FindInFilesList; // the results page's list
  QMenu* EditMenu;
  QMenu* ReopenMenu;
  QMenu* RecentFilesMenu = nullptr; // under the desktop conventions
  QMenu* WindowMenu;
  QMenu* ProjectTreeMenu;
  QToolBar* FileToolBar;
  QToolBar* BuildToolBar;
  QToolBar* WindowToolBar;
  // The status bar's fields: caret place, insert or overwrite, selection mode, modified.
  QLabel* PositionLabel;
  QLabel* ModeLabel;
  QLabel* SelectionLabel;
  QLabel* ModifiedLabel;
  QLabel* EncodingLabel;
  WindowBar* WindowButtons;
  QVector<QIcon> ButtonImages;
  QVector<QIcon> TreeImages;

  Settings settings;
  MessageLines BuildMessages;
  std::string WorkspaceFileName;

  [[nodiscard]] MainActions& Actions() { return *actions_; }
  [[nodiscard]] UserQuestions& Questions() { return *env_.questions; }
  [[nodiscard]] RegistryStore& Store() { return *store_; }
  [[nodiscard]] RecentList& RecentWorkspaces() { return *recentWorkspaces_; }
  [[nodiscard]] WindowCommands& Windows() { return *windows_; }
  [[nodiscard]] SearchCommands& Search() { return *searchCommands_; }
  [[nodiscard]] PrintCommands& Printing() { return *printCommands_; }
  [[nodiscard]] WorkspacePort& Workspace() { return *workspace_; }
  [[nodiscard]] CodeNavigation& Navigation() { return *navigation_; }

  // Editor windows, for the document, build and search commands. Adding one registers it with
  // the window bar, whose button follows the window's caption and goes when the window goes.
  QMdiSubWindow* AddEditorWindow(QWidget* window);
  [[nodiscard]] QMdiSubWindow* FindEditorWindow(const std::string& path) const;
  QMdiSubWindow* OpenEditorWindow(const std::string& path);
  void ApplyEditorSettings();

  void OpenPreferences();
  void CloseAllWindows();
  void ShowAbout();
  // Help > Open Example Workspace: the installed example, or the source tree's for a build.
  void OpenExampleWorkspace();
  // Help > Keyboard Shortcuts: the keys of the menus as they are now, and the editor's.
  void ShowKeyboardShortcuts();
  void OpenRecentWorkspace(const std::string& path, bool& remove);

  // Program entry's step after creating the window: the shared dialogs, hidden, in order.
  void CreateSharedDialogs();
  // Shows a dialog the way the environment says (modally in the program).
  int RunDialog(QDialog& dialog) { return env_.runDialog(dialog); }

  // The first showing: Preferences when a tool is missing, then the command-line file.
  void CompleteStartup();
  // The idle-time refresh: every action's enabled-state handler, then the edit actions, then the
  // status bar.
  void RefreshActions();
  void UpdateEditActions();

  // SIGTERM, SIGHUP or Ctrl+C: the build's tools end, then the program, as on a quit but without
  // questions (nobody may be there to answer); the exit status is 128 and the signal's number.
  void EndAtSignal(int signal);

  // Runs `handler`; an error it raises is shown in an error box and the program goes on.
  void RunGuarded(const std::function<void()>& handler);

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // The desktop's palette changed (a light or dark theme chosen while running).
  void changeEvent(QEvent* event) override;

private:
  void CreateControls();
  void CreateMenus();
  void CreateToolBars();
  void WireCommands();
  // The search commands need the dialogs made at start.
  void WireSearchCommands();
  [[nodiscard]] WorkspaceShell ShellForWorkspace();
  void InitialiseState();
  void LoadSettings();
  // F6 and Shift+F6: the keyboard focus to the next or previous of the active editor, the tree
  // and the message list in front.
  void MoveToPane(bool forward);
  void RefreshStatusBar();
  // The workspace's editor windows kept beside the settings, and brought back.
  void RememberWindows();
  void RestoreWindows();
  // Places the window as the conventions say: classic, remembered, or most of the screen.
  void PlaceWindow();
  // Gives the panels the sizes placed for them, once the window is shown.
  void DividePanels();
  // Where the window and its panels are now, to be remembered.
  [[nodiscard]] WindowPlacement Placement() const;
  void RefreshTitle();
  // Preferences, opening on what is missing when it opens for a missing tool.
  void ShowPreferences(const std::vector<MissingTool>& missing);

  MainWindowEnvironment env_;
  std::unique_ptr<RegistryStore> store_;
  std::string storeError_;    // why the settings file could not be read, empty when it could
  bool storeDamaged_ = false; // left alone at exit unless the user confirmed new settings
  std::unique_ptr<RecentList> recentWorkspaces_;
  std::unique_ptr<RecentList> recentFiles_; // under the desktop conventions
  static constexpr int kRecentFiles = 10;
  std::unique_ptr<BuildMessagesModel> buildMessagesModel_; // goes before BuildMessages, which it watches
  std::unique_ptr<FoldedMessagesModel> foldedMessages_;    // the desktop's view of it; goes first
  MainActions* actions_ = nullptr;
  WindowCommands* windows_ = nullptr;
  DocumentTabs* documentTabs_ = nullptr; // the documents as tabs; none: as child windows
  std::unique_ptr<EditCommands> editCommands_;
  std::unique_ptr<SearchCommands> searchCommands_;
  std::unique_ptr<PrintCommands> printCommands_;
  std::unique_ptr<FileCommands> documents_;
  RecentListMenu* recentMenu_ = nullptr;
  std::unique_ptr<WorkspacePort> workspace_;
  std::unique_ptr<CodeNavigation> navigation_; // its requests' answers may come as the workspace goes
  SharedDialogs dialogs_;
  ProgressStrip* progressStrip_ = nullptr; // in the status bar, under the desktop conventions
  StatusFields shownStatus_;
  std::string titleSet_ = "Tessarin";
  std::string exampleWorkspace_; // empty when neither an installed nor a source tree's is found
  std::pair<int, int> panels_;   // the tree panel's width and the message panel's height, placed
  bool shown_ = false;
};

// Thrown by a handler whose failure was already shown to the user: unwinds without a second box.
struct AlreadyReported : std::exception {};
