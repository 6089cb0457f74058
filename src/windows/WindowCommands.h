// The editor windows inside the MDI frame: finding them, closing them, arranging them and the
// "&Window" menu's list of open windows.
#pragma once

#include <QList>
#include <QObject>
#include <QRect>

#include <string>
#include <vector>

class DocumentWindow;
class EditorWindowPort;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QWidget;

// Where Cascade puts `count` windows in a frame: each a step (a title bar's height) down and right
// of the one before and as large as the frame less the steps of the windows after it, but never
// smaller than two thirds of the frame; the run starts again at the top left where the next
// window would leave the frame.
[[nodiscard]] std::vector<QRect> CascadeRects(int count, const QSize& frame, int step);

class WindowCommands : public QObject {
  Q_OBJECT
public:
  explicit WindowCommands(QMdiArea& area);

  // In the frame's child-list order: the order in which they were opened.
  [[nodiscard]] QList<QMdiSubWindow*> Windows() const;
  [[nodiscard]] int Count() const;
  [[nodiscard]] static EditorWindowPort* Port(const QMdiSubWindow* window);
  // The active window's editor, or none when no editor window is open.
  [[nodiscard]] EditorWindowPort* ActiveEditor() const;
  [[nodiscard]] QMdiSubWindow* ActiveWindow() const;

  // Last opened first; the first whose file name matches without regard to case, else none.
  [[nodiscard]] QMdiSubWindow* FindEditorWindow(const std::string& path) const;
  // Puts `widget` into the frame as a child window and shows it.
  QMdiSubWindow* Add(QWidget* widget);
  void BringToFront(QMdiSubWindow* window);

  // Closes the windows from last to first; one that refuses stays and the others still close.
  void CloseAll();
  // Asks every window in child-list order; false at the first that refuses.
  [[nodiscard]] bool AllMayClose() const;
  void CloseActive();
  // Saves every modified window, from the last to the first.
  void SaveAll();
  // Lets every window look at its file on disk, in opening order (see EditorWindowPort).
  void NoticeOutsideChanges();

  void Cascade();
  void TileHorizontally(); // one above the other
  void TileVertically();   // side by side
  // Lines the minimised windows up along the bottom of the frame.
  void ArrangeIcons();

  // A second view of the active document, beside (Qt::Horizontal) or below it; Unsplit closes the
  // view the caret is not in.
  void SplitActive(Qt::Orientation orientation);
  void UnsplitActive();
  [[nodiscard]] bool ActiveIsSplit() const;

  // Appends the list of open windows to `menu`, the active one checked; replaces the list
  // appended last time.
  void FillWindowList(QMenu& menu);

private:
  [[nodiscard]] QList<QMdiSubWindow*> ShownWindows() const;
  [[nodiscard]] DocumentWindow* ActiveDocument() const;
  void Tile(bool sideBySide);

  QMdiArea& area_;
  QList<QAction*> listEntries_;
};
