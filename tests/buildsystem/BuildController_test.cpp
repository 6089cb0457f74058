// Whole builds with the stand-in tools: the chain of compiles and the assembly, module
// renames, Rebuild All's summary, failed compiles, Cancel and time limits, refusing a second
// build, the save questions, steps that cannot start, and the places the messages lead to.
#include "BuildTestFixture.h"
#include "JumpToSource.h"

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

const char* const kMain = "#include \"g_local.h\"\n"
                          "int vmMain( int command ) {\n"
                          "\tG_Print( \"hello\" );\n"
                          "\treturn 0;\n"
                          "}\n";
const char* const kUtil = "#include \"g_local.h\"\n"
                          "void G_Print( const char *text ) {\n"
                          "\ttrap_Print( text );\n"
                          "}\n";
const char* const kAi = "void AI_Think( void ) {\n}\n";

class BuildFixture : public BuildTestFixture {
protected:
  BuildFixture() {
    settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
    settings.outputlocation = dir.path() + "/out/vm/";
  }

  // A project whose files sort with the AI file before the one holding vmMain.
  Project& AddProject(const std::string& name, const std::string& mainText = kMain) {
    Project& project = workspace.AddProject();
    project.Name = name;
    project.FileName = dir.write(name + "/" + name + ".tsp", "");
    for (const auto& [file, text] : std::vector<std::pair<std::string, std::string>>{
             {"ai_think.c", kAi},
             {"g_local.h", "void G_Print( const char *text );\n"},
             {"g_main.c", mainText},
             {"g_util.c", kUtil},
             {"syscalls.asm", "code\nequ trap_Print -1\n"}})
      project.Files.push_back({dir.write(name + "/" + file, text)});
    if (!workspace.ActiveProject) workspace.ActiveProject = &project;
    return project;
  }

  BuildController& Controller() {
    if (controller) return *controller;
    BuildContext context = Context();
    context.toolTimeLimit = timeLimit;
    controller = std::make_unique<BuildController>(context);
    return *controller;
  }

  bool WaitForEnd() {
    return WaitUntil([&] { return !Controller().Building(); });
  }

  std::string Out(const std::string& name) const { return settings.outputlocation + name; }

  // The assembler's own output (its module and map under the name of its run) left in the output
  // folder.
  bool AssemblerLeftovers() const {
    std::error_code none;
    for (const auto& entry : std::filesystem::directory_iterator(settings.outputlocation, none))
      if (entry.path().filename().string().rfind("q3asm-", 0) == 0) return true;
    return false;
  }

  std::optional<std::chrono::seconds> timeLimit;
};

// The place a "Debug" line leads to.
std::optional<MessageLocation> PlaceOf(const std::string& line) {
  return ParseMessageLine(line, PathStyle::Native(), paths::FileExists);
}

} // namespace

TEST_F(BuildFixture, BuildsAProjectIntoItsModuleWithTheEntryPointFirst) {
  AddProject("game");
  Controller().BuildActiveProject();
  EXPECT_TRUE(progress.Visible());
  EXPECT_EQ(progress.Caption(), "Compiling - game");
  EXPECT_EQ(progress.Maximum(), 5);
  ASSERT_TRUE(WaitForEnd());

  EXPECT_EQ(progress.Caption(), "Assembling - game.qvm");
  EXPECT_EQ(progress.Label(), "Completed  - 0 total errors");
  EXPECT_TRUE(progress.OkVisible());
  EXPECT_TRUE(progress.LabelBold());
  EXPECT_EQ(progress.Position(), progress.Maximum());
  EXPECT_EQ(ModuleCode(Out("game.qvm")), "standin qvm\nproc vmMain\nproc AI_Think\nproc G_Print\n");
  EXPECT_TRUE(paths::FileExists(Out("game.map")));
  EXPECT_FALSE(paths::FileExists(Out("g_main.asm"))) << "intermediate files are deleted";
  EXPECT_TRUE(Controller().AssemblyList().empty());
  EXPECT_NE(BuildMessagesText().find("pass 0: g_main.asm"), std::string::npos);
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game"));
  EXPECT_FALSE(Controller().Outcome().toolReportedError);

  progress.Hide();
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(paths::FileExists(Out("game.~qvm")));
  EXPECT_TRUE(paths::FileExists(Out("game.~map")));
}

// Compiles that run at once list their messages as one after the other would, file by file, and
// the module comes out byte for byte the same.
TEST_F(BuildFixture, ParallelCompilesListAndBuildAsOneAfterTheOther) {
  Project& project = AddProject("game");
  for (int i = 0; i < 7; ++i) {
    std::string text = "void F" + std::to_string(i) + "( void ) {\n";
    for (int line = 0; line <= i % 3; ++line)
      text += "\tSTANDIN_WARNING\n";
    project.Files.push_back({dir.write("game/f" + std::to_string(i) + ".c", text + "}\n")});
  }
  project.SortFiles();
  // Each message comes in pieces 20 ms apart, so the compiles' outputs overlap in time.
  settings.lcclarguments += " --standin-slow=20";
  auto build = [&](int parallel) {
    settings.ParallelCompiles = parallel;
    progress.Hide();
    Controller().BuildActiveProject();
    EXPECT_TRUE(WaitForEnd());
    return std::pair{WithoutRunNames(BuildMessagesText()), TempDir::read(Out("game.qvm"))};
  };
  const auto [oneAtATime, module] = build(1);
  const auto [fourAtOnce, sameModule] = build(4);
  EXPECT_EQ(fourAtOnce, oneAtATime);
  EXPECT_EQ(sameModule, module);
  EXPECT_NE(oneAtATime.find("f5.c:4: warning"), std::string::npos) << oneAtATime;

  // Cancel ends every compile that runs, and the build with them.
  project.Files.push_back({dir.write("game/hang.c", "void H( void ) {\n\tSTANDIN_HANG\n}\n")});
  project.SortFiles();
  progress.Hide();
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitUntil([&] { return progress.Label().find("hang.c") != std::string::npos; }));
  progress.Cancel();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Cancelled");
}

TEST_F(BuildFixture, RebuildAllSummarisesEveryProject) {
  AddProject("client");
  AddProject("server", std::string(kMain) + "int Broken( void ) {\n\tMissing_Call();\n}\n");
  AddProject("menu");
  Controller().BuildAll();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed\r"
                              "client  - 0 total errors\r"
                              "server  - 1 total errors\r"
                              "menu  - 0 total errors\r");
  EXPECT_TRUE(paths::FileExists(Out("client.qvm")));
  EXPECT_FALSE(paths::FileExists(Out("server.qvm")));
  EXPECT_TRUE(paths::FileExists(Out("menu.qvm")));
  EXPECT_NE(BuildMessagesText().find("g_main.asm:"), std::string::npos) << "the assembler's error is listed";
  EXPECT_NE(BuildMessagesText().find("symbol Missing_Call undefined"), std::string::npos);
  EXPECT_TRUE(Controller().Outcome().toolReportedError);
  EXPECT_EQ(Controller().Outcome().modulesInstalled, (std::set<std::string>{"client", "menu"}));
}

// Cancel ends the running tool, whatever it does: the build ends as cancelled and the project is
// neither assembled nor renamed.
TEST_F(BuildFixture, CancelEndsAHangingToolAndTheBuild) {
  Project& project = AddProject("game", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  Controller().Build(project);
  const std::string second = project.Files[2].Path;
  ASSERT_TRUE(WaitUntil([&] { return progress.Label() == second; }));
  const pid_t pid = Controller().Runner()->ProcessHandle();
  progress.Cancel();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(WaitUntil([pid] { return ::kill(pid, 0) != 0; }, 5000));
  EXPECT_EQ(progress.Label(), "Cancelled");
  EXPECT_EQ(progress.Position(), progress.Maximum());
  EXPECT_FALSE(AssemblerLeftovers());
  EXPECT_FALSE(paths::FileExists(Out("game.qvm")));
  EXPECT_EQ(Controller().AssemblyList(), std::vector<std::string>{Out("ai_think")});
  EXPECT_TRUE(paths::FileExists(Out("ai_think.asm"))) << "kept until a later build";
  EXPECT_EQ(BuildMessagesText().find("signal"), std::string::npos) << "a cancelled tool needs no words";
}

// The real compiler leaves an .asm that assembles cleanly after an error: only its exit status
// tells. Every file is still compiled, so every error shows, and the working module stays.
TEST_F(BuildFixture, AFailedCompileNeverReachesTheAssembler) {
  Project& game = AddProject("game");
  AddProject("menu");
  Controller().BuildAll();
  ASSERT_TRUE(WaitForEnd());
  const std::string working = TempDir::read(Out("game.qvm"));
  dir.write("game/g_main.c", std::string(kMain) + "STANDIN_ERROR\nint G_After( void ) {\n\tAI_Think();\n}\n");
  dir.write("game/g_util.c", std::string(kUtil) + "STANDIN_ERROR\n");

  Controller().BuildAll();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed\r"
                              "game  - 2 files failed to compile, module not built\r"
                              "menu  - 0 total errors\r");
  EXPECT_EQ(TempDir::read(Out("game.qvm")), working);
  EXPECT_FALSE(paths::FileExists(Out("game.~qvm")));
  EXPECT_TRUE(paths::FileExists(Out("menu.~qvm")));
  for (const char* leftover : {"g_main.asm", "g_util.asm", "ai_think.asm"})
    EXPECT_FALSE(paths::FileExists(Out(leftover))) << leftover;
  EXPECT_FALSE(AssemblerLeftovers());
  EXPECT_NE(BuildMessagesText().find(game.Files[2].Path + ":6: syntax error"), std::string::npos)
      << BuildMessagesText();
  EXPECT_NE(BuildMessagesText().find(game.Files[3].Path + ":5: syntax error"), std::string::npos);
  EXPECT_EQ(Controller().Outcome().projectProblems,
            (std::vector<std::pair<std::string, std::string>>{
                {"game", "2 files failed to compile, module not built"}}));

  Controller().CompileProjectFile(game, 3);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed  - 1 file failed to compile");
  EXPECT_FALSE(paths::FileExists(Out("g_util.asm")));
}

TEST_F(BuildFixture, AToolPastTheTimeLimitIsEndedAndFails) {
  timeLimit = std::chrono::seconds(1);
  AddProject("game", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_NE(BuildMessagesText().find("q3lcc ran longer than 1 s and was ended"), std::string::npos)
      << BuildMessagesText();
  EXPECT_EQ(progress.Label(), "Completed  - 1 file failed to compile, module not built");
  EXPECT_FALSE(paths::FileExists(Out("game.qvm")));
}

// Every message form the real tools print leads to its place: the compiler's own lines, an error
// inside a header (once per including file), the preprocessor's, and the assembler's .asm lines
// through the .asm's line records, read before the .asm files go.
TEST_F(BuildFixture, EveryMessageLeadsToItsSourceLine) {
  Project& project = AddProject("game", "int vmMain( void ) {\n\treturn 0;\n\tSTANDIN_ERROR\n}\n");
  settings.lcclarguments += " --standin-slow=3"; // the message arrives in many small chunks
  Controller().CompileProjectFile(project, 2);
  ASSERT_TRUE(WaitForEnd());
  const std::string expected =
      project.Files[2].Path + ":3: syntax error; found `STANDIN_ERROR' expecting `;'";
  ASSERT_EQ(debug.Lines().front(), expected);
  EXPECT_EQ(PlaceOf(expected), (MessageLocation{project.Files[2].Path, 3}));
  EXPECT_TRUE(Controller().AssemblyList().empty()) << "a failed compile is not assembled later";
  EXPECT_TRUE(Controller().Outcome().toolReportedError);

  settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
  const std::string header =
      dir.write("game/g_local.h", "void G_Print( const char *text );\nSTANDIN_ERROR\n");
  dir.write("game/g_main.c", "int vmMain( void ) {\n\treturn 0;\n}\n#include \"nosuch.h\"\n");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  const std::string inHeader =
      project.Files[3].Path + ": " + header + ":2: syntax error; found `STANDIN_ERROR' expecting `;'";
  EXPECT_NE(BuildMessagesText().find(inHeader + "\n"), std::string::npos) << BuildMessagesText();
  EXPECT_EQ(PlaceOf(inHeader), (MessageLocation{header, 2}));
  const std::string preprocessor =
      "cpp: " + project.Files[2].Path + ":4 Could not find include file \"nosuch.h\"";
  EXPECT_NE(BuildMessagesText().find(preprocessor), std::string::npos) << BuildMessagesText();
  EXPECT_EQ(PlaceOf(preprocessor), (MessageLocation{project.Files[2].Path, 4}));

  dir.write("game/g_local.h", "void G_Print( const char *text );\n");
  dir.write("game/g_main.c",
            "int vmMain( void ) {\n\treturn 0;\n}\n\nvoid G_Later( void ) {\n\tG_Missing();\n}\n");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  const auto& lines = debug.Lines();
  const auto assembler = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("G_Missing undefined") != std::string::npos;
  });
  ASSERT_NE(assembler, lines.end()) << BuildMessagesText();
  EXPECT_EQ(assembler->rfind(Out("g_main.asm:"), 0), 0u) << *assembler;
  ASSERT_NE(assembler + 1, lines.end());
  EXPECT_EQ(*(assembler + 1), project.Files[2].Path + ":6: error: symbol G_Missing undefined");
  EXPECT_EQ(PlaceOf(*(assembler + 1)), (MessageLocation{project.Files[2].Path, 6}));
  EXPECT_FALSE(paths::FileExists(Out("g_main.asm")));
}

// The assembler writes an error's place and its text with two writes; other output between them
// does not cut the line, which still leads to the C line.
TEST_F(BuildFixture, AnAssemblerErrorWrittenInPiecesLeadsToItsCLine) {
  Project& project = AddProject("game", "int vmMain( void ) {\n\tG_Missing();\n\treturn 0;\n}\n");
  settings.q3asmlarguments = "-v -m --standin-split-errors";
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  const std::string text = BuildMessagesText();
  EXPECT_NE(text.find(Out("g_main.asm:")), std::string::npos) << text;
  const std::string cLine = project.Files[2].Path + ":2: error: symbol G_Missing undefined\n";
  EXPECT_NE(text.find(cLine), std::string::npos) << text;
  EXPECT_NE(text.find("\nbetween\n"), std::string::npos) << text;
  EXPECT_EQ(Controller().Outcome().errors, 1);
}

// A compile that waits for the one before it holds its output, however much it is (here more
// than is kept in memory), and lists it whole and in order at its turn: every compile's text
// without line ends stays together, between the messages of the files before and after it.
TEST_F(BuildFixture, AWaitingCompileHoldsAFloodAndListsItInOrder) {
  Project& project = AddProject("game");
  project.Files.push_back({dir.write("game/a_slow.c", "void S( void ) {\n\tSTANDIN_WARNING\n}\n")});
  project.SortFiles();
  settings.ParallelCompiles = 3;
  constexpr std::size_t kFlood = 3000000;
  settings.lcclarguments += " --standin-noeol=" + std::to_string(kFlood) + " --standin-slow=5";
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  // Each compile's text: two lines at the longest a line may be, then the rest, which the same
  // stream's next message continues.
  std::size_t full = 0, rests = 0, bytes = 0;
  for (const std::string& line : debug.Lines()) {
    const std::size_t xs = std::min(line.find_first_not_of('x'), line.size());
    bytes += xs;
    full += xs == MessageLines::kLongestHeldLine;
    rests += xs > 0 && xs == kFlood - 2 * MessageLines::kLongestHeldLine;
  }
  EXPECT_EQ(bytes, 4 * kFlood);
  EXPECT_EQ(full, 8u);
  EXPECT_EQ(rests, 4u);
  EXPECT_NE(BuildMessagesText().find("a_slow.c:2: warning"), std::string::npos);
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game"));
}

TEST_F(BuildFixture, AStepThatCannotStartEndsTheBuildVisibly) {
  AddProject("game");
  settings.lcclocation = dir.file("no-compiler");
  Controller().BuildActiveProject();
  EXPECT_FALSE(Controller().Building());
  const std::string missing =
      "The compiler " + settings.lcclocation +
      " was not found. Set it in Preferences > Compiler (lcclocation), or install the "
      "tools as \"Getting started\" in the README shows.";
  EXPECT_EQ(progress.Label(), missing);
  EXPECT_TRUE(progress.OkVisible());
  EXPECT_EQ(debug.Lines().front(), missing);
  EXPECT_FALSE(paths::FileExists(settings.outputlocation)) << "nothing is made when nothing can be built";

  // Failing later in the chain, from a tool's end event: an assembler that cannot run.
  progress.Hide();
  settings.lcclocation = StandinTool("q3lcc");
  settings.q3asmlocation = dir.write("no-assembler", "");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(),
            "Error creating process : 13 (" + settings.q3asmlocation + ": Permission denied)");
  EXPECT_EQ(Controller().Outcome().failure, progress.Label());
}

TEST_F(BuildFixture, CrashingAndFloodingToolsEndTheBuildNormally) {
  Project& project = AddProject("game");
  settings.lcclarguments = "--standin-crash";
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(Controller().Outcome().toolReportedError);
  EXPECT_NE(
      BuildMessagesText().find("q3lcc ended by signal 6 while compiling " + project.Files[0].Path + "\n"),
      std::string::npos)
      << BuildMessagesText();
  EXPECT_EQ(progress.Label(), "Completed  - 3 files failed to compile, module not built");

  settings.lcclarguments = "--standin-flood=1000000 --standin-binary --standin-noeol=70000";
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game"));
}

// A module is installed only from an assembly that succeeded in this run: an assembler ended
// after writing its module leaves nothing behind, an earlier leftover never becomes another
// project's module, and one that wrote its module but exited with an error installs nothing. The
// window says why, as the command-line build does.
TEST_F(BuildFixture, OnlyAnAssemblyThatSucceededInThisRunInstallsAModule) {
  timeLimit = std::chrono::seconds(1);
  Project& client = AddProject("client");
  Project& server = AddProject("server");
  auto leftovers = [this] { return AssemblerLeftovers(); };
  settings.q3asmlarguments = "-v -m --standin-hang-after";
  Controller().Build(client);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_FALSE(paths::FileExists(Out("client.qvm")));
  EXPECT_FALSE(leftovers());

  // What an assembler of the classic name left is never taken for this run's module.
  dir.write("out/vm/q3asm.qvm", ModuleWithCode("stale"));
  dir.write("out/vm/q3asm.map", "stale map");
  settings.q3asmlarguments = "-v -m";
  const std::string syscalls = TempDir::read(server.Files[4].Path);
  std::filesystem::remove(server.Files[4].Path);
  Controller().Build(server);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_FALSE(paths::FileExists(Out("server.qvm")));
  EXPECT_FALSE(leftovers());
  EXPECT_EQ(progress.Label(), "Completed  - q3asm exited with status 1");

  dir.write("server/syscalls.asm", syscalls);
  settings.q3asmlarguments = "-v -m --standin-exit=2";
  Controller().Build(server);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_FALSE(paths::FileExists(Out("server.qvm")));
  EXPECT_FALSE(leftovers());
  EXPECT_EQ(progress.Label(), "Completed  - 0 total errors - q3asm exited with status 2");
  EXPECT_EQ(Controller().Outcome().projectProblems,
            (std::vector<std::pair<std::string, std::string>>{{"server", "q3asm exited with status 2"}}));
}

// The module and map of the last good build stay when an assembly fails, and the assembler's own
// map of the failed one goes.
TEST_F(BuildFixture, AFailedAssemblyKeepsTheOldModuleAndLeavesNoMap) {
  AddProject("game");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  const std::string module = TempDir::read(Out("game.qvm")), map = TempDir::read(Out("game.map"));
  dir.write("game/g_util.c", std::string(kUtil) + "void G_Broken( void ) {\n\tMissing_Call();\n}\n");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed  - 1 total errors");
  EXPECT_EQ(TempDir::read(Out("game.qvm")), module);
  EXPECT_EQ(TempDir::read(Out("game.map")), map);
  EXPECT_FALSE(paths::FileExists(Out("q3asm.map")));
  EXPECT_FALSE(paths::FileExists(Out("game.~qvm")));
}

// A module that cannot take the project's name is no module: the build says so, and the
// project's old module stays.
TEST_F(BuildFixture, AModuleThatCannotBeRenamedIsAFailure) {
  for (const std::string& name : {std::string(252, 'n'), std::string("../escape")}) {
    workspace.Clear();
    Project& project = AddProject("game");
    project.Name = name;
    Controller().Build(project);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(Controller().Outcome().modulesInstalled.empty()) << name;
    ASSERT_EQ(Controller().Outcome().projectProblems.size(), 1u) << name;
    EXPECT_EQ(Controller().Outcome().projectProblems[0].second.rfind("the module could not be named ", 0), 0u)
        << Controller().Outcome().projectProblems[0].second;
    EXPECT_NE(progress.Label().find("the module could not be named"), std::string::npos) << progress.Label();
    EXPECT_FALSE(AssemblerLeftovers()) << name;
  }
}

// A compile that fails without a word, by status or by signal, is named by the file it compiled.
TEST_F(BuildFixture, ACompilerThatFailsSilentlyIsNamedByItsFile) {
  Project& project = AddProject("game");
  settings.lcclarguments = "-DQ3_VM -S --standin-exit=3";
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  for (const int file : {0, 2, 3})
    EXPECT_NE(BuildMessagesText().find("q3lcc exited with status 3 and no message while compiling " +
                                       project.Files[static_cast<std::size_t>(file)].Path + "\n"),
              std::string::npos)
        << BuildMessagesText();
  EXPECT_EQ(progress.Label(), "Completed  - 3 files failed to compile, module not built");

  // A compile that said why it failed needs no more words.
  settings.lcclarguments = "-DQ3_VM -S";
  dir.write("game/g_main.c", std::string(kMain) + "STANDIN_ERROR\n");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(BuildMessagesText().find("no message"), std::string::npos) << BuildMessagesText();
}

// What a tool leaves running ends with the tool.
TEST_F(BuildFixture, AToolsBackgroundChildrenEndWithIt) {
  AddProject("game");
  settings.lcclarguments += " --standin-background";
  settings.q3asmlarguments += " --standin-background";
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game"));
  EXPECT_TRUE(WaitUntil([&] { return ProcessesNaming("--standin-background").empty(); }, 5000));
}

// Output without line ends: each compile's text is a line of its own, whether the compiles run
// one after the other or at once, and no line outgrows the limit.
TEST_F(BuildFixture, ToolOutputWithoutLineEndsIsNeverJoinedAndNeverOverlong) {
  Project& project = AddProject("game");
  settings.lcclarguments += " --standin-noeol=10";
  for (int parallel : {1, 3}) {
    settings.ParallelCompiles = parallel;
    Controller().BuildActiveProject();
    ASSERT_TRUE(WaitForEnd());
    const auto& lines = debug.Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "pass 0: g_main.asm"}))
        << BuildMessagesText();
  }

  settings.lcclarguments = "--standin-noeol=3000000";
  Controller().CompileProjectFile(project, 0);
  ASSERT_TRUE(WaitForEnd());
  std::string all;
  for (const std::string& line : debug.Lines()) {
    EXPECT_LE(line.size(), MessageLines::kLongestHeldLine);
    all += line;
  }
  EXPECT_EQ(all, std::string(3000000, 'x'));
}

TEST_F(BuildFixture, ASecondBuildAndWorkspaceChangesAreRefusedWhileOneRuns) {
  AddProject("game");
  EXPECT_FALSE(Controller().RefuseWorkspaceChange());
  Controller().BuildActiveProject();
  Controller().BuildAll();
  EXPECT_TRUE(Controller().RefuseWorkspaceChange());
  EXPECT_EQ(questions.log, (std::vector<std::string>{std::string("inform: ") + kBuildAlreadyRunning,
                                                     std::string("inform: ") + kWorkspaceInUse}));
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed  - 0 total errors");
}

TEST_F(BuildFixture, AsksToSaveModifiedWindowsFirst) {
  Project& project = AddProject("game");
  editors.modified = {"/mods/a.c", project.Files[2].Path};
  questions.answers = {Answer::Yes, Answer::No, Answer::Yes};
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(editors.saveAllCount, 1);

  Controller().CompileProjectFile(project, 2);
  ASSERT_TRUE(WaitForEnd());
  editors.active = project.Files[2].Path;
  Controller().CompileActiveFile();
  EXPECT_EQ(progress.Caption(), "Compiling - g_main.c");
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(questions.log,
            (std::vector<std::string>{"ask: The Files a.c, g_main.c are not saved\r\nSave Files?",
                                      "ask: g_main.c is not saved, Save this File?",
                                      "ask: " + project.Files[2].Path + " is not saved, Save this File?"}));
  EXPECT_EQ(editors.saved, std::vector<std::string>{project.Files[2].Path});
}

// A project with nothing to compile or assemble says so, and Rebuild All goes on with the next.
TEST_F(BuildFixture, ProjectsWithoutSourcesSayWhyAndCaptions) {
  Project& empty = AddProject("empty");
  empty.Files.clear();
  AddProject("game");
  Project& headers = AddProject("headers");
  headers.Files.erase(headers.Files.begin() + 2, headers.Files.end()); // ai_think.c, g_local.h
  headers.Files.erase(headers.Files.begin());
  Controller().BuildAll();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed\r"
                              "empty  - no source files, module not built\r"
                              "game  - 0 total errors\r"
                              "headers  - no source files, module not built\r");
  EXPECT_EQ(BuildController::BuildActiveProjectCaption(*workspace.ActiveProject), "Build empty.qvm");
  EXPECT_EQ(BuildController::CompileActiveCaption("/mods/server/logic.c"), "Compile logic.c");
  EXPECT_TRUE(Controller().ToolsExist());
  settings.q3asmlocation.clear();
  EXPECT_FALSE(Controller().ToolsExist());
}

TEST_F(BuildFixture, AHangingToolIsKilledWhenTheProgramCloses) {
  AddProject("game", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitUntil([&] { return progress.Label().find("g_main.c") != std::string::npos; }));
  const pid_t pid = Controller().Runner()->ProcessHandle();
  Controller().Abort();
  EXPECT_FALSE(Controller().Building());
  EXPECT_EQ(progress.Label(), "Cancelled");
  controller.reset();
  EXPECT_TRUE(WaitUntil([pid] { return ::kill(pid, 0) != 0; }, 5000));
}

// A source that is gone is a compile that failed, named as such; the project is not assembled.
TEST_F(BuildFixture, AVanishedSourceOrAnImpossibleOutputFolderIsReported) {
  Project& project = AddProject("game");
  std::filesystem::remove(project.Files[3].Path); // g_util.c
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_NE(
      BuildMessagesText().find("Cannot compile " + project.Files[3].Path + ": No such file or directory\n"),
      std::string::npos)
      << BuildMessagesText();
  EXPECT_EQ(BuildMessagesText().find("pass 0"), std::string::npos) << "not assembled";
  EXPECT_EQ(progress.Label(), "Completed  - 1 file failed to compile, module not built");
  EXPECT_FALSE(Controller().Outcome().modulesInstalled.count("game"));

  progress.Hide();
  settings.outputlocation = project.Files[0].Path + "/vm/"; // below a file: cannot be made
  Controller().BuildActiveProject();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(),
            "Cannot create the output folder " + settings.outputlocation + " (Not a directory)");
  EXPECT_TRUE(progress.OkVisible());
}
