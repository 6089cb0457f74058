// A list of places in files, grouped by file: a row per file with its count of marks, then a row
// per line with its marks. Find in Files fills it with hits; any list of places found in files
// (references, say) can. The classic layout shows one "path:line: text" row per line instead.
// The view's model; the places themselves are plain data.
#pragma once

#include "FindInFilesSearch.h"

#include <QAbstractListModel>

#include <optional>
#include <string>
#include <vector>

struct Place {
  std::string file;
  int line = 0;
  bool operator==(const Place&) const = default;
};

class PlaceListModel : public QAbstractListModel {
  Q_OBJECT
public:
  enum class Layout { Grouped, Entries };
  // SegmentsRole: a line's row as a QStringList of texts, plain and marked in turn (the first
  // plain), tabs shown as blanks and a long line cut around its first mark.
  enum Role { SegmentsRole = Qt::UserRole + 1, IsFileRole };
  // The most bytes of a line a row shows.
  static constexpr std::size_t kShownBytes = 400;

  explicit PlaceListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

  void SetLayout(Layout layout);
  [[nodiscard]] Layout CurrentLayout() const { return layout_; }
  void Clear();
  // Adds a file's places after those there are; a file without any adds nothing.
  void Append(FileHits file);

  [[nodiscard]] int FileCount() const { return static_cast<int>(files_.size()); }
  [[nodiscard]] int MarkCount() const { return marks_; }
  [[nodiscard]] const std::vector<FileHits>& Files() const { return files_; }

  // The place a row stands for; a file's row stands for its first line.
  [[nodiscard]] std::optional<Place> PlaceAt(int row) const;
  // The next line's row after `current` (`step` 1) or before it (`step` -1); from the top or
  // the bottom when `current` is -1. None past the ends.
  [[nodiscard]] std::optional<int> NextLineRow(int current, int step) const;

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

private:
  struct Row {
    int file = 0;
    int line = -1; // the file's own row when negative
  };
  [[nodiscard]] QString Text(const Row& row) const;
  [[nodiscard]] QStringList Segments(const Row& row) const;

  Layout layout_ = Layout::Grouped;
  std::vector<FileHits> files_;
  std::vector<Row> rows_;
  int marks_ = 0;
};
