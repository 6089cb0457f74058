// The configuration dialog and the Preferences command that runs it.
#pragma once

#include "Dialogs.h"
#include "MissingTools.h"
#include "Settings.h"

#include <QDialog>

#include <functional>
#include <vector>

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

// How Preferences shows itself: the path fields and labels as the conventions want them, and what
// is missing when it opened for a missing tool (nothing otherwise).
struct PreferencesLook {
  // The path fields take typing and pasting and the pickers list programs; otherwise the fields
  // change only through pickers of "*.exe" files.
  bool typedPaths = false;
  bool desktopLabels = false; // "Game arguments" rather than the classic label
  // The game runs with its console in a page: its server, server map and reload command are set
  // on the Environment page too.
  bool gameInPage = false;
  std::vector<MissingTool> missing;
};

class ConfigurationDialog : public QDialog {
  Q_OBJECT
public:
  explicit ConfigurationDialog(UserQuestions& questions, const PreferencesLook& look = {},
                               QWidget* parent = nullptr);

  // Fills the fields from `settings` and selects the "Environment" page.
  void SetValues(const Settings& settings);
  // A line above the pages naming what is missing; an empty text hides it.
  void SetNotice(const std::string& text);
  // Names the missing tools and how to set them above the pages, and opens the page of the first
  // one with the keyboard in its field; nothing missing changes nothing.
  void ShowMissing(const std::vector<MissingTool>& missing);
  // The values handed in, with the fields copied over them once the dialog was confirmed.
  [[nodiscard]] const Settings& Values() const { return values_; }

  QLabel* NoticeLabel; // what is missing, when the dialog opened for it; hidden otherwise
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
  QCheckBox* clangdWarningsCheckBox;
  // Shown with the game in a page only.
  QLineEdit* serverlocationEdit;
  QPushButton* serverBrowseButton;
  QCheckBox* runDedicatedServerCheckBox;
  QLineEdit* servermapEdit;
  QLineEdit* reloadcommandEdit;
  QPushButton* okButton;
  QPushButton* cancelButton;

public slots:
  void accept() override;

private:
  QWidget* EnvironmentPage(bool desktopLabels);
  // The dedicated server and the reload, below the game's fields.
  QWidget* GameLoopGroup();
  QWidget* CompilerPage();
  QWidget* SettingsPage();
  void BrowseFile(QLineEdit* field);
  void BrowseFolder();
  void FillFontSizes();

  [[nodiscard]] QLineEdit* FieldOf(Tool tool) const;

  UserQuestions& questions_;
  bool typedPaths_;
  int height_; // without the notice
  Settings values_;
};

// The Preferences command: on confirmation the edited values replace `settings` and are
// written to the store (a failed write is shown). Returns whether the dialog was confirmed.
bool RunPreferences(Settings& settings, RegistryStore& store, UserQuestions& questions,
                    const DialogRunner& run, QWidget* parent, const PreferencesLook& look = {});
