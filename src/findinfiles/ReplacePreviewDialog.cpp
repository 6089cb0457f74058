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

} // namespace

ReplacePreviewDialog::ReplacePreviewDialog(const std::vector<FileReplacement>& files, QWidget* parent)
    : QDialog(parent), ChangesTreeView(new QTreeWidget(this)) {
  setWindowTitle("Replace in Files");
  int replacements = 0;
  ChangesTreeView->setColumnCount(3);
  ChangesTreeView->setHeaderLabels({"File / line", "Before", "After"});
  ChangesTreeView->setUniformRowHeights(true);
  for (const FileReplacement& file : files) {
    replacements += file.count;
    auto* item =
        new QTreeWidgetItem(ChangesTreeView, {ToDisplay(file.path) + QString(" (%1)").arg(file.count)});
    item->setFirstColumnSpanned(true);
    const int shown = std::min<int>(static_cast<int>(file.lines.size()), kShownLines);
    for (int i = 0; i < shown; ++i) {
      const ReplacedLine& line = file.lines[static_cast<std::size_t>(i)];
      new QTreeWidgetItem(item, {QString::number(line.line), Line(line.before), Line(line.after)});
    }
    if (shown < static_cast<int>(file.lines.size()))
      new QTreeWidgetItem(item, {QString("... %1 more lines").arg(file.lines.size() - shown)});
  }
  ChangesTreeView->expandAll();
  ChangesTreeView->header()->setSectionResizeMode(QHeaderView::Interactive);
  ChangesTreeView->setColumnWidth(0, 90);
  ChangesTreeView->setColumnWidth(1, 330);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("&Replace", QDialogButtonBox::AcceptRole);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString("Replace %1 %2 in %3 %4?")
                                   .arg(replacements)
                                   .arg(replacements == 1 ? "match" : "matches")
                                   .arg(files.size())
                                   .arg(files.size() == 1 ? "file" : "files")));
  layout->addWidget(ChangesTreeView);
  layout->addWidget(buttons);
  resize(820, 480);
}
