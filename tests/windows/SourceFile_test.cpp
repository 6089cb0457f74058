#include "SourceFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace source_file;

TEST(SourceFileTest, TabsExpandToTheNextFourColumnStop) {
  EXPECT_EQ(ExpandTabs("a\tb"), "a   b");
  EXPECT_EQ(ExpandTabs("abcd\tx"), "abcd    x");
  EXPECT_EQ(ExpandTabs("\t\tx\ty"), "        x   y");
  EXPECT_EQ(ExpandTabs("no tabs"), "no tabs");
}

TEST(SourceFileTest, EveryLineEndCountsAndEveryOtherByteSurvives) {
  const std::string odd = std::string("nul\0mid", 7) + "\x80\xA0\xFF";
  TempDir dir;
  const std::string path = dir.write("mixed.c", "one\r\ntwo\nthree\rfour\r\n\r\n" + odd);
  const LoadResult loaded = Load(path, false);
  ASSERT_EQ(loaded.error, "");
  EXPECT_EQ(loaded.lines, (std::vector<std::string>{"one", "two", "three", "four", "", odd}));

  // Saved back, each line ends in CR LF, the last one included, and nothing else changes.
  ASSERT_EQ(stored_file::Save(path, JoinLines(loaded.lines), false), "");
  EXPECT_EQ(TempDir::read(path), "one\r\ntwo\r\nthree\r\nfour\r\n\r\n" + odd + "\r\n");
  EXPECT_EQ(Load(path, false).lines, loaded.lines);

  // The empty file reads as one empty line and is written back as nothing.
  EXPECT_EQ(JoinLines({""}), "");
  EXPECT_TRUE(stored_file::SplitLines("").empty());
  EXPECT_EQ(stored_file::SplitLines("a\r"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(stored_file::SplitLines("\n\n"), (std::vector<std::string>{"", ""}));
}

TEST(SourceFileTest, MissingFilesAreEmptyAndUnreadableOnesAreRefused) {
  TempDir dir;
  const LoadResult missing = Load(dir.file("none.c"), false);
  EXPECT_EQ(missing.error, "");
  EXPECT_TRUE(missing.lines.empty());

  EXPECT_NE(Load(dir.path(), false).error.find("folder"), std::string::npos);
  EXPECT_NE(Load("/dev/zero", false).error, "");
  // A pipe nobody writes to would block a plain open for ever.
  const std::string pipe = dir.file("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_NE(Load(pipe, false).error, "");
}
