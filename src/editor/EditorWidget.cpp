// The editor widget: Qt events in, model calls out; painting through the text drawer.
#include "EditorWidget.h"

#include "ClipboardBlock.h"
#include "CodePage.h"
#include "QtKeys.h"

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

bool QtClipboard::PutText(std::string_view plain, std::string_view block) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  auto* data = new QMimeData;
  QString text = BytesToQString(plain);
  if (lineFeeds_) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  data->setText(text);
  data->setData(kBlockMimeType, QByteArray(block.data(), static_cast<qsizetype>(block.size())));
  clipboard->setMimeData(data, mode_);
  return true;
}

std::optional<std::string> QtClipboard::BlockData() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode_);
  if (!data || !data->hasFormat(kBlockMimeType)) return std::nullopt;
  const QByteArray bytes = data->data(kBlockMimeType);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<std::string> QtClipboard::PlainText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode_);
  if (!data || !data->hasText()) return std::nullopt;
  return QStringToBytes(data->text());
}

EditorWidget::EditorWidget(QWidget* parent) : QAbstractScrollArea(parent) {
  resize(200, 150);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  core_.SetView(this);
  core_.SetClipboard(&clipboard_);
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
    if (primary_ && core_.SelAvail()) (void)core_.CopySelectionTo(*primary_);
  });

  QScrollBar* vertical = verticalScrollBar();
  connect(vertical, &QScrollBar::actionTriggered, this, [this](int action) { VerticalAction(action); });
  connect(vertical, &QScrollBar::sliderPressed, this, [this] { ShowScrollHint(); });
  connect(vertical, &QScrollBar::sliderReleased, this, [this] {
    if (scrollHint_) scrollHint_->hide();
  });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { HorizontalAction(action); });
  core_.SetClientSize(viewport()->width(), viewport()->height());
}

EditorWidget::~EditorWidget() {
  caretTimer_.stop();
  autoScrollTimer_.stop();
  rangeTimer_.stop();
  core_.SetView(nullptr);
}

void EditorWidget::SetClipboardLineFeeds(bool value) {
  clipboard_.SetLineFeeds(value);
  primarySelection_.SetLineFeeds(value);
}

void EditorWidget::SelectionChanged() {
  if (primary_ && !primaryTimer_.isActive()) primaryTimer_.start(0);
}

void EditorWidget::RangesBehind() {
  if (!rangeTimer_.isActive()) rangeTimer_.start(0);
}

void EditorWidget::RefreshRangeSlice() {
  // A slice takes a few milliseconds, well inside a frame.
  constexpr int kSliceLines = 50000;
  HighlightRanges& ranges = core_.Document().Ranges();
  ranges.RefreshNext(kSliceLines);
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
  ApplyScrollInfo(verticalScrollBar(), core_.VerticalScrollInfo());
  ApplyScrollInfo(horizontalScrollBar(), core_.HorizontalScrollInfo());
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
  const FontStyles styles = core_.HighLighter() ? core_.AttributeStyles() : FontStyle(drawer_.BaseFont());
  core_.SetFontMetrics(drawer_.CharWidth(styles), drawer_.FontHeight(styles));
}

QRect EditorWidget::CaretRect() const {
  const TextPoint pixel = core_.RowColumnToPixels(core_.CaretXY());
  if (pixel.X < core_.GutterWidth() || pixel.X > core_.ClientWidth() || pixel.Y < 0 ||
      pixel.Y >= core_.ClientHeight())
    return {};
  const int cw = core_.CharWidth();
  const int lh = core_.LineHeight();
  // A bar between two characters while inserting, a block over the one to be replaced otherwise.
  if (core_.InsertMode()) return {pixel.X - 1, pixel.Y, 2, lh};
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
  QtCanvas canvas(painter, drawer_, palette(), core_.CharWidth(), core_.LineHeight());
  const PaintContext context{hasFocus(), FontStyle(drawer_.BaseFont())};
  for (const QRect& rect : event->region())
    PaintEditor(core_, canvas, {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1}, context);
  dirty_ -= event->region();
  caretShown_ = {};
  if (hasFocus() && caretBlinkOn_ && !core_.HasOption(eoNoCaret)) {
    caretShown_ = CaretRect();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(caretShown_, Qt::white);
  }
}

void EditorWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  core_.SetClientSize(viewport()->width(), viewport()->height());
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

void EditorWidget::keyPressEvent(QKeyEvent* event) {
  const bool command =
      core_.KeyDown(VirtualKeyFromQt(event->key(), event->modifiers()), ShiftStateFromQt(event->modifiers()));
  // Qt delivers the key and its characters together; the model swallows a command key's character.
  for (QChar ch : event->text())
    if (std::optional<char> byte = CharToByte(ch)) core_.KeyPress(*byte);
  event->setAccepted(command || !event->text().isEmpty());
}

void EditorWidget::inputMethodEvent(QInputMethodEvent* event) {
  // Qt sends no separate characters after a committed string, so nothing is to be skipped.
  const std::string text = QStringToBytes(event->commitString());
  if (!text.empty()) core_.ExecuteCommand(ecImeStr, 0, text.c_str());
  event->accept();
}

// ---------------------------------------------------------------- mouse

TextPoint EditorWidget::PositionAt(QPoint pixel) const {
  return core_.PixelsToRowColumn(pixel.x(), pixel.y());
}

void EditorWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint pixel = event->position().toPoint();
  if (event->button() == Qt::MiddleButton) {
    PastePrimarySelectionAt(pixel);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  leftButtonDown_ = true;
  mouseDownPixel_ = pixel;
  mousePixel_ = pixel;
  pressInGutter_ = pixel.x() < core_.GutterWidth();
  const bool hadSelection = core_.SelAvail();
  core_.IncPaintLock();
  core_.SetCaretXY(PositionAt(pixel));
  waitingForDrag_ = core_.HasOption(eoDragDropEditing) && hadSelection && pixel.x() > core_.GutterWidth() &&
                    core_.InsideSelection(core_.CaretXY());
  if (!waitingForDrag_) {
    if (event->modifiers() & Qt::ShiftModifier)
      core_.SetBlockEnd(core_.CaretXY());
    else
      core_.SetBlockBegin(core_.CaretXY());
  }
  core_.DecPaintLock();
}

void EditorWidget::PastePrimarySelectionAt(QPoint pixel) {
  if (!primary_ || core_.ReadOnly()) return;
  PaintLock lock(core_);
  core_.SetCaretXY(PositionAt(pixel));
  core_.SetBlockBegin(core_.CaretXY());
  // Another program's text goes in as it is, without the line end a plain paste adds.
  if (primary_->BlockData())
    core_.PasteFrom(*primary_);
  else if (const std::optional<std::string> text = primary_->PlainText())
    core_.SetSelText(*text);
}

void EditorWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!leftButtonDown_) return;
  mousePixel_ = event->position().toPoint();
  if (waitingForDrag_) {
    if ((mousePixel_ - mouseDownPixel_).manhattanLength() >= QApplication::startDragDistance() &&
        !core_.ReadOnly())
      StartDrag();
    return;
  }
  const bool inside = mousePixel_.x() >= core_.GutterWidth() && mousePixel_.x() < core_.ClientWidth() &&
                      mousePixel_.y() >= 0 && mousePixel_.y() < core_.ClientHeight();
  if (!inside) {
    if (!autoScrollTimer_.isActive()) AutoScrollStep();
    return;
  }
  autoScrollTimer_.stop();
  core_.IncPaintLock();
  core_.SetCaretXY(PositionAt(mousePixel_));
  core_.SetBlockEnd(core_.CaretXY());
  core_.DecPaintLock();
}

void EditorWidget::StartDrag() {
  waitingForDrag_ = false;
  leftButtonDown_ = false;
  auto* data = new QMimeData;
  data->setText(BytesToQString(core_.SelText()));
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
  const QPoint p = mousePixel_;
  int distance = 0;
  core_.IncPaintLock();
  if (p.x() < core_.GutterWidth()) {
    distance = core_.GutterWidth() - p.x();
    core_.SetLeftChar(core_.LeftChar() - (distance > 9 ? 8 : 1));
  } else if (p.x() > core_.ClientWidth()) {
    distance = p.x() - core_.ClientWidth();
    core_.SetLeftChar(core_.LeftChar() + (distance > 9 ? 8 : 1));
  }
  if (p.y() < 0) {
    distance = std::max(distance, -p.y());
    core_.SetTopLine(core_.TopLine() - (-p.y() > 9 ? core_.LinesInWindow() : 1));
  } else if (p.y() > core_.ClientHeight()) {
    distance = std::max(distance, p.y() - core_.ClientHeight());
    core_.SetTopLine(core_.TopLine() + (p.y() - core_.ClientHeight() < 10 ? 1 : core_.LinesInWindow()));
  }
  // Caret and selection follow to the nearest visible position.
  const QPoint visible(
      std::clamp(p.x(), core_.GutterWidth() + 2, std::max(core_.ClientWidth() - 1, core_.GutterWidth() + 2)),
      std::clamp(p.y(), 0, std::max(core_.ClientHeight() - 1, 0)));
  core_.SetCaretXY(PositionAt(visible));
  core_.SetBlockEnd(core_.CaretXY());
  core_.DecPaintLock();
  RepaintNow();
  const bool outside =
      p.x() < core_.GutterWidth() || p.x() > core_.ClientWidth() || p.y() < 0 || p.y() > core_.ClientHeight();
  if (outside) autoScrollTimer_.start(distance > kFarAway ? 0 : kAutoScrollPause);
}

void EditorWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint pixel = event->position().toPoint();
  autoScrollTimer_.stop();
  leftButtonDown_ = false;
  if (pressInGutter_ && pixel.x() < core_.GutterWidth() && core_.OnGutterClick) {
    const int line = core_.TopLine() + pixel.y() / core_.LineHeight();
    core_.OnGutterClick(pixel.x(), pixel.y(), line,
                        line <= core_.LineCount()
                            ? core_.Marks().MarkAt(line, pixel.x(), core_.BookMarkOptions().Xoffset())
                            : nullptr);
  }
  pressInGutter_ = false;
  if (waitingForDrag_) {
    waitingForDrag_ = false;
    core_.SetBlockBegin(core_.CaretXY());
  }
}

void EditorWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pixel = event->position().toPoint();
  if (event->button() != Qt::LeftButton || pixel.x() <= core_.GutterWidth()) return;
  leftButtonDown_ = true;
  waitingForDrag_ = false;
  mousePixel_ = pixel;
  core_.IncPaintLock();
  core_.SetCaretXY(PositionAt(pixel));
  core_.SelectWordAtCaret();
  core_.DecPaintLock();
}

void EditorWidget::wheelEvent(QWheelEvent* event) {
  core_.MouseWheel(event->angleDelta().y(), event->modifiers() & Qt::ControlModifier,
                   QApplication::wheelScrollLines());
  event->accept();
}

// ---------------------------------------------------------------- scroll bars

void EditorWidget::VerticalAction(int action) {
  if (updatingScrollBars_) return;
  if (const std::optional<ScrollAction> scroll = ScrollActionFromQt(action)) {
    core_.VerticalScroll(*scroll, verticalScrollBar()->sliderPosition());
    UpdateScrollBars();
    if (scrollHint_ && !scrollHint_->isHidden())
      scrollHint_->setText(QStringLiteral("Top Line: %1").arg(core_.TopLine()));
  }
}

void EditorWidget::HorizontalAction(int action) {
  if (updatingScrollBars_) return;
  if (const std::optional<ScrollAction> scroll = ScrollActionFromQt(action)) {
    core_.HorizontalScroll(*scroll, horizontalScrollBar()->sliderPosition());
    UpdateScrollBars();
  }
}

void EditorWidget::ShowScrollHint() {
  if (!core_.HasOption(eoShowScrollHint)) return;
  if (!scrollHint_) {
    scrollHint_ = new QLabel(this);
    scrollHint_->setFrameShape(QFrame::Box);
    scrollHint_->setAutoFillBackground(true);
    scrollHint_->setBackgroundRole(QPalette::ToolTipBase);
    scrollHint_->setForegroundRole(QPalette::ToolTipText);
  }
  scrollHint_->setText(QStringLiteral("Top Line: %1").arg(core_.TopLine()));
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
  if (core_.HideSelection()) core_.InvalidateAll();
}

void EditorWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  caretTimer_.stop();
  UpdateArea(caretShown_);
  if (core_.HideSelection()) core_.InvalidateAll();
}

void EditorWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (OwnDrag(event->mimeData()) || (core_.HasOption(eoDropFiles) && event->mimeData()->hasUrls()))
    event->acceptProposedAction();
}

void EditorWidget::dragMoveEvent(QDragMoveEvent* event) {
  if (!OwnDrag(event->mimeData())) return;
  // The caret follows the mouse; Ctrl copies.
  core_.SetCaretXY(PositionAt(event->position().toPoint()));
  event->setDropAction(event->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
  event->accept();
}

void EditorWidget::dragLeaveEvent(QDragLeaveEvent*) { core_.SetCaretXY(PositionAt(mouseDownPixel_)); }

void EditorWidget::dropEvent(QDropEvent* event) {
  if (OwnDrag(event->mimeData())) {
    const bool copy = event->modifiers() & Qt::ControlModifier;
    core_.DropSelection(PositionAt(event->position().toPoint()), copy);
    event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    return;
  }
  if (!core_.HasOption(eoDropFiles) || !core_.OnDropFiles) return;
  std::vector<std::string> files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  const QPoint pixel = event->position().toPoint();
  core_.OnDropFiles(pixel.x(), pixel.y(), files);
  event->acceptProposedAction();
}
