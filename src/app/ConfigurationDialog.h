// The configuration dialog and the Preferences command that runs it.
#pragma once

#include "Dialogs.h"
#include "MissingTools.h"
#include "Settings.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QColor;
class QComboBox;
class QListWidget;
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
  QCheckBox* reopenLastWorkspaceCheckBox;
  QListWidget* tokenKindsList; // the Colours page: the kinds of tokens, each in its colour
  QPushButton* tokenColourButton;
  QCheckBox* tokenBoldCheckBox;
  QCheckBox* tokenItalicCheckBox;
  QPushButton* defaultColoursButton;
  QPushButton* OkButton;
  QPushButton* CancelButton;

  // Asks for a colour, starting at the one given; none when cancelled. A colour dialog unless
  // replaced.
  std::function<std::optional<QColor>(const QColor&)> ChooseColour;

public slots:
  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* EnvironmentPage(bool desktopLabels);
  // The dedicated server and the reload, below the game's fields.
  QWidget* GameLoopGroup();
  QWidget* CompilerPage();
  QWidget* SettingsPage();
  QWidget* ColoursPage();
  // The kinds of tokens listed in their colours, the selected one's style shown.
  void ShowTokenLooks();
  void ShowSelectedStyle();
  // Changes the look of the selected kind; the colours are then the user's own.
  void ChangeSelectedLook(const std::function<void(TokenLook&)>& change);
  void BrowseFile(QLineEdit* field);
  void BrowseFolder();
  void FillFontSizes();
  // Sizes the dialog to show every page whole.
  void FitToContents();

  [[nodiscard]] QLineEdit* FieldOf(Tool tool) const;

  UserQuestions& questions_;
  bool typedPaths_;
  Settings values_;
  TokenLooks looks_;        // what the Colours page shows
  bool ownColours_ = false; // the user set them, rather than the defaults
};

// The Preferences command: on confirmation the edited values replace `settings` and are
// written to the store (a failed write is shown). Returns whether the dialog was confirmed.
bool RunPreferences(Settings& settings, RegistryStore& store, UserQuestions& questions,
                    const DialogRunner& run, QWidget* parent, const PreferencesLook& look = {});
