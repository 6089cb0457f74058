// Replace All on one long line: 100 KB holding 34 k matches, through the editor (search, one undo
// step, the line rewritten) against a plain std::string replacement of the same line. Prints the
// ratio of the editor's time to the plain replacement's; the editor should stay within a small
// factor of it, as both grow with the line's length alone.
#include "RatioReporter.h"
#include "TextEditor.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

// "ab;" repeated over 100 KB: 34 k matches of "ab", each replaced by "xyz".
std::string LongLine() {
  std::string line;
  while (line.size() < 100 * 1024)
    line += "ab;";
  return line;
}

void BM_ReplaceAll_Editor(benchmark::State& state) {
  const std::string line = LongLine();
  for (auto _ : state) {
    state.PauseTiming();
    TextEditor editor;
    editor.State().SetOptions(kDesktopEditorOptions);
    editor.Document().Load({line});
    state.ResumeTiming();
    const int count = editor.SearchReplace("ab", "xyz", ssoEntireScope | ssoReplace | ssoReplaceAll);
    benchmark::DoNotOptimize(count);
  }
}
BENCHMARK(BM_ReplaceAll_Editor)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll_String(benchmark::State& state) {
  const std::string line = LongLine();
  for (auto _ : state) {
    std::string replaced;
    replaced.reserve(line.size() * 3 / 2);
    std::size_t from = 0;
    for (std::size_t at; (at = line.find("ab", from)) != std::string::npos; from = at + 2)
      replaced.append(line, from, at - from).append("xyz");
    replaced.append(line, from);
    benchmark::DoNotOptimize(replaced.data());
  }
}
BENCHMARK(BM_ReplaceAll_String)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double editor = reporter.cpuSeconds["BM_ReplaceAll_Editor"];
  const double plain = reporter.cpuSeconds["BM_ReplaceAll_String"];
  if (editor > 0 && plain > 0)
    std::printf("Replace All of 100 KB, 34 k matches: editor %.2f ms, plain string %.3f ms, ratio %.1f\n",
                editor * 1e3, plain * 1e3, editor / plain);
  benchmark::Shutdown();
  return 0;
}
