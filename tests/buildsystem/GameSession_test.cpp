// The game started from the program, with the stand-in game: its console lines in order and
// without colour codes, errors counted, commands reaching it, the reload of its modules, and
// nothing of it left running after Stop, quit, a crash or the program's end. Also what the
// console's lines say, and which command starts the game or the dedicated server.
#include "BuildTestSupport.h"
#include "GameConsole.h"
#include "GameSession.h"
#include "QtHandOver.h"
#include "UserQuestions.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>

namespace {

// Lines the game printed, without the program's own notes.
std::vector<std::string> GameLines(GameSession& game) {
  std::vector<std::string> lines;
  for (const std::string& line : game.Lines().Lines())
    if (!line.empty() && line.rfind(kGameNotePrefix, 0) != 0) lines.push_back(line);
  return lines;
}

bool Printed(GameSession& game, const std::string& text) {
  for (const std::string& line : game.Lines().Lines())
    if (line.find(text) != std::string::npos) return true;
  return false;
}

struct StandinGame {
  TempDir dir;
  // Marks the game and whatever it forks, so that a test can look for them.
  std::string marker = "standin-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device()());
  GameSession game{std::make_shared<QtHandOver>()};

  GameCommand Command(const std::string& map = "q3dm7") {
    GameCommand command;
    command.program = StandinTool("standin-game");
    command.parameters = "+set dedicated 1 +set marker " + marker + (map.empty() ? "" : " +map " + map);
    command.directory = dir.path();
    command.map = map;
    return command;
  }
  [[nodiscard]] bool WaitFor(const std::string& text) {
    return WaitUntil([&] { return Printed(game, text); });
  }
  [[nodiscard]] bool NothingLeft() {
    return WaitUntil([&] { return ProcessesNaming(marker).empty(); });
  }
};

} // namespace

TEST(GameConsole, ColourCodesGoHoweverTheOutputIsCut) {
  const std::string output = "^1ERROR:^7 bad ^^3caret ^ at end^";
  bool held = false;
  const std::string whole = StripColourCodes(output, held);
  EXPECT_EQ(whole, "ERROR: bad ^caret ^ at end");
  EXPECT_TRUE(held) << "a last caret may begin a code";
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string pieces;
    held = false;
    for (std::size_t at = 0; at < output.size();) {
      const std::size_t size = std::uniform_int_distribution<std::size_t>(1, 4)(random);
      pieces += StripColourCodes(output.substr(at, size), held);
      at += size;
    }
    ASSERT_EQ(pieces, whole);
  }
}

TEST(GameConsole, ErrorsPlacesMapsAndReloads) {
  for (const char* line :
       {"ERROR: VM_Create on game failed", "VM_Create on game failed", "G_Error: bad entity",
        "Exception caught", "g_main.c:412: assertion", "in ../game/g_combat.c:88"})
    EXPECT_TRUE(IsGameErrorLine(line)) << line;
  for (const char* line : {"InitGame: \\mapname\\q3dm1", "errors: 0", "loading cfg.c", "Server: q3dm1",
                           "...which has vmMagic VM_MAGIC_VER2"})
    EXPECT_FALSE(IsGameErrorLine(line)) << line;

  EXPECT_EQ(SourcePlaceIn("in ../game/g_combat.c:88 (G_Damage)"),
            (GameSourcePlace{"../game/g_combat.c", 88}));
  EXPECT_EQ(SourcePlaceIn("g_main.c:412: assertion"), (GameSourcePlace{"g_main.c", 412}));
  EXPECT_FALSE(SourcePlaceIn("see .c:12 or g_main.c: none"));

  EXPECT_EQ(MapStartedIn("Server: aggressor"), "aggressor");
  EXPECT_FALSE(MapStartedIn("Server: "));
  EXPECT_FALSE(MapStartedIn("say Server: me"));

  EXPECT_EQ(ReloadCommandFor("map {map}", "q3dm7"), "map q3dm7");
  EXPECT_EQ(ReloadCommandFor("vid_restart", ""), "vid_restart");
  EXPECT_FALSE(ReloadCommandFor("map {map}", "")) << "nothing to reload before a map is loaded";
  EXPECT_FALSE(ReloadCommandFor("  ", "q3dm7"));
}

TEST(GameSession, TheDedicatedServerLoadsTheOutputFoldersModOnTheServerMap) {
  Settings settings;
  settings.quake3location = "/usr/games/openarena";
  settings.quake3arguments = "+set fs_game mymod";
  settings.ServerLocation = "/usr/games/openarena-server";
  settings.ServerMap = "aggressor";
  settings.outputlocation = "/home/me/.openarena/mymod/vm/";
  const GameCommand client = GameCommandFor(settings, PathStyle::Posix());
  EXPECT_EQ(client.program, "/usr/games/openarena");
  EXPECT_EQ(client.parameters, "+set fs_game mymod");
  EXPECT_EQ(client.directory, "/usr/games/");
  settings.RunDedicatedServer = true;
  const GameCommand server = GameCommandFor(settings, PathStyle::Posix());
  EXPECT_EQ(server.program, "/usr/games/openarena-server");
  EXPECT_EQ(server.parameters,
            "+set dedicated 1 +set sv_pure 0 +set fs_game mymod +set vm_game 2 +map aggressor");
  EXPECT_EQ(server.map, "aggressor");
}

TEST(GameSession, OutputArrivesInOrderWithoutColoursAndCommandsReachTheGame) {
  StandinGame standin;
  GameSession& game = standin.game;
  game.Start(standin.Command());
  ASSERT_TRUE(standin.WaitFor("InitGame"));
  EXPECT_TRUE(game.Running());
  EXPECT_EQ(GameLines(game).front(), "Stand-in game 1.0 dedicated") << "colour codes are gone";
  EXPECT_EQ(game.Map(), "q3dm7");

  game.Send("lines 3000");
  ASSERT_TRUE(standin.WaitFor("line 3000"));
  std::vector<std::string> numbered;
  for (const std::string& line : GameLines(game))
    if (line.rfind("line ", 0) == 0) numbered.push_back(line);
  ASSERT_EQ(numbered.size(), 3000u);
  for (std::size_t i = 0; i < numbered.size(); ++i)
    ASSERT_EQ(numbered[i], "line " + std::to_string(i + 1));

  EXPECT_EQ(game.Errors(), 0);
  game.Send("error the ^1bad^7 thing");
  ASSERT_TRUE(WaitUntil([&] { return game.Errors() == 1; }));
  EXPECT_EQ(game.LastErrorLine(), "ERROR: the bad thing");
}

TEST(GameSession, ReloadSendsTheMapCommandAndSaysWhenTheGameIsUpAgain) {
  StandinGame standin;
  GameSession& game = standin.game;
  game.Start(standin.Command());
  ASSERT_TRUE(standin.WaitFor("InitGame"));
  game.Send("map q3dm17");
  ASSERT_TRUE(WaitUntil([&] { return game.Map() == "q3dm17"; })) << "the map is read from the output";
  ASSERT_TRUE(game.Reload("map {map}"));
  EXPECT_TRUE(game.Reloading());
  ASSERT_TRUE(WaitUntil([&] { return !game.Reloading(); }));
  EXPECT_TRUE(Printed(game, "command: map q3dm17"));
  EXPECT_TRUE(Printed(game, "The game is up again"));
  EXPECT_EQ(game.Status(), "The game is running");
}

TEST(GameSession, NothingIsLeftRunningAfterStopQuitACrashOrTheProgramsEnd) {
  {
    StandinGame standin;
    standin.game.Start(standin.Command());
    standin.game.Send("spawn");
    ASSERT_TRUE(standin.WaitFor("child: "));
    standin.game.Stop();
    ASSERT_TRUE(WaitUntil([&] { return standin.game.End().has_value(); }));
    EXPECT_EQ(standin.game.End()->signal, SIGTERM);
    EXPECT_TRUE(standin.NothingLeft()) << "the game's children go with it";
  }
  {
    StandinGame standin;
    standin.game.Start(standin.Command());
    standin.game.Send("spawn");
    standin.game.Send("quit");
    ASSERT_TRUE(WaitUntil([&] { return standin.game.End().has_value(); }));
    EXPECT_EQ(standin.game.End()->exitStatus, 0);
    EXPECT_EQ(standin.game.Status(), "The game exited with status 0");
    EXPECT_TRUE(standin.NothingLeft());
  }
  {
    StandinGame standin;
    standin.game.Start(standin.Command());
    standin.game.Send("error the last words");
    standin.game.Send("crash");
    ASSERT_TRUE(WaitUntil([&] { return standin.game.End().has_value(); }));
    EXPECT_EQ(standin.game.End()->signal, SIGSEGV);
    EXPECT_NE(standin.game.Status().find("signal 11"), std::string::npos) << standin.game.Status();
    EXPECT_NE(standin.game.Status().find("last error: ERROR: the last words"), std::string::npos);
    EXPECT_THROW(standin.game.Send("map q3dm1"), TessarinError) << "a game that ended takes no commands";
  }
  std::string marker;
  {
    StandinGame standin;
    marker = standin.marker;
    standin.game.Start(standin.Command());
    standin.game.Send("spawn");
    ASSERT_TRUE(standin.WaitFor("child: "));
  }
  EXPECT_TRUE(WaitUntil([&] { return ProcessesNaming(marker).empty(); }))
      << "the program's end ends the game";
}

TEST(GameSession, AReloadBeforeAnyMapSendsNothing) {
  StandinGame standin;
  standin.game.Start(standin.Command(""));
  ASSERT_TRUE(standin.WaitFor("Stand-in game"));
  EXPECT_FALSE(standin.game.Reload("map {map}"));
  EXPECT_FALSE(standin.game.Reloading());
  EXPECT_TRUE(Printed(standin.game, "No map is loaded yet"));
}
