// The cost of one keystroke that changes the highlighter ranges of every line below it: "/*"
// typed at the top of a 1,000,000-line C file with no "*/" after it, then two Backspaces. Each
// keystroke is timed with the frame that follows it (the key event, then one pass of the event
// loop: the paint and at most one idle slice of rescanning). Between keystrokes the idle rescans
// run to the end untimed, as they do while a person types.
//
// The baseline is the same editor with every stale range rescanned at once after each keystroke,
// which is the work an eager full rescan does. A third case times one idle slice on its own.
#include "EditorPair.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <climits>
#include <cstdio>
#include <memory>

namespace {

constexpr int kLines = 1'000'000;
constexpr double kFrameMs = 16.0;

const std::string& HugeSource() {
  static const std::string source = GenerateSource(kLines);
  return source;
}

std::unique_ptr<Ours> editor; // dropped before the application goes

// Our editor on the huge file, caret at the top.
Ours& Editor() {
  if (!editor) {
    editor = std::make_unique<Ours>();
    editor->editor.Editor().Document().Load(SplitSource(HugeSource()));
    editor->editor.Editor().State().SetCaretXY({1, 1});
  }
  return *editor;
}

void Press(int key, const QString& text) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(&Editor().editor, &event);
}

// Lets the idle rescans run until every range is right.
void Settle() {
  while (!Editor().editor.Editor().Document().Ranges().Current())
    QCoreApplication::processEvents();
}

// Types "/*" and takes it back: four keystrokes, each with its frame; `eager` rescans every stale
// range within the keystroke.
void Keystrokes(benchmark::State& state, bool eager) {
  HighlightRanges& ranges = Editor().editor.Editor().Document().Ranges();
  const auto keystroke = [&](int key, const QString& text) {
    Press(key, text);
    if (eager) ranges.Refresh(INT_MAX);
    QCoreApplication::processEvents();
    state.PauseTiming();
    Settle();
    state.ResumeTiming();
  };
  Settle();
  for (auto _ : state) {
    keystroke(Qt::Key_Slash, QStringLiteral("/"));
    keystroke(Qt::Key_Asterisk, QStringLiteral("*"));
    keystroke(Qt::Key_Backspace, QStringLiteral("\b"));
    keystroke(Qt::Key_Backspace, QStringLiteral("\b"));
  }
  if (Editor().editor.Editor().Document().LineText(1) !=
      std::string(HugeSource(), 0, HugeSource().find('\r')))
    state.SkipWithError("the first line did not come back");
  state.counters["keystrokes"] = benchmark::Counter(4, benchmark::Counter::kIsIterationInvariant);
}

void Keystroke_Lazy(benchmark::State& state) { Keystrokes(state, false); }
void Keystroke_Eager(benchmark::State& state) { Keystrokes(state, true); }

// One idle slice while a comment opened at the top leaves every later range stale.
void IdleSlice(benchmark::State& state) {
  HighlightRanges& ranges = Editor().editor.Editor().Document().Ranges();
  Settle();
  Press(Qt::Key_Slash, QStringLiteral("/"));
  Press(Qt::Key_Asterisk, QStringLiteral("*"));
  for (auto _ : state) {
    if (ranges.Current()) {
      state.PauseTiming();
      Press(Qt::Key_Backspace, QStringLiteral("\b"));
      Settle();
      Press(Qt::Key_Asterisk, QStringLiteral("*"));
      state.ResumeTiming();
    }
    QCoreApplication::processEvents();
  }
  Press(Qt::Key_Backspace, QStringLiteral("\b"));
  Press(Qt::Key_Backspace, QStringLiteral("\b"));
  Settle();
}

BENCHMARK(Keystroke_Lazy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Keystroke_Eager)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(IdleSlice)->Unit(benchmark::kMillisecond)->Iterations(100);

} // namespace

int main(int argc, char** argv) {
  return RunEditorBenchmarks(argc, argv, [](RatioReporter& reporter) {
    const double lazy = reporter.seconds["Keystroke_Lazy"] * 1e3 / 4;
    const double eager = reporter.seconds["Keystroke_Eager"] * 1e3 / 4;
    std::printf("%d lines: %.2f ms per keystroke against %.2f ms with an eager full rescan (%.1fx "
                "faster); %.2fx the %.0f ms frame; an idle slice takes %.2f ms\n",
                kLines, lazy, eager, eager / lazy, lazy / kFrameMs, kFrameMs,
                reporter.seconds["IdleSlice"] * 1e3);
    editor.reset();
  });
}
