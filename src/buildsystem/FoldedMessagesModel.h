// The "Debug" list as a desktop shows it: the assembler's statistics folded into its summary line
// (a double-click on it shows or folds them), and errors and warnings in colour. A view over the
// message model: the lines themselves stay as the tools wrote them.
#pragma once

#include "BuildMessagesModel.h"

#include <QSortFilterProxyModel>

#include <string_view>

class QListView;

enum class MessageTone { Plain, Error, Warning, Detail };

// The assembler's `-v` statistics ("pass 0: ...", segment sizes, hash table statistics, ...), which
// say nothing when the build went well; its "N total errors" line is the summary, not a detail.
[[nodiscard]] bool IsToolDetail(std::string_view line);
// The summary line that stands for the details before it.
[[nodiscard]] bool IsDetailSummary(std::string_view line);
// How a line is shown: an error or a warning of a tool, a detail, or plain.
[[nodiscard]] MessageTone ToneOfMessage(const std::string& line);

class FoldedMessagesModel : public QSortFilterProxyModel {
  Q_OBJECT
public:
  explicit FoldedMessagesModel(BuildMessagesModel& lines, QObject* parent = nullptr);

  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

  // The line of a shown row as the tool wrote it.
  [[nodiscard]] const std::string& Line(int row) const;
  [[nodiscard]] BuildMessagesModel& Lines() const { return lines_; }
  [[nodiscard]] bool IsSummaryRow(int row) const { return IsDetailSummary(Line(row)); }

  [[nodiscard]] bool DetailsShown() const { return detailsShown_; }
  void ShowDetails(bool shown);

protected:
  [[nodiscard]] bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
  BuildMessagesModel& lines_;
  bool detailsShown_ = false;
};

// Makes `view` show `model` and select its last shown line as output arrives.
void FollowLastLine(QListView& view, FoldedMessagesModel& model);
