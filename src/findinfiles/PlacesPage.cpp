// The list draws its rows itself: a file's row in bold, a line's row with its marks on the
// highlight colour.
#include "PlacesPage.h"

#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

class MarkedRowDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QStringList segments = index.data(PlaceListModel::SegmentsRole).toStringList();
    if (segments.isEmpty()) {
      QStyleOptionViewItem bold = option;
      bold.font.setBold(index.data(PlaceListModel::IsFileRole).toBool());
      QStyledItemDelegate::paint(painter, bold, index);
      return;
    }
    QStyleOptionViewItem base = option;
    initStyleOption(&base, index);
    base.text.clear();
    base.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    QRect area = option.rect.adjusted(3, 0, 0, 0);
    painter->save();
    painter->setFont(option.font);
    const QFontMetrics metrics(option.font);
    for (int i = 0; i < segments.size() && area.width() > 0; ++i) {
      const int width = metrics.horizontalAdvance(segments[i]);
      const bool marked = i % 2 == 1;
      if (marked)
        painter->fillRect(QRect(area.left(), area.top(), width, area.height()), QColor(255, 214, 0));
      painter->setPen(marked ? QColor(Qt::black)
                             : palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
      painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, segments[i]);
      area.setLeft(area.left() + width);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), QFontMetrics(option.font).height() + 2};
  }
};

} // namespace

PlacesPage::PlacesPage(QWidget* parent) : QWidget(parent), summary_(new QLabel), list_(new QListView) {
  QFont font("Courier New", 8);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  list_->setFont(font);
  list_->setUniformItemSizes(true);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setItemDelegate(new MarkedRowDelegate(list_));
  list_->setModel(&model_);
  summary_->setContentsMargins(4, 2, 4, 2);
  summary_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(summary_);
  layout->addWidget(list_);
  setFocusProxy(list_);
  connect(list_, &QListView::activated, this, [this](const QModelIndex& index) { Choose(index.row()); });
}

QString PlacesPage::Summary() const { return summary_->text(); }

void PlacesPage::SetSummary(const QString& text) {
  summary_->setText(text);
  summary_->setVisible(!text.isEmpty());
}

void PlacesPage::SelectRow(int row) {
  const QModelIndex index = model_.index(row, 0);
  list_->setCurrentIndex(index);
  list_->scrollTo(index);
}

bool PlacesPage::Step(int step) {
  const QModelIndex current = list_->currentIndex();
  const auto row = model_.NextLineRow(current.isValid() ? current.row() : -1, step);
  if (!row) return false;
  SelectRow(*row);
  Choose(*row);
  return true;
}

void PlacesPage::Choose(int row) {
  if (const auto place = model_.PlaceAt(row); place && OnPlaceChosen) OnPlaceChosen(*place);
}
