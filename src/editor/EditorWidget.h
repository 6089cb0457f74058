// The editor control as a Qt widget: a scroll area showing a TextEditor, which it paints through
// the text drawer and feeds with keyboard, mouse, wheel and scroll-bar input. Everything else the
// program does with the editor goes to the TextEditor itself.
#pragma once

#include "QtClipboard.h"
#include "TextDrawer.h"
#include "TextEditor.h"

#include <QAbstractScrollArea>
#include <QRegion>
#include <QTimer>

class QLabel;
class QMimeData;

class EditorWidget : public QAbstractScrollArea, private EditView {
  Q_OBJECT
  TextEditor editor_;

public:
  explicit EditorWidget(QWidget* parent = nullptr) : EditorWidget(std::make_shared<TextDocument>(), parent) {}
  // Another view of a document some other editor shows.
  EditorWidget(std::shared_ptr<TextDocument> document, QWidget* parent);
  ~EditorWidget() override;

  [[nodiscard]] TextEditor& Editor() { return editor_; }
  [[nodiscard]] const TextEditor& Editor() const { return editor_; }

  // The text font; the cell grid is measured from it ("Courier New" 10 by default, with a
  // fixed-pitch fall-back).
  void SetEditorFont(const QFont& font);
  [[nodiscard]] const QFont& EditorFont() const { return drawer_.BaseFont(); }
  [[nodiscard]] const TextDrawer& Drawer() const { return drawer_; }

  // Tab and Shift+Tab reach the editor instead of moving the focus.
  void SetWantTabs(bool value) { wantTabs_ = value; }
  // Plain text copied out ends its lines in LF rather than CR LF.
  void SetClipboardLineFeeds(bool value);
  // Where a selection is offered as it is made, and what a middle click pastes: the X11 primary
  // selection where the system has one, else nothing.
  void SetPrimarySelection(ClipboardPort* port) { primary_ = port; }
  // Who is told when typed or pasted text is refused.
  void SetQuestions(UserQuestions* questions) { questions_ = questions; }

  // Where the caret image is drawn, in viewport pixels; empty when it is not shown.
  [[nodiscard]] QRect CaretRect() const;
  // The scroll hint showing the top line while the vertical thumb is dragged, or nullptr.
  [[nodiscard]] QLabel* ScrollHint() const { return scrollHint_; }

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  // EditView
  void InvalidateRect(const PixelRect& rect) override;
  void ScrollPixels(int dy) override;
  void UpdateScrollBars() override;
  void UpdateCaret() override;
  void RepaintNow() override;
  void MeasureFont() override;
  void RangesBehind() override;
  void SelectionChanged() override;

  void RefreshRangeSlice();
  void VerticalAction(int action);
  void HorizontalAction(int action);
  void ShowScrollHint();
  void AutoScrollStep();
  void StartDrag();
  // A middle click: the primary selection goes in where the mouse is.
  void PastePrimarySelectionAt(QPoint pixel);
  [[nodiscard]] bool OwnDrag(const QMimeData* data) const;
  // Runs an input handler; an editor error it raises is shown rather than let into Qt's loop.
  template <typename Handler> void ShowingErrors(Handler handler);
  // Typed text in the document's encoding; throws EditorError when it cannot hold a character.
  [[nodiscard]] std::string TypedBytes(const QString& text) const;
  // The position under a viewport pixel.
  [[nodiscard]] TextPoint PositionAt(QPoint pixel) const;
  void BlinkCaret();
  // Marks viewport pixels for repainting; `area` is where they are in the view as it is now.
  void UpdateArea(const QRegion& area);
  // Carries out the scrolls asked for since the last turn of the event loop as one blit.
  void ApplyPendingScroll();

  TextDrawer drawer_;
  QtClipboard clipboard_;
  QtClipboard primarySelection_{QClipboard::Selection};
  ClipboardPort* primary_ = nullptr;
  UserQuestions* questions_ = nullptr;
  QTimer primaryTimer_; // offers the selection once it has settled
  bool wantTabs_ = false;
  bool updatingScrollBars_ = false;
  QRegion dirty_;
  QRect caretShown_;
  // Scrolls not yet blitted, and the damage asked for since the first of them, in the view's
  // coordinates as they will be after the blit.
  bool scrollPending_ = false;
  int pendingScrollDy_ = 0;
  QRegion pendingScrollDamage_;
  bool caretBlinkOn_ = true;
  QTimer caretTimer_;
  QTimer autoScrollTimer_;
  QTimer rangeTimer_;             // refreshes stale highlighter ranges a slice per idle moment
  bool rescanAfterPaint_ = false; // the slices start once the pending paint is done
  QLabel* scrollHint_ = nullptr;

  // Mouse state between press and release.
  QPoint mouseDownPixel_;
  QPoint mousePixel_;
  bool pressInGutter_ = false;
  bool waitingForDrag_ = false;
  bool leftButtonDown_ = false;
};
