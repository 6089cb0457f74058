// The class view and Find in Files made for the real main window: the double-clicks land in its
// editor windows, opened from disk.
#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "FindInFilesDialog.h"
#include "IsolatedEnvironment.h"
#include "JumpToSource.h"
#include "MainWindow.h"
#include "ProjectWorkspace.h"
#include "ScriptedQuestions.h"
#include "TempDir.h"
#include "WindowCommands.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct ClassViewWiringTest : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  std::unique_ptr<MainWindow> form;
  ProjectWorkspace* workspace = nullptr;

  ClassViewWiringTest() {
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    env.runDialog = [](QDialog&) { return int(QDialog::Accepted); };
    form = std::make_unique<MainWindow>(env);
    form->CreateSharedDialogs();
    workspace = &dynamic_cast<ProjectWorkspace&>(form->Workspace());

    Project& project = workspace->Workspace.AddProject();
    project.Name = "game";
    std::string source;
    for (int line = 1; line <= 60; ++line)
      source += line == 40 ? "struct client_s { int score; };\n" : "int filler;\n";
    project.Files.push_back({dir.write("g_main.c", source)});
    workspace->Workspace.ActiveProject = &project;
  }

  [[nodiscard]] DocumentWindow* ActiveEditor() const {
    QMdiSubWindow* window = form->Windows().ActiveWindow();
    return window != nullptr ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
  }
};

TEST_F(ClassViewWiringTest, ClassViewDoubleClickOpensAnEditorWindowAtTheDeclaration) {
  workspace->RebuildClassView();
  QTreeWidget& tree = *form->ClassTreeView;
  QTreeWidgetItem* structure = tree.topLevelItem(0);
  ASSERT_NE(structure, nullptr);
  tree.setCurrentItem(structure->child(0));
  emit tree.itemDoubleClicked(structure->child(0), 0);
  DocumentWindow* editor = ActiveEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->FileName(), dir.file("g_main.c"));
  EXPECT_EQ(editor->Editor->Editor().State().CaretY(), 40);

  // The open window is reused.
  tree.setCurrentItem(structure);
  emit tree.itemDoubleClicked(structure, 0);
  EXPECT_EQ(form->Windows().Count(), 1);
}

TEST_F(ClassViewWiringTest, FindInFilesHitsJumpToTheirLineMarkedInBlue) {
  FindInFilesDialog& dialog = *form->findChild<FindInFilesDialog*>();
  dialog.FindTextComboBox->setEditText("client_s");
  form->Actions()["FindInFilesAction"]->trigger();
  ASSERT_EQ(form->FindInFilesList->model()->rowCount(), 2); // the file, then its line
  EXPECT_EQ(form->MessagePages->currentWidget(), form->FindInFilesTab);

  const QModelIndex hit = form->FindInFilesList->model()->index(1, 0);
  emit form->FindInFilesList->activated(hit);
  DocumentWindow* editor = ActiveEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->MarkedLine, 40);
  EXPECT_EQ(editor->MarkColour, kFindInFilesMarkColour);
  EXPECT_TRUE(questions.log.empty());
}

} // namespace
