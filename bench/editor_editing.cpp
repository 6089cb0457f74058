// Editing speed of the editor control on the generated 200,000-line C file, each case against
// QPlainTextEdit doing the same in the same run: typing, line breaks, undo and redo.
//
// Both widgets are shown (offscreen) and take the same input. Keys go to both as QKeyEvents, so
// each side runs its whole key path: ours translates the key into an editor command (ecChar,
// ecLineBreak with auto-indent, ecDown, ecLineStart) and runs it; QPlainTextEdit's text control
// edits its QTextDocument through its cursor and rehighlights the block. Undo and redo run as
// commands: ecUndo and ecRedo on ours, QPlainTextEdit::undo and redo on the baseline. Every
// kStepsPerFrame steps (every typed statement when typing) pending events are processed, so both
// repaint what the steps changed; painting a frame costs the same at any file size and is
// measured on its own by editor_control.
//
// At the end the program reports the heap the undo history of the typed characters takes: what
// typing takes with the history kept beyond what it takes without.
#include "EditorPair.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kTypedChars = 100'000;
constexpr int kLineBreaks = 10'000;
constexpr int kEdits = 5'000; // each undone and redone: 10,000 steps
constexpr int kStepsPerFrame = 10;
// The statement typed again and again, each time at the start of the next line.
constexpr std::string_view kStatement = "spread = spread * 0.5f + (float)level; ";
// Edits start in the middle of the file, on a line indented by two tabs.
constexpr int kFirstLine = kSourceLines / 2 + 5;
constexpr int kBreakColumn = 12;

void Press(QWidget& widget, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = {}) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(&widget, &event);
}

void TypeChar(QWidget& widget, char ch) {
  const int key = ch >= 'a' && ch <= 'z' ? Qt::Key_A + (ch - 'a') : ch;
  Press(widget, key, QString(QLatin1Char(ch)));
}

// Lets both widgets repaint what changed, as between two frames on screen.
void ShowFrame() { QCoreApplication::processEvents(); }

[[nodiscard]] QWidget& Widget(Ours& ours) { return ours.editor; }
[[nodiscard]] QWidget& Widget(Theirs& theirs) { return theirs.edit; }

void PlaceCaret(Ours& ours, int line, int column) {
  ours.editor.Editor().State().SetOptions(ours.editor.Editor().State().Options() | eoAutoIndent);
  ours.editor.Editor().Document().SetMaxUndo(kEdits); // the default keeps only the last ten steps
  ours.editor.Editor().State().SetCaretXY({column, line});
}

void PlaceCaret(Theirs& theirs, int line, int column) {
  QTextCursor cursor(theirs.edit.document()->findBlockByNumber(line - 1));
  cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, column - 1);
  theirs.edit.setTextCursor(cursor);
  theirs.edit.ensureCursorVisible();
}

// An editor loaded with the file, the caret at `column` of `line` and the screen up to date.
template <typename Editor> std::unique_ptr<Editor> Loaded(int line, int column) {
  auto editor = std::make_unique<Editor>();
  editor->Load();
  PlaceCaret(*editor, line, column);
  ShowFrame();
  return editor;
}

void Undo(Ours& ours) { ours.editor.Editor().ExecuteCommand(ecUndo); }
void Undo(Theirs& theirs) { theirs.edit.undo(); }
void Redo(Ours& ours) { ours.editor.Editor().ExecuteCommand(ecRedo); }
void Redo(Theirs& theirs) { theirs.edit.redo(); }

// Types kTypedChars characters: the statement at the start of one line after another.
void TypeStatements(QWidget& widget) {
  for (int typed = 0; typed < kTypedChars;) {
    for (std::size_t i = 0; i < kStatement.size() && typed < kTypedChars; ++i, ++typed)
      TypeChar(widget, kStatement[i]);
    Press(widget, Qt::Key_Down);
    Press(widget, Qt::Key_Home);
    ShowFrame();
  }
}

// Runs `step` `count` times with a frame after every kStepsPerFrame of them.
template <typename Step> void Repeat(int count, Step step) {
  for (int i = 1; i <= count; ++i) {
    step();
    if (i % kStepsPerFrame == 0) ShowFrame();
  }
}

void BreakLines(QWidget& widget) {
  Repeat(kLineBreaks, [&] { Press(widget, Qt::Key_Return, QStringLiteral("\r")); });
}

// One undoable step per edit on both sides: an x typed at the start of one line after another
// (QTextDocument merges only insertions that follow each other directly).
void MakeEdits(QWidget& widget) {
  Repeat(kEdits, [&] {
    TypeChar(widget, 'x');
    Press(widget, Qt::Key_Down);
    Press(widget, Qt::Key_Home);
  });
}

// A line of the file as loaded (1-based).
std::string SourceLine(int line) {
  static const std::vector<std::string_view> lines = LineList::SplitLines(Source());
  return std::string(lines[static_cast<std::size_t>(line - 1)]);
}

[[nodiscard]] int LineCount(const Ours& ours) { return ours.editor.Editor().Document().LineCount(); }
// The file's final line end leaves an empty block after its last line.
[[nodiscard]] int LineCount(const Theirs& theirs) { return theirs.edit.document()->blockCount() - 1; }
[[nodiscard]] std::string Line(const Ours& ours, int line) {
  return ours.editor.Editor().Document().LineText(line);
}
[[nodiscard]] std::string Line(const Theirs& theirs, int line) {
  return theirs.edit.document()->findBlockByNumber(line - 1).text().toStdString();
}

// Both sides must have done the same work: checked against the text the steps must leave.
template <typename Editor>
void Expect(benchmark::State& state, const Editor& editor, int lines, int line, const std::string& text) {
  if (LineCount(editor) != lines)
    state.SkipWithError(("holds " + std::to_string(LineCount(editor)) + " lines").c_str());
  else if (line > 0 && Line(editor, line) != text)
    state.SkipWithError(("line " + std::to_string(line) + " reads " + Line(editor, line)).c_str());
}

template <typename Editor> void Typing(benchmark::State& state) {
  const auto editor = Loaded<Editor>(kFirstLine, 1);
  for (auto _ : state)
    TypeStatements(Widget(*editor));
  Expect(state, *editor, kSourceLines, kFirstLine, std::string(kStatement) + SourceLine(kFirstLine));
}

template <typename Editor> void LineBreaks(benchmark::State& state) {
  const auto editor = Loaded<Editor>(kFirstLine, kBreakColumn);
  for (auto _ : state)
    BreakLines(Widget(*editor));
  Expect(state, *editor, kSourceLines + kLineBreaks, 0, {});
}

template <typename Editor> void UndoRedo(benchmark::State& state) {
  const auto editor = Loaded<Editor>(kFirstLine, 1);
  MakeEdits(Widget(*editor));
  for (auto _ : state) {
    Repeat(kEdits, [&] { Undo(*editor); });
    Repeat(kEdits, [&] { Redo(*editor); });
  }
  const int last = kFirstLine + kEdits - 1;
  Expect(state, *editor, kSourceLines, last, "x" + SourceLine(last));
}

// Kilobytes of heap that typing kTypedChars characters takes with `levels` of undo history.
double TypingKilobytes(int levels) {
  const auto ours = Loaded<Ours>(kFirstLine, 1);
  // With no levels only the newest step is kept.
  ours->editor.Editor().Document().SetMaxUndo(levels);
  const std::size_t before = mallinfo2().uordblks;
  TypeStatements(ours->editor);
  return (static_cast<double>(mallinfo2().uordblks) - static_cast<double>(before)) / 1024;
}

// What the undo history of the typed characters costs on top of the typing itself; the baseline
// merges characters typed one after another into one step.
void ReportUndoMemory() {
  const double typing = TypingKilobytes(0);
  const auto theirs = Loaded<Theirs>(kFirstLine, 1);
  TypeStatements(theirs->edit);
  std::printf("Undo history of %d typed characters: %.0f KB with 1000 levels, %.0f KB with a level for "
              "each (QPlainTextEdit keeps %d merged steps)\n",
              kTypedChars, TypingKilobytes(1000) - typing, TypingKilobytes(kTypedChars) - typing,
              theirs->edit.document()->availableUndoSteps());
}

void Typing_Tessarin(benchmark::State& state) { Typing<Ours>(state); }
void Typing_QPlainTextEdit(benchmark::State& state) { Typing<Theirs>(state); }
void LineBreaks_Tessarin(benchmark::State& state) { LineBreaks<Ours>(state); }
void LineBreaks_QPlainTextEdit(benchmark::State& state) { LineBreaks<Theirs>(state); }
void UndoRedo_Tessarin(benchmark::State& state) { UndoRedo<Ours>(state); }
void UndoRedo_QPlainTextEdit(benchmark::State& state) { UndoRedo<Theirs>(state); }

BENCHMARK(Typing_Tessarin)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Typing_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LineBreaks_Tessarin)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LineBreaks_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(UndoRedo_Tessarin)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(UndoRedo_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
  return RunEditorBenchmarks(argc, argv, [](RatioReporter&) { ReportUndoMemory(); });
}
