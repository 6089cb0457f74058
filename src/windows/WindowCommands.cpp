#include "WindowCommands.h"

#include "DisplayText.h"
#include "DocumentWindow.h"
#include "EditorWindowPort.h"
#include "Paths.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>

#include <algorithm>

WindowCommands::WindowCommands(QMdiArea& area) : QObject(&area), area_(area) {}

QList<QMdiSubWindow*> WindowCommands::Windows() const { return area_.subWindowList(QMdiArea::CreationOrder); }

int WindowCommands::Count() const { return static_cast<int>(Windows().size()); }

EditorWindowPort* WindowCommands::Port(const QMdiSubWindow* window) {
  return window != nullptr ? dynamic_cast<EditorWindowPort*>(window->widget()) : nullptr;
}

QMdiSubWindow* WindowCommands::ActiveWindow() const {
  // The current window stays known while the frame itself is not the active window.
  QMdiSubWindow* current = area_.currentSubWindow();
  if (current != nullptr) return current;
  QList<QMdiSubWindow*> windows = area_.subWindowList(QMdiArea::ActivationHistoryOrder);
  return windows.isEmpty() ? nullptr : windows.last();
}

EditorWindowPort* WindowCommands::ActiveEditor() const { return Port(ActiveWindow()); }

QMdiSubWindow* WindowCommands::FindEditorWindow(const std::string& path) const {
  QList<QMdiSubWindow*> windows = Windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    EditorWindowPort* port = Port(*it);
    if (port != nullptr && paths::SameFileName(port->FileName(), path)) return *it;
  }
  return nullptr;
}

QMdiSubWindow* WindowCommands::Add(QWidget* widget) {
  QMdiSubWindow* window = area_.addSubWindow(widget);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // The frame's menu has keys of its own (Close is Ctrl+W and Ctrl+F4 on some desktops); beside
  // the main window's commands they would be ambiguous, and neither would work.
  if (QMenu* menu = window->systemMenu())
    for (QAction* action : menu->actions())
      action->setShortcuts({});
  window->show();
  return window;
}

void WindowCommands::BringToFront(QMdiSubWindow* window) {
  if (window == nullptr) return;
  if (window->isMinimized()) window->showNormal();
  area_.setActiveSubWindow(window);
  window->raise();
}

void WindowCommands::CloseAll() {
  QList<QMdiSubWindow*> windows = Windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if ((*it)->close()) {
      // Let it go at once, so the next window visited sees a frame without it.
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
}

bool WindowCommands::AllMayClose() const {
  for (QMdiSubWindow* window : Windows()) {
    EditorWindowPort* port = Port(window);
    if (port != nullptr && !port->CloseQuery()) return false;
  }
  return true;
}

void WindowCommands::SaveAll() {
  QList<QMdiSubWindow*> windows = Windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (EditorWindowPort* editor = Port(*it)) editor->SaveFile();
}

void WindowCommands::NoticeOutsideChanges() {
  for (QMdiSubWindow* window : Windows())
    if (EditorWindowPort* editor = Port(window)) editor->NoticeOutsideChanges();
}

void WindowCommands::CloseActive() { area_.closeActiveSubWindow(); }

std::vector<QRect> CascadeRects(int count, const QSize& frame, int step) {
  if (count <= 0) return {};
  step = std::max(step, 1);
  const QSize size(std::max(frame.width() - (count - 1) * step, frame.width() * 2 / 3),
                   std::max(frame.height() - (count - 1) * step, frame.height() * 2 / 3));
  const int perRun = std::max(
      1, std::min((frame.width() - size.width()) / step, (frame.height() - size.height()) / step) + 1);
  std::vector<QRect> rects;
  for (int i = 0; i < count; ++i) {
    const int offset = (i % perRun) * step;
    rects.emplace_back(QPoint(offset, offset), size);
  }
  return rects;
}

void WindowCommands::Cascade() {
  const QList<QMdiSubWindow*> windows = ShownWindows();
  if (windows.isEmpty()) return;
  const int step = windows.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.front());
  const std::vector<QRect> rects =
      CascadeRects(static_cast<int>(windows.size()), area_.viewport()->size(), step);
  for (int i = 0; i < windows.size(); ++i) {
    if (windows[i]->isMaximized()) windows[i]->showNormal();
    windows[i]->setGeometry(rects[static_cast<std::size_t>(i)]);
    windows[i]->raise();
  }
}

QList<QMdiSubWindow*> WindowCommands::ShownWindows() const {
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* window : Windows())
    if (!window->isMinimized() && window->isVisible()) shown.push_back(window);
  return shown;
}

void WindowCommands::Tile(bool sideBySide) {
  QList<QMdiSubWindow*> windows = ShownWindows();
  if (windows.isEmpty()) return;
  const QRect frame = area_.viewport()->rect();
  const int count = static_cast<int>(windows.size());
  for (int i = 0; i < count; ++i) {
    QMdiSubWindow* window = windows[i];
    if (window->isMaximized()) window->showNormal();
    if (sideBySide) {
      int left = frame.width() * i / count;
      window->setGeometry(left, 0, frame.width() * (i + 1) / count - left, frame.height());
    } else {
      int top = frame.height() * i / count;
      window->setGeometry(0, top, frame.width(), frame.height() * (i + 1) / count - top);
    }
  }
}

void WindowCommands::TileHorizontally() { Tile(false); }
void WindowCommands::TileVertically() { Tile(true); }

void WindowCommands::ArrangeIcons() {
  const QRect frame = area_.viewport()->rect();
  int left = 0;
  for (QMdiSubWindow* window : Windows()) {
    if (!window->isMinimized()) continue;
    QSize size = window->size();
    window->move(left, frame.height() - size.height());
    left += size.width();
  }
}

DocumentWindow* WindowCommands::ActiveDocument() const {
  QMdiSubWindow* window = ActiveWindow();
  return window != nullptr ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
}

void WindowCommands::SplitActive(Qt::Orientation orientation) {
  if (DocumentWindow* document = ActiveDocument()) document->Split(orientation);
}

void WindowCommands::UnsplitActive() {
  if (DocumentWindow* document = ActiveDocument()) document->Unsplit();
}

bool WindowCommands::ActiveIsSplit() const {
  const DocumentWindow* document = ActiveDocument();
  return document != nullptr && document->IsSplit();
}

void WindowCommands::FillWindowList(QMenu& menu) {
  for (QAction* entry : listEntries_) {
    menu.removeAction(entry);
    entry->deleteLater();
  }
  listEntries_.clear();
  if (Count() > 0) listEntries_.push_back(menu.addSeparator());
  QMdiSubWindow* active = ActiveWindow();
  int number = 1;
  for (QMdiSubWindow* window : Windows()) {
    const QString caption = LiteralCaption(window->windowTitle());
    QString text = number < 10 ? QString("&%1 %2").arg(number).arg(caption) : caption;
    QAction* entry = menu.addAction(text);
    entry->setCheckable(true);
    entry->setChecked(window == active);
    connect(entry, &QAction::triggered, this, [this, target = QPointer<QMdiSubWindow>(window)] {
      if (target) BringToFront(target);
    });
    listEntries_.push_back(entry);
    ++number;
  }
}
