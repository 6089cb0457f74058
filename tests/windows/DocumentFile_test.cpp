// A document's file against another program that changes or deletes it: every decision, without
// a window.
#include "DocumentFile.h"
#include "ScriptedQuestions.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

struct FakeText : DocumentFile::Text {
  std::vector<std::string> lines{"mine"};
  bool modified = false;
  std::vector<std::string> Lines() const override { return lines; }
  bool Modified() const override { return modified; }
  void SetModified(bool value) override { modified = value; }
};

struct DocumentFileTest : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;
  Settings settings;
  FakeText text;
  DocumentFile file{text, questions, settings};
  int reloads = 0;
  const std::string path = dir.write("g_main.c", "theirs 1\n");

  DocumentFileTest() { file.Loaded(path, std::nullopt); }

  // Another program rewrites the file the way editors do: a new file renamed over the old one.
  void ChangeOnDisk(const std::string& bytes) {
    dir.write("other", bytes);
    std::filesystem::rename(dir.file("other"), path);
  }
  void Notice() {
    file.NoticeOutsideChanges([this] {
      ++reloads;
      file.Loaded(path, std::nullopt);
      text.modified = false;
    });
  }
};

} // namespace

TEST_F(DocumentFileTest, AChangeToAnUnchangedWindowOffersAReloadOnce) {
  Notice();
  EXPECT_TRUE(questions.log.empty()) << "nothing changed";

  ChangeOnDisk("theirs 2\n");
  questions.answers = {Answer::No};
  Notice();
  Notice();
  EXPECT_EQ(questions.log,
            std::vector<std::string>{"ask: " + path + " was changed by another program.\nReload it?"});
  EXPECT_EQ(reloads, 0);

  ChangeOnDisk("theirs 3\n");
  questions.answers = {Answer::Yes};
  Notice();
  EXPECT_EQ(reloads, 1);
}

TEST_F(DocumentFileTest, AChangeToAModifiedWindowAsksAndKeepingItOverwritesAtTheNextSave) {
  text.modified = true;
  ChangeOnDisk("theirs 2\n");
  questions.answers = {Answer::No};
  Notice();
  ASSERT_EQ(questions.log.size(), 1u);
  EXPECT_NE(questions.log[0].find("this window has unsaved changes"), std::string::npos);
  EXPECT_EQ(reloads, 0);
  EXPECT_TRUE(file.TrySave()) << "the user chose the window's text: no second question";
  EXPECT_EQ(questions.log.size(), 1u);
  EXPECT_EQ(TempDir::read(path), "mine\r\n");

  text.modified = true;
  ChangeOnDisk("theirs 3\n");
  questions.answers = {Answer::Yes};
  Notice();
  EXPECT_EQ(reloads, 1);
  EXPECT_FALSE(text.modified);
}

TEST_F(DocumentFileTest, ASaveOverAFileChangedSinceAsksFirst) {
  text.modified = true;
  ChangeOnDisk("theirs 2\n");
  questions.answers = {Answer::No};
  EXPECT_FALSE(file.TrySave());
  EXPECT_EQ(TempDir::read(path), "theirs 2\n");
  EXPECT_TRUE(text.modified);

  questions.answers = {Answer::Yes};
  EXPECT_TRUE(file.TrySave());
  EXPECT_EQ(TempDir::read(path), "mine\r\n");

  // The window's own saves are not another program's changes.
  text.modified = true;
  EXPECT_TRUE(file.TrySave());
  Notice();
  EXPECT_EQ(questions.log.size(), 2u);
}

TEST_F(DocumentFileTest, ADeletedFileIsToldAndWrittenAgainAtTheNextSave) {
  std::filesystem::remove(path);
  Notice();
  ASSERT_EQ(questions.log.size(), 1u);
  EXPECT_NE(questions.log[0].find("was deleted by another program"), std::string::npos);
  EXPECT_TRUE(text.modified) << "the window now holds the only copy";
  Notice();
  EXPECT_EQ(questions.log.size(), 1u);
  EXPECT_TRUE(file.TrySave());
  EXPECT_EQ(TempDir::read(path), "mine\r\n");
}

// A same-size rewrite in place that puts the old modification time back is still noticed.
TEST_F(DocumentFileTest, ARewriteThatRestoresTheModificationTimeIsNoticed) {
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  dir.write("g_main.c", "theirs 2\n"); // the same size, in place: the same inode
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  questions.answers = {Answer::No};
  Notice();
  EXPECT_EQ(questions.log,
            std::vector<std::string>{"ask: " + path + " was changed by another program.\nReload it?"});
}
