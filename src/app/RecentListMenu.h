// Shows a recent list in a submenu: a separator, then one item per entry. Items
// stay in place when the order changes; each is rewritten with the entry now at its position.
#pragma once

#include <QObject>
#include <QVector>

#include <functional>

class QAction;
class QMenu;
class RecentList;

class RecentListMenu : public QObject {
  Q_OBJECT
public:
  RecentListMenu(RecentList& mru, QMenu& menu);

  // Entry clicks raise errors to the caller's handler (the main window's error box).
  std::function<void(std::function<void()>)> runGuarded;

  [[nodiscard]] const QVector<QAction*>& Items() const { return items_; }

private:
  void Sync();

  RecentList& mru_;
  QMenu& menu_;
  QAction* separator_ = nullptr;
  QVector<QAction*> items_;
};
