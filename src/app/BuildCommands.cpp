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
  if (shell.conventions.buildProgressInWindow)
    controller_->BuildFinished = [this, &progress] {
      const BuildOutcome& outcome = controller_->Outcome();
      progress.SetLabel(progress.Label() + "\r" + BuildResultLine(outcome.errors, outcome.warnings));
      if (outcome.Failed()) BringMessagesForward();
    };
  Wire();
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
  // A page of places in front (Find in Files, References) steps through its places.
  if (QWidget* shown = shell_.findInFilesPage.MessagePages.currentWidget())
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
  if (shell_.questions.askYesNo(text) != Answer::Yes) return false;
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
                             const bool enabled = GameLauncher::LaunchQuake3ActionEnabled(shell_.settings);
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
