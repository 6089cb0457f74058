#include "FoldedMessagesModel.h"

#include "BuildDiagnostics.h"

#include <QGuiApplication>
#include <QListView>
#include <QPalette>

#include <cctype>

namespace {

bool startsWith(std::string_view line, std::string_view start) {
  return line.substr(0, start.size()) == start;
}

bool endsWith(std::string_view line, std::string_view end) {
  return line.size() >= end.size() && line.substr(line.size() - end.size()) == end;
}

// The line after a leading number (and the blanks around it); empty when it starts with none.
std::string_view afterNumber(std::string_view line) {
  std::size_t at = line.find_first_not_of(' ');
  if (at == std::string_view::npos || !std::isdigit(static_cast<unsigned char>(line[at]))) return {};
  while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])))
    ++at;
  return line.substr(at);
}

QColor toneColour(MessageTone tone) {
  // Chosen to read on the palette's own base: deeper on a light one, lighter on a dark one.
  const QPalette palette = QGuiApplication::palette();
  const bool dark = palette.color(QPalette::Base).lightness() < 128;
  switch (tone) {
  case MessageTone::Error: return dark ? QColor(0xFF, 0x7B, 0x72) : QColor(0xB3, 0x1D, 0x1D);
  case MessageTone::Warning: return dark ? QColor(0xE3, 0xB3, 0x41) : QColor(0x8A, 0x5A, 0x00);
  case MessageTone::Detail: return palette.color(QPalette::PlaceholderText);
  case MessageTone::Plain: break;
  }
  return {};
}

} // namespace

bool IsToolDetail(std::string_view line) {
  for (std::string_view start :
       {"outputFilename: ", "pass 0: ", "pass 1: ", "code segment: ", "data segment: ", "lit  segment: ",
        "bss  segment: ", "instruction count: ", "Writing to ", "Stats for hashtable ", " Longest chain: "})
    if (startsWith(line, start)) return true;
  if (startsWith(line, "Writing ") && endsWith(line, ".map...")) return true;
  const std::string_view rest = afterNumber(line);
  return rest == " symbols defined" || rest == " seconds elapsed";
}

bool IsDetailSummary(std::string_view line) { return afterNumber(line) == " total errors"; }

MessageTone ToneOfMessage(const std::string& line) {
  if (IsToolDetail(line)) return MessageTone::Detail;
  if (IsDetailSummary(line)) {
    const std::size_t number = line.size() - afterNumber(line).size();
    return line.find_first_of("123456789") < number ? MessageTone::Error : MessageTone::Plain;
  }
  if (startsWith(line, "************ ERROR") || startsWith(line, "Error ")) return MessageTone::Error;
  const auto anyFile = [](const std::string&) { return true; };
  if (const std::optional<DiagnosticKind> kind = KindOfMessage(line, PathStyle::Native(), anyFile))
    return *kind == DiagnosticKind::Warning ? MessageTone::Warning : MessageTone::Error;
  return MessageTone::Plain;
}

FoldedMessagesModel::FoldedMessagesModel(BuildMessagesModel& lines, QObject* parent)
    : QSortFilterProxyModel(parent), lines_(lines) {
  setSourceModel(&lines);
}

const std::string& FoldedMessagesModel::Line(int row) const {
  return lines_.Line(mapToSource(index(row, 0)).row());
}

void FoldedMessagesModel::ShowDetails(bool shown) {
  if (shown == detailsShown_) return;
  detailsShown_ = shown;
  invalidateRowsFilter();
}

bool FoldedMessagesModel::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const {
  return detailsShown_ || !IsToolDetail(lines_.Line(sourceRow));
}

QVariant FoldedMessagesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::ForegroundRole) {
    const QColor colour = toneColour(ToneOfMessage(Line(index.row())));
    return colour.isValid() ? QVariant(colour) : QVariant();
  }
  const QVariant shown = QSortFilterProxyModel::data(index, role);
  if (role != Qt::DisplayRole || !IsSummaryRow(index.row())) return shown;
  return shown.toString() + (detailsShown_
                                 ? "   (double-click to fold the assembler's details)"
                                 : "   (the assembler's details are folded: double-click to show them)");
}

void FollowLastLine(QListView& view, FoldedMessagesModel& model) {
  view.setModel(&model);
  view.setUniformItemSizes(true);
  QObject::connect(&model.Lines(), &BuildMessagesModel::lastLineUpdated, &view, [&view, &model] {
    const QModelIndex last = model.index(model.rowCount() - 1, 0);
    view.setCurrentIndex(last);
    view.scrollTo(last);
  });
}
