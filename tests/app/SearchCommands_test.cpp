#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "FindReplaceDialog.h"
#include "GoToLineDialog.h"
#include "IsolatedEnvironment.h"
#include "MainWindow.h"
#include "ScriptedQuestions.h"
#include "SearchCommands.h"
#include "Settings.h"
#include "TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Answerer = std::function<void(FindReplaceDialog&)>;

struct SearchCommandsTest : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  // Fills in and closes the next find dialog; the dialogs shown are counted.
  Answerer answerFind;
  std::function<void(GoToLineDialog&)> answerGotoLine;
  int dialogsShown = 0;
  std::unique_ptr<MainWindow> form;

  SearchCommandsTest() {
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    env.runDialog = [this](QDialog& dialog) {
      ++dialogsShown;
      dialog.setResult(QDialog::Rejected);
      if (auto* find = dynamic_cast<FindReplaceDialog*>(&dialog); find && answerFind) {
        find->PrepareForInput(); // what showing it does
        answerFind(*find);
      } else if (auto* gotoLine = dynamic_cast<GoToLineDialog*>(&dialog); gotoLine && answerGotoLine) {
        answerGotoLine(*gotoLine);
      }
      return dialog.result();
    };
    form = std::make_unique<MainWindow>(std::move(env));
    form->CreateSharedDialogs();
  }

  DocumentWindow& open(const std::string& name, const std::string& text) {
    QMdiSubWindow* window = form->OpenEditorWindow(dir.write(name, text));
    return *qobject_cast<DocumentWindow*>(window->widget());
  }
  FindReplaceDialog& findDialog() { return *form->findChild<FindReplaceDialog*>(); }
  void trigger(const char* name) { form->Actions()[name]->trigger(); }
  std::vector<std::string> texts(const DocumentWindow& editor) {
    return editor.Editor->Editor().Document().Lines().Strings();
  }
};

// Types the find text and presses OK.
Answerer find(const std::string& text, const Answerer& setSwitches = {}) {
  return [=](FindReplaceDialog& dialog) {
    dialog.SetFindText(text);
    if (setSwitches) setSwitches(dialog);
    dialog.OkButton->click();
  };
}

Answerer replaceAll(const std::string& text, const std::string& with) {
  return [=](FindReplaceDialog& dialog) {
    dialog.SetFindText(text);
    dialog.NewTextComboBox->setEditText(QString::fromStdString(with));
    dialog.AllButton->click();
  };
}

TextPoint selectionStart(const DocumentWindow& editor) {
  return editor.Editor->Editor().State().BlockBegin();
}

} // namespace

TEST(SearchOptionsOf, EachSwitchSetsItsBitAndReplaceAllNeedsReplacing) {
  EXPECT_EQ(SearchOptionsOf(FindSwitches{}, true), ssoEntireScope) << "replace-all without replacing";
  EXPECT_EQ(SearchOptionsOf({.fromHome = false}, false), 0);
  // The prompt bit goes along even when only searching; the editor asks only when replacing.
  const FindSwitches searching{.matchCase = true,
                               .wholeWords = true,
                               .prompt = true,
                               .backwards = true,
                               .selectedOnly = true,
                               .fromHome = false};
  EXPECT_EQ(SearchOptionsOf(searching, false),
            ssoMatchCase | ssoWholeWord | ssoPrompt | ssoBackwards | ssoSelectedOnly);
  EXPECT_EQ(SearchOptionsOf({.replace = true}, true), ssoEntireScope | ssoReplace | ssoReplaceAll);
  EXPECT_EQ(SearchOptionsOf({.regularExpression = true}, false), ssoEntireScope | ssoRegularExpression);
}

TEST_F(SearchCommandsTest, TheDialogStartsAsSearchOnlyAndItsButtonsFollowTextAndOperation) {
  FindReplaceDialog& dialog = findDialog();
  EXPECT_EQ(dialog.windowTitle(), "Find or replace text");
  EXPECT_TRUE(dialog.SearchRadioButton->isChecked());
  EXPECT_TRUE(dialog.ForwardRadioButton->isChecked());
  EXPECT_TRUE(dialog.GlobalRadioButton->isChecked());
  EXPECT_TRUE(dialog.HomeRadioButton->isChecked());
  EXPECT_FALSE(dialog.CaseCheckBox->isChecked() || dialog.WholeWordCheckBox->isChecked() ||
               dialog.PromptCheckBox->isChecked() || dialog.RegexCheckBox->isChecked());
  dialog.RegexCheckBox->setChecked(true);
  EXPECT_TRUE(dialog.Switches().regularExpression);
  dialog.RegexCheckBox->setChecked(false);
  EXPECT_FALSE(dialog.OkButton->isEnabled());
  EXPECT_FALSE(dialog.AllButton->isEnabled());
  EXPECT_FALSE(dialog.NewTextComboBox->isEnabled() || dialog.NewTextLabel->isEnabled() ||
               dialog.PromptCheckBox->isEnabled());

  dialog.SetFindText("x");
  EXPECT_TRUE(dialog.OkButton->isEnabled());
  EXPECT_FALSE(dialog.AllButton->isEnabled());
  dialog.ReplaceRadioButton->click();
  EXPECT_TRUE(dialog.NewTextComboBox->isEnabled() && dialog.PromptCheckBox->isEnabled());
  EXPECT_TRUE(dialog.AllButton->isEnabled());
  dialog.SetFindText("");
  EXPECT_FALSE(dialog.OkButton->isEnabled());
  EXPECT_FALSE(dialog.AllButton->isEnabled());
  dialog.SearchRadioButton->click();
  EXPECT_FALSE(dialog.NewTextComboBox->isEnabled());

  // The boxes hold the editor's bytes, shown through its code page.
  dialog.SetFindText("caf\xE9 \x80");
  EXPECT_EQ(dialog.FindText(), "caf\xE9 \x80");
}

TEST_F(SearchCommandsTest, TheCommandsNeedAnEditorWindow) {
  form->RefreshActions();
  const char* const names[] = {"FindAction", "ReplaceAction", "SearchAgainAction", "GotoLineNumberAction"};
  for (const char* name : names)
    EXPECT_FALSE(form->Actions()[name]->isEnabled()) << name;
  form->Search().ShowFindDialog(0);
  form->Search().ShowFindDialog(1);
  form->Search().SearchAgain();
  form->Search().GoToLine();
  EXPECT_EQ(dialogsShown, 0);

  open("a.c", "int a;\n");
  form->RefreshActions();
  for (const char* name : names)
    EXPECT_TRUE(form->Actions()[name]->isEnabled()) << name;
}

TEST_F(SearchCommandsTest, SearchAgainGoesOnFromTheMatchUntilNothingFollows) {
  DocumentWindow& editor = open("a.c", "alpha beta alpha\nalpha\n");
  editor.Editor->Editor().State().SetCaretXY({1, 2}); // from the home position all the same
  answerFind = find("alpha");
  trigger("FindAction");
  EXPECT_EQ(selectionStart(editor), (TextPoint{1, 1}));
  EXPECT_EQ(form->Search().SearchOptions(), ssoEntireScope);

  trigger("SearchAgainAction");
  EXPECT_EQ(selectionStart(editor), (TextPoint{12, 1}));
  trigger("SearchAgainAction");
  EXPECT_EQ(selectionStart(editor), (TextPoint{1, 2}));
  EXPECT_TRUE(questions.log.empty());
  trigger("SearchAgainAction");
  EXPECT_EQ(questions.log, (std::vector<std::string>{"inform: No further occurence of 'alpha' found."}));
  EXPECT_EQ(dialogsShown, 1);
}

TEST_F(SearchCommandsTest, ASelectionBecomesTheFindTextAndTheScope) {
  DocumentWindow& editor = open("a.c", "one two one\none two\n");
  editor.Editor->Editor().State().SetBlockBegin({5, 1});
  editor.Editor->Editor().State().SetBlockEnd({8, 1});
  FindReplaceDialog& dialog = findDialog();
  dialog.SetFindText("one");
  answerFind = [](FindReplaceDialog& shown) {
    EXPECT_EQ(shown.FindText(), "two");
    EXPECT_TRUE(shown.SelectedRadioButton->isChecked());
    shown.OkButton->click();
  };
  trigger("FindAction");
  EXPECT_EQ(form->Search().SearchOptions(), ssoEntireScope | ssoSelectedOnly);
  EXPECT_EQ(selectionStart(editor), (TextPoint{5, 1}));

  // Search Again leaves the selection scope behind and goes on over the whole text.
  trigger("SearchAgainAction");
  EXPECT_EQ(selectionStart(editor), (TextPoint{5, 2}));

  // Without a selection the scope goes back to the whole text and the find text stays.
  editor.Editor->Editor().State().SetBlockBegin({1, 1});
  answerFind = [](FindReplaceDialog& shown) {
    EXPECT_EQ(shown.FindText(), "two");
    EXPECT_TRUE(shown.GlobalRadioButton->isChecked());
  };
  trigger("FindAction");
}

TEST_F(SearchCommandsTest, CancelOrTheCloseBoxSearchesNothingAndKeepsTheOptions) {
  DocumentWindow& editor = open("a.c", "abc abc\n");
  answerFind = find("abc", [](FindReplaceDialog& dialog) { dialog.CaseCheckBox->setChecked(true); });
  trigger("FindAction");
  const SearchFlags options = form->Search().SearchOptions();
  editor.Editor->Editor().State().SetBlockBegin({1, 1});

  answerFind = [](FindReplaceDialog& dialog) {
    dialog.WholeWordCheckBox->setChecked(true);
    dialog.CancelButton->click();
  };
  trigger("FindAction");
  answerFind = [](FindReplaceDialog& dialog) { dialog.close(); };
  trigger("FindAction");
  EXPECT_EQ(form->Search().SearchOptions(), options);
  EXPECT_FALSE(editor.Editor->Editor().State().SelAvail());
  EXPECT_TRUE(questions.log.empty());
}

TEST_F(SearchCommandsTest, SearchAgainWithNoFindTextOpensFind) {
  open("a.c", "abc\n");
  answerFind = [](FindReplaceDialog& dialog) {
    dialog.ReplaceRadioButton->setChecked(true);
    dialog.CancelButton->click();
  };
  trigger("ReplaceAction");
  answerFind = [](FindReplaceDialog& dialog) { EXPECT_TRUE(dialog.SearchRadioButton->isChecked()); };
  trigger("SearchAgainAction");
  EXPECT_EQ(dialogsShown, 2);
}

TEST_F(SearchCommandsTest, ReplaceAllReplacesEveryMatchAndSearchAgainKeepsReplacingAll) {
  DocumentWindow& editor = open("a.c", "int a; int b;\nint c;\n");
  answerFind = replaceAll("int", "float");
  trigger("ReplaceAction");
  EXPECT_EQ(texts(editor), (std::vector<std::string>{"float a; float b;", "float c;"}));
  EXPECT_EQ(form->Search().SearchOptions(), ssoEntireScope | ssoReplace | ssoReplaceAll);

  // From the caret on, every further match.
  editor.Editor->Editor().Document().Load({"float z;", "float a; float b;", "float c;", "float y; float x;"});
  editor.Editor->Editor().State().SetCaretXY({1, 2});
  findDialog().SetFindText("float");
  findDialog().NewTextComboBox->setEditText("double");
  trigger("SearchAgainAction");
  EXPECT_EQ(texts(editor), (std::vector<std::string>{"float z;", "double a; double b;", "double c;",
                                                     "double y; double x;"}));
}

TEST_F(SearchCommandsTest, ThePromptAsksBeforeEachReplacementAndAllStopsAsking) {
  DocumentWindow& editor = open("a.c", "x x\nx x\n");
  questions.answers = {Answer::Yes, Answer::No, Answer::All};
  answerFind = [](FindReplaceDialog& dialog) {
    dialog.PromptCheckBox->setChecked(true);
    replaceAll("x", "y")(dialog);
  };
  trigger("ReplaceAction");
  EXPECT_EQ(texts(editor), (std::vector<std::string>{"y x", "y y"}));
  EXPECT_EQ(questions.log, std::vector<std::string>(3, "ask: Replace this occurance of 'x'"));

  // Replace with OK replaces the next match only; Cancel at the prompt replaces nothing.
  editor.Editor->Editor().Document().Load({"y x", "y y", "x x"});
  editor.Editor->Editor().State().SetBlockBegin({1, 1});
  questions.answers = {Answer::Yes};
  answerFind = [](FindReplaceDialog& dialog) { dialog.OkButton->click(); };
  trigger("ReplaceAction");
  questions.answers = {Answer::Cancel};
  trigger("SearchAgainAction");
  EXPECT_EQ(texts(editor), (std::vector<std::string>{"y y", "y y", "x x"}));
}

TEST(LineNumberFromText, WholeNumbersWithinTheRangeElseZero) {
  EXPECT_EQ(LineNumberFromText("42", 100), 42);
  EXPECT_EQ(LineNumberFromText(" 7 ", 100), 7);
  EXPECT_EQ(LineNumberFromText("250", 100), 100);
  EXPECT_EQ(LineNumberFromText("99999999999999999999999", 500), 500);
  EXPECT_EQ(LineNumberFromText("", 100), 0);
  EXPECT_EQ(LineNumberFromText("12a", 100), 0);
  EXPECT_EQ(LineNumberFromText("-3", 100), 0);
  EXPECT_EQ(LineNumberFromText("5", 0), 0);
}

TEST_F(SearchCommandsTest, GotoLineCentresTheLineAndReachesEveryLineOfTheFile) {
  std::string text;
  for (int i = 1; i <= 500; ++i)
    text += "line " + std::to_string(i) + "\n";
  DocumentWindow& editor = open("a.c", text);
  form->resize(800, 600);
  form->show();
  QCoreApplication::processEvents();
  editor.Editor->Editor().State().SetCaretXY({3, 1});
  const int visible = editor.VisibleLineCount();
  ASSERT_GT(visible, 2);

  const auto typeAndConfirm = [this](const QString& typed) {
    answerGotoLine = [typed](GoToLineDialog& dialog) {
      auto* field = dialog.LineNumberSpin->findChild<QLineEdit*>();
      field->clear();
      QTest::keyClicks(field, typed);
      dialog.OkButton->click();
    };
    trigger("GotoLineNumberAction");
  };
  typeAndConfirm("40");
  EXPECT_EQ(editor.Editor->Editor().State().CaretXY(), (TextPoint{3, 40}));
  EXPECT_EQ(editor.Editor->Editor().Geometry().TopLine(), 40 - visible / 2);

  typeAndConfirm("250"); // past the hundredth line too
  EXPECT_EQ(editor.Editor->Editor().State().CaretY(), 250);
  typeAndConfirm("9999"); // as far as the box goes: the last line
  EXPECT_EQ(editor.Editor->Editor().State().CaretY(), 500);
  typeAndConfirm(""); // an empty box is 0, which the editor takes as the first line
  EXPECT_EQ(editor.Editor->Editor().State().CaretY(), 1);
  EXPECT_EQ(editor.Editor->Editor().Geometry().TopLine(), 1);

  // The last number is offered again, or the caret's line the desktop's way; Cancel moves nothing.
  typeAndConfirm("77");
  editor.Editor->Editor().State().SetCaretXY({1, 5});
  for (const auto& [startsAtCaret, offered] : {std::pair{false, 77}, std::pair{true, 5}}) {
    form->Search().SetGoToLineStartsAtCaret(startsAtCaret);
    answerGotoLine = [offered = offered](GoToLineDialog& dialog) {
      EXPECT_EQ(dialog.LineNumber(), offered);
      dialog.CancelButton->click();
    };
    trigger("GotoLineNumberAction");
    EXPECT_EQ(editor.Editor->Editor().State().CaretY(), 5);
  }

  // A file without lines takes any number without harm.
  DocumentWindow& empty = open("empty.c", "");
  typeAndConfirm("12");
  EXPECT_EQ(empty.Editor->Editor().State().CaretY(), 1);
}

// The typed text is searched for in the document's own encoding, and so is its replacement.
TEST_F(SearchCommandsTest, FindAndReplaceTakeTheTextInTheDocumentsEncoding) {
  const auto replaceTyped = [](FindReplaceDialog& dialog) {
    dialog.FindTextComboBox->setEditText(QString::fromUtf8("é"));
    dialog.NewTextComboBox->setEditText(QString::fromUtf8("ê"));
    dialog.AllButton->click();
  };
  DocumentWindow& utf8 = open("utf8.c", "int caf\xC3\xA9 = 1;\n");
  answerFind = replaceTyped;
  trigger("ReplaceAction");
  EXPECT_EQ(texts(utf8), std::vector<std::string>{"int caf\xC3\xAA = 1;"});
  DocumentWindow& latin = open("latin.c", "int caf\xE9 = 1;\n");
  trigger("ReplaceAction");
  EXPECT_EQ(texts(latin), std::vector<std::string>{"int caf\xEA = 1;"});
}
