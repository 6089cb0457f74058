#include "ImageLists.h"
#include "WindowBar.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct WindowBarTest : ::testing::Test {
  QMainWindow frame;
  QMdiArea* area = new QMdiArea;
  WindowBar* bar = new WindowBar(*area, MakeTreeViewList());
  std::vector<QWidget*> windows;

  WindowBarTest() {
    frame.setCentralWidget(area);
    frame.addToolBar(bar);
    frame.show();
  }

  QWidget* open(const char* title) {
    auto* window = new QWidget;
    window->setWindowTitle(title);
    area->addSubWindow(window)->show();
    bar->AddTask(window, TreeViewImage::File);
    windows.push_back(window);
    return window;
  }

  [[nodiscard]] std::vector<bool> pressed() const {
    std::vector<bool> states;
    for (QWidget* window : windows)
      states.push_back(bar->ButtonOf(window)->isChecked());
    return states;
  }
};

} // namespace

TEST_F(WindowBarTest, ButtonsFollowTheWindowsInOpeningOrder) {
  EXPECT_TRUE(bar->isHidden());
  open("a.c");
  open("b.c");
  QWidget* third = open("c.c");
  bar->AddTask(third, TreeViewImage::File);
  EXPECT_EQ(bar->Count(), 3);
  EXPECT_FALSE(bar->isHidden());
  EXPECT_EQ(pressed(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(bar->ButtonOf(windows[0])->text(), "a.c");

  third->setWindowTitle("renamed.c");
  bar->RefreshCaptions();
  EXPECT_EQ(bar->ButtonOf(third)->text(), "renamed.c");

  for (QMdiSubWindow* window : area->subWindowList())
    delete window;
  EXPECT_EQ(bar->Count(), 0);
  EXPECT_TRUE(bar->isHidden());
}

TEST_F(WindowBarTest, AClickActivatesAndRestoresItsWindow) {
  QWidget* first = open("a.c");
  open("b.c");
  open("c.c");
  auto* firstFrame = qobject_cast<QMdiSubWindow*>(first->parentWidget());
  firstFrame->showMinimized();
  bar->ButtonOf(first)->click();
  EXPECT_EQ(area->currentSubWindow(), firstFrame);
  EXPECT_FALSE(firstFrame->isMinimized());
  EXPECT_EQ(pressed(), (std::vector<bool>{true, false, false}));

  // Activation from elsewhere moves the pressed button too.
  area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(windows[1]->parentWidget()));
  EXPECT_EQ(pressed(), (std::vector<bool>{false, true, false}));
}

TEST_F(WindowBarTest, ShowedKeepsTheBarAway) {
  bar->SetShowed(false);
  open("a.c");
  EXPECT_TRUE(bar->isHidden());
  bar->SetShowed(true);
  EXPECT_FALSE(bar->isHidden());
  bar->RemoveTask(windows[0]);
  bar->RemoveTask(nullptr);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_EQ(bar->ButtonOf(windows[0]), nullptr);
}
