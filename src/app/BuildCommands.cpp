#include "BuildCommands.h"

#include "BuildMessagesModel.h"
#include "DisplayText.h"
#include "FoldedMessagesModel.h"
#include "JumpToSource.h"
#include "MainActions.h"
#include "PlacesPage.h"
#include "ProjectTree.h"
#include "QtHandOver.h"
#include "Settings.h"

#include <QAction>
#include <QListView>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

#include <numeric>

namespace {

// What a command needs: a build assembles what it compiled.
const std::vector<Tool> kBuildTools = {Tool::Compiler, Tool::Assembler};
const std::vector<Tool> kCompileTools = {Tool::Compiler};

// The build's lines are kept as the tools wrote them; what the list shows is only their picture,
// which a path with bytes above 127 would not survive.
std::string lineAt(const QAbstractItemView& list, int row) {
  if (const auto* lines = dynamic_cast<const BuildMessagesModel*>(list.model())) return lines->Line(row);
  if (const auto* folded = dynamic_cast<const FoldedMessagesModel*>(list.model())) return folded->Line(row);
  return FromDisplay(list.model()->index(row, 0).data().toString());
}

// The message lines behind the list, folded or not.
BuildMessagesModel* linesOf(const QAbstractItemView& list) {
  if (auto* folded = dynamic_cast<FoldedMessagesModel*>(list.model())) return &folded->Lines();
  return dynamic_cast<BuildMessagesModel*>(list.model());
}

std::optional<std::string> selectedText(const QAbstractItemView& list) {
  const QModelIndex current = list.currentIndex();
  if (!current.isValid()) return std::nullopt;
  return lineAt(list, current.row());
}

} // namespace

BuildCommands::BuildCommands(const WorkspaceShell& shell, ProjectList& workspace, EditorWindows& editors,
                             ProgressState& progress)
    : shell_(shell), workspace_(workspace), editors_(editors) {
  BuildContext context{shell.settings,
                       workspace,
                       shell.buildMessages,
                       progress,
                       editors,
                       shell.questions,
                       std::make_shared<QtHandOver>(&shell.window)};
  context.buildCacheFolder = shell.conventions.buildCacheFolder;
  context.toolEndWait = shell.conventions.toolEndWait;
  context.resultLine = shell.conventions.listsBuildResult;
  controller_ = std::make_unique<BuildController>(context);
  controller_->BuildStarted = [this] { ShowBuildMessagesPage(); };
  controller_->BuildFinished = [this, &progress] {
    const BuildOutcome& outcome = controller_->Outcome();
    if (shell_.conventions.buildProgressInWindow) {
      progress.SetLabel(progress.Label() + "\r" + BuildResultLine(outcome.errors, outcome.warnings));
      if (outcome.Failed()) BringMessagesForward();
    }
    if (gameLoop_) gameLoop_->BuildFinished();
  };
  Wire();
  if (shell.conventions.gameInPage) WireGameInPage();
  shell.actions["StopGameAction"]->setVisible(shell.conventions.gameInPage);
}

BuildCommands::~BuildCommands() { delete gamePage_; }

bool BuildCommands::MayEndGame() {
  if (!game_ || !game_->Running()) return true;
  if (shell_.questions.AskYesNo("The game started from Tessarin is still running.\n\nEnd it and quit?") !=
      Answer::Yes)
    return false;
  // Asked to end now; whatever is left of it is killed when the program lets go of it.
  game_->Stop();
  return true;
}

void BuildCommands::WireGameInPage() {
  game_ = std::make_unique<GameSession>(std::make_shared<QtHandOver>(&shell_.window));
  gameLoop_ = std::make_unique<GameLoop>(*controller_, *game_, workspace_, shell_.settings, shell_.questions);
  QTabWidget& pages = shell_.findInFilesPage.MessagePages;
  gamePage_ = new GamePage(*game_);
  gamePage_->setObjectName("GamePage");
  pages.addTab(gamePage_, "Game");
  gamePage_->RunGuarded = shell_.runGuarded;
  gamePage_->OnLineChosen = [this](const std::string& line) {
    shell_.runGuarded([this, &line] { JumpToGameLine(line); });
  };
  game_->StateChanged = [this] {
    if (gamePage_) gamePage_->ShowState();
  };
  gameLoop_->GameShown = [this, &pages] {
    if (gamePage_) pages.setCurrentWidget(gamePage_);
  };

  MainActions& actions = shell_.actions;
  actions.SetHandler("LaunchQuake3Action", [this] {
    if (workspace_.Count() == 0 || ToolsReady(kBuildTools)) gameLoop_->Launch();
  });
  actions.SetHandler("StopGameAction", [this] { gameLoop_->Stop(); });
  actions.SetEnabledHandler("StopGameAction", [this] { return game_ && game_->Running(); });
}

bool BuildCommands::LaunchEnabled() const {
  // With the game in the loop, the dedicated server when that is what runs.
  if (shell_.conventions.gameInPage) return paths::FileExists(GameCommandFor(shell_.settings).program);
  return GameLauncher::LaunchQuake3ActionEnabled(shell_.settings);
}

void BuildCommands::JumpToGameLine(const std::string& line) {
  const std::optional<GameSourcePlace> place = SourcePlaceIn(line);
  if (!place) return;
  if (std::optional<std::string> file = WorkspaceFileOf(*place, workspace_))
    JumpToPlace({*file, place->line, kBuildMessageMarkColour}, editors_);
}

void BuildCommands::ShowBuildMessagesPage() {
  shell_.findInFilesPage.MessagePages.setCurrentWidget(shell_.buildMessageList.parentWidget());
}

void BuildCommands::BringMessagesForward() {
  ShowBuildMessagesPage();
  QWidget& pages = shell_.findInFilesPage.MessagePages;
  auto* splitter = qobject_cast<QSplitter*>(pages.parentWidget());
  if (splitter == nullptr) return;
  QList<int> sizes = splitter->sizes();
  const int at = splitter->indexOf(&pages);
  if (at < 0 || sizes[at] > 0) return;
  // Dragged shut: a quarter of the window again.
  const int height = std::accumulate(sizes.begin(), sizes.end(), 0);
  for (int& size : sizes)
    size = height * 3 / 4 / std::max<int>(1, static_cast<int>(sizes.size()) - 1);
  sizes[at] = height / 4;
  splitter->setSizes(sizes);
}

void BuildCommands::GoToMessage(int step) {
  QWidget* shown = shell_.findInFilesPage.MessagePages.currentWidget();
  if (shown != nullptr && shown == gamePage_) {
    gamePage_->Step(step);
    return;
  }
  // A page of places in front (Find in Files, References) steps through its places.
  if (shown != nullptr)
    if (auto* places = shown->findChild<PlacesPage*>()) {
      places->Step(step);
      return;
    }
  QAbstractItemView& list = shell_.buildMessageList;
  // The lines that came since the list last showed some count too.
  if (BuildMessagesModel* lines = linesOf(list); lines != nullptr && lines->SyncPending()) lines->Sync();
  const QModelIndex current = list.currentIndex();
  const auto row = NextMessageRow(list.model()->rowCount(), current.isValid() ? current.row() : -1, step,
                                  [&list](int at) { return lineAt(list, at); });
  if (!row) return;
  list.setCurrentIndex(list.model()->index(*row, 0));
  JumpToMessage(lineAt(list, *row), editors_);
}

void BuildCommands::CompileSelectedFile() {
  const TreeSelection selection = SelectionOfNode(SelectedNode(shell_.projectTree));
  if (selection.level == FileLevel && selection.project != nullptr && selection.fileIndex >= 0)
    controller_->CompileProjectFile(*selection.project, selection.fileIndex);
}

bool BuildCommands::ToolsReady(const std::vector<Tool>& needed) {
  const std::vector<MissingTool> missing = MissingTools(shell_.settings, needed, paths::FileExists);
  if (missing.empty()) return true;
  const std::string text = Problems(missing) + "\n" + WhereToSet(missing) + "\n" + WhereToGet(missing) +
                           "\n\nOpen Preferences now?";
  if (shell_.questions.AskYesNo(text) != Answer::Yes) return false;
  shell_.showPreferences(missing);
  return MissingTools(shell_.settings, needed, paths::FileExists).empty();
}

void BuildCommands::Wire() {
  MainActions& actions = shell_.actions;
  BuildController& build = *controller_;
  actions.SetHandler("BuildActiveProjectAction", [this, &build] {
    if (ToolsReady(kBuildTools)) build.BuildActiveProject();
  });
  actions.SetHandler("BuildAllAction", [this, &build] {
    if (ToolsReady(kBuildTools)) build.BuildAll();
  });
  actions.SetHandler("CompileActiveAction", [this, &build] {
    if (ToolsReady(kCompileTools)) build.CompileActiveFile();
  });
  actions.SetHandler("CompileAction", [this] {
    if (ToolsReady(kCompileTools)) CompileSelectedFile();
  });
  actions.SetHandler("BuildAction", [this] {
    Project* project = ProjectOfNode(SelectedNode(shell_.projectTree));
    if (project != nullptr && ToolsReady(kBuildTools)) controller_->Build(*project);
  });
  actions.SetHandler("LaunchQuake3Action", [this] { launcher_.LaunchGame(shell_.settings); });
  actions.SetHandler("NextMessageAction", [this] { GoToMessage(1); });
  actions.SetHandler("PreviousMessageAction", [this] { GoToMessage(-1); });

  QAction* buildActive = actions["BuildActiveProjectAction"];
  auto buildActiveUpdate = [this, buildActive](QAction& action) {
    SetEnabledIfChanged(&action, workspace_.ActiveProject != nullptr);
    if (workspace_.ActiveProject != nullptr)
      SetTextIfChanged(buildActive, QString::fromStdString(BuildController::BuildActiveProjectCaption(
                                        *workspace_.ActiveProject)));
  };
  actions.SetUpdateHandler("BuildActiveProjectAction", buildActiveUpdate);
  actions.SetEnabledHandler("BuildAllAction", [this] { return workspace_.Count() > 0; });
  // Greyed out, the launch says why in its tool tip and in the status bar.
  actions.SetUpdateHandler("LaunchQuake3Action",
                           [this, hint = actions["LaunchQuake3Action"]->toolTip()](QAction& action) {
                             const bool enabled = LaunchEnabled();
                             SetEnabledIfChanged(&action, enabled);
                             QString tip = hint;
                             if (!enabled) {
                               const std::vector<MissingTool> missing =
                                   MissingTools(shell_.settings, {Tool::Game}, paths::FileExists);
                               if (!missing.empty())
                                 tip = QString::fromStdString(Problems(missing) + " " + WhereToSet(missing));
                             }
                             if (action.toolTip() == tip) return;
                             action.setToolTip(tip);
                             action.setStatusTip(tip);
                           });

  QAbstractItemView& messages = shell_.buildMessageList;
  QObject::connect(&messages, &QAbstractItemView::doubleClicked, &connections_, [this, &messages] {
    // The summary of folded details shows or folds them; any other line jumps to its place.
    auto* folded = dynamic_cast<FoldedMessagesModel*>(messages.model());
    if (const QModelIndex current = messages.currentIndex();
        folded != nullptr && current.isValid() && folded->IsSummaryRow(current.row())) {
      folded->ShowDetails(!folded->DetailsShown());
      return;
    }
    shell_.runGuarded([this, &messages] { JumpToMessage(selectedText(messages), editors_); });
  });
  shell_.findInFilesPage.Results.OnPlaceChosen = [this](const Place& place) {
    shell_.runGuarded([this, &place] {
      JumpToPlace({place.file, place.line, kFindInFilesMarkColour}, editors_);
    });
  };
}
