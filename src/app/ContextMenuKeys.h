// Opens a list's or a tree's context menu from the keyboard (the Menu key, Shift+F10) at its
// current item, where a mouse click would have opened it, rather than at the mouse pointer.
#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QAbstractItemView;

class ContextMenuKeys : public QObject {
public:
  // Watches `view`; `show` opens the menu at a point of the view's viewport.
  ContextMenuKeys(QAbstractItemView& view, std::function<void(const QPoint&)> show);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QAbstractItemView& view_;
  std::function<void(const QPoint&)> show_;
};
