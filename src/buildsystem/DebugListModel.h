// The message lines as a Qt list model for the "Debug" list view: each change touches only the
// last row, so long outputs stay cheap to show.
#pragma once

#include "MessageLines.h"

#include <QAbstractListModel>

class QListView;

class DebugListModel : public QAbstractListModel, private MessageLines::Watcher {
  Q_OBJECT
public:
  explicit DebugListModel(MessageLines& lines, QObject* parent = nullptr);
  ~DebugListModel() override;

  [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

  // The line of a row as the build wrote it.
  [[nodiscard]] const std::string& Line(int row) const;

signals:
  // The last line changed or a line was added: the view selects the last line.
  void lastLineUpdated();

private:
  void LinesCleared() override;
  void LineAdded() override;
  void LastLineChanged() override;

  MessageLines& lines_;
  int rows_ = 0;
};

// Makes `view` show `model` and select its last line as output arrives.
void FollowLastLine(QListView& view, DebugListModel& model);
