// The editor widget on the offscreen platform: what it paints where, and keyboard, mouse, wheel
// and scroll-bar input reaching the model.
#include "EditorWidget.h"
#include "TextLines.h"

#include "CodePage.h"
#include "CppHighlighter.h"
#include "EditorPainter.h"
#include "ScriptedQuestions.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr ColorValue kWhite = 0xFFFFFF, kBlack = 0x000000, kBlue = 0xFF0000, kGreen = 0x008000,
                     kRed = 0x0000FF, kYellow = 0x00FFFF;

QColor Rgb(ColorValue color) { return ColorToQColor(color, QPalette()); }

// Pixels of (nearly, glyphs are anti-aliased) `color` inside a rectangle of the image.
int CountPixels(const QImage& image, const QRect& rect, const QColor& color) {
  int count = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      const int distance = std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green()) +
                           std::abs(pixel.blue() - color.blue());
      if (distance < 100) ++count;
    }
  return count;
}

// What the screen holds of the viewport: the window's backing store, as painting left it.
QImage OnScreen(QWidget& viewport) {
  const QPoint origin = viewport.mapTo(viewport.window(), QPoint());
  return viewport.screen()
      ->grabWindow(viewport.window()->winId(), origin.x(), origin.y(), viewport.width(), viewport.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

class EditorWidgetTest : public ::testing::Test {
protected:
  void SetUp() override {
    editor.resize(500, 300);
    EditorLook look = editor.Editor().Look();
    look.Color = kWhite;
    look.FontColor = kBlack;
    look.SelectedBackground = kRed;
    look.SelectedForeground = kWhite;
    look.RightEdge = 0;
    editor.Editor().SetLook(look);
    highlighter.KeyAttri().SetForeground(kBlue);
    highlighter.KeyAttri().SetStyle(0);
    highlighter.CommentAttri().SetForeground(kGreen);
    highlighter.CommentAttri().SetStyle(0);
    highlighter.SpaceAttri().SetForeground(clNone);
    editor.Editor().Document().SetHighLighter(&highlighter);
    editor.Editor().Document().Load({"int x; /* note */", "plain", "selected text"});
  }

  template <typename Change> void ChangeLook(Change change) {
    EditorLook look = editor.Editor().Look();
    change(look);
    editor.Editor().SetLook(look);
  }
  // Screen cells `first` ... `last` of a line, tabs expanded.
  QRect Cells(int line, int first, int last) const {
    const TextPoint lineStart = editor.Editor().Geometry().RowColumnToPixels({1, line});
    return {lineStart.X + (first - 1) * editor.Editor().Geometry().CharWidth(), lineStart.Y,
            (last - first + 1) * editor.Editor().Geometry().CharWidth(),
            editor.Editor().Geometry().LineHeight()};
  }
  QImage Render() { return editor.viewport()->grab().toImage(); }

  void Press(QEvent::Type type, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {},
             Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(type, at, editor.viewport()->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(editor.viewport(), &event);
  }
  QPoint CellCentre(int column, int line) const { return Cells(line, column, column).center(); }

  CppHighlighter highlighter;
  EditorWidget editor;
};

TEST_F(EditorWidgetTest, PaintsKeywordCommentAndSelectionWhereTheyBelong) {
  editor.Editor().Gutter().SetShowLineNumbers(true);
  editor.Editor().State().SetBlockBegin({1, 3});
  editor.Editor().State().SetBlockEnd({9, 3});
  const QImage image = Render();

  EXPECT_GT(CountPixels(image, Cells(1, 1, 3), Rgb(kBlue)), 0);   // int
  EXPECT_EQ(CountPixels(image, Cells(1, 5, 6), Rgb(kBlue)), 0);   // x;
  EXPECT_GT(CountPixels(image, Cells(1, 8, 17), Rgb(kGreen)), 0); // /* note */
  EXPECT_EQ(CountPixels(image, Cells(2, 1, 5), Rgb(kGreen)), 0);  // plain
  const QRect selected = Cells(3, 1, 8);
  EXPECT_GT(CountPixels(image, selected, Rgb(kRed)), selected.width() * selected.height() / 2);
  EXPECT_EQ(CountPixels(image, Cells(3, 10, 13), Rgb(kRed)), 0);
  EXPECT_EQ(CountPixels(image, Cells(2, 1, 5), Rgb(kRed)), 0);

  // Gutter: 16 + 2 + four digits + 2, with its edge lines, then the text's background.
  const int gutter = 16 + 2 + 4 * editor.Editor().Geometry().CharWidth() + 2;
  EXPECT_EQ(editor.Editor().Geometry().GutterWidth(), gutter);
  const QPalette palette = editor.palette();
  EXPECT_EQ(image.pixel(1, 1), palette.color(QPalette::Button).rgb());
  EXPECT_EQ(image.pixel(gutter - 1, 1), palette.color(QPalette::Dark).rgb());
  EXPECT_EQ(image.pixel(gutter, 1), Rgb(kWhite).rgb());
  EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), Rgb(kWhite).rgb());
}

TEST_F(EditorWidgetTest, SpecialLineColoursSwapInsideTheSelection) {
  editor.Editor().Events.OnSpecialLineColors = [](int line, bool& special, ColorValue& fg, ColorValue& bg) {
    if (line != 2) return;
    special = true;
    fg = kWhite;
    bg = kYellow;
  };
  editor.Editor().State().SetBlockBegin({1, 2});
  editor.Editor().State().SetBlockEnd({3, 2});
  ChangeLook([](EditorLook& look) { look.RightEdge = 20; });
  const QImage image = Render();
  const QRect special = Cells(2, 4, 5);
  EXPECT_GT(CountPixels(image, special, Rgb(kYellow)), special.width() * special.height() / 2);
  const QRect swapped = Cells(2, 1, 2);
  EXPECT_GT(CountPixels(image, swapped, Rgb(kWhite)), swapped.width() * swapped.height() / 2);
  EXPECT_EQ(CountPixels(image, swapped, Rgb(kRed)), 0);
  // The right edge after column 20 runs through every row and below the text.
  const int edge = editor.Editor().Geometry().RowColumnToPixels({21, 1}).X;
  EXPECT_EQ(image.pixel(edge, 2), Rgb(clSilver).rgb());
  EXPECT_EQ(image.pixel(edge, image.height() - 2), Rgb(clSilver).rgb());
}

TEST_F(EditorWidgetTest, HiddenSelectionShowsOnlyWithFocus) {
  ChangeLook([](EditorLook& look) { look.HideSelection = true; });
  editor.Editor().ExecuteCommand(ecSelectAll);
  EXPECT_EQ(CountPixels(Render(), Cells(2, 1, 5), Rgb(kRed)), 0);
  ChangeLook([](EditorLook& look) { look.HideSelection = false; });
  EXPECT_GT(CountPixels(Render(), Cells(2, 1, 5), Rgb(kRed)), 0);
}

TEST_F(EditorWidgetTest, TheBracketBesideTheCaretAndItsMatchAreHighlighted) {
  editor.Editor().Document().Load({"f(a, b)", "x"});
  editor.show();
  ChangeLook([](EditorLook& look) { look.MatchedBracketColor = kYellow; });
  const QColor highlight = Rgb(kYellow);
  const auto highlighted = [&](const QImage& image, int column) {
    return CountPixels(image, Cells(1, column, column), highlight) > 0;
  };
  editor.Editor().State().SetCaretXY({8, 1}); // after ")"
  QCoreApplication::processEvents();
  QImage image = OnScreen(*editor.viewport());
  EXPECT_TRUE(highlighted(image, 2));
  EXPECT_TRUE(highlighted(image, 7));
  EXPECT_FALSE(highlighted(image, 4));
  // Moving away repaints both brackets plain.
  editor.Editor().State().SetCaretXY({1, 2});
  QCoreApplication::processEvents();
  image = OnScreen(*editor.viewport());
  EXPECT_FALSE(highlighted(image, 2));
  EXPECT_FALSE(highlighted(image, 7));
}

TEST_F(EditorWidgetTest, TabsAreDrawnAsBlanksToTheNextStop) {
  editor.Editor().Document().SetHighLighter(nullptr);
  editor.Editor().Document().Load({"\tX", "ab\tX"});
  const QImage image = Render();
  EXPECT_EQ(ExpandCells("ab\tX", 8, TextEncoding::Windows1252).bytes, "ab      X");
  EXPECT_EQ(ExpandCells("a\tb", 1, TextEncoding::Windows1252).bytes, "a b");
  // A wide character takes two cells, the second drawn as nothing.
  EXPECT_EQ(ExpandCells("\xE4\xB8\xADx", 4, TextEncoding::Utf8).chars,
            (std::u32string{0x4E2D, kSecondCell, U'x'}));
  EXPECT_EQ(CountPixels(image, Cells(1, 1, 8), Rgb(kBlack)), 0);
  EXPECT_GT(CountPixels(image, Cells(1, 9, 9), Rgb(kBlack)), 0);
  EXPECT_GT(CountPixels(image, Cells(2, 9, 9), Rgb(kBlack)), 0);
}

TEST_F(EditorWidgetTest, KeysMoveAndSelectWithoutTypingTheirCharacters) {
  QTest::keyClick(&editor, Qt::Key_Down);
  QTest::keyClick(&editor, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(editor.Editor().State().CaretXY(), (TextPoint{6, 2}));
  EXPECT_TRUE(editor.Editor().State().SelAvail());
  QTest::keyClick(&editor, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(editor.Editor().State().CaretXY(), (TextPoint{1, 1}));
  EXPECT_FALSE(editor.Editor().State().SelAvail());
  QTest::keyClick(&editor, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(editor.Editor().State().CaretXY(), (TextPoint{5, 1}));
  QTest::keyClick(&editor, Qt::Key_Insert);
  EXPECT_FALSE(editor.Editor().State().InsertMode());
  QTest::keyClick(&editor, Qt::Key_Insert);
  QTest::keyClick(&editor, Qt::Key_Return); // a line break, and no CR typed
  QTest::keyClick(&editor, Qt::Key_Y);
  QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
  QApplication::sendEvent(&editor, &accented);
  EXPECT_EQ(editor.Editor().Document().Lines().Strings()[0], "int");
  EXPECT_EQ(editor.Editor().Document().Lines().Strings()[1], "y\xe9x; /* note */");
}

TEST_F(EditorWidgetTest, MouseClicksDragsAndDoubleClicksSelect) {
  Press(QEvent::MouseButtonPress,
        CellCentre(3, 2) - QPoint(editor.Editor().Geometry().CharWidth() / 2 - 1, 0), Qt::LeftButton);
  Press(QEvent::MouseButtonRelease, CellCentre(3, 2), Qt::NoButton);
  EXPECT_EQ(editor.Editor().State().CaretXY(), (TextPoint{3, 2}));

  Press(QEvent::MouseButtonPress, Cells(3, 1, 1).topLeft() + QPoint(1, 2), Qt::LeftButton);
  Press(QEvent::MouseMove, Cells(3, 5, 5).topLeft() + QPoint(1, 2), Qt::LeftButton);
  Press(QEvent::MouseButtonRelease, Cells(3, 5, 5).topLeft() + QPoint(1, 2), Qt::NoButton);
  EXPECT_EQ(editor.Editor().State().BlockBegin(), (TextPoint{1, 3}));
  EXPECT_EQ(editor.Editor().State().BlockEnd(), (TextPoint{5, 3}));

  // Shift-click extends; a plain click elsewhere collapses.
  Press(QEvent::MouseButtonPress, Cells(1, 3, 3).topLeft() + QPoint(1, 2), Qt::LeftButton, Qt::ShiftModifier);
  Press(QEvent::MouseButtonRelease, Cells(1, 3, 3).topLeft() + QPoint(1, 2), Qt::NoButton);
  EXPECT_EQ(editor.Editor().State().BlockBegin(), (TextPoint{3, 1}));
  EXPECT_EQ(editor.Editor().State().BlockEnd(), (TextPoint{1, 3}));

  QMouseEvent doubleClick(QEvent::MouseButtonDblClick, CellCentre(4, 3),
                          editor.viewport()->mapToGlobal(CellCentre(4, 3)), Qt::LeftButton, Qt::LeftButton,
                          {});
  QApplication::sendEvent(editor.viewport(), &doubleClick);
  Press(QEvent::MouseButtonRelease, CellCentre(4, 3), Qt::NoButton);
  EXPECT_EQ(editor.Editor().State().BlockBegin(), (TextPoint{1, 3}));
  EXPECT_EQ(editor.Editor().State().BlockEnd(), (TextPoint{9, 3}));
  EXPECT_EQ(editor.Editor().State().CaretXY(), (TextPoint{9, 3}));
}

TEST_F(EditorWidgetTest, GutterClickReportsTheLine) {
  std::vector<int> clicked;
  editor.Editor().Events.OnGutterClick = [&](int, int, int line, Mark*) { clicked.push_back(line); };
  const QPoint inGutter(5, editor.Editor().Geometry().LineHeight() * 2 + 3);
  Press(QEvent::MouseButtonPress, inGutter, Qt::LeftButton);
  Press(QEvent::MouseButtonRelease, inGutter, Qt::NoButton);
  EXPECT_EQ(clicked, (std::vector<int>{3}));
}

TEST_F(EditorWidgetTest, WheelAndScrollBarsMoveTheViewOnly) {
  std::vector<std::string> many;
  for (int i = 0; i < 300; ++i)
    many.push_back("line " + std::to_string(i + 1));
  editor.Editor().Document().Load(many);
  QWheelEvent wheel(QPointF(50, 50), editor.viewport()->mapToGlobal(QPointF(50, 50)), {}, {0, -120},
                    Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(editor.viewport(), &wheel);
  EXPECT_EQ(editor.Editor().Geometry().TopLine(), 1 + QApplication::wheelScrollLines());
  EXPECT_EQ(editor.Editor().State().CaretXY(), (TextPoint{1, 1}));

  QScrollBar* bar = editor.verticalScrollBar();
  EXPECT_EQ(bar->value(), editor.Editor().Geometry().TopLine());
  EXPECT_EQ(bar->pageStep(), editor.Editor().Geometry().LinesInWindow());
  EXPECT_EQ(bar->maximum(), 300);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(editor.Editor().Geometry().TopLine(),
            1 + QApplication::wheelScrollLines() + editor.Editor().Geometry().LinesInWindow());
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(editor.Editor().Geometry().TopLine(), 300);
  EXPECT_EQ(bar->value(), 300);
}

TEST_F(EditorWidgetTest, ScrollHintShowsTheTopLineWhileDragging) {
  QScrollBar* bar = editor.verticalScrollBar();
  std::vector<std::string> many(100, "x");
  editor.Editor().Document().Load(many);
  emit bar->sliderPressed();
  ASSERT_NE(editor.ScrollHint(), nullptr);
  bar->setSliderPosition(40);
  bar->triggerAction(QAbstractSlider::SliderMove);
  EXPECT_EQ(editor.Editor().Geometry().TopLine(), 40);
  EXPECT_EQ(editor.ScrollHint()->text(), "Top Line: 40");
  emit bar->sliderReleased();
  EXPECT_TRUE(editor.ScrollHint()->isHidden());
}

TEST_F(EditorWidgetTest, ACommentOpenedAtTheTopColoursTheScreenAtOnceAndTheRestWhenIdle) {
  editor.Editor().Document().Load(std::vector<std::string>(120000, "plain"));
  editor.show();
  QCoreApplication::processEvents();
  editor.Editor().ExecuteCommand(ecChar, '/');
  editor.Editor().ExecuteCommand(ecChar, '*');
  const HighlightRanges& ranges = editor.Editor().Document().Ranges();
  EXPECT_FALSE(ranges.Current());
  EXPECT_GT(CountPixels(Render(), Cells(2, 1, 5), Rgb(kGreen)), 0);
  for (int pass = 0; pass < 10 && !ranges.Current(); ++pass)
    QCoreApplication::processEvents();
  EXPECT_TRUE(ranges.Current());
  // Stored by the idle slices, not by a read.
  EXPECT_EQ(editor.Editor().Document().Lines().GetObject(editor.Editor().Document().LineCount() - 1),
            crCComment);
}

TEST_F(EditorWidgetTest, ScrollsBetweenTwoPaintsLeaveTheScreenAsAFreshPaint) {
  std::vector<std::string> many;
  for (int i = 0; i < 300; ++i)
    many.push_back("line " + std::to_string(i + 1) + std::string(static_cast<std::size_t>(i % 7), '*'));
  editor.Editor().Document().Load(many);
  editor.Editor().Gutter().SetShowLineNumbers(true);
  editor.show();
  QCoreApplication::processEvents();
  const int bottom = editor.Editor().Geometry().LinesInWindow();
  // Scrolls down and up within one turn of the event loop, with edits and line breaks between.
  editor.Editor().State().SetCaretXY({3, bottom});
  for (int i = 0; i < 4; ++i) {
    editor.Editor().ExecuteCommand(ecLineBreak);
    editor.Editor().ExecuteCommand(ecChar, 'a');
  }
  editor.Editor().Geometry().SetTopLine(editor.Editor().Geometry().TopLine() + 2);
  ReplaceLine(editor.Editor().Document(), editor.Editor().Geometry().TopLine() + 2,
              "changed after the scrolls");
  editor.Editor().Geometry().SetTopLine(editor.Editor().Geometry().TopLine() - 3);
  editor.Editor().ExecuteCommand(ecUndo);
  QCoreApplication::processEvents();
  const QImage screen = OnScreen(*editor.viewport());
  ASSERT_FALSE(screen.isNull());
  EXPECT_EQ(screen, Render().convertToFormat(QImage::Format_RGB32));

  editor.Editor().Geometry().SetTopLine(editor.Editor().Geometry().TopLine() +
                                        editor.Editor().Geometry().LinesInWindow() - 1);
  editor.Editor().Geometry().SetTopLine(editor.Editor().Geometry().TopLine() +
                                        editor.Editor().Geometry().LinesInWindow() -
                                        1); // beyond one view in all
  QCoreApplication::processEvents();
  EXPECT_EQ(OnScreen(*editor.viewport()), Render().convertToFormat(QImage::Format_RGB32));
}

TEST(CodePage, BytesShowThroughWindows1252AndComeBack) {
  const std::string bytes = "a\x80\x81\xe9\x9f";
  const QString text = BytesToQString(bytes);
  EXPECT_EQ(text, QString::fromUtf8("a\u20ac\u0081\u00e9\u0178"));
  EXPECT_EQ(QStringToBytes(text), bytes);
  EXPECT_EQ(QStringToBytes(QString::fromUtf8("\u4e2d")), "");
}

} // namespace

TEST_F(EditorWidgetTest, ASelectionIsOfferedAsThePrimarySelectionAndAMiddleClickPastesIt) {
  struct Primary : ClipboardPort {
    std::optional<std::string> plain;
    bool PutText(std::string_view text, std::string_view, TextEncoding) override {
      plain = std::string(text);
      return true;
    }
    std::optional<std::string> BlockData() const override { return std::nullopt; }
    std::optional<std::string> PlainText() const override { return plain; }
  } primary;
  editor.SetPrimarySelection(&primary);
  Press(QEvent::MouseButtonPress, Cells(3, 1, 1).topLeft() + QPoint(1, 2), Qt::LeftButton);
  Press(QEvent::MouseMove, Cells(3, 9, 9).topLeft() + QPoint(1, 2), Qt::LeftButton);
  Press(QEvent::MouseButtonRelease, Cells(3, 9, 9).topLeft() + QPoint(1, 2), Qt::NoButton);
  QApplication::processEvents();
  EXPECT_EQ(primary.plain, "selected");

  Press(QEvent::MouseButtonPress, Cells(2, 6, 6).topLeft() + QPoint(1, 2), Qt::MiddleButton, {},
        Qt::MiddleButton);
  EXPECT_EQ(editor.Editor().Document().LineText(2), "plainselected");
  EXPECT_EQ(editor.Editor().Document().LineText(3), "selected text");
  editor.Editor().ExecuteCommand(ecUndo);
  EXPECT_EQ(editor.Editor().Document().LineText(2), "plain");
}

TEST_F(EditorWidgetTest, PlainTextLeavesWithTheLineEndsAsked) {
  editor.Editor().State().SetBlockBegin({1, 1});
  editor.Editor().State().SetBlockEnd({6, 2});
  editor.Editor().ExecuteCommand(ecCopy);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "int x; /* note */\r\nplain");
  editor.SetClipboardLineFeeds(true);
  editor.Editor().ExecuteCommand(ecCopy);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "int x; /* note */\nplain");
  editor.Editor().ExecuteCommand(ecPaste); // the editor's own block comes back as it was
  EXPECT_EQ(editor.Editor().Document().LineText(2), "plain");
  EXPECT_EQ(editor.Editor().Document().LineCount(), 3);
}

TEST_F(EditorWidgetTest, TypedCharactersGoInAsTheFileHoldsThemOrAreRefusedWithAMessage) {
  ScriptedQuestions questions;
  editor.SetQuestions(&questions);
  editor.Editor().State().SetOptions(kDesktopEditorOptions);
  const auto type = [&](const QString& text) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&editor, &key);
  };
  editor.Editor().Document().Load({"caf"});
  editor.Editor().ExecuteCommand(ecLineEnd);
  type(QStringLiteral("é→"));
  EXPECT_EQ(editor.Editor().Document().LineText(1), "caf\xC3\xA9\xE2\x86\x92");
  EXPECT_TRUE(questions.errors().empty());

  editor.Editor().Document().Load({"caf\xE9"});
  editor.Editor().ExecuteCommand(ecLineEnd);
  type(QStringLiteral("é"));
  type(QStringLiteral("→"));
  EXPECT_EQ(editor.Editor().Document().LineText(1), "caf\xE9\xE9");
  EXPECT_EQ(questions.errors().size(), 1u);
}
