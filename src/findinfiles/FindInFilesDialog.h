// The "Find text in File" dialog: the text and options of a Find in Files run. Created once, so
// its fields keep what they held at the last use. Under the desktop conventions it also asks
// where to search (the active project, the whole workspace or a folder), takes regular
// expressions, remembers the last texts in its drop-down lists, and serves Replace in Files
// with a replacement box.
#pragma once

#include "FindInFilesSearch.h"
#include "TextEncoding.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The texts a drop-down list offers again: the last ones used first, each once.
void RememberText(QComboBox& box, const QString& text);

class FindInFilesDialog : public QDialog {
  Q_OBJECT
public:
  // `desktop`: the desktop conventions' dialog; otherwise the classic text and two options.
  explicit FindInFilesDialog(bool desktop = false, QWidget* parent = nullptr);

  static constexpr int kHistoryLength = 20;

  QComboBox* FindTextComboBox;
  QCheckBox* CaseCheckBox;
  QCheckBox* WholeWordCheckBox;
  QPushButton* OkButton;
  QPushButton* CancelButton;
  // Desktop conventions only.
  QLabel* NewTextLabel;
  QComboBox* NewTextComboBox;
  QCheckBox* RegexCheckBox;
  QRadioButton* ProjectRadioButton;
  QRadioButton* WorkspaceRadioButton;
  QRadioButton* FolderRadioButton;
  QLineEdit* FolderEdit;
  QPushButton* BrowseButton;
  QLineEdit* PatternsEdit;
  QCheckBox* SubfoldersCheckBox;

  [[nodiscard]] bool Desktop() const { return desktop_; }
  // Shows the replacement box (Replace in Files) or hides it (Find in Files); sets the caption.
  void SetReplacing(bool replacing);
  [[nodiscard]] bool Replacing() const { return replacing_; }

  // The texts as typed, in UTF-8 under the desktop conventions (each file is searched in its
  // own encoding), as Windows-1252 bytes under the classic ones.
  [[nodiscard]] std::string FindText() const;
  // `text` is bytes of a document in `encoding`.
  void SetFindText(const std::string& text, TextEncoding encoding = TextEncoding::Windows1252);
  [[nodiscard]] std::string NewText() const;
  [[nodiscard]] bool CaseSensitive() const;
  [[nodiscard]] bool WholeWords() const;
  [[nodiscard]] SearchQuery Query() const;
  [[nodiscard]] SearchScope Scope() const;
  // Puts the confirmed texts at the top of their lists.
  void RememberTexts();

  // Asks for the folder (the browse button); set by the owner, none in tests.
  std::function<std::optional<std::string>(const std::string& current)> ChooseFolder;

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* WhereGroup();
  void EnableFolderFields();
  // The height the shown controls need, with the fonts and styles the dialog has by then; only
  // the width changes when the user resizes it.
  void FitHeight();

  bool desktop_;
  bool replacing_ = false;
};
