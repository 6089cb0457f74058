// The safe save of a file as stored: the backup copy made once and whole, the atomic write.
#include "ChildProcess.h"
#include "StoredFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace stored_file;

TEST(StoredFileTest, BackupNamesKeepTheExtension) {
  EXPECT_EQ(BackupName("/mod/logic.c"), "/mod/logic.~.c");
  EXPECT_EQ(BackupName("/mod/notes"), "/mod/~");
  EXPECT_EQ(BackupName("/mod.d/g_main.tar.h"), "/mod.d/g_main.tar.~.h");
}

TEST(StoredFileTest, TheFirstBackupStaysOverLaterSaves) {
  TempDir dir;
  const std::string path = dir.write("logic.c", "v1\r\n");
  ASSERT_EQ(Save(path, "v2\r\n", true), "");
  ASSERT_EQ(Save(path, "v3\r\n", true), "");
  EXPECT_EQ(TempDir::read(dir.file("logic.~.c")), "v1\r\n");
  EXPECT_EQ(TempDir::read(path), "v3\r\n");
  // Without a file on disk there is nothing to back up, and the save still goes on.
  ASSERT_EQ(Save(dir.file("new.c"), "x\r\n", true), "");
  EXPECT_FALSE(std::filesystem::exists(dir.file("new.~.c")));
}

TEST(StoredFileTest, ABackupThatCannotBeWrittenWholeStopsTheSave) {
  TempDir dir;
  const std::string path = dir.write("big.c", std::string(8192, 'a'));
  ::chmod(path.c_str(), 0640);
  // A full device: the backup cannot be written whole, so neither it nor the new text lands.
  EXPECT_EQ(RunInChild([&] {
              FillDeviceAfter(4096);
              const std::string error = Save(path, "b\r\n", true);
              return error.find("backup") != std::string::npos ? 0 : 1;
            }),
            0);
  EXPECT_EQ(TempDir::read(path), std::string(8192, 'a'));
  EXPECT_FALSE(std::filesystem::exists(dir.file("big.~.c")));

  ASSERT_EQ(Save(path, "b\r\n", true), "");
  EXPECT_EQ(TempDir::read(dir.file("big.~.c")), std::string(8192, 'a'));
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("big.~.c").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(StoredFileTest, AFailedWriteLeavesTheOldFileAndPermissions) {
  TempDir dir;
  const std::string path = dir.write("keep.c", "old\r\n");
  ::chmod(path.c_str(), 0640);
  ASSERT_EQ(Save(path, "new\r\n", false), "");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  EXPECT_NE(Save(path + "/under.c", "x\r\n", true), ""); // a folder that is a file
  EXPECT_NE(Save("/dev/full", "x\r\n", false), "");
  EXPECT_EQ(TempDir::read(path), "new\r\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A name at the file system's limit leaves no room for the backup's: the message says so, and
// what to do, and the file stays as it was.
TEST(StoredFileTest, ABackupNameTooLongForTheFileSystemIsNamedInTheMessage) {
  TempDir dir;
  const std::string name = std::string(253, 'n') + ".c"; // 255 bytes; the backup's would be 257
  const std::string path = dir.write(name, "v1\n");
  const std::string error = Save(path, "v2\n", true);
  EXPECT_NE(error.find("its name, " + BackupName(name) + ", would be longer than the 255 bytes"),
            std::string::npos)
      << error;
  EXPECT_NE(error.find("turn the backups off in Preferences"), std::string::npos);
  EXPECT_EQ(TempDir::read(path), "v1\n");
  EXPECT_EQ(Save(path, "v2\n", false), "");
}
