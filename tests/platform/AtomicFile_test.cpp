#include "AtomicFile.h"
#include "ChildProcess.h"
#include "IdlePipe.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct stat StatOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info;
}

std::size_t EntriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

TEST(AtomicFile, WritesExactBytesAndKeepsPermissionsOwnerAndGroup) {
  TempDir dir;
  std::string path = dir.write("a.c", "old");
  ::chmod(path.c_str(), 0640);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  std::string bytes("x\r\ny\0\xff", 6);
  ASSERT_EQ(WriteFileAtomically(path, bytes), "");
  EXPECT_EQ(TempDir::read(path), bytes);
  const struct stat info = StatOf(path);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(std::make_pair(info.st_uid, info.st_gid), std::make_pair(65534u, 65534u));
  }
  EXPECT_EQ(EntriesIn(dir.path()), 1u); // no leftovers
}

TEST(AtomicFile, AFailedWriteToTheFileLeavesItsOldContent) {
  TempDir dir;
  const std::string path = dir.write("a.c", "precious");
  const std::string replacement(8 * 1024, 'x');
  auto writeFails = [&] { return WriteFileAtomically(path, replacement).empty() ? 1 : 0; };
  // The device fills up halfway through the new content.
  auto writeOnAFullDevice = [&] {
    FillDeviceAfter(4096);
    return writeFails();
  };

  EXPECT_EQ(RunInChild(writeOnAFullDevice), 0);
  EXPECT_EQ(TempDir::read(path), "precious");
  // The same when the file has to be written in place: another link holds it.
  ASSERT_EQ(::link(path.c_str(), dir.file("b.c").c_str()), 0);
  EXPECT_EQ(RunInChild(writeOnAFullDevice), 0);
  EXPECT_EQ(TempDir::read(path), "precious");

  // A file nobody may write.
  ::unlink(dir.file("b.c").c_str());
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(path.c_str(), 0444);
  EXPECT_EQ(RunInChild([&] { return DropRootPrivileges() ? writeFails() : 2; }), 0);
  EXPECT_EQ(TempDir::read(path), "precious");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  EXPECT_NE(WriteFileAtomically(dir.path(), "x"), ""); // a folder in the way is not overwritten
  EXPECT_NE(WriteFileAtomically("/dev/full", "x"), "");
}

TEST(AtomicFile, LinksStayLinksAndNamesUpToTheLimitSave) {
  TempDir dir;
  const std::string real = dir.write("real/g_main.c", "old");
  ASSERT_EQ(::symlink("real/g_main.c", dir.file("relative.c").c_str()), 0);
  ASSERT_EQ(::symlink(dir.file("relative.c").c_str(), dir.file("chain.c").c_str()), 0);
  ASSERT_EQ(WriteFileAtomically(dir.file("chain.c"), "through two links"), "");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("chain.c")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("relative.c")));
  EXPECT_EQ(TempDir::read(real), "through two links");

  // A link to a file not there yet makes it.
  ASSERT_EQ(::symlink("real/new.c", dir.file("dangling.c").c_str()), 0);
  ASSERT_EQ(WriteFileAtomically(dir.file("dangling.c"), "new"), "");
  EXPECT_EQ(TempDir::read(dir.file("real/new.c")), "new");

  ASSERT_EQ(::symlink("loop.c", dir.file("loop.c").c_str()), 0);
  EXPECT_NE(WriteFileAtomically(dir.file("loop.c"), "x"), "");

  // Hard links stay joined.
  ASSERT_EQ(::link(real.c_str(), dir.file("hard.c").c_str()), 0);
  ASSERT_EQ(WriteFileAtomically(dir.file("hard.c"), "both"), "");
  EXPECT_EQ(TempDir::read(real), "both");
  EXPECT_EQ(StatOf(real).st_ino, StatOf(dir.file("hard.c")).st_ino);

  const std::string longest(255, 'n');
  const std::string longPath = dir.write(longest, "old");
  ASSERT_EQ(WriteFileAtomically(longPath, "new"), "");
  EXPECT_EQ(TempDir::read(longPath), "new");
  ASSERT_EQ(WriteFileAtomically(dir.file(std::string(254, 'm')), "fresh"), "");
}

TEST(AtomicFile, AWritableFileInAFolderThatTakesNoNewFilesIsWrittenInPlace) {
  TempDir dir;
  const std::string path = dir.write("locked/a.c", "old");
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(path.c_str(), 0666);
  ::chmod(dir.file("locked").c_str(), 0555);
  EXPECT_EQ(RunInChild([&] {
              if (!DropRootPrivileges()) return 2;
              if (!WriteFileAtomically(path, "new").empty()) return 3;
              return WriteFileAtomically(dir.file("locked/other.c"), "x").find("Cannot create a file in") !=
                             std::string::npos
                         ? 0
                         : 4;
            }),
            0);
  EXPECT_EQ(TempDir::read(path), "new");
}

TEST(AtomicFile, ReadsMissingAsEmptyAndRefusesFolders) {
  TempDir dir;
  std::string content = "stale", error;
  EXPECT_TRUE(ReadFileIfPresent(dir.file("none"), content, error));
  EXPECT_EQ(content, "");
  EXPECT_FALSE(ReadFileIfPresent(dir.path(), content, error));
  EXPECT_NE(error, "");
}

TEST(AtomicFile, APipeADeviceOrAFolderIsRefusedWithoutWaiting) {
  TempDir dir;
  IdlePipe pipe(dir.file("pipe.c"));
  std::string content, error;
  EXPECT_FALSE(pipe.Within([&] { return ReadFileIfPresent(pipe.path(), content, error); }));
  EXPECT_EQ(error, "Cannot open " + pipe.path() + ": it is not a regular file");
  EXPECT_EQ(pipe.Within([&] { return readFileStart(pipe.path(), 100); }), "");
  const FileProbe probed = pipe.Within([&] { return probeFile(pipe.path()); });
  EXPECT_TRUE(probed.exists);
  EXPECT_FALSE(probed.regular);
  EXPECT_EQ(probed.problem, error);

  EXPECT_EQ(probeFile(dir.path()).problem, "Cannot open " + dir.path() + ": it is a folder");
  EXPECT_FALSE(probeFile("/dev/null").regular);
  const FileProbe missing = probeFile(dir.file("none.c"));
  EXPECT_FALSE(missing.exists);
  EXPECT_EQ(missing.problem, "");
  const FileProbe plain = probeFile(dir.write("plain.c", "int x;\n"));
  EXPECT_TRUE(plain.regular);
  EXPECT_EQ(plain.size, 7u);
  EXPECT_EQ(readFileStart(dir.file("plain.c"), 3), "int");
}
