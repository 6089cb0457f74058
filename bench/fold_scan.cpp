// Folding on the generated 200,000-line C file. Finding the foldable ranges again after a one-line
// edit (only the changed line is summarised again, the summaries paired) against finding them in a
// text never scanned; and paging through the file with every block and comment folded against
// paging through it unfolded, the row map in every step's geometry.
#include "FoldRanges.h"
#include "GeneratedSource.h"
#include "RatioReporter.h"
#include "TextEditor.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SourceLines() {
  const std::string text = GenerateSource();
  std::vector<std::string> lines;
  for (std::string_view line : LineList::SplitLines(text))
    lines.emplace_back(line);
  return lines;
}

TextEditor& LoadedEditor() {
  static TextEditor* editor = [] {
    auto* made = new TextEditor;
    made->Geometry().SetFontMetrics(8, 16);
    made->Geometry().SetClientSize(800, 640);
    made->Document().Load(SourceLines());
    return made;
  }();
  return *editor;
}

void FirstScan(benchmark::State& state) {
  TextDocument& document = LoadedEditor().Document();
  for (auto _ : state)
    benchmark::DoNotOptimize(FindFoldRanges(document).size());
}

void RescanAfterEdit(benchmark::State& state) {
  TextDocument& document = LoadedEditor().Document();
  FoldableRanges ranges(document);
  benchmark::DoNotOptimize(ranges.All().size());
  int line = 1;
  for (auto _ : state) {
    line = line % (document.LineCount() - 1) + 7;
    document.Insert({1, line}, " ");
    benchmark::DoNotOptimize(ranges.All().size());
    document.Delete({1, line}, {2, line});
  }
}

int PageThrough(TextEditor& editor) {
  editor.ExecuteCommand(ecEditorTop);
  int pages = 0;
  while (editor.Geometry().TopRow() + editor.Geometry().LinesInWindow() <= editor.Geometry().RowCount()) {
    editor.ExecuteCommand(ecPageDown);
    ++pages;
  }
  return pages;
}

void PageUnfolded(benchmark::State& state) {
  TextEditor& editor = LoadedEditor();
  editor.ExecuteCommand(ecUnfoldAll);
  for (auto _ : state)
    state.counters["pages"] = PageThrough(editor);
}

void PageFolded(benchmark::State& state) {
  TextEditor& editor = LoadedEditor();
  editor.ExecuteCommand(ecFoldAll);
  if (editor.Folds().Empty()) state.SkipWithError("nothing folded");
  for (auto _ : state)
    state.counters["pages"] = PageThrough(editor);
  editor.ExecuteCommand(ecUnfoldAll);
}

BENCHMARK(FirstScan)->Unit(benchmark::kMillisecond);
BENCHMARK(RescanAfterEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(PageUnfolded)->Unit(benchmark::kMillisecond);
BENCHMARK(PageFolded)->Unit(benchmark::kMillisecond);

void PrintRatio(const RatioReporter& reporter, const char* measured, const char* baseline, const char* what) {
  const auto a = reporter.cpuSeconds.find(measured), b = reporter.cpuSeconds.find(baseline);
  if (a == reporter.cpuSeconds.end() || b == reporter.cpuSeconds.end()) {
    std::printf("%s: no ratio, a benchmark failed or did not run\n", what);
    return;
  }
  std::printf("%s: %.3fx the time of %s\n", what, a->second / b->second, baseline);
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatio(reporter, "RescanAfterEdit", "FirstScan", "ranges after a one-line edit");
  PrintRatio(reporter, "PageFolded", "PageUnfolded", "paging through the folded file");
  benchmark::Shutdown();
  return reporter.errors.empty() ? 0 : 1;
}
