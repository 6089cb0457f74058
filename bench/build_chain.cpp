// A whole build of a generated 40-file project with the stand-in tools, one compile at a time and
// eight at once ("Parallel compiles"), against the same tool commands run one after the other by
// a shell script and two at a time by xargs -P2, in the same run. The runner's waits (100 ms for
// each tool's drain) are printed too, to show what the rest adds.
#include "BuildController.h"
#include "HeadlessBuild.h"
#include "QtHandOver.h"
#include "RatioReporter.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr int kSourceFiles = 40;

std::string Tool(const std::string& name) {
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "standin-tools" / name).string();
}

// The generated project: one file with vmMain, 39 with three functions each, and a header.
struct GeneratedProject {
  fs::path folder = fs::temp_directory_path() / ("tessarin-bench-" + std::to_string(::getpid()));
  Settings settings;
  ProjectList workspace;
  std::string script;
  std::string parallelScript; // the compiles two at a time, then the assembly

  GeneratedProject() {
    fs::create_directories(folder / "src");
    settings.lcclocation = Tool("q3lcc");
    // The real compiler spends 13-23 ms on a game source file; the stand-in spends 15.
    settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g --standin-work=15";
    settings.q3asmlocation = Tool("q3asm");
    settings.q3asmlarguments = "-v -m";
    settings.outputlocation = (folder / "vm").string() + "/";
    Project& project = workspace.AddProject();
    project.Name = "game";
    workspace.ActiveProject = &project;
    project.FileName = (folder / "src/game.tsp").string();
    std::ofstream(folder / "src/local.h") << "int Shared( int x );\n";
    project.Files.push_back({(folder / "src/local.h").string()});
    std::string assembly, compiles;
    for (int i = 0; i < kSourceFiles; ++i) {
      const std::string name = "file" + std::to_string(i);
      std::ofstream source(folder / "src" / (name + ".c"));
      source << "#include \"local.h\"\n";
      if (i == 0)
        source << "int vmMain( int command ) {\n\treturn Shared( command );\n}\nint Shared( int x ) "
                  "{\n\treturn x;\n}\n";
      for (int f = 0; f < 3; ++f)
        source << "int " << name << "_" << f
               << "( int a ) {\n\tint b;\n\tb = a * 2;\n\treturn Shared( b );\n}\n";
      project.Files.push_back({(folder / "src" / (name + ".c")).string()});
      const std::string compile = settings.lcclocation + " " + settings.lcclarguments + " -I" +
                                  (folder / "src").string() + " " + (folder / "src" / (name + ".c")).string();
      script += compile + "\n";
      compiles += compile + "\n";
      assembly += " " + name + ".asm";
    }
    const std::string assemble = settings.q3asmlocation + " -v -m" + assembly + " > /dev/null\nrm -f *.asm\n";
    script = "cd " + settings.outputlocation + "\n" + script + assemble;
    parallelScript = "cd " + settings.outputlocation + "\nxargs -P2 -I{} sh -c {} < " +
                     (folder / "compiles.txt").string() + "\n" + assemble;
    fs::create_directories(settings.outputlocation);
    std::ofstream(folder / "build.sh") << script;
    std::ofstream(folder / "compiles.txt") << compiles;
    std::ofstream(folder / "build-parallel.sh") << parallelScript;
  }
  ~GeneratedProject() { fs::remove_all(folder); }
};

GeneratedProject* project = nullptr;

void BM_BuildWithTessarin(benchmark::State& state, int parallelCompiles) {
  project->settings.ParallelCompiles = parallelCompiles;
  MessageLines debug;
  ProgressState progress;
  NoEditorWindows windows;
  ConsoleQuestions questions;
  BuildController controller(BuildContext{project->settings, project->workspace, debug, progress, windows,
                                          questions, std::make_shared<QtHandOver>()});
  for (auto _ : state) {
    controller.BuildActiveProject();
    while (controller.Building())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!controller.Outcome().modulesInstalled.count("game")) state.SkipWithError("the build made no module");
  }
}

void BM_ShellScript(benchmark::State& state, const char* script) {
  const std::string command = "sh " + (project->folder / script).string();
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("the script failed");
}

template <typename... Arguments> void Register(const char* name, Arguments... arguments) {
  benchmark::RegisterBenchmark(name, arguments...)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3)
      ->UseRealTime();
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  GeneratedProject generated;
  project = &generated;
  Register("OneCompileAtATime", BM_BuildWithTessarin, 1);
  Register("EightCompilesAtOnce", BM_BuildWithTessarin, 8);
  Register("ShellScript", BM_ShellScript, "build.sh");
  Register("XargsTwoAtATime", BM_ShellScript, "build-parallel.sh");
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double one = reporter.seconds["OneCompileAtATime"], eight = reporter.seconds["EightCompilesAtOnce"];
  const double script = reporter.seconds["ShellScript"], xargs = reporter.seconds["XargsTwoAtATime"];
  const double waits = (kSourceFiles + 1) * 0.1;
  std::cout << "one compile at a time " << one << " s against the script's " << script << " s, ratio "
            << one / script << " (of which the runner's 100 ms drain waits: " << waits << " s)\n"
            << "eight at once " << eight << " s against xargs -P2's " << xargs << " s, ratio "
            << eight / xargs << " (goal: at most 1.5)\n";
}
