#include "KeyboardShortcutsDialog.h"

#include "Dialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kRowIndex = Qt::UserRole;     // a row's index among the rows of its group
constexpr int kRowGroup = Qt::UserRole + 1; // the group: menu commands or editor keys
enum RowGroup { MenuRows, EditorRows };

const QString kHowToChange = "Double-click a command to give it other keys.";

QString keyText(const QKeySequence& key) { return key.toString(QKeySequence::NativeText); }

QTreeWidgetItem* addGroup(QTreeWidget& list, const QString& caption, const std::vector<ShortcutRow>& rows,
                          RowGroup kind) {
  auto* group = new QTreeWidgetItem(&list, {caption});
  group->setFirstColumnSpanned(true);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto* item = new QTreeWidgetItem(group, {keyText(rows[i].key), rows[i].command, rows[i].where});
    item->setData(0, kRowIndex, static_cast<int>(i));
    item->setData(0, kRowGroup, kind);
  }
  group->setExpanded(true);
  return group;
}

} // namespace

KeyboardShortcutsDialog::KeyboardShortcutsDialog(const std::vector<ShortcutRow>& menuRows,
                                                 const std::vector<ShortcutRow>& editorRows, QWidget* parent)
    : QDialog(parent), menuRows_(menuRows), editorRows_(editorRows) {
  setWindowTitle("Keyboard Shortcuts");
  UseDialogFrame(*this);
  FilterEdit = new QLineEdit;
  FilterEdit->setPlaceholderText("Filter by key or command");
  FilterEdit->setClearButtonEnabled(true);
  KeyList = new QTreeWidget;
  KeyList->setHeaderLabels({"Key", "Command", "Where"});
  KeyList->setRootIsDecorated(false);
  KeyList->setSelectionMode(QAbstractItemView::SingleSelection);
  addGroup(*KeyList, "Menu commands", menuRows_, MenuRows);
  addGroup(*KeyList, "Editor keys", editorRows_, EditorRows);
  KeyList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  KeyList->installEventFilter(this);
  NoticeLabel = new QLabel(kHowToChange);
  NoticeLabel->setWordWrap(true);
  OkButton = new QPushButton("&OK");
  OkButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel");
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(FilterEdit, &QLineEdit::textChanged, this, &KeyboardShortcutsDialog::Filter);
  connect(KeyList, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* row) { StartCapture(row); });

  auto* filterRow = new QHBoxLayout;
  auto* filterLabel = new QLabel("&Filter:");
  filterLabel->setBuddy(FilterEdit);
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(FilterEdit, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(NoticeLabel, 1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filterRow);
  layout->addWidget(KeyList);
  layout->addLayout(buttons);
  resize(680, 560);
}

void KeyboardShortcutsDialog::Filter(const QString& text) {
  for (int group = 0; group < KeyList->topLevelItemCount(); ++group) {
    QTreeWidgetItem* rows = KeyList->topLevelItem(group);
    for (int i = 0; i < rows->childCount(); ++i) {
      QTreeWidgetItem* row = rows->child(i);
      bool shown = text.isEmpty();
      for (int column = 0; column < KeyList->columnCount() && !shown; ++column)
        shown = row->text(column).contains(text, Qt::CaseInsensitive);
      row->setHidden(!shown);
    }
  }
}

void KeyboardShortcutsDialog::StartCapture(QTreeWidgetItem* row) {
  if (row == nullptr || !row->data(0, kRowIndex).isValid()) {
    capturing_ = nullptr;
    NoticeLabel->setText(kHowToChange);
    return;
  }
  capturing_ = row;
  KeyList->setCurrentItem(row);
  KeyList->setFocus();
  NoticeLabel->setText("Press the new keys for " + row->text(1) + " (Backspace: no key, Esc: keep it).");
}

void KeyboardShortcutsDialog::TakeKey(const QKeySequence& key) {
  const auto index = static_cast<std::size_t>(capturing_->data(0, kRowIndex).toInt());
  if (capturing_->data(0, kRowGroup).toInt() == MenuRows)
    TakeMenuKey(menuRows_[index], key);
  else
    TakeEditorKey(editorRows_[index], key);
}

void KeyboardShortcutsDialog::TakeMenuKey(ShortcutRow& row, const QKeySequence& key) {
  if (const QString holder = MenuKeyHolder(key, row.action, menuRows_); !holder.isEmpty())
    return Refuse(key, holder);
  row.key = key;
  changes_[row.action.toStdString()] = key;
  const QString yielding = EditorKeyHolder(key, editorRows_);
  Took(row, yielding.isEmpty() ? QString() : "; in the editor it goes before " + yielding);
}

void KeyboardShortcutsDialog::TakeEditorKey(ShortcutRow& row, const QKeySequence& key) {
  const std::optional<ShortCut> packed = key.isEmpty() ? ShortCut{0} : EditorShortCutOf(key);
  if (!packed) {
    NoticeLabel->setText(keyText(key) + " is not a key the editor reads: press other keys.");
    return;
  }
  if (const QString holder = MenuKeyHolder(key, {}, menuRows_); !holder.isEmpty()) return Refuse(key, holder);
  for (const ShortcutRow& other : editorRows_)
    if (&other != &row && !key.isEmpty() && other.key == key) return Refuse(key, other.command + " (Editor)");
  row.key = key;
  row.where = "Editor";
  editorChanges_[row.binding] = *packed;
  Took(row, {});
}

void KeyboardShortcutsDialog::Refuse(const QKeySequence& key, const QString& holder) {
  NoticeLabel->setText(keyText(key) + " is already the key of " + holder +
                       ": press other keys, or give that command another key first.");
}

void KeyboardShortcutsDialog::Took(const ShortcutRow& row, const QString& notice) {
  capturing_->setText(0, keyText(row.key));
  capturing_->setText(2, row.where);
  NoticeLabel->setText(row.key.isEmpty() ? row.command + " has no key now."
                                         : row.command + " is now " + keyText(row.key) + notice + ".");
  capturing_ = nullptr;
}

bool KeyboardShortcutsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != KeyList || capturing_ == nullptr || event->type() != QEvent::KeyPress)
    return QDialog::eventFilter(watched, event);
  const auto* press = static_cast<QKeyEvent*>(event);
  const int key = press->key();
  const Qt::KeyboardModifiers modifiers = press->modifiers() & ~Qt::KeypadModifier;
  // A modifier alone is the start of a combination, not a key.
  if (key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta ||
      key == Qt::Key_unknown)
    return true;
  if (key == Qt::Key_Escape && modifiers == Qt::NoModifier) {
    capturing_ = nullptr;
    NoticeLabel->setText(kHowToChange);
  } else if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && modifiers == Qt::NoModifier) {
    TakeKey(QKeySequence());
  } else {
    TakeKey(QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key))));
  }
  return true;
}
