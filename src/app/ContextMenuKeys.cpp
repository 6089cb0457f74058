#include "ContextMenuKeys.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QKeyEvent>

namespace {

bool asksForTheMenu(const QEvent& event) {
  if (event.type() == QEvent::ContextMenu)
    return static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Keyboard;
  if (event.type() != QEvent::KeyPress) return false;
  const auto& key = static_cast<const QKeyEvent&>(event);
  return key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier;
}

} // namespace

ContextMenuKeys::ContextMenuKeys(QAbstractItemView& view, std::function<void(const QPoint&)> show)
    : QObject(&view), view_(view), show_(std::move(show)) {
  view.installEventFilter(this);
}

bool ContextMenuKeys::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (!asksForTheMenu(*event)) return false;
  const QRect item = view_.visualRect(view_.currentIndex());
  show_(item.isValid() ? QPoint(item.left() + item.height(), item.bottom()) : QPoint());
  return true;
}
