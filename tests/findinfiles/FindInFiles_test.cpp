// Find in Files: the entries a search makes of files on disk, and the command around it.
#include "FindInFilesCommands.h"
#include "FindInFilesDialog.h"
#include "FindInFilesSearch.h"
#include "SourceFile.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

using namespace std::string_literals;

namespace {

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

  std::vector<std::string> Search(const std::string& pattern, bool caseSensitive = false,
                                  bool wholeWords = false) {
    TkxEditSearch engine;
    engine.SetPattern(pattern);
    engine.SetCaseSensitive(caseSensitive);
    engine.SetWholeWords(wholeWords);
    std::vector<std::string> entries;
    SearchFiles(engine, workspace.ActiveProject->Files,
                [&entries](std::string entry) { entries.push_back(std::move(entry)); });
    return entries;
  }
};

TEST_F(FindInFilesTest, OneEntryPerMatchingLineWithTabsAsBlanksFileByFile) {
  AddProject({{"g_main.c", "int health;\r\n\tint maxHealth = health + health;\r\nint armor;\r\n"},
              {"g_local.h", "// nothing\rextern int health;\n"}});
  const std::string main = dir.file("g_main.c"), local = dir.file("g_local.h");
  EXPECT_EQ(Search("health"), (std::vector<std::string>{main + ":1: int health;",
                                                        main + ":2:  int maxHealth = health + health;",
                                                        local + ":2: extern int health;"}));
  EXPECT_TRUE(Search("nowhere").empty());
}

TEST_F(FindInFilesTest, CaseAndWholeWordOptionsDecideWhatMatches) {
  AddProject({{"a.c", "Health\nhealth\nmaxhealth\nmax_health\n"}});
  const std::string a = dir.file("a.c");
  EXPECT_EQ(Search("health").size(), 4u);
  EXPECT_EQ(Search("health", true),
            (std::vector<std::string>{a + ":2: health", a + ":3: maxhealth", a + ":4: max_health"}));
  // The underscore delimits a word.
  EXPECT_EQ(Search("HEALTH", false, true),
            (std::vector<std::string>{a + ":1: Health", a + ":2: health", a + ":4: max_health"}));
}

TEST_F(FindInFilesTest, BinaryBytesAreSearchedAndListedAsTheyAre) {
  AddProject({{"data.bin", "\x01\x02key\0after\xff\r\rkey\n"s}});
  const std::string bin = dir.file("data.bin");
  EXPECT_EQ(Search("key"), (std::vector<std::string>{bin + ":1: \x01\x02key\0after\xff"s, bin + ":3: key"}));
  EXPECT_EQ(Search("after"), (std::vector<std::string>{bin + ":1: \x01\x02key\0after\xff"s}));
}

TEST_F(FindInFilesTest, AFileThatCannotBeReadStopsTheSearchAfterTheEntriesBeforeIt) {
  ASSERT_EQ(::mkfifo(dir.file("pipe.c").c_str(), 0600), 0);
  ::mkdir(dir.file("folder.c").c_str(), 0700);
  for (const char* unreadable : {"missing.c", "pipe.c", "folder.c"}) {
    workspace.Clear();
    AddProject({{"first.c", "hit\n"}, {unreadable, ""}, {"last.c", "hit\n"}});
    std::vector<std::string> entries;
    TkxEditSearch engine;
    engine.SetPattern("hit");
    try {
      SearchFiles(engine, workspace.ActiveProject->Files,
                  [&entries](std::string e) { entries.push_back(e); });
      ADD_FAILURE() << unreadable << " was read";
    } catch (const TessarinError& error) {
      EXPECT_EQ(error.message(), "Cannot open file " + dir.file(unreadable));
    }
    EXPECT_EQ(entries, std::vector<std::string>{dir.file("first.c") + ":1: hit"});
  }
}

// The whole-text scan lists exactly the lines a search line by line lists.
TEST(FindInFilesSearch, FindsTheLinesASearchLineByLineFinds) {
  std::mt19937 random(2026);
  const std::string alphabet("aAb _\r\n\0\xe9", 9);
  auto pick = [&](const std::string& from, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
      text += from[random() % from.size()];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string text = pick(alphabet, random() % 60);
    TkxEditSearch engine;
    engine.SetPattern(pick("aAb _", 1 + random() % 3));
    engine.SetCaseSensitive(random() % 2 == 0);
    engine.SetWholeWords(random() % 2 == 0);
    std::vector<std::string> expected, found;
    const std::vector<std::string> lines = stored_file::SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (engine.FindAllIn(lines[i]) > 0)
        expected.push_back(FindInFilesEntry("f", static_cast<int>(i) + 1, lines[i]));
    SearchText(engine, "f", text, [&found](std::string entry) { found.push_back(std::move(entry)); });
    ASSERT_EQ(found, expected) << "pattern '" << engine.Pattern() << "' in '" << text << "'";
  }
}

TEST(FindInFilesDialog, OpensOnTheFindBoxAndTheEnterKeyConfirms) {
  FindInFilesDialog dialog;
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  EXPECT_TRUE(dialog.FindTextComboBox->hasFocus());
  QTest::keyClicks(dialog.FindTextComboBox, "health");
  QTest::keyClick(dialog.FindTextComboBox, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.FindText(), "health");
  EXPECT_EQ(dialog.FindTextComboBox->count(), 0);
}

// The command on its own page, with a scripted dialog.
struct FindInFilesCommandTest : FindInFilesTest {
  FindInFilesDialog dialog;
  QTabWidget pages;
  QWidget* debugSheet = new QWidget;
  QWidget* sheet = new QWidget;
  QListWidget* list = new QListWidget(sheet);
  std::vector<std::string> shown;
  bool confirm = true;
  std::string error;
  int stopAfterFiles = -1; // the user's Stop after that many files; never when negative
  std::vector<std::string> progress;
  FindInFilesCommands commands{dialog, workspace, FindInFilesPage{pages, *sheet, *list},
                               [this](QDialog& d) {
                                 shown.push_back(d.windowTitle().toStdString());
                                 return confirm;
                               },
                               [this] { return std::make_unique<ScriptedProgress>(*this); }};

  struct ScriptedProgress : FindInFilesProgress {
    FindInFilesCommandTest& test;
    explicit ScriptedProgress(FindInFilesCommandTest& owner) : test(owner) {}
    bool Continue(int done, int total, std::size_t lines) override {
      test.progress.push_back(std::to_string(done) + "/" + std::to_string(total) + ":" +
                              std::to_string(lines));
      return done != test.stopAfterFiles;
    }
  };

  FindInFilesCommandTest() {
    pages.addTab(debugSheet, "Debug");
    pages.addTab(sheet, "Find in Files");
  }

  void Run() {
    try {
      commands.FindInFiles();
    } catch (const TessarinError& failure) {
      error = failure.message();
    }
  }
  void Run(const std::string& text) {
    dialog.FindTextComboBox->setEditText(QString::fromStdString(text));
    Run();
  }

  [[nodiscard]] std::vector<std::string> Entries() const {
    std::vector<std::string> entries;
    for (int row = 0; row < list->count(); ++row)
      entries.push_back(list->item(row)->text().toStdString());
    return entries;
  }
};

TEST_F(FindInFilesCommandTest, ListsTheHitsOnItsPageWithTheLastOneSelected) {
  AddProject({{"a.c", "x = 1;\ny = x;\n"}, {"b.c", "z = X;\n"}});
  list->addItem("an old entry");
  Run("x");
  EXPECT_EQ(shown, std::vector<std::string>{"Find text in File"});
  EXPECT_EQ(pages.currentWidget(), sheet);
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{dir.file("a.c") + ":1: x = 1;", dir.file("a.c") + ":2: y = x;",
                                      dir.file("b.c") + ":1: z = X;"}));
  EXPECT_EQ(list->currentRow(), 2);

  // The dialog keeps its fields; its options reach the search.
  dialog.CaseCheckBox->setChecked(true);
  Run();
  EXPECT_EQ(dialog.FindText(), "x");
  EXPECT_EQ(Entries().size(), 2u);

  // No match: an empty list, still in front.
  pages.setCurrentWidget(debugSheet);
  Run("nowhere");
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(pages.currentWidget(), sheet);
  EXPECT_EQ(error, "");
}

TEST_F(FindInFilesCommandTest, AStoppedRunListsWhatItFound) {
  AddProject({{"a.c", "x\nx\n"}, {"b.c", "x\n"}, {"c.c", "x\n"}});
  stopAfterFiles = 2;
  Run("x");
  EXPECT_EQ(progress, (std::vector<std::string>{"1/3:2", "2/3:3"}));
  EXPECT_EQ(Entries(), (std::vector<std::string>{dir.file("a.c") + ":1: x", dir.file("a.c") + ":2: x",
                                                 dir.file("b.c") + ":1: x"}));
  EXPECT_EQ(list->currentRow(), 2);
}

TEST_F(FindInFilesCommandTest, TheListedPathReadsBackForTheJump) {
  AddProject({{"jos\xc3\xa9/g_main.c", "x\n"}});
  Run("x");
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text().toStdString(), dir.file("jos\xc3\xa9/g_main.c") + ":1: x");
}

TEST_F(FindInFilesCommandTest, AnEmptyTextIsRefusedBeforeTheListIsTouched) {
  AddProject({{"a.c", "x\n"}});
  list->addItem("kept");
  Run("");
  EXPECT_EQ(error, "Pattern is empty");
  EXPECT_EQ(Entries(), std::vector<std::string>{"kept"});
  EXPECT_EQ(pages.currentWidget(), debugSheet);
}

TEST_F(FindInFilesCommandTest, DoesNothingWithoutAnActiveProjectOrWhenCancelled) {
  list->addItem("kept");
  Run("x");
  EXPECT_TRUE(shown.empty());
  AddProject({{"a.c", "x\n"}});
  confirm = false;
  Run("x");
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"kept"});
}

} // namespace
