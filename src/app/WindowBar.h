// The editor window bar: one flat button per open editor window, in opening order, the active
// window's button pressed. Hidden while no editor window is open.
#pragma once

#include <QToolBar>
#include <QVector>

#include <memory>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QToolButton;

class WindowBar : public QToolBar {
  Q_OBJECT
public:
  WindowBar(QMdiArea& area, const QVector<QIcon>& images, QWidget* parent = nullptr);
  ~WindowBar() override;

  // Registers an editor window (the widget inside its frame child). Twice is once.
  void AddTask(QWidget* window, int imageIndex);
  void RemoveTask(QWidget* window);
  // Copies each window's caption to its button where they differ.
  void RefreshCaptions();

  [[nodiscard]] bool Showed() const { return showed_; }
  void SetShowed(bool showed);
  [[nodiscard]] int Count() const { return static_cast<int>(tasks_.size()); }
  // The button of `window`, or none.
  [[nodiscard]] QToolButton* ButtonOf(const QWidget* window) const;

private:
  struct WindowButton {
    QWidget* window;
    QToolButton* button;
    QAction* action; // the button's place on the bar
  };

  void ReleaseAll();
  // Presses the task's button and makes its window the active one, restoring it if minimised.
  void Activate(const WindowButton& task);
  void WindowActivated(QMdiSubWindow* frame);
  [[nodiscard]] const WindowButton* Find(const QWidget* window) const;

  QMdiArea& area_;
  QVector<QIcon> images_;
  std::vector<WindowButton> tasks_;
  bool showed_ = true;
};
