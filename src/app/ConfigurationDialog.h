// The configuration dialog and the Preferences command that runs it.
#pragma once

#include "Dialogs.h"
#include "Settings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class RegistryStore;
class UserQuestions;

class ConfigurationDialog : public QDialog {
  Q_OBJECT
public:
  // With `typedPaths` the path fields take typing and pasting and the pickers list programs;
  // otherwise the fields change only through pickers of "*.exe" files.
  explicit ConfigurationDialog(UserQuestions& questions, bool typedPaths = false, QWidget* parent = nullptr);

  // Fills the fields from `settings` and selects the "Environment" page.
  void SetValues(const Settings& settings);
  // A line above the pages naming what is missing; an empty text hides it.
  void SetNotice(const std::string& text);
  // The values handed in, with the fields copied over them once the dialog was confirmed.
  [[nodiscard]] const Settings& Values() const { return values_; }

  QLabel* NoticeLabel; // what is missing, when the dialog opened by itself; hidden otherwise
  QTabWidget* SettingsPages;
  QLineEdit* quake3locationEdit;
  QLineEdit* quake3argumentsEdit;
  QLineEdit* outputlocationEdit;
  QLineEdit* lcclocationEdit;
  QLineEdit* q3asmlocationEdit;
  QPushButton* quake3BrowseButton;
  QPushButton* outputBrowseButton;
  QPushButton* lccBrowseButton;
  QPushButton* q3asmBrowseButton;
  QCheckBox* backupCheckBox;
  QFontComboBox* fontNameComboBox;
  QComboBox* fontSizeComboBox;
  QSpinBox* parallelCompilesSpinBox;
  QSpinBox* undoLevelsSpinBox;
  QSpinBox* tabWidthSpinBox;
  QCheckBox* keepFileFormatCheckBox;
  QPushButton* okButton;
  QPushButton* cancelButton;

public slots:
  void accept() override;

private:
  QWidget* EnvironmentPage();
  QWidget* CompilerPage();
  QWidget* SettingsPage();
  void BrowseFile(QLineEdit* field);
  void BrowseFolder();
  void FillFontSizes();

  UserQuestions& questions_;
  bool typedPaths_;
  Settings values_;
};

// How Preferences shows itself: the path fields as the conventions want them, and the notice of
// what is missing when it opened by itself at start (empty otherwise).
struct PreferencesLook {
  bool typedPaths = false;
  std::string notice;
};

// The Preferences command: on confirmation the edited values replace `settings` and are
// written to the store (a failed write is shown). Returns whether the dialog was confirmed.
bool RunPreferences(Settings& settings, RegistryStore& store, UserQuestions& questions,
                    const DialogRunner& run, QWidget* parent, const PreferencesLook& look = {});
