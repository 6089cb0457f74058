#include "AtomicFile.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(AtomicFile, WritesExactBytesAndKeepsPermissions) {
  TempDir dir;
  std::string path = dir.write("a.c", "old");
  ::chmod(path.c_str(), 0640);
  std::string bytes("x\r\ny\0\xff", 6);
  ASSERT_EQ(writeFileAtomically(path, bytes), "");
  EXPECT_EQ(TempDir::read(path), bytes);
  struct stat info {};
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no leftovers
}

TEST(AtomicFile, FailedWriteLeavesTheOldFile) {
  TempDir dir;
  std::string path = dir.write("a.c", "precious");
  std::string error = writeFileAtomically(dir.path() + "/missing/deeper/a.c", "x", false);
  EXPECT_NE(error, "");
  EXPECT_NE(writeFileAtomically(dir.path(), "x"), ""); // a folder is not overwritten
  EXPECT_NE(writeFileAtomically("/dev/full", "x"), "");
  EXPECT_EQ(TempDir::read(path), "precious");
}

TEST(AtomicFile, ReadsMissingAsEmptyAndRefusesFolders) {
  TempDir dir;
  std::string content = "stale", error;
  EXPECT_TRUE(readFileIfPresent(dir.file("none"), content, error));
  EXPECT_EQ(content, "");
  EXPECT_FALSE(readFileIfPresent(dir.path(), content, error));
  EXPECT_NE(error, "");
}
