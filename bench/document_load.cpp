// Loading a 200,000-line C file (6.7 MB, tab-indented, CR LF) into a document window, against
// QScintilla's setText of the same bytes with its C++ lexer: the time to a first painted screen,
// and the resident memory it adds, as it is and after malloc_trim gave back what the heap can.
//
// Each side runs in a child process of its own (this program started again with --child), so
// neither inherits the other's heap. A child builds and shows its widget first, then measures:
// resident size, the load (reading the file included) and one pass of the event loop that paints,
// resident size again, malloc_trim, resident size once more. Without QScintilla at build time the
// baseline is reported missing.
#include "DocumentWindow.h"
#include "Settings.h"

#include "RatioReporter.h"
#include "SilentQuestions.h"
#include <QApplication>

#ifdef TESSARIN_HAVE_QSCINTILLA
#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>
#endif

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

constexpr int kLines = 200'000;

// Ten lines of game code, 33.6 characters on average with their line ends.
const char* const kBody[] = {
    "void G_RunThink ( gentity_t *ent, int levelTime ) {",
    "\tfloat\tthinktime;\t\t// when the entity thinks next",
    "",
    "\tthinktime = ent->nextthink - level.previousTime;",
    "\tif ( thinktime <= 0 || thinktime > level.time ) {",
    "\t\treturn;",
    "\t}",
    "\tent->nextthink = 0; /* it may be set again */",
    "\tG_Printf( \"%i: think %s\\n\", level.time, ent->classname );",
    "}",
};

std::string SourcePath() {
  return (std::filesystem::temp_directory_path() / "tessarin_bench_load.c").string();
}

void WriteSource() {
  std::ofstream out(SourcePath(), std::ios::binary);
  for (int i = 0; i < kLines; ++i)
    out << kBody[i % 10] << "\r\n";
}

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Shows the widget, then loads with `load` and paints; prints "milliseconds MiB MiB-trimmed".
int MeasureChild(QWidget& widget, const std::function<void()>& load) {
  widget.resize(1000, 700);
  widget.show();
  QCoreApplication::processEvents();
  malloc_trim(0);
  const double before = ResidentMiB();
  const auto start = std::chrono::steady_clock::now();
  load();
  QCoreApplication::processEvents();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  const double loaded = ResidentMiB();
  malloc_trim(0);
  std::printf("%f %f %f\n", took.count(), loaded - before, ResidentMiB() - before);
  return 0;
}

int TessarinChild() {
  SilentQuestions questions;
  // As on the desktop: tabs and line ends kept as the file has them.
  Settings settings;
  settings.KeepFileFormat = true;
  settings.TabWidth = 4;
  DocumentWindow window(settings, questions);
  return MeasureChild(window, [&] { window.LoadFile(SourcePath()); });
}

int QScintillaChild() {
#ifdef TESSARIN_HAVE_QSCINTILLA
  QsciScintilla edit;
  QsciLexerCPP lexer;
  edit.setLexer(&lexer);
  return MeasureChild(edit, [&] {
    std::ifstream file(SourcePath(), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    edit.setText(QString::fromUtf8(bytes.str()));
  });
#else
  return 2;
#endif
}

// Runs the child for `side`; false when it could not measure.
bool RunChild(const std::string& side, double& milliseconds, double& mib, double& trimmedMib) {
  const std::string command = std::filesystem::read_symlink("/proc/self/exe").string() + " --child=" + side;
  FILE* child = popen(command.c_str(), "r");
  if (!child) return false;
  const int read = std::fscanf(child, "%lf %lf %lf", &milliseconds, &mib, &trimmedMib);
  return pclose(child) == 0 && read == 3;
}

void Load(benchmark::State& state, const std::string& side) {
  double mib = 0, trimmedMib = 0;
  for (auto _ : state) {
    double milliseconds = 0, loaded = 0, trimmed = 0;
    if (!RunChild(side, milliseconds, loaded, trimmed)) {
      state.SkipWithError((side + " could not be measured (missing at build time?)").c_str());
      return;
    }
    state.SetIterationTime(milliseconds / 1e3);
    mib += loaded;
    trimmedMib += trimmed;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["MiB"] = mib / runs;
  state.counters["MiB_trimmed"] = trimmedMib / runs;
}

void Load_Tessarin(benchmark::State& state) { Load(state, "tessarin"); }
void Load_QScintilla(benchmark::State& state) { Load(state, "qscintilla"); }

BENCHMARK(Load_QScintilla)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Load_Tessarin)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Remembers the memory counters next to the times.
class LoadReporter : public RatioReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    RatioReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && run.error_message.empty()) {
        const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find('/'));
        mib[name] = run.counters.at("MiB");
        trimmedMib[name] = run.counters.at("MiB_trimmed");
      }
  }
  std::map<std::string, double> mib, trimmedMib;
};

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc == 2 && std::string(argv[1]).rfind("--child=", 0) == 0) {
    QApplication app(argc, argv);
    return std::string(argv[1]) == "--child=tessarin" ? TessarinChild() : QScintillaChild();
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  WriteSource();
  std::printf("file: %d lines, %.2f MB\n", kLines,
              static_cast<double>(std::filesystem::file_size(SourcePath())) / 1e6);
  LoadReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::filesystem::remove(SourcePath());
  if (!reporter.mib.count("Load_QScintilla")) {
    std::printf("baseline missing: QScintilla was not found at build time\n");
    return 0;
  }
  if (!reporter.mib.count("Load_Tessarin")) return 1;
  const auto ratio = [](std::map<std::string, double>& values) {
    return values["Load_Tessarin"] / values["Load_QScintilla"];
  };
  std::printf("load %.1f ms vs %.1f ms: %.2fx QScintilla\n", reporter.seconds["Load_Tessarin"] * 1e3,
              reporter.seconds["Load_QScintilla"] * 1e3, ratio(reporter.seconds));
  std::printf("memory %.1f MiB vs %.1f MiB: %.2fx; after malloc_trim %.1f MiB vs %.1f MiB: %.2fx\n",
              reporter.mib["Load_Tessarin"], reporter.mib["Load_QScintilla"], ratio(reporter.mib),
              reporter.trimmedMib["Load_Tessarin"], reporter.trimmedMib["Load_QScintilla"],
              ratio(reporter.trimmedMib));
  return 0;
}
