// Speed and memory of the editor control on a generated 200,000-line C file, each case against
// QPlainTextEdit with a trivial QSyntaxHighlighter doing the same work in the same run.
#include "VrnCppSyn.h"
#include "kxCustomEdit.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>

namespace {

constexpr int kLines = 200000;
constexpr int kColumns = 120;
constexpr int kRows = 60;

// A C file of kLines lines: functions with comments, keywords, strings and numbers (~8 MB).
std::string GenerateSource() {
  static const char* const body[] = {
      "// Returns the weapon's spread for the current frame and its fire rate",
      "static float WeaponSpread(gentity_t *ent, int weapon, float baseSpread) {",
      "\tfloat spread = baseSpread * 1.5f; // widened while moving quickly",
      "\tif (ent->client->ps.velocity[0] > 320 || ent->client->ps.pm_flags & 0x20) {",
      "\t\tspread += (float)ent->client->ps.weaponTime / 1000.0f + 0.25f;",
      "\t\tG_Printf(\"spread for %s is now %f at level %d\\n\", ent->classname, spread, 3);",
      "\t}",
      "\treturn spread < 0.0f ? 0.0f : spread;",
      "}",
      "",
  };
  std::string text;
  text.reserve(9u << 20);
  for (int i = 0; i < kLines; ++i) {
    text += body[i % 10];
    text += "\r\n";
  }
  return text;
}

const std::string& Source() {
  static const std::string source = GenerateSource();
  return source;
}

// The baseline's highlighter: keeps the block state and formats nothing.
class TrivialHighlighter : public QSyntaxHighlighter {
public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
  void highlightBlock(const QString&) override { setCurrentBlockState(previousBlockState()); }
};

struct Ours {
  TVrnCppSyn highlighter;
  TkxCustomEdit editor;
  Ours() {
    editor.SetHighLighter(&highlighter);
    editor.Gutter().SetShowLineNumbers(true);
    editor.resize(100, 100);
    editor.show();
    const int width = editor.width() - editor.viewport()->width();
    const int height = editor.height() - editor.viewport()->height();
    editor.resize(editor.GutterWidth() + 2 + kColumns * editor.CharWidth() + width,
                  kRows * editor.LineHeight() + height);
  }
  void Load() { editor.Lines().SetTextStr(Source()); }
};

struct Theirs {
  QPlainTextEdit edit;
  TrivialHighlighter highlighter{edit.document()};
  Theirs() {
    edit.setFont(TkxTextDrawer::EditorFont("Courier New", 10));
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(edit.font());
    edit.resize(kColumns * metrics.horizontalAdvance('M') + 40, kRows * metrics.height() + 20);
    edit.show();
  }
  void Load() {
    edit.setPlainText(QString::fromLatin1(Source().data(), static_cast<qsizetype>(Source().size())));
  }
};

// Paints the whole visible text area into an image, as the screen would get it.
void Paint(QWidget* viewport) {
  static QImage image;
  if (image.size() != viewport->size()) image = QImage(viewport->size(), QImage::Format_RGB32);
  viewport->render(&image);
}

// The loaded editors the benchmarks share; main drops them while the application still exists.
std::unique_ptr<Ours> loadedOurs;
std::unique_ptr<Theirs> loadedTheirs;

template <typename Editor> Editor& Loaded(std::unique_ptr<Editor>& editor) {
  if (!editor) {
    editor = std::make_unique<Editor>();
    editor->Load();
  }
  return *editor;
}
Ours& LoadedOurs() { return Loaded(loadedOurs); }
Theirs& LoadedTheirs() { return Loaded(loadedTheirs); }

void Load_Tessarin(benchmark::State& state) {
  for (auto _ : state) {
    Ours ours;
    ours.Load();
  }
}

void Load_QPlainTextEdit(benchmark::State& state) {
  for (auto _ : state) {
    Theirs theirs;
    theirs.Load();
  }
}

void TypeAndRepaint_Tessarin(benchmark::State& state) {
  Ours& ours = LoadedOurs();
  for (auto _ : state) {
    ours.editor.SetCaretXY({1, 1});
    ours.editor.ExecuteCommand(ecChar, 'x');
    Paint(ours.editor.viewport());
  }
}

void TypeAndRepaint_QPlainTextEdit(benchmark::State& state) {
  Theirs& theirs = LoadedTheirs();
  for (auto _ : state) {
    QTextCursor cursor(theirs.edit.document());
    cursor.insertText("x");
    theirs.edit.setTextCursor(cursor);
    Paint(theirs.edit.viewport());
  }
}

void OpenAndCloseComment_Tessarin(benchmark::State& state) {
  Ours& ours = LoadedOurs();
  // The file's second line holds no comment end, so the comment runs to the end of the file.
  TkxEditList& lines = ours.editor.Lines();
  const std::string second = lines[1];
  for (auto _ : state) {
    lines.Put(1, "/*" + second);
    lines.Put(1, second);
  }
}

void OpenAndCloseComment_QPlainTextEdit(benchmark::State& state) {
  Theirs& theirs = LoadedTheirs();
  for (auto _ : state) {
    QTextCursor cursor(theirs.edit.document()->findBlockByNumber(1));
    cursor.insertText("/*");
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 2);
    cursor.removeSelectedText();
  }
}

// One highlighter pass over the file: what the comment case is measured against.
void HighlighterPass(benchmark::State& state) {
  Ours& ours = LoadedOurs();
  const TkxEditList& lines = ours.editor.Lines();
  TVrnCppSyn highlighter;
  for (auto _ : state) {
    highlighter.ClearRange();
    for (int i = 0; i < lines.Count(); ++i) {
      highlighter.BeginLine(lines[i], i);
      highlighter.SkipToLineEnd();
    }
    benchmark::DoNotOptimize(highlighter.CurrentRange());
  }
}

void FullRepaint_Tessarin(benchmark::State& state) {
  Ours& ours = LoadedOurs();
  ours.editor.SetTopLine(kLines / 2);
  for (auto _ : state)
    Paint(ours.editor.viewport());
}

void FullRepaint_QPlainTextEdit(benchmark::State& state) {
  Theirs& theirs = LoadedTheirs();
  theirs.edit.verticalScrollBar()->setValue(kLines / 2);
  for (auto _ : state)
    Paint(theirs.edit.viewport());
}

void PageThroughFile_Tessarin(benchmark::State& state) {
  Ours& ours = LoadedOurs();
  for (auto _ : state) {
    ours.editor.ExecuteCommand(ecEditorTop);
    while (ours.editor.CaretY() < ours.editor.LineCount()) {
      ours.editor.ExecuteCommand(ecPageDown);
      Paint(ours.editor.viewport());
    }
  }
}

void PageThroughFile_QPlainTextEdit(benchmark::State& state) {
  Theirs& theirs = LoadedTheirs();
  for (auto _ : state) {
    theirs.edit.moveCursor(QTextCursor::Start);
    const int last = theirs.edit.document()->blockCount() - 1;
    while (theirs.edit.textCursor().blockNumber() < last) {
      QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
      QApplication::sendEvent(&theirs.edit, &pageDown);
      Paint(theirs.edit.viewport());
    }
  }
}

BENCHMARK(Load_Tessarin)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Load_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(TypeAndRepaint_Tessarin)->Unit(benchmark::kMicrosecond);
BENCHMARK(TypeAndRepaint_QPlainTextEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAndCloseComment_Tessarin)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(OpenAndCloseComment_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(HighlighterPass)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(FullRepaint_Tessarin)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullRepaint_QPlainTextEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageThroughFile_Tessarin)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PageThroughFile_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(1);


// Heap bytes the line list of the loaded file holds.
void ReportMemory() {
  const std::size_t before = mallinfo2().uordblks;
  auto ours = std::make_unique<TkxEditList>();
  ours->SetTextStr(Source());
  const std::size_t after = mallinfo2().uordblks;
  std::printf("line list memory: %.1f MB for a %.1f MB file (%.2fx)\n",
              static_cast<double>(after - before) / 1e6, static_cast<double>(Source().size()) / 1e6,
              static_cast<double>(after - before) / static_cast<double>(Source().size()));
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("file: %d lines, %.1f MB\n", kLines, static_cast<double>(Source().size()) / 1e6);
  ReportMemory();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const std::string suffix = "_Tessarin";
  for (const auto& [name, time] : reporter.seconds) {
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    const std::string base = name.substr(0, name.size() - suffix.size());
    auto baseline = reporter.seconds.find(base + "_QPlainTextEdit");
    if (baseline == reporter.seconds.end()) continue;
    std::printf("%-22s %10.3f ms vs %10.3f ms: %.2fx faster (cpu time %.2fx)\n", base.c_str(), time * 1e3,
                baseline->second * 1e3, baseline->second / time,
                reporter.cpuSeconds[baseline->first] / reporter.cpuSeconds[name]);
  }
  auto pass = reporter.seconds.find("HighlighterPass");
  auto comment = reporter.seconds.find("OpenAndCloseComment_Tessarin");
  if (pass != reporter.seconds.end() && comment != reporter.seconds.end())
    std::printf("open and close a comment: %.3f ms, one highlighter pass %.3f ms (%.2f passes per edit)\n",
                comment->second * 1e3 / 2, pass->second * 1e3, comment->second / 2 / pass->second);
  std::fflush(stdout);
  loadedOurs.reset();
  loadedTheirs.reset();
  benchmark::Shutdown();
  return 0;
}
