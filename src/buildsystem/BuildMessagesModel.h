// The message lines as a Qt list model for the "Debug" list view. A tool may print a million
// lines a second, so the model tells its views about new lines in batches, when the event loop
// next runs (a flood not more often than some thirty times a second), and each batch touches
// only the rows at the end.
#pragma once

#include "MessageLines.h"

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QTimer>

#include <optional>

class QListView;

class BuildMessagesModel : public QAbstractListModel, private MessageLines::Watcher {
  Q_OBJECT
public:
  explicit BuildMessagesModel(MessageLines& lines, QObject* parent = nullptr);
  ~BuildMessagesModel() override;

  [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

  // The line of a row as the build wrote it.
  [[nodiscard]] const std::string& Line(int row) const;

  // Tells the views what changed since the last time; runs by itself when the event loop runs.
  void Sync();
  // Lines came that the views do not show yet.
  [[nodiscard]] bool SyncPending() const { return sync_.isActive(); }

signals:
  // The last line changed or lines were added: the view selects the last line.
  void lastLineUpdated();

private:
  void LinesCleared() override;
  void LineAdded() override;
  void LastLineChanged() override;
  void OldestLinesDropped() override;
  void Changed();
  // Sync, unless a flood was shown less than a thirtieth of a second ago: then a little later.
  void SyncWhenDue();

  // Tells the views of the oldest lines that went since the last time; false when so many went
  // that starting over is simpler.
  bool RemoveDroppedRows();
  // Where the line a row stands for is now: rows keep their lines until the views hear of a
  // change, while the lines themselves move at once. None when the line went in between.
  [[nodiscard]] std::optional<std::size_t> LineOfRow(int row) const;

  MessageLines& lines_;
  int rows_ = 0;             // the rows the views know of
  std::size_t dropped_ = 0;  // the lines gone from the front as the views know it
  bool lastChanged_ = false; // the last known row's text changed since
  QTimer sync_;
  QElapsedTimer lastSync_;
  std::size_t linesSinceSync_ = 0;
};

// Makes `view` show `model` and select its last line as output arrives.
void FollowLastLine(QListView& view, BuildMessagesModel& model);
