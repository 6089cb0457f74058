// The build in the main window with the stand-in tools: the same module bytes as the command-line
// build, the workspace commands that wait for a running build, closing the window mid-build,
// and the jumps of Next Message that leave the keyboard in the editor.
#include "../buildsystem/BuildTestSupport.h"
#include "BuildController.h"
#include "ConfigurationDialog.h"
#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "IsolatedEnvironment.h"
#include "LineAnnotations.h"
#include "MainActions.h"
#include "ProgressStrip.h"
#include "ProjectWorkspace.h"
#include "RecentList.h"
#include "RegistryStore.h"
#include "ScriptedQuestions.h"
#include "StopSignals.h"
#include "WindowCommands.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct BuildInTheWindow : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;

  BuildInTheWindow() {
    std::filesystem::copy(std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod", dir.file("ws"),
                          std::filesystem::copy_options::recursive);
    // Listed out of name order: the build compiles and assembles in name order all the same.
    dir.write("ws/game/game.tsp",
              "SOURCE=g_syscalls.asm\r\nSOURCE=g_main.c\r\nSOURCE=g_local.h\r\nSOURCE=g_cmds.c\r\n"
              "SOURCE=bg_strings.c\r\nSOURCE=bg_mymod.h\r\n");
    RegistryStore store(dir.file("registry"));
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"lcclocation", StandinTool("q3lcc")},
          {"q3asmlocation", StandinTool("q3asm")},
          {"q3asmlarguments", "-v -m"},
          {"outputlocation", dir.file("vm/")}})
      store.SetString(RegistryRoot::CurrentUser, kSettingsKey, name, value);
    store.Save();
  }

  std::unique_ptr<MainWindow> Open(
      DialogRunner runDialog = [](QDialog&) { return int(QDialog::Rejected); }, bool progressWindow = false) {
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    if (progressWindow) env.conventions.buildProgressInWindow = false;
    env.arguments = {Workspace()};
    env.runDialog = std::move(runDialog);
    auto form = std::make_unique<MainWindow>(std::move(env));
    form->CreateSharedDialogs();
    form->show(); // loads the workspace once the window shows
    QCoreApplication::processEvents();
    return form;
  }

  static ProjectWorkspace& Projects(MainWindow& form) {
    return dynamic_cast<ProjectWorkspace&>(form.Workspace());
  }

  std::string Workspace() const { return dir.file("ws/mymod.tsw"); }
  std::string Source(const std::string& name) const { return dir.file("ws/game/" + name); }
};

} // namespace

TEST_F(BuildInTheWindow, TheWindowAndTheCommandLineBuildTheSameBytes) {
  auto form = Open();
  form->Actions()["BuildActiveProjectAction"]->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !Projects(*form).BuildRunning(); }));
  const std::string fromWindow = TempDir::read(dir.file("vm/qagame.qvm"));
  ASSERT_FALSE(fromWindow.empty());

  const auto self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  QProcess process;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CACHE_HOME", QString::fromStdString(dir.file("cli-cache")));
  environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.file("cli-config")));
  process.setProcessEnvironment(environment);
  process.start(QString::fromStdString((self.parent_path() / "src/buildsystem/tessarin-build").string()),
                {"--set", QString::fromStdString("lcclocation=" + StandinTool("q3lcc")), "--set",
                 QString::fromStdString("q3asmlocation=" + StandinTool("q3asm")), "--set",
                 QString::fromStdString("outputlocation=" + dir.file("cli")),
                 QString::fromStdString(Workspace()), "qagame"});
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(TempDir::read(dir.file("cli/qagame.qvm")), fromWindow);
}

// F7 without the compiler builds nothing and says which tool is missing and where to set it; once
// Preferences has it, the build runs.
TEST_F(BuildInTheWindow, ABuildWithoutTheCompilerSaysWhereToSetItAndBuildsOnceItIsSet) {
  dir.write("tools/README", "");
  const std::string gone = dir.file("tools/q3lcc");
  RegistryStore store(dir.file("registry"));
  store.Load();
  store.SetString(RegistryRoot::CurrentUser, kSettingsKey, "lcclocation", gone);
  store.Save();
  std::vector<std::string> pages;
  auto form = Open([&pages](QDialog& dialog) {
    auto& preferences = dynamic_cast<ConfigurationDialog&>(dialog);
    pages.push_back(
        preferences.SettingsPages->tabText(preferences.SettingsPages->currentIndex()).toStdString());
    if (pages.size() == 1) return int(QDialog::Rejected); // the one that opens at start
    EXPECT_EQ(preferences.focusWidget(), preferences.lcclocationEdit);
    preferences.lcclocationEdit->setText(QString::fromStdString(StandinTool("q3lcc")));
    preferences.OkButton->click();
    return preferences.result();
  });
  const std::string question =
      "ask: The compiler " + gone +
      " was not found.\nSet \"Location of LCC Compiler\" in Preferences > Compiler.\n"
      "The tools are built from the ioquake3 sources (see \"Getting started\" in the "
      "README).\n\nOpen Preferences now?";
  for (const char* command : {"BuildActiveProjectAction", "BuildAllAction"}) {
    questions.log.clear();
    questions.answers = {Answer::No};
    form->Actions()[command]->trigger();
    EXPECT_EQ(questions.log, std::vector<std::string>{question}) << command;
    EXPECT_FALSE(Projects(*form).BuildRunning());
    EXPECT_TRUE(form->BuildMessages.Empty()) << form->BuildMessages.Last();
  }
  EXPECT_EQ(pages, std::vector<std::string>{"Compiler"});

  questions.answers = {Answer::Yes};
  form->Actions()["BuildActiveProjectAction"]->trigger();
  EXPECT_EQ(pages, (std::vector<std::string>{"Compiler", "Compiler"}));
  ASSERT_TRUE(WaitUntil([&] { return !Projects(*form).BuildRunning(); }));
  EXPECT_TRUE(std::filesystem::exists(dir.file("vm/qagame.qvm")));
}

// No command can take away the projects a running build walks: each is refused with a message.
// SIGTERM (a logout, kill) while a build runs ends the build's tools before the program, as
// tessarin-build does.
TEST_F(BuildInTheWindow, AStopSignalEndsTheBuildsTools) {
  dir.write("ws/game/g_main.c", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  auto form = Open();
  StopSignals stop;
  stop.OnStop = [&] { form->EndAtSignal(stop.Received()); };
  form->Actions()["BuildActiveProjectAction"]->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !ProcessesNaming(Source("g_main.c")).empty(); }));
  ::kill(::getpid(), SIGTERM);
  ASSERT_TRUE(WaitUntil([&] { return stop.Received() == SIGTERM; }));
  EXPECT_FALSE(Projects(*form).BuildRunning());
  EXPECT_TRUE(WaitUntil([&] { return ProcessesNaming(Source("g_main.c")).empty(); }, 5000));
}

// Closing the main window ends the build and its tool.
TEST_F(BuildInTheWindow, WorkspaceCommandsWaitForTheBuildAndClosingEndsIt) {
  dir.write("ws/game/g_main.c", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  auto form = Open();
  form->RecentWorkspaces().AddItem(Workspace());
  form->MessagePages->setCurrentWidget(form->FindInFilesTab);
  form->Actions()["BuildActiveProjectAction"]->trigger();
  EXPECT_EQ(form->MessagePages->currentWidget(), form->BuildMessagesPage);
  ASSERT_TRUE(WaitUntil([&] { return !ProcessesNaming(Source("g_main.c")).empty(); }));
  const std::vector<pid_t> tools = ProcessesNaming(Source("g_main.c"));

  QTreeWidgetItem* root = form->ProjectTreeView->topLevelItem(0);
  const auto select = [&form](QTreeWidgetItem* node) {
    form->ProjectTreeView->setCurrentItem(node);
    form->RefreshActions(); // as the event loop does when it next goes idle
  };
  // Each command through the main menu and through the tree's context menu.
  const auto fromTreeMenu = [&form](const char* name) {
    for (QAction* action : form->ProjectTreeMenu->actions())
      if (action->objectName() == name) return action;
    return static_cast<QAction*>(nullptr);
  };
  select(root->child(0));
  const int files = root->child(0)->child(0)->childCount();
  for (const char* command :
       {"FileCloseWorkspaceAction", "FileOpenWorkspace", "FileImportWorkspaceAction", "RemoveProjectAction",
        "AddFilesToProjectAction", "AddNewProjectAction", "PropertiesAction", "SetActiveProjectActive"}) {
    form->Actions()[command]->trigger();
    if (QAction* action = fromTreeMenu(command)) action->trigger();
  }
  select(root->child(0)->child(0)->child(0)); // a file of the project; its properties only show
  form->Actions()["RemoveFileFromProjectAction"]->trigger();
  fromTreeMenu("RemoveFileFromProjectAction")->trigger();
  form->Actions()["PropertiesAction"]->trigger();
  form->ReopenMenu->actions().last()->trigger();
  EXPECT_EQ(questions.log, std::vector<std::string>(16, std::string("inform: ") + kWorkspaceInUse));
  EXPECT_EQ(Projects(*form).Workspace.Count(), 2);
  EXPECT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->child(0)->childCount(), files);
  EXPECT_TRUE(Projects(*form).BuildRunning());

  EXPECT_TRUE(form->close());
  EXPECT_FALSE(Projects(*form).BuildRunning());
  for (pid_t tool : tools)
    EXPECT_TRUE(WaitUntil([tool] { return ::kill(tool, 0) != 0; }, 10000)) << "the tool ends with the window";
}

// F4 goes to the next line that names a place and opens it; the keyboard is then in the editor.
TEST_F(BuildInTheWindow, NextMessageOpensEachPlaceWithTheKeyboardInTheEditor) {
  dir.write("ws/game/g_cmds.c", "void Cmd_Say( void ) {\n\tSTANDIN_ERROR\n}\n");
  dir.write("ws/game/g_main.c", "int vmMain( void ) {\n\treturn 0;\n\tSTANDIN_WARNING\n}\n");
  // One compile at a time, so that the list holds the compiles' messages in name order.
  RegistryStore store(dir.file("registry"));
  store.Load();
  store.SetString(RegistryRoot::CurrentUser, kSettingsKey, "ParallelCompiles", "1");
  store.Save();
  auto form = Open();
  form->Actions()["BuildActiveProjectAction"]->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !Projects(*form).BuildRunning(); }));

  QAction* next = form->Actions()["NextMessageAction"];
  const QList<QAction*> buildMenu = form->menuBar()->actions()[4]->menu()->actions();
  EXPECT_TRUE(buildMenu.contains(next));
  EXPECT_TRUE(buildMenu.contains(form->Actions()["PreviousMessageAction"]));
  std::vector<std::string> opened;
  for (int i = 0; i < 3; ++i) {
    next->trigger();
    auto* editor = dynamic_cast<DocumentWindow*>(form->Windows().ActiveEditor());
    ASSERT_NE(editor, nullptr);
    opened.push_back(editor->FileName() + ":" + std::to_string(editor->MarkedLine));
    EXPECT_EQ(form->focusWidget(), static_cast<QWidget*>(editor->Editor)) << opened.back();
  }
  EXPECT_EQ(opened, (std::vector<std::string>{Source("g_cmds.c") + ":2", Source("g_main.c") + ":3",
                                              Source("g_main.c") + ":3"}))
      << "the last place stays when there is none after it";
  form->Actions()["PreviousMessageAction"]->trigger();
  EXPECT_EQ(dynamic_cast<DocumentWindow*>(form->Windows().ActiveEditor())->FileName(), Source("g_cmds.c"));
}

// After a build the open files' lines with messages carry marks, and so does a file opened later;
// they follow the text, and the next build replaces them.
TEST_F(BuildInTheWindow, MessagesMarkTheirLinesInTheEditorsUntilTheNextBuild) {
  dir.write("ws/game/g_cmds.c", "void Cmd_Say( void ) {\n\tSTANDIN_ERROR\n}\n");
  dir.write("ws/game/g_main.c", "int vmMain( void ) {\n\treturn 0;\n\tSTANDIN_WARNING\n}\n");
  auto form = Open();
  auto marksOf = [&form](const std::string& path) {
    form->RefreshActions();
    auto* window = qobject_cast<DocumentWindow*>(form->OpenEditorWindow(path)->widget());
    form->RefreshActions();
    std::vector<std::pair<AnnotationKind, int>> marks;
    for (const Annotation& mark : window->Editor->Editor().Annotations().Of(AnnotationSource::Build))
      marks.emplace_back(mark.kind, mark.line);
    return marks;
  };
  using Marks = std::vector<std::pair<AnnotationKind, int>>;
  auto* main = qobject_cast<DocumentWindow*>(form->OpenEditorWindow(Source("g_main.c"))->widget());
  auto build = [&form] {
    form->Actions()["BuildActiveProjectAction"]->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !Projects(*form).BuildRunning(); }));
  };
  build();
  EXPECT_EQ(marksOf(Source("g_main.c")), (Marks{{AnnotationKind::Warning, 3}}));
  main->Editor->Editor().Document().Insert({1, 1}, "// the entry point\n");
  EXPECT_EQ(marksOf(Source("g_main.c")), (Marks{{AnnotationKind::Warning, 4}}));
  EXPECT_EQ(marksOf(Source("g_cmds.c")), (Marks{{AnnotationKind::Error, 2}}));

  dir.write("ws/game/g_cmds.c", "void Cmd_Say( void ) {\n}\n");
  questions.answers = {Answer::Yes, Answer::Yes}; // reload g_cmds.c; save g_main.c for the build
  form->Windows().NoticeOutsideChanges();
  build();
  EXPECT_EQ(marksOf(Source("g_cmds.c")), Marks{});
  EXPECT_EQ(marksOf(Source("g_main.c")), (Marks{{AnnotationKind::Warning, 4}}));
}

// Marks come as the build's messages do, each once, in line order.
TEST_F(BuildInTheWindow, MarksGrowWithTheRunningBuildEachMessageOnce) {
  constexpr int kWarnings = 3000;
  std::string source = "int vmMain( void ) {\n";
  for (int line = 0; line < kWarnings; ++line)
    source += "\tSTANDIN_WARNING\n";
  dir.write("ws/game/g_main.c", source + "\treturn 0;\n}\n");
  auto form = Open();
  auto* main = qobject_cast<DocumentWindow*>(form->OpenEditorWindow(Source("g_main.c"))->widget());
  const LineAnnotations& marks = main->Editor->Editor().Annotations();
  form->Actions()["BuildActiveProjectAction"]->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !Projects(*form).BuildRunning(); }));
  form->RefreshActions();
  ASSERT_EQ(marks.Of(AnnotationSource::Build).size(), std::size_t{kWarnings});
  for (int at = 0; at < kWarnings; ++at)
    ASSERT_EQ(marks.Of(AnnotationSource::Build)[static_cast<std::size_t>(at)].line, at + 2);
}

// A window split below comes back split below when the workspace opens again; one not split, not.
TEST_F(BuildInTheWindow, ASplitWindowComesBackSplit) {
  {
    auto form = Open();
    auto* main = qobject_cast<DocumentWindow*>(form->OpenEditorWindow(Source("g_main.c"))->widget());
    form->OpenEditorWindow(Source("g_cmds.c"));
    main->Split(Qt::Vertical);
    form->Actions()["FileCloseWorkspaceAction"]->trigger();
  }
  auto form = Open();
  auto windowOf = [&form](const std::string& path) {
    QMdiSubWindow* frame = form->FindEditorWindow(path);
    return frame != nullptr ? qobject_cast<DocumentWindow*>(frame->widget()) : nullptr;
  };
  ASSERT_NE(windowOf(Source("g_main.c")), nullptr);
  ASSERT_NE(windowOf(Source("g_cmds.c")), nullptr);
  EXPECT_TRUE(windowOf(Source("g_main.c"))->IsSplit());
  EXPECT_EQ(windowOf(Source("g_main.c"))->SplitOrientation(), Qt::Vertical);
  EXPECT_FALSE(windowOf(Source("g_cmds.c"))->IsSplit());
}

// Quitting during a build asks about the modified workspace before it ends the build, so Cancel
// keeps both. Once the main window closes, no window of the program is left to keep it running.
TEST_F(BuildInTheWindow, QuittingAsksFirstAndLeavesNoWindowBehind) {
  dir.write("ws/game/g_main.c", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  auto form = Open([](QDialog&) { return int(QDialog::Rejected); }, /*progressWindow=*/true);
  form->Actions()["BuildActiveProjectAction"]->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !ProcessesNaming(Source("g_main.c")).empty(); }));
  Projects(*form).Workspace.Modified = true;
  questions.answers = {Answer::Cancel};
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(Projects(*form).BuildRunning());
  EXPECT_TRUE(form->isVisible());

  // The program's own event loop ends once the main window has closed, or the guard says it hung.
  questions.answers = {Answer::No};
  QTimer::singleShot(0, form.get(), [&form] { form->close(); });
  QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the program kept running without its main window";
  EXPECT_FALSE(Projects(*form).BuildRunning());
  for (QWidget* window : QApplication::topLevelWidgets())
    EXPECT_FALSE(window->isVisible()) << window->metaObject()->className() << " still shows";
}

// In the status bar the build leaves nothing to dismiss; Escape cancels it, and only a failed
// build opens the messages the user had dragged shut.
TEST_F(BuildInTheWindow, TheBuildShowsInTheStatusBarAndOnlyAFailureBringsItsMessagesForward) {
  auto form = Open();
  auto* strip = form->findChild<ProgressStrip*>();
  ASSERT_NE(strip, nullptr);
  QApplication::setActiveWindow(form.get());
  const auto messagesShut = [&form] { return form->BottomSplitter->sizes().at(1) == 0; };
  const auto build = [&form] {
    form->BottomSplitter->setSizes({1, 0});
    form->Actions()["BuildActiveProjectAction"]->trigger();
  };
  const auto finished = [&] { return WaitUntil([&] { return !Projects(*form).BuildRunning(); }); };

  build();
  ASSERT_TRUE(finished());
  EXPECT_TRUE(strip->Text().startsWith("Completed")) << strip->Text().toStdString();
  EXPECT_TRUE(strip->Text().contains("Build: 0 errors")) << strip->Text().toStdString();
  EXPECT_FALSE(strip->CancelOffered());
  EXPECT_TRUE(messagesShut());
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window != form.get()) {
      EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
    }

  dir.write("ws/game/g_main.c", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  build();
  ASSERT_TRUE(WaitUntil([&] { return !ProcessesNaming(Source("g_main.c")).empty(); }));
  EXPECT_TRUE(strip->CancelOffered());
  QTest::keyClick(form.get(), Qt::Key_Escape);
  ASSERT_TRUE(finished());
  EXPECT_FALSE(strip->CancelOffered());

  dir.write("ws/game/g_main.c", "int vmMain( void ) {\n\tSTANDIN_ERROR\n}\n");
  build();
  ASSERT_TRUE(finished());
  EXPECT_FALSE(messagesShut());
  EXPECT_EQ(form->MessagePages->currentWidget(), form->BuildMessagesPage);
}
