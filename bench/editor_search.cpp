// Finding every match of a pattern line by line in ~100 MB of real C headers: the editor's search
// engine against std::search with the standard Boyer-Moore-Horspool searcher on the same lines.
// Counters: MB/s of each and ratio = engine speed / searcher speed (above 1: the engine is faster).
#include "SearchEngine.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

#include <time.h>

namespace {

constexpr std::size_t TargetBytes = 100u << 20;

struct Corpus {
  std::string text;
  std::vector<std::string_view> lines; // repeated until they hold TargetBytes
  std::size_t bytes = 0;
};

const Corpus& LoadCorpus() {
  static const Corpus corpus = [] {
    Corpus loaded;
    std::error_code error;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it("/usr/include", options, error), end;
         it != end && loaded.text.size() < TargetBytes; it.increment(error)) {
      if (error || !it->is_regular_file(error) || it->path().extension() != ".h") continue;
      std::ifstream file(it->path(), std::ios::binary);
      std::ostringstream contents;
      contents << file.rdbuf();
      loaded.text += contents.str();
      loaded.text += '\n';
    }
    std::vector<std::string_view> unique;
    std::string_view rest = loaded.text;
    for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1)) {
      std::string_view line = rest.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      unique.push_back(line);
    }
    for (std::size_t i = 0; loaded.bytes < TargetBytes && !unique.empty(); i = (i + 1) % unique.size()) {
      loaded.lines.push_back(unique[i]);
      loaded.bytes += unique[i].size();
    }
    return loaded;
  }();
  return corpus;
}

unsigned char Fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

struct FoldedHash {
  std::size_t operator()(char c) const { return Fold(static_cast<unsigned char>(c)); }
};
struct FoldedEqual {
  bool operator()(char a, char b) const {
    return Fold(static_cast<unsigned char>(a)) == Fold(static_cast<unsigned char>(b));
  }
};

// Every non-overlapping match of each line, as the engine reports them.
template <class Searcher>
std::size_t CountWithSearcher(const Corpus& corpus, const Searcher& searcher, std::size_t length) {
  std::size_t count = 0;
  for (std::string_view line : corpus.lines) {
    for (auto from = line.begin(); static_cast<std::size_t>(line.end() - from) >= length;) {
      const auto found = std::search(from, line.end(), searcher);
      if (found == line.end()) break;
      ++count;
      from = found + static_cast<std::ptrdiff_t>(length);
    }
  }
  return count;
}

std::size_t CountWithEngine(const Corpus& corpus, SearchEngine& engine) {
  std::size_t count = 0;
  for (std::string_view line : corpus.lines)
    count += static_cast<std::size_t>(engine.FindAllIn(line));
  return count;
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU time of this thread, so that other work on the machine does not tilt the ratio.
double SecondsOf(const std::function<std::size_t()>& run, std::size_t& count) {
  const double start = ThreadSeconds();
  count = run();
  return ThreadSeconds() - start;
}

void EngineAgainstHorspool(benchmark::State& state, const std::string& pattern, bool caseSensitive) {
  const Corpus& corpus = LoadCorpus();
  SearchEngine engine;
  engine.SetCaseSensitive(caseSensitive);
  engine.SetPattern(pattern);
  const std::boyer_moore_horspool_searcher exact(pattern.begin(), pattern.end());
  const std::boyer_moore_horspool_searcher folded(pattern.begin(), pattern.end(), FoldedHash{},
                                                  FoldedEqual{});
  const auto baseline = [&] {
    return caseSensitive ? CountWithSearcher(corpus, exact, pattern.size())
                         : CountWithSearcher(corpus, folded, pattern.size());
  };

  double engineSeconds = 0;
  double baselineSeconds = 0;
  std::size_t engineCount = 0;
  std::size_t baselineCount = 0;
  for (auto _ : state) {
    const double seconds = SecondsOf([&] { return CountWithEngine(corpus, engine); }, engineCount);
    engineSeconds += seconds;
    baselineSeconds += SecondsOf(baseline, baselineCount);
    state.SetIterationTime(seconds);
  }
  if (engineCount != baselineCount) {
    state.SkipWithError("engine and searcher disagree on the number of matches");
    return;
  }
  const double megabytes = static_cast<double>(corpus.bytes) * static_cast<double>(state.iterations()) / 1e6;
  state.counters["matches"] = static_cast<double>(engineCount);
  state.counters["MB/s"] = megabytes / engineSeconds;
  state.counters["horspool_MB/s"] = megabytes / baselineSeconds;
  state.counters["ratio"] = baselineSeconds / engineSeconds;
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const Corpus& corpus = LoadCorpus();
  std::cout << "corpus: " << corpus.lines.size() << " lines, " << corpus.bytes / 1e6 << " MB\n";
  const std::vector<std::string> patterns = {"if",
                                             "int",
                                             "NULL",
                                             "struct",
                                             "#define",
                                             "unsigned",
                                             "extern int",
                                             "const char *",
                                             "__attribute__",
                                             "unsigned long int",
                                             "__THROW __nonnull (("};
  for (const std::string& pattern : patterns) {
    for (const bool caseSensitive : {true, false}) {
      const std::string name = "Search/" + std::string(caseSensitive ? "case/" : "nocase/") + pattern;
      benchmark::RegisterBenchmark(name.c_str(), EngineAgainstHorspool, pattern, caseSensitive)
          ->UseManualTime()
          ->Iterations(3)
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
