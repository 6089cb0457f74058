// The editor widget: Qt events in, model calls out; painting through the text drawer.
#include "EditorWidget.h"

#include "CaretCommands.h"
#include "QtKeys.h"
#include "SelectionText.h"
#include "TimeSlice.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

constexpr int kAutoScrollPause = 100;
// Marks a drag that started in an editor (with the editor's address, so only it takes the drop).
constexpr const char* kDragMimeType = "application/x-tessarin-editor-drag";
constexpr int kFarAway = 41;

void ApplyScrollInfo(QScrollBar* bar, const ScrollBarInfo& info) {
  bar->setRange(info.Min, std::max(info.Min, info.Max - info.Page + 1));
  bar->setPageStep(std::max(info.Page, 1));
  bar->setSingleStep(1);
  bar->setValue(info.Pos);
}

std::optional<ScrollAction> ScrollActionFromQt(int action) {
  switch (action) {
  case QAbstractSlider::SliderSingleStepSub: return ScrollAction::LineUp;
  case QAbstractSlider::SliderSingleStepAdd: return ScrollAction::LineDown;
  case QAbstractSlider::SliderPageStepSub: return ScrollAction::PageUp;
  case QAbstractSlider::SliderPageStepAdd: return ScrollAction::PageDown;
  case QAbstractSlider::SliderToMinimum: return ScrollAction::Top;
  case QAbstractSlider::SliderToMaximum: return ScrollAction::Bottom;
  case QAbstractSlider::SliderMove: return ScrollAction::Thumb;
  default: return std::nullopt;
  }
}

FontStyles FontStyle(const QFont& font) {
  FontStyles style = 0;
  if (font.bold()) style |= fsBold;
  if (font.italic()) style |= fsItalic;
  if (font.underline()) style |= fsUnderline;
  if (font.strikeOut()) style |= fsStrikeOut;
  return style;
}

} // namespace

EditorWidget::EditorWidget(std::shared_ptr<TextDocument> document, QWidget* parent)
    : QAbstractScrollArea(parent), editor_(std::move(document)) {
  resize(200, 150);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  editor_.SetView(this);
  editor_.SetClipboard(&clipboard_);
  drawer_.SetBaseFont(TextDrawer::EditorFont("Courier New", 10));
  MeasureFont();
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  caretTimer_.setInterval(std::max(QApplication::cursorFlashTime() / 2, 100));
  connect(&caretTimer_, &QTimer::timeout, this, [this] { BlinkCaret(); });
  autoScrollTimer_.setSingleShot(true);
  connect(&autoScrollTimer_, &QTimer::timeout, this, [this] { AutoScrollStep(); });
  connect(&rangeTimer_, &QTimer::timeout, this, [this] { RefreshRangeSlice(); });
  if (QGuiApplication::clipboard()->supportsSelection()) primary_ = &primarySelection_;
  primaryTimer_.setSingleShot(true);
  connect(&primaryTimer_, &QTimer::timeout, this, [this] {
    if (primary_ && editor_.State().SelAvail()) (void)editor_.CopySelectionTo(*primary_);
  });

  QScrollBar* vertical = verticalScrollBar();
  connect(vertical, &QScrollBar::actionTriggered, this, [this](int action) { VerticalAction(action); });
  connect(vertical, &QScrollBar::sliderPressed, this, [this] { ShowScrollHint(); });
  connect(vertical, &QScrollBar::sliderReleased, this, [this] {
    if (scrollHint_) scrollHint_->hide();
  });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { HorizontalAction(action); });
  editor_.Geometry().SetClientSize(viewport()->width(), viewport()->height());
}

EditorWidget::~EditorWidget() {
  caretTimer_.stop();
  autoScrollTimer_.stop();
  rangeTimer_.stop();
  editor_.SetView(nullptr);
}

void EditorWidget::SetClipboardLineFeeds(bool value) {
  clipboard_.SetLineFeeds(value);
  primarySelection_.SetLineFeeds(value);
}

void EditorWidget::SelectionChanged() {
  if (primary_ && !primaryTimer_.isActive()) primaryTimer_.start(0);
}

void EditorWidget::RangesBehind() {
  // What changed on screen is painted first: the rescan waits for that paint, so the frame of the
  // keystroke holds none of it (a covered view that gets no paint is rescanned all the same).
  constexpr int kPaintWaitMs = 50;
  if (!dirty_.isEmpty() && viewport()->isVisible()) {
    rescanAfterPaint_ = true;
    rangeTimer_.start(kPaintWaitMs);
  } else if (!rangeTimer_.isActive()) {
    rangeTimer_.start(0);
  }
}

void EditorWidget::RefreshRangeSlice() {
  // Lines between two looks at the clock: a small part of a millisecond of scanning.
  constexpr int kLinesPerStep = 256;
  rescanAfterPaint_ = false;
  if (rangeTimer_.interval() != 0) rangeTimer_.start(0);
  HighlightRanges& ranges = editor_.Document().Ranges();
  const TimeSlice slice;
  do
    ranges.RefreshNext(kLinesPerStep);
  while (!ranges.Current() && !slice.Over());
  if (ranges.Current()) rangeTimer_.stop();
}

void EditorWidget::SetEditorFont(const QFont& font) {
  drawer_.SetBaseFont(font);
  MeasureFont();
}

// ---------------------------------------------------------------- view interface

void EditorWidget::InvalidateRect(const PixelRect& rect) {
  const QRect area(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
  dirty_ += area;
  UpdateArea(area);
}

void EditorWidget::UpdateArea(const QRegion& area) {
  if (scrollPending_)
    pendingScrollDamage_ += area;
  else
    viewport()->update(area);
}

// A blit moves the whole view, so several scrolls before the next paint (a caret walking line by
// line through undo steps) become one. Damage Qt already holds moves with the blit; damage asked
// for after the first scroll waits, in scrolled coordinates, until the blit is done.
void EditorWidget::ScrollPixels(int dy) {
  // The caret image moves with the pixels; take it out first and draw it again afterwards.
  UpdateArea(caretShown_);
  if (scrollPending_) {
    pendingScrollDamage_.translate(0, dy);
  } else {
    scrollPending_ = true;
    // Queued at normal priority, so it runs before the low-priority update request paints.
    QMetaObject::invokeMethod(
        this, [this] { ApplyPendingScroll(); }, Qt::QueuedConnection);
  }
  pendingScrollDy_ += dy;
  caretShown_.translate(0, dy);
  UpdateCaret();
}

void EditorWidget::ApplyPendingScroll() {
  if (!scrollPending_) return;
  scrollPending_ = false;
  const int dy = std::exchange(pendingScrollDy_, 0);
  if (std::abs(dy) >= viewport()->height())
    viewport()->update();
  else if (dy != 0)
    viewport()->scroll(0, dy);
  viewport()->update(std::exchange(pendingScrollDamage_, QRegion()));
}

void EditorWidget::UpdateScrollBars() {
  updatingScrollBars_ = true;
  ApplyScrollInfo(verticalScrollBar(), editor_.Geometry().VerticalScrollInfo());
  ApplyScrollInfo(horizontalScrollBar(), editor_.Geometry().HorizontalScrollInfo());
  updatingScrollBars_ = false;
}

void EditorWidget::UpdateCaret() {
  UpdateArea(caretShown_);
  caretBlinkOn_ = true;
  if (caretTimer_.isActive()) caretTimer_.start();
  UpdateArea(CaretRect());
}

void EditorWidget::RepaintNow() {
  ApplyPendingScroll();
  if (!dirty_.isEmpty() && viewport()->isVisible()) viewport()->repaint(dirty_);
}

void EditorWidget::MeasureFont() {
  const Highlighter* highlighter = editor_.Document().HighLighter();
  const FontStyles styles = highlighter ? highlighter->UsedStyles() : FontStyle(drawer_.BaseFont());
  editor_.Geometry().SetFontMetrics(drawer_.CharWidth(styles), drawer_.FontHeight(styles));
}

QRect EditorWidget::CaretRect() const {
  const TextPoint pixel = editor_.Geometry().RowColumnToPixels(editor_.State().CaretXY());
  if (pixel.X < editor_.Geometry().GutterWidth() || pixel.X > editor_.Geometry().ClientWidth() ||
      pixel.Y < 0 || pixel.Y >= editor_.Geometry().ClientHeight())
    return {};
  const int cw = editor_.Geometry().CharWidth();
  const int lh = editor_.Geometry().LineHeight();
  // A bar between two characters while inserting, a block over the one to be replaced otherwise.
  if (editor_.State().InsertMode()) return {pixel.X - 1, pixel.Y, 2, lh};
  return {pixel.X, pixel.Y, cw, lh};
}

void EditorWidget::BlinkCaret() {
  caretBlinkOn_ = !caretBlinkOn_;
  UpdateArea(caretShown_.isEmpty() ? CaretRect() : caretShown_);
}

// ---------------------------------------------------------------- painting and size

void EditorWidget::paintEvent(QPaintEvent* event) {
  // Painting before a pending blit: the blit would move fresh pixels, so the whole view is
  // repainted instead (deltas never bring this back below the view's height).
  if (scrollPending_) pendingScrollDy_ = std::numeric_limits<int>::max() / 2;
  QPainter painter(viewport());
  QtCanvas canvas(painter, drawer_, palette(), editor_.Geometry().CharWidth(),
                  editor_.Geometry().LineHeight());
  const PaintContext context{hasFocus(), FontStyle(drawer_.BaseFont())};
  for (const QRect& rect : event->region())
    PaintEditor(editor_, canvas, {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1}, context);
  dirty_ -= event->region();
  if (std::exchange(rescanAfterPaint_, false)) rangeTimer_.start(0);
  caretShown_ = {};
  if (hasFocus() && caretBlinkOn_ && !editor_.State().HasOption(eoNoCaret)) {
    caretShown_ = CaretRect();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(caretShown_, Qt::white);
  }
}

void EditorWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  editor_.Geometry().SetClientSize(viewport()->width(), viewport()->height());
}

void EditorWidget::scrollContentsBy(int, int) {
  // The model scrolls the pixels itself (ScrollPixels); the bars only report actions.
}

// ---------------------------------------------------------------- keyboard

bool EditorWidget::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress && wantTabs_) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

template <typename Handler> void EditorWidget::ShowingErrors(Handler handler) {
  try {
    handler();
  } catch (const EditorError& error) {
    if (!questions_) throw;
    questions_->ShowError(error.Message());
  }
}

std::string EditorWidget::TypedBytes(const QString& text) const {
  const TextEncoding encoding = editor_.State().Encoding();
  const std::optional<std::string> bytes = FromUtf8(text.toStdString(), encoding);
  if (!bytes) throw EditorError(CannotHoldMessage(encoding));
  return *bytes;
}

void EditorWidget::keyPressEvent(QKeyEvent* event) {
  ShowingErrors([&] {
    const bool command = editor_.KeyDown(VirtualKeyFromQt(event->key(), event->modifiers()),
                                         ShiftStateFromQt(event->modifiers()));
    event->setAccepted(command || !event->text().isEmpty());
    // Qt delivers the key and its characters together; the model swallows a command key's
    // character.
    const TextEncoding encoding = editor_.State().Encoding();
    for (char32_t code : event->text().toUcs4()) {
      const std::optional<std::string> bytes = EncodeChar(code, encoding);
      if (!bytes) throw EditorError(CannotHoldMessage(encoding));
      editor_.KeyPress(*bytes);
    }
  });
}

void EditorWidget::inputMethodEvent(QInputMethodEvent* event) {
  event->accept();
  // Qt sends no separate characters after a committed string, so nothing is to be skipped.
  ShowingErrors([&] {
    const std::string text = TypedBytes(event->commitString());
    if (!text.empty()) editor_.ExecuteCommand(ecImeStr, 0, text.c_str());
  });
}

// ---------------------------------------------------------------- mouse

TextPoint EditorWidget::PositionAt(QPoint pixel) const {
  return editor_.Geometry().PixelsToRowColumn(pixel.x(), pixel.y());
}

void EditorWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint pixel = event->position().toPoint();
  if (event->button() == Qt::MiddleButton) {
    PastePrimarySelectionAt(pixel);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  if (editor_.Geometry().InFoldColumn(pixel.x())) {
    editor_.ToggleFoldAt(editor_.Geometry().LineAtY(pixel.y()));
    return;
  }
  EditState& state = editor_.State();
  const int gutterWidth = editor_.Geometry().GutterWidth();
  leftButtonDown_ = true;
  mouseDownPixel_ = pixel;
  mousePixel_ = pixel;
  pressInGutter_ = pixel.x() < gutterWidth;
  const bool hadSelection = state.SelAvail();
  PaintLock lock(editor_);
  state.SetCaretXY(PositionAt(pixel));
  waitingForDrag_ = state.HasOption(eoDragDropEditing) && hadSelection && pixel.x() > gutterWidth &&
                    state.InsideSelection(state.CaretXY());
  if (!waitingForDrag_) {
    if (event->modifiers() & Qt::ShiftModifier)
      state.SetBlockEnd(state.CaretXY());
    else
      state.SetBlockBegin(state.CaretXY());
  }
}

void EditorWidget::PastePrimarySelectionAt(QPoint pixel) {
  EditState& state = editor_.State();
  if (!primary_ || state.ReadOnly()) return;
  PaintLock lock(editor_);
  state.SetCaretXY(PositionAt(pixel));
  state.SetBlockBegin(state.CaretXY());
  // Another program's text goes in as it is, without the line end a plain paste adds.
  ShowingErrors([&] {
    if (primary_->BlockData())
      editor_.PasteFrom(*primary_);
    else if (const std::optional<std::string> text = primary_->PlainText())
      editor_.SetSelText(TypedBytes(QString::fromStdString(*text)));
  });
}

void EditorWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!leftButtonDown_) return;
  EditState& state = editor_.State();
  const ViewGeometry& view = editor_.Geometry();
  mousePixel_ = event->position().toPoint();
  if (waitingForDrag_) {
    if ((mousePixel_ - mouseDownPixel_).manhattanLength() >= QApplication::startDragDistance() &&
        !state.ReadOnly())
      StartDrag();
    return;
  }
  const bool inside = mousePixel_.x() >= view.GutterWidth() && mousePixel_.x() < view.ClientWidth() &&
                      mousePixel_.y() >= 0 && mousePixel_.y() < view.ClientHeight();
  if (!inside) {
    if (!autoScrollTimer_.isActive()) AutoScrollStep();
    return;
  }
  autoScrollTimer_.stop();
  PaintLock lock(editor_);
  state.SetCaretXY(PositionAt(mousePixel_));
  state.SetBlockEnd(state.CaretXY());
}

void EditorWidget::StartDrag() {
  waitingForDrag_ = false;
  leftButtonDown_ = false;
  auto* data = new QMimeData;
  const EditState& state = editor_.State();
  data->setText(QString::fromStdString(ToUtf8(SelectedText(editor_.Document(), state), state.Encoding())));
  data->setData(kDragMimeType, QByteArray::number(reinterpret_cast<quintptr>(this)));
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

bool EditorWidget::OwnDrag(const QMimeData* data) const {
  return data->data(kDragMimeType) == QByteArray::number(reinterpret_cast<quintptr>(this));
}

void EditorWidget::AutoScrollStep() {
  if (!leftButtonDown_) return;
  EditState& state = editor_.State();
  ViewGeometry& view = editor_.Geometry();
  const QPoint p = mousePixel_;
  int distance = 0;
  {
    PaintLock lock(editor_);
    if (p.x() < view.GutterWidth()) {
      distance = view.GutterWidth() - p.x();
      view.SetLeftChar(view.LeftChar() - (distance > 9 ? 8 : 1));
    } else if (p.x() > view.ClientWidth()) {
      distance = p.x() - view.ClientWidth();
      view.SetLeftChar(view.LeftChar() + (distance > 9 ? 8 : 1));
    }
    if (p.y() < 0) {
      distance = std::max(distance, -p.y());
      view.SetTopRow(view.TopRow() - (-p.y() > 9 ? view.LinesInWindow() : 1));
    } else if (p.y() > view.ClientHeight()) {
      distance = std::max(distance, p.y() - view.ClientHeight());
      view.SetTopRow(view.TopRow() + (p.y() - view.ClientHeight() < 10 ? 1 : view.LinesInWindow()));
    }
    // Caret and selection follow to the nearest visible position.
    const int textLeft = view.GutterWidth() + 2;
    const QPoint visible(std::clamp(p.x(), textLeft, std::max(view.ClientWidth() - 1, textLeft)),
                         std::clamp(p.y(), 0, std::max(view.ClientHeight() - 1, 0)));
    state.SetCaretXY(PositionAt(visible));
    state.SetBlockEnd(state.CaretXY());
  }
  RepaintNow();
  const bool outside =
      p.x() < view.GutterWidth() || p.x() > view.ClientWidth() || p.y() < 0 || p.y() > view.ClientHeight();
  if (outside) autoScrollTimer_.start(distance > kFarAway ? 0 : kAutoScrollPause);
}

void EditorWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const ViewGeometry& view = editor_.Geometry();
  const QPoint pixel = event->position().toPoint();
  autoScrollTimer_.stop();
  leftButtonDown_ = false;
  if (pressInGutter_ && pixel.x() < view.GutterWidth() && editor_.Events.OnGutterClick) {
    const TextDocument& document = editor_.Document();
    const int line = view.LineAtY(pixel.y());
    editor_.Events.OnGutterClick(
        pixel.x(), pixel.y(), line,
        line <= document.LineCount()
            ? document.Marks().MarkAt(line, pixel.x(), editor_.BookMarkOptions().Xoffset())
            : nullptr);
  }
  pressInGutter_ = false;
  if (waitingForDrag_) {
    waitingForDrag_ = false;
    editor_.State().SetBlockBegin(editor_.State().CaretXY());
  }
}

void EditorWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pixel = event->position().toPoint();
  if (event->button() != Qt::LeftButton || pixel.x() <= editor_.Geometry().GutterWidth()) return;
  leftButtonDown_ = true;
  waitingForDrag_ = false;
  mousePixel_ = pixel;
  PaintLock lock(editor_);
  editor_.State().SetCaretXY(PositionAt(pixel));
  SelectWordAtCaret(editor_.State(), editor_.Document());
}

void EditorWidget::wheelEvent(QWheelEvent* event) {
  editor_.Geometry().MouseWheel(event->angleDelta().y(), event->modifiers() & Qt::ControlModifier,
                                QApplication::wheelScrollLines());
  event->accept();
}

// ---------------------------------------------------------------- scroll bars

void EditorWidget::VerticalAction(int action) {
  if (updatingScrollBars_) return;
  if (const std::optional<ScrollAction> scroll = ScrollActionFromQt(action)) {
    editor_.Geometry().VerticalScroll(*scroll, verticalScrollBar()->sliderPosition());
    UpdateScrollBars();
    if (scrollHint_ && !scrollHint_->isHidden())
      scrollHint_->setText(QStringLiteral("Top Line: %1").arg(editor_.Geometry().TopLine()));
  }
}

void EditorWidget::HorizontalAction(int action) {
  if (updatingScrollBars_) return;
  if (const std::optional<ScrollAction> scroll = ScrollActionFromQt(action)) {
    editor_.Geometry().HorizontalScroll(*scroll, horizontalScrollBar()->sliderPosition());
    UpdateScrollBars();
  }
}

void EditorWidget::ShowScrollHint() {
  if (!editor_.State().HasOption(eoShowScrollHint)) return;
  if (!scrollHint_) {
    scrollHint_ = new QLabel(this);
    scrollHint_->setFrameShape(QFrame::Box);
    scrollHint_->setAutoFillBackground(true);
    scrollHint_->setBackgroundRole(QPalette::ToolTipBase);
    scrollHint_->setForegroundRole(QPalette::ToolTipText);
  }
  scrollHint_->setText(QStringLiteral("Top Line: %1").arg(editor_.Geometry().TopLine()));
  scrollHint_->adjustSize();
  const int right = viewport()->geometry().right() - 4;
  scrollHint_->move(right - scrollHint_->width(), 10);
  scrollHint_->show();
  scrollHint_->raise();
}

// ---------------------------------------------------------------- focus and drops

void EditorWidget::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  caretTimer_.start();
  UpdateCaret();
  if (editor_.Look().HideSelection) editor_.InvalidateAll();
}

void EditorWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  caretTimer_.stop();
  UpdateArea(caretShown_);
  if (editor_.Look().HideSelection) editor_.InvalidateAll();
}

void EditorWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (OwnDrag(event->mimeData())) event->acceptProposedAction();
}

void EditorWidget::dragMoveEvent(QDragMoveEvent* event) {
  if (!OwnDrag(event->mimeData())) return;
  // The caret follows the mouse; Ctrl copies.
  editor_.State().SetCaretXY(PositionAt(event->position().toPoint()));
  event->setDropAction(event->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
  event->accept();
}

void EditorWidget::dragLeaveEvent(QDragLeaveEvent*) {
  editor_.State().SetCaretXY(PositionAt(mouseDownPixel_));
}

void EditorWidget::dropEvent(QDropEvent* event) {
  if (!OwnDrag(event->mimeData())) return;
  const bool copy = event->modifiers() & Qt::ControlModifier;
  editor_.DropSelection(PositionAt(event->position().toPoint()), copy);
  event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
  event->accept();
}
