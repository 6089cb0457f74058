// Opening a 100 MB source file of 2 million lines in an editor window, against reading the same
// bytes raw, so the cost of the lines, the tab expansion and the window shows as a ratio.
#include "AtomicFile.h"
#include "DocumentWindow.h"
#include "FileCommands.h"
#include "Settings.h"
#include "SourceFile.h"

#include "RatioReporter.h"
#include "SilentQuestions.h"
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kLines = 2'000'000;

const std::string& LargeFile() {
  static const std::string path = [] {
    std::string name = (std::filesystem::temp_directory_path() / "tessarin_bench_large.c").string();
    std::ofstream out(name, std::ios::binary);
    const std::string line =
        "\tif (ent->client && ent->health > 0) { G_Damage(ent, NULL, NULL, 0, 0, 1); }\r\n";
    for (int i = 0; i < kLines; ++i)
      out << line.substr(0, line.size() - 2) << "  /* " << i % 1000 << " */\r\n";
    return name;
  }();
  return path;
}

void RawRead(benchmark::State& state) {
  for (auto _ : state) {
    std::string bytes, error;
    benchmark::DoNotOptimize(ReadFileIfPresent(LargeFile(), bytes, error));
  }
}

void LoadLines(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(source_file::Load(LargeFile(), true));
}

void OpenWindow(benchmark::State& state) {
  SilentQuestions questions;
  Settings settings;
  QMdiArea area;
  area.resize(1000, 700);
  area.show();
  FileCommands set(area, [&area](QWidget* window) { return area.addSubWindow(window); }, settings, questions,
                   {});
  for (auto _ : state) {
    QMdiSubWindow* frame = set.OpenNewWindow(LargeFile());
    QApplication::processEvents(); // the first paint belongs to opening
    state.PauseTiming();
    delete frame;
    state.ResumeTiming();
  }
}

BENCHMARK(RawRead)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LoadLines)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(OpenWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("file: %d lines, %.1f MB\n", kLines,
              static_cast<double>(std::filesystem::file_size(LargeFile())) / 1e6);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double raw = reporter.seconds["RawRead"];
  for (const char* name : {"LoadLines", "OpenWindow"})
    std::printf("%-24s %8.1f ms, %.2fx the raw read\n", name, reporter.seconds[name] * 1e3,
                reporter.seconds[name] / raw);
  std::filesystem::remove(LargeFile());
  return 0;
}
