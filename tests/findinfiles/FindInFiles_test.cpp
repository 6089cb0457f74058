// Find in Files: the lines a search finds in whole texts against a search line by line, the
// files a search covers, the classic command on its page and the desktop one over the workspace
// and open windows.
#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "FindInFilesCommands.h"
#include "FindInFilesDialog.h"
#include "FindInFilesSearch.h"
#include "PlacesPage.h"
#include "ScriptedQuestions.h"
#include "Settings.h"
#include "StoredFile.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <sys/stat.h>

using namespace std::string_literals;

namespace {

std::string Shown(const std::vector<LineHit>& hits) {
  std::string shown;
  for (const LineHit& hit : hits) {
    shown += std::to_string(hit.line) + ":";
    for (const TextMatch& match : hit.matches)
      shown += " " + std::to_string(match.start) + "+" + std::to_string(match.length);
    shown += "\n";
  }
  return shown;
}

// Patterns that may match across a line end in a whole text (\s, [^a], .*), so the scan has to
// check each line on its own.
std::string RandomPattern(std::mt19937& random) {
  static const char* const atoms[] = {"a", "b", "A", "\\s", "[^a]", ".",    "^",
                                      "$", "_", " ", "a*",  "b+",   "(a|b)"};
  std::string pattern;
  for (int i = 1 + static_cast<int>(random() % 3); i > 0; --i)
    pattern += atoms[random() % std::size(atoms)];
  return pattern;
}

std::string RandomText(std::mt19937& random, std::size_t most) {
  static const std::string alphabet("aAb _\r\n\0\t", 9);
  std::string text;
  for (std::size_t i = random() % (most + 1); i > 0; --i)
    text += alphabet[random() % alphabet.size()];
  return text;
}

// The model: the lines as the document windows split them, each searched by the standard
// library's engine.
std::vector<LineHit> ModelLines(const std::string& pattern, bool caseSensitive, const std::string& text) {
  const std::regex model(pattern,
                         caseSensitive ? std::regex::ECMAScript : std::regex::ECMAScript | std::regex::icase);
  std::vector<LineHit> hits;
  const std::vector<std::string> lines = stored_file::SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    LineHit hit{static_cast<int>(i) + 1, lines[i], {}};
    for (auto it = std::sregex_iterator(lines[i].begin(), lines[i].end(), model);
         it != std::sregex_iterator(); ++it)
      hit.matches.push_back(
          {static_cast<std::size_t>(it->position(0)), static_cast<std::size_t>(it->length(0))});
    if (!hit.matches.empty()) hits.push_back(std::move(hit));
  }
  return hits;
}

std::vector<LineHit> FoundLines(TextMatcher& matcher, const std::string& text) {
  std::vector<LineHit> hits;
  matcher.FindLines(text, [&hits](LineHit hit) { hits.push_back(std::move(hit)); });
  return hits;
}

TEST(TextMatcher, RegularExpressionsFindTheLinesAModelFindsLineByLine) {
  std::mt19937 random(2026);
  for (int round = 0; round < 3000; ++round) {
    const std::string pattern = RandomPattern(random), text = RandomText(random, 50);
    const bool caseSensitive = random() % 2 == 0;
    TextMatcher matcher(SearchQuery{pattern, caseSensitive, false, true});
    ASSERT_EQ(Shown(FoundLines(matcher, text)), Shown(ModelLines(pattern, caseSensitive, text)))
        << "/" << pattern << "/ in '" << text << "'";
  }
}

// The whole-text scan of plain text lists exactly the lines and columns a search line by line lists.
TEST(TextMatcher, PlainTextFindsWhatASearchLineByLineFinds) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(random, 60);
    std::string pattern;
    for (int i = 1 + static_cast<int>(random() % 3); i > 0; --i)
      pattern += "aAb _"[random() % 5];
    TextMatcher matcher(SearchQuery{pattern, random() % 2 == 0, random() % 2 == 0, false});
    std::vector<LineHit> expected;
    const std::vector<std::string> lines = stored_file::SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (std::vector<TextMatch> matches = matcher.FindInLine(lines[i]); !matches.empty())
        expected.push_back({static_cast<int>(i) + 1, lines[i], matches});
    ASSERT_EQ(FoundLines(matcher, text), expected) << "'" << pattern << "' in '" << text << "'";
  }
}

TEST(TextMatcher, LookaroundsAreSearchedLineByLine) {
  TextMatcher matcher(SearchQuery{"(?<![a-z])b(?=x)|\\Ac", true, false, true});
  EXPECT_EQ(Shown(FoundLines(matcher, "ab\nbx\ncd\n")), "2: 0+1\n3: 0+1\n");
}

struct FindInFilesTest : ::testing::Test {
  TempDir dir;
  ProjectList workspace;

  Project& AddProject(const std::vector<std::pair<std::string, std::string>>& files) {
    Project& project = workspace.AddProject();
    project.Name = "game";
    for (const auto& [name, bytes] : files)
      project.Files.push_back({bytes.empty() ? dir.file(name) : dir.write(name, bytes)});
    workspace.ActiveProject = &project;
    return project;
  }

  std::vector<std::string> Entries(const SearchQuery& query) {
    TextMatcher matcher(query);
    std::vector<std::string> entries;
    for (const ProjectFile& file : workspace.ActiveProject->Files)
      for (const LineHit& hit : SearchFile(matcher, {file.Path, std::nullopt}).lines)
        entries.push_back(FindInFilesEntry(file.Path, hit.line, hit.text));
    return entries;
  }
};

TEST_F(FindInFilesTest, OneEntryPerMatchingLineWithTabsAsBlanksFileByFile) {
  AddProject({{"g_main.c", "int health;\r\n\tint maxHealth = health + health;\r\nint armor;\r\n"},
              {"g_local.h", "// nothing\rextern int health;\n"}});
  const std::string main = dir.file("g_main.c"), local = dir.file("g_local.h");
  EXPECT_EQ(Entries({"health"}), (std::vector<std::string>{main + ":1: int health;",
                                                           main + ":2:  int maxHealth = health + health;",
                                                           local + ":2: extern int health;"}));
  EXPECT_TRUE(Entries({"nowhere"}).empty());
  // Bytes are searched and listed as they are.
  AddProject({{"data.bin", "\x01\x02key\0after\xff\r\rkey\n"s}});
  EXPECT_EQ(Entries({"key"}), (std::vector<std::string>{dir.file("data.bin") + ":1: \x01\x02key\0after\xff"s,
                                                        dir.file("data.bin") + ":3: key"}));
}

TEST_F(FindInFilesTest, AFileThatCannotBeReadIsRefusedByName) {
  ASSERT_EQ(::mkfifo(dir.file("pipe.c").c_str(), 0600), 0);
  ::mkdir(dir.file("folder.c").c_str(), 0700);
  TextMatcher matcher(SearchQuery{"hit"});
  for (const char* unreadable : {"missing.c", "pipe.c", "folder.c"}) {
    try {
      (void)SearchFile(matcher, {dir.file(unreadable), std::nullopt});
      ADD_FAILURE() << unreadable << " was read";
    } catch (const TessarinError& error) {
      EXPECT_EQ(error.Message(), "Cannot open file " + dir.file(unreadable));
    }
  }
  // A window's text is searched instead of the file.
  EXPECT_EQ(SearchFile(matcher, {dir.file("missing.c"), "a\nhit"}).lines,
            (std::vector<LineHit>{{2, "hit", {{0, 3}}}}));
}

TEST_F(FindInFilesTest, TheWorkspaceHoldsEachFileOnceAndAFolderItsMatchingFiles) {
  AddProject({{"game/g_main.c", "x"}, {"shared/bg_misc.c", "x"}});
  Project& cgame = AddProject({{"cgame/cg_main.c", "x"}});
  cgame.Files.push_back({dir.file("game/../shared/bg_misc.c")});
  std::filesystem::create_symlink(dir.file("shared/bg_misc.c"), dir.file("cgame/bg_link.c"));
  cgame.Files.push_back({dir.file("cgame/bg_link.c")});
  cgame.Files.push_back({dir.file("cgame/gone.c")});
  EXPECT_EQ(FilesToSearch(workspace, {SearchWhere::Workspace, "", "", true}),
            (std::vector<std::string>{dir.file("game/g_main.c"), dir.file("shared/bg_misc.c"),
                                      dir.file("cgame/cg_main.c"), dir.file("cgame/gone.c")}));
  EXPECT_EQ(FilesToSearch(workspace, {SearchWhere::ActiveProject, "", "", true}).size(), 4u);

  dir.write("cgame/cg_local.h", "x");
  dir.write("cgame/notes.txt", "x");
  dir.write("cgame/.git/config.c", "x");
  dir.write("cgame/ui/ui_main.C", "x");
  EXPECT_EQ(FilesToSearch(workspace, {SearchWhere::Folder, dir.file("cgame"), "*.c; *.h", true}),
            (std::vector<std::string>{dir.file("cgame/bg_link.c"), dir.file("cgame/cg_local.h"),
                                      dir.file("cgame/cg_main.c")}));
  EXPECT_EQ(FilesToSearch(workspace, {SearchWhere::Folder, dir.file("cgame"), "*.C;*.txt", true}),
            (std::vector<std::string>{dir.file("cgame/notes.txt"), dir.file("cgame/ui/ui_main.C")}));
  EXPECT_EQ(FilesToSearch(workspace, {SearchWhere::Folder, dir.file("cgame"), "*.txt", false}),
            (std::vector<std::string>{dir.file("cgame/notes.txt")}));
  EXPECT_EQ(FilesToSearch(workspace, {SearchWhere::Folder, dir.file("cgame"), " ;", false}).size(), 4u);
}

TEST(FindInFilesDialog, OpensOnTheFindBoxAndTheEnterKeyConfirms) {
  FindInFilesDialog dialog;
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  EXPECT_TRUE(dialog.FindTextComboBox->hasFocus());
  EXPECT_FALSE(dialog.RegexCheckBox->isVisible());
  QTest::keyClicks(dialog.FindTextComboBox, "health");
  QTest::keyClick(dialog.FindTextComboBox, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.FindText(), "health");
  dialog.RememberTexts();
  EXPECT_EQ(dialog.FindTextComboBox->count(), 0);
}

// Under the desktop conventions the typed text is characters, searched for in each file's own
// encoding; a selection comes in as its document's characters. The classic dialog takes bytes.
TEST(FindInFilesDialog, TakesTheTypedTextAsCharacters) {
  FindInFilesDialog desktop(true), classic;
  for (FindInFilesDialog* dialog : {&desktop, &classic})
    dialog->FindTextComboBox->setEditText(QString::fromUtf8("caf\xC3\xA9"));
  EXPECT_EQ(desktop.Query(), (SearchQuery{"caf\xC3\xA9", false, false, false, true}));
  EXPECT_EQ(classic.Query(), (SearchQuery{"caf\xE9"}));
  desktop.SetFindText("th\xE9", TextEncoding::Windows1252);
  EXPECT_EQ(desktop.FindText(), "th\xC3\xA9");
  TextMatcher matcher(desktop.Query());
  EXPECT_EQ(SearchFile(matcher, {"w.c", "int th\xE9;\nint th\xC3\xA9;"}).lines,
            (std::vector<LineHit>{{1, "int th\xE9;", {{4, 3}}}}));
  EXPECT_EQ(SearchFile(matcher, {"u.c", "int th\xC3\xA9;"}).lines,
            (std::vector<LineHit>{{1, "int th\xC3\xA9;", {{4, 4}}}}));
}

TEST(FindInFilesDialog, RemembersTheLastTextsFirstEachOnce) {
  FindInFilesDialog dialog(true);
  for (int i = 0; i < FindInFilesDialog::kHistoryLength + 5; ++i) {
    dialog.SetFindText("text" + std::to_string(i % (FindInFilesDialog::kHistoryLength + 2)));
    dialog.RememberTexts();
  }
  ASSERT_EQ(dialog.FindTextComboBox->count(), FindInFilesDialog::kHistoryLength);
  EXPECT_EQ(dialog.FindTextComboBox->itemText(0), "text2");
  EXPECT_EQ(dialog.FindTextComboBox->itemText(1), "text1");
  EXPECT_EQ(dialog.FindText(), "text2");
  EXPECT_EQ(dialog.FindTextComboBox->findText("text2"), 0);
  EXPECT_EQ(dialog.Scope().where, SearchWhere::Workspace);
}

// On a desktop the dialog is named for its command and its button says what it does; each
// control shows whole inside it, replacing or not. The classic dialog keeps its names.
TEST(FindInFilesDialog, IsNamedForItsCommandAndShowsEveryControlWhole) {
  FindInFilesDialog desktop(true);
  for (bool replacing : {false, true}) {
    desktop.SetReplacing(replacing);
    desktop.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.windowTitle(), replacing ? "Replace in Files" : "Find in Files");
    EXPECT_EQ(desktop.OkButton->text(), replacing ? "&Replace..." : "&Find");
    for (const QWidget* control : desktop.findChildren<QWidget*>()) {
      if (!control->isVisible()) continue;
      const QRect place(control->mapTo(&desktop, QPoint(0, 0)), control->size());
      EXPECT_TRUE(desktop.rect().contains(place))
          << control->metaObject()->className() << " " << control->objectName().toStdString() << " replacing "
          << replacing;
    }
    desktop.hide();
  }
  FindInFilesDialog classic(false);
  EXPECT_EQ(classic.windowTitle(), "Find text in File");
  EXPECT_EQ(classic.OkButton->text(), "&OK");
}

// The commands on their own page, with scripted dialogs.
struct FindInFilesCommandTest : FindInFilesTest {
  bool desktop = false;
  FindInFilesDialog dialog{desktop};
  QTabWidget pages;
  QWidget* debugSheet = new QWidget;
  PlacesPage* results = new PlacesPage;
  ScriptedQuestions questions;
  Settings settings;
  std::vector<std::unique_ptr<DocumentWindow>> windows;
  DocumentWindow* active = nullptr;
  std::vector<std::string> shown;
  std::vector<bool> confirm; // the answers of the dialogs in turn; OK when none is left
  std::string error;
  int stopAfterFiles = -1; // the user's Stop after that many files; never when negative
  std::vector<std::string> progress;
  std::unique_ptr<FindInFilesCommands> commands;

  struct ScriptedProgress : FindInFilesProgress {
    FindInFilesCommandTest& test;
    explicit ScriptedProgress(FindInFilesCommandTest& owner) : test(owner) {}
    bool Continue(int done, int total, std::size_t found) override {
      test.progress.push_back(std::to_string(done) + "/" + std::to_string(total) + ":" +
                              std::to_string(found));
      return done != test.stopAfterFiles;
    }
  };

  explicit FindInFilesCommandTest(bool desktopConventions = false) : desktop(desktopConventions) {
    pages.addTab(debugSheet, "Debug");
    pages.addTab(results, "Find in Files");
    settings.EditorFont = "Courier New";
    settings.KeepFileFormat = true;
    FindInFilesWindows open{[this](const std::string& path) -> EditorWindowPort* {
                              for (auto& window : windows)
                                if (window->FileName() == path) return window.get();
                              return nullptr;
                            },
                            [this]() -> EditorWindowPort* { return active; }};
    commands = std::make_unique<FindInFilesCommands>(
        dialog, workspace, FindInFilesPage{pages, *results, *results}, open, questions,
        [this] { return settings.BackupSource; },
        [this](QDialog& d) {
          shown.push_back(d.windowTitle().toStdString());
          if (confirm.empty()) return true;
          const bool answer = confirm.front();
          confirm.erase(confirm.begin());
          return answer;
        },
        [this] { return std::make_unique<ScriptedProgress>(*this); });
  }

  DocumentWindow& Open(const std::string& path) {
    windows.push_back(std::make_unique<DocumentWindow>(settings, questions));
    windows.back()->LoadFile(path);
    return *windows.back();
  }

  void Run(const std::function<void()>& command) {
    error.clear();
    try {
      command();
    } catch (const TessarinError& failure) {
      error = failure.Message();
    }
  }
  void Find(const std::string& text) {
    dialog.FindTextComboBox->setEditText(QString::fromStdString(text));
    Run([this] { commands->FindInFiles(); });
  }

  [[nodiscard]] std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    const PlaceListModel& places = results->Places();
    for (int row = 0; row < places.rowCount(); ++row)
      rows.push_back(places.index(row, 0).data().toString().toStdString());
    return rows;
  }
};

TEST_F(FindInFilesCommandTest, ClassicListsTheHitsOnItsPageWithTheLastOneSelected) {
  AddProject({{"a.c", "x = 1;\ny = x;\n"}, {"b.c", "z = X;\n"}});
  Find("x");
  EXPECT_EQ(shown, std::vector<std::string>{"Find text in File"});
  EXPECT_EQ(pages.currentWidget(), results);
  EXPECT_EQ(Rows(), (std::vector<std::string>{dir.file("a.c") + ":1: x = 1;", dir.file("a.c") + ":2: y = x;",
                                              dir.file("b.c") + ":1: z = X;"}));
  EXPECT_EQ(results->List().currentIndex().row(), 2);
  EXPECT_EQ(results->Summary().toStdString(), "");

  // The dialog keeps its fields; its options reach the search.
  dialog.CaseCheckBox->setChecked(true);
  Run([this] { commands->FindInFiles(); });
  EXPECT_EQ(dialog.FindText(), "x");
  EXPECT_EQ(Rows().size(), 2u);

  // No match: an empty list, still in front.
  pages.setCurrentWidget(debugSheet);
  Find("nowhere");
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(pages.currentWidget(), results);
  EXPECT_EQ(error, "");
}

TEST_F(FindInFilesCommandTest, ClassicStopsAtAFileThatCannotBeReadOrWhenTheUserSaysSo) {
  AddProject({{"a.c", "x\nx\n"}, {"b.c", "x\n"}, {"missing.c", ""}, {"c.c", "x\n"}});
  Find("x");
  EXPECT_EQ(error, "Cannot open file " + dir.file("missing.c"));
  EXPECT_EQ(Rows().size(), 3u);
  EXPECT_EQ(results->List().currentIndex().row(), 2);

  stopAfterFiles = 1;
  progress.clear();
  Find("x");
  EXPECT_EQ(progress, (std::vector<std::string>{"1/4:2"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{dir.file("a.c") + ":1: x", dir.file("a.c") + ":2: x"}));
}

TEST_F(FindInFilesCommandTest, ClassicRefusesAnEmptyTextBeforeTheListIsTouchedAndNeedsAProject) {
  Find("x");
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(commands->FindInFilesEnabled());
  AddProject({{"a.c", "x\n"}});
  Find("x");
  Find("");
  EXPECT_EQ(error, "Pattern is empty");
  EXPECT_EQ(Rows().size(), 1u);
  // The desktop's command is not there.
  Run([this] { commands->ReplaceInFiles(); });
  EXPECT_EQ(shown.size(), 2u);
}

struct DesktopFindInFilesTest : FindInFilesCommandTest {
  DesktopFindInFilesTest() : FindInFilesCommandTest(true) {}
};

TEST_F(DesktopFindInFilesTest, SearchesTheWholeWorkspaceGroupedByFileWithOpenChangesAsShown) {
  AddProject(
      {{"game/g_main.c", "\tBG_CopyString(a);\n"}, {"shared/bg_misc.c", "char *BG_CopyString(x) {\n}\n"}});
  Project& cgame = AddProject({{"cgame/cg_main.c", "int x;\nint y;\n"}});
  cgame.Files.push_back({dir.file("shared/bg_misc.c")});
  workspace.ActiveProject = &workspace.Items(0);
  // Unsaved: the window's text counts, not the file's.
  DocumentWindow& window = Open(dir.file("cgame/cg_main.c"));
  window.Editor->Editor().State().SetCaretXY({1, 2});
  window.Editor->Editor().SetSelText("s = BG_CopyString(s);\n");
  ASSERT_TRUE(window.Modified());

  Find("bg_copystring");
  EXPECT_TRUE(commands->FindInFilesEnabled());
  EXPECT_EQ(Rows(), (std::vector<std::string>{
                        dir.file("game/g_main.c") + " (1)", "     1:  BG_CopyString(a);",
                        dir.file("shared/bg_misc.c") + " (1)", "     1: char *BG_CopyString(x) {",
                        dir.file("cgame/cg_main.c") + " (1)", "     2: s = BG_CopyString(s);"}));
  EXPECT_EQ(results->Summary().toStdString(), "3 matches of 'bg_copystring' in 3 files");
  EXPECT_EQ(results->Places().index(1, 0).data(PlaceListModel::SegmentsRole).toStringList(),
            (QStringList{"     1:  ", "BG_CopyString", "(a);"}));

  // F4 goes through the lines, not the files' rows.
  std::vector<Place> chosen;
  results->OnPlaceChosen = [&chosen](const Place& place) { chosen.push_back(place); };
  results->SelectRow(0);
  while (results->Step(1)) {
  }
  EXPECT_EQ(chosen, (std::vector<Place>{{dir.file("game/g_main.c"), 1},
                                        {dir.file("shared/bg_misc.c"), 1},
                                        {dir.file("cgame/cg_main.c"), 2}}));
  EXPECT_TRUE(results->Step(-1));
  EXPECT_EQ(chosen.back(), (Place{dir.file("shared/bg_misc.c"), 1}));
}

TEST_F(DesktopFindInFilesTest, StartsWithTheWordAtTheCaretAndExplainsAnInvalidExpression) {
  AddProject({{"a.c", "int client_s = 1;\nclient_s++;\n"}});
  DocumentWindow& window = Open(dir.file("a.c"));
  active = &window;
  window.Editor->Editor().State().SetCaretXY({8, 1});
  dialog.RegexCheckBox->setChecked(true);
  dialog.ProjectRadioButton->setChecked(true);
  Run([this] { commands->FindInFiles(); });
  EXPECT_EQ(dialog.FindText(), "client_s");
  EXPECT_EQ(results->Places().MarkCount(), 2);
  EXPECT_EQ(dialog.FindTextComboBox->itemText(0), "client_s");

  results->SetSummary("kept");
  active = nullptr;
  Find("client_(");
  EXPECT_EQ(error,
            "The regular expression 'client_(' is not valid: missing closing parenthesis (at character 9)");
  EXPECT_EQ(results->Summary().toStdString(), "kept");

  dialog.FolderRadioButton->setChecked(true);
  dialog.FolderEdit->setText(QString::fromStdString(dir.file("none")));
  Find("x");
  EXPECT_EQ(error, "The folder '" + dir.file("none") + "' does not exist.");
}

TEST_F(DesktopFindInFilesTest, AStoppedSearchKeepsWhatItFoundAndUnreadableFilesAreNamed) {
  AddProject({{"a.c", "x\n"}, {"missing.c", ""}, {"b.c", "x\n"}, {"c.c", "x\n"}});
  stopAfterFiles = 3;
  Find("x");
  EXPECT_EQ(error, "");
  EXPECT_EQ(results->Places().FileCount(), 2);
  EXPECT_EQ(results->Summary().toStdString(),
            "2 matches of 'x' in 2 files (stopped after 3 of 4 files); 1 file could not be read: " +
                dir.file("missing.c"));
}

TEST_F(DesktopFindInFilesTest, ReplaceInFilesPreviewsThenChangesWindowsAndFilesAndSaysWhatItDid) {
  AddProject({{"a.c", "int hp;\r\n\tint\x01 hp2 = hp;\r\nlast hp"},
              {"b.c", "hp = 1;\nkeep\nhp = 2;\n"},
              {"c.c", "hp\n"},
              {"d.c", "none\n"}});
  settings.BackupSource = true;
  DocumentWindow& window = Open(dir.file("b.c"));
  dialog.SetFindText("hp");
  dialog.NewTextComboBox->setEditText("health");
  dialog.WholeWordCheckBox->setChecked(true);
  // While the preview is up another program changes c.c.
  confirm = {true, true};
  std::vector<std::string> titles;
  commands = std::make_unique<FindInFilesCommands>(
      dialog, workspace, FindInFilesPage{pages, *results, *results},
      FindInFilesWindows{[&](const std::string& path) -> EditorWindowPort* {
                           return path == window.FileName() ? &window : nullptr;
                         },
                         [] { return nullptr; }},
      questions, [this] { return settings.BackupSource; },
      [&](QDialog& d) {
        titles.push_back(d.windowTitle().toStdString());
        if (titles.size() == 2) dir.write("c.c", "hp changed\n");
        return true;
      },
      [this] { return std::make_unique<ScriptedProgress>(*this); });
  Run([this] { commands->ReplaceInFiles(); });
  ASSERT_EQ(error, "");
  EXPECT_EQ(titles, (std::vector<std::string>{"Replace in Files", "Replace in Files"}));
  EXPECT_EQ(TempDir::read(dir.file("a.c")), "int health;\r\n\tint\x01 hp2 = health;\r\nlast health");
  EXPECT_EQ(TempDir::read(dir.file("a.~.c")), "int hp;\r\n\tint\x01 hp2 = hp;\r\nlast hp");
  // The open file changes in its window, as one step to undo; the file waits for a save.
  EXPECT_EQ(window.ShownText(), "health = 1;\nkeep\nhealth = 2;");
  EXPECT_TRUE(window.Modified());
  EXPECT_EQ(TempDir::read(dir.file("b.c")), "hp = 1;\nkeep\nhp = 2;\n");
  window.Undo();
  EXPECT_EQ(window.ShownText(), "hp = 1;\nkeep\nhp = 2;");
  EXPECT_EQ(TempDir::read(dir.file("c.c")), "hp changed\n");
  EXPECT_EQ(questions.log,
            (std::vector<std::string>{
                "inform: 5 replacements in 2 files.\n\n1 file was left as it was:\n" + dir.file("c.c") +
                " was changed by another program since the search, so nothing was replaced in it."}));
  EXPECT_EQ(dialog.NewTextComboBox->itemText(0), "health");
}

TEST_F(DesktopFindInFilesTest, ACancelledPreviewChangesNothing) {
  AddProject({{"a.c", "hp\n"}});
  dialog.SetFindText("hp");
  confirm = {true, false};
  Run([this] { commands->ReplaceInFiles(); });
  EXPECT_EQ(shown, (std::vector<std::string>{"Replace in Files", "Replace in Files"}));
  EXPECT_EQ(TempDir::read(dir.file("a.c")), "hp\n");
  EXPECT_TRUE(questions.log.empty());
  dialog.SetFindText("nowhere");
  Run([this] { commands->ReplaceInFiles(); });
  EXPECT_EQ(questions.log, std::vector<std::string>{"inform: No match for 'nowhere' found."});
}

} // namespace

// Tab goes down the fields in the order they show, the replacement right after the text to find.
TEST(FindInFilesDialog, TabGoesDownTheFields) {
  FindInFilesDialog dialog(true);
  dialog.SetReplacing(true);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.FindTextComboBox->setFocus();
  std::vector<QWidget*> order;
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    order.push_back(
        focus != nullptr && focus->parentWidget() == dialog.NewTextComboBox ? dialog.NewTextComboBox : focus);
  }
  EXPECT_EQ(order, (std::vector<QWidget*>{dialog.NewTextComboBox, dialog.CaseCheckBox,
                                          dialog.WholeWordCheckBox, dialog.RegexCheckBox}));
}
