// The editor control as a Qt widget: a scroll area holding a view core (TextEditor) that it
// paints through the text drawer and feeds with keyboard, mouse, wheel and scroll-bar input.
#pragma once

#include "TextDrawer.h"
#include "TextEditor.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QRegion>
#include <QTimer>

class QLabel;
class QMimeData;

// The system clipboard, or the X11 primary selection: plain text and the private block format side
// by side.
class QtClipboard : public ClipboardPort {
public:
  explicit QtClipboard(QClipboard::Mode mode = QClipboard::Clipboard) : mode_(mode) {}
  bool PutText(std::string_view plain, std::string_view block) override;
  [[nodiscard]] std::optional<std::string> BlockData() const override;
  [[nodiscard]] std::optional<std::string> PlainText() const override;
  // Plain text goes out with LF line ends rather than CR LF.
  void SetLineFeeds(bool value) { lineFeeds_ = value; }

private:
  QClipboard::Mode mode_;
  bool lineFeeds_ = false;
};

class EditorWidget : public QAbstractScrollArea, private EditView {
  Q_OBJECT
  TextEditor core_;

public:
  explicit EditorWidget(QWidget* parent = nullptr);
  ~EditorWidget() override;

  // The whole editor interface; the members below pass on what the program's windows use.
  [[nodiscard]] TextEditor& Editor() { return core_; }
  [[nodiscard]] const TextEditor& Editor() const { return core_; }

  // The text font; the cell grid is measured from it ("Courier New" 10 by default, with a
  // fixed-pitch fall-back).
  void SetEditorFont(const QFont& font);
  [[nodiscard]] const QFont& EditorFont() const { return drawer_.BaseFont(); }
  [[nodiscard]] const TextDrawer& Drawer() const { return drawer_; }

  [[nodiscard]] bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  // Plain text copied out ends its lines in LF rather than CR LF.
  void SetClipboardLineFeeds(bool value);
  // Where a selection is offered as it is made, and what a middle click pastes: the X11 primary
  // selection where the system has one, else nothing.
  void SetPrimarySelection(ClipboardPort* port) { primary_ = port; }

  // Where the caret image is drawn, in viewport pixels; empty when it is not shown.
  [[nodiscard]] QRect CaretRect() const;
  // The scroll hint showing the top line while the vertical thumb is dragged, or nullptr.
  [[nodiscard]] QLabel* ScrollHint() const { return scrollHint_; }

  // --- text and history
  [[nodiscard]] const LineList& Lines() const { return core_.Lines(); }
  [[nodiscard]] int LineCount() const { return core_.LineCount(); }
  [[nodiscard]] const std::string& LineText(int line) const { return core_.LineText(line); }
  [[nodiscard]] bool Modified() const { return core_.Modified(); }
  void SetModified(bool value) { core_.SetModified(value); }
  [[nodiscard]] bool CanUndo() const { return core_.CanUndo(); }
  [[nodiscard]] bool CanRedo() const { return core_.CanRedo(); }
  void Undo() { core_.Undo(); }
  void Redo() { core_.Redo(); }
  void ClearUndo() { core_.ClearUndo(); }
  void SetMaxUndo(int value) { core_.SetMaxUndo(value); }

  // --- caret, view and selection
  [[nodiscard]] int CaretY() const { return core_.CaretY(); }
  [[nodiscard]] TextPoint CaretXY() const { return core_.CaretXY(); }
  void SetCaretY(int value) { core_.SetCaretY(value); }
  void SetCaretXY(TextPoint value) { core_.SetCaretXY(value); }
  [[nodiscard]] int TopLine() const { return core_.TopLine(); }
  void SetTopLine(int value) { core_.SetTopLine(value); }
  [[nodiscard]] int LinesInWindow() const { return core_.LinesInWindow(); }
  [[nodiscard]] int GutterWidth() const { return core_.GutterWidth(); }
  [[nodiscard]] int CharWidth() const { return core_.CharWidth(); }
  [[nodiscard]] int LineHeight() const { return core_.LineHeight(); }
  [[nodiscard]] TextPoint BlockBegin() const { return core_.BlockBegin(); }
  void SetBlockBegin(TextPoint point) { core_.SetBlockBegin(point); }
  void SetBlockEnd(TextPoint point) { core_.SetBlockEnd(point); }
  [[nodiscard]] bool SelAvail() const { return core_.SelAvail(); }
  [[nodiscard]] std::string SelText() const { return core_.SelText(); }
  void SetSelText(std::string_view value) { core_.SetSelText(value); }

  // --- commands
  void ExecuteCommand(EditorCommand command, char ch = 0, const void* data = nullptr) {
    core_.ExecuteCommand(command, ch, data);
  }
  void KeyPress(char ch) { core_.KeyPress(ch); }
  void CutToClipboard() { core_.CutToClipboard(); }
  void CopyToClipboard() { core_.CopyToClipboard(); }
  void PasteFromClipboard() { core_.PasteFromClipboard(); }
  int SearchReplace(std::string_view search, std::string_view replace, SearchFlags options) {
    return core_.SearchReplace(search, replace, options);
  }

  // --- settings and events
  [[nodiscard]] GutterLayout& Gutter() { return core_.Gutter(); }
  void SetReadOnly(bool value) { core_.SetReadOnly(value); }
  void SetHighLighter(Highlighter* value) { core_.SetHighLighter(value); }
  [[nodiscard]] EditorOptions Options() const { return core_.Options(); }
  void SetOptions(EditorOptions value) { core_.SetOptions(value); }
  std::function<void()>& OnChange = core_.OnChange;
  ReplaceTextEvent& OnReplaceText = core_.OnReplaceText;
  std::function<void(int line, bool& special, ColorValue& fg, ColorValue& bg)>& OnSpecialLineColors =
      core_.OnSpecialLineColors;

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
  QTimer rangeTimer_; // refreshes stale highlighter ranges a slice per idle moment
  QLabel* scrollHint_ = nullptr;

  // Mouse state between press and release.
  QPoint mouseDownPixel_;
  QPoint mousePixel_;
  bool pressInGutter_ = false;
  bool waitingForDrag_ = false;
  bool leftButtonDown_ = false;
};
