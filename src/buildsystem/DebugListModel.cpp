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
  sync_.setSingleShot(true);
  sync_.setInterval(0);
  connect(&sync_, &QTimer::timeout, this, &DebugListModel::Sync);
}

DebugListModel::~DebugListModel() { lines_.RemoveWatcher(this); }

int DebugListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

const std::string& DebugListModel::Line(int row) const {
  return lines_.Lines()[static_cast<std::size_t>(row)];
}

QVariant DebugListModel::data(const QModelIndex& index, int role) const {
  // Between a change and the next Sync a known row may be gone already.
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ ||
      static_cast<std::size_t>(index.row()) >= lines_.Lines().size())
    return {};
  const std::string& line = Line(index.row());
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(std::min(line.size(), kShownLineLength)));
}

void DebugListModel::Sync() {
  sync_.stop();
  const int lines = static_cast<int>(lines_.Lines().size());
  if (reset_) {
    beginResetModel();
    rows_ = lines;
    endResetModel();
  } else if (lines > rows_) {
    if (lastChanged_ && rows_ > 0) emit dataChanged(index(rows_ - 1), index(rows_ - 1), {Qt::DisplayRole});
    beginInsertRows(QModelIndex(), rows_, lines - 1);
    rows_ = lines;
    endInsertRows();
  } else if (lastChanged_ && rows_ > 0) {
    emit dataChanged(index(rows_ - 1), index(rows_ - 1), {Qt::DisplayRole});
  }
  reset_ = lastChanged_ = false;
  emit lastLineUpdated();
}

void DebugListModel::Changed() {
  if (!sync_.isActive()) sync_.start();
}

void DebugListModel::LinesCleared() {
  // At once: every row is gone, so none may be asked for.
  beginResetModel();
  rows_ = 0;
  reset_ = lastChanged_ = false;
  endResetModel();
}

void DebugListModel::LineAdded() { Changed(); }

void DebugListModel::LastLineChanged() {
  lastChanged_ = true;
  Changed();
}

void DebugListModel::OldestLinesDropped() {
  reset_ = true;
  Changed();
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
