// A whole build of a generated 40-file project with the stand-in tools, against the same tool
// commands run one after the other by a shell script, in the same run. The runner's specified
// waits (100 ms for each tool's drain) are printed too, to show what the rest adds.
#include "BuildController.h"
#include "HeadlessBuild.h"
#include "QtHandOver.h"

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
struct Project {
  fs::path folder = fs::temp_directory_path() / ("tessarin-bench-" + std::to_string(::getpid()));
  Settings settings;
  TProjectList workspace;
  std::string script;

  Project() {
    fs::create_directories(folder / "src");
    settings.lcclocation = Tool("q3lcc");
    settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
    settings.q3asmlocation = Tool("q3asm");
    settings.q3asmlarguments = "-v -m";
    settings.outputlocation = (folder / "vm").string() + "/";
    TProjectItem& project = workspace.AddProject();
    project.Name = "game";
    workspace.ActiveProject = &project;
    project.FileName = (folder / "src/game.tsp").string();
    std::ofstream(folder / "src/local.h") << "int Shared( int x );\n";
    project.Files.push_back({(folder / "src/local.h").string()});
    std::string assembly;
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
      script += settings.lcclocation + " " + settings.lcclarguments + " -I" + (folder / "src").string() +
                " " + (folder / "src" / (name + ".c")).string() + "\n";
      assembly += " " + name + ".asm";
    }
    script = "cd " + settings.outputlocation + "\n" + script + settings.q3asmlocation + " -v -m" + assembly +
             " > /dev/null\nrm -f *.asm\n";
    fs::create_directories(settings.outputlocation);
    std::ofstream(folder / "build.sh") << script;
  }
  ~Project() { fs::remove_all(folder); }
};

Project* project = nullptr;
double buildSeconds = 0, scriptSeconds = 0;

void BM_BuildWithTessarin(benchmark::State& state) {
  MessageLines debug;
  ProgressState progress;
  NoEditorWindows windows;
  ConsoleQuestions questions;
  TBuildController controller(BuildContext{project->settings,
                                           project->workspace,
                                           debug,
                                           progress,
                                           windows,
                                           questions,
                                           std::make_shared<QtHandOver>(),
                                           {}});
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    controller.BuildActiveProjectActionExecute();
    while (controller.Building())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!controller.Outcome().modulesInstalled.count("game")) state.SkipWithError("the build made no module");
  }
}

void BM_ShellScript(benchmark::State& state) {
  const std::string command = "sh " + (project->folder / "build.sh").string();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("the script failed");
    scriptSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
}

BENCHMARK(BM_BuildWithTessarin)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ShellScript)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  Project generated;
  project = &generated;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double waits = (kSourceFiles + 1) * 0.1;
  std::cout << "whole build " << buildSeconds << " s, shell script " << scriptSeconds << " s, ratio "
            << buildSeconds / scriptSeconds << "\n"
            << "of the build, the runner's specified 100 ms drain waits: " << waits
            << " s; the rest: " << buildSeconds - waits << " s against the script's " << scriptSeconds
            << " s\n";
}
