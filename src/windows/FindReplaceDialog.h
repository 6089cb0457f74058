// The "Find or replace text" dialog. Made once and kept: its boxes and switches are the search
// state that Search Again repeats.
#pragma once

#include "SearchRun.h"
#include "TextEncoding.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The dialog's switches, apart from the widgets that hold them.
struct FindSwitches {
  bool replace = false;
  bool matchCase = false;
  bool wholeWords = false;
  bool prompt = false;
  bool backwards = false;
  bool selectedOnly = false;
  bool fromHome = true;
  bool regularExpression = false;
};

// The editor's option bits for the switches; replace-all only counts while replacing.
[[nodiscard]] SearchFlags SearchOptionsOf(const FindSwitches& switches, bool replaceAll);

class FindReplaceDialog : public QDialog {
  Q_OBJECT
public:
  // The result of a dialog closed with "&Replace All"; OK and Cancel give the usual two.
  static constexpr int ReplaceAllResult = 2;

  explicit FindReplaceDialog(QWidget* parent = nullptr);

  QComboBox* FindTextComboBox;
  QLabel* NewTextLabel;
  QComboBox* NewTextComboBox;
  QRadioButton* SearchRadioButton;
  QRadioButton* ReplaceRadioButton;
  QCheckBox* CaseCheckBox;
  QCheckBox* WholeWordCheckBox;
  QCheckBox* PromptCheckBox;
  QCheckBox* RegexCheckBox;
  QRadioButton* ForwardRadioButton;
  QRadioButton* BackwardRadioButton;
  QRadioButton* GlobalRadioButton;
  QRadioButton* SelectedRadioButton;
  QRadioButton* FromCursorRadioButton; // from the cursor
  QRadioButton* HomeRadioButton;
  QPushButton* OkButton;
  QPushButton* AllButton;
  QPushButton* CancelButton;

  // The texts as the editor's bytes.
  // The texts as bytes of the document they search: `encoding` is the document's.
  [[nodiscard]] std::string FindText(TextEncoding encoding = TextEncoding::Windows1252) const;
  void SetFindText(const std::string& text, TextEncoding encoding = TextEncoding::Windows1252);
  [[nodiscard]] std::string NewText(TextEncoding encoding = TextEncoding::Windows1252) const;
  [[nodiscard]] FindSwitches Switches() const;

  // The replacement box, its label, "&Replace All" and the prompt switch follow the operation.
  void EnableReplaceFields();
  // "&OK" needs a find text; "&Replace All" needs that and the replace operation.
  void EnableButtons();
  void PrepareForInput();

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* OperationGroup();
  QWidget* OptionsGroup();
  QWidget* DirectionGroup();
  QWidget* ScopeGroup();
  QWidget* OriginGroup();
};
