// Whole builds with the stand-in tools: the chain of compiles and the assembly, module
// renames, Rebuild All's summary, Cancel, refusing a second build, the save questions, and
// steps that cannot start.
#include "BuildController.h"
#include "BuildTestSupport.h"
#include "JumpToSource.h"
#include "QtHandOver.h"
#include "ScriptedQuestions.h"
#include "TempDir.h"

#include <csignal>

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

class BuildFixture : public ::testing::Test {
protected:
  BuildFixture() {
    settings.lcclocation = StandinTool("q3lcc");
    settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
    settings.q3asmlocation = StandinTool("q3asm");
    settings.q3asmlarguments = "-v -m";
    settings.outputlocation = dir.path() + "/out/vm/";
  }

  // A project whose files sort with the AI file before the one holding vmMain.
  TProjectItem& AddProject(const std::string& name, const std::string& mainText = kMain) {
    TProjectItem& project = workspace.AddProject();
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

  TBuildController& Controller() {
    if (!controller)
      controller = std::make_unique<TBuildController>(BuildContext{
          settings, workspace, debug, progress, editors, questions, std::make_shared<QtHandOver>(), {}});
    return *controller;
  }

  bool WaitForEnd() {
    return WaitUntil([&] { return !Controller().Building(); });
  }

  std::string Out(const std::string& name) const { return settings.outputlocation + name; }
  std::string DebugText() const {
    std::string text;
    for (const auto& line : debug.Lines())
      text += line + "\n";
    return text;
  }

  TempDir dir;
  Settings settings;
  TProjectList workspace;
  MessageLines debug;
  ProgressState progress;
  FakeEditors editors;
  ScriptedQuestions questions;
  std::unique_ptr<TBuildController> controller;
};

} // namespace

TEST_F(BuildFixture, BuildsAProjectIntoItsModuleWithTheEntryPointFirst) {
  AddProject("game");
  Controller().BuildActiveProjectActionExecute();
  EXPECT_TRUE(progress.Visible());
  EXPECT_EQ(progress.Caption(), "Compiling - game");
  EXPECT_EQ(progress.Maximum(), 5);
  ASSERT_TRUE(WaitForEnd());

  EXPECT_EQ(progress.Caption(), "Assembling - game.qvm");
  EXPECT_EQ(progress.Label(), "Completed  - 0 total errors");
  EXPECT_TRUE(progress.OkVisible());
  EXPECT_TRUE(progress.LabelBold());
  EXPECT_EQ(progress.Position(), progress.Maximum());
  EXPECT_EQ(TempDir::read(Out("game.qvm")), "standin qvm\nproc vmMain\nproc AI_Think\nproc G_Print\n");
  EXPECT_TRUE(paths::FileExists(Out("game.map")));
  EXPECT_FALSE(paths::FileExists(Out("g_main.asm"))) << "intermediate files are deleted";
  EXPECT_TRUE(Controller().AssemblyList().empty());
  EXPECT_NE(DebugText().find("pass 0: g_main.asm"), std::string::npos);
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game"));
  EXPECT_FALSE(Controller().Outcome().toolReportedError);

  progress.okButtonClick();
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(paths::FileExists(Out("game.~qvm")));
  EXPECT_TRUE(paths::FileExists(Out("game.~map")));
}

TEST_F(BuildFixture, RebuildAllSummarisesEveryProject) {
  AddProject("client");
  AddProject("server", std::string(kMain) + "int Broken( void ) {\n\tMissing_Call();\n}\n");
  AddProject("menu");
  Controller().BuildAllActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed\r"
                              "client  - 0 total errors\r"
                              "server  - 1 total errors\r"
                              "menu  - 0 total errors\r");
  EXPECT_TRUE(paths::FileExists(Out("client.qvm")));
  EXPECT_FALSE(paths::FileExists(Out("server.qvm")));
  EXPECT_TRUE(paths::FileExists(Out("menu.qvm")));
  EXPECT_NE(DebugText().find("g_main.asm:"), std::string::npos) << "the assembler's error is listed";
  EXPECT_NE(DebugText().find("symbol Missing_Call undefined"), std::string::npos);
  EXPECT_TRUE(Controller().Outcome().toolReportedError);
  EXPECT_EQ(Controller().Outcome().modulesInstalled, (std::set<std::string>{"client", "menu"}));
}

TEST_F(BuildFixture, CancelDuringTheSecondCompileStopsAfterIt) {
  TProjectItem& project = AddProject("game");
  Controller().BuildActionExecute(project);
  const std::string second = project.Files[2].Path;
  ASSERT_TRUE(WaitUntil([&] { return progress.Label() == second; }));
  progress.cancelButtonClick();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Cancelled");
  EXPECT_EQ(progress.Position(), progress.Maximum());
  EXPECT_FALSE(paths::FileExists(Out("q3asm.qvm")));
  EXPECT_FALSE(paths::FileExists(Out("game.qvm")));
  EXPECT_EQ(Controller().AssemblyList().size(), 2u);
  EXPECT_TRUE(paths::FileExists(Out("g_main.asm"))) << "kept until a later build";
}

TEST_F(BuildFixture, CompilerMessagesLeadToTheirSourceLines) {
  TProjectItem& project = AddProject("game", "int vmMain( void ) {\n\treturn 0;\n\tSTANDIN_ERROR\n}\n");
  settings.lcclarguments += " --standin-slow=3"; // the message arrives in many small chunks
  Controller().CompileActionExecute(project, 2);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed");
  const std::string expected =
      project.Files[2].Path + ":3: syntax error; found `STANDIN_ERROR' expecting `;'";
  ASSERT_EQ(debug.Lines().front(), expected);
  EXPECT_EQ(ParseMessageLine(expected, PathStyle::Native(), paths::FileExists),
            (MessageLocation{project.Files[2].Path, 3}));
  EXPECT_EQ(Controller().AssemblyList(), std::vector<std::string>{Out("g_main")});
  EXPECT_TRUE(Controller().Outcome().toolReportedError);
}

TEST_F(BuildFixture, AStepThatCannotStartEndsTheBuildVisibly) {
  AddProject("game");
  settings.lcclocation = dir.file("no-compiler");
  Controller().BuildActiveProjectActionExecute();
  EXPECT_FALSE(Controller().Building());
  EXPECT_EQ(progress.Label(), "Error creating process : 2");
  EXPECT_TRUE(progress.OkVisible());
  EXPECT_EQ(debug.Lines().front(), "Error creating process : 2");

  // Failing later in the chain, from a tool's end event.
  progress.okButtonClick();
  settings.lcclocation = StandinTool("q3lcc");
  settings.q3asmlocation = dir.file("no-assembler");
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Error creating process : 2");
  EXPECT_EQ(Controller().Outcome().failure, "Error creating process : 2");
}

TEST_F(BuildFixture, CrashingAndFloodingToolsEndTheBuildNormally) {
  AddProject("game");
  settings.lcclarguments = "--standin-crash";
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(Controller().Outcome().toolReportedError);
  EXPECT_NE(DebugText().find("Error opening"), std::string::npos) << "the assembler misses the .asm files";

  settings.lcclarguments = "--standin-flood=1000000 --standin-binary --standin-noeol=70000";
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game"));
}

TEST_F(BuildFixture, ASecondBuildIsRefusedWhileOneRuns) {
  AddProject("game");
  Controller().BuildActiveProjectActionExecute();
  Controller().BuildAllActionExecute();
  EXPECT_EQ(questions.log, std::vector<std::string>{std::string("inform: ") + kBuildAlreadyRunning});
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Completed  - 0 total errors");
}

TEST_F(BuildFixture, AsksToSaveModifiedWindowsFirst) {
  TProjectItem& project = AddProject("game");
  editors.modified = {"/mods/a.c", project.Files[2].Path};
  questions.answers = {Answer::Yes, Answer::No, Answer::Yes};
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(editors.saveAllCount, 1);

  Controller().CompileActionExecute(project, 2);
  ASSERT_TRUE(WaitForEnd());
  editors.active = project.Files[2].Path;
  Controller().CompileActiveActionExecute();
  EXPECT_EQ(progress.Caption(), "Compiling - g_main.c");
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(questions.log,
            (std::vector<std::string>{"ask: The Files a.c, g_main.c are not saved\r\nSave Files?",
                                      "ask: g_main.c is not saved, Save this File?",
                                      "ask: " + project.Files[2].Path + " is not saved, Save this File?"}));
  EXPECT_EQ(editors.saved, std::vector<std::string>{project.Files[2].Path});
}

TEST_F(BuildFixture, ProjectsWithoutFilesAndCaptions) {
  TProjectItem& empty = AddProject("empty");
  empty.Files.clear();
  AddProject("game");
  Controller().BuildAllActionExecute();
  EXPECT_FALSE(Controller().Building()) << "a first project without files builds nothing at all";
  EXPECT_FALSE(progress.Visible());
  EXPECT_EQ(TBuildController::BuildActiveProjectCaption(*workspace.ActiveProject), "Build empty.qvm");
  EXPECT_EQ(TBuildController::CompileActiveCaption("/mods/server/logic.c"), "Compile logic.c");
  EXPECT_TRUE(Controller().ToolsExist());
  settings.q3asmlocation.clear();
  EXPECT_FALSE(Controller().ToolsExist());
}

TEST_F(BuildFixture, AHangingToolIsKilledWhenTheProgramCloses) {
  AddProject("game", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitUntil([&] { return progress.Label().find("g_main.c") != std::string::npos; }));
  const pid_t pid = Controller().Runner()->ProcessHandle();
  progress.cancelButtonClick();
  QCoreApplication::processEvents();
  EXPECT_TRUE(Controller().Building()) << "Cancel waits for the running tool";
  controller.reset();
  EXPECT_TRUE(WaitUntil([pid] { return ::kill(pid, 0) != 0; }, 5000));
}

TEST_F(BuildFixture, AVanishedSourceOrAnImpossibleOutputFolderIsReported) {
  TProjectItem& project = AddProject("game");
  std::filesystem::remove(project.Files[3].Path); // g_util.c
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_NE(DebugText().find("Error opening " + Out(".asm")), std::string::npos) << DebugText();
  EXPECT_FALSE(Controller().Outcome().modulesInstalled.count("game"));

  progress.okButtonClick();
  settings.outputlocation = project.Files[0].Path + "/vm/"; // below a file: cannot be made
  Controller().BuildActiveProjectActionExecute();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(progress.Label(), "Error creating process : 20") << "ENOTDIR: the tool cannot start there";
  EXPECT_TRUE(progress.OkVisible());
}
