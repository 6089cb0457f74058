// One document in two views: random edits in either view keep both whole, the other view's caret
// and selection stay on the text they were on, and undo, redo and the modified flag are the
// document's.
#include "EditScript.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using EditScript::Bytes;

void LikeTheFirst(TextEditor& view, const TextEditor& first) {
  view.Geometry().SetFontMetrics(8, 16);
  view.Geometry().SetClientSize(300, 200);
  view.State().SetOptions(first.State().Options());
  view.State().SetTabWidth(first.State().TabWidth());
  view.State().SetIndentWithTabs(first.State().IndentWithTabs());
}

TEST(SharedDocument, RandomEditsInEitherViewKeepBothViewsWholeAndUndoExact) {
  std::mt19937 random(5);
  for (const EditorOptions options : {kDefaultEditorOptions, kDesktopEditorOptions})
    for (int scriptIndex = 0; scriptIndex < 150; ++scriptIndex) {
      std::vector<std::uint8_t> script(400);
      for (std::uint8_t& byte : script)
        byte = static_cast<std::uint8_t>(random());
      Bytes bytes(script.data(), script.size());
      EditScript::Session run(bytes, options);
      TextEditor second(run.editor.SharedDocument());
      LikeTheFirst(second, run.editor);
      second.SetClipboard(&run.clipboard);
      const EditScript::Snapshot start = EditScript::Take(run.editor);
      for (int step = 0; !bytes.AtEnd(); ++step) {
        TextEditor& view = bytes.Next() % 2 ? second : run.editor;
        const EditorCommand command = EditScript::Step(view, run.clipboard, bytes);
        for (TextEditor* each : {&run.editor, &second}) {
          const std::string broken = EditScript::CheckInvariants(*each);
          ASSERT_TRUE(broken.empty()) << broken << ": options " << options << " script " << scriptIndex
                                      << " step " << step << " command " << EditorCommandToIdent(command);
        }
      }
      const std::string lost = EditScript::CheckUndoRedo(second, start);
      ASSERT_TRUE(lost.empty()) << lost << ": options " << options << " script " << scriptIndex;
    }
}

std::string TextBetween(const TextDocument& document, TextPoint from, TextPoint to) {
  return document.Text(from, to);
}

TextPoint End(const TextDocument& document) {
  return {static_cast<int>(document.LineText(document.LineCount()).size()) + 1, document.LineCount()};
}

TextPoint RandomPoint(std::mt19937& random, const TextDocument& document) {
  const int line = 1 + static_cast<int>(random() % static_cast<unsigned>(document.LineCount()));
  return {1 + static_cast<int>(random() % (document.LineText(line).size() + 1)), line};
}

// An edit wholly before the other view's caret leaves the text after that caret as it was; one
// wholly after it, the text before it. So the caret stays on its text, and so does its selection.
TEST(SharedDocument, TheOtherViewsCaretAndSelectionStayOnTheirText) {
  std::mt19937 random(7);
  TextEditor first;
  TextEditor second(first.SharedDocument());
  for (TextEditor* view : {&first, &second}) {
    view->Geometry().SetFontMetrics(8, 16);
    view->Geometry().SetClientSize(300, 200);
    view->State().SetOptions(kDesktopEditorOptions);
  }
  TextDocument& document = first.Document();
  const auto randomText = [&random] {
    std::string text;
    for (auto length = random() % 12; length > 0; --length)
      text += "ab \n"[random() % 4];
    return text;
  };
  document.Load({"first line", "second", "", "fourth line of text"});
  for (int round = 0; round < 2000; ++round) {
    if (document.LineCount() > 30) document.Load({"a fresh start", "of two lines"});
    const TextPoint a = RandomPoint(random, document);
    const TextPoint b = RandomPoint(random, document);
    second.State().SelectRange(a, b);
    second.State().SetCaretXY(b);
    const TextPoint from = RandomPoint(random, document);
    TextPoint to = RandomPoint(random, document);
    if (PointBefore(to, from)) to = from;
    const std::string before = TextBetween(document, {1, 1}, b);
    const std::string after = TextBetween(document, b, End(document));
    const std::string selected = TextBetween(document, a, b) + TextBetween(document, b, a);
    first.State().SetCaretXY(to);
    first.State().SelectRange(from, to);
    first.SetSelText(randomText());
    const TextPoint caret = second.State().CaretXY();
    EXPECT_EQ(second.State().SelectionMovingEnd(), caret);
    if (!PointBefore(b, to)) {
      ASSERT_EQ(TextBetween(document, caret, End(document)), after) << round;
    }
    if (PointBefore(b, from)) {
      ASSERT_EQ(TextBetween(document, {1, 1}, caret), before) << round;
    }
    const TextPoint anchor = second.State().SelectionAnchor();
    const TextPoint low = PointBefore(a, b) ? a : b;
    const TextPoint high = PointBefore(a, b) ? b : a;
    if (PointBefore(high, from) || !PointBefore(low, to)) {
      ASSERT_EQ(TextBetween(document, anchor, caret) + TextBetween(document, caret, anchor), selected)
          << round;
    }
  }
}

TEST(SharedDocument, UndoAndTheModifiedFlagAreTheDocumentsWhicheverViewAsks) {
  TextEditor first;
  TextEditor second(first.SharedDocument());
  first.Document().Load({"int x;"});
  first.Document().SetModified(false);
  second.State().SetCaretXY({7, 1});
  first.State().SetCaretXY({1, 1});
  first.ExecuteCommand(ecChar, 's');
  EXPECT_TRUE(second.Document().Modified());
  EXPECT_EQ(second.Document().LineText(1), "sint x;");
  EXPECT_EQ(second.State().CaretXY(), (TextPoint{8, 1}));
  second.ExecuteCommand(ecUndo);
  EXPECT_EQ(first.Document().LineText(1), "int x;");
  EXPECT_FALSE(first.Document().Modified());
  EXPECT_EQ(first.State().CaretXY(), (TextPoint{1, 1}));
}

} // namespace
