#include "AtomicFile.h"
#include "TempDir.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// Runs `write` in a child process that first makes writing fail in the given way, and returns
// whether the write reported an error.
bool FailsInChild(const std::function<void()>& breakWriting, const std::function<std::string()>& write) {
  const pid_t child = ::fork();
  if (child == 0) {
    breakWriting();
    ::_exit(write().empty() ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(AtomicFile, AFailedWriteToTheFileLeavesItsOldContent) {
  TempDir dir;
  const std::string path = dir.write("a.c", "precious");
  const std::string replacement(8 * 1024, 'x');
  auto write = [&] { return writeFileAtomically(path, replacement); };

  // The device fills up halfway through the new content.
  EXPECT_TRUE(FailsInChild(
      [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
      },
      write));
  EXPECT_EQ(TempDir::read(path), "precious");

  // The file may be written, its folder may not (root is made someone else for that).
  ::chmod(path.c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  EXPECT_TRUE(FailsInChild(
      [] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
      },
      write));
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(TempDir::read(path), "precious");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no leftovers

  EXPECT_NE(writeFileAtomically(dir.path(), "x"), ""); // a folder in the way is not overwritten
  EXPECT_NE(writeFileAtomically("/dev/full", "x"), "");
}

TEST(AtomicFile, ReadsMissingAsEmptyAndRefusesFolders) {
  TempDir dir;
  std::string content = "stale", error;
  EXPECT_TRUE(readFileIfPresent(dir.file("none"), content, error));
  EXPECT_EQ(content, "");
  EXPECT_FALSE(readFileIfPresent(dir.path(), content, error));
  EXPECT_NE(error, "");
}
