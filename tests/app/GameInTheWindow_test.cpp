// Launch with the game in the loop, in the main window with the stand-in tools and game: F5
// builds before it starts the game, a failed build starts nothing, F5 while the game runs builds
// the change and reloads it, Stop Game and quitting leave nothing running, and under the classic
// conventions the game starts detached with no page of its own.
#include "../buildsystem/BuildTestSupport.h"
#include "DocumentWindow.h"
#include "GamePage.h"
#include "IsolatedEnvironment.h"
#include "MainActions.h"
#include "ProjectWorkspace.h"
#include "RegistryStore.h"
#include "ScriptedQuestions.h"
#include "WindowCommands.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace {

struct GameInTheWindow : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  // Marks the stand-in game, so that the test can tell whether it still runs.
  std::string marker = "game-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device()());

  GameInTheWindow() {
    std::filesystem::copy(std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod", dir.file("ws"),
                          std::filesystem::copy_options::recursive);
    RegistryStore store(dir.file("registry"));
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"lcclocation", StandinTool("q3lcc")},
          {"q3asmlocation", StandinTool("q3asm")},
          {"q3asmlarguments", "-v -m"},
          {"outputlocation", dir.file("mymod/vm/")},
          {"quake3location", StandinTool("standin-game")},
          {"quake3arguments",
           "+set fs_homepath " + dir.path() + " +set fs_game mymod +set marker " + marker + " +map q3dm7"}})
      store.SetString(RegistryRoot::CurrentUser, kSettingsKey, name, value);
    store.Save();
  }
  ~GameInTheWindow() override {
    for (pid_t pid : ProcessesNaming(marker))
      ::kill(pid, SIGKILL);
  }
  GameInTheWindow(const GameInTheWindow&) = delete;
  GameInTheWindow& operator=(const GameInTheWindow&) = delete;

  std::unique_ptr<MainWindow> Open(bool classic = false) {
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    env.conventions.gameInPage = !classic;
    env.arguments = {dir.file("ws/mymod.tsw")};
    env.runDialog = [](QDialog&) { return int(QDialog::Rejected); };
    auto form = std::make_unique<MainWindow>(std::move(env));
    form->CreateSharedDialogs();
    form->show();
    QCoreApplication::processEvents();
    return form;
  }

  static std::vector<std::string> ConsoleLines(MainWindow& form) {
    std::vector<std::string> lines;
    auto* page = form.findChild<GamePage*>("GamePage");
    if (page == nullptr) return lines;
    QAbstractItemModel& model = *page->ConsoleList->model();
    for (int row = 0; row < model.rowCount(); ++row)
      lines.push_back(model.index(row, 0).data().toString().toStdString());
    return lines;
  }
  static bool Shows(MainWindow& form, const std::string& text, int times = 1) {
    int seen = 0;
    for (const std::string& line : ConsoleLines(form))
      if (line.find(text) != std::string::npos) ++seen;
    return seen >= times;
  }
  static std::string ModuleLine(MainWindow& form, int nth) {
    int seen = 0;
    for (const std::string& line : ConsoleLines(form))
      if (line.rfind("Loading vm file", 0) == 0 && ++seen == nth) return line;
    return {};
  }
  static ProjectWorkspace& Projects(MainWindow& form) {
    return dynamic_cast<ProjectWorkspace&>(form.Workspace());
  }
  [[nodiscard]] bool GameRuns() const { return !ProcessesNaming(marker).empty(); }
  static void Launch(MainWindow& form) { form.Actions()["LaunchQuake3Action"]->trigger(); }
};

} // namespace

TEST_F(GameInTheWindow, LaunchBuildsFirstThenReloadsTheChangedModuleInTheRunningGame) {
  auto form = Open();
  auto* page = form->findChild<GamePage*>("GamePage");
  ASSERT_NE(page, nullptr);
  Launch(*form);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "InitGame"); }));
  EXPECT_TRUE(std::filesystem::exists(dir.file("mymod/vm/qagame.qvm")));
  const std::string firstModule = ModuleLine(*form, 1);
  EXPECT_FALSE(firstModule.empty()) << "the game found the module the build had made before it started";
  EXPECT_FALSE(Shows(*form, "ERROR"));
  auto* pages = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->currentWidget(), page) << "the game's console comes forward";

  // A command typed in the page reaches the game.
  page->CommandEdit->setText("print hello from the page");
  QTest::keyClick(page->CommandEdit, Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "hello from the page", 2); }));

  dir.write("ws/game/g_main.c",
            TempDir::read(dir.file("ws/game/g_main.c")) + "\nint addedByTheTest( void ) {\n\treturn 1;\n}\n");
  Launch(*form);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "The game is up again"); }));
  EXPECT_TRUE(Shows(*form, "command: map q3dm7")) << "the map read from the game's output is loaded again";
  const std::string secondModule = ModuleLine(*form, 2);
  ASSERT_FALSE(secondModule.empty());
  EXPECT_NE(secondModule, firstModule) << "the running game loaded the module built from the change";

  form->Actions()["StopGameAction"]->trigger();
  EXPECT_TRUE(WaitUntil([&] { return !GameRuns(); }));
  EXPECT_TRUE(WaitUntil([&] { return Shows(*form, "The game was ended by signal 15"); }));
}

TEST_F(GameInTheWindow, AFailedBuildStartsNothingAndSendsNothing) {
  const std::string source = dir.file("ws/game/g_main.c");
  const std::string good = TempDir::read(source);
  dir.write("ws/game/g_main.c", good + "\nSTANDIN_ERROR\n");
  auto form = Open();
  Launch(*form);
  ASSERT_TRUE(
      WaitUntil([&] { return !Projects(*form).BuildRunning() && form->BuildMessages.Lines().size() > 1; }));
  QTest::qWait(300);
  EXPECT_FALSE(GameRuns());
  EXPECT_FALSE(Shows(*form, "Starting"));

  dir.write("ws/game/g_main.c", good);
  Launch(*form);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "InitGame"); }));
  dir.write("ws/game/g_main.c", good + "\nSTANDIN_ERROR\n");
  Launch(*form);
  ASSERT_TRUE(WaitUntil([&] { return !Projects(*form).BuildRunning(); }));
  QTest::qWait(300);
  EXPECT_FALSE(Shows(*form, "command: map")) << "the running game keeps the module it has";
  EXPECT_TRUE(GameRuns());
}

TEST_F(GameInTheWindow, QuittingAsksWhileTheGameRunsAndLeavesNothingRunning) {
  auto form = Open();
  Launch(*form);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "InitGame"); }));
  questions.answers = {Answer::No};
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(GameRuns());
  ASSERT_FALSE(questions.log.empty());
  EXPECT_EQ(questions.log.back(),
            "ask: The game started from Tessarin is still running.\n\nEnd it and quit?");

  questions.answers = {Answer::Yes};
  EXPECT_TRUE(form->close());
  form.reset();
  EXPECT_TRUE(WaitUntil([&] { return !GameRuns(); }));
}

TEST_F(GameInTheWindow, UnderTheClassicConventionsTheGameStartsDetachedWithoutAPage) {
  auto form = Open(/*classic=*/true);
  EXPECT_EQ(form->findChild<GamePage*>("GamePage"), nullptr);
  EXPECT_FALSE(form->Actions()["StopGameAction"]->isVisible());
  Launch(*form);
  EXPECT_FALSE(Projects(*form).BuildRunning()) << "the classic launch builds nothing";
  ASSERT_TRUE(WaitUntil([&] { return GameRuns(); }));
  form.reset();
  QTest::qWait(200);
  EXPECT_TRUE(GameRuns()) << "a detached game outlives the program";
}

// The dedicated server loads the game module alone, so a client module that does not build keeps
// nothing from running; its map and the mod come from the settings.
TEST_F(GameInTheWindow, TheDedicatedServerNeedsOnlyTheGameModule) {
  RegistryStore store(dir.file("registry"));
  store.Load();
  store.SetString(RegistryRoot::CurrentUser, kSettingsKey, "ServerLocation", StandinTool("standin-game"));
  store.SetNumber(RegistryRoot::CurrentUser, kSettingsKey, "RunDedicatedServer", 1);
  store.SetString(RegistryRoot::CurrentUser, kSettingsKey, "ServerMap", "q3dm17");
  store.Save();
  dir.write("ws/cgame/cg_main.c", TempDir::read(dir.file("ws/cgame/cg_main.c")) + "\nSTANDIN_ERROR\n");
  auto form = Open();
  Launch(*form);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "InitGame: \\mapname\\q3dm17"); }));
  EXPECT_TRUE(Shows(*form, "Stand-in game 1.0 dedicated"));
  EXPECT_TRUE(Shows(*form, "+set dedicated 1 +set sv_pure 0 +set fs_game mymod +set vm_game 2 +map q3dm17"));
  form->Actions()["StopGameAction"]->trigger();
  EXPECT_TRUE(WaitUntil([&] { return Shows(*form, "The game was ended by signal 15"); }));
}

// A line the mod printed that names a place in its source opens it: F4 while the page is shown, or
// a double-click; the folders the game names it with need not be the workspace's.
TEST_F(GameInTheWindow, APlaceTheModPrintedOpensItsSourceLine) {
  auto form = Open();
  Launch(*form);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "InitGame"); }));
  auto* page = form->findChild<GamePage*>("GamePage");
  page->CommandEdit->setText("print assertion failed at ../game/g_main.c:12 (G_InitGame)");
  QTest::keyClick(page->CommandEdit, Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return Shows(*form, "assertion failed", 2); }));
  EXPECT_NE(page->StatusLabel->text().indexOf("error line"), -1) << page->StatusLabel->text().toStdString();
  form->Actions()["NextMessageAction"]->trigger();
  auto* editor = dynamic_cast<DocumentWindow*>(form->Windows().ActiveEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->FileName(), dir.file("ws/game/g_main.c"));
  EXPECT_EQ(editor->MarkedLine, 12);
}
