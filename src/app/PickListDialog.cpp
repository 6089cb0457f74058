#include "PickListDialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

PickListDialog::PickListDialog(const QString& title, QWidget* parent)
    : QDialog(parent), TypedEdit(new QLineEdit), ChoiceList(new QListWidget) {
  setWindowTitle(title);
  resize(560, 360);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TypedEdit);
  layout->addWidget(ChoiceList);
  ChoiceList->setUniformItemSizes(true);
  // The arrows move through the list while the text keeps the focus.
  TypedEdit->installEventFilter(this);
  connect(TypedEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (OnTyped) OnTyped(text.toStdString());
  });
  connect(TypedEdit, &QLineEdit::returnPressed, this, &QDialog::accept);
  connect(ChoiceList, &QListWidget::itemActivated, this, &QDialog::accept);
}

void PickListDialog::ShowChoices(const std::vector<std::string>& rows) {
  ChoiceList->clear();
  for (const std::string& row : rows)
    ChoiceList->addItem(QString::fromStdString(row));
  if (!rows.empty()) ChoiceList->setCurrentRow(0);
}

int PickListDialog::Picked() const { return ChoiceList->currentRow(); }

void PickListDialog::Start() {
  TypedEdit->clear();
  TypedEdit->setFocus();
  if (OnTyped) OnTyped({});
}

bool PickListDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TypedEdit && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
      QCoreApplication::sendEvent(ChoiceList, event);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
