#include "MainWindow.h"

#include "AboutBox.h"
#include "BuildMessagesModel.h"
#include "ContextMenuKeys.h"
#include "DocumentTabs.h"
#include "DocumentWindow.h"
#include "EditCommands.h"
#include "EditorColours.h"
#include "EditorSession.h"
#include "EditorWidget.h"
#include "EditorWindowPort.h"
#include "FileCommands.h"
#include "FilePropertiesDialog.h"
#include "FindInFilesDialog.h"
#include "FindReplaceDialog.h"
#include "FoldedMessagesModel.h"
#include "GoToLineDialog.h"
#include "ImageLists.h"
#include "KeyboardShortcutsDialog.h"
#include "MainWindowTitle.h"
#include "PaneCycle.h"
#include "PlacesPage.h"
#include "PrintCommands.h"
#include "ProgramIcon.h"
#include "ProgressState.h"
#include "ProgressStrip.h"
#include "ProgressWindow.h"
#include "ProjectNameDialog.h"
#include "ProjectWorkspace.h"
#include "RecentList.h"
#include "RecentListMenu.h"
#include "SearchCommands.h"
#include "ShortcutSettings.h"
#include "StartupSteps.h"
#include "TextEditor.h"
#include "TextEncoding.h"
#include "UserQuestions.h"
#include "WindowBar.h"
#include "WindowCommands.h"
#include "WindowPlacement.h"
#include "WorkspacePort.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Message list rows are 14 pixels high whatever the font says.
class FixedRowDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), 14};
  }
};

template <typename List> List* messageList() {
  auto* list = new List;
  QFont font("Courier New", 8);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  list->setFont(font);
  list->setUniformItemSizes(true);
  list->setItemDelegate(new FixedRowDelegate(list));
  return list;
}

// The selection stays visible when the tree loses the focus.
void keepSelectionVisible(QTreeWidget* tree) {
  QPalette palette = tree->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  tree->setPalette(palette);
}

QTreeWidget* workspaceTree() {
  auto* tree = new QTreeWidget;
  tree->setHeaderHidden(true);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree->setIndentation(21);
  tree->setIconSize(QSize(kImageSize, kImageSize));
  keepSelectionVisible(tree);
  return tree;
}

QTabWidget* pages(QTabWidget::TabPosition position) {
  auto* tabs = new QTabWidget;
  tabs->setTabPosition(position);
  tabs->setDocumentMode(true);
  return tabs;
}

QWidget* sheet(QWidget* content) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  return page;
}

bool clipboardHoldsText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasText();
}

// A window of a session gets its caret back: line and column in a document window (the session
// counts characters, the editor bytes), and its second view there; the line in any other.
void placeCaret(QMdiSubWindow* window, const EditorSession::Window& kept) {
  if (auto* document = window != nullptr ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr) {
    const TextEditor& editor = document->Editor->Editor();
    const std::string& line = editor.Document().LineText(kept.caretLine);
    document->ShowPlace(kept.caretLine, StepChars(line, 1, kept.caretColumn - 1, editor.State().Encoding()));
    if (kept.split != EditorSession::Split::None)
      document->Split(kept.split == EditorSession::Split::Beside ? Qt::Horizontal : Qt::Vertical);
  } else if (EditorWindowPort* editor = WindowCommands::Port(window)) {
    editor->SetCaretY(kept.caretLine);
  }
}

void addAll(QWidget* target, const MainActions& actions, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (name[0] == '-') {
      auto* separator = new QAction(target);
      separator->setSeparator(true);
      target->addAction(separator);
    } else {
      target->addAction(actions[name]);
    }
  }
}

} // namespace

SharedDialogs::SharedDialogs() = default;
SharedDialogs::~SharedDialogs() = default;

SettingsConventions DesktopConventions() {
  SettingsConventions conventions = SettingsConventions::Native();
#ifndef _WIN32
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    conventions.editorFont = QFontDatabase::systemFont(QFontDatabase::FixedFont).family().toStdString();
#endif
  return conventions;
}

MainWindow::MainWindow(MainWindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), env_(std::move(environment)) {
  if (!env_.clipboardHasText) env_.clipboardHasText = clipboardHoldsText;
  store_ = std::make_unique<RegistryStore>(env_.storePath);
  storeError_ = store_->Load();
  storeDamaged_ = !storeError_.empty();
  // The recent list is read as the window is made, before its creation handler.
  recentWorkspaces_ = std::make_unique<RecentList>(*store_);
  recentWorkspaces_->OnItemClick = [this](const std::string& path, bool& remove) {
    OpenRecentWorkspace(path, remove);
  };
  if (env_.conventions.desktopWorkspaceCommands) {
    recentFiles_ = std::make_unique<RecentList>(*store_, false);
    recentFiles_->Section = "RecentFiles";
    recentFiles_->Separator = false; // the list has a submenu of its own
    recentFiles_->MaxItems = kRecentFiles;
    recentFiles_->Load();
    recentFiles_->OnItemClick = [this](const std::string& path, bool& remove) {
      // A file that is gone leaves the list rather than opening as an empty window.
      if (!paths::FileExists(path)) {
        remove = true;
        Questions().Inform(path + " no longer exists; it leaves the list of recent files.");
      } else if (QMdiSubWindow* window = OpenEditorWindow(path)) {
        windows_->BringToFront(window);
      }
    };
  }

  setWindowTitle("Tessarin");
  ButtonImages = MakeButtonImageList();
  TreeImages = MakeTreeViewList();
  actions_ =
      new MainActions(this, ButtonImages, env_.conventions.desktopLabels, env_.conventions.desktopEditing);
  actions_->guard = [this](const std::function<void()>& handler) { RunGuarded(handler); };
  ApplyStoredShortcuts(*store_, *actions_);
  CreateControls();
  CreateMenus();
  CreateToolBars();
  InitialiseState();
  WireCommands();

  QGuiApplication::setWindowIcon(ProgramIcon());
  PlaceWindow();
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &MainWindow::RefreshActions);
}

MainWindow::~MainWindow() {
  // The progress strip draws the progress state of the shared dialogs: it goes first, before the
  // members, not with the status bar after them.
  delete progressStrip_;
  // The document windows go before the settings they read.
  delete MdiArea;
  // The workspace (with the build, its assembly list and the class view's filter on the class
  // tree) goes, and the recent lists are written back.
  workspace_.reset();
  navigation_.reset();
  recentWorkspaces_.reset();
  recentFiles_.reset();
  if (!storeDamaged_) store_->Save();
}

void MainWindow::CreateControls() {
  MdiArea = new QMdiArea;
  MdiArea->setBackground(palette().brush(QPalette::Dark));
  windows_ = new WindowCommands(*MdiArea);

  ProjectTreeView = workspaceTree();
  ProjectTreeView->setObjectName("ProjectTreeView");
  ProjectTreeView->setContextMenuPolicy(Qt::CustomContextMenu);
  ClassTreeView = workspaceTree();
  ClassTreeView->setObjectName("ClassTreeView");
  WorkspacePages = pages(QTabWidget::South);
  // Both tabs stay in sight with their whole captions ("Class view of <project>" included): the
  // pane is never narrower than its tabs.
  WorkspacePages->setUsesScrollButtons(false);
  WorkspacePages->setElideMode(Qt::ElideNone);
  FileViewPage = sheet(ProjectTreeView);
  ClassViewPage = sheet(ClassTreeView);
  WorkspacePages->addTab(FileViewPage, "File View");
  WorkspacePages->addTab(ClassViewPage, "Class View");

  BuildMessageList = messageList<QListView>();
  buildMessagesModel_ = std::make_unique<BuildMessagesModel>(BuildMessages);
  if (env_.conventions.foldsToolDetails) {
    foldedMessages_ = std::make_unique<FoldedMessagesModel>(*buildMessagesModel_);
    FollowLastLine(*BuildMessageList, *foldedMessages_);
  } else {
    FollowLastLine(*BuildMessageList, *buildMessagesModel_);
  }
  BuildMessageList->setObjectName("BuildMessageList");
  FindInFilesResults = new PlacesPage;
  FindInFilesList = &FindInFilesResults->List();
  FindInFilesList->setObjectName("FindFilesListBox");
  MessagePages = pages(QTabWidget::South);
  MessagePages->setUsesScrollButtons(false); // several rows of tabs rather than arrows
  BuildMessagesPage = sheet(BuildMessageList);
  FindInFilesTab = sheet(FindInFilesResults);
  MessagePages->addTab(BuildMessagesPage, "Debug");
  MessagePages->addTab(FindInFilesTab, "Find in Files");

  LeftSplitter = new QSplitter(Qt::Horizontal);
  LeftSplitter->setHandleWidth(4);
  LeftSplitter->addWidget(WorkspacePages);
  LeftSplitter->addWidget(MdiArea);
  LeftSplitter->setStretchFactor(1, 1);
  BottomSplitter = new QSplitter(Qt::Vertical);
  BottomSplitter->setHandleWidth(4);
  BottomSplitter->addWidget(LeftSplitter);
  BottomSplitter->addWidget(MessagePages);
  BottomSplitter->setStretchFactor(0, 1);
  setCentralWidget(BottomSplitter);

  for (QLabel** field : {&PositionLabel, &ModeLabel, &SelectionLabel, &EncodingLabel, &ModifiedLabel}) {
    *field = new QLabel;
    statusBar()->addPermanentWidget(*field);
  }
}

void MainWindow::CreateMenus() {
  const MainActions& a = *actions_;
  QMenuBar* menus = menuBar();
  QMenu* file = menus->addMenu("&File");
  addAll(file, a, {"FileNewAction", "FileOpenAction"});
  if (recentFiles_ != nullptr) {
    RecentFilesMenu = file->addMenu("Recent &Files");
    auto* filesMenu = new RecentListMenu(*recentFiles_, *RecentFilesMenu);
    filesMenu->runGuarded = [this](const std::function<void()>& click) { RunGuarded(click); };
  }
  addAll(file, a,
         {"-", "FilePreferencesAction", "-", "FileNewWorkspaceAction", "FileImportWorkspaceAction",
          "FileOpenWorkspace"});
  a["FileNewWorkspaceAction"]->setVisible(env_.conventions.desktopWorkspaceCommands);
  ReopenMenu = file->addMenu("&Reopen Workspace");
  addAll(file, a,
         {"-", "FileSaveWorkspaceAction", "FileCloseWorkspaceAction", "FileExportCompilationDatabaseAction",
          "-", "FileSaveAction", "FileSaveAsAction", "FileSaveAllAction", "-", "PrintSetupAction",
          "PrintAction", "-", "FileExitAction"});
  EditMenu = menus->addMenu("&Edit");
  addAll(EditMenu, a,
         {"EditUndoAction", "EditRedoAction", "-", "EditCutAction", "EditCopyAction", "EditPasteAction",
          "EditDeleteAction", "-", "EditSelectAllAction", "-", "EditBlockIndentAction",
          "EditBlockUnindentAction", "-", "EditFoldAction", "EditUnfoldAction", "EditFoldAllAction",
          "EditUnfoldAllAction"});
  for (const char* name : {"EditFoldAction", "EditUnfoldAction", "EditFoldAllAction", "EditUnfoldAllAction"})
    a[name]->setVisible(env_.conventions.desktopEditing);
  QMenu* search = menus->addMenu("&Search");
  addAll(search, a,
         {"FindAction", "FindInFilesAction", "ReplaceAction", "ReplaceInFilesAction", "SearchAgainAction",
          "-", "GotoLineNumberAction"});
  QMenu* go = menus->addMenu("&Go");
  addAll(go, a,
         {"GoToDefinitionAction", "GoToDeclarationAction", "FindReferencesAction", "RenameSymbolAction", "-",
          "NavigateBackAction", "NavigateForwardAction", "-", "QuickOpenAction", "GoToSymbolAction"});
  QMenu* build = menus->addMenu("&Build");
  addAll(build, a,
         {"CompileActiveAction", "-", "BuildActiveProjectAction", "BuildAllAction", "-", "NextMessageAction",
          "PreviousMessageAction", "-", "LaunchQuake3Action", "StopGameAction"});
  WindowMenu = menus->addMenu("&Window");
  addAll(WindowMenu, a,
         {"WindowArrange1", "WindowClose1", "CloseAllWindowsAction", "-", "WindowCascade1",
          "WindowTileHorizontal1", "WindowTileVertical1", "-", "WindowSplitBesideAction",
          "WindowSplitBelowAction", "WindowUnsplitAction", "-", "NextDocumentAction",
          "PreviousDocumentAction", "-", "NextPaneAction", "PreviousPaneAction"});
  for (const char* name : {"WindowSplitBesideAction", "WindowSplitBelowAction", "WindowUnsplitAction",
                           "NextDocumentAction", "PreviousDocumentAction"})
    a[name]->setVisible(env_.conventions.tabbedDocuments);
  QMenu* help = menus->addMenu("&Help");
  addAll(help, a, {"KeyboardShortcutsAction", "OpenExampleWorkspaceAction", "-", "AboutAction"});

  ProjectTreeMenu = new QMenu(this);
  addAll(ProjectTreeMenu, a,
         {"CompileAction", "BuildAction", "-", "AddFilesToProjectAction", "SetActiveProjectActive",
          "RemoveFileFromProjectAction", "-", "AddNewProjectAction", "RemoveProjectAction", "-",
          "PropertiesAction"});

  connect(EditMenu, &QMenu::aboutToShow, this, &MainWindow::UpdateEditActions);
  connect(WindowMenu, &QMenu::aboutToShow, this, [this] { windows_->FillWindowList(*WindowMenu); });
  // A right click has selected the node under the mouse by the time the menu opens.
  auto showTreeMenu = [this](const QPoint& at) {
    ProjectTreeMenu->popup(ProjectTreeView->viewport()->mapToGlobal(at));
  };
  connect(ProjectTreeView, &QWidget::customContextMenuRequested, this, showTreeMenu);
  new ContextMenuKeys(*ProjectTreeView, showTreeMenu);
  recentMenu_ = new RecentListMenu(*recentWorkspaces_, *ReopenMenu);
  recentMenu_->runGuarded = [this](const std::function<void()>& click) { RunGuarded(click); };
}

void MainWindow::CreateToolBars() {
  const MainActions& a = *actions_;
  auto toolBar = [this](const char* name) {
    QToolBar* bar = addToolBar(name);
    bar->setObjectName(name);
    bar->setIconSize(QSize(kImageSize, kImageSize));
    bar->setStyleSheet("QToolButton { min-width: 21px; min-height: 20px; }"); // 25 x 24 buttons
    return bar;
  };
  FileToolBar = toolBar("FileToolBar");
  addAll(FileToolBar, a,
         {"FileNewAction",
          "-",
          "FileOpenAction",
          "FileSaveAction",
          "FileSaveAllAction",
          "-",
          "FilePreferencesAction",
          "-",
          "EditCutAction",
          "EditCopyAction",
          "EditPasteAction",
          "-",
          "EditUndoAction",
          "EditRedoAction",
          "-",
          "FindAction",
          "ReplaceAction",
          "FindInFilesAction",
          "-",
          "SearchAgainAction"});
  BuildToolBar = toolBar("BuildToolBar");
  addAll(BuildToolBar, a, {"BuildActiveProjectAction", "-", "LaunchQuake3Action"});
  WindowToolBar = toolBar("WindowToolBar");
  addAll(WindowToolBar, a, {"WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1"});
  addToolBarBreak();
  WindowButtons = new WindowBar(*MdiArea, TreeImages, this);
  WindowButtons->setIconSize(QSize(kImageSize, kImageSize));
  addToolBar(WindowButtons);
  WindowButtons->hide();
}

void MainWindow::PlaceWindow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
  WindowPlacement placement = ClassicPlacement(available);
  if (env_.conventions.remembersWindows) {
    const std::optional<WindowPlacement> remembered = LoadPlacement(*store_);
    placement = remembered ? FittedPlacement(*remembered, available) : FirstPlacement(available);
  }
  setGeometry(placement.normal);
  if (placement.maximised) setWindowState(windowState() | Qt::WindowMaximized);
  panels_ = {placement.leftPanel, placement.bottomPanel};
}

void MainWindow::DividePanels() {
  // Once shown, the splitters know how much room they share.
  auto divide = [](QSplitter& splitter, int first, int second) {
    const QList<int> sizes = splitter.sizes();
    const int room = sizes.value(0) + sizes.value(1);
    splitter.setSizes(first >= 0 ? QList<int>{first, room - first} : QList<int>{room - second, second});
  };
  divide(*LeftSplitter, panels_.first, -1);
  divide(*BottomSplitter, -1, panels_.second);
}

WindowPlacement MainWindow::Placement() const {
  return {normalGeometry(), isMaximized(), LeftSplitter->sizes().value(0), BottomSplitter->sizes().value(1)};
}

void MainWindow::InitialiseState() {
  WorkspacePages->setCurrentWidget(FileViewPage);
  if (env_.writesUserRegistration) {
    std::string error = RegisterFileType(env_.programPath, env_.dataHome, env_.startTool);
    if (!error.empty()) Questions().ShowError(error);
  }
  // Qt paints every widget double-buffered already; the task bar, tree and control bar need
  // nothing more.
  LoadSettings();
  // The build's assembly list lives with the build controller, made with the workspace.
  workspace_ = env_.makeWorkspace ? env_.makeWorkspace(*this)
                                  : std::make_unique<ProjectWorkspace>(ShellForWorkspace());
  workspace_->BuildTree();
  MessagePages->setCurrentWidget(BuildMessagesPage);
}

void MainWindow::LoadSettings() {
  if (storeDamaged_)
    Questions().ShowError("The settings in " + store_->FilePath() + " could not be read (" + storeError_ +
                          "); the defaults are used for what is missing.");
  settings = ::LoadSettings(*store_, env_.conventions);
  settings.Colours = StoredTokenLooks(*store_);
  settings.EditorKeys = StoredEditorKeys(*store_);
}

WorkspaceShell MainWindow::ShellForWorkspace() {
  QIcon structure = TreeImages.value(TreeViewImage::Structure);
  QIcon member = TreeImages.value(TreeViewImage::Member);
  return WorkspaceShell{*actions_,
                        Questions(),
                        settings,
                        env_.conventions,
                        BuildMessages,
                        *windows_,
                        *this,
                        *ProjectTreeView,
                        TreeImages,
                        *BuildMessageList,
                        ClassViewControls{*WorkspacePages, *ClassViewPage, *ClassTreeView, structure, member},
                        FindInFilesPage{*MessagePages, *FindInFilesTab, *FindInFilesResults},
                        [this](const std::function<void()>& handler) { RunGuarded(handler); },
                        env_.runDialog,
                        [this](const std::string& path) { return OpenEditorWindow(path); },
                        [this](const std::string& path) { recentWorkspaces_->AddItem(path); },
                        WorkspaceFileName,
                        env_.conventions.remembersWindows,
                        [this] { RememberWindows(); },
                        [this] { RestoreWindows(); },
                        [this](const std::vector<MissingTool>& missing) { ShowPreferences(missing); },
                        env_.conventions.desktopWorkspaceCommands,
                        env_.makeNavigator,
                        [this] {
                          if (navigation_) navigation_->Commands().NoteJump();
                        },
                        env_.updateNavigator};
}

void MainWindow::WireCommands() {
  MainActions& a = *actions_;
  editCommands_ = std::make_unique<EditCommands>(a, *windows_, env_.clipboardHasText);
  for (const char* name : {"FindAction", "ReplaceAction", "SearchAgainAction", "GotoLineNumberAction"})
    a.SetEnabledHandler(name, [this] { return windows_->Count() > 0; });
  printCommands_ = std::make_unique<PrintCommands>(
      [this]() -> PrintableDocument* { return windows_->ActiveEditor(); }, env_.runDialog, this, Questions(),
      env_.printerInstalled ? env_.printerInstalled : PrinterInstalled);
  a.SetHandler("PrintAction", [this] { printCommands_->Print(); });
  // Another program's changes to an open file are noticed when the program or a window comes
  // to the front.
  connect(MdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
    if (EditorWindowPort* editor = WindowCommands::Port(window))
      RunGuarded([editor] { editor->NoticeOutsideChanges(); });
  });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) RunGuarded([this] { windows_->NoticeOutsideChanges(); });
  });
  a.SetHandler("PrintSetupAction", [this] { printCommands_->PrintSetup(); });
  documents_ = std::make_unique<FileCommands>(
      *MdiArea, [this](QWidget* window) { return AddEditorWindow(window); }, settings, Questions(),
      [this] { return workspace_->ActiveProjectFile(); });
  if (!env_.newEditorWindow)
    env_.newEditorWindow = [](MainWindow& form, const std::string& path) {
      return form.documents_->OpenNewWindow(path);
    };
  a.SetHandler("FileNewAction", [this] { documents_->NewFile(); });
  a.SetHandler("FileOpenAction", [this] { documents_->OpenFile(); });
  a.SetHandler("FileSaveAction", [this] { documents_->SaveFile(); });
  a.SetHandler("FileSaveAsAction", [this] { documents_->SaveAs(); });
  a.SetHandler("FileSaveAllAction", [this] { windows_->SaveAll(); });
  a.SetHandler("FilePreferencesAction", [this] { OpenPreferences(); });
  a.SetHandler("FileExitAction", [this] { close(); });
  a.SetHandler("AboutAction", [this] { ShowAbout(); });
  a.SetHandler("KeyboardShortcutsAction", [this] { ShowKeyboardShortcuts(); });
  exampleWorkspace_ = ExampleWorkspace(env_.programPath, env_.sourceTree, paths::FileExists);
  a.SetHandler("OpenExampleWorkspaceAction", [this] { OpenExampleWorkspace(); });
  a.SetEnabledHandler("OpenExampleWorkspaceAction", [this] { return !exampleWorkspace_.empty(); });
  if (exampleWorkspace_.empty()) {
    // Greyed out for good: it says why in its tool tip and in the status bar.
    const QString why = QString::fromStdString(NoExampleReason(env_.programPath, env_.sourceTree));
    a["OpenExampleWorkspaceAction"]->setToolTip(why);
    a["OpenExampleWorkspaceAction"]->setStatusTip(why);
  }
  a.SetHandler("CloseAllWindowsAction", [this] { CloseAllWindows(); });
  a.SetHandler("WindowArrange1", [this] { windows_->ArrangeIcons(); });
  a.SetHandler("WindowClose1", [this] { windows_->CloseActive(); });
  a.SetHandler("WindowCascade1", [this] { windows_->Cascade(); });
  a.SetHandler("WindowTileHorizontal1", [this] { windows_->TileHorizontally(); });
  a.SetHandler("WindowTileVertical1", [this] { windows_->TileVertically(); });
  // Tabs fill the area: there is nothing to arrange.
  for (const char* name :
       {"WindowArrange1", "WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1"})
    a.SetEnabledHandler(name, [this] { return documentTabs_ == nullptr; });
  a.SetHandler("WindowSplitBesideAction", [this] { windows_->SplitActive(Qt::Horizontal); });
  a.SetHandler("WindowSplitBelowAction", [this] { windows_->SplitActive(Qt::Vertical); });
  a.SetHandler("WindowUnsplitAction", [this] { windows_->UnsplitActive(); });
  a.SetEnabledHandler("WindowUnsplitAction", [this] { return windows_->ActiveIsSplit(); });
  for (const char* name : {"WindowSplitBesideAction", "WindowSplitBelowAction"})
    a.SetEnabledHandler(name, [this] { return windows_->Count() > 0; });
  a.SetHandler("NextDocumentAction", [this] {
    if (documentTabs_) documentTabs_->Cycle(true);
  });
  a.SetHandler("PreviousDocumentAction", [this] {
    if (documentTabs_) documentTabs_->Cycle(false);
  });
  navigation_ = std::make_unique<CodeNavigation>(CodeNavigationShell{
      a, *windows_, [this]() -> WorkspacePort& { return *workspace_; }, *MessagePages, *this,
      [this](const std::string& path) { return OpenEditorWindow(path); },
      [this](const std::string& text) { statusBar()->showMessage(QString::fromStdString(text), 10000); },
      env_.choosePlace, env_.runDialog, settings});
  a.SetHandler("NextPaneAction", [this] { MoveToPane(true); });
  a.SetHandler("PreviousPaneAction", [this] { MoveToPane(false); });
}

void MainWindow::MoveToPane(bool forward) {
  QMdiSubWindow* editor = windows_->ActiveWindow();
  QWidget* panes[PaneCount] = {
      editor != nullptr ? editor->widget() : nullptr,
      WorkspacePages->currentWidget() == FileViewPage ? ProjectTreeView : ClassTreeView,
      MessagePages->currentWidget() == BuildMessagesPage ? static_cast<QWidget*>(BuildMessageList)
                                                         : FindInFilesList};
  std::array<bool, PaneCount> present{};
  std::optional<Pane> current;
  for (int pane = 0; pane < PaneCount; ++pane) {
    present[pane] = panes[pane] != nullptr;
    if (present[pane] && (panes[pane] == focusWidget() || panes[pane]->isAncestorOf(focusWidget())))
      current = static_cast<Pane>(pane);
  }
  if (std::optional<Pane> next = NextPane(current, present, forward))
    panes[*next]->setFocus(Qt::ShortcutFocusReason);
}

QMdiSubWindow* MainWindow::AddEditorWindow(QWidget* window) {
  QMdiSubWindow* frame = windows_->Add(window);
  WindowButtons->AddTask(window, TreeViewImage::File);
  if (const EditorWindowPort* editor = WindowCommands::Port(frame);
      recentFiles_ != nullptr && editor != nullptr && paths::FileExists(editor->FileName()))
    recentFiles_->AddItem(editor->FileName());
  connect(window, &QWidget::windowTitleChanged, WindowButtons, &WindowBar::RefreshCaptions);
  return frame;
}

QMdiSubWindow* MainWindow::FindEditorWindow(const std::string& path) const {
  return windows_->FindEditorWindow(path);
}

QMdiSubWindow* MainWindow::OpenEditorWindow(const std::string& path) {
  if (QMdiSubWindow* open = FindEditorWindow(path)) return open;
  return env_.newEditorWindow ? env_.newEditorWindow(*this, path) : nullptr;
}

void MainWindow::ApplyEditorSettings() {
  for (QMdiSubWindow* window : windows_->Windows())
    if (EditorWindowPort* editor = WindowCommands::Port(window)) editor->ApplySettings(settings);
}

void MainWindow::OpenPreferences() { ShowPreferences({}); }

void MainWindow::ShowPreferences(const std::vector<MissingTool>& missing) {
  const SettingsConventions& conventions = env_.conventions;
  PreferencesLook look;
  look.typedPaths = conventions.typedToolPaths;
  look.desktopLabels = conventions.desktopLabels;
  look.gameInPage = conventions.gameInPage;
  if (conventions.typedToolPaths) look.missing = missing;
  if (!RunPreferences(settings, *store_, Questions(), env_.runDialog, this, look)) return;
  storeDamaged_ = false; // the file was just written whole
  ApplyEditorSettings();
  workspace_->SettingsChanged();
}

void MainWindow::CloseAllWindows() { windows_->CloseAll(); }

void MainWindow::ShowAbout() {
  AboutBox about(this);
  RunDialog(about);
}

void MainWindow::OpenExampleWorkspace() {
  // As a reopen: a modified workspace is asked about first, and a build keeps its workspace.
  if (!exampleWorkspace_.empty())
    workspace_->ReopenWorkspace(UserCopyOfExample(exampleWorkspace_, env_.dataHome));
}

void MainWindow::ShowKeyboardShortcuts() {
  QList<QMenu*> menus;
  for (QAction* menu : menuBar()->actions())
    menus << menu->menu();
  const std::vector<ShortcutRow> menuRows = MenuShortcuts(menus, true);
  KeyboardShortcutsDialog shortcuts(menuRows, EditorShortcuts(settings.EditorKeys, menuRows), this);
  if (RunDialog(shortcuts) != QDialog::Accepted) return;
  if (shortcuts.Changes().empty() && shortcuts.EditorChanges().empty()) return;
  StoreShortcuts(*store_, *actions_, shortcuts.Changes());
  for (const auto& [name, key] : shortcuts.EditorChanges())
    settings.EditorKeys[name] = key;
  StoreEditorKeys(*store_, settings.EditorKeys);
  ApplyEditorSettings();
  if (std::string error = store_->Save(); !error.empty())
    Questions().ShowError(error);
  else
    storeDamaged_ = false; // the file was just written whole
}

void MainWindow::CreateSharedDialogs() {
  dialogs_.Progress = std::make_unique<ProgressState>();
  if (env_.conventions.buildProgressInWindow) {
    progressStrip_ = new ProgressStrip(*dialogs_.Progress, *this);
    statusBar()->addWidget(progressStrip_, 1);
  } else
    dialogs_.CompilingProgressForm = std::make_unique<ProgressWindow>(*dialogs_.Progress, this);
  dialogs_.FindInFilesForm = std::make_unique<FindInFilesDialog>(env_.conventions.searchesWholeMod, this);
  dialogs_.ProjectNameForm = std::make_unique<ProjectNameDialog>(Questions(), this);
  dialogs_.SyntaxFindDialog = std::make_unique<FindReplaceDialog>(this);
  dialogs_.GotoLineForm = std::make_unique<GoToLineDialog>(this);
  dialogs_.FilePropertiesForm = std::make_unique<FilePropertiesDialog>(this);
  WireSearchCommands();
  workspace_->AttachSharedDialogs(dialogs_);
}

void MainWindow::WireSearchCommands() {
  searchCommands_ = std::make_unique<SearchCommands>(*windows_, Questions(), env_.runDialog,
                                                     *dialogs_.SyntaxFindDialog, *dialogs_.GotoLineForm);
  searchCommands_->SetGoToLineStartsAtCaret(env_.conventions.desktopEditing);
  MainActions& a = *actions_;
  // Find and Replace share one handler and are told apart by their tags.
  for (const char* name : {"FindAction", "ReplaceAction"}) {
    QAction* action = a[name];
    a.SetHandler(name, [this, action] { searchCommands_->ShowFindDialog(action->data().toInt()); });
  }
  a.SetHandler("SearchAgainAction", [this] { searchCommands_->SearchAgain(); });
  a.SetHandler("GotoLineNumberAction", [this] { searchCommands_->GoToLine(); });
}

void MainWindow::OpenRecentWorkspace(const std::string& path, bool& /*remove*/) {
  // A reopen the user cancelled, or a failed load, keeps the entry in place.
  if (!workspace_->ReopenWorkspace(path)) throw AlreadyReported();
}

void MainWindow::RememberWindows() {
  if (WorkspaceFileName.empty()) return;
  EditorSession session;
  const QMdiSubWindow* active = windows_->ActiveWindow();
  for (QMdiSubWindow* window : windows_->Windows()) {
    const EditorWindowPort* editor = WindowCommands::Port(window);
    // A window never saved has no file to come back to.
    if (editor == nullptr || !paths::FileExists(editor->FileName())) continue;
    if (window == active) session.active = static_cast<int>(session.windows.size());
    const EditorStatus caret = editor->Status();
    const auto* document = qobject_cast<const DocumentWindow*>(window->widget());
    const EditorSession::Split split =
        document == nullptr || !document->IsSplit()      ? EditorSession::Split::None
        : document->SplitOrientation() == Qt::Horizontal ? EditorSession::Split::Beside
                                                         : EditorSession::Split::Below;
    session.windows.push_back({editor->FileName(), caret.line, caret.column, split});
  }
  SaveSession(*store_, WorkspaceFileName, session);
}

void MainWindow::RestoreWindows() {
  const EditorSession session = LoadSession(*store_, WorkspaceFileName);
  QMdiSubWindow* active = nullptr;
  for (std::size_t i = 0; i < session.windows.size(); ++i) {
    const EditorSession::Window& kept = session.windows[i];
    if (!paths::FileExists(kept.file)) continue; // gone since: nothing to show
    RunGuarded([&] {
      QMdiSubWindow* window = OpenEditorWindow(kept.file);
      placeCaret(window, kept);
      if (static_cast<int>(i) == session.active) active = window;
    });
  }
  if (active != nullptr) windows_->BringToFront(active);
}

void MainWindow::CompleteStartup() {
  const std::vector<RecentEntry>& recent = recentWorkspaces_->Entries();
  StartupSteps steps = StartupStepsFor(settings, env_.arguments,
                                       recent.empty() ? std::string() : recent[0].path, paths::FileExists);
  if (!steps.missingTools.empty()) RunGuarded([this, &steps] { ShowPreferences(steps.missingTools); });
  if (!steps.workspace.empty() && workspace_->LoadWorkspace(steps.workspace)) {
    WorkspaceFileName = steps.workspace;
    // Under the desktop's habits every workspace opened, the command line's too, is one to reopen.
    if (env_.conventions.desktopWorkspaceCommands) recentWorkspaces_->AddItem(steps.workspace);
    if (env_.conventions.remembersWindows) RestoreWindows();
  }
  if (steps.file.empty()) return;
  RunGuarded([this, &steps] {
    if (QMdiSubWindow* open = FindEditorWindow(steps.file))
      windows_->BringToFront(open);
    else
      OpenEditorWindow(steps.file);
  });
}

void MainWindow::RefreshActions() {
  navigation_->FollowWindows();
  actions_->RunEnabledHandlers();
  UpdateEditActions();
  RefreshStatusBar();
  RefreshTitle();
}

void MainWindow::RefreshTitle() {
  if (!env_.conventions.titleNamesWorkspace) return;
  const std::string title =
      MainWindowTitle(WorkspaceFileName, workspace_->HoldsProjects(), workspace_->Modified());
  // Compared with what was set last, not with the shown title, to which a maximised editor
  // window adds its own name.
  if (title == titleSet_ && documentTabs_ == nullptr) return;
  titleSet_ = title;
  // Tabs leave the active document's name to the title, as a maximised child window adds it.
  const QMdiSubWindow* active = documentTabs_ != nullptr ? windows_->ActiveWindow() : nullptr;
  const QString document = active != nullptr ? " \u2013 " + active->windowTitle() : QString();
  if (windowTitle() != QString::fromStdString(title) + document)
    setWindowTitle(QString::fromStdString(title) + document);
}

void MainWindow::RefreshStatusBar() {
  const EditorWindowPort* editor = windows_->ActiveEditor();
  const EditorStatus status = editor != nullptr ? editor->Status() : EditorStatus();
  const StatusFields fields = StatusFieldsOf(editor != nullptr ? &status : nullptr);
  if (fields == shownStatus_) return;
  shownStatus_ = fields;
  PositionLabel->setText(QString::fromStdString(fields.position));
  ModeLabel->setText(QString::fromStdString(fields.mode));
  SelectionLabel->setText(QString::fromStdString(fields.selection));
  ModifiedLabel->setText(QString::fromStdString(fields.modified));
  EncodingLabel->setText(QString::fromStdString(fields.encoding));
}

void MainWindow::UpdateEditActions() { editCommands_->UpdateEditActions(); }

void MainWindow::RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const AlreadyReported&) {
  } catch (const TessarinError& error) {
    Questions().ShowError(error.Message());
  } catch (const std::exception& error) {
    Questions().ShowError(error.what());
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // Tabs only once the area shows: a hidden area does not activate the window of a tab. The tabs
  // name the documents, so the window bar would only say it twice.
  if (env_.conventions.tabbedDocuments) {
    documentTabs_ = new DocumentTabs(*MdiArea);
    WindowButtons->SetShowed(false);
  }
  DividePanels();
  // After the window is on screen, so a dialog it opens has its owner showing behind it.
  QMetaObject::invokeMethod(this, &MainWindow::CompleteStartup, Qt::QueuedConnection);
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  const bool paletteChanged =
      event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
  if (!paletteChanged || MdiArea == nullptr) return;
  MdiArea->setBackground(palette().brush(QPalette::Dark));
  if (settings.ColoursFollowPalette) ApplyEditorSettings();
}

void MainWindow::EndAtSignal(int signal) {
  workspace_->EndBuild();
  QCoreApplication::exit(128 + signal);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!windows_->AllMayClose()) {
    event->ignore();
    return;
  }
  // A workspace the user kept (or could not save) keeps the program running.
  bool closed = false;
  RunGuarded([this, &closed] { closed = workspace_->CloseWorkspace(); });
  if (!closed) {
    event->ignore();
    return;
  }
  if (env_.conventions.remembersWindows) SavePlacement(*store_, Placement());
  // The program's other windows (the progress window, the search dialogs) go too: one left
  // showing would keep the program running with no main window.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isWindow()) child->hide();
  event->accept();
}
