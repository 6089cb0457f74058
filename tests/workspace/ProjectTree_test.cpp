#include "FilePropertiesDialog.h"
#include "ProjectNameDialog.h"
#include "ProjectTree.h"
#include "ProjectTreeCommands.h"
#include "ProjectTreeStates.h"

#include "ScriptedQuestions.h"
#include "TempDir.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> captions(const QTreeWidgetItem* node) {
  std::vector<std::string> out;
  for (int i = 0; i < node->childCount(); ++i)
    out.push_back(node->child(i)->text(0).toStdString());
  return out;
}

std::vector<std::string> fileNames(const Project& project) {
  std::vector<std::string> out;
  for (const ProjectFile& file : project.Files)
    out.push_back(file.Path.substr(file.Path.rfind('/') + 1));
  return out;
}

struct ProjectTreeTest : ::testing::Test {
  TempDir dir;
  ProjectList workspace;
  QTreeWidget tree;
  ScriptedQuestions questions;
  ProjectNameDialog nameForm{questions};
  FilePropertiesDialog fileForm;
  std::vector<std::string> calls;
  bool dialogAnswer = true;
  ProjectTree view{workspace, tree};
  ProjectTreeCommands commands{workspace, view, questions, window()};

  ProjectTreeWindow window() {
    ProjectTreeWindow window;
    window.ResetBuildState = [this] { calls.push_back("reset build"); };
    window.ClearBuildMessages = [this] { calls.push_back("clear debug"); };
    window.RebuildClassView = [this] { calls.push_back("class view"); };
    window.OpenFile = [this](const std::string& path) { calls.push_back("open " + path); };
    AskThroughDialogs(window, nameForm, fileForm, [this](QDialog& dialog) {
      calls.push_back("show " + dialog.windowTitle().toStdString());
      return dialogAnswer;
    });
    return window;
  }

  Project& addProject(const std::string& name, std::initializer_list<std::string> files) {
    Project& project = workspace.AddProject();
    project.Name = name;
    project.FileName = dir.file(name + "/" + name + ".tsp");
    for (const std::string& file : files)
      project.Files.push_back({dir.file(name + "/" + file)});
    return project;
  }
  QTreeWidgetItem* projectNode(int i) { return RootNode(tree)->child(i); }
  QTreeWidgetItem* fileNode(int project, int folder, int file) {
    return projectNode(project)->child(folder)->child(file);
  }
  void select(QTreeWidgetItem* node) {
    tree.clearSelection();
    if (node != nullptr) node->setSelected(true);
  }
};

} // namespace

TEST_F(ProjectTreeTest, BuildsFourLevelsAndSortsFilesInByteOrder) {
  Project& project = addProject("game", {"b.c", "A.h", "a.c", "x.txt", "Makefile", "G_MAIN.C"});
  addProject("empty", {});
  BuildTree(workspace, tree);

  ASSERT_EQ(tree.topLevelItemCount(), 1);
  QTreeWidgetItem* root = RootNode(tree);
  EXPECT_EQ(root->text(0), "Projects");
  EXPECT_TRUE(root->isExpanded());
  EXPECT_EQ(captions(root), (std::vector<std::string>{"game", "empty"}));
  EXPECT_FALSE(projectNode(0)->isExpanded());
  EXPECT_EQ(captions(projectNode(1)),
            (std::vector<std::string>{"Source Files", "Header Files", "Resource Files"}));
  EXPECT_EQ(captions(projectNode(0)->child(0)), (std::vector<std::string>{"G_MAIN.C", "a.c", "b.c"}));
  EXPECT_EQ(captions(projectNode(0)->child(1)), std::vector<std::string>{"A.h"});
  EXPECT_EQ(captions(projectNode(0)->child(2)), (std::vector<std::string>{"Makefile", "x.txt"}));
  EXPECT_EQ(fileNames(project),
            (std::vector<std::string>{"A.h", "G_MAIN.C", "Makefile", "a.c", "b.c", "x.txt"}));

  EXPECT_EQ((std::vector<int>{ImageOfNode(root), ImageOfNode(projectNode(0)),
                              ImageOfNode(projectNode(0)->child(2)), ImageOfNode(fileNode(0, 2, 1))}),
            (std::vector<int>{RootImage, ProjectImage, FolderImage, FileImage}));
  EXPECT_EQ((std::vector<int>{NodeLevel(root), NodeLevel(projectNode(0)), NodeLevel(projectNode(0)->child(0)),
                              NodeLevel(fileNode(0, 0, 0)), NodeLevel(nullptr)}),
            (std::vector<int>{0, 1, 2, 3, -1}));
  EXPECT_EQ(ProjectOfNode(projectNode(1)), &workspace.Items(1));
  EXPECT_EQ(ProjectOfNode(root), nullptr);
  // Every file node maps back to its entry.
  for (int folder = 0; folder < 3; ++folder)
    for (int file = 0; file < projectNode(0)->child(folder)->childCount(); ++file) {
      const QTreeWidgetItem* node = fileNode(0, folder, file);
      ASSERT_NE(FileOfNode(node), nullptr);
      EXPECT_EQ(fileNames(project)[static_cast<std::size_t>(FileIndexOfNode(node))],
                node->text(0).toStdString());
    }
  EXPECT_EQ(FileOfNode(fileNode(0, 1, 0)), &project.Files[0]);
  EXPECT_EQ(FileIndexOfNode(projectNode(0)), -1);
}

// Added files take their place in the name order, in the model and in the tree alike, so the
// build compiles them in the order the tree shows.
TEST_F(ProjectTreeTest, AddingFilesKeepsTheNameOrderAndAllowsDuplicates) {
  Project& project = addProject("game", {"b.c", "c.h"});
  BuildTree(workspace, tree);
  select(projectNode(0));
  questions.choices.push_back({dir.file("game/a.c"), dir.file("game/a.c"), dir.file("game/NOTES"),
                               dir.file("game/d.c"), dir.file("game/A.h")});
  commands.AddFilesToSelectedProject();
  EXPECT_TRUE(workspace.Modified);
  EXPECT_EQ(fileNames(project),
            (std::vector<std::string>{"A.h", "NOTES", "a.c", "a.c", "b.c", "c.h", "d.c"}));
  EXPECT_EQ(captions(projectNode(0)->child(0)), (std::vector<std::string>{"a.c", "a.c", "b.c", "d.c"}));
  EXPECT_EQ(captions(projectNode(0)->child(1)), (std::vector<std::string>{"A.h", "c.h"}));
  for (int folder = 0; folder < 3; ++folder)
    for (int row = 0; row < projectNode(0)->child(folder)->childCount(); ++row)
      EXPECT_EQ(FileOfNode(fileNode(0, folder, row))->Path,
                dir.file("game/" + fileNode(0, folder, row)->text(0).toStdString()));
}

TEST(ProjectTreeStates, EnabledStateIsWrittenOnlyWhenItChanges) {
  struct CountingAction {
    bool enabled = true;
    int writes = 0;
    [[nodiscard]] bool isEnabled() const { return enabled; }
    void setEnabled(bool value) {
      enabled = value;
      ++writes;
    }
  } action;
  WriteEnabled(action, true);
  WriteEnabled(action, false);
  WriteEnabled(action, false);
  EXPECT_EQ(action.writes, 1);
}

TEST_F(ProjectTreeTest, UpdateHandlersFollowTheSelection) {
  addProject("game", {"a.c"});
  BuildTree(workspace, tree);
  Settings settings;
  settings.lcclocation = dir.write("tools/q3lcc", "");
  settings.q3asmlocation = dir.write("tools/q3asm", "");
  QAction build, addFiles, compile, properties;

  auto update = [&] {
    commands.EnableForBuildableProject(build, settings);
    commands.EnableForSelectedProject(addFiles);
    commands.EnableForSelectedFile(compile);
    commands.EnableForProjectOrFile(properties);
    return std::vector<bool>{build.isEnabled(), addFiles.isEnabled(), compile.isEnabled(),
                             properties.isEnabled()};
  };
  EXPECT_EQ(update(), (std::vector<bool>{false, false, false, false})); // nothing selected
  select(RootNode(tree));
  EXPECT_EQ(update(), (std::vector<bool>{false, false, false, false}));
  select(projectNode(0));
  EXPECT_EQ(update(), (std::vector<bool>{true, true, false, true}));
  select(projectNode(0)->child(0));
  EXPECT_EQ(update(), (std::vector<bool>{false, false, false, false}));
  select(fileNode(0, 0, 0));
  EXPECT_EQ(update(), (std::vector<bool>{false, false, true, true}));

  settings.lcclocation = dir.file("tools/missing");
  select(projectNode(0));
  EXPECT_EQ(update(), (std::vector<bool>{false, true, false, true}));
}

TEST_F(ProjectTreeTest, NewProjectsBecomeActiveAndKeepTheDialogFields) {
  BuildTree(workspace, tree);
  nameForm.SetFields("first", "/mods/first.tsp");
  commands.AddNewProject();
  commands.AddNewProject(); // the dialog still holds the first project's details
  ASSERT_EQ(workspace.Count(), 2);
  EXPECT_EQ(workspace.Items(1).Name, "first");
  EXPECT_EQ(workspace.Items(1).FileName, "/mods/first.tsp");
  EXPECT_EQ(workspace.ActiveProject, &workspace.Items(1));
  EXPECT_TRUE(workspace.Modified);
  EXPECT_EQ(captions(projectNode(1)),
            (std::vector<std::string>{"Source Files", "Header Files", "Resource Files"}));
  EXPECT_TRUE(DrawnBold(workspace, projectNode(1)));
  EXPECT_FALSE(DrawnBold(workspace, projectNode(0)));
  EXPECT_EQ(calls, (std::vector<std::string>{"show Enter Project Details", "show Enter Project Details"}));

  dialogAnswer = false;
  commands.AddNewProject();
  EXPECT_EQ(workspace.Count(), 2);

  select(projectNode(1));
  calls.clear();
  commands.RemoveSelectedProject();
  EXPECT_EQ(calls, std::vector<std::string>{"reset build"});
  EXPECT_EQ(workspace.Count(), 1);
  EXPECT_EQ(workspace.ActiveProject, nullptr);
  EXPECT_EQ(RootNode(tree)->childCount(), 1);
  EXPECT_FALSE(DrawnBold(workspace, projectNode(0)));
}

TEST_F(ProjectTreeTest, SetActiveProjectMovesTheBoldCaptionOnly) {
  addProject("a", {});
  addProject("b", {});
  workspace.ActiveProject = &workspace.Items(0);
  BuildTree(workspace, tree);
  select(projectNode(1));
  commands.ActivateSelectedProject();
  EXPECT_EQ(workspace.ActiveProject, &workspace.Items(1));
  EXPECT_FALSE(workspace.Modified);
  EXPECT_TRUE(DrawnBold(workspace, projectNode(1)));
  EXPECT_FALSE(DrawnBold(workspace, projectNode(0)));
  EXPECT_EQ(calls, (std::vector<std::string>{"reset build", "class view"}));

  // Commands do nothing away from the level they need.
  calls.clear();
  select(RootNode(tree));
  commands.ActivateSelectedProject();
  commands.RemoveSelectedProject();
  commands.RemoveSelectedFile();
  commands.AddFilesToSelectedProject();
  commands.EditSelectedProperties();
  commands.OpenSelectedFile();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(workspace.Count(), 2);
}

TEST_F(ProjectTreeTest, AddFilesAsksOnceForAllTheFiles) {
  addProject("game", {"z.c"});
  BuildTree(workspace, tree);
  select(projectNode(0));
  questions.choices.push_back({dir.file("game/y.h"), dir.file("game/b.c"), dir.file("game/z.c")});
  commands.AddFilesToSelectedProject();
  const FileDialogRequest& request = questions.fileRequests.at(0);
  EXPECT_EQ(request.title, "Open File");
  EXPECT_EQ(request.filter, "C Files (*.c; *.h)|*.c;*.h|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*");
  EXPECT_EQ(request.defaultExtension, "c");
  EXPECT_EQ(request.initialFolder, dir.file("game/"));
  EXPECT_EQ(questions.log.at(0), "open many: Open File");
  EXPECT_EQ(fileNames(workspace.Items(0)), (std::vector<std::string>{"b.c", "y.h", "z.c", "z.c"}));
  EXPECT_EQ(captions(projectNode(0)->child(0)), (std::vector<std::string>{"b.c", "z.c", "z.c"}));
  EXPECT_TRUE(workspace.Modified);
  EXPECT_EQ(calls, std::vector<std::string>{"reset build"});

  workspace.Modified = false;
  questions.choices.push_back({});
  commands.AddFilesToSelectedProject();
  EXPECT_FALSE(workspace.Modified);
  EXPECT_EQ(workspace.Items(0).Files.size(), 4u);
}

TEST_F(ProjectTreeTest, RemoveFileDropsEntryAndNodeButNotTheFileOnDisk) {
  const std::string onDisk = dir.write("game/a.c", "int x;\n");
  addProject("game", {"a.c", "a.c", "b.c"});
  BuildTree(workspace, tree);
  Project& project = workspace.Items(0);
  QTreeWidgetItem* second = fileNode(0, 0, 1);
  select(second);
  commands.RemoveSelectedFile();
  EXPECT_EQ(calls, std::vector<std::string>{"clear debug"});
  EXPECT_TRUE(workspace.Modified);
  ASSERT_EQ(project.Files.size(), 2u);
  EXPECT_EQ(captions(projectNode(0)->child(0)), (std::vector<std::string>{"a.c", "b.c"}));
  EXPECT_EQ(FileOfNode(fileNode(0, 0, 0)), &project.Files[0]);
  EXPECT_EQ(FileOfNode(fileNode(0, 0, 1)), &project.Files[1]);
  EXPECT_EQ(TempDir::read(onDisk), "int x;\n");
}

TEST_F(ProjectTreeTest, PropertiesEditAProjectOrShowAFile) {
  const std::string source = dir.write("game/a.c", "");
  addProject("game", {"a.c"});
  BuildTree(workspace, tree);
  select(projectNode(0));
  dialogAnswer = false;
  commands.EditSelectedProperties();
  EXPECT_EQ(nameForm.ProjectName(), "game");
  EXPECT_EQ(nameForm.ProjectFileName(), dir.file("game/game.tsp"));
  EXPECT_FALSE(workspace.Modified);

  select(fileNode(0, 0, 0));
  fileForm.LastModifiedLabel->setText("old");
  commands.EditSelectedProperties();
  EXPECT_EQ(fileForm.FileNameEdit->text().toStdString(), source);
  EXPECT_EQ(calls.back(), "show File Properties");
  commands.OpenSelectedFile();
  EXPECT_EQ(calls.back(), "open " + source);
}

TEST_F(ProjectTreeTest, AcceptedProjectPropertiesRenameTheNode) {
  addProject("game", {});
  BuildTree(workspace, tree);
  select(projectNode(0));
  ProjectTreeWindow typing = window();
  AskThroughDialogs(typing, nameForm, fileForm, [this](QDialog&) {
    nameForm.SetFields("mymod", "/elsewhere/mymod.tsp");
    return true;
  });
  ProjectTreeCommands editing{workspace, view, questions, typing};
  editing.EditSelectedProperties();
  EXPECT_EQ(workspace.Items(0).Name, "mymod");
  EXPECT_EQ(workspace.Items(0).FileName, "/elsewhere/mymod.tsp");
  EXPECT_EQ(projectNode(0)->text(0), "mymod");
  EXPECT_TRUE(workspace.Modified);
}

TEST_F(ProjectTreeTest, TheContextMenuActsOnTheNodeThatWasRightClicked) {
  addProject("a", {});
  addProject("b", {});
  SetUpProjectTreeView(tree, workspace, nullptr);
  BuildTree(workspace, tree);
  tree.resize(300, 300);
  tree.show();
  select(projectNode(0));
  QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.visualItemRect(projectNode(1)).center());
  EXPECT_EQ(SelectedNode(tree), projectNode(1));
  commands.RemoveSelectedProject();
  ASSERT_EQ(workspace.Count(), 1);
  EXPECT_EQ(workspace.Items(0).Name, "a");
  EXPECT_EQ(tree.editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(tree.palette().color(QPalette::Inactive, QPalette::Highlight),
            tree.palette().color(QPalette::Active, QPalette::Highlight));
}

TEST(ProjectDialogs, NameFormBrowseFillsTheFileNameOnlyWhenChosen) {
  ScriptedQuestions questions;
  ProjectNameDialog form(questions);
  form.SetFields("game", "old.tsp");
  questions.choices.push_back({"/mods/game.tsp"});
  questions.choices.push_back({});
  form.BrowseForProjectFile();
  EXPECT_EQ(form.ProjectFileName(), "/mods/game.tsp");
  form.BrowseForProjectFile();
  EXPECT_EQ(form.ProjectFileName(), "/mods/game.tsp");
  EXPECT_EQ(questions.fileRequests.at(0).title, "Save Project File");
  EXPECT_EQ(questions.fileRequests.at(0).filter, "Tessarin Project File (*.tsp)|*.tsp|All Files|*.*");
  EXPECT_EQ(questions.fileRequests.at(0).defaultExtension, "tsp");
}

TEST(ProjectDialogs, FilePropertiesShowTheModificationTime) {
  const QLocale us(QLocale::English, QLocale::UnitedStates);
  const QString afternoon = FormatLastModified(QDateTime(QDate(2026, 3, 5), QTime(13, 2, 3)), us);
  EXPECT_TRUE(afternoon.startsWith("3/5/26 1:02:03")) << afternoon.toStdString();
  EXPECT_TRUE(afternoon.endsWith("PM")) << afternoon.toStdString(); // no time zone after it
  EXPECT_EQ(FormatLastModified(QDateTime(QDate(2026, 3, 5), QTime(0, 0)), us), "3/5/26");

  TempDir dir;
  FilePropertiesDialog form;
  form.LastModifiedLabel->setText("kept");
  form.SetFileName(dir.file("missing.c"));
  form.UpdateLastModified();
  EXPECT_EQ(form.LastModifiedLabel->text(), "kept");
  form.SetFileName(dir.write("here.c", ""));
  form.UpdateLastModified();
  EXPECT_EQ(
      form.LastModifiedLabel->text(),
      FormatLastModified(QFileInfo(QString::fromStdString(dir.file("here.c"))).lastModified().toLocalTime(),
                         QLocale()));
}

// A name or file name a workspace file cannot store is refused where it is typed, with the reason,
// and a project is never made or renamed with it.
TEST_F(ProjectTreeTest, NamesTheWorkspaceCannotStoreAreRefused) {
  addProject("game", {});
  BuildTree(workspace, tree);
  for (const auto& [name, fileName] :
       std::vector<std::pair<std::string, std::string>>{{"say \"hi\"", "/mods/a.tsp"},
                                                        {"two\nlines", "/mods/a.tsp"},
                                                        {std::string(251, 'n'), "/mods/a.tsp"},
                                                        {"ok", "/mods/line\rbreak.tsp"}}) {
    questions.log.clear();
    nameForm.SetFields(name, fileName);
    commands.AddNewProject();
    ASSERT_EQ(questions.errors().size(), 1u) << name;
    EXPECT_EQ(workspace.Count(), 1);

    nameForm.show();
    nameForm.OkButton->click();
    EXPECT_TRUE(nameForm.isVisible()) << "OK keeps the dialog open";
    EXPECT_EQ(nameForm.result(), QDialog::Rejected);
    EXPECT_EQ(questions.errors().size(), 2u);
  }
  nameForm.SetFields("fine name", "/mods/fine.tsp");
  nameForm.OkButton->click();
  EXPECT_FALSE(nameForm.isVisible());
  EXPECT_EQ(nameForm.result(), QDialog::Accepted);
}

// On a desktop Remove Project asks first; No keeps the project and its node.
TEST_F(ProjectTreeTest, RemoveProjectAsksFirstOnADesktop) {
  addProject("game", {"g_main.c"});
  BuildTree(workspace, tree);
  ProjectTreeWindow asking = window();
  asking.asksBeforeRemovingProject = true;
  ProjectTreeCommands desktop{workspace, view, questions, asking};
  select(projectNode(0));
  questions.answers = {Answer::No, Answer::Yes};
  desktop.RemoveSelectedProject();
  EXPECT_EQ(workspace.Count(), 1);
  EXPECT_EQ(RootNode(tree)->childCount(), 1);
  desktop.RemoveSelectedProject();
  EXPECT_EQ(workspace.Count(), 0);
  EXPECT_EQ(questions.log, std::vector<std::string>(2, "ask: Remove the project game from the workspace?\n"
                                                       "Its project file and source files stay on disk."));
}
