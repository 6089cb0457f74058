// The "File Properties" dialog: a file's full path and its last modification time. Created
// once; the time keeps its old text when the file does not exist.
#pragma once

#include <QDialog>
#include <string>

class QDateTime;
class QLabel;
class QLineEdit;
class QLocale;
class QPushButton;

class FilePropertiesDialog : public QDialog {
  Q_OBJECT
public:
  explicit FilePropertiesDialog(QWidget* parent = nullptr);

  QLineEdit* FileNameEdit;
  QLabel* LastModifiedLabel;
  QPushButton* OkButton;

  void SetFileName(const std::string& path);
  // Reads the file's modification time into the label; runs every time the dialog is shown.
  void UpdateLastModified();

protected:
  void showEvent(QShowEvent* event) override;
};

// The user's short date and long time; the time is left out at exactly midnight.
[[nodiscard]] QString FormatLastModified(const QDateTime& local, const QLocale& locale);
