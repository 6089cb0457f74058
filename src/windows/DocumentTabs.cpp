#include "DocumentTabs.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTabBar>

DocumentTabs::DocumentTabs(QMdiArea& area) : QObject(&area), area_(area) {
  area_.setViewMode(QMdiArea::TabbedView);
  area_.setDocumentMode(true);
  area_.setTabsClosable(true);
  area_.setTabsMovable(true);
  if (QTabBar* bar = Bar()) {
    bar->setElideMode(Qt::ElideMiddle);
    bar->setExpanding(false);
    bar->installEventFilter(this);
  }
}

QTabBar* DocumentTabs::Bar() const {
  return area_.findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
}

void DocumentTabs::Cycle(bool forward) {
  // The area keeps its windows in the order of the tabs, moved ones too.
  const QList<QMdiSubWindow*> windows = area_.subWindowList(QMdiArea::CreationOrder);
  if (windows.isEmpty()) return;
  const auto count = static_cast<int>(windows.size());
  const auto current = static_cast<int>(windows.indexOf(area_.activeSubWindow()));
  const int next = current < 0 ? 0 : (current + (forward ? 1 : count - 1)) % count;
  area_.setActiveSubWindow(windows[next]);
}

bool DocumentTabs::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    auto* bar = qobject_cast<QTabBar*>(watched);
    if (bar != nullptr && mouse->button() == Qt::MiddleButton) {
      const int tab = bar->tabAt(mouse->position().toPoint());
      const QList<QMdiSubWindow*> windows = area_.subWindowList(QMdiArea::CreationOrder);
      if (tab >= 0 && tab < windows.size()) windows[tab]->close();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}
