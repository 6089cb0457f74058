// The command-line build on the example workspace with the stand-in tools: what it prints,
// where, and its exit status.
#include "BuildTestSupport.h"
#include "CompilationDatabase.h"
#include "Paths.h"
#include "TempDir.h"

#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

class CommandLineBuild : public ::testing::Test {
protected:
  CommandLineBuild() {
    const auto examples = std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod";
    std::filesystem::copy(examples, dir.path(), std::filesystem::copy_options::recursive);
  }

  ToolRun Build(QStringList arguments, const std::string& compilerOptions = "-DQ3_VM -S") {
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(Program(), Settings(compilerOptions) + arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
  }

  static QString Program() {
    const auto self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    return QString::fromStdString((self.parent_path() / "src/buildsystem/tessarin-build").string());
  }

  QStringList Settings(const std::string& compilerOptions) const {
    return {"--set", QString::fromStdString("lcclocation=" + StandinTool("q3lcc")),
            "--set", QString::fromStdString("lcclarguments=" + compilerOptions),
            "--set", QString::fromStdString("q3asmlocation=" + StandinTool("q3asm")),
            "--set", "q3asmlarguments=-v -m",
            "--set", QString::fromStdString("outputlocation=" + dir.path() + "/vm")};
  }

  // Settings of the test's own, so the user's are never read.
  QProcessEnvironment Environment() const {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.path() + "/config"));
    environment.insert("XDG_CACHE_HOME", QString::fromStdString(dir.path() + "/cache"));
    // Under AddressSanitizer freed memory waits in a quarantine, which would count as kept.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":quarantine_size_mb=0");
    return environment;
  }

  QString Workspace() const { return QString::fromStdString(dir.file("mymod.tsw")); }

  TempDir dir;
};

} // namespace

TEST_F(CommandLineBuild, BuildsTheExampleWorkspace) {
  const ToolRun run = Build({Workspace()});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("0 total errors\n"), std::string::npos);
  EXPECT_NE(run.err.find("Compiling - qagame: " + dir.file("game/g_main.c") + "\n"), std::string::npos);
  EXPECT_NE(run.err.find("Completed\nqagame  - 0 total errors\ncgame  - 0 total errors\n"),
            std::string::npos);
  EXPECT_EQ(ModuleCode(dir.file("vm/qagame.qvm")).substr(0, 23), "standin qvm\nproc vmMain");
  EXPECT_EQ(ModuleCode(dir.file("vm/cgame.qvm")).substr(0, 23), "standin qvm\nproc vmMain");
}

TEST_F(CommandLineBuild, ParallelCompilesWriteTheSameModuleAndMessages) {
  const ToolRun oneAtATime = Build({Workspace(), "qagame"}, "-DQ3_VM -S --standin-slow=9");
  const std::string module = TempDir::read(dir.file("vm/qagame.qvm"));
  const ToolRun fourAtOnce =
      Build({"--jobs", "4", "--rebuild", Workspace(), "qagame"}, "-DQ3_VM -S --standin-slow=9");
  EXPECT_EQ(fourAtOnce.exitCode, 0) << fourAtOnce.err;
  EXPECT_EQ(WithoutRunNames(fourAtOnce.out), WithoutRunNames(oneAtATime.out));
  EXPECT_EQ(TempDir::read(dir.file("vm/qagame.qvm")), module);
  EXPECT_EQ(Build({"--jobs", "0", Workspace()}).exitCode, 2);
}

TEST_F(CommandLineBuild, FailsOnACompileErrorAndNamesTheLine) {
  dir.write("cgame/cg_main.c", "int vmMain( void ) {\n\treturn 0\n\tSTANDIN_ERROR\n}\n");
  const ToolRun run = Build({Workspace(), "cgame"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find(dir.file("cgame/cg_main.c") + ":3: syntax error"), std::string::npos) << run.out;
  EXPECT_FALSE(paths::FileExists(dir.file("vm/qagame.qvm"))) << "only the named project is built";
}

TEST_F(CommandLineBuild, FailsWhenAToolIsMissingOrTheInputIsWrong) {
  ToolRun run = Build({Workspace(), "qagame"}, "--standin-crash");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(Build({Workspace(), "nosuch"}).exitCode, 2);
  EXPECT_EQ(Build({QString::fromStdString(dir.file("missing.tsw"))}).exitCode, 2);
  run = Build({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("Usage: tessarin-build"), std::string::npos);
}

// A second run compiles only the sources that changed since the first; --rebuild compiles them all.
TEST_F(CommandLineBuild, CompilesOnlyWhatChangedUnlessAskedToRebuild) {
  auto compiled = [](const ToolRun& run) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = run.err.find("Compiling - qagame: ", at)) != std::string::npos; ++at)
      ++count;
    return count;
  };
  const ToolRun first = Build({Workspace()});
  EXPECT_EQ(compiled(first), 3u) << first.err;
  const std::string module = TempDir::read(dir.file("vm/qagame.qvm"));
  const ToolRun second = Build({Workspace()});
  EXPECT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(compiled(second), 0u) << second.err;
  EXPECT_EQ(TempDir::read(dir.file("vm/qagame.qvm")), module);
  dir.write("game/g_cmds.c", TempDir::read(dir.file("game/g_cmds.c")));
  const ToolRun third = Build({Workspace(), "qagame"});
  EXPECT_EQ(compiled(third), 1u) << third.err;
  EXPECT_NE(third.err.find("Compiling - qagame: " + dir.file("game/g_cmds.c")), std::string::npos);
  EXPECT_EQ(compiled(Build({"--rebuild", Workspace(), "qagame"})), 3u);
  EXPECT_EQ(TempDir::read(dir.file("vm/qagame.qvm")), module);
  EXPECT_FALSE(std::filesystem::exists(dir.file("vm/g_main.asm"))) << "compiled files stay in the cache";
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("cache/Tessarin/build"))) << "under $XDG_CACHE_HOME";
}

// A relative path means one in the current folder, as for any command: the workspace, the tools
// and the output folder.
TEST_F(CommandLineBuild, RelativePathsAreTakenInTheCurrentFolder) {
  const std::string tools =
      std::filesystem::relative(StandinTool("q3lcc"), dir.path()).parent_path().string();
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(dir.path()));
  process.setProcessEnvironment(Environment());
  process.start(Program(), {"--set", QString::fromStdString("lcclocation=" + tools + "/q3lcc"), "--set",
                            QString::fromStdString("q3asmlocation=" + tools + "/q3asm"), "--set",
                            "outputlocation=out/vm", "mymod.tsw", "qagame"});
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  EXPECT_TRUE(paths::FileExists(dir.file("out/vm/qagame.qvm")));
}

// Ctrl+C, SIGTERM and SIGHUP end the running tool, which has a process group of its own, and then
// the program, with the shell's status for each.
TEST_F(CommandLineBuild, AStopSignalEndsTheToolAndThenTheProgram) {
  dir.write("game/g_main.c", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  for (const auto& [signal, status] :
       {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(Program(), Settings("-DQ3_VM -S") + QStringList{Workspace(), "qagame"});
    ASSERT_TRUE(WaitUntil([&] { return !ProcessesNaming(dir.file("game/g_main.c")).empty(); })) << signal;
    const std::vector<pid_t> tools = ProcessesNaming(dir.file("game/g_main.c"));
    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << signal;
    EXPECT_EQ(process.exitCode(), status) << signal;
    for (pid_t tool : tools)
      EXPECT_TRUE(WaitUntil([tool] { return ::kill(tool, 0) != 0; }, 5000)) << "the tool is no orphan";
  }
}

TEST_F(CommandLineBuild, ATimeLimitEndsAHangingToolAndFails) {
  dir.write("game/g_main.c", "int vmMain( void ) {\n\tSTANDIN_HANG\n}\n");
  const ToolRun run = Build({"--timeout", "1", Workspace(), "qagame"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("q3lcc ran longer than 1 s and was ended"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("tessarin-build: qagame: 1 file failed to compile, module not built\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Build({"--timeout", "soon", Workspace()}).exitCode, 2);
  // Beyond what the clock counts: refused, rather than every tool running "too long".
  const ToolRun tooLong = Build({"--timeout", "9300000000", Workspace(), "qagame"});
  EXPECT_EQ(tooLong.exitCode, 2) << tooLong.err;
  EXPECT_NE(tooLong.err.find("--timeout needs a number of seconds from 1 to "), std::string::npos)
      << tooLong.err;
}

// Lines are written as they come and not kept: a tool printing millions of short lines costs no
// more memory than a quiet one.
TEST_F(CommandLineBuild, MemoryStaysBoundedWhateverTheToolsPrint) {
  // The largest peak of the children this test has waited for, in kB.
  const auto peakKb = [this](const std::string& compilerOptions) {
    Build({Workspace(), "qagame"}, compilerOptions);
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
  };
  const long quiet = peakKb("-DQ3_VM -S");
  const long flooded = peakKb("--standin-tiny=10000000"); // five million lines per file
  EXPECT_LT(flooded, quiet + 50 * 1024) << quiet << " kB quiet";
}

// The database of the example workspace, with the settings of the run, and no build.
TEST_F(CommandLineBuild, WritesTheCompilationDatabaseWithoutBuilding) {
  const std::string file = dir.file("db/compile_commands.json");
  const ToolRun run =
      Build({"--compile-commands", QString::fromStdString(file), Workspace()}, "-DQ3_VM -DEXTRA");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  ProjectList workspace;
  workspace.LoadFromFile(dir.file("mymod.tsw"));
  ::Settings settings;
  settings.lcclarguments = "-DQ3_VM -DEXTRA";
  EXPECT_EQ(TempDir::read(file),
            CompilationDatabaseText(CompileCommands(workspace, settings, ToolPaths::Native())));
  EXPECT_NE(TempDir::read(file).find("\"-DEXTRA\""), std::string::npos);
  EXPECT_FALSE(paths::FileExists(dir.file("vm"))) << "nothing built";

  dir.write("blocker", "");
  EXPECT_EQ(
      Build({"--compile-commands", QString::fromStdString(dir.file("blocker/x.json")), Workspace()}).exitCode,
      1);
  EXPECT_EQ(Build({"--compile-commands", QString::fromStdString(file), Workspace(), "cgame"}).exitCode, 2);
  EXPECT_EQ(Build({Workspace(), "--compile-commands"}).exitCode, 2);
}

// --run: the game starts after the build, its console on standard output, standard input as its
// console's commands, its exit status as the program's; a failed build starts no game.
TEST_F(CommandLineBuild, RunStartsTheBuiltModulesGameAndEndsWithIt) {
  const QStringList game = {"--set", QString::fromStdString("ServerLocation=" + StandinTool("standin-game")),
                            "--set", "RunDedicatedServer=1",
                            "--set", "ServerMap=q3dm7"};
  auto run = [&](const std::string& input) {
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(Program(), Settings("-DQ3_VM -S") + game + QStringList{"--run", Workspace()});
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return ToolRun{process.exitCode(), process.readAllStandardOutput().toStdString(),
                   process.readAllStandardError().toStdString()};
  };
  const ToolRun played = run("print hello\nquit\n");
  EXPECT_EQ(played.exitCode, 0) << played.out << played.err;
  const std::size_t built = played.out.find("0 total errors");
  const std::size_t started = played.out.find("Stand-in game 1.0 dedicated\n");
  ASSERT_NE(started, std::string::npos) << played.out << played.err;
  EXPECT_LT(built, started) << "the build comes first";
  EXPECT_NE(played.out.find("Server: q3dm7\n"), std::string::npos);
  EXPECT_NE(played.out.find("command: print hello\nhello\n"), std::string::npos);
  EXPECT_NE(played.err.find("The game exited with status 0"), std::string::npos) << played.err;

  const ToolRun crashed = run("crash\n");
  EXPECT_EQ(crashed.exitCode, 128 + SIGSEGV) << crashed.err;

  dir.write("game/g_main.c", TempDir::read(dir.file("game/g_main.c")) + "\nSTANDIN_ERROR\n");
  const ToolRun failed = run("quit\n");
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.out.find("Stand-in game"), std::string::npos) << "a failed build starts no game";
}

// A tool that is not where the settings say: the build names it, its setting and where the tools
// come from, and makes nothing, not even the output folder.
TEST_F(CommandLineBuild, AMissingToolIsNamedAndNothingIsMade) {
  for (const std::string setting : {"lcclocation", "q3asmlocation"}) {
    const std::string tool = dir.file("nowhere/" + setting);
    const ToolRun run = Build({"--set", QString::fromStdString(setting + "=" + tool), Workspace()});
    EXPECT_EQ(run.exitCode, 1) << setting;
    const std::string role = setting == "lcclocation" ? "compiler" : "assembler";
    EXPECT_NE((run.out + run.err)
                  .find("The " + role + " " + tool + " was not found. Set it in Preferences > Compiler (" +
                        setting + "), or install the tools as \"Getting started\" in the README shows."),
              std::string::npos)
        << run.out << run.err;
    EXPECT_EQ((run.out + run.err).find("Error creating process"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("vm"))) << setting;
    EXPECT_FALSE(std::filesystem::exists(dir.file("cache/Tessarin/build"))) << setting;
  }
}
