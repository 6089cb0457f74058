// The "Find text in File" dialog: the text and options of a Find in Files run. Created once, so
// its fields keep what they held at the last use.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QPushButton;

class FindInFilesDialog : public QDialog {
  Q_OBJECT
public:
  explicit FindInFilesDialog(QWidget* parent = nullptr);

  QComboBox* FindTextComboBox;
  QCheckBox* CaseCheckBox;
  QCheckBox* WholeWordCheckBox;
  QPushButton* okButton;
  QPushButton* cancelButton;

  // The text as the editor's bytes.
  [[nodiscard]] std::string FindText() const;
  [[nodiscard]] bool CaseSensitive() const;
  [[nodiscard]] bool WholeWords() const;

protected:
  void showEvent(QShowEvent* event) override;
};
