// Whether the window ever stalls on its own background work: the longest single pass of the event
// loop after a 1,000,000-line C file was loaded (until the background work is done), and while
// "/*" is typed at its top and taken back (every line below changes colour twice). A keystroke
// counts from the key event through the last pass that paints for it (QScintilla paints the
// caret's line first and the rest of the view in the next pass). Passes are timed in the processor
// time of the window's thread: on a busy machine the wall clock also counts the other programs.
// The same for QScintilla with its C++ lexer (when installed at build time) and QPlainTextEdit
// with a highlighter that keeps block states but colours nothing (so its keystrokes repaint one
// line, less work than ours): ours against the goal of a 16 ms frame, with the peers' figures
// beside it. Each editor is shown (offscreen) at the same size.
#include "EditorPair.h"

#include <QAbstractEventDispatcher>
#include <QAbstractScrollArea>
#include <QKeyEvent>

#ifdef TESSARIN_HAVE_QSCINTILLA
#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>
#endif

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>

namespace {

constexpr int kLines = 1'000'000;
constexpr double kFrameMs = 16.0;
// Passes in a row that handle no event: the editor has nothing left to do in the background.
constexpr int kIdlePasses = 20;
// Passes in a row without a paint after a keystroke's first paint: its paints are over.
constexpr int kQuietPasses = 5;

// The processor time the calling thread has used.
struct ThreadClock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<ThreadClock>;
  static time_point now() {
    timespec time{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return time_point(std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec));
  }
};
using Clock = ThreadClock;

const std::string& HugeSource() {
  static const std::string source = GenerateSource(kLines);
  return source;
}

double Milliseconds(Clock::duration time) { return std::chrono::duration<double, std::milli>(time).count(); }

// One pass of the event loop; whether it handled anything.
bool Pass() { return QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents); }

// Runs passes until the editor is idle; the longest one, in milliseconds.
double LongestPassUntilIdle(const std::function<bool()>& busy) {
  double longest = 0;
  for (int idle = 0; idle < kIdlePasses;) {
    const auto start = Clock::now();
    const bool handled = Pass();
    longest = std::max(longest, Milliseconds(Clock::now() - start));
    idle = handled || busy() ? 0 : idle + 1;
  }
  return longest;
}

// An editor under test: its widget, how it loads, where its caret goes, whether it still works
// in the background.
struct Subject {
  QAbstractScrollArea* widget = nullptr;
  std::function<void()> load;
  std::function<void()> caretToTop;
  std::function<bool()> busy = [] { return false; };
  std::function<std::string()> firstLine;
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

struct Figures {
  double afterLoad = 0;    // longest pass after the load
  double commentOpen = 0;  // the "*" that opens the comment, with its paint
  double commentClose = 0; // the Backspace that closes it again, with its paint
  double whileTyping = 0;  // longest pass from the "/" to the last Backspace's idle
};
std::map<std::string, Figures> figures;

// The key through the last pass that paints because of it, in milliseconds, then the longest pass
// until idle. An editor may paint the caret's line first and the rest of the view a pass later:
// the keystroke is shown once the passes stop painting.
std::pair<double, double> Keystroke(Subject& subject, int key, const QString& text) {
  const PaintCounter counter(subject.widget->viewport());
  const auto start = Clock::now();
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(subject.widget, &event);
  double frame = 0;
  for (int pass = 0, quiet = 0; pass < 100 && quiet < kQuietPasses; ++pass) {
    const int paintsBefore = counter.paints;
    Pass();
    if (counter.paints > paintsBefore) {
      frame = Milliseconds(Clock::now() - start);
      quiet = 0;
    } else if (counter.paints > 0) {
      ++quiet;
    }
  }
  if (counter.paints == 0) frame = Milliseconds(Clock::now() - start);
  return {frame, std::max(frame, LongestPassUntilIdle(subject.busy))};
}

void Measure(benchmark::State& state, const std::string& name, Subject& subject) {
  Figures& figure = figures[name];
  const std::string firstLine = HugeSource().substr(0, HugeSource().find('\r'));
  LongestPassUntilIdle(subject.busy); // the window's first showing is no part of it
  for (auto _ : state) {
    subject.load();
    figure.afterLoad = LongestPassUntilIdle(subject.busy);
    subject.caretToTop();
    LongestPassUntilIdle(subject.busy);
    const auto slash = Keystroke(subject, Qt::Key_Slash, QStringLiteral("/"));
    const auto star = Keystroke(subject, Qt::Key_Asterisk, QStringLiteral("*"));
    const auto unstar = Keystroke(subject, Qt::Key_Backspace, QStringLiteral("\b"));
    const auto unslash = Keystroke(subject, Qt::Key_Backspace, QStringLiteral("\b"));
    figure.commentOpen = star.first;
    figure.commentClose = unstar.first;
    figure.whileTyping = std::max({slash.second, star.second, unstar.second, unslash.second});
    state.SetIterationTime(std::max(figure.afterLoad, figure.whileTyping) / 1e3);
  }
  if (subject.firstLine() != firstLine) state.SkipWithError("the first line did not come back");
  state.counters["after_load_ms"] = figure.afterLoad;
  state.counters["open_ms"] = figure.commentOpen;
  state.counters["close_ms"] = figure.commentClose;
  state.counters["typing_ms"] = figure.whileTyping;
}

void Tessarin_Passes(benchmark::State& state) {
  Ours ours;
  Subject subject{&ours.editor, [&] { ours.editor.Editor().Document().Load(SplitSource(HugeSource())); },
                  [&] {
                    ours.editor.Editor().State().SetCaretXY({1, 1});
                  },
                  [&] { return !ours.editor.Editor().Document().Ranges().Current(); },
                  [&] { return ours.editor.Editor().Document().LineText(1); }};
  Measure(state, "Tessarin", subject);
}

void QPlainTextEdit_Passes(benchmark::State& state) {
  Theirs theirs;
  Subject subject{&theirs.edit,
                  [&] {
                    theirs.edit.setPlainText(QString::fromLatin1(
                        HugeSource().data(), static_cast<qsizetype>(HugeSource().size())));
                  },
                  [&] { theirs.edit.moveCursor(QTextCursor::Start); }, [] { return false; },
                  [&] { return theirs.edit.document()->firstBlock().text().toStdString(); }};
  Measure(state, "QPlainTextEdit", subject);
}

#ifdef TESSARIN_HAVE_QSCINTILLA
void QScintilla_Passes(benchmark::State& state) {
  QsciScintilla edit;
  QsciLexerCPP lexer;
  edit.setLexer(&lexer);
  edit.setMarginLineNumbers(0, true);
  const QFontMetrics metrics(lexer.defaultFont(QsciLexerCPP::Default));
  edit.resize(kViewColumns * metrics.horizontalAdvance('M') + 60, kViewRows * metrics.height() + 20);
  edit.show();
  Subject subject{&edit, [&] { edit.setText(QString::fromLatin1(HugeSource().data(), HugeSource().size())); },
                  [&] { edit.setCursorPosition(0, 0); }, [] { return false; },
                  [&] {
                    QString line = edit.text(0);
                    while (line.endsWith('\n') || line.endsWith('\r'))
                      line.chop(1);
                    return line.toStdString();
                  }};
  Measure(state, "QScintilla", subject);
}
BENCHMARK(QScintilla_Passes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
#endif

BENCHMARK(Tessarin_Passes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(QPlainTextEdit_Passes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void PrintPeers(const char* what, double Figures::*field) {
  const auto ours = figures.find("Tessarin");
  if (ours == figures.end()) return;
  std::printf("%-34s %8.2f ms (%.2fx the %.0f ms frame)", what, ours->second.*field,
              ours->second.*field / kFrameMs, kFrameMs);
  for (const char* peer : {"QScintilla", "QPlainTextEdit"})
    if (const auto theirs = figures.find(peer); theirs != figures.end() && theirs->second.*field > 0)
      std::printf("; %s %.2f ms (%.2fx)", peer, theirs->second.*field,
                  ours->second.*field / (theirs->second.*field));
  std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
  return RunEditorBenchmarks(argc, argv, [](RatioReporter&) {
    if (!figures.count("Tessarin")) return;
#ifndef TESSARIN_HAVE_QSCINTILLA
    std::printf(
        "QScintilla was not found at build time (package libqscintilla2-qt6-dev): no figure for it\n");
#endif
    std::printf("%d lines, longest pass of the event loop:\n", kLines);
    PrintPeers("after the load", &Figures::afterLoad);
    PrintPeers("typing /* at the top and back", &Figures::whileTyping);
    PrintPeers("the * with its paint", &Figures::commentOpen);
    PrintPeers("the Backspace closing it, painted", &Figures::commentClose);
  });
}
