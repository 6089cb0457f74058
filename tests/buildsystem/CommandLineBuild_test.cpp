// The command-line build on the example workspace with the stand-in tools: what it prints,
// where, and its exit status.
#include "BuildTestSupport.h"
#include "Paths.h"
#include "TempDir.h"

#include <QProcess>
#include <gtest/gtest.h>

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
    const auto self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    QProcess process;
    QStringList settings = {"--set", QString::fromStdString("lcclocation=" + StandinTool("q3lcc")),
                            "--set", QString::fromStdString("lcclarguments=" + compilerOptions),
                            "--set", QString::fromStdString("q3asmlocation=" + StandinTool("q3asm")),
                            "--set", "q3asmlarguments=-v -m",
                            "--set", QString::fromStdString("outputlocation=" + dir.path() + "/vm")};
    process.setProcessEnvironment([this] {
      auto environment = QProcessEnvironment::systemEnvironment();
      environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.path() + "/config"));
      return environment;
    }());
    process.start(QString::fromStdString((self.parent_path() / "src/buildsystem/tessarin-build").string()),
                  settings + arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
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
  EXPECT_EQ(TempDir::read(dir.file("vm/qagame.qvm")).substr(0, 23), "standin qvm\nproc vmMain");
  EXPECT_EQ(TempDir::read(dir.file("vm/cgame.qvm")).substr(0, 23), "standin qvm\nproc vmMain");
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
