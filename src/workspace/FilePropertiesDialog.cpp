// The file properties dialog.
#include "FilePropertiesDialog.h"

#include "Dialogs.h"
#include "DisplayText.h"
#include "ProjectTree.h"
#include "UserClock.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

FilePropertiesDialog::FilePropertiesDialog(QWidget* parent)
    : QDialog(parent), FileNameEdit(new QLineEdit(this)), LastModifiedLabel(new QLabel(this)),
      OkButton(new QPushButton("&OK", this)) {
  setWindowTitle("File Properties");
  setFixedSize(337, 136);
  FileNameEdit->setReadOnly(true);
  LastModifiedLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel("File Name", this), 0, 0, 1, 2);
  layout->addWidget(FileNameEdit, 1, 0, 1, 2);
  layout->addWidget(new QLabel("Last Modified :", this), 2, 0);
  layout->addWidget(LastModifiedLabel, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  layout->addLayout(buttons, 3, 0, 1, 2);
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

void FilePropertiesDialog::SetFileName(const std::string& path) { FileNameEdit->setText(ToDisplay(path)); }

void FilePropertiesDialog::UpdateLastModified() {
  const QFileInfo file(FileNameEdit->text());
  if (file.exists() && !file.isDir())
    LastModifiedLabel->setText(FormatLastModified(file.lastModified().toLocalTime(), QLocale()));
}

void FilePropertiesDialog::showEvent(QShowEvent* event) {
  UpdateLastModified();
  CentreOnScreen(*this);
  QDialog::showEvent(event);
}

QString FormatLastModified(const QDateTime& local, const QLocale& locale) {
  QString text = ShortDateText(local.date(), locale);
  if (local.time() != QTime(0, 0)) text += ' ' + LongTimeText(local.time(), locale);
  return text;
}
