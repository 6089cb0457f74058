// The Go commands in the main window over a navigator the test answers: the editor's documents
// reach it as they open, change and close; a definition in another file opens that file at the
// place and Back returns; the References page lists by file and jumps.
#include "CodeNavigation.h"
#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "IsolatedEnvironment.h"
#include "MainActions.h"
#include "PlacesPage.h"
#include "ProjectWorkspace.h"
#include "RecordingNavigator.h"
#include "ScriptedQuestions.h"
#include "WindowCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct NavigationInTheWindow : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  std::shared_ptr<RecordingNavigator> navigator = std::make_shared<RecordingNavigator>();
  std::unique_ptr<MainWindow> form;
  std::vector<int> updatedFiles; // the first project's file count at each navigator update

  NavigationInTheWindow() {
    std::filesystem::copy(std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod", dir.file("ws"),
                          std::filesystem::copy_options::recursive);
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    env.arguments = {dir.file("ws/mymod.tsw")};
    env.runDialog = [](QDialog&) { return int(QDialog::Rejected); }; // Preferences, for the missing tools
    env.makeNavigator = [this](const std::string&, const ProjectList&, const Settings&) { return navigator; };
    env.updateNavigator = [this](const ProjectList& workspace, const Settings&) {
      updatedFiles.push_back(static_cast<int>(workspace.Items(0).Files.size()));
    };
    form = std::make_unique<MainWindow>(std::move(env));
    form->CreateSharedDialogs();
    form->show(); // loads the workspace once the window shows
    QCoreApplication::processEvents();
  }

  std::string Source(const std::string& name) const { return dir.file("ws/game/" + name); }

  DocumentWindow* Active() const {
    QMdiSubWindow* window = form->Windows().ActiveWindow();
    return window != nullptr ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
  }

  TextPoint Caret() const { return Active()->Editor->Editor().State().CaretXY(); }

  void Trigger(const char* action) {
    form->RefreshActions(); // as the idle time does: Back is enabled after a jump
    form->Actions()[action]->trigger();
    form->RefreshActions();
  }

  void Answer(Locations places) {
    navigator->requests.back().places({ReplyStatus::Answered, std::move(places), {}});
    form->RefreshActions();
  }
};

} // namespace

TEST_F(NavigationInTheWindow, DefinitionOpensTheOtherFileAndBackReturns) {
  const std::string commands = Source("g_cmds.c"), main = Source("g_main.c");
  form->OpenEditorWindow(commands);
  form->RefreshActions();
  ASSERT_EQ(navigator->documents.count(commands), 1u);
  TextEditor& editor = Active()->Editor->Editor();
  editor.State().SetCaretXY({3, 18});
  editor.KeyPress('x');
  EXPECT_EQ(navigator->Lines(commands), editor.Document().Lines().Strings());

  Trigger("GoToDefinitionAction");
  ASSERT_EQ(navigator->requests.size(), 1u);
  EXPECT_EQ(navigator->requests[0].at, (TextPosition{18, 4}));
  Answer({{main, {{50, 6}, {50, 14}}}});
  EXPECT_EQ(Active()->FileName(), main);
  EXPECT_EQ(Caret(), (TextPoint{6, 50}));
  EXPECT_EQ(navigator->documents.count(main), 1u);

  Trigger("NavigateBackAction");
  EXPECT_EQ(Active()->FileName(), commands);
  EXPECT_EQ(Caret(), (TextPoint{4, 18}));
  Trigger("NavigateForwardAction");
  EXPECT_EQ(Active()->FileName(), main);

  questions.answers = {Answer::No}; // the typing is not saved
  form->CloseAllWindows();
  EXPECT_TRUE(navigator->documents.empty());
}

// Behind characters of several bytes every Go command asks at the caret's byte column, which
// the navigator turns into the server's count, and Back returns there.
TEST_F(NavigationInTheWindow, TheCommandsAskAtTheCaretsByteColumnBehindUtf8) {
  const std::string commands = Source("g_cmds.c"), main = Source("g_main.c");
  form->OpenEditorWindow(commands);
  form->RefreshActions();
  TextEditor& editor = Active()->Editor->Editor();
  editor.Document().Insert({1, 18}, "/*\xC3\xA9\xE2\x86\x92*/"); // 9 bytes, 6 characters
  editor.State().SetCaretXY({4 + 9, 18});
  for (const char* action : {"GoToDeclarationAction", "FindReferencesAction", "GoToDefinitionAction"}) {
    Trigger(action);
    EXPECT_EQ(navigator->requests.back().at, (TextPosition{18, 13})) << action;
  }
  Answer({{main, {{50, 6}, {50, 14}}}});
  EXPECT_EQ(Active()->FileName(), main);
  Trigger("NavigateBackAction");
  EXPECT_EQ(Active()->FileName(), commands);
  EXPECT_EQ(Caret(), (TextPoint{13, 18}));
  questions.answers = {Answer::No};
  form->CloseAllWindows();
}

// The server's completion is UTF-8; in a Windows-1252 file it goes in as that file's bytes.
TEST_F(NavigationInTheWindow, ACompletionGoesInInTheDocumentsEncoding) {
  const std::string latin = Source("latin.c");
  std::ofstream(latin, std::ios::binary) << "int caf\xE9;\nca";
  form->OpenEditorWindow(latin);
  form->RefreshActions();
  EditorWidget& widget = *Active()->Editor;
  widget.Editor().State().SetCaretXY({3, 2});
  QTest::keyClick(&widget, Qt::Key_Space, Qt::ControlModifier);
  ASSERT_EQ(navigator->requests.back().kind, "Complete");
  navigator->requests.back().completions(
      {ReplyStatus::Answered,
       {{{"caf\xC3\xA9", "int", SymbolKind::Variable, "caf\xC3\xA9", {{2, 1}, {2, 3}}, "caf\xC3\xA9", "0"}}},
       {}});
  ASSERT_TRUE(form->Navigation().Completion().Showing());
  QTest::keyClick(&widget, Qt::Key_Tab);
  EXPECT_EQ(widget.Editor().Document().LineText(2), "caf\xE9");
  questions.answers = {Answer::No};
  form->CloseAllWindows();
}

TEST_F(NavigationInTheWindow, ReferencesAreListedByFileWithTheirLinesAndJump) {
  const std::string commands = Source("g_cmds.c"), main = Source("g_main.c");
  form->OpenEditorWindow(main);
  form->RefreshActions();
  Trigger("FindReferencesAction");
  Answer({{main, {{50, 6}, {50, 14}}}, {commands, {{18, 2}, {18, 10}}}, {main, {{42, 2}, {42, 10}}}});
  PlacesPage& page = *form->Navigation().ReferencesResults;
  EXPECT_EQ(form->MessagePages->currentWidget(), form->Navigation().ReferencesSheet);
  EXPECT_EQ(page.Summary(), "References of g_main.c:1: 3 in 2 files");
  const std::vector<FileHits> expected{
      {commands, {{18, "\tG_Printf( text );", {{1, 8}}}}},
      {main, {{42, "\tG_Printf( text );", {{1, 8}}}, {50, "void G_Printf( const char *text ) {", {{5, 8}}}}}};
  EXPECT_EQ(page.Places().Files(), expected);
  // F4 goes through the page in front.
  Trigger("NextMessageAction");
  EXPECT_EQ(Active()->FileName(), commands);
  EXPECT_EQ(Caret(), (TextPoint{2, 18}));
  Trigger("NavigateBackAction");
  EXPECT_EQ(Active()->FileName(), main);
}

TEST_F(NavigationInTheWindow, CompletionListsFiltersAsOneTypesAndPutsTheChoiceIn) {
  form->OpenEditorWindow(Source("g_main.c"));
  form->RefreshActions();
  EditorWidget& widget = *Active()->Editor;
  TextEditor& editor = widget.Editor();
  const int last = editor.Document().LineCount(), line = last + 1;
  editor.Document().Insert({static_cast<int>(editor.Document().LineText(last).size()) + 1, last}, "\nle");
  editor.State().SetCaretXY({3, line});
  QKeyEvent ctrlSpace(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier, " ");
  QCoreApplication::sendEvent(&widget, &ctrlSpace);
  ASSERT_EQ(navigator->requests.back().kind, "Complete");
  EXPECT_EQ(navigator->requests.back().at, (TextPosition{line, 3}));
  const TextRange typed{{line, 1}, {line, 3}};
  navigator->requests.back().completions(
      {ReplyStatus::Answered,
       {{{"level", "level_locals_t", SymbolKind::Variable, "level", typed, "level", "2"},
         {"LevelName(int n)", "char *", SymbolKind::Function, "LevelName", typed, "LevelName", "1"},
         {"G_Printf(const char *text)", "void", SymbolKind::Function, "G_Printf", typed, "G_Printf", "0"}}},
       {}});
  CompletionPopup& popup = form->Navigation().Completion();
  ASSERT_TRUE(popup.Showing());
  ASSERT_EQ(popup.List().count(), 2) << "what is typed filters, the server's order sorts";
  EXPECT_EQ(popup.List().item(0)->text(), "LevelName(int n)  char *");
  QTest::keyClick(&widget, Qt::Key_V);
  QTest::keyClick(&widget, Qt::Key_Z);
  QCoreApplication::processEvents();
  EXPECT_FALSE(popup.Showing()) << "nothing matches \"levz\"";
  QTest::keyClick(&widget, Qt::Key_Backspace);
  QTest::keyClick(&widget, Qt::Key_Space, Qt::ControlModifier);
  navigator->requests.back().completions(
      {ReplyStatus::Answered,
       {{{"level", "", SymbolKind::Variable, "level", {{line, 1}, {line, 4}}, "level", "2"},
         {"LevelName(int n)",
          "",
          SymbolKind::Function,
          "LevelName",
          {{line, 1}, {line, 4}},
          "LevelName",
          "1"}}},
       {}});
  QTest::keyClick(&widget, Qt::Key_Down);
  QTest::keyClick(&widget, Qt::Key_Return);
  EXPECT_FALSE(popup.Showing());
  EXPECT_EQ(editor.Document().LineText(line), "level");
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{6, line}));
}

// The navigator follows the projects as they change and the settings as Preferences stores them.
TEST_F(NavigationInTheWindow, TheNavigatorFollowsTheProjectsAndTheSettings) {
  ASSERT_NE(form->Workspace().CodeNavigator(), nullptr);
  ProjectList& projects = dynamic_cast<ProjectWorkspace&>(form->Workspace()).Workspace;
  const int files = static_cast<int>(projects.Items(0).Files.size());
  QTreeWidgetItem* file = form->ProjectTreeView->topLevelItem(0)->child(0)->child(0)->child(0);
  form->ProjectTreeView->setCurrentItem(file);
  questions.answers = {Answer::Yes};
  form->RefreshActions();
  form->Actions()["RemoveFileFromProjectAction"]->trigger();
  ASSERT_EQ(updatedFiles, std::vector<int>{files - 1});
  form->Workspace().SettingsChanged();
  EXPECT_EQ(updatedFiles.size(), 2u);
}
