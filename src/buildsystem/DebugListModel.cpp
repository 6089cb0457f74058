// A very long line (a tool printing without line ends) is shown cut; the line itself stays whole.
// Bytes show as Latin-1, which differs from the Windows code page only in 0x80-0x9F.
#include "DebugListModel.h"

#include <QListView>

namespace {
constexpr std::size_t kShownLineLength = 4096;
}

DebugListModel::DebugListModel(MessageLines& lines, QObject* parent)
    : QAbstractListModel(parent), lines_(lines), rows_(static_cast<int>(lines.Lines().size())) {
  lines_.AddWatcher(this);
}

DebugListModel::~DebugListModel() { lines_.RemoveWatcher(this); }

int DebugListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

const std::string& DebugListModel::Line(int row) const {
  return lines_.Lines()[static_cast<std::size_t>(row)];
}

QVariant DebugListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
  const std::string& line = Line(index.row());
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(std::min(line.size(), kShownLineLength)));
}

void DebugListModel::LinesCleared() {
  beginResetModel();
  rows_ = 0;
  endResetModel();
}

void DebugListModel::LineAdded() {
  beginInsertRows(QModelIndex(), rows_, rows_);
  ++rows_;
  endInsertRows();
  emit lastLineUpdated();
}

void DebugListModel::LastLineChanged() {
  const QModelIndex last = index(rows_ - 1);
  emit dataChanged(last, last, {Qt::DisplayRole});
  emit lastLineUpdated();
}

void FollowLastLine(QListView& view, DebugListModel& model) {
  view.setModel(&model);
  view.setUniformItemSizes(true);
  QObject::connect(&model, &DebugListModel::lastLineUpdated, &view, [&view, &model] {
    const QModelIndex last = model.index(model.rowCount() - 1);
    view.setCurrentIndex(last);
    view.scrollTo(last);
  });
}
