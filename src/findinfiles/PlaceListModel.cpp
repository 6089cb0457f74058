#include "PlaceListModel.h"

#include "DisplayText.h"
#include "TextEncoding.h"

namespace {

// A line's bytes read as its file's are: UTF-8 when they are, else Windows-1252.
TextEncoding EncodingOf(std::string_view line) {
  return ReadsAsUtf8(line) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString Shown(std::string_view bytes, TextEncoding encoding) {
  QString text = QString::fromStdString(ToUtf8(bytes, encoding));
  text.replace('\t', ' ');
  return text;
}

} // namespace

void PlaceListModel::SetLayout(Layout layout) {
  if (layout == layout_) return;
  beginResetModel();
  layout_ = layout;
  std::vector<FileHits> files = std::move(files_);
  files_.clear();
  rows_.clear();
  marks_ = 0;
  endResetModel();
  for (FileHits& file : files)
    Append(std::move(file));
}

void PlaceListModel::Clear() {
  beginResetModel();
  files_.clear();
  rows_.clear();
  marks_ = 0;
  endResetModel();
}

void PlaceListModel::Append(FileHits file) {
  if (file.lines.empty()) return;
  const int first = static_cast<int>(rows_.size());
  const int lines = static_cast<int>(file.lines.size());
  const bool grouped = layout_ == Layout::Grouped;
  beginInsertRows({}, first, first + lines - (grouped ? 0 : 1));
  const int index = static_cast<int>(files_.size());
  if (grouped) rows_.push_back({index, -1});
  for (int line = 0; line < lines; ++line)
    rows_.push_back({index, line});
  marks_ += file.MatchCount();
  files_.push_back(std::move(file));
  endInsertRows();
}

std::optional<Place> PlaceListModel::PlaceAt(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
  const Row& at = rows_[static_cast<std::size_t>(row)];
  const FileHits& file = files_[static_cast<std::size_t>(at.file)];
  return Place{file.path, file.lines[static_cast<std::size_t>(std::max(at.line, 0))].line};
}

std::optional<int> PlaceListModel::NextLineRow(int current, int step) const {
  const int count = static_cast<int>(rows_.size());
  if (current < 0 || current >= count) current = step > 0 ? -1 : count;
  for (int row = current + step; row >= 0 && row < count; row += step)
    if (rows_[static_cast<std::size_t>(row)].line >= 0) return row;
  return std::nullopt;
}

int PlaceListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QString PlaceListModel::Text(const Row& row) const {
  const FileHits& file = files_[static_cast<std::size_t>(row.file)];
  if (row.line < 0) {
    const int marks = file.MatchCount();
    return ToDisplay(file.path) + QString(" (%1)").arg(marks);
  }
  const LineHit& line = file.lines[static_cast<std::size_t>(row.line)];
  if (layout_ == Layout::Entries) return ToDisplay(FindInFilesEntry(file.path, line.line, line.text));
  return QString("%1: ").arg(line.line, 6) + Shown(line.text, EncodingOf(line.text));
}

QStringList PlaceListModel::Segments(const Row& row) const {
  const LineHit& hit = files_[static_cast<std::size_t>(row.file)].lines[static_cast<std::size_t>(row.line)];
  const std::string_view text = hit.text;
  const TextEncoding encoding = EncodingOf(text);
  // A long line shows a little of what comes before its first mark, and the rest up to the limit.
  std::size_t from = 0;
  if (text.size() > kShownBytes && !hit.matches.empty() && hit.matches.front().start > kShownBytes / 4)
    from = hit.matches.front().start - kShownBytes / 8;
  const std::size_t to = std::min(text.size(), from + kShownBytes);
  QStringList segments{QString("%1: ").arg(hit.line, 6) + (from > 0 ? QString("...") : QString())};
  std::size_t shown = from;
  for (const TextMatch& match : hit.matches) {
    const std::size_t start = std::max(match.start, shown), end = std::min(match.start + match.length, to);
    if (start >= to) break;
    segments.back() += Shown(text.substr(shown, start - shown), encoding);
    segments.append(Shown(text.substr(start, end > start ? end - start : 0), encoding));
    segments.append(QString());
    shown = std::max(end, start);
  }
  segments.back() +=
      Shown(text.substr(shown, to - shown), encoding) + (to < text.size() ? QString("...") : QString());
  return segments;
}

QVariant PlaceListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  switch (role) {
  case Qt::DisplayRole: return Text(row);
  case IsFileRole: return row.line < 0;
  case SegmentsRole:
    if (row.line < 0 || layout_ == Layout::Entries) return {};
    return Segments(row);
  default: return {};
  }
}
