#include "KeyboardShortcutsDialog.h"

#include "Dialogs.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

void addGroup(QTreeWidget& list, const QString& caption, const std::vector<ShortcutRow>& rows) {
  auto* group = new QTreeWidgetItem(&list, {caption});
  group->setFirstColumnSpanned(true);
  for (const ShortcutRow& row : rows)
    new QTreeWidgetItem(group, {row.key.toString(QKeySequence::NativeText), row.command, row.where});
  group->setExpanded(true);
}

} // namespace

KeyboardShortcutsDialog::KeyboardShortcutsDialog(const std::vector<ShortcutRow>& menuRows,
                                                 const std::vector<ShortcutRow>& editorRows, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Keyboard Shortcuts");
  UseDialogFrame(*this);
  KeyList = new QTreeWidget;
  KeyList->setHeaderLabels({"Key", "Command", "Where"});
  KeyList->setRootIsDecorated(false);
  KeyList->setSelectionMode(QAbstractItemView::SingleSelection);
  addGroup(*KeyList, "Menu commands", menuRows);
  addGroup(*KeyList, "Editor keys", editorRows);
  KeyList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  OKButton = new QPushButton("&OK");
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(KeyList);
  layout->addWidget(OKButton, 0, Qt::AlignRight);
  resize(640, 520);
}
