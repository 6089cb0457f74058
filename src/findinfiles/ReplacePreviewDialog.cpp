#include "ReplacePreviewDialog.h"

#include "DisplayText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The most lines a file shows in the preview; its count still tells them all.
constexpr int kShownLines = 200;

QString Line(const std::string& bytes) {
  QString text = ToDisplay(bytes.substr(0, 300));
  text.replace('\t', ' ');
  return text;
}

QString Counted(int count, const char* one, const char* many) {
  return QString("%1 %2").arg(count).arg(count == 1 ? one : many);
}

QTreeWidgetItem* FileItem(QTreeWidgetItem* parent, const std::string& path, int count) {
  auto* item = new QTreeWidgetItem(parent, {ToDisplay(path) + QString(" (%1)").arg(count)});
  item->setFirstColumnSpanned(true);
  return item;
}

template <typename Line> void AddMore(QTreeWidgetItem* file, const std::vector<Line>& lines, int shown) {
  if (shown < static_cast<int>(lines.size()))
    new QTreeWidgetItem(file, {QString("... %1 more lines").arg(lines.size() - shown)});
}

int Total(const std::vector<FileReplacement>& files) {
  int replacements = 0;
  for (const FileReplacement& file : files)
    replacements += file.count;
  return replacements;
}

} // namespace

ReplacePreviewDialog::ReplacePreviewDialog(const std::vector<FileReplacement>& files, QWidget* parent)
    : QDialog(parent), ChangesTreeView(new QTreeWidget(this)) {
  setWindowTitle("Replace in Files");
  AddFiles(files);
  Lay(QString("Replace %1 in %2?")
          .arg(Counted(Total(files), "match", "matches"))
          .arg(Counted(static_cast<int>(files.size()), "file", "files")),
      "&Replace");
}

ReplacePreviewDialog::ReplacePreviewDialog(const std::string& oldName, const std::string& newName,
                                           const std::vector<FileReplacement>& files,
                                           const std::vector<FileHits>& textMatches, QWidget* parent)
    : QDialog(parent), ChangesTreeView(new QTreeWidget(this)) {
  setWindowTitle("Rename Symbol");
  AddFiles(files);
  AddTextMatches(textMatches);
  Lay(QString("Rename %1 to %2: %3 in %4?")
          .arg(ToDisplay(oldName), ToDisplay(newName), Counted(Total(files), "use", "uses"),
               Counted(static_cast<int>(files.size()), "file", "files")),
      "&Rename");
}

void ReplacePreviewDialog::AddFiles(const std::vector<FileReplacement>& files) {
  for (const FileReplacement& file : files) {
    QTreeWidgetItem* item = FileItem(ChangesTreeView->invisibleRootItem(), file.path, file.count);
    const int shown = std::min<int>(static_cast<int>(file.lines.size()), kShownLines);
    for (int i = 0; i < shown; ++i) {
      const ReplacedLine& line = file.lines[static_cast<std::size_t>(i)];
      new QTreeWidgetItem(item, {QString::number(line.line), Line(line.before), Line(line.after)});
    }
    AddMore(item, file.lines, shown);
  }
}

void ReplacePreviewDialog::AddTextMatches(const std::vector<FileHits>& textMatches) {
  if (textMatches.empty()) return;
  int count = 0;
  for (const FileHits& file : textMatches)
    count += file.MatchCount();
  auto* group = new QTreeWidgetItem(ChangesTreeView, {QString("text matches not renamed (%1)").arg(count)});
  group->setFirstColumnSpanned(true);
  for (const FileHits& file : textMatches) {
    QTreeWidgetItem* item = FileItem(group, file.path, file.MatchCount());
    const int shown = std::min<int>(static_cast<int>(file.lines.size()), kShownLines);
    for (int i = 0; i < shown; ++i) {
      const LineHit& line = file.lines[static_cast<std::size_t>(i)];
      new QTreeWidgetItem(item, {QString::number(line.line), Line(line.text)});
    }
    AddMore(item, file.lines, shown);
  }
}

void ReplacePreviewDialog::Lay(const QString& question, const QString& action) {
  ChangesTreeView->setColumnCount(3);
  ChangesTreeView->setHeaderLabels({"File / line", "Before", "After"});
  ChangesTreeView->setUniformRowHeights(true);
  ChangesTreeView->expandAll();
  ChangesTreeView->header()->setSectionResizeMode(QHeaderView::Interactive);
  ChangesTreeView->setColumnWidth(0, 130); // room for a line number under a file under a group
  ChangesTreeView->setColumnWidth(1, 330);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(action, QDialogButtonBox::AcceptRole);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(question));
  layout->addWidget(ChangesTreeView);
  layout->addWidget(buttons);
  resize(820, 480);
}
