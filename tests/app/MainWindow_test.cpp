#include "AboutBox.h"
#include "ConfigurationDialog.h"
#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "EditorWindowPort.h"
#include "ImageLists.h"
#include "IsolatedEnvironment.h"
#include "KeyMap.h"
#include "KeyboardShortcuts.h"
#include "KeyboardShortcutsDialog.h"
#include "MainWindow.h"
#include "Paths.h"
#include "RecentList.h"
#include "RegistryStore.h"
#include "ScriptedQuestions.h"
#include "TempDir.h"
#include "WindowBar.h"
#include "WindowCommands.h"
#include "WorkspacePort.h"

#include "PdfText.h"
#include "PrintCommands.h"
#include "ProjectNameDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace {

const RegistryRoot user = RegistryRoot::CurrentUser;

// An editor window stand-in: it asks its save prompt through the questions seam.
class StubEditor : public QWidget, public EditorWindowPort {
public:
  StubEditor(UserQuestions& questions, std::string fileName) : questions_(questions), fileName_(fileName) {
    setWindowTitle(QString::fromStdString(fileName));
  }

  bool modified = false;
  bool selection = false;
  bool canUndo = false;
  std::string font;
  int undoLevels = 0;
  int settingsApplied = 0;
  std::vector<std::string> commands;

  std::string FileName() const override { return fileName_; }
  bool CanUndo() const override { return canUndo; }
  bool CanRedo() const override { return false; }
  bool Modified() const override { return modified; }
  bool SelAvail() const override { return selection; }
  EditorStatus Status() const override { return {}; }
  bool CloseQuery() override {
    if (!modified) return true;
    Answer answer = questions_.AskYesNoCancel("Save changes to " + fileName_ + "?");
    if (answer == Answer::Cancel) return false;
    modified = false;
    return true;
  }
  void SaveFile() override { commands.push_back("save"); }
  void NoticeOutsideChanges() override { commands.push_back("look at disk"); }
  void SetMarkColour(std::uint32_t) override {}
  void MarkLine(int line) override { commands.push_back("mark " + std::to_string(line)); }
  int VisibleLineCount() const override { return 20; }
  void SetTopLine(int) override {}
  void BringToFront() override {}
  void Undo() override { commands.push_back("undo"); }
  void Redo() override { commands.push_back("redo"); }
  void CutToClipboard() override { commands.push_back("cut"); }
  void CopyToClipboard() override { commands.push_back("copy"); }
  void PasteFromClipboard() override { commands.push_back("paste"); }
  void DeleteSelection() override { commands.push_back("delete"); }
  void BlockIndent() override { commands.push_back("indent"); }
  void BlockUnindent() override { commands.push_back("unindent"); }
  void Fold(EditorCommand command) override { commands.push_back("fold " + EditorCommandToIdent(command)); }
  void ApplySettings(const Settings& settings) override {
    ++settingsApplied;
    font = settings.EditorFont + " " + std::to_string(settings.EditorFontSize);
    undoLevels = settings.UndoLevels;
  }
  std::string SelText() const override { return {}; }
  int SearchReplace(const std::string&, const std::string&, SearchFlags) override { return 0; }
  int LineCount() const override { return 1; }
  std::string WordAtCaret() const override { return {}; }
  std::string ShownText() const override { return {}; }
  void ReplaceLines(int, int, const std::string&) override {}
  void SetCaretY(int) override {}
  void Print(QPrinter&) override { commands.push_back("print"); }

protected:
  void closeEvent(QCloseEvent* event) override {
    if (!CloseQuery()) event->ignore();
  }

private:
  UserQuestions& questions_;
  std::string fileName_;
};

struct FakeWorkspace : WorkspacePort {
  std::vector<std::string>& events;
  bool loads = true;
  bool projects = false;
  bool modified = false;
  explicit FakeWorkspace(std::vector<std::string>& log) : events(log) {}
  bool LoadWorkspace(const std::string& path) override {
    events.push_back("load " + path);
    return loads;
  }
  bool ReopenWorkspace(const std::string& path) override {
    events.push_back("reopen " + path);
    return loads;
  }
  void BuildTree() override { events.push_back("tree"); }
  bool HoldsProjects() const override { return projects; }
  bool Modified() const override { return modified; }
  bool CloseWorkspace() override {
    events.push_back("close workspace");
    return true;
  }
};

struct MainWindowTest : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  std::vector<std::string> events;
  FakeWorkspace* workspace = nullptr;
  bool clipboardText = true;

  MainWindowTest() {
    // Tools that exist, so start-up needs no dialog.
    dir.write("tools/q3lcc", "");
    dir.write("tools/q3asm", "");
    RegistryStore store(dir.file("registry"));
    store.SetString(user, kSettingsKey, "lcclocation", dir.file("tools/q3lcc"));
    store.SetString(user, kSettingsKey, "q3asmlocation", dir.file("tools/q3asm"));
    store.Save();
  }

  MainWindowEnvironment environment(std::vector<std::string> arguments = {}, bool fakeWorkspace = true) {
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    env.arguments = std::move(arguments);
    env.programPath = "/opt/tessarin";
    env.clipboardHasText = [this] { return clipboardText; };
    env.runDialog = [this](QDialog& dialog) {
      events.push_back("dialog " + dialog.windowTitle().toStdString());
      return int(QDialog::Rejected);
    };
    if (fakeWorkspace)
      env.makeWorkspace = [this](MainWindow&) {
        auto fake = std::make_unique<FakeWorkspace>(events);
        workspace = fake.get();
        return fake;
      };
    env.newEditorWindow = [this](MainWindow& form, const std::string& path) {
      events.push_back("new editor " + path);
      return form.AddEditorWindow(new StubEditor(questions, path));
    };
    return env;
  }

  // The program's own document windows instead of stand-ins.
  MainWindowEnvironment documentEnvironment(std::vector<std::string> arguments, bool fakeWorkspace = true) {
    MainWindowEnvironment env = environment(std::move(arguments), fakeWorkspace);
    env.newEditorWindow = nullptr;
    return env;
  }

  StubEditor* addEditor(MainWindow& form, const std::string& path) {
    auto* editor = new StubEditor(questions, path);
    form.AddEditorWindow(editor);
    return editor;
  }

  void setSetting(const char* name, const std::string& value) {
    RegistryStore store(dir.file("registry"));
    store.Load();
    store.SetString(user, kSettingsKey, name, value);
    store.Save();
  }

  static void start(MainWindow& form) {
    form.CompleteStartup();
    QCoreApplication::processEvents();
  }
};

bool enabled(MainWindow& form, const char* name) { return form.Actions()[name]->isEnabled(); }

bool hasInk(const QIcon& icon) {
  QImage image = icon.pixmap(kImageSize, kImageSize).toImage();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) return true;
  return false;
}

} // namespace

TEST_F(MainWindowTest, StartsWithAnEmptyTreeTheDebugPageAndNoDialog) {
  MainWindow form(environment({}, false));
  start(form);
  ASSERT_EQ(form.ProjectTreeView->topLevelItemCount(), 1);
  EXPECT_EQ(form.ProjectTreeView->topLevelItem(0)->text(0), "Projects");
  EXPECT_EQ(form.ProjectTreeView->topLevelItem(0)->childCount(), 0);
  EXPECT_EQ(form.MessagePages->currentWidget(), form.BuildMessagesPage);
  EXPECT_EQ(form.WorkspacePages->currentWidget(), form.FileViewPage);
  EXPECT_EQ(form.windowTitle(), "Tessarin");
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(questions.log.empty());
  EXPECT_EQ(form.WorkspaceFileName, "");
}

TEST_F(MainWindowTest, AMissingToolOpensPreferencesBeforeTheCommandLineFile) {
  setSetting("lcclocation", dir.file("tools/gone"));
  setSetting("q3asmlocation", dir.file("nowhere/q3asm"));
  dir.write("mods/logic.c", "int x;\n");
  // The desktop's Preferences says what is missing and opens on it; the classic one does not.
  struct Case {
    SettingsConventions conventions;
    std::string notice;
    std::string page;
    std::string title;
  };
  const Case cases[] = {
      {IsolatedEnvironment(questions, dir).conventions,
       "The compiler " + dir.file("tools/gone") + " was not found.\nThe folder " + dir.file("nowhere/") +
           " of the assembler does not exist.\nSet \"Location of LCC Compiler\" and \"Location of Q3ASM "
           "Assembler\" in Preferences > Compiler.\nThe tools are built from the ioquake3 sources (see "
           "\"Getting started\" in the README).",
       "Compiler", "Preferences"},
      {SettingsConventions::Windows(), "", "Environment", "Configuration"},
  };
  for (const Case& c : cases) {
    MainWindowEnvironment env = environment({dir.file("mods/logic.c")});
    env.conventions = c.conventions;
    std::string shown;
    std::string page;
    env.runDialog = [this, &shown, &page](QDialog& dialog) {
      events.push_back("dialog " + dialog.windowTitle().toStdString());
      auto& preferences = dynamic_cast<ConfigurationDialog&>(dialog);
      shown = preferences.NoticeLabel->text().toStdString();
      page = preferences.SettingsPages->tabText(preferences.SettingsPages->currentIndex()).toStdString();
      return int(QDialog::Rejected);
    };
    MainWindow form(std::move(env));
    events.clear();
    start(form);
    EXPECT_EQ(events,
              (std::vector<std::string>{"dialog " + c.title, "new editor " + dir.file("mods/logic.c")}));
    EXPECT_EQ(shown, c.notice);
    EXPECT_EQ(page, c.page);
  }
}

// Greyed out, Launch says in its tool tip and status tip which game is missing and where to set it.
TEST_F(MainWindowTest, LaunchGreyedOutSaysWhy) {
  setSetting("quake3location", dir.file("games/openarena"));
  dir.write("games/README", "");
  MainWindow form(environment({}, false));
  form.CreateSharedDialogs();
  QAction* launch = form.Actions()["LaunchQuake3Action"];
  form.RefreshActions();
  EXPECT_FALSE(launch->isEnabled());
  const QString why = QString::fromStdString("The game " + dir.file("games/openarena") +
                                             " was not found. Set \"Quake III Arena Executable\" in "
                                             "Preferences > Environment.");
  EXPECT_EQ(launch->toolTip(), why);
  EXPECT_EQ(launch->statusTip(), why);

  dir.write("games/openarena", "");
  form.RefreshActions();
  EXPECT_TRUE(launch->isEnabled());
  EXPECT_EQ(launch->toolTip(), "Launch Quake 3");
  EXPECT_EQ(launch->statusTip(), "Launch Quake 3");
}

TEST_F(MainWindowTest, AWorkspaceArgumentLoadsWhateverTheCaseOfItsExtension) {
  const std::string file = dir.write("mods/MyMod.TSW", "");
  MainWindow form(environment({file, dir.file("ignored.c")}));
  events.clear();
  start(form);
  EXPECT_EQ(events, std::vector<std::string>{"load " + file});
  EXPECT_EQ(form.WorkspaceFileName, file);
  // On a desktop it is one to reopen.
  ASSERT_EQ(form.RecentWorkspaces().Entries().size(), 1u);
  EXPECT_EQ(form.RecentWorkspaces().Entries()[0].path, file);
}

TEST_F(MainWindowTest, AWorkspaceThatFailsToLoadLeavesTheNameAlone) {
  const std::string file = dir.write("bad.tsw", "");
  MainWindow form(environment({file}));
  workspace->loads = false;
  start(form);
  EXPECT_EQ(form.WorkspaceFileName, "");
}

TEST_F(MainWindowTest, ASourceArgumentOpensOneWindowOrFindsTheOpenOne) {
  const std::string file = dir.write("mods/logic.c", "");
  {
    MainWindow form(environment({file}));
    events.clear();
    start(form);
    EXPECT_EQ(events, std::vector<std::string>{"new editor " + file});
    EXPECT_EQ(form.Windows().Count(), 1);
  }
  MainWindow form(environment({file}));
  addEditor(form, file);
  addEditor(form, dir.file("other.c"));
  events.clear();
  start(form);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(form.Windows().Count(), 2);
  EXPECT_EQ(form.Windows().ActiveEditor()->FileName(), file);
}

TEST_F(MainWindowTest, AMissingArgumentDoesNothing) {
  MainWindow form(environment({dir.file("nowhere.tsw")}));
  events.clear();
  start(form);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(questions.log.empty());
}

TEST_F(MainWindowTest, EditActionsFollowTheActiveEditorAndAreWrittenOnlyOnChange) {
  MainWindow form(environment());
  form.RefreshActions();
  for (const char* name :
       {"EditUndoAction", "EditRedoAction", "EditCutAction", "EditCopyAction", "EditPasteAction",
        "EditDeleteAction", "FindAction", "ReplaceAction", "SearchAgainAction", "GotoLineNumberAction",
        "CompileActiveAction", "PrintAction", "CloseAllWindowsAction", "FileSaveAction", "FileSaveAsAction",
        "EditBlockIndentAction", "EditBlockUnindentAction", "EditFoldAction", "EditUnfoldAllAction"})
    EXPECT_FALSE(enabled(form, name)) << name;
  EXPECT_TRUE(enabled(form, "FileNewAction"));

  StubEditor* editor = addEditor(form, "/mods/server/logic.c");
  editor->selection = true;
  editor->modified = true;
  clipboardText = false;
  form.RefreshActions();
  EXPECT_EQ(form.Actions()["CompileActiveAction"]->text(), "Compile logic.c");
  EXPECT_TRUE(enabled(form, "EditCopyAction"));
  EXPECT_TRUE(enabled(form, "EditDeleteAction"));
  EXPECT_TRUE(enabled(form, "FileSaveAction"));
  EXPECT_TRUE(enabled(form, "FileSaveAllAction"));
  EXPECT_TRUE(enabled(form, "GotoLineNumberAction"));
  EXPECT_TRUE(enabled(form, "CloseAllWindowsAction"));
  EXPECT_FALSE(enabled(form, "EditUndoAction"));
  EXPECT_FALSE(enabled(form, "EditPasteAction"));

  int changes = 0;
  for (QAction* action : form.Actions().All())
    QObject::connect(action, &QAction::changed, &form, [&changes] { ++changes; });
  form.RefreshActions();
  EXPECT_EQ(changes, 0);
  editor->canUndo = true;
  form.RefreshActions();
  EXPECT_EQ(changes, 1);

  form.Actions()["EditDeleteAction"]->trigger();
  form.Actions()["EditUndoAction"]->trigger();
  form.Actions()["EditBlockIndentAction"]->trigger();
  form.Actions()["EditBlockUnindentAction"]->trigger();
  form.Actions()["EditFoldAction"]->trigger();
  form.Actions()["EditUnfoldAllAction"]->trigger();
  EXPECT_EQ(editor->commands, (std::vector<std::string>{"delete", "undo", "indent", "unindent", "fold ecFold",
                                                        "fold ecUnfoldAll"}));

  // Closing the last window disables them again; the caption keeps its last text.
  editor->modified = false;
  form.CloseAllWindows();
  form.RefreshActions();
  EXPECT_FALSE(enabled(form, "EditCopyAction"));
  EXPECT_EQ(form.Actions()["CompileActiveAction"]->text(), "Compile logic.c");
}

TEST_F(MainWindowTest, PrintGoesToTheActiveWindowAndPrintSetupShowsItsDialog) {
  MainWindow form(environment());
  form.Actions()["PrintAction"]->trigger(); // no window: nothing happens
  StubEditor* first = addEditor(form, "/mods/a.c");
  StubEditor* second = addEditor(form, "/mods/b.c");
  form.Actions()["PrintAction"]->trigger();
  EXPECT_TRUE(first->commands.empty());
  EXPECT_EQ(second->commands, (std::vector<std::string>{"print"}));
  EXPECT_EQ(form.Printing().Printer().resolution(), QPrinter(QPrinter::HighResolution).resolution());

  form.Actions()["PrintSetupAction"]->trigger();
  EXPECT_EQ(events.back(), "dialog Print Setup");
}

TEST_F(MainWindowTest, CloseAllKeepsTheWindowThatRefuses) {
  MainWindow form(environment());
  addEditor(form, "/m/a.c");
  StubEditor* middle = addEditor(form, "/m/b.c");
  addEditor(form, "/m/c.c");
  middle->modified = true;
  questions.answers = {Answer::Cancel};
  form.Actions()["CloseAllWindowsAction"]->trigger();
  ASSERT_EQ(form.Windows().Count(), 1);
  EXPECT_EQ(WindowCommands::Port(form.Windows().Windows().front())->FileName(), "/m/b.c");
  EXPECT_EQ(form.WindowButtons->Count(), 1);
  EXPECT_EQ(questions.log, std::vector<std::string>{"ask: Save changes to /m/b.c?"});
}

// The desktop's keys: Ctrl+W and Ctrl+F4 close the active window (no frame menu key makes them
// ambiguous), and Ctrl+Del is left to the editor, which deletes a word with it.
TEST_F(MainWindowTest, DesktopKeysCloseTheWindowAndLeaveCtrlDelToTheEditor) {
  MainWindow form(environment());
  EXPECT_EQ(form.Actions()["WindowClose1"]->shortcuts(), QKeySequence::listFromString("Ctrl+W; Ctrl+F4"));
  EXPECT_TRUE(form.Actions()["EditDeleteAction"]->shortcut().isEmpty());
  addEditor(form, "/m/a.c");
  for (QAction* action : form.Windows().Windows().front()->systemMenu()->actions())
    EXPECT_TRUE(action->shortcuts().isEmpty()) << action->text().toStdString();
}

TEST_F(MainWindowTest, ClosingAsksEveryWindowFirstThenClosesTheWorkspace) {
  MainWindow form(environment());
  StubEditor* editor = addEditor(form, "/m/a.c");
  editor->modified = true;
  events.clear();
  questions.answers = {Answer::Cancel};
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(events.empty()); // the workspace was not touched
  EXPECT_EQ(form.Windows().Count(), 1);

  questions.answers = {Answer::No};
  EXPECT_TRUE(form.close());
  EXPECT_EQ(events, std::vector<std::string>{"close workspace"});
}

// The program (unlike the command-line build, which never asks a desktop) takes the desktop's
// fixed-pitch font for the editor.
TEST(DesktopConventions, TheEditorFontIsTheDesktopsFixedFont) {
  const std::string fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family().toStdString();
  ASSERT_FALSE(fixed.empty());
  EXPECT_EQ(DefaultSettings(DesktopConventions(), nullptr).EditorFont, fixed);
}

// A light or dark palette chosen while the program runs reaches the open editors at once where
// the colours follow the palette, and leaves them alone where the colours are as stored.
TEST_F(MainWindowTest, APaletteChosenWhileRunningReachesTheOpenEditors) {
  MainWindow form(environment());
  StubEditor* editor = addEditor(form, "/m/a.c");
  const QPalette original = QApplication::palette();
  QPalette dark = original;
  dark.setColor(QPalette::Base, Qt::black);
  dark.setColor(QPalette::Text, Qt::white);
  for (const bool follow : {false, true}) {
    form.settings.ColoursFollowPalette = follow;
    const int before = editor->settingsApplied;
    QApplication::setPalette(follow ? dark : original);
    QApplication::setPalette(follow ? original : dark);
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->settingsApplied > before, follow);
  }
  QApplication::setPalette(original);
}

TEST_F(MainWindowTest, ConfirmedPreferencesReachTheOpenEditors) {
  MainWindowEnvironment env = environment();
  env.runDialog = [](QDialog& dialog) {
    auto& form = dynamic_cast<ConfigurationDialog&>(dialog);
    form.fontSizeComboBox->setEditText("13");
    form.undoLevelsSpinBox->setValue(250);
    form.OkButton->click();
    return form.result();
  };
  MainWindow form(std::move(env));
  StubEditor* editor = addEditor(form, "/m/a.c");
  form.Actions()["FilePreferencesAction"]->trigger();
  EXPECT_EQ(form.settings.EditorFontSize, 13);
  EXPECT_EQ(editor->font, form.settings.EditorFont + " 13");
  EXPECT_EQ(editor->undoLevels, 250);
  RegistryStore reread(dir.file("registry"));
  reread.Load();
  EXPECT_EQ(reread.Value(user, kSettingsKey, "EditorFontSize")->Number(), 13);
  EXPECT_EQ(reread.Value(user, kSettingsKey, "UndoLevels")->Number(), 250);
}

TEST_F(MainWindowTest, ADamagedSettingsFileGivesDefaultsAMessageAndIsNotRewritten) {
  const std::string garbage = std::string("\x01\x02 not a registry\n[unclosed\n\xff\xfe", 27);
  dir.write("registry", garbage);
  {
    MainWindow form(environment());
    EXPECT_EQ(form.settings.EditorFont, IsolatedEnvironment(questions, dir).conventions.editorFont);
    ASSERT_EQ(questions.errors().size(), 1u);
    form.RecentWorkspaces().AddItem("/w/a.tsw");
  }
  EXPECT_EQ(TempDir::read(dir.file("registry")), garbage);
}

TEST_F(MainWindowTest, RecentEntriesReopenAndSurviveTheRun) {
  {
    MainWindow form(environment());
    form.RecentWorkspaces().AddItem("/w/first.dsw");
    form.RecentWorkspaces().AddItem("/w/second.tsw");
    events.clear();
    form.ReopenMenu->actions().last()->trigger(); // the older entry
    EXPECT_EQ(events, std::vector<std::string>{"reopen /w/first.dsw"});
    EXPECT_EQ(form.RecentWorkspaces().Entries().front().path, "/w/first.dsw");

    workspace->loads = false;
    form.ReopenMenu->actions().last()->trigger();
    EXPECT_EQ(form.RecentWorkspaces().Entries().back().path, "/w/second.tsw");
    EXPECT_TRUE(questions.log.empty()); // the workspace reports its own load errors
  }
  MainWindow again(environment());
  ASSERT_EQ(again.RecentWorkspaces().Entries().size(), 2u);
  EXPECT_EQ(again.ReopenMenu->actions().size(), 3); // separator and two entries
}

// On a desktop, File > Recent Files lists the files opened, newest first, across runs; an entry
// opens its file again, and one that can no longer be opened leaves the list.
TEST_F(MainWindowTest, RecentFilesListTheOpenedFilesAndSurviveTheRun) {
  const std::string first = dir.write("mods/g_main.c", "int a;\n");
  const std::string second = dir.write("mods/g_cmds.c", "int b;\n");
  {
    MainWindow form(environment());
    ASSERT_NE(form.RecentFilesMenu, nullptr);
    form.OpenEditorWindow(first);
    form.OpenEditorWindow(second);
    form.OpenEditorWindow(dir.file("mods/missing.c")); // a window, but no file on disk
    ASSERT_EQ(form.RecentFilesMenu->actions().size(), 2);
    EXPECT_TRUE(form.RecentFilesMenu->actions().first()->text().endsWith("g_cmds.c"));
  }
  MainWindow again(documentEnvironment({}));
  ASSERT_EQ(again.RecentFilesMenu->actions().size(), 2);
  again.RecentFilesMenu->actions().last()->trigger();
  ASSERT_EQ(again.Windows().Count(), 1);
  EXPECT_EQ(again.Windows().ActiveEditor()->FileName(), first);
  EXPECT_TRUE(again.RecentFilesMenu->actions().first()->text().endsWith("g_main.c"));

  std::filesystem::remove(second);
  again.RecentFilesMenu->actions().last()->trigger();
  EXPECT_EQ(again.Windows().Count(), 1);
  EXPECT_EQ(again.RecentFilesMenu->actions().size(), 1) << "the file that is gone left the list";
  EXPECT_EQ(questions.log,
            std::vector<std::string>{"inform: " + second +
                                     " no longer exists; it leaves the list of recent files."});

  // The classic File menu has neither the list nor New Workspace.
  MainWindowEnvironment classic = environment();
  classic.conventions = SettingsConventions::Windows();
  MainWindow old(std::move(classic));
  EXPECT_EQ(old.RecentFilesMenu, nullptr);
  EXPECT_FALSE(old.Actions()["FileNewWorkspaceAction"]->isVisible());
}

TEST_F(MainWindowTest, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
  MainWindow form(environment());
  form.Actions().SetHandler("FindAction", [] { throw TessarinError("Pattern is empty"); });
  form.Actions()["FindAction"]->trigger();
  EXPECT_EQ(questions.errors(), std::vector<std::string>{"Pattern is empty"});
}

TEST_F(MainWindowTest, AboutShowsTheVersion) {
  MainWindowEnvironment env = environment();
  QString texts;
  env.runDialog = [&texts](QDialog& dialog) {
    EXPECT_NE(dynamic_cast<AboutBox*>(&dialog), nullptr);
    for (QLabel* label : dialog.findChildren<QLabel*>())
      texts += label->text() + "|";
    texts += dialog.windowTitle();
    return int(QDialog::Accepted);
  };
  MainWindow form(std::move(env));
  form.Actions()["AboutAction"]->trigger();
  EXPECT_TRUE(texts.contains("Version 0.3|")) << texts.toStdString();
  EXPECT_TRUE(texts.endsWith("About"));
}

TEST_F(MainWindowTest, MenusToolbarsAndImagesAreComplete) {
  MainWindowEnvironment classic = environment();
  classic.conventions = SettingsConventions::Windows();
  MainWindow form(std::move(classic));
  EXPECT_EQ(form.Actions().All().size(), 73u);
  EXPECT_FALSE(form.Actions()["EditFoldAction"]->isVisible());
  EXPECT_EQ(form.Actions()["NextMessageAction"]->shortcut(), QKeySequence(Qt::Key_F4));
  EXPECT_EQ(form.Actions()["PreviousMessageAction"]->shortcut(), QKeySequence("Shift+F4"));
  QAction* build = form.Actions()["BuildActiveProjectAction"];
  EXPECT_EQ(build->shortcut(), QKeySequence(Qt::Key_F7));
  EXPECT_EQ(build->toolTip(), "Build the Active Project");
  EXPECT_EQ(form.Actions()["ReplaceAction"]->data().toInt(), 1);
  EXPECT_EQ(form.Actions()["EditDeleteAction"]->shortcut(), QKeySequence("Ctrl+Del"));

  QStringList menus;
  for (QAction* menu : form.menuBar()->actions())
    menus << menu->text();
  EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Search", "&Go", "&Build", "&Window", "&Help"}));
  QStringList file;
  for (QAction* entry : form.menuBar()->actions().front()->menu()->actions())
    if (entry->isVisible()) file << (entry->isSeparator() ? "-" : entry->text());
  EXPECT_EQ(file, QStringList({"&New File",
                               "&Open File...",
                               "-",
                               "&Preferences",
                               "-",
                               "Import DSW &Workspace...",
                               "Open &Workspace",
                               "&Reopen Workspace",
                               "-",
                               "Sa&ve Workspace",
                               "Close Wor&kspace",
                               "Export Compilation &Database...",
                               "-",
                               "&Save File...",
                               "Save &As",
                               "Save A&ll",
                               "-",
                               "Print Set&up",
                               "&Print",
                               "-",
                               "E&xit"}));
  EXPECT_EQ(form.FileToolBar->actions().size(), 20);
  EXPECT_EQ(form.ProjectTreeMenu->actions().size(), 11);
  // Every command is in a menu the keyboard reaches: the menu bar's, or the tree's (Shift+F10).
  const QList<QAction*> treeMenu = form.ProjectTreeMenu->actions();
  std::set<QAction*> inMenus(treeMenu.begin(), treeMenu.end());
  for (QAction* menu : form.menuBar()->actions()) {
    EXPECT_TRUE(menu->text().contains('&')) << menu->text().toStdString();
    for (QAction* entry : menu->menu()->actions())
      inMenus.insert(entry);
  }
  for (QAction* action : form.Actions().All())
    EXPECT_TRUE(inMenus.count(action)) << action->objectName().toStdString();
  EXPECT_EQ(form.Actions()["FindInFilesAction"]->shortcut(), QKeySequence("Ctrl+Shift+F"));
  EXPECT_FALSE(form.Actions()["LaunchQuake3Action"]->shortcut().isEmpty());

  for (const ActionSpec& entry : ActionTable()) {
    if (entry.image < 0) continue;
    EXPECT_TRUE(hasInk(form.Actions()[entry.name]->icon())) << entry.name;
  }
  ASSERT_EQ(form.ButtonImages.size(), 25);
  for (int i = 0; i < form.ButtonImages.size(); ++i)
    EXPECT_TRUE(hasInk(form.ButtonImages[i])) << i;
  for (int i = 0; i < form.TreeImages.size(); ++i)
    EXPECT_TRUE(hasInk(form.TreeImages[i])) << i;
  EXPECT_TRUE(form.BuildMessageList->font().fixedPitch());
}

// On the desktop no two entries of a menu share an access key, whatever the names of the open
// files and of the recent workspaces; names show as written and add no access key of their own.
TEST_F(MainWindowTest, EveryMenusAccessKeysAreUnique) {
  MainWindow form(environment());
  for (int i = 1; i <= 12; ++i)
    form.RecentWorkspaces().AddItem("/w/r&d " + std::to_string(i) + "/mod.tsw");
  for (int i = 1; i <= 11; ++i)
    addEditor(form, "/m/a&b" + std::to_string(i) + ".c");
  emit form.WindowMenu->aboutToShow();

  std::vector<const QMenu*> menus = {form.ProjectTreeMenu};
  std::map<QKeySequence, QString> menuBarKeys;
  for (QAction* entry : form.menuBar()->actions()) {
    EXPECT_TRUE(menuBarKeys.emplace(QKeySequence::mnemonic(entry->text()), entry->text()).second)
        << entry->text().toStdString();
    menus.push_back(entry->menu());
  }
  for (std::size_t i = 0; i < menus.size(); ++i) {
    std::map<QKeySequence, QString> keys;
    for (QAction* entry : menus[i]->actions()) {
      if (entry->isSeparator()) continue;
      if (entry->menu() != nullptr) menus.push_back(entry->menu());
      const QKeySequence key = QKeySequence::mnemonic(entry->text());
      if (key.isEmpty()) continue;
      const auto [kept, added] = keys.emplace(key, entry->text());
      EXPECT_TRUE(added) << menus[i]->title().toStdString() << ": " << entry->text().toStdString() << " and "
                         << kept->second.toStdString();
    }
  }
  EXPECT_GE(menus.size(), 8u) << "the menu bar's six, the tree's and Reopen Workspace";
  const QString recent = form.ReopenMenu->actions().at(1)->text();
  EXPECT_EQ(recent, "&1 /w/r&&d 12/mod.tsw");
  for (QToolButton* button : form.WindowButtons->findChildren<QToolButton*>())
    EXPECT_TRUE(QKeySequence::mnemonic(button->text()).isEmpty()) << button->text().toStdString();
}

// Help > Keyboard Shortcuts lists the key of every menu command and every key of the editor.
TEST_F(MainWindowTest, KeyboardShortcutsListEveryKey) {
  MainWindowEnvironment env = environment();
  std::map<QString, std::vector<QStringList>> groups;
  env.runDialog = [&groups](QDialog& dialog) {
    const auto* list = dialog.findChild<QTreeWidget*>();
    EXPECT_NE(list, nullptr);
    for (int group = 0; list != nullptr && group < list->topLevelItemCount(); ++group)
      for (int row = 0; row < list->topLevelItem(group)->childCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(group)->child(row);
        groups[list->topLevelItem(group)->text(0)].push_back({item->text(0), item->text(1), item->text(2)});
      }
    return int(QDialog::Accepted);
  };
  MainWindow form(std::move(env));
  auto* shortcuts = form.findChild<QAction*>("KeyboardShortcutsAction");
  ASSERT_NE(shortcuts, nullptr);
  EXPECT_TRUE(form.menuBar()->actions().last()->menu()->actions().contains(shortcuts));
  shortcuts->trigger();

  std::set<QString> menuKeys;
  std::size_t rowsWithKeys = 0;
  for (const QStringList& row : groups["Menu commands"]) {
    menuKeys.insert(row[0]);
    rowsWithKeys += row[0].isEmpty() ? 0 : 1;
  }
  std::size_t withKeys = 0;
  for (QAction* action : form.Actions().All()) {
    if (action->shortcut().isEmpty()) continue;
    ++withKeys;
    EXPECT_TRUE(menuKeys.count(action->shortcut().toString(QKeySequence::NativeText)))
        << action->objectName().toStdString();
  }
  EXPECT_EQ(rowsWithKeys, withKeys);
  // Commands without a key are listed too, to be given one.
  EXPECT_TRUE(std::count(groups["Menu commands"].begin(), groups["Menu commands"].end(),
                         QStringList({"", "Rebuild All", "Build menu"})));
  EXPECT_TRUE(std::count(groups["Menu commands"].begin(), groups["Menu commands"].end(),
                         QStringList({"F7", "Build Active Project", "Build menu"})));
  KeyMap editorKeys;
  editorKeys.LoadDefaultMap();
  EXPECT_EQ(groups["Editor keys"].size(), static_cast<std::size_t>(editorKeys.Count()));
  EXPECT_TRUE(std::count(groups["Editor keys"].begin(), groups["Editor keys"].end(),
                         QStringList({"Ctrl+Shift+Left", "Select word left", "Editor"})));
}

// A menu command takes new keys from the list (a double-click, then the keys): a key another
// command has is refused with that command named, a free one is taken, and the keys stay for the
// next run. The filter shows only the rows that hold its text.
TEST_F(MainWindowTest, KeyboardShortcutsChangeAMenuCommandsKeyAndKeepIt) {
  MainWindowEnvironment env = environment();
  std::vector<std::string> notices;
  env.runDialog = [&notices](QDialog& dialog) {
    auto& shortcuts = dynamic_cast<KeyboardShortcutsDialog&>(dialog);
    shortcuts.FilterEdit->setText("save a");
    std::vector<QTreeWidgetItem*> shown;
    for (int group = 0; group < shortcuts.KeyList->topLevelItemCount(); ++group)
      for (int row = 0; row < shortcuts.KeyList->topLevelItem(group)->childCount(); ++row)
        if (QTreeWidgetItem* item = shortcuts.KeyList->topLevelItem(group)->child(row); !item->isHidden())
          shown.push_back(item);
    EXPECT_EQ(shown.size(), 2u); // Save As and Save All
    QTreeWidgetItem* saveAs = shown.at(0);
    EXPECT_EQ(saveAs->text(1), "Save As...");
    shortcuts.StartCapture(saveAs);
    QTest::keyClick(shortcuts.KeyList, Qt::Key_S, Qt::ControlModifier);
    notices.push_back(shortcuts.NoticeLabel->text().toStdString());
    QTest::keyClick(shortcuts.KeyList, Qt::Key_Shift); // a modifier alone is no key
    QTest::keyClick(shortcuts.KeyList, Qt::Key_F2, Qt::AltModifier);
    notices.push_back(shortcuts.NoticeLabel->text().toStdString());
    EXPECT_EQ(saveAs->text(0), "Alt+F2");
    shortcuts.StartCapture(shown.at(1));
    QTest::keyClick(shortcuts.KeyList, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    shortcuts.StartCapture(saveAs);
    QTest::keyClick(shortcuts.KeyList, Qt::Key_Escape); // keeps it
    notices.push_back(shortcuts.NoticeLabel->text().toStdString());
    return int(QDialog::Accepted);
  };
  {
    MainWindow form(std::move(env));
    form.Actions()["KeyboardShortcutsAction"]->trigger();
    EXPECT_EQ(notices, (std::vector<std::string>{
                           "Ctrl+S is already the key of Save File (File menu): press other keys, or give "
                           "that command another key first.",
                           "Save As... is now Alt+F2.", "Double-click a command to give it other keys."}));
    EXPECT_EQ(form.Actions()["FileSaveAsAction"]->shortcut(), QKeySequence("Alt+F2"));
  }
  MainWindow again(environment());
  EXPECT_EQ(again.Actions()["FileSaveAsAction"]->shortcut(), QKeySequence("Alt+F2"));
  EXPECT_EQ(again.Actions()["FileSaveAllAction"]->shortcut(), QKeySequence("Ctrl+Alt+L"));
  EXPECT_EQ(again.Actions()["FileSaveAction"]->shortcut(), QKeySequence("Ctrl+S"));
}

// An editor key takes new keys as a menu command does: a key of a menu command or of another
// editor command is refused with it named, a free one is taken, kept, and reaches the editor
// windows; an editor key given none is listed without one next time.
TEST_F(MainWindowTest, KeyboardShortcutsChangeAnEditorKeyAndKeepIt) {
  MainWindowEnvironment env = environment();
  std::vector<std::string> notices;
  env.runDialog = [&notices](QDialog& dialog) {
    auto& shortcuts = dynamic_cast<KeyboardShortcutsDialog&>(dialog);
    QTreeWidgetItem* editorKeys = shortcuts.KeyList->topLevelItem(1);
    const auto rowOf = [&](const QString& command) {
      for (int row = 0; row < editorKeys->childCount(); ++row)
        if (editorKeys->child(row)->text(1) == command) return editorKeys->child(row);
      return static_cast<QTreeWidgetItem*>(nullptr);
    };
    QTreeWidgetItem* wordLeft = rowOf("Select word left");
    shortcuts.StartCapture(wordLeft);
    QTest::keyClick(shortcuts.KeyList, Qt::Key_S, Qt::ControlModifier);
    notices.push_back(shortcuts.NoticeLabel->text().toStdString());
    QTest::keyClick(shortcuts.KeyList, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    notices.push_back(shortcuts.NoticeLabel->text().toStdString());
    QTest::keyClick(shortcuts.KeyList, Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    notices.push_back(shortcuts.NoticeLabel->text().toStdString());
    EXPECT_EQ(wordLeft->text(0), "Alt+Shift+Left");
    shortcuts.StartCapture(rowOf("Select word right"));
    QTest::keyClick(shortcuts.KeyList, Qt::Key_Backspace);
    return int(QDialog::Accepted);
  };
  {
    MainWindow form(std::move(env));
    form.Actions()["KeyboardShortcutsAction"]->trigger();
    EXPECT_EQ(notices, (std::vector<std::string>{
                           "Ctrl+S is already the key of Save File (File menu): press other keys, or give "
                           "that command another key first.",
                           "Ctrl+Shift+Right is already the key of Select word right (Editor): press other "
                           "keys, or give that command another key first.",
                           "Select word left is now Alt+Shift+Left."}));
  }
  MainWindow again(environment());
  KeyMap keys;
  LoadUserKeyMap(keys, again.settings.EditorKeys);
  const int wordLeft = keys.FindKey(vk::Left, ssShift | ssAlt);
  ASSERT_GE(wordLeft, 0);
  EXPECT_EQ(keys.Items(wordLeft).Command(), ecSelWordLeft);
  EXPECT_LT(keys.FindKey(vk::Left, ssShift | ssCtrl), 0);
  EXPECT_LT(keys.FindKey(vk::Right, ssShift | ssCtrl), 0);
  const std::vector<ShortcutRow> rows = EditorShortcuts(again.settings.EditorKeys, {});
  EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const ShortcutRow& row) {
    return row.command == "Select word right" && row.key.isEmpty();
  }));
}

// Help > Open Example Workspace opens the user's copy of the source tree's example for a program
// built in it (of the installed one's for an installed program), and is greyed out where there is
// none.
TEST_F(MainWindowTest, OpenExampleWorkspaceOpensTheSourceTreesExample) {
  MainWindowEnvironment env = environment();
  env.programPath = std::string(TESSARIN_SOURCE_DIR) + "/out/some-build/src/app/tessarin";
  MainWindow form(std::move(env));
  auto* example = form.findChild<QAction*>("OpenExampleWorkspaceAction");
  ASSERT_NE(example, nullptr);
  EXPECT_TRUE(form.menuBar()->actions().last()->menu()->actions().contains(example));
  form.RefreshActions();
  EXPECT_TRUE(example->isEnabled());
  events.clear();
  example->trigger();
  EXPECT_EQ(events, std::vector<std::string>{"reopen " + dir.file("data/Tessarin/examples/mymod/mymod.tsw")});

  MainWindow elsewhere(environment());
  elsewhere.RefreshActions();
  QAction* greyed = elsewhere.findChild<QAction*>("OpenExampleWorkspaceAction");
  EXPECT_FALSE(greyed->isEnabled());
  EXPECT_TRUE(greyed->toolTip().startsWith("No example workspace was found"))
      << greyed->toolTip().toStdString();
  EXPECT_EQ(greyed->statusTip(), greyed->toolTip());

  // A build folder anywhere finds the example of the source tree it was built from.
  MainWindowEnvironment outside = environment();
  outside.sourceTree = TESSARIN_SOURCE_DIR;
  MainWindow built(std::move(outside));
  built.RefreshActions();
  EXPECT_TRUE(built.findChild<QAction*>("OpenExampleWorkspaceAction")->isEnabled());
}

// A program that is not to register itself writes nothing into the desktop's data.
TEST_F(MainWindowTest, NoRegistrationWhenTheProgramIsNotToWriteOne) {
  MainWindowEnvironment env = environment();
  env.writesUserRegistration = false;
  { MainWindow form(std::move(env)); }
  EXPECT_FALSE(std::filesystem::exists(dir.file("data/applications/tessarin.desktop")));
  { MainWindow form(environment()); }
  EXPECT_TRUE(std::filesystem::exists(dir.file("data/applications/tessarin.desktop")));
}

TEST_F(MainWindowTest, TheWorkspaceTreeLoadsFromTheCommandLineAndTakesItsCommands) {
  dir.write("ws/game/game.tsp", "SOURCE=g_main.c\r\nSOURCE=g_local.h\r\n");
  dir.write("ws/game/g_main.c", "int level;\r\n");
  dir.write("ws/game/g_local.h", "struct gentity_s {\r\n  int health;\r\n};\r\n");
  const std::string file =
      dir.write("ws/mod.tsw", "Project: \"game\"=game\\game.tsp - Package Owner=<4>\r\n");
  MainWindowEnvironment env = environment({file}, false);
  env.runDialog = [](QDialog& dialog) {
    auto& form = dynamic_cast<ProjectNameDialog&>(dialog);
    form.ProjectNameEdit->setText("cgame");
    form.ProjectFileNameEdit->setText("/ws/cgame/cgame.tsp");
    return int(QDialog::Accepted);
  };
  MainWindow form(std::move(env));
  form.CreateSharedDialogs();
  start(form);
  EXPECT_EQ(form.WorkspaceFileName, file);
  QTreeWidgetItem* root = form.ProjectTreeView->topLevelItem(0);
  ASSERT_EQ(root->childCount(), 1);
  EXPECT_EQ(root->child(0)->text(0), "game");
  EXPECT_EQ(form.RecentWorkspaces().Entries().size(), 1u);
  // The class view outlines the active project's structures.
  ASSERT_EQ(form.ClassTreeView->topLevelItemCount(), 1);
  EXPECT_EQ(form.ClassTreeView->topLevelItem(0)->childCount(), 1);

  form.ProjectTreeView->setCurrentItem(root->child(0));
  form.RefreshActions();
  EXPECT_TRUE(enabled(form, "SetActiveProjectActive"));
  EXPECT_FALSE(enabled(form, "CompileAction"));
  EXPECT_EQ(form.Actions()["BuildActiveProjectAction"]->text(), "Build game.qvm");
  EXPECT_TRUE(enabled(form, "BuildAllAction"));
  EXPECT_TRUE(enabled(form, "FindInFilesAction"));
  form.Actions()["AddNewProjectAction"]->trigger();
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(1)->text(0), "cgame");
  EXPECT_TRUE(questions.log.empty());

  // The workspace saves to its own file; a save that fails keeps the program and the new project,
  // and No lets the program end.
  questions.answers = {Answer::Yes, Answer::No};
  EXPECT_FALSE(form.close());
  EXPECT_EQ(root->childCount(), 2);
  EXPECT_TRUE(form.close());
  const std::string question = "ask: Save changes to the workspace mod.tsw?";
  EXPECT_EQ(questions.log,
            (std::vector<std::string>{question, "error: Cannot create file /ws/cgame/cgame.tsp", question}));
}

// The database the command-line build writes, written where the user chooses; a place that cannot
// be written says so.
TEST_F(MainWindowTest, TheCompilationDatabaseIsExportedWhereTheUserChooses) {
  dir.write("ws/game/game.tsp", "SOURCE=g_main.c\r\n");
  dir.write("ws/game/g_main.c", "int level;\r\n");
  const std::string file =
      dir.write("ws/mod.tsw", "Project: \"qagame\"=game\\game.tsp - Package Owner=<4>\r\n");
  {
    MainWindow empty(environment({}, false));
    empty.RefreshActions();
    EXPECT_FALSE(enabled(empty, "FileExportCompilationDatabaseAction")) << "no projects, nothing to describe";
  }
  MainWindow form(environment({file}, false));
  form.CreateSharedDialogs();
  start(form);
  form.RefreshActions();
  ASSERT_TRUE(enabled(form, "FileExportCompilationDatabaseAction"));
  questions.choices = {{dir.file("export/compile_commands.json")}, {dir.file("ws/mod.tsw/x.json")}, {}};
  form.Actions()["FileExportCompilationDatabaseAction"]->trigger();
  EXPECT_EQ(questions.fileRequests.at(0).initialFile, dir.file("ws/compile_commands.json"));
  const std::string written = TempDir::read(dir.file("export/compile_commands.json"));
  EXPECT_NE(written.find("\"-DQAGAME\""), std::string::npos) << written;
  EXPECT_NE(written.find("\"file\": \"" + dir.file("ws/game/g_main.c") + "\""), std::string::npos) << written;

  form.Actions()["FileExportCompilationDatabaseAction"]->trigger();
  EXPECT_EQ(questions.errors(),
            std::vector<std::string>{"Cannot create file " + dir.file("ws/mod.tsw/x.json")});
  form.Actions()["FileExportCompilationDatabaseAction"]->trigger(); // cancelled: nothing happens
  EXPECT_EQ(questions.errors().size(), 1u);
}

TEST_F(MainWindowTest, ADoubleClickOnABuildMessageMarksItsLine) {
  const std::string source = dir.write("mods/logic.c", "int x;\n");
  MainWindow form(environment({}, false));
  form.CreateSharedDialogs();
  form.BuildMessages.Add("q3lcc output");
  form.BuildMessages.Add(source + ":12: syntax error");
  QCoreApplication::processEvents(); // the list hears of new lines in batches
  QModelIndex row = form.BuildMessageList->model()->index(1, 0);
  form.BuildMessageList->setCurrentIndex(row);
  emit form.BuildMessageList->doubleClicked(row);
  ASSERT_EQ(form.Windows().Count(), 1);
  auto* editor = dynamic_cast<StubEditor*>(form.Windows().ActiveEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->FileName(), source);
  EXPECT_EQ(editor->commands, std::vector<std::string>{"mark 12"});

  // A path the tools wrote in the old code page reaches the editor byte for byte.
  const std::string accented = dir.write("mods/jos\xE9/g.c", "int y;\n");
  form.BuildMessages.Add(accented + ":3: warning");
  QCoreApplication::processEvents();
  row = form.BuildMessageList->model()->index(2, 0);
  form.BuildMessageList->setCurrentIndex(row);
  emit form.BuildMessageList->doubleClicked(row);
  ASSERT_EQ(form.Windows().Count(), 2);
  EXPECT_EQ(form.Windows().ActiveEditor()->FileName(), accented);

  // The assembler's summary line unfolds its details instead; F4 passes over them.
  for (const char* line : {"pass 0: logic.asm", "0 total errors", "instruction count: 9"})
    form.BuildMessages.Add(line);
  QCoreApplication::processEvents();
  QAbstractItemModel& rows = *form.BuildMessageList->model();
  ASSERT_EQ(rows.rowCount(), 4);
  row = rows.index(3, 0);
  form.BuildMessageList->setCurrentIndex(row);
  emit form.BuildMessageList->doubleClicked(row);
  EXPECT_EQ(rows.rowCount(), 6);
  EXPECT_EQ(form.Windows().Count(), 2);
  EXPECT_TRUE(questions.log.empty());
}

TEST_F(MainWindowTest, DocumentWindowsOpenFromTheCommandLineAndTheFileMenu) {
  const std::string source = dir.write("mods/logic.c", "int x;\n");
  MainWindow form(documentEnvironment({source}));
  start(form);
  ASSERT_EQ(form.Windows().Count(), 1);
  EXPECT_EQ(form.Windows().ActiveEditor()->FileName(), source);
  form.Actions()["FileNewAction"]->trigger();
  ASSERT_EQ(form.Windows().Count(), 2);
  EXPECT_EQ(form.Windows().ActiveEditor()->FileName(), "untitled.c");
  EXPECT_EQ(form.WindowButtons->Count(), 2);
  form.RefreshActions();
  EXPECT_EQ(form.Actions()["CompileActiveAction"]->text(), "Compile untitled.c");
  EXPECT_FALSE(enabled(form, "FileSaveAction"));
  form.CloseAllWindows();
  EXPECT_EQ(form.Windows().Count(), 0);
  EXPECT_TRUE(form.WindowButtons->isHidden());
}

// Edit > Select All (and its Ctrl+A, which the menu takes first) selects in the focused editor.
TEST_F(MainWindowTest, SelectAllReachesTheFocusedEditor) {
  const std::string source = dir.write("mods/logic.c", "int a;\nint b;\n");
  MainWindow form(documentEnvironment({source}));
  start(form);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  auto* editor = dynamic_cast<DocumentWindow*>(form.Windows().ActiveEditor());
  ASSERT_NE(editor, nullptr);
  editor->Editor->setFocus();
  QTest::keyClick(editor->Editor, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(editor->SelText(), "int a;\r\nint b;");
}

TEST_F(MainWindowTest, TheStatusBarFollowsTheCaretTheModesAndTheActiveFile) {
  const std::string source = dir.write("mods/logic.c", "int a;\nint b;\nint c;\n");
  MainWindow form(documentEnvironment({source}));
  start(form);
  auto fields = [&form] {
    form.RefreshActions();
    return (QStringList{form.PositionLabel->text(), form.ModeLabel->text(), form.SelectionLabel->text(),
                        form.ModifiedLabel->text()})
        .join('|')
        .toStdString();
  };
  EXPECT_EQ(fields(), "Ln 1, Col 1|INS|Normal|");
  auto* editor = dynamic_cast<DocumentWindow*>(form.Windows().ActiveEditor());
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor->Editor, Qt::Key_Down);
  QTest::keyClick(editor->Editor, Qt::Key_End);
  EXPECT_EQ(fields(), "Ln 2, Col 7|INS|Normal|");
  QTest::keyClick(editor->Editor, Qt::Key_Insert);
  QTest::keyClick(editor->Editor, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(editor->Editor, Qt::Key_X);
  EXPECT_EQ(fields(), "Ln 2, Col 8|OVR|Column|Modified");
  QTest::keyClick(editor->Editor, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(fields(), "Ln 2, Col 8|OVR|Line|Modified");

  form.Actions()["FileNewAction"]->trigger(); // another window is active: its own status shows
  EXPECT_EQ(fields(), "Ln 1, Col 1|INS|Normal|");
  questions.answers = {Answer::No};
  form.CloseAllWindows();
  EXPECT_EQ(fields(), "|||");
}

TEST_F(MainWindowTest, F6MovesTheFocusBetweenEditorTreeAndMessagesAndShiftF6Back) {
  MainWindow form(environment());
  form.CreateSharedDialogs();
  auto focusAfter = [&form](const char* action) {
    form.Actions()[action]->trigger();
    return form.focusWidget();
  };
  EXPECT_EQ(focusAfter("NextPaneAction"), form.ProjectTreeView); // no editor: it is left out
  EXPECT_EQ(focusAfter("NextPaneAction"), form.BuildMessageList);
  EXPECT_EQ(focusAfter("NextPaneAction"), form.ProjectTreeView);
  StubEditor* editor = addEditor(form, "/m/a.c");
  form.MessagePages->setCurrentWidget(form.FindInFilesTab);
  EXPECT_EQ(focusAfter("PreviousPaneAction"), editor);
  EXPECT_EQ(focusAfter("PreviousPaneAction"), form.FindInFilesList);
  EXPECT_EQ(focusAfter("NextPaneAction"), editor);
  form.WorkspacePages->setCurrentWidget(form.ClassViewPage);
  EXPECT_EQ(focusAfter("NextPaneAction"), form.ClassTreeView);
}

TEST_F(MainWindowTest, TheTreeMenuOpensFromTheKeyboardAtTheSelectedNode) {
  MainWindow form(environment());
  form.show();
  QTreeWidgetItem* root = form.ProjectTreeView->topLevelItem(0);
  form.ProjectTreeView->setCurrentItem(root);
  QTest::keyClick(form.ProjectTreeView, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(form.ProjectTreeMenu->isVisible());
  const QRect node = form.ProjectTreeView->visualItemRect(root);
  const QPoint anchor =
      form.ProjectTreeView->viewport()->mapToGlobal(QPoint(node.left() + node.height(), node.bottom()));
  EXPECT_LE((form.ProjectTreeMenu->pos() - anchor).manhattanLength(), 1); // just below the node
  form.ProjectTreeMenu->hide();
}

// Without a printer, Print asks for a PDF file each time and prints the same pages into it;
// Print Setup offers a PDF file too, which later prints then go to without asking.
TEST_F(MainWindowTest, WithoutAPrinterThePagesGoToAPdfFile) {
  const std::string source = dir.write("mods/logic.c", "int health = 100;\n");
  MainWindowEnvironment env = documentEnvironment({source});
  env.printerInstalled = [] { return false; };
  bool setupOffersAFile = false;
  env.runDialog = [&](QDialog& dialog) {
    auto& setup = dynamic_cast<QPrintDialog&>(dialog);
    setupOffersAFile = setup.testOption(QAbstractPrintDialog::PrintToFile);
    setup.printer()->setOutputFileName(QString::fromStdString(dir.file("setup.pdf")));
    return int(QDialog::Accepted);
  };
  MainWindow form(std::move(env));
  start(form);
  questions.choices = {{dir.file("logic.pdf")}, {}};
  form.Actions()["PrintAction"]->trigger();
  form.Actions()["PrintAction"]->trigger(); // asks again, and cancelling prints nothing
  EXPECT_EQ(questions.log, (std::vector<std::string>{"save: Print to PDF File", "save: Print to PDF File"}));
  EXPECT_EQ(questions.fileRequests.at(0).initialFile, dir.file("mods/logic.pdf"));
  const std::string text = PdfText(dir.file("logic.pdf"));
  EXPECT_NE(text.find(source), std::string::npos) << text;
  EXPECT_NE(text.find("int health = 100;"), std::string::npos);
  EXPECT_NE(text.find("Page 1"), std::string::npos);

  form.Actions()["PrintSetupAction"]->trigger();
  EXPECT_TRUE(setupOffersAFile);
  form.Actions()["PrintAction"]->trigger();
  EXPECT_EQ(questions.log.size(), 2u);
  EXPECT_NE(PdfText(dir.file("setup.pdf")).find("int health = 100;"), std::string::npos);
}

TEST_F(MainWindowTest, TheDesktopTitleNamesTheWorkspaceAndMarksItsChanges) {
  MainWindow form(environment());
  FakeWorkspace* shown = workspace;
  MainWindowEnvironment classicEnvironment = environment();
  classicEnvironment.conventions = SettingsConventions::Windows();
  MainWindow classic(std::move(classicEnvironment));
  auto titles = [&] {
    for (MainWindow* window : {&form, &classic}) {
      window->WorkspaceFileName = "/mods/mymod.tsw";
      window->RefreshActions();
    }
    return form.windowTitle().toStdString() + " | " + classic.windowTitle().toStdString();
  };
  EXPECT_EQ(titles(), "Tessarin | Tessarin");
  shown->projects = workspace->projects = true;
  EXPECT_EQ(titles(), "Tessarin \u2013 mymod.tsw | Tessarin");
  shown->modified = workspace->modified = true;
  EXPECT_EQ(titles(), "Tessarin \u2013 mymod.tsw* | Tessarin");

  // A maximised editor window adds its name to the title; the idle refresh leaves that alone.
  form.show();
  addEditor(form, "/m/a.c");
  form.Windows().Windows().front()->showMaximized();
  form.RefreshActions();
  const QString withEditor = form.windowTitle();
  EXPECT_TRUE(withEditor.contains("a.c")) << withEditor.toStdString();
  int changes = 0;
  QObject::connect(&form, &QWidget::windowTitleChanged, [&changes] { ++changes; });
  form.RefreshActions();
  form.RefreshActions();
  EXPECT_EQ(changes, 0);
}

TEST_F(MainWindowTest, TheProgramAndItsEditorWindowsCarryTheirOwnIcon) {
  MainWindow form(environment());
  const QList<QSize> sizes = form.windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
  EXPECT_TRUE(hasInk(form.windowIcon()));
  addEditor(form, "/m/a.c");
  EXPECT_EQ(form.Windows().Windows().front()->windowIcon().cacheKey(), form.windowIcon().cacheKey());
}

TEST_F(MainWindowTest, TabCaptionsAreWholeAndCascadedWindowsStayUsable) {
  MainWindow form(environment());
  form.show();
  form.WorkspacePages->setTabText(1, "Class view of a_project_with_a_long_name");
  for (int i = 0; i < 12; ++i)
    addEditor(form, "/m/" + std::to_string(i) + ".c");
  QCoreApplication::processEvents();
  QTabBar* tabs = form.WorkspacePages->tabBar();
  for (int i = 0; i < tabs->count(); ++i)
    EXPECT_GE(tabs->tabRect(i).width(), tabs->fontMetrics().horizontalAdvance(tabs->tabText(i))) << i;

  form.Actions()["WindowCascade1"]->trigger();
  const QRect frame = form.MdiArea->viewport()->rect();
  for (QMdiSubWindow* window : form.Windows().Windows()) {
    EXPECT_TRUE(frame.contains(window->geometry()));
    EXPECT_GE(window->width(), frame.width() * 2 / 3);
    EXPECT_GE(window->height(), frame.height() * 2 / 3);
  }
}

// On the desktop a workspace brings back the editor windows it had when it closed: files, caret
// lines, order and the active one; the classic program starts without them.
TEST_F(MainWindowTest, AWorkspaceBringsBackItsEditorWindows) {
  dir.write("ws/game/game.tsp", "SOURCE=g_main.c\r\nSOURCE=g_local.h\r\n");
  const std::string main = dir.write("ws/game/g_main.c", "int a;\nint b;\nint c;\nint d;\n");
  const std::string header = dir.write("ws/game/g_local.h", "struct s;\nstruct t;\n");
  const std::string gone = dir.write("ws/game/gone.c", "int x;\n");
  const std::string file =
      dir.write("ws/mod.tsw", "Project: \"game\"=game\\game.tsp - Package Owner=<4>\r\n");
  auto run = [&](const SettingsConventions& conventions) {
    MainWindowEnvironment env = documentEnvironment({file}, false);
    env.conventions = conventions;
    return std::make_unique<MainWindow>(std::move(env));
  };
  auto lines = [](MainWindow& form) {
    std::vector<std::string> shown;
    for (QMdiSubWindow* window : form.Windows().Windows()) {
      const EditorWindowPort* editor = WindowCommands::Port(window);
      shown.push_back(editor->FileName() + ":" + std::to_string(editor->Status().line) +
                      (window == form.Windows().ActiveWindow() ? " active" : ""));
    }
    return shown;
  };
  const SettingsConventions desktop = IsolatedEnvironment(questions, dir).conventions;
  {
    std::unique_ptr<MainWindow> form = run(desktop);
    start(*form);
    EXPECT_TRUE(form->Windows().Windows().isEmpty());
    form->OpenEditorWindow(gone);
    WindowCommands::Port(form->OpenEditorWindow(main))->SetCaretY(3);
    QMdiSubWindow* headerWindow = form->OpenEditorWindow(header);
    form->Actions()["FileNewAction"]->trigger(); // never saved: nothing to bring back
    form->Windows().BringToFront(headerWindow);
    std::filesystem::remove(gone);
    // Its window then holds the only copy, so closing it asks; the text is let go.
    questions.answers.push_back(Answer::No);
    form->Actions()["FileCloseWorkspaceAction"]->trigger();
    EXPECT_TRUE(form->Windows().Windows().isEmpty());
  }
  std::unique_ptr<MainWindow> again = run(desktop);
  start(*again);
  EXPECT_EQ(lines(*again), (std::vector<std::string>{main + ":3", header + ":1 active"}));
  EXPECT_TRUE(again->close());

  std::unique_ptr<MainWindow> classic = run(SettingsConventions::Windows());
  start(*classic);
  EXPECT_TRUE(classic->Windows().Windows().isEmpty());
}

// On a desktop a workspace opened from the command line joins Reopen Workspace, and a start
// without arguments brings it back with its files, carets (column in characters) and active
// window; the setting turns that off, and the classic start stays empty.
TEST_F(MainWindowTest, APlainStartReopensTheLastWorkspaceWithItsFiles) {
  dir.write("ws/game/game.tsp", "SOURCE=g_main.c\r\nSOURCE=g_local.h\r\n");
  const std::string main = dir.write("ws/game/g_main.c", "int a;\nint b;\n\xc3\xa9t\xc3\xa9 = 1;\n");
  const std::string header = dir.write("ws/game/g_local.h", "struct s;\n");
  const std::string file =
      dir.write("ws/mod.tsw", "Project: \"game\"=game\\game.tsp - Package Owner=<4>\r\n");
  const SettingsConventions desktop = IsolatedEnvironment(questions, dir).conventions;
  auto run = [&](std::vector<std::string> arguments, const SettingsConventions& conventions = {}) {
    MainWindowEnvironment env = documentEnvironment(std::move(arguments), false);
    if (conventions.findOnPath) env.conventions = conventions;
    auto form = std::make_unique<MainWindow>(std::move(env));
    start(*form);
    return form;
  };
  auto carets = [](MainWindow& form) {
    std::vector<std::string> shown;
    for (QMdiSubWindow* window : form.Windows().Windows()) {
      const EditorStatus status = WindowCommands::Port(window)->Status();
      shown.push_back(WindowCommands::Port(window)->FileName() + ":" + std::to_string(status.line) + ":" +
                      std::to_string(status.column) +
                      (window == form.Windows().ActiveWindow() ? " active" : ""));
    }
    return shown;
  };
  {
    std::unique_ptr<MainWindow> form = run({file});
    ASSERT_EQ(form->RecentWorkspaces().Entries().size(), 1u);
    EXPECT_EQ(form->RecentWorkspaces().Entries()[0].path, file);
    QMdiSubWindow* mainWindow = form->OpenEditorWindow(main);
    // After the two-byte characters "ét": the fourth character, the sixth byte.
    qobject_cast<DocumentWindow*>(mainWindow->widget())->ShowPlace(3, 6);
    form->OpenEditorWindow(header);
    form->Windows().BringToFront(mainWindow);
    EXPECT_TRUE(form->close());
  }
  {
    std::unique_ptr<MainWindow> form = run({});
    EXPECT_EQ(form->WorkspaceFileName, file);
    EXPECT_EQ(carets(*form), (std::vector<std::string>{main + ":3:4 active", header + ":1:1"}));
    EXPECT_TRUE(form->close());
  }
  setSetting("ReopenLastWorkspace", "0");
  {
    std::unique_ptr<MainWindow> form = run({});
    EXPECT_EQ(form->WorkspaceFileName, "");
    EXPECT_TRUE(form->Windows().Windows().isEmpty());
  }
  // Classic: the command line's workspace is not listed, and nothing comes back by itself.
  const std::string other = dir.write("ws/other.tsw", "");
  {
    std::unique_ptr<MainWindow> form = run({other}, SettingsConventions::Windows());
    EXPECT_EQ(form->WorkspaceFileName, other);
    EXPECT_EQ(form->RecentWorkspaces().Entries().size(), 1u);
  }
}

TEST_F(MainWindowTest, QuickOpenTakesCtrlPOnADesktopAndPrintMoves) {
  MainWindowEnvironment classic = environment();
  classic.conventions = SettingsConventions::Windows();
  for (auto& [env, print, quickOpen, symbol] : {std::tuple{environment(), "Ctrl+Shift+P", "Ctrl+P", "Ctrl+T"},
                                                std::tuple{classic, "Ctrl+P", "Ctrl+Alt+P", "Ctrl+Alt+T"}}) {
    MainWindow form(env);
    EXPECT_EQ(form.Actions()["PrintAction"]->shortcut(), QKeySequence(print));
    EXPECT_EQ(form.Actions()["QuickOpenAction"]->shortcut(), QKeySequence(quickOpen));
    EXPECT_EQ(form.Actions()["GoToSymbolAction"]->shortcut(), QKeySequence(symbol));
  }
}

// Under the desktop conventions the documents are tabs once the window shows: Cascade and Tile
// have nothing to arrange, Ctrl+Tab and Ctrl+PgUp go round them and the title names the one in
// front. The classic conventions keep child windows and their arranging.
TEST_F(MainWindowTest, DesktopDocumentsAreTabsAndClassicOnesChildWindows) {
  for (const bool desktop : {true, false}) {
    MainWindowEnvironment env = environment();
    if (!desktop) env.conventions = SettingsConventions::Windows();
    MainWindow form(std::move(env));
    form.show();
    for (const char* name : {"/m/a.c", "/m/b.c", "/m/c.c"})
      addEditor(form, name);
    form.Windows().BringToFront(form.Windows().Windows().front());
    form.RefreshActions();
    const auto active = [&form] { return paths::ExtractFileName(form.Windows().ActiveEditor()->FileName()); };
    EXPECT_EQ(form.MdiArea->viewMode(), desktop ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
    EXPECT_EQ(form.Actions()["WindowCascade1"]->isEnabled(), !desktop);
    EXPECT_EQ(form.Actions()["WindowTileVertical1"]->isEnabled(), !desktop);
    EXPECT_EQ(form.Actions()["NextDocumentAction"]->isVisible(), desktop);
    EXPECT_EQ(form.Actions()["WindowSplitBesideAction"]->isVisible(), desktop);
    EXPECT_EQ(form.WindowButtons->isVisible(), !desktop); // the tabs name the documents
    if (!desktop) continue;
    EXPECT_TRUE(form.windowTitle().endsWith("a.c")) << form.windowTitle().toStdString();
    EXPECT_TRUE(form.Actions()["NextDocumentAction"]->shortcuts().contains(QKeySequence("Ctrl+Tab")));
    EXPECT_TRUE(form.Actions()["PreviousDocumentAction"]->shortcuts().contains(QKeySequence("Ctrl+PgUp")));
    std::string visited;
    for (int i = 0; i < 4; ++i) {
      form.Actions()["NextDocumentAction"]->trigger();
      visited += active() + " ";
    }
    form.Actions()["PreviousDocumentAction"]->trigger();
    visited += active();
    EXPECT_EQ(visited, "b.c c.c a.c b.c a.c");
    form.RefreshActions();
    EXPECT_TRUE(form.windowTitle().endsWith("a.c")) << form.windowTitle().toStdString();
  }
}
