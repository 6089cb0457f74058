#include "main.h"

#include "DebugListModel.h"
#include "EditCommands.h"
#include "EditorWindowSet.h"
#include "Find.h"
#include "FindInFilesDialog.h"
#include "ImageLists.h"
#include "PrintCommands.h"
#include "ProgressState.h"
#include "ProjectWorkspace.h"
#include "RegMru.h"
#include "RegMruMenu.h"
#include "SearchCommands.h"
#include "ShellPorts.h"
#include "TaskBar.h"
#include "UserQuestions.h"
#include "WindowCommands.h"
#include "about.h"
#include "compilingprogress.h"
#include "filepropform.h"
#include "gotoline.h"
#include "nameform.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
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

TMainForm::TMainForm(MainFormEnvironment environment, QWidget* parent)
    : QMainWindow(parent), env_(std::move(environment)) {
  if (!env_.clipboardHasText) env_.clipboardHasText = clipboardHoldsText;
  store_ = std::make_unique<RegistryStore>(env_.storePath);
  storeError_ = store_->load();
  storeDamaged_ = !storeError_.empty();
  // The recent list is read as the window is made, before its creation handler.
  regMru_ = std::make_unique<TRegMru>(*store_);
  regMru_->OnItemClick = [this](const std::string& path, bool& remove) { RegMruItemClick(path, remove); };

  setWindowTitle("Tessarin");
  ButtonImageList = MakeButtonImageList();
  TreeViewList = MakeTreeViewList();
  actions_ = new MainActions(this, ButtonImageList);
  actions_->guard = [this](const std::function<void()>& handler) { RunGuarded(handler); };
  CreateControls();
  CreateMenus();
  CreateToolBars();
  FormCreate();
  WireCommands();

  resize(659, 489);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &TMainForm::RefreshActions);
}

TMainForm::~TMainForm() {
  // The document windows go before the settings they read.
  delete MdiArea;
  // FormDestroy: the workspace (with the build and its assembly list) goes, the message filter
  // is removed, and the recent list is written back.
  ClassTreeView->viewport()->removeEventFilter(this);
  workspace_.reset();
  regMru_.reset();
  if (!storeDamaged_) store_->save();
}

void TMainForm::CreateControls() {
  MdiArea = new QMdiArea;
  MdiArea->setBackground(palette().brush(QPalette::Dark));
  windows_ = new WindowCommands(*MdiArea);

  ProjectTreeView = workspaceTree();
  ProjectTreeView->setObjectName("ProjectTreeView");
  ProjectTreeView->setContextMenuPolicy(Qt::CustomContextMenu);
  ClassTreeView = workspaceTree();
  ClassTreeView->setObjectName("ClassTreeView");
  PageControl = pages(QTabWidget::South);
  // "Class view of <project>" can be wider than the pane: both tabs stay in sight, shortened.
  PageControl->setUsesScrollButtons(false);
  PageControl->setElideMode(Qt::ElideRight);
  FileViewSheet = sheet(ProjectTreeView);
  ClassViewSheet = sheet(ClassTreeView);
  PageControl->addTab(FileViewSheet, "File View");
  PageControl->addTab(ClassViewSheet, "Class View");

  DebugListBox = messageList<QListView>();
  debugModel_ = std::make_unique<DebugListModel>(DebugLines);
  FollowLastLine(*DebugListBox, *debugModel_);
  DebugListBox->setObjectName("DebugListBox");
  FindFilesListBox = messageList<QListWidget>();
  FindFilesListBox->setObjectName("FindFilesListBox");
  MessagePages = pages(QTabWidget::South);
  MessagePages->setUsesScrollButtons(false); // several rows of tabs rather than arrows
  DebugSheet = sheet(DebugListBox);
  FindinFilesSheet = sheet(FindFilesListBox);
  MessagePages->addTab(DebugSheet, "Debug");
  MessagePages->addTab(FindinFilesSheet, "Find in Files");

  auto* LeftSplitter = new QSplitter(Qt::Horizontal);
  LeftSplitter->setHandleWidth(4);
  LeftSplitter->addWidget(PageControl);
  LeftSplitter->addWidget(MdiArea);
  LeftSplitter->setStretchFactor(1, 1);
  LeftSplitter->setSizes({230, 425});
  auto* BottomSplitter = new QSplitter(Qt::Vertical);
  BottomSplitter->setHandleWidth(4);
  BottomSplitter->addWidget(LeftSplitter);
  BottomSplitter->addWidget(MessagePages);
  BottomSplitter->setStretchFactor(0, 1);
  BottomSplitter->setSizes({250, 150});
  setCentralWidget(BottomSplitter);
}

void TMainForm::CreateMenus() {
  const MainActions& a = *actions_;
  QMenuBar* MainMenu1 = menuBar();
  QMenu* file = MainMenu1->addMenu("&File");
  addAll(file, a,
         {"FileNewAction", "FileOpenAction", "-", "FilePreferencesAction", "-", "FileImportWorkspaceAction",
          "FileOpenWorkspace"});
  ReopenMenu = file->addMenu("&Reopen Workspace");
  addAll(file, a,
         {"-", "FileSaveWorkspaceAction", "FileCloseWorkspaceAction", "-", "FileSaveAction",
          "FileSaveAsAction", "FileSaveAllAction", "-", "PrintSetupAction", "PrintAction", "-",
          "FileExitAction"});
  EditMenu = MainMenu1->addMenu("&Edit");
  addAll(EditMenu, a,
         {"EditUndoAction", "EditRedoAction", "-", "EditCutAction", "EditCopyAction", "EditPasteAction",
          "EditDeleteAction", "-", "EditSelectAllAction"});
  QMenu* search = MainMenu1->addMenu("&Search");
  addAll(
      search, a,
      {"FindAction", "FindInFilesAction", "ReplaceAction", "SearchAgainAction", "-", "GotoLineNumberAction"});
  QMenu* build = MainMenu1->addMenu("&Build");
  addAll(build, a, {"CompileActiveAction", "-", "BuildActiveProjectAction", "BuildAllAction"});
  WindowMenu = MainMenu1->addMenu("&Window");
  addAll(WindowMenu, a,
         {"WindowArrange1", "WindowClose1", "CloseAllWindowsAction", "-", "WindowCascade1",
          "WindowTileHorizontal1", "WindowTileVertical1"});
  QMenu* help = MainMenu1->addMenu("&Help");
  addAll(help, a, {"AboutAction"});

  PopupMenu1 = new QMenu(this);
  addAll(PopupMenu1, a,
         {"CompileAction", "BuildAction", "-", "AddFilesToProjectAction", "SetActiveProjectActive",
          "RemoveFileFromProjectAction", "-", "AddNewProjectAction", "RemoveProjectAction", "-",
          "PropertiesAction"});

  connect(EditMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateEditActions);
  connect(WindowMenu, &QMenu::aboutToShow, this, [this] { windows_->FillWindowList(*WindowMenu); });
  // A right click shows the menu without moving the selection.
  connect(ProjectTreeView, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(ProjectTreeView->viewport()->mapToGlobal(at)); });
  regMruMenu_ = new RegMruMenu(*regMru_, *ReopenMenu);
  regMruMenu_->runGuarded = [this](const std::function<void()>& click) { RunGuarded(click); };
}

void TMainForm::CreateToolBars() {
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
  TaskBar = new TTaskBar(*MdiArea, TreeViewList, this);
  TaskBar->setIconSize(QSize(kImageSize, kImageSize));
  addToolBar(TaskBar);
  TaskBar->hide();
}

void TMainForm::FormCreate() {
  // The class tree's double-clicks are noted for the class view before anything handles them.
  ClassTreeView->viewport()->installEventFilter(this);
  PageControl->setCurrentWidget(FileViewSheet);
  std::string error = RegisterFileType(env_.programPath, env_.dataHome, env_.startTool);
  if (!error.empty()) Questions().showError(error);
  // Qt paints every widget double-buffered already; the task bar, tree and control bar need
  // nothing more.
  LoadSettings();
  // The build's assembly list lives with the build controller, made with the workspace.
  workspace_ = env_.makeWorkspace ? env_.makeWorkspace(*this) : MakeProjectWorkspace(*this);
  workspace_->BuildTree();
  MessagePages->setCurrentWidget(DebugSheet);
}

void TMainForm::LoadSettings() {
  if (storeDamaged_)
    Questions().showError("The settings in " + store_->filePath() + " could not be read (" + storeError_ +
                          "); the defaults are used for what is missing.");
  settings = ::LoadSettings(*store_, env_.conventions);
}

void TMainForm::WireCommands() {
  MainActions& a = *actions_;
  editCommands_ = std::make_unique<EditCommands>(a, *windows_, env_.clipboardHasText);
  searchCommands_ = std::make_unique<SearchCommands>(a, *windows_, Questions(), env_.runDialog, dialogs_);
  printCommands_ = std::make_unique<PrintCommands>(a, *windows_, env_.runDialog, this);
  documents_ = std::make_unique<EditorWindowSet>(
      *MdiArea, [this](QWidget* window) { return AddEditorWindow(window); }, settings, Questions(),
      [this] { return workspace_->ActiveProjectFile(); });
  if (!env_.newEditorWindow)
    env_.newEditorWindow = [](TMainForm& form, const std::string& path) {
      return form.documents_->OpenNewWindow(path);
    };
  a.SetHandler("FileNewAction", [this] { documents_->NewFile(); });
  a.SetHandler("FileOpenAction", [this] { documents_->OpenFile(); });
  a.SetHandler("FileSaveAction", [this] { documents_->SaveFile(); });
  a.SetHandler("FileSaveAsAction", [this] { documents_->SaveAs(); });
  a.SetHandler("FileSaveAllAction", [this] { windows_->SaveAll(); });
  a.SetHandler("FilePreferencesAction", [this] { FilePreferencesActionExecute(); });
  a.SetHandler("FileExitAction", [this] { close(); });
  a.SetHandler("AboutAction", [this] { AboutActionExecute(); });
  a.SetHandler("CloseAllWindowsAction", [this] { CloseAllWindowsActionExecute(); });
  a.SetHandler("WindowArrange1", [this] { windows_->ArrangeIcons(); });
  a.SetHandler("WindowClose1", [this] { windows_->CloseActive(); });
  a.SetHandler("WindowCascade1", [this] { windows_->Cascade(); });
  a.SetHandler("WindowTileHorizontal1", [this] { windows_->TileHorizontally(); });
  a.SetHandler("WindowTileVertical1", [this] { windows_->TileVertically(); });
}

QMdiSubWindow* TMainForm::AddEditorWindow(QWidget* window) {
  QMdiSubWindow* frame = windows_->Add(window);
  TaskBar->AddTask(window, TreeViewImage::File);
  connect(window, &QWidget::windowTitleChanged, TaskBar, &TTaskBar::RefreshCaptions);
  return frame;
}

QMdiSubWindow* TMainForm::FindEditorWindow(const std::string& path) const {
  return windows_->FindEditorWindow(path);
}

QMdiSubWindow* TMainForm::OpenEditorWindow(const std::string& path) {
  if (QMdiSubWindow* open = FindEditorWindow(path)) return open;
  return env_.newEditorWindow ? env_.newEditorWindow(*this, path) : nullptr;
}

void TMainForm::ApplyEditorFont() {
  for (QMdiSubWindow* window : windows_->Windows())
    if (EditorWindowPort* editor = WindowCommands::Port(window))
      editor->SetEditorFont(settings.EditorFont, settings.EditorFontSize);
}

void TMainForm::FilePreferencesActionExecute() {
  if (!RunPreferences(settings, *store_, Questions(), env_.runDialog, this)) return;
  storeDamaged_ = false; // the file was just written whole
  ApplyEditorFont();
}

void TMainForm::CloseAllWindowsActionExecute() { windows_->CloseAll(); }

void TMainForm::AboutActionExecute() {
  TAboutBox about(this);
  RunDialog(about);
}

void TMainForm::CreateSharedDialogs() {
  dialogs_.Progress = std::make_unique<TCompilingProgress>();
  dialogs_.CompilingProgressForm = std::make_unique<TCompilingProgressForm>(*dialogs_.Progress, this);
  dialogs_.FindInFilesDialog = std::make_unique<TFindInFilesDialog>(this);
  dialogs_.ProjectNameForm = std::make_unique<TProjectNameForm>(Questions(), this);
  dialogs_.SyntaxFindDialog = std::make_unique<TSyntaxFindDialog>(this);
  dialogs_.GotoLineForm = std::make_unique<TGotoLineForm>(this);
  dialogs_.FilePropertiesForm = std::make_unique<TFilePropertiesForm>(this);
  workspace_->AttachSharedDialogs(dialogs_);
}

void TMainForm::RegMruItemClick(const std::string& path, bool& /*remove*/) {
  // The current workspace is replaced without asking; a failed load keeps the entry in place.
  if (!workspace_->LoadWorkspace(path)) throw AlreadyReported();
  WorkspaceFileName = paths::ReplaceAfterLastDelimiterOrDot(path, "tsw");
}

void TMainForm::FormShow() {
  if (!paths::FileExists(settings.lcclocation) || !paths::FileExists(settings.q3asmlocation))
    RunGuarded([this] { FilePreferencesActionExecute(); });
  if (env_.arguments.empty()) return;
  const std::string& argument = env_.arguments.front();
  if (!paths::FileExists(argument)) return;
  if (paths::LowerFileExt(argument) == ".tsw") {
    if (workspace_->LoadWorkspace(argument)) WorkspaceFileName = argument;
    return;
  }
  RunGuarded([this, &argument] {
    if (QMdiSubWindow* open = FindEditorWindow(argument))
      windows_->BringToFront(open);
    else
      OpenEditorWindow(argument);
  });
}

void TMainForm::RefreshActions() {
  actions_->RunEnabledHandlers();
  UpdateEditActions();
}

void TMainForm::UpdateEditActions() { editCommands_->UpdateEditActions(); }

void TMainForm::RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const AlreadyReported&) {
  } catch (const TessarinError& error) {
    Questions().showError(error.message());
  } catch (const std::exception& error) {
    Questions().showError(error.what());
  }
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // After the window is on screen, so a dialog it opens has its owner showing behind it.
  QMetaObject::invokeMethod(this, &TMainForm::FormShow, Qt::QueuedConnection);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!windows_->AllMayClose()) {
    event->ignore();
    return;
  }
  // The program ends whatever the workspace's save prompt came to.
  RunGuarded([this] { workspace_->CloseWorkspace(); });
  event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && watched == ClassTreeView->viewport())
    TreeDoubleClicked = true;
  return QMainWindow::eventFilter(watched, event);
}
