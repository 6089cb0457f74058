// Whole builds of a generated 40-file project with the stand-in tools, each tool run doing a few
// milliseconds of work, against the same tool commands run by hand in a shell, in the same run:
// - Rebuild All, one compile at a time, against a shell script compiling the 40 files one after
//   the other and assembling them (goal: at most 1.1 times the script);
// - Build after one source changed, against the one compile and the assembly started directly,
//   one after the other, with no shell around them (goal: at most 1.3 times);
// - Rebuild All with eight compiles at once against xargs -P2 (goal: at most 1.5 times).
// Each is repeated and the fastest repetition counts: what other programs on the machine add only
// slows a run down.
#include "BuildController.h"
#include "HeadlessBuild.h"
#include "QtHandOver.h"
#include "RatioReporter.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr int kSourceFiles = 40;
constexpr int kChangedFile = 17;

std::string Tool(const std::string& name) {
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "standin-tools" / name).string();
}

std::string SourceName(int i) { return "file" + std::to_string(i) + ".c"; }

// The generated project: one file with vmMain, 39 with three functions each, and a header; and
// the shell scripts that run the same tools.
struct GeneratedProject {
  fs::path folder = fs::temp_directory_path() / ("tessarin-bench-" + std::to_string(::getpid()));
  std::string cache = (folder / "cache").string();
  Settings settings;
  ProjectList workspace;

  GeneratedProject() {
    fs::create_directories(folder / "src");
    settings.lcclocation = Tool("q3lcc");
    // A few milliseconds of work for each run of either tool, so the waits around them show.
    settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g --standin-work=4";
    settings.q3asmlocation = Tool("q3asm");
    settings.q3asmlarguments = "-v -m --standin-work=4";
    settings.outputlocation = (folder / "vm").string() + "/";
    Project& project = workspace.AddProject();
    project.Name = "game";
    workspace.ActiveProject = &project;
    project.FileName = (folder / "src/game.tsp").string();
    std::ofstream(folder / "src/local.h") << "int Shared( int x );\n";
    project.Files.push_back({(folder / "src/local.h").string()});
    for (int i = 0; i < kSourceFiles; ++i) {
      std::ofstream source(folder / "src" / SourceName(i));
      source << "#include \"local.h\"\n";
      if (i == 0)
        source << "int vmMain( int command ) {\n\treturn Shared( command );\n}\nint Shared( int x ) "
                  "{\n\treturn x;\n}\n";
      for (int f = 0; f < 3; ++f)
        source << "int file" << i << "_" << f
               << "( int a ) {\n\tint b;\n\tb = a * 2;\n\treturn Shared( b );\n}\n";
      project.Files.push_back({(folder / "src" / SourceName(i)).string()});
    }
    fs::create_directories(settings.outputlocation);
  }
  ~GeneratedProject() { fs::remove_all(folder); }

  [[nodiscard]] std::string Compile(int i) const {
    return settings.lcclocation + " " + settings.lcclarguments + " -I" + (folder / "src").string() + " " +
           (folder / "src" / SourceName(i)).string() + "\n";
  }
  // The assembly of the compiled files in `asmFolder`, run in the output folder.
  [[nodiscard]] std::string AssemblerCommand(const std::string& asmFolder) const {
    std::string line = settings.q3asmlocation + " " + settings.q3asmlarguments;
    for (int i = 0; i < kSourceFiles; ++i)
      line += " " + asmFolder + "/file" + std::to_string(i) + ".asm";
    return line;
  }
  [[nodiscard]] std::string Assemble(const std::string& asmFolder) const {
    return "cd " + settings.outputlocation + "\n" + AssemblerCommand(asmFolder) + " > /dev/null\n";
  }
  // Writes a shell script and gives the command that runs it.
  [[nodiscard]] std::string Script(const std::string& name, const std::string& text) const {
    std::ofstream(folder / name) << text;
    return "sh " + (folder / name).string();
  }
};

GeneratedProject* project = nullptr;

// Runs one build command to its end, as tessarin-build does.
void RunBuild(BuildController& controller, const std::function<void()>& command, benchmark::State& state) {
  command();
  while (controller.Building())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  if (!controller.Outcome().modulesInstalled.count("game")) state.SkipWithError("the build made no module");
}

struct Build {
  MessageLines debug;
  ProgressState progress;
  NoEditorWindows windows;
  ConsoleQuestions questions;
  BuildController controller;

  explicit Build(int parallelCompiles)
      : controller([this, parallelCompiles] {
          project->settings.ParallelCompiles = parallelCompiles;
          BuildContext context{project->settings,
                               project->workspace,
                               debug,
                               progress,
                               windows,
                               questions,
                               std::make_shared<QtHandOver>()};
          context.buildCacheFolder = project->cache;
          return context;
        }()) {}
};

void BM_RebuildAll(benchmark::State& state, int parallelCompiles) {
  Build build(parallelCompiles);
  for (auto _ : state)
    RunBuild(
        build.controller, [&] { build.controller.BuildAll(Sources::All); }, state);
}

// Each iteration rewrites one source, as an editor's save does, and builds.
void BM_BuildAfterOneChange(benchmark::State& state) {
  Build build(1);
  RunBuild(
      build.controller, [&] { build.controller.BuildAll(Sources::All); }, state);
  const fs::path changed = project->folder / "src" / SourceName(kChangedFile);
  std::string text;
  std::getline(std::ifstream(changed), text, '\0');
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(changed) << text;
    state.ResumeTiming();
    RunBuild(
        build.controller, [&] { build.controller.BuildActiveProject(); }, state);
  }
}

void BM_Shell(benchmark::State& state, const std::string& command) {
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("the script failed");
}

// Starts each command in its folder and waits for it, its output thrown away: the least that
// running these tools can cost.
bool RunDirectly(const std::vector<std::pair<std::string, std::string>>& commands) {
  for (const auto& [commandLine, folder] : commands) {
    std::vector<std::string> words = SplitCommandLine(commandLine);
    std::vector<char*> argv;
    for (std::string& word : words)
      argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const int started = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (started != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
      return false;
  }
  return true;
}

void BM_Directly(benchmark::State& state, const std::vector<std::pair<std::string, std::string>>& commands) {
  for (auto _ : state)
    if (!RunDirectly(commands)) state.SkipWithError("a tool failed");
}

template <typename... Arguments> void Register(const char* name, Arguments... arguments) {
  benchmark::RegisterBenchmark(name, arguments...)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3)
      ->Repetitions(5)
      ->ReportAggregatesOnly(false)
      ->UseRealTime();
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  GeneratedProject generated;
  project = &generated;
  const std::string byHand = (generated.folder / "by-hand").string();
  std::string oneAfterTheOther = "mkdir -p " + byHand + "\ncd " + byHand + "\n", compiles;
  for (int i = 0; i < kSourceFiles; ++i) {
    oneAfterTheOther += generated.Compile(i);
    compiles += generated.Compile(i);
  }
  std::ofstream(generated.folder / "compiles.txt") << compiles;
  const std::string script = generated.Script("build.sh", oneAfterTheOther + generated.Assemble(byHand));
  const std::string xargs =
      generated.Script("build-parallel.sh", "cd " + byHand + "\nxargs -P2 -I{} sh -c {} < " +
                                                (generated.folder / "compiles.txt").string() + "\n" +
                                                generated.Assemble(byHand));
  std::string compile = generated.Compile(kChangedFile);
  compile.pop_back();
  const std::vector<std::pair<std::string, std::string>> oneChange = {
      {compile, byHand}, {generated.AssemblerCommand(byHand), generated.settings.outputlocation}};

  // The compiled files the assembly by hand reads.
  if (std::system(script.c_str()) != 0) std::cerr << "the shell script failed\n";
  Register("RebuildAllOneAtATime", BM_RebuildAll, 1);
  Register("ShellScript", BM_Shell, script);
  Register("BuildAfterOneChange", BM_BuildAfterOneChange);
  Register("OneCompileAndAssemblyByHand", BM_Directly, oneChange);
  Register("RebuildAllEightAtOnce", BM_RebuildAll, 8);
  Register("XargsTwoAtATime", BM_Shell, xargs);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  auto line = [&reporter](const char* what, const char* ours, const char* baseline, const char* against,
                          double goal) {
    const double a = reporter.fastestSeconds[ours], b = reporter.fastestSeconds[baseline];
    std::cout << what << ": " << a * 1000 << " ms against " << against << " " << b * 1000 << " ms, ratio "
              << a / b << " (goal: at most " << goal << ")\n";
  };
  std::cout << "\nFastest of " << 5 << " repetitions each:\n";
  line("Rebuild All, one compile at a time", "RebuildAllOneAtATime", "ShellScript", "the shell script's",
       1.1);
  line("Build after one source changed", "BuildAfterOneChange", "OneCompileAndAssemblyByHand",
       "one compile and one assembly started directly", 1.3);
  line("Rebuild All, eight compiles at once", "RebuildAllEightAtOnce", "XargsTwoAtATime", "xargs -P2's", 1.5);
}
