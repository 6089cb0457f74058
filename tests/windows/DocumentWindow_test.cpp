#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "FileCommands.h"
#include "IdlePipe.h"
#include "KeyMap.h"
#include "PdfText.h"
#include "ScriptedQuestions.h"
#include "SearchEngine.h"
#include "Settings.h"
#include "TempDir.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct DocumentWindowTest : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  Settings settings;
  std::string activeProject; // file name; empty for none
  QMdiArea area;
  FileCommands set{area,
                   [this](QWidget* window) {
                     QMdiSubWindow* frame = area.addSubWindow(window);
                     frame->show();
                     return frame;
                   },
                   settings, questions, [this] { return activeProject; }};

  DocumentWindowTest() {
    settings.EditorFont = "Courier New";
    area.resize(800, 600);
    area.show();
  }

  DocumentWindow& open(const std::string& name, const std::string& bytes) {
    return *qobject_cast<DocumentWindow*>(set.OpenNewWindow(dir.write(name, bytes))->widget());
  }

  static void type(DocumentWindow& window, char ch) { window.Editor->Editor().KeyPress(ch); }
  static std::string caption(const DocumentWindow& window) { return window.windowTitle().toStdString(); }
};

} // namespace

TEST_F(DocumentWindowTest, CaptionFollowsEditsAndSaves) {
  DocumentWindow& window = open("logic.c", "a\tb\r\n");
  EXPECT_EQ(caption(window), "logic.c");
  EXPECT_EQ(window.Editor->Editor().Document().LineText(1), "a   b");

  type(window, 'x');
  EXPECT_EQ(caption(window), "logic.c*");
  EXPECT_TRUE(window.Modified());

  set.SaveFile();
  EXPECT_EQ(caption(window), "logic.c");
  EXPECT_FALSE(window.Modified());
  EXPECT_EQ(TempDir::read(dir.file("logic.c")), "xa   b\r\n");
}

// Undo back to the saved text: no "*" and no question on closing; redo brings both back.
TEST_F(DocumentWindowTest, UndoBackToTheSavedTextIsNotModified) {
  DocumentWindow& window = open("undo.c", "u\r\n");
  type(window, 'x');
  set.SaveFile();
  type(window, 'y');
  type(window, 'z');
  EXPECT_EQ(caption(window), "undo.c*");
  window.Undo();
  window.Undo();
  EXPECT_EQ(caption(window), "undo.c");
  EXPECT_FALSE(window.Modified());
  EXPECT_TRUE(window.CloseQuery());
  window.Redo();
  EXPECT_EQ(caption(window), "undo.c*");
  questions.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(window.CloseQuery());
  EXPECT_TRUE(questions.errors().empty());
  EXPECT_EQ(questions.log, std::vector<std::string>{"ask: Save changes to " + dir.file("undo.c") + "?"});
}

TEST_F(DocumentWindowTest, UntitledWindowsAskForANameBeforeSaving) {
  DocumentWindow& first = set.NewWindow();
  EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(first.parentWidget())->isMaximized());
  DocumentWindow& second = set.NewWindow();
  EXPECT_EQ(caption(first), "untitled.c");
  EXPECT_EQ(caption(second), "untitled.c");

  type(second, 'q');
  questions.choices.push_back({}); // cancelled: nothing written, still modified
  set.SaveFile();
  EXPECT_TRUE(second.Modified());
  ASSERT_EQ(questions.fileRequests.size(), 1u);
  EXPECT_EQ(questions.fileRequests[0].title, "Save File");
  EXPECT_EQ(questions.fileRequests[0].filter, "C Files (*.c; *.h)|*.c; *.h|All Files (*.*)|*.*");
  EXPECT_EQ(questions.fileRequests[0].initialFile, "untitled.c");

  questions.choices.push_back({dir.file("named.c")});
  set.SaveFile();
  EXPECT_EQ(second.FileName(), dir.file("named.c"));
  EXPECT_EQ(caption(second), "named.c");
  EXPECT_EQ(TempDir::read(dir.file("named.c")), "q\r\n");
}

TEST_F(DocumentWindowTest, SaveAsOntoAnExistingFileAsksFirst) {
  const std::string other = dir.write("other.c", "keep\r\n");
  DocumentWindow& window = open("mine.c", "text\n");
  type(window, 'z');

  questions.answers.push_back(Answer::No);
  EXPECT_FALSE(window.SaveFileAs(other));
  EXPECT_EQ(questions.log.back(), "ask: Overwrite Existing File?");
  EXPECT_EQ(TempDir::read(other), "keep\r\n");
  EXPECT_EQ(caption(window), "mine.c*");

  questions.answers.push_back(Answer::Yes);
  EXPECT_TRUE(window.SaveFileAs(other));
  EXPECT_EQ(TempDir::read(other), "ztext\r\n");
  EXPECT_EQ(caption(window), "other.c");
}

TEST_F(DocumentWindowTest, AFailedSaveKeepsTheTextUnsaved) {
  DocumentWindow& window = open("ok.c", "x\n");
  type(window, 'y');
  EXPECT_FALSE(window.SaveFileAs(dir.file("ok.c") + "/inside.c"));
  questions.answers.push_back(Answer::Yes); // it exists: overwrite it
  EXPECT_FALSE(window.SaveFileAs("/dev/full"));
  EXPECT_EQ(questions.errors().size(), 2u);
  EXPECT_TRUE(window.Modified());
  EXPECT_EQ(window.FileName(), dir.file("ok.c"));
  EXPECT_EQ(caption(window), "ok.c*");
  EXPECT_EQ(TempDir::read(dir.file("ok.c")), "x\n");
}

TEST_F(DocumentWindowTest, ClosePromptSavesDropsOrKeeps) {
  DocumentWindow& window = open("close.c", "c\r\n");
  type(window, 'k');
  QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());

  questions.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(frame->close());
  EXPECT_TRUE(window.Modified());
  EXPECT_EQ(questions.log.back(), "ask: Save changes to " + dir.file("close.c") + "?");

  questions.answers.push_back(Answer::Yes);
  EXPECT_TRUE(window.CloseQuery());
  EXPECT_EQ(TempDir::read(dir.file("close.c")), "kc\r\n");

  type(window, 'j');
  questions.answers.push_back(Answer::No);
  EXPECT_TRUE(frame->close());
  EXPECT_EQ(TempDir::read(dir.file("close.c")), "kc\r\n");
}

TEST_F(DocumentWindowTest, TheMarkedLineGoesAtTheFirstEdit) {
  DocumentWindow& window = open("mark.c", "1\n2\n3\n");
  window.SetMarkColour(0x0000FF);
  window.MarkLine(2);
  bool special = false;
  ColorValue foreground = 0, background = 0;
  window.Editor->Editor().Events.OnSpecialLineColors(2, special, foreground, background);
  EXPECT_TRUE(special);
  EXPECT_EQ(foreground, 0xFFFFFFu);
  EXPECT_EQ(background, 0x0000FFu);
  special = false;
  window.Editor->Editor().Events.OnSpecialLineColors(3, special, foreground, background);
  EXPECT_FALSE(special);

  type(window, 'e');
  EXPECT_EQ(window.MarkedLine, -1);
}

TEST_F(DocumentWindowTest, OpenFileMakesOneWindowPerReadableFile) {
  settings.quake3location = "/games/q3/quake3.x86";
  const std::string good = dir.write("good.c", "int x;\n");
  questions.choices.push_back({good, dir.path(), dir.file("fresh.c"), good});
  set.OpenFile();
  ASSERT_EQ(questions.fileRequests.size(), 1u);
  EXPECT_EQ(questions.fileRequests[0].title, "Open File");
  EXPECT_EQ(questions.fileRequests[0].initialFolder, "/games/q3/");
  EXPECT_EQ(questions.fileRequests[0].defaultExtension, "c");

  // The folder is refused with a message; the missing file opens empty; the same file twice
  // gives two windows.
  const std::vector<DocumentWindow*> windows = set.Windows();
  ASSERT_EQ(windows.size(), 3u);
  EXPECT_EQ(questions.errors().size(), 1u);
  EXPECT_EQ(caption(*windows[1]), "fresh.c");
  EXPECT_EQ(windows[1]->Editor->Editor().Document().LineCount(), 1);

  activeProject = "/mods/baseq3/game.tsp";
  questions.choices.push_back({});
  set.OpenFile();
  EXPECT_EQ(questions.fileRequests[1].initialFolder, "/mods/baseq3/");
}

TEST_F(DocumentWindowTest, AFileThatDoesNotLookLikeTextAsksFirst) {
  const std::string binary = dir.write("g_main.qvm", std::string("\x44\x14\x72\x12\0\0\0\x01", 8));
  const std::string noisy = dir.write("noisy.c", std::string(50, '\x02') + std::string(50, 'a'));
  const std::string text = dir.write("text.c", "int x;\f\x1b[0m caf\xe9\n");
  questions.answers = {Answer::No, Answer::Yes};
  EXPECT_EQ(set.OpenNewWindow(binary), nullptr);
  ASSERT_NE(set.OpenNewWindow(noisy), nullptr);
  ASSERT_NE(set.OpenNewWindow(text), nullptr);
  EXPECT_EQ(questions.log, (std::vector<std::string>{
                               "ask: " + binary + " does not look like a text file.\nOpen it anyway?",
                               "ask: " + noisy + " does not look like a text file.\nOpen it anyway?"}));
}

TEST_F(DocumentWindowTest, APipeOrAFolderIsRefusedAndAHugeFileAsksFirst) {
  // A pipe named by a message or a recent list must not block the window for good.
  IdlePipe pipe(dir.file("pipe.c"));
  EXPECT_EQ(pipe.Within([&] { return set.OpenNewWindow(pipe.path()); }), nullptr);
  EXPECT_EQ(set.OpenNewWindow(dir.path()), nullptr);
  EXPECT_EQ(questions.errors(),
            (std::vector<std::string>{"Cannot open " + pipe.path() + ": it is not a regular file",
                                      "Cannot open " + dir.path() + ": it is a folder"}));
  // Sparse: large on paper, nothing on the disk.
  const std::string huge = dir.write("huge.c", "int x;\n");
  std::filesystem::resize_file(huge, FileCommands::kLargeFileBytes + (1 << 20));
  questions.answers = {Answer::No};
  EXPECT_EQ(set.OpenNewWindow(huge), nullptr);
  ASSERT_EQ(questions.log.size(), 3u);
  EXPECT_EQ(questions.log.back(), "ask: " + huge +
                                      " is 257 MB large; reading it takes a while and that much "
                                      "memory.\nOpen it anyway?");
  EXPECT_TRUE(set.Windows().empty());
}

TEST_F(DocumentWindowTest, TheReplacePromptSteersAReplaceRun) {
  DocumentWindow& window = open("replace.c", "ab ab\nab\nab ab\n");
  questions.answers = {Answer::No, Answer::Yes, Answer::All};
  SearchEngine engine;
  TextEditor& editor = window.Editor->Editor();
  SearchRun run(editor.Context(), editor, engine, window.OnReplaceText);
  run.Run("ab", "X", ssoReplaceAll | ssoPrompt | ssoEntireScope);
  EXPECT_EQ(questions.log.front(), "ask: Replace this occurance of 'ab'");
  EXPECT_EQ(questions.log.size(), 3u);
  EXPECT_EQ(window.Editor->Editor().Document().Lines().Strings(),
            (std::vector<std::string>{"ab X", "X", "X X"}));
  EXPECT_EQ(caption(window), "replace.c*");

  questions.answers = {Answer::Cancel};
  SearchRun cancelled(editor.Context(), editor, engine, window.OnReplaceText);
  cancelled.Run("X", "ab", ssoReplaceAll | ssoPrompt | ssoEntireScope);
  EXPECT_EQ(window.Editor->Editor().Document().LineText(2), "X");
}

TEST_F(DocumentWindowTest, PrintPutsTheFullPathOnTopOfTheText) {
  DocumentWindow& window = open("print.c", "int frags;\r\nint deaths;\r\n");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.file("print.pdf")));
  window.Print(printer);
  const std::string text = PdfText(dir.file("print.pdf"));
  EXPECT_NE(text.find(dir.file("print.c")), std::string::npos) << text;
  EXPECT_NE(text.find("int frags;\nint deaths;"), std::string::npos) << text;
  EXPECT_NE(text.find("Page 1"), std::string::npos) << text;
}

TEST_F(DocumentWindowTest, UndoTakesBackAsManyEditsAsTheSettingsSay) {
  for (const int levels : {10, 1000}) {
    settings.UndoLevels = levels;
    DocumentWindow& window = open("levels" + std::to_string(levels) + ".c", "");
    const std::string typed(1200, 'a');
    for (const char ch : typed)
      type(window, ch);
    while (window.CanUndo())
      window.Undo();
    EXPECT_EQ(window.Editor->Editor().Document().LineText(1).size(),
              typed.size() - static_cast<std::size_t>(levels));
  }
}

// The editor keys the user changed reach the window's editor: the key runs its new command.
TEST_F(DocumentWindowTest, TheUsersEditorKeysRunTheirCommands) {
  KeyMap defaults;
  defaults.LoadDefaultMap();
  const KeyBinding& lineEnd = defaults.Items(defaults.FindKey(vk::End, 0));
  settings.EditorKeys[KeyBindingName(lineEnd)] = PackShortCut('E', ssAlt);
  DocumentWindow& window = open("keys.c", "int frags;");
  QTest::keyClick(window.Editor, Qt::Key_E, Qt::AltModifier);
  EXPECT_EQ(window.Editor->Editor().State().CaretX(), 11);
  QTest::keyClick(window.Editor, Qt::Key_Home);
  QTest::keyClick(window.Editor, Qt::Key_End); // no longer the end of the line
  EXPECT_EQ(window.Editor->Editor().State().CaretX(), 1);
}

TEST_F(DocumentWindowTest, AFileKeepsItsTabsAndLineEndsAndAnEditChangesOnlyItsLine) {
  settings.KeepFileFormat = true;
  settings.TabWidth = 4;
  const std::string original = "int f(void)\n{\n\tif (x)\t/* why */\n\t\treturn 1;\r\n}";
  DocumentWindow& window = open("tabs.c", original);
  EXPECT_EQ(window.Editor->Editor().Document().LineText(3), "\tif (x)\t/* why */");

  set.SaveFile(); // nothing changed: nothing written differently
  window.Editor->Editor().Document().SetModified(true);
  set.SaveFile();
  EXPECT_EQ(TempDir::read(dir.file("tabs.c")), original);

  // The Tab key in a file indented with tabs types a tab; the other lines stay as they were.
  window.Editor->Editor().State().SetCaretXY({1, 4});
  window.Editor->Editor().ExecuteCommand(ecTab);
  set.SaveFile();
  EXPECT_EQ(TempDir::read(dir.file("tabs.c")), "int f(void)\n{\n\tif (x)\t/* why */\n\t\t\treturn 1;\r\n}");
}

TEST_F(DocumentWindowTest, UnderTheDesktopConventionsTheStatusShowsTheEncodingAndCountsCharacters) {
  settings.DesktopEditing = true;
  settings.KeepFileFormat = true;
  DocumentWindow& utf8 = open("utf8.c", "caf\xC3\xA9 x\n");
  utf8.Editor->Editor().ExecuteCommand(ecLineEnd);
  utf8.Editor->Editor().KeyPress(std::string_view("\xC3\xA9"));
  EXPECT_EQ(utf8.Status().column, 8);
  EXPECT_EQ(utf8.Status().encoding, "UTF-8");
  set.SaveFile();
  EXPECT_EQ(TempDir::read(dir.file("utf8.c")), "caf\xC3\xA9 x\xC3\xA9\n");

  DocumentWindow& latin = open("latin.c", "caf\xE9\n");
  latin.Editor->Editor().ExecuteCommand(ecLineEnd);
  EXPECT_EQ(latin.Status().column, 5);
  EXPECT_EQ(latin.Status().encoding, "Windows-1252");
}

// The line numbers keep clear of the text at any font and scale.
TEST_F(DocumentWindowTest, LineNumbersKeepClearOfTheText) {
  DocumentWindow& window = open("logic.c", "int x;\n");
  const TextEditor& editor = window.Editor->Editor();
  const GutterLayout& gutter = editor.Gutter();
  const int numbersEnd = gutter.LeftOffset() + gutter.DigitsInUse(1) * editor.Geometry().CharWidth();
  EXPECT_GE(editor.Geometry().GutterWidth() - numbersEnd, 10);
}

// Split: the second view shows the same text with a caret of its own; what is typed in either
// shows in both, the other caret stays on its text, the "*", save and undo are the document's, and
// unsplitting keeps the view the user is in.
TEST_F(DocumentWindowTest, ASplitWindowShowsOneDocumentInTwoViews) {
  DocumentWindow& window = open("split.c", "int a;\nint b;\n");
  EditorWidget* first = window.Editor;
  first->Editor().State().SetCaretXY({5, 2});
  window.Split(Qt::Vertical);
  ASSERT_TRUE(window.IsSplit());
  EXPECT_EQ(window.SplitOrientation(), Qt::Vertical);
  EditorWidget* second = window.Editor;
  ASSERT_NE(second, first);
  EXPECT_EQ(&second->Editor().Document(), &first->Editor().Document());
  EXPECT_EQ(second->Editor().State().CaretXY(), (TextPoint{5, 2}));

  second->Editor().State().SetCaretXY({1, 1});
  type(window, 'x');
  EXPECT_EQ(first->Editor().Document().LineText(1), "xint a;");
  EXPECT_EQ(first->Editor().State().CaretXY(), (TextPoint{5, 2}));
  second->Editor().ExecuteCommand(ecLineBreak);
  EXPECT_EQ(first->Editor().State().CaretXY(), (TextPoint{5, 3}));
  EXPECT_EQ(caption(window), "split.c*");

  window.Split(Qt::Horizontal);
  EXPECT_EQ(window.SplitOrientation(), Qt::Horizontal);
  EXPECT_EQ(window.Views().size(), 2u);
  set.SaveFile();
  EXPECT_EQ(caption(window), "split.c");

  EditorWidget* kept = window.Editor;
  window.Unsplit();
  EXPECT_FALSE(window.IsSplit());
  ASSERT_EQ(window.Views().size(), 1u);
  EXPECT_EQ(window.Views().front(), kept);
  EXPECT_EQ(window.Editor, kept);
  window.Undo();
  window.Undo();
  EXPECT_EQ(kept->Editor().Document().LineText(1), "int a;");
  EXPECT_TRUE(window.Modified());
}

// Under the desktop conventions the gutter has fold toggles, in both views of a split window, and
// each view folds on its own; folding is no edit and the file saves as it was; going to a line a
// fold hides opens the fold.
TEST_F(DocumentWindowTest, FoldedLinesStayInTheFileAndGoingToOneUnfoldsIt) {
  const std::string bytes = "/* head\r\n   comment */\r\nvoid f(void)\r\n{\r\n\tg();\r\n}\r\n";
  DocumentWindow& classic = open("classic.c", bytes);
  EXPECT_FALSE(classic.Editor->Editor().Gutter().ShowFolds());
  settings.DesktopEditing = true;
  DocumentWindow& window = open("fold.c", bytes);
  TextEditor& first = window.Editor->Editor();
  EXPECT_TRUE(first.Gutter().ShowFolds());
  window.Fold(ecFoldAll);
  EXPECT_TRUE(first.Folds().IsFolded(1));
  EXPECT_TRUE(first.Folds().IsFolded(3));
  EXPECT_EQ(first.Geometry().RowCount(), 2);
  window.Split(Qt::Horizontal);
  TextEditor& second = window.Editor->Editor();
  EXPECT_TRUE(second.Gutter().ShowFolds());
  EXPECT_TRUE(second.Folds().Empty());
  window.Fold(ecFold);
  EXPECT_TRUE(second.Folds().IsFolded(1));
  EXPECT_FALSE(second.Folds().IsFolded(3));
  EXPECT_EQ(first.Folds().Folded().size(), 2u);

  EXPECT_FALSE(window.Modified());
  EXPECT_EQ(caption(window), "fold.c");
  first.State().SetCaretXY({1, 3});
  type(window, ' ');
  window.Undo();
  set.SaveFile();
  EXPECT_EQ(TempDir::read(dir.file("fold.c")), bytes);

  window.Editor = window.Views().front();
  window.SetTopLine(5 - window.VisibleLineCount() / 2);
  window.SetCaretY(5);
  EXPECT_FALSE(first.Folds().IsFolded(3));
  EXPECT_TRUE(first.Folds().IsFolded(1));
  EXPECT_EQ(first.State().CaretY(), 5);
}
