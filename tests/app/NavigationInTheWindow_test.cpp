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
#include "ReplacePreviewDialog.h"
#include "ScriptedQuestions.h"
#include "TextDefinitions.h"
#include "WindowCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QStatusBar>
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
  // Preferences, for the missing tools, is turned down.
  std::function<int(QDialog&)> answerDialog = [](QDialog&) { return int(QDialog::Rejected); };
  std::vector<std::string> offered; // the places offered to choose from
  std::string pick;                 // the first of them that starts so is chosen

  NavigationInTheWindow() {
    std::filesystem::copy(std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod", dir.file("ws"),
                          std::filesystem::copy_options::recursive);
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    env.arguments = {dir.file("ws/mymod.tsw")};
    env.runDialog = [this](QDialog& dialog) { return answerDialog(dialog); };
    env.choosePlace = [this](const std::vector<std::string>& labels) {
      offered = labels;
      for (std::size_t i = 0; i < labels.size(); ++i)
        if (labels[i].starts_with(pick)) return std::optional<std::size_t>(i);
      return std::optional<std::size_t>();
    };
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

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The server's rename of G_Printf: every use in the files but those in comments.
std::vector<FileEdits> RenameEdits(const std::vector<std::string>& files, const std::string& newName) {
  std::vector<FileEdits> edits;
  for (const std::string& file : files) {
    const std::vector<std::string> lines = TempDir::readLines(file);
    FileEdits renamed{file, {}};
    for (const TextRange& place : WordPlaces(lines, "G_Printf"))
      if (lines[static_cast<std::size_t>(place.start.line - 1)].find("//") == std::string::npos)
        renamed.edits.push_back({place, newName});
    edits.push_back(renamed);
  }
  return edits;
}

} // namespace

// F12 on a system call: the prototype clangd finds, and the assembler's line that defines it.
TEST_F(NavigationInTheWindow, ASystemCallLeadsToTheAssemblersEqu) {
  const std::string main = Source("g_main.c");
  form->OpenEditorWindow(main);
  form->RefreshActions();
  Active()->Editor->Editor().State().SetCaretXY({4, 51}); // "\ttrap_Print( text );"
  Trigger("GoToDefinitionAction");
  pick = "g_syscalls.asm:3";
  Answer({{Source("g_local.h"), {{22, 6}, {22, 16}}}});
  // Each module's assembler file defines its own: cgame's is offered too.
  EXPECT_EQ(offered.size(), 3u);
  EXPECT_EQ(offered.at(0).substr(0, 12), "g_local.h:22");
  EXPECT_EQ(Active()->FileName(), Source("g_syscalls.asm"));
  EXPECT_EQ(Caret(), (TextPoint{5, 3}));
}

TEST_F(NavigationInTheWindow, RenameChangesTheOpenFileAsOneUndoAndWritesTheClosedOnes) {
  const std::string commands = Source("g_cmds.c"), main = Source("g_main.c"), local = Source("g_local.h");
  std::ofstream(main, std::ios::app) << "// G_Printf prints\n";
  const std::string mainBefore = TempDir::read(main), commandsBefore = TempDir::read(commands);
  form->OpenEditorWindow(commands);
  form->RefreshActions();
  const std::string shown = Active()->ShownText();
  Active()->Editor->Editor().State().SetCaretXY({3, 18});
  QStringList previewed;
  answerDialog = [&](QDialog& dialog) {
    if (auto* input = qobject_cast<QInputDialog*>(&dialog)) {
      EXPECT_EQ(input->textValue(), "G_Printf");
      input->setTextValue("G_Say");
    } else if (auto* preview = qobject_cast<ReplacePreviewDialog*>(&dialog)) {
      for (QTreeWidgetItemIterator item(preview->ChangesTreeView); *item; ++item)
        previewed << (*item)->text(0) + "|" + (*item)->text(2);
    }
    return int(QDialog::Accepted);
  };
  Trigger("RenameSymbolAction");
  ASSERT_EQ(navigator->requests.back().kind, "PrepareRename");
  navigator->requests.back().renameTarget({ReplyStatus::Answered, RenameTarget{{}, "G_Printf"}, {}});
  ASSERT_EQ(navigator->requests.back().kind, "Rename");
  navigator->requests.back().renamed(
      {ReplyStatus::Answered, RenameEdits({commands, main, local}, "G_Say"), {}});

  EXPECT_TRUE(previewed.contains("text matches not renamed (1)|")) << previewed.join("\n").toStdString();
  EXPECT_TRUE(previewed.contains("50|void G_Say( const char *text ) {"));
  EXPECT_EQ(Active()->ShownText(), ReplaceAll(shown, "G_Printf", "G_Say"));
  EXPECT_EQ(TempDir::read(commands), commandsBefore) << "an open file changes in its window";
  std::string mainAfter = ReplaceAll(mainBefore, "G_Printf", "G_Say");
  mainAfter.replace(mainAfter.rfind("G_Say"), 5, "G_Printf"); // the comment stays
  EXPECT_EQ(TempDir::read(main), mainAfter);
  EXPECT_NE(TempDir::read(local).find("void\tG_Say( const char *text );"), std::string::npos);
  EXPECT_EQ(form->statusBar()->currentMessage().toStdString(),
            "Renamed G_Printf to G_Say: 5 replacements in 3 files.");
  Trigger("EditUndoAction");
  EXPECT_EQ(Active()->ShownText(), shown) << "one undo takes the rename back";
}

TEST_F(NavigationInTheWindow, ARenameMeetingAFileChangedSinceThePreviewWritesNothing) {
  const std::string commands = Source("g_cmds.c"), main = Source("g_main.c"), local = Source("g_local.h");
  const std::string mainBefore = TempDir::read(main);
  form->OpenEditorWindow(commands);
  form->RefreshActions();
  const std::string shown = Active()->ShownText();
  Active()->Editor->Editor().State().SetCaretXY({3, 18});
  answerDialog = [&](QDialog& dialog) {
    if (auto* input = qobject_cast<QInputDialog*>(&dialog)) input->setTextValue("G_Say");
    if (qobject_cast<ReplacePreviewDialog*>(&dialog) != nullptr)
      std::ofstream(local, std::ios::app) << "\n"; // another program, while the preview shows
    return int(QDialog::Accepted);
  };
  Trigger("RenameSymbolAction");
  navigator->requests.back().renameTarget({ReplyStatus::Answered, RenameTarget{}, {}});
  navigator->requests.back().renamed(
      {ReplyStatus::Answered, RenameEdits({commands, main, local}, "G_Say"), {}});
  EXPECT_EQ(TempDir::read(main), mainBefore);
  EXPECT_EQ(Active()->ShownText(), shown);
  EXPECT_EQ(form->statusBar()->currentMessage().toStdString(),
            local + " changed since the preview, so nothing was renamed");
}
