// Our editor control and QPlainTextEdit set up alike for benchmarks: the same visible size in
// character cells, both shown (offscreen), each with its highlighter, plus the line that prints
// each case's ratio. Benchmarks name a case <case>_Tessarin and <case>_QPlainTextEdit.
#pragma once

#include "CppHighlighter.h"
#include "EditorWidget.h"
#include "GeneratedSource.h"
#include "RatioReporter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

inline constexpr int kViewColumns = 120;
inline constexpr int kViewRows = 60;

// The baseline's highlighter: keeps the block state and formats nothing.
class TrivialHighlighter : public QSyntaxHighlighter {
public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
  void highlightBlock(const QString&) override { setCurrentBlockState(previousBlockState()); }
};

struct Ours {
  CppHighlighter highlighter;
  EditorWidget editor;
  Ours() {
    editor.Editor().Document().SetHighLighter(&highlighter);
    editor.Editor().Gutter().SetShowLineNumbers(true);
    editor.resize(100, 100);
    editor.show();
    const int width = editor.width() - editor.viewport()->width();
    const int height = editor.height() - editor.viewport()->height();
    editor.resize(editor.Editor().Geometry().GutterWidth() + 2 +
                      kViewColumns * editor.Editor().Geometry().CharWidth() + width,
                  kViewRows * editor.Editor().Geometry().LineHeight() + height);
  }
  void Load() { editor.Editor().Document().Load(SplitSource(Source())); }
};

struct Theirs {
  QPlainTextEdit edit;
  TrivialHighlighter highlighter{edit.document()};
  Theirs() {
    edit.setFont(TextDrawer::EditorFont("Courier New", 10));
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(edit.font());
    edit.resize(kViewColumns * metrics.horizontalAdvance('M') + 40, kViewRows * metrics.height() + 20);
    edit.show();
  }
  void Load() {
    edit.setPlainText(QString::fromLatin1(Source().data(), static_cast<qsizetype>(Source().size())));
  }
};

// Paints the whole visible text area into an image, as the screen would get it.
inline void Paint(QWidget* viewport) {
  static QImage image;
  if (image.size() != viewport->size()) image = QImage(viewport->size(), QImage::Format_RGB32);
  viewport->render(&image);
}

// Takes the median of repeated runs (--benchmark_repetitions) for the ratios, when there is one.
class MedianRatioReporter : public RatioReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    RatioReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        const double iterations = static_cast<double>(run.iterations);
        seconds[run.run_name.function_name] = run.real_accumulated_time / iterations;
        cpuSeconds[run.run_name.function_name] = run.cpu_accumulated_time / iterations;
      }
  }
};

// One line per case measured on both sides: times and how many times faster ours is.
inline void PrintRatios(const RatioReporter& reporter) {
  const std::string suffix = "_Tessarin";
  for (const auto& [name, time] : reporter.seconds) {
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    const std::string base = name.substr(0, name.size() - suffix.size());
    const auto baseline = reporter.seconds.find(base + "_QPlainTextEdit");
    if (baseline == reporter.seconds.end() || baseline->second <= 0 || time <= 0) continue; // failed
    std::printf("%-22s %10.3f ms vs %10.3f ms: %.2fx faster (cpu time %.2fx)\n", base.c_str(), time * 1e3,
                baseline->second * 1e3, baseline->second / time,
                reporter.cpuSeconds.at(baseline->first) / reporter.cpuSeconds.at(name));
  }
}

// The main of an editor benchmark program: the offscreen platform, the benchmarks, their ratios,
// then `finish` (what else the program reports; dropping editors while the application exists).
inline int RunEditorBenchmarks(int argc, char** argv,
                               const std::function<void(RatioReporter&)>& finish = {}) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MedianRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  if (finish) finish(reporter);
  std::fflush(stdout);
  benchmark::Shutdown();
  return 0;
}
