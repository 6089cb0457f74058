// The "Class View" page over a workspace on disk: its caption, its nodes, the double-click that
// opens a declaration and the fold that a double-click must not cause.
#include "ClassViewCommands.h"
#include "DocumentWindow.h"
#include "ProjectList.h"
#include "ScriptedQuestions.h"
#include "Settings.h"
#include "TempDir.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// The events a real double-click delivers: the second press comes before the double-click.
void DoubleClick(QWidget* target, QPoint at) {
  QTest::mouseClick(target, Qt::LeftButton, {}, at);
  QTest::mousePress(target, Qt::LeftButton, {}, at);
  QMouseEvent event(QEvent::MouseButtonDblClick, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &event);
  QTest::mouseRelease(target, Qt::LeftButton, {}, at);
}

struct ClassViewTest : ::testing::Test {
  TempDir dir;
  ProjectList workspace;
  ScriptedQuestions questions;
  Settings settings;
  QIcon structureImage{QPixmap(4, 4)}, memberImage{QPixmap(6, 6)};
  QTabWidget pages;
  QWidget* sheet = new QWidget;
  QTreeWidget* tree = new QTreeWidget(sheet);
  std::vector<std::unique_ptr<DocumentWindow>> windows;
  std::vector<std::string> opened;
  ClassViewCommands classView{ClassViewControls{pages, *sheet, *tree, structureImage, memberImage}, workspace,
                              questions, [this](const std::string& path) { return Open(path); }};

  ClassViewTest() {
    pages.addTab(new QWidget, "File View");
    pages.addTab(sheet, "Class View");
  }

  DocumentWindow* Open(const std::string& path) {
    opened.push_back(path);
    for (const auto& window : windows)
      if (window->FileName() == path) return window.get();
    windows.push_back(std::make_unique<DocumentWindow>(settings, questions));
    windows.back()->LoadFile(path);
    return windows.back().get();
  }

  void AddProject(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) {
    Project& project = workspace.AddProject();
    project.Name = name;
    for (const auto& [file, bytes] : files)
      project.Files.push_back({bytes.empty() ? dir.file(file) : dir.write(file, bytes)});
    workspace.ActiveProject = &project;
  }

  [[nodiscard]] std::string Caption() const { return pages.tabText(1).toStdString(); }

  // Top-level captions, each with its members in brackets.
  [[nodiscard]] std::string Nodes() const {
    std::string text;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* node = tree->topLevelItem(i);
      text += (i == 0 ? "" : " ") + node->text(0).toStdString() + "[";
      for (int j = 0; j < node->childCount(); ++j)
        text += (j == 0 ? "" : " ") + node->child(j)->text(0).toStdString();
      text += "]";
    }
    return text;
  }
};

TEST_F(ClassViewTest, ShowsTheActiveProjectsStructuresSortedWithTheirImagesAndPlaces) {
  AddProject("game", {{"g_local.h", "struct zeta { int b; int a; };\n"},
                      {"g_main.c", "\n\nstruct alpha {\n int c;\n};\n"}});
  classView.RebuildClassView();
  EXPECT_EQ(Caption(), "Class view of game");
  EXPECT_EQ(Nodes(), "alpha[c] zeta[a b]");
  const QTreeWidgetItem* alpha = tree->topLevelItem(0);
  EXPECT_EQ(ClassObjectOfNode(alpha), (ClassObject{dir.file("g_main.c"), 3}));
  EXPECT_EQ(ClassObjectOfNode(alpha->child(0)), (ClassObject{dir.file("g_main.c"), 4}));
  EXPECT_EQ(alpha->icon(0).cacheKey(), structureImage.cacheKey());
  EXPECT_EQ(alpha->child(0)->icon(0).cacheKey(), memberImage.cacheKey());
  EXPECT_TRUE(questions.log.empty());

  // Each rebuild starts the tree again.
  classView.RebuildClassView();
  EXPECT_EQ(Nodes(), "alpha[c] zeta[a b]");
}

TEST_F(ClassViewTest, WithoutAnActiveProjectTheOldOutlineStays) {
  AddProject("game", {{"a.h", "struct s { int v; };\n"}});
  classView.RebuildClassView();
  workspace.Clear();
  classView.RebuildClassView();
  EXPECT_EQ(Caption(), "Class View");
  EXPECT_EQ(Nodes(), "s[v]");
}

TEST_F(ClassViewTest, AFileThatCannotBeReadStopsTheRebuildWithItsNodesUnsorted) {
  AddProject("game", {{"a.h", "struct b_s { int y; int x; };\nstruct a_s {};\n"},
                      {"gone.h", ""},
                      {"c.h", "struct c_s {};\n"}});
  classView.RebuildClassView();
  EXPECT_EQ(questions.errors(), std::vector<std::string>{"Cannot open file " + dir.file("gone.h")});
  EXPECT_EQ(Nodes(), "b_s[y x] a_s[]");
  EXPECT_EQ(Caption(), "Class view of game");
}

TEST_F(ClassViewTest, ADoubleClickOnAStructureJumpsWithoutFoldingIt) {
  AddProject("game", {{"a.h", "struct s {\n int v;\n};\n"}});
  classView.RebuildClassView();
  pages.resize(300, 200);
  pages.show();
  QTreeWidgetItem* structure = tree->topLevelItem(0);
  const QPoint centre = tree->visualItemRect(structure).center();
  classView.OpenSelectedNode();
  EXPECT_TRUE(opened.empty()) << "nothing was selected";

  DoubleClick(tree->viewport(), centre);
  EXPECT_EQ(opened, std::vector<std::string>{dir.file("a.h")});
  EXPECT_FALSE(structure->isExpanded());
  EXPECT_FALSE(classView.Folding().DoubleClickPending());

  // Expand buttons and keys still work; so does a double-click noted on a member.
  tree->expandItem(structure);
  EXPECT_TRUE(structure->isExpanded());
  tree->setCurrentItem(structure->child(0));
  classView.Folding().NoteDoubleClick();
  tree->collapseItem(structure);
  EXPECT_FALSE(structure->isExpanded());
  EXPECT_FALSE(classView.Folding().DoubleClickPending());
}

} // namespace
