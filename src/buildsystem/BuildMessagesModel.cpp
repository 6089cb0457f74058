// A very long line (a tool printing without line ends) is shown cut; the line itself stays whole.
// Bytes show as Latin-1, which differs from the Windows code page only in 0x80-0x9F.
#include "BuildMessagesModel.h"

#include <QListView>

namespace {
constexpr std::size_t kShownLineLength = 4096;
// A flood is shown some thirty times a second: each showing costs a repaint of the list. A few
// lines show at once.
constexpr qint64 kSyncEveryMs = 30;
constexpr std::size_t kFloodLines = 1000;
} // namespace

BuildMessagesModel::BuildMessagesModel(MessageLines& lines, QObject* parent)
    : QAbstractListModel(parent), lines_(lines), rows_(static_cast<int>(lines.Lines().size())) {
  lines_.AddWatcher(this);
  sync_.setSingleShot(true);
  connect(&sync_, &QTimer::timeout, this, &BuildMessagesModel::SyncWhenDue);
}

BuildMessagesModel::~BuildMessagesModel() { lines_.RemoveWatcher(this); }

int BuildMessagesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

std::optional<std::size_t> BuildMessagesModel::LineOfRow(int row) const {
  if (row < 0 || row >= rows_) return std::nullopt;
  // Counted among all the lines ever added, with the notice (when there is one) standing first.
  const std::size_t notice = dropped_ > 0 ? 1 : 0;
  if (static_cast<std::size_t>(row) < notice) return 0;
  const std::size_t added = dropped_ + static_cast<std::size_t>(row) - notice;
  const std::size_t nowNotice = lines_.Dropped() > 0 ? 1 : 0;
  if (added < lines_.Dropped()) return std::nullopt;
  const std::size_t at = added - lines_.Dropped() + nowNotice;
  if (at >= lines_.Lines().size()) return std::nullopt;
  return at;
}

const std::string& BuildMessagesModel::Line(int row) const {
  static const std::string gone;
  const std::optional<std::size_t> at = LineOfRow(row);
  return at ? lines_.Lines()[*at] : gone;
}

QVariant BuildMessagesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const std::string& line = Line(index.row());
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(std::min(line.size(), kShownLineLength)));
}

bool BuildMessagesModel::RemoveDroppedRows() {
  const std::size_t gone = lines_.Dropped() - dropped_;
  if (gone == 0) return true;
  if (gone + 1 >= static_cast<std::size_t>(rows_)) return false;
  // The first row becomes the notice and the rows after it that went are removed; a notice
  // already there stands for the first of the lines that went.
  const int first = dropped_ > 0 ? 1 : 0;
  const int removed = static_cast<int>(gone) - (1 - first);
  dropped_ = lines_.Dropped();
  if (removed > 0) {
    beginRemoveRows(QModelIndex(), 1, removed);
    rows_ -= removed;
    endRemoveRows();
  }
  emit dataChanged(index(0), index(0), {Qt::DisplayRole});
  return true;
}

void BuildMessagesModel::SyncWhenDue() {
  if (linesSinceSync_ >= kFloodLines && lastSync_.isValid() && lastSync_.elapsed() < kSyncEveryMs)
    return sync_.start(static_cast<int>(kSyncEveryMs - lastSync_.elapsed()));
  Sync();
}

void BuildMessagesModel::Sync() {
  sync_.stop();
  lastSync_.start();
  linesSinceSync_ = 0;
  const int lines = static_cast<int>(lines_.Lines().size());
  if (!RemoveDroppedRows()) {
    beginResetModel();
    rows_ = lines;
    dropped_ = lines_.Dropped();
    lastChanged_ = false;
    endResetModel();
  }
  if (lines > rows_) {
    if (lastChanged_ && rows_ > 0) emit dataChanged(index(rows_ - 1), index(rows_ - 1), {Qt::DisplayRole});
    beginInsertRows(QModelIndex(), rows_, lines - 1);
    rows_ = lines;
    endInsertRows();
  } else if (lastChanged_ && rows_ > 0) {
    emit dataChanged(index(rows_ - 1), index(rows_ - 1), {Qt::DisplayRole});
  }
  lastChanged_ = false;
  emit lastLineUpdated();
}

void BuildMessagesModel::Changed() {
  if (!sync_.isActive()) sync_.start(0);
}

void BuildMessagesModel::LinesCleared() {
  // At once: every row is gone, so none may be asked for.
  beginResetModel();
  rows_ = 0;
  dropped_ = 0;
  lastChanged_ = false;
  endResetModel();
}

void BuildMessagesModel::LineAdded() {
  ++linesSinceSync_;
  Changed();
}

void BuildMessagesModel::LastLineChanged() {
  lastChanged_ = true;
  Changed();
}

void BuildMessagesModel::OldestLinesDropped() { Changed(); }

void FollowLastLine(QListView& view, BuildMessagesModel& model) {
  view.setModel(&model);
  view.setUniformItemSizes(true);
  QObject::connect(&model, &BuildMessagesModel::lastLineUpdated, &view, [&view, &model] {
    const QModelIndex last = model.index(model.rowCount() - 1);
    view.setCurrentIndex(last);
    view.scrollTo(last);
  });
}
