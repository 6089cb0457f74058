// How much reading a project or workspace costs over merely reading its bytes. Each benchmark
// reports "vs_raw_read": the load time divided by the time to read the same file's bytes,
// both measured in the same iteration.
#include "AtomicFile.h"
#include "ProjectList.h"
#include "UserQuestions.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;

std::string scratchFile(const std::string& name, const std::string& content) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / ("tessarin-bench-" + name);
  std::ofstream(file, std::ios::binary) << content;
  return file.string();
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs `load` against a raw read of `path` and reports their ratio.
template <typename Load>
void compareWithRawRead(benchmark::State& state, const std::string& path, Load load) {
  double rawSeconds = 0, loadSeconds = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    std::string bytes, error;
    benchmark::DoNotOptimize(ReadFileIfPresent(path, bytes, error));
    rawSeconds += secondsSince(start);
    start = Clock::now();
    load();
    loadSeconds += secondsSince(start);
  }
  state.counters["vs_raw_read"] = loadSeconds / rawSeconds;
  std::filesystem::remove(path);
}

void ProjectOfManyFiles(benchmark::State& state) {
  std::string content;
  for (int i = 0; i < state.range(0); ++i)
    content += "SOURCE=..\\game\\source_file_" + std::to_string(i) + ".c\r\n";
  const std::string path = scratchFile("many.tsp", content);
  compareWithRawRead(state, path, [&] {
    ProjectList workspace;
    Project& project = workspace.AddProject();
    project.FileName = path;
    project.LoadProjectFile();
    benchmark::DoNotOptimize(project.Files.data());
  });
}
BENCHMARK(ProjectOfManyFiles)->Arg(100'000)->Unit(benchmark::kMillisecond);

void WorkspaceOfOneHugeLine(benchmark::State& state) {
  // A line that never closes the project's name: read whole, then refused with a message.
  const std::string path = scratchFile("huge.tsw", "Project: \"" + std::string(state.range(0), 'x'));
  compareWithRawRead(state, path, [&] {
    ProjectList workspace;
    try {
      workspace.LoadFromFile(path);
      state.SkipWithError("a workspace line without the end of its project's name was accepted");
    } catch (const TessarinError& refused) {
      benchmark::DoNotOptimize(refused.what());
    }
  });
}
BENCHMARK(WorkspaceOfOneHugeLine)->Arg(100'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
