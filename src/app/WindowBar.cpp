#include "WindowBar.h"

#include "DisplayText.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

#include <algorithm>

namespace {

QMdiSubWindow* frameOf(QWidget* window) {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(window)) return frame;
  return window != nullptr ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

} // namespace

WindowBar::WindowBar(QMdiArea& area, const QVector<QIcon>& images, QWidget* parent)
    : QToolBar(parent), area_(area), images_(images) {
  setObjectName("WindowButtons");
  setMovable(false);
  setFloatable(false);
  // The bar shows itself while windows are open; the toolbar menu offers no switch for it.
  toggleViewAction()->setVisible(false);
  setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  hide();
  // Activation in any other way (a click into the window, the Window menu) presses its button.
  connect(&area_, &QMdiArea::subWindowActivated, this, &WindowBar::WindowActivated);
}

WindowBar::~WindowBar() {
  for (const WindowButton& task : tasks_)
    disconnect(task.window, nullptr, this, nullptr);
}

const WindowBar::WindowButton* WindowBar::Find(const QWidget* window) const {
  auto it = std::find_if(tasks_.begin(), tasks_.end(),
                         [window](const WindowButton& task) { return task.window == window; });
  return it != tasks_.end() ? &*it : nullptr;
}

QToolButton* WindowBar::ButtonOf(const QWidget* window) const {
  const WindowButton* task = Find(window);
  return task != nullptr ? task->button : nullptr;
}

void WindowBar::AddTask(QWidget* window, int imageIndex) {
  if (window == nullptr || Find(window) != nullptr) return;
  ReleaseAll();
  auto* button = new QToolButton(this);
  button->setText(LiteralCaption(window->windowTitle()));
  button->setIcon(images_.value(imageIndex));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  button->setCheckable(true);
  button->setChecked(true);
  QAction* place = addWidget(button);
  tasks_.push_back({window, button, place});
  connect(button, &QToolButton::clicked, this, [this, window] {
    if (const WindowButton* task = Find(window)) Activate(*task);
  });
  // A window that goes away without unregistering still takes its button along.
  connect(window, &QObject::destroyed, this, [this, window] { RemoveTask(window); });
  if (Count() > 0 && isHidden() && showed_) show();
}

void WindowBar::RemoveTask(QWidget* window) {
  if (window == nullptr) return;
  auto it = std::find_if(tasks_.begin(), tasks_.end(),
                         [window](const WindowButton& task) { return task.window == window; });
  if (it != tasks_.end()) {
    disconnect(window, nullptr, this, nullptr);
    removeAction(it->action);
    delete it->button;
    tasks_.erase(it);
  }
  if (Count() == 0 && !isHidden()) hide();
}

void WindowBar::RefreshCaptions() {
  for (const WindowButton& task : tasks_) {
    const QString caption = LiteralCaption(task.window->windowTitle());
    if (task.button->text() != caption) task.button->setText(caption);
  }
}

void WindowBar::SetShowed(bool showed) {
  if (showed == showed_) return;
  showed_ = showed;
  if (showed_ && Count() > 0)
    show();
  else if (!showed_)
    hide();
}

void WindowBar::ReleaseAll() {
  for (const WindowButton& task : tasks_)
    task.button->setChecked(false);
}

void WindowBar::Activate(const WindowButton& task) {
  ReleaseAll();
  task.button->setChecked(true);
  QMdiSubWindow* frame = frameOf(task.window);
  if (frame == nullptr) return;
  if (frame->isMinimized()) frame->showNormal();
  area_.setActiveSubWindow(frame);
  frame->raise();
  task.window->setFocus();
}

void WindowBar::WindowActivated(QMdiSubWindow* frame) {
  if (frame == nullptr) return;
  for (const WindowButton& task : tasks_) {
    if (frameOf(task.window) != frame) continue;
    ReleaseAll();
    task.button->setChecked(true);
    return;
  }
}
