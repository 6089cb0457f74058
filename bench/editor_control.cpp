// Speed and memory of the editor control on a generated 200,000-line C file, each case against
// QPlainTextEdit with a trivial QSyntaxHighlighter doing the same work in the same run.
#include "EditorPair.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <memory>

namespace {

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
    ours.editor.Editor().State().SetCaretXY({1, 1});
    ours.editor.Editor().ExecuteCommand(ecChar, 'x');
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
  TextDocument& document = ours.editor.Editor().Document();
  for (auto _ : state) {
    document.Insert({1, 2}, "/*");
    document.Delete({1, 2}, {3, 2});
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
  const LineList& lines = ours.editor.Editor().Document().Lines();
  CppHighlighter highlighter;
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
  ours.editor.Editor().Geometry().SetTopLine(kSourceLines / 2);
  for (auto _ : state)
    Paint(ours.editor.viewport());
}

void FullRepaint_QPlainTextEdit(benchmark::State& state) {
  Theirs& theirs = LoadedTheirs();
  theirs.edit.verticalScrollBar()->setValue(kSourceLines / 2);
  for (auto _ : state)
    Paint(theirs.edit.viewport());
}

void PageThroughFile_Tessarin(benchmark::State& state) {
  Ours& ours = LoadedOurs();
  for (auto _ : state) {
    ours.editor.Editor().ExecuteCommand(ecEditorTop);
    while (ours.editor.Editor().State().CaretY() < ours.editor.Editor().Document().LineCount()) {
      ours.editor.Editor().ExecuteCommand(ecPageDown);
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
  auto ours = std::make_unique<LineList>();
  ours->Assign(SplitSource(Source()));
  const std::size_t after = mallinfo2().uordblks;
  std::printf("line list memory: %.1f MB for a %.1f MB file (%.2fx)\n",
              static_cast<double>(after - before) / 1e6, static_cast<double>(Source().size()) / 1e6,
              static_cast<double>(after - before) / static_cast<double>(Source().size()));
}

} // namespace

int main(int argc, char** argv) {
  return RunEditorBenchmarks(argc, argv, [](RatioReporter& reporter) {
    std::printf("file: %d lines, %.1f MB\n", kSourceLines, static_cast<double>(Source().size()) / 1e6);
    ReportMemory();
    auto pass = reporter.seconds.find("HighlighterPass");
    auto comment = reporter.seconds.find("OpenAndCloseComment_Tessarin");
    if (pass != reporter.seconds.end() && comment != reporter.seconds.end())
      std::printf("open and close a comment: %.3f ms, one highlighter pass %.3f ms (%.2f passes per edit)\n",
                  comment->second * 1e3 / 2, pass->second * 1e3, comment->second / 2 / pass->second);
    loadedOurs.reset();
    loadedTheirs.reset();
  });
}
