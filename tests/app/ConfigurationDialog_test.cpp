#include "AboutBox.h"
#include "ConfigurationDialog.h"
#include "EditorColours.h"
#include "ProgressWindow.h"
#include "QtUserQuestions.h"
#include "RegistryStore.h"
#include "ScriptedQuestions.h"
#include "Settings.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

const RegistryRoot user = RegistryRoot::CurrentUser;

struct ConfigurationDialogTest : ::testing::Test {
  TempDir dir;
  RegistryStore store{dir.file("registry")};
  ScriptedQuestions questions;
  SettingsConventions conventions =
      SettingsConventions::Linux([](const std::string&) { return ""; }, "/home/me");

  std::optional<RegistryValue> stored(const char* name) const {
    return store.Value(user, kSettingsKey, name);
  }

  // Loads the settings from a fresh store on the same file, as the next run would.
  Settings nextRun() {
    RegistryStore reread(store.FilePath());
    reread.Load();
    return LoadSettings(reread, conventions);
  }
};

// The texts of the dialog's labels, a line each.
QString labels(const QDialog& dialog) {
  QString texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>())
    texts += label->text() + "\n";
  return texts;
}

} // namespace

TEST_F(ConfigurationDialogTest, ConfirmedDialogWritesEveryValueKeepingItsKind) {
  store.SetString(user, kSettingsKey, "EditorFontSize", "12");
  store.SetString(user, kSettingsKey, "BackupSource", "1");
  store.SetString(user, kSettingsKey, "lcclarguments", "-DMY_OWN -S");
  Settings settings = LoadSettings(store, conventions);
  ASSERT_EQ(settings.EditorFontSize, 12);
  const std::string oldCompiler = settings.lcclocation;

  questions.choices = {{"/mods/vm"}, {"/opt/q3/q3lcc"}};
  auto run = [](QDialog& dialog) {
    auto& form = dynamic_cast<ConfigurationDialog&>(dialog);
    form.outputBrowseButton->click();
    form.lccBrowseButton->click();
    form.quake3argumentsEdit->setText("+set fs_game mymod");
    form.fontSizeComboBox->setEditText("14");
    form.parallelCompilesSpinBox->setValue(4);
    form.OkButton->click();
    return form.result();
  };
  ASSERT_TRUE(RunPreferences(settings, store, questions, run, nullptr));

  EXPECT_EQ(settings.outputlocation, "/mods/vm/");
  EXPECT_EQ(settings.lcclocation, "/opt/q3/q3lcc");
  EXPECT_EQ(settings.quake3arguments, "+set fs_game mymod");
  EXPECT_EQ(settings.EditorFontSize, 14);
  EXPECT_EQ(settings.ParallelCompiles, 4);
  EXPECT_EQ(settings.lcclarguments, "-DMY_OWN -S");
  ASSERT_TRUE(stored("EditorFontSize")->IsString());
  EXPECT_EQ(stored("EditorFontSize")->Text(), "14");
  EXPECT_EQ(stored("BackupSource")->Text(), "1");
  EXPECT_EQ(nextRun(), settings);

  ASSERT_EQ(questions.fileRequests.size(), 2u);
  EXPECT_EQ(questions.log[0], "folder: Select VM output directory");
  EXPECT_EQ(questions.fileRequests[0].initialFolder, "/home/me/.q3a/mymod/vm/");
  const FileDialogRequest& locate = questions.fileRequests[1];
  EXPECT_EQ(locate.title, "Locate File");
  EXPECT_EQ(locate.filter, "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*");
  EXPECT_EQ(locate.defaultExtension, "exe");
  EXPECT_EQ(locate.initialFile, oldCompiler);
}

TEST_F(ConfigurationDialogTest, CancelWritesNothingWhateverWasChanged) {
  Settings settings = LoadSettings(store, conventions);
  const Settings before = settings;
  questions.choices = {{"/elsewhere/q3asm"}};
  auto run = [](QDialog& dialog) {
    auto& form = dynamic_cast<ConfigurationDialog&>(dialog);
    form.q3asmBrowseButton->click();
    form.backupCheckBox->setChecked(true);
    form.CancelButton->click();
    return form.result();
  };
  EXPECT_FALSE(RunPreferences(settings, store, questions, run, nullptr));
  EXPECT_EQ(settings, before);
  EXPECT_FALSE(std::filesystem::exists(store.FilePath()));
  EXPECT_FALSE(stored("BackupSource").has_value());
}

TEST_F(ConfigurationDialogTest, FieldsOpenOnTheEnvironmentPageWithTheValuesHandedIn) {
  ConfigurationDialog form(questions);
  EXPECT_EQ(form.windowTitle(), "Configuration");
  EXPECT_TRUE(form.NoticeLabel->isHidden());
  EXPECT_EQ(form.SettingsPages->tabText(0), "Environment");
  EXPECT_EQ(form.SettingsPages->tabText(1), "Compiler");
  EXPECT_EQ(form.SettingsPages->tabText(2), "Settings");
  EXPECT_TRUE(form.quake3locationEdit->isReadOnly());
  EXPECT_FALSE(form.quake3argumentsEdit->isReadOnly());
  EXPECT_TRUE(form.lcclocationEdit->isReadOnly());
  EXPECT_EQ(form.backupCheckBox->text(), "Create .~c and .~h backups on overwrite");
  EXPECT_TRUE(labels(form).contains("Quake II Arguments"));

  Settings settings;
  settings.EditorFont = "A Font Nobody Has";
  settings.EditorFontSize = 11;
  settings.q3asmlocation = "/tools/q3asm";
  form.SettingsPages->setCurrentIndex(2);
  form.SetValues(settings);
  EXPECT_EQ(form.SettingsPages->currentIndex(), 0);
  EXPECT_EQ(form.q3asmlocationEdit->text(), "/tools/q3asm");

  // A cancelled chooser leaves the field; the font name survives even when not installed.
  questions.choices = {{}};
  form.q3asmBrowseButton->click();
  EXPECT_EQ(form.q3asmlocationEdit->text(), "/tools/q3asm");
  form.fontSizeComboBox->setEditText("not a size");
  form.OkButton->click();
  EXPECT_EQ(form.Values().EditorFont, "A Font Nobody Has");
  EXPECT_EQ(form.Values().EditorFontSize, 11);
}

TEST_F(ConfigurationDialogTest, DesktopPathsAreTypedPickedAmongProgramsAndMissingToolsNamed) {
  Settings settings = LoadSettings(store, conventions);
  questions.choices = {{"/opt/q3/q3asm"}};
  auto run = [](QDialog& dialog) {
    auto& form = dynamic_cast<ConfigurationDialog&>(dialog);
    EXPECT_EQ(form.NoticeLabel->text(),
              "The compiler /nowhere/q3lcc was not found.\n"
              "Set \"Location of LCC Compiler\" in Preferences > Compiler.\n"
              "The tools are built from the ioquake3 sources (see \"Getting started\" in the README).");
    EXPECT_FALSE(form.NoticeLabel->isHidden());
    EXPECT_GT(form.height(), 343); // the notice adds its own lines
    // The page of the missing tool, with the keyboard in its field.
    EXPECT_EQ(form.SettingsPages->tabText(form.SettingsPages->currentIndex()), "Compiler");
    EXPECT_EQ(form.focusWidget(), form.lcclocationEdit);
    EXPECT_TRUE(labels(form).contains("Game arguments"));
    EXPECT_FALSE(labels(form).contains("Quake II Arguments"));
    for (QLineEdit* field : {form.quake3locationEdit, form.outputlocationEdit, form.lcclocationEdit})
      EXPECT_FALSE(field->isReadOnly());
    form.lcclocationEdit->setText("/pasted/q3lcc");
    form.q3asmBrowseButton->click();
    form.OkButton->click();
    return form.result();
  };
  PreferencesLook look;
  look.typedPaths = true;
  look.desktopLabels = true;
  look.missing = {{Tool::Compiler, "The compiler /nowhere/q3lcc was not found."}};
  ASSERT_TRUE(RunPreferences(settings, store, questions, run, nullptr, look));
  EXPECT_EQ(settings.lcclocation, "/pasted/q3lcc");
  EXPECT_EQ(settings.q3asmlocation, "/opt/q3/q3asm");
  const FileDialogRequest& locate = questions.fileRequests.at(0);
  EXPECT_TRUE(locate.programsOnly);
  EXPECT_EQ(locate.filter, "Programs (*)|*");
  EXPECT_EQ(locate.defaultExtension, "");
}

// On a desktop the dialog is called what its menu item is, each page's controls show whole, the
// start-up and colour choices go into the settings, and the colours into the highlighter's store.
TEST_F(ConfigurationDialogTest, DesktopPreferencesShowEveryFieldWholeAndKeepColours) {
  Settings settings = LoadSettings(store, conventions);
  EXPECT_TRUE(settings.ReopenLastWorkspace);
  EXPECT_TRUE(settings.ColoursFollowPalette);
  auto run = [](QDialog& dialog) {
    auto& form = dynamic_cast<ConfigurationDialog&>(dialog);
    EXPECT_EQ(form.windowTitle(), "Preferences");
    form.show();
    for (int page = 0; page < form.SettingsPages->count(); ++page) {
      form.SettingsPages->setCurrentIndex(page);
      QCoreApplication::processEvents();
      for (const QWidget* control : form.SettingsPages->currentWidget()->findChildren<QWidget*>()) {
        if (!control->isVisible()) continue;
        const QRect place(control->mapTo(&form, QPoint(0, 0)), control->size());
        EXPECT_TRUE(form.rect().contains(place)) << control->metaObject()->className() << " on page " << page;
        EXPECT_GE(place.width(), control->minimumSizeHint().width()) << control->metaObject()->className();
      }
    }
    const QLineEdit& arguments = *form.quake3argumentsEdit;
    EXPECT_GT(arguments.width(), arguments.fontMetrics().horizontalAdvance(arguments.text()))
        << "the game's arguments show whole";
    EXPECT_EQ(form.SettingsPages->tabText(3), "Colours");
    EXPECT_TRUE(form.reopenLastWorkspaceCheckBox->isChecked());
    form.reopenLastWorkspaceCheckBox->setChecked(false);
    const QList<QListWidgetItem*> comment = form.tokenKindsList->findItems("Comment", Qt::MatchExactly);
    EXPECT_EQ(comment.size(), 1);
    form.tokenKindsList->setCurrentItem(comment.value(0));
    form.ChooseColour = [](const QColor&) { return std::optional<QColor>(QColor(0x12, 0x34, 0x56)); };
    form.tokenColourButton->click();
    form.tokenItalicCheckBox->click();
    form.OkButton->click();
    return form.result();
  };
  PreferencesLook look;
  look.desktopLabels = true;
  ASSERT_TRUE(RunPreferences(settings, store, questions, run, nullptr, look));
  EXPECT_FALSE(nextRun().ReopenLastWorkspace);
  EXPECT_EQ(settings.Colours.at("Comment"),
            (TokenLook{0x00563412, settings.Colours.at("Comment").background, 2}));
  RegistryStore reread(store.FilePath());
  reread.Load();
  EXPECT_EQ(StoredTokenLooks(reread), settings.Colours);

  // The default colours again: nothing of the user's is kept.
  auto reset = [](QDialog& dialog) {
    auto& form = dynamic_cast<ConfigurationDialog&>(dialog);
    form.defaultColoursButton->click();
    form.OkButton->click();
    return form.result();
  };
  ASSERT_TRUE(RunPreferences(settings, store, questions, reset, nullptr, look));
  EXPECT_TRUE(settings.Colours.empty());
  EXPECT_TRUE(StoredTokenLooks(store).empty());
}

// Fixed dialogs offer neither minimise nor maximise; one that a window manager minimises all the
// same comes straight back, and the progress window cannot be closed from its frame.
TEST_F(ConfigurationDialogTest, DialogsAreFixedAndNeverStayMinimised) {
  ConfigurationDialog configuration(questions);
  AboutBox about;
  std::unique_ptr<QMessageBox> box = QtUserQuestions::messageBox(QMessageBox::Question, "Save changes?",
                                                                 QMessageBox::Yes | QMessageBox::No, nullptr);
  ProgressState progress;
  ProgressWindow compiling(progress);
  for (QWidget* dialog : std::initializer_list<QWidget*>{&configuration, &about, box.get(), &compiling}) {
    SCOPED_TRACE(dialog->metaObject()->className());
    dialog->show();
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), dialog != &compiling);
    if (dialog == &compiling) continue;
    dialog->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog->isMinimized());
    dialog->hide();
  }
}
