// Tool output at the speed of the pipe. A compiler prints 1,000,000 warning lines naming a real
// file, written one line per write (as the real one writes its messages) and in 64 KB blocks (as
// a tool writing through a full stdio buffer does). Each way it is read three times in the same
// run, the fastest of five repetitions counting:
// - the baseline: `cat | grep -c` of the same output;
// - tessarin-build, its standard output thrown away (goal: at most 1.5 times the baseline);
// - the runner into the message collector, the "Debug" list's lines and the build's errors and
//   warnings, as the window does (goal: at most 2 times).
// Peak resident memory is printed beside each (goal: under 64 MB, whatever the line count). Then
// held output: two compiles at once, the second printing 400 MB while the first still runs, which
// tessarin-build holds until the first has ended; its peak resident memory beside a quiet build's.
// A benchmark whose command fails reports an error, and no ratio is printed for it.
#include "BuildDiagnostics.h"
#include "MessageCollector.h"
#include "ProcessRunner.h"
#include "QtHandOver.h"
#include "RatioReporter.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr long kWarnings = 1000000;
constexpr long kHeldBytes = 400000000;

fs::path Built(const std::string& relative) {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / relative;
}

struct Setup {
  fs::path folder = fs::temp_directory_path() / ("tessarin-output-bench-" + std::to_string(::getpid()));
  std::string source = (folder / "game/g_main.c").string();
  std::string compiler = Built("standin-tools/q3lcc").string();

  Setup() {
    fs::create_directories(folder / "game");
    fs::create_directories(folder / "held");
    fs::create_directories(folder / "vm");
    std::ofstream(source) << "int vmMain( void ) {\n\treturn 0;\n}\n";
    std::ofstream(folder / "game/game.tsp") << "SOURCE=g_main.c\r\n";
    std::ofstream(folder / "mymod.tsw") << "Project: \"game\"=game\\game.tsp - Package Owner=<4>\r\n";
    // The first file keeps its compile running while the second's output is held.
    std::ofstream(folder / "held/a_first.c") << "int vmMain( void ) {\n\tSTANDIN_SLEEP\n\treturn 0;\n}\n";
    std::ofstream(folder / "held/b_second.c") << "void B( void ) {\n}\n";
    std::ofstream(folder / "held/held.tsp") << "SOURCE=a_first.c\r\nSOURCE=b_second.c\r\n";
    std::ofstream(folder / "held.tsw") << "Project: \"held\"=held\\held.tsp - Package Owner=<4>\r\n";
  }
  ~Setup() { fs::remove_all(folder); }

  [[nodiscard]] std::string Warnings(bool blocks) const {
    return "--standin-warnings=" + std::to_string(kWarnings) + (blocks ? " --standin-block-writes" : "");
  }
  // tessarin-build on `workspace` with the stand-in compiler given `arguments`.
  [[nodiscard]] std::string CommandLineBuild(const std::string& workspace, const std::string& arguments,
                                             const std::string& more = {}) const {
    const std::string where = folder.string();
    return "cd " + where + " && XDG_CONFIG_HOME=" + where + "/config XDG_CACHE_HOME=" + where +
           "/cache exec " + Built("src/buildsystem/tessarin-build").string() + " --rebuild " + more +
           " --set \"lcclocation=" + compiler + "\" --set \"lcclarguments=-S " + arguments +
           "\" --set \"q3asmlocation=" + Built("standin-tools/q3asm").string() +
           "\" --set outputlocation=vm " + workspace + " > /dev/null 2>&1";
  }
};

Setup* setup = nullptr;
std::map<std::string, long> peakKiB; // by benchmark name

// Runs `command` in a shell; its exit status, and the peak resident memory of it and what it
// waited for.
int RunShell(const std::string& command, long& maxResidentKiB) {
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return -1;
  maxResidentKiB = usage.ru_maxrss;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long StatusKiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string word;
  long value = 0;
  while (status >> word)
    if (word == key && status >> value) return value;
  return 0;
}

void BM_Shell(benchmark::State& state, const std::string& name, const std::string& command) {
  for (auto _ : state) {
    long peak = 0;
    if (RunShell(command, peak) != 0) {
      state.SkipWithError(("the command failed: " + command).c_str());
      break;
    }
    peakKiB[name] = std::max(peakKiB[name], peak);
  }
}

// What the window does with a tool's output: the runner's chunks into the collector, the
// "Debug" list's lines and the build's errors and warnings.
void BM_WindowCollects(benchmark::State& state, const std::string& name, bool blocks) {
  auto handOver = std::make_shared<QtHandOver>();
  for (auto _ : state) {
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const long before = StatusKiB("VmRSS:");
    MessageLines debug;
    auto longPaths = std::make_shared<LongPathCache>();
    BuildDiagnostics diagnostics(debug, PathStyle::Native(), [longPaths](const std::string& path) {
      return longPaths->LongForm(path).has_value();
    });
    MessageCollector collector(PathStyle::Native(), longPaths);
    ProcessRunner runner(handOver);
    std::optional<ProcessEnd> end;
    runner.SetParameters(setup->compiler + " -S " + setup->Warnings(blocks) + " " + setup->source);
    runner.SetDirectory(setup->folder.string());
    runner.OnErrorData = [&](ProcessRunner&, const char* buffer, std::size_t count) {
      collector.CollectOutput(std::string_view(buffer, count), debug, true);
    };
    runner.OnTerminated = [&](ProcessRunner&, const ProcessEnd& ended) { end = ended; };
    runner.Execute();
    while (!end)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    collector.EndOutput(debug);
    if (!end->Succeeded() || diagnostics.Warnings() != kWarnings) {
      state.SkipWithError(
          ("the compiler failed or its warnings were miscounted: " + std::to_string(diagnostics.Warnings()))
              .c_str());
      break;
    }
    peakKiB[name] = std::max(peakKiB[name], StatusKiB("VmHWM:") - before);
  }
}

template <typename... Arguments>
void Register(const std::string& name, int repetitions, Arguments... arguments) {
  benchmark::RegisterBenchmark(name.c_str(), arguments...)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(repetitions)
      ->UseRealTime();
}

// "name: 123 ms, ratio 1.2 (goal: at most 1.5), peak 20 MB", or why there is no figure.
void PrintAgainst(RatioReporter& reporter, const std::string& name, const std::string& baseline,
                  double goal) {
  const auto failed = reporter.errors.find(name);
  if (failed != reporter.errors.end()) {
    std::cout << name << ": failed (" << failed->second << ")\n";
    return;
  }
  if (reporter.errors.count(baseline)) {
    std::cout << name << ": no ratio, the baseline failed\n";
    return;
  }
  if (!reporter.fastestSeconds.count(name) || !reporter.fastestSeconds.count(baseline)) {
    std::cout << name << ": not run, or its baseline not run\n";
    return;
  }
  const double seconds = reporter.fastestSeconds[name];
  std::cout << name << ": " << seconds * 1000 << " ms, ratio " << seconds / reporter.fastestSeconds[baseline]
            << " (goal: at most " << goal << "), peak resident memory " << peakKiB[name] / 1024 << " MB\n";
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  Setup made;
  setup = &made;
  for (const bool blocks : {false, true}) {
    const std::string writer = blocks ? "Blocks" : "Lines";
    const std::string compile = "cd " + made.folder.string() + " && " + made.compiler + " -S " +
                                made.Warnings(blocks) + " " + made.source;
    Register("CatGrep" + writer, 5, BM_Shell, "CatGrep" + writer,
             compile + " 2>&1 | cat | grep -c warning > /dev/null");
    Register("CommandLineBuild" + writer, 5, BM_Shell, "CommandLineBuild" + writer,
             made.CommandLineBuild("mymod.tsw", made.Warnings(blocks)));
    Register("WindowCollects" + writer, 5, BM_WindowCollects, "WindowCollects" + writer, blocks);
  }
  Register("QuietBuild", 1, BM_Shell, "QuietBuild", made.CommandLineBuild("held.tsw", "", "--jobs 2"));
  Register("HeldOutputBuild", 1, BM_Shell, "HeldOutputBuild",
           made.CommandLineBuild("held.tsw", "--standin-noeol=" + std::to_string(kHeldBytes), "--jobs 2"));
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::cout << "\n" << kWarnings << " warning lines, fastest of 5 repetitions each:\n";
  for (const std::string writer : {"Lines", "Blocks"}) {
    std::cout << "written " << (writer == "Lines" ? "one line per write" : "in 64 KB blocks")
              << "; cat | grep -c: " << reporter.fastestSeconds["CatGrep" + writer] * 1000 << " ms\n";
    PrintAgainst(reporter, "CommandLineBuild" + writer, "CatGrep" + writer, 1.5);
    PrintAgainst(reporter, "WindowCollects" + writer, "CatGrep" + writer, 2);
  }
  std::cout << "\nheld output, " << kHeldBytes / 1000000 << " MB from the second of two compiles:\n";
  for (const char* name : {"QuietBuild", "HeldOutputBuild"})
    if (reporter.errors.count(name))
      std::cout << name << ": failed (" << reporter.errors[name] << ")\n";
    else if (!reporter.fastestSeconds.count(name))
      std::cout << name << ": not run\n";
    else
      std::cout << name << ": peak resident memory " << peakKiB[name] / 1024 << " MB\n";
}
