// The window area as tabs: cycling follows the tabs as they show, moved ones too, and a middle
// click closes a tab as closing its window does.
#include "DocumentTabs.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A document that may refuse to close, as one with unsaved text whose question was cancelled.
class Page : public QWidget {
public:
  explicit Page(const QString& name, bool refuses = false) : refuses_(refuses) { setWindowTitle(name); }

protected:
  void closeEvent(QCloseEvent* event) override { event->setAccepted(!refuses_); }

private:
  bool refuses_;
};

struct DocumentTabsTest : ::testing::Test {
  QMdiArea area;
  DocumentTabs tabs{area};
  DocumentTabsTest() {
    area.resize(600, 400);
    area.show();
  }
  QMdiSubWindow* Add(const QString& name, bool refuses = false) {
    QMdiSubWindow* window = area.addSubWindow(new Page(name, refuses));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
  }
  [[nodiscard]] QString Active() const {
    return area.activeSubWindow() ? area.activeSubWindow()->windowTitle() : QString();
  }
  [[nodiscard]] QString Cycled(bool forward, int times) {
    QString visited;
    for (int i = 0; i < times; ++i) {
      tabs.Cycle(forward);
      visited += Active();
    }
    return visited;
  }
};

TEST_F(DocumentTabsTest, CyclingGoesRoundTheTabsInTheOrderTheyShow) {
  ASSERT_EQ(area.viewMode(), QMdiArea::TabbedView);
  area.setActiveSubWindow(Add("a"));
  Add("b");
  Add("c");
  area.setActiveSubWindow(area.subWindowList().front());
  EXPECT_EQ(Cycled(true, 4), "bcab");
  EXPECT_EQ(Cycled(false, 3), "acb");
  // Moved to the end, "a" is the last tab: after "c", before "b".
  tabs.Bar()->moveTab(0, 2);
  EXPECT_EQ(Cycled(true, 3), "cab");
}

TEST_F(DocumentTabsTest, AMiddleClickClosesATabUnlessItsDocumentRefuses) {
  Add("kept", true);
  Add("closed");
  QTabBar* bar = tabs.Bar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->count(), 2);
  QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(1).center());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(area.subWindowList().size(), 1);
  QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(0).center());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(area.subWindowList().size(), 1);
  EXPECT_EQ(area.subWindowList().front()->windowTitle(), "kept");
  EXPECT_TRUE(bar->tabsClosable());
  EXPECT_TRUE(bar->isMovable());
}

} // namespace
