// The class view and Find in Files made for the real main window: the double-clicks land in its
// editor windows, opened from disk.
#include "ClassViewCommands.h"
#include "FindInFilesCommands.h"
#include "FindInFilesDialog.h"
#include "IsolatedEnvironment.h"
#include "JumpToSource.h"
#include "ScriptedQuestions.h"
#include "TempDir.h"
#include "WindowCommands.h"
#include "editor.h"
#include "kxCustomEdit.h"
#include "main.h"
#include "projectList.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct MainWindowTest : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  TProjectList workspace;
  std::unique_ptr<TMainForm> form;

  MainWindowTest() {
    MainFormEnvironment env = IsolatedEnvironment(questions, dir);
    env.runDialog = [](QDialog&) { return int(QDialog::Accepted); };
    form = std::make_unique<TMainForm>(env);
    form->CreateSharedDialogs();

    TProjectItem& project = workspace.AddProject();
    project.Name = "game";
    std::string source;
    for (int line = 1; line <= 60; ++line)
      source += line == 40 ? "struct client_s { int score; };\n" : "int filler;\n";
    project.Files.push_back({dir.write("g_main.c", source)});
    workspace.ActiveProject = &project;
  }

  [[nodiscard]] TEditorForm* ActiveEditor() const {
    QMdiSubWindow* window = form->Windows().ActiveWindow();
    return window != nullptr ? qobject_cast<TEditorForm*>(window->widget()) : nullptr;
  }
};

TEST_F(MainWindowTest, ClassViewDoubleClickOpensAnEditorWindowAtTheDeclaration) {
  std::unique_ptr<ClassViewCommands> classView = MakeClassViewCommands(*form, workspace);
  classView->RebuildClassView();
  QTreeWidgetItem* structure = form->ClassTreeView->topLevelItem(0);
  ASSERT_NE(structure, nullptr);
  form->ClassTreeView->setCurrentItem(structure->child(0));
  classView->ClassTreeViewDblClick();
  TEditorForm* editor = ActiveEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->FileName(), dir.file("g_main.c"));
  EXPECT_EQ(editor->MyEditor->CaretY(), 40);

  // The open window is reused.
  form->ClassTreeView->setCurrentItem(structure);
  classView->ClassTreeViewDblClick();
  EXPECT_EQ(form->Windows().Count(), 1);
}

TEST_F(MainWindowTest, FindInFilesHitsJumpToTheirLineMarkedInBlue) {
  TFindInFilesDialog dialog;
  std::unique_ptr<FindInFilesCommands> findInFiles = MakeFindInFilesCommands(*form, dialog, workspace);
  dialog.FindTextComboBox->setEditText("client_s");
  form->Actions()["FindInFilesAction"]->trigger();
  ASSERT_EQ(form->FindFilesListBox->count(), 1);
  EXPECT_EQ(form->MessagePages->currentWidget(), form->FindinFilesSheet);

  const QModelIndex hit = form->FindFilesListBox->model()->index(0, 0);
  emit form->FindFilesListBox->doubleClicked(hit);
  TEditorForm* editor = ActiveEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->MarkedLine, 40);
  EXPECT_EQ(editor->MarkColour, kFindInFilesMarkColour);
  EXPECT_TRUE(questions.log.empty());
}

} // namespace
