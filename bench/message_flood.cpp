// A tool that floods the "Debug" list: 1,000,000 lines arriving in the runner's chunks, through
// the message collector into the list model and a shown list view that follows the last line.
// The baseline is the toolkit's floor: the same lines handed to a string list model in one call.
// It also prints how much the resident memory grew, which the list's limit keeps bounded.
#include "BuildMessagesModel.h"
#include "MessageCollector.h"
#include "ProcessRunner.h"
#include "RatioReporter.h"

#include <QApplication>
#include <QListView>
#include <QStringListModel>
#include <benchmark/benchmark.h>
#include <fstream>
#include <iostream>

namespace {

constexpr int kLines = 1000000;
constexpr std::size_t kChunk = ProcessRunner::kLargestChunk;

const std::string& Flood() {
  static const std::string text = [] {
    std::string all;
    char line[64];
    for (int i = 1; i <= kLines; ++i) {
      const int size = std::snprintf(line, sizeof line, "flood line %09d\n", i);
      all.append(line, static_cast<std::size_t>(size));
    }
    return all;
  }();
  return text;
}

long debugListGrowthKiB = 0;

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key)
    if (key == "VmRSS:" && status >> value) return value;
  return 0;
}

void BM_BuildMessageList(benchmark::State& state) {
  MessageLines lines;
  BuildMessagesModel model(lines);
  QListView view;
  view.resize(800, 200);
  FollowLastLine(view, model);
  view.show();
  MessageCollector collector;
  const std::string& flood = Flood();
  const long before = ResidentKiB();
  for (auto _ : state) {
    lines.Clear();
    // The runner hands its chunks over one per turn of the event loop.
    for (std::size_t at = 0; at < flood.size(); at += kChunk) {
      collector.CollectOutput(flood.substr(at, kChunk), lines, true);
      QCoreApplication::processEvents();
    }
    model.Sync(); // the last batch, whenever its turn would come
    QCoreApplication::processEvents();
    state.counters["rows"] = model.rowCount();
  }
  debugListGrowthKiB = ResidentKiB() - before;
}

void BM_StringListModel(benchmark::State& state) {
  QStringList all;
  const std::string& flood = Flood();
  for (std::size_t start = 0, end; (end = flood.find('\n', start)) != std::string::npos; start = end + 1)
    all.append(QString::fromLatin1(flood.data() + start, static_cast<qsizetype>(end - start)));
  QStringListModel model;
  QListView view;
  view.resize(800, 200);
  view.setUniformItemSizes(true);
  view.setModel(&model);
  view.show();
  for (auto _ : state) {
    model.setStringList(all);
    view.scrollToBottom();
    QCoreApplication::processEvents();
  }
}

BENCHMARK(BM_BuildMessageList)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_StringListModel)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  Flood();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::cout << "\n"
            << kLines << " lines into the Debug list: " << reporter.seconds["BM_BuildMessageList"] * 1000
            << " ms (goal: at most 2000 ms); one-call string list model: "
            << reporter.seconds["BM_StringListModel"] * 1000 << " ms; ratio "
            << reporter.seconds["BM_BuildMessageList"] / reporter.seconds["BM_StringListModel"]
            << "\nresident memory of the Debug list's runs grew by " << debugListGrowthKiB / 1024
            << " MiB; the list keeps at most " << MessageLines::kMostLinesKept << " lines\n";
}
