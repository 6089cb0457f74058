// Speed of the C/C++ highlighter over a large body of real C: the editor's token loop and
// ScanLineTokens, each against a plain pass that only finds line ends in the same corpus.
#include "../tests/highlight/HeaderCorpus.h"
#include "CppHighlighter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace {

constexpr std::size_t kCorpusLimit = 32u << 20;

// The system headers; a small folder still gives a usable corpus: its text is repeated up to 8 MB.
std::string LoadCorpus() {
  std::string corpus = ReadHeaderCorpus(kCorpusLimit);
  if (corpus.size() < 1024)
    corpus += "#include <stdio.h>\n/* a\n   block */\nint main(void) { printf(\"%d\\n\", 0x1F + 'a'); }\n";
  const std::string seed = corpus;
  while (corpus.size() < (8u << 20))
    corpus += seed;
  return corpus;
}

struct Corpus {
  std::string text;
  std::vector<std::string_view> lines; // without their line ends
  std::vector<HighlightRange> ranges;  // start range of every line

  Corpus() : text(LoadCorpus()), lines(SplitLines(text)) {
    CppHighlighter highlighter;
    highlighter.ClearRange();
    for (std::string_view line : lines) {
      ranges.push_back(highlighter.CurrentRange());
      highlighter.BeginLine(line, 0);
      highlighter.SkipToLineEnd();
    }
  }
};

const Corpus& TheCorpus() {
  static const Corpus corpus;
  return corpus;
}

void LineEndPass(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  for (auto _ : state) {
    std::size_t lines = 0;
    const char* at = corpus.text.data();
    const char* end = at + corpus.text.size();
    while (const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
      at = static_cast<const char*>(found) + 1;
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.text.size()));
}

// What painting does for every line: restore its range, then read every token's place and
// attribute through the base class.
void EditorTokenLoop(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  CppHighlighter cpp;
  Highlighter& highlighter = cpp;
  for (auto _ : state) {
    std::size_t sum = 0;
    for (std::size_t i = 0; i < corpus.lines.size(); ++i) {
      highlighter.RestoreRange(corpus.ranges[i]);
      for (highlighter.BeginLine(corpus.lines[i], static_cast<int>(i)); !highlighter.AtLineEnd();
           highlighter.NextToken())
        sum += static_cast<std::size_t>(highlighter.TokenStart()) + highlighter.TokenLength() +
               (highlighter.TokenAttribute() != nullptr);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.text.size()));
}

// What the class view does: ScanLineTokens with an OnToken handler.
void ScanLineTokensWithEvent(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  CppHighlighter highlighter;
  std::size_t sum = 0;
  highlighter.OnToken = [&sum](Highlighter&, int kind, const std::string& text, int) {
    sum += static_cast<std::size_t>(kind) + text.size();
  };
  for (auto _ : state) {
    highlighter.ClearRange();
    for (std::size_t i = 0; i < corpus.lines.size(); ++i)
      highlighter.ScanLineTokens(corpus.lines[i], static_cast<int>(i));
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.text.size()));
}

BENCHMARK(LineEndPass)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorTokenLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanLineTokensWithEvent)->Unit(benchmark::kMillisecond);

// Prints as usual, and remembers each benchmark's throughput for the ratios at the end.
class ThroughputReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto rate = run.counters.find("bytes_per_second");
      if (run.run_type == Run::RT_Iteration && rate != run.counters.end())
        bytesPerSecond[run.benchmark_name()] = rate->second.value;
    }
  }
  std::map<std::string, double> bytesPerSecond;
};

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const Corpus& corpus = TheCorpus();
  std::printf("corpus: %.1f MB, %zu lines\n", static_cast<double>(corpus.text.size()) / 1e6,
              corpus.lines.size());
  ThroughputReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto baseline = reporter.bytesPerSecond.find("LineEndPass");
  for (const auto& [name, rate] : reporter.bytesPerSecond) {
    std::printf("%-26s %9.1f MB/s", name.c_str(), rate / 1e6);
    if (baseline != reporter.bytesPerSecond.end() && name != baseline->first)
      std::printf("   %.1fx the time of the line-end pass", baseline->second / rate);
    std::printf("\n");
  }
  benchmark::Shutdown();
  return 0;
}
