// A compiler printing 1,000,000 warning lines, each naming the source file, one write per line as
// the real one writes its messages, read three ways in the same run:
// - by the runner into the message collector and the "Debug" list's lines, as the window does;
// - by tessarin-build, its standard output thrown away;
// - by cat from a pipe, the baseline (goal for both: at most 1.5 times cat's time).
// Each is repeated and the fastest repetition counts.
#include "MessageCollector.h"
#include "ProcessRunner.h"
#include "QtHandOver.h"
#include "RatioReporter.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr long kWarnings = 1000000;

fs::path Built(const std::string& relative) {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / relative;
}

struct Setup {
  fs::path folder = fs::temp_directory_path() / ("tessarin-output-bench-" + std::to_string(::getpid()));
  std::string source = (folder / "game/g_main.c").string();
  std::string compile;

  Setup() {
    fs::create_directories(folder / "game");
    fs::create_directories(folder / "vm");
    std::ofstream(source) << "int vmMain( void ) {\n\treturn 0;\n}\n";
    std::ofstream(folder / "game/game.tsp") << "SOURCE=g_main.c\r\n";
    std::ofstream(folder / "mymod.tsw") << "Project: \"game\"=game\\game.tsp - Package Owner=<4>\r\n";
    compile = Built("standin-tools/q3lcc").string() + " -S --standin-warnings=" + std::to_string(kWarnings);
  }
  ~Setup() { fs::remove_all(folder); }
};

Setup* setup = nullptr;

void BM_WindowCollects(benchmark::State& state) {
  auto handOver = std::make_shared<QtHandOver>();
  std::size_t lines = 0;
  for (auto _ : state) {
    MessageLines debug;
    MessageCollector collector;
    ProcessRunner runner(handOver);
    bool ended = false;
    runner.SetParameters(setup->compile + " " + setup->source);
    runner.SetDirectory(setup->folder.string());
    runner.OnErrorData = [&](ProcessRunner&, const char* buffer, std::size_t count) {
      collector.CollectOutput(std::string(buffer, count), debug, true);
    };
    runner.OnTerminated = [&](ProcessRunner&, const ProcessEnd&) { ended = true; };
    runner.Execute();
    while (!ended)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    lines = debug.Lines().size() + debug.Dropped();
  }
  state.counters["lines"] = static_cast<double>(lines);
}

void BM_Shell(benchmark::State& state, const std::string& command) {
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("the command failed");
}

template <typename... Arguments> void Register(const char* name, Arguments... arguments) {
  benchmark::RegisterBenchmark(name, arguments...)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(5)
      ->UseRealTime();
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  Setup made;
  setup = &made;
  const std::string folder = made.folder.string();
  const std::string cat =
      "cd " + folder + " && " + made.compile + " " + made.source + " 2>&1 | cat > /dev/null";
  const std::string commandLine =
      "cd " + folder + " && XDG_CONFIG_HOME=" + folder + "/config XDG_CACHE_HOME=" + folder + "/cache " +
      Built("src/buildsystem/tessarin-build").string() +
      " --rebuild --set \"lcclocation=" + Built("standin-tools/q3lcc").string() +
      "\" --set \"lcclarguments=-S --standin-warnings=" + std::to_string(kWarnings) +
      "\" --set \"q3asmlocation=" + Built("standin-tools/q3asm").string() +
      "\" --set outputlocation=vm mymod.tsw > /dev/null 2>&1";
  Register("Cat", BM_Shell, cat);
  Register("WindowCollects", BM_WindowCollects);
  Register("CommandLineBuild", BM_Shell, commandLine);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double cat_ = reporter.fastestSeconds["Cat"];
  std::cout << "\n"
            << kWarnings << " warning lines, fastest of 5 repetitions each; cat reads the pipe in "
            << cat_ * 1000 << " ms\n";
  for (const char* name : {"WindowCollects", "CommandLineBuild"})
    std::cout << name << ": " << reporter.fastestSeconds[name] * 1000 << " ms, ratio "
              << reporter.fastestSeconds[name] / cat_ << " (goal: at most 1.5)\n";
}
