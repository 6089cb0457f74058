#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool writeAll(int fd, const std::string& content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// umask can only be read by setting it; it is put back at once.
mode_t currentUmask() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

} // namespace

bool readFileIfPresent(const std::string& path, std::string& content, std::string& error) {
  content.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    error = systemError("Cannot read", path);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
    ::close(fd);
    error = "Cannot read " + path + ": not a regular file";
    return false;
  }
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = systemError("Cannot read", path);
      ::close(fd);
      return false;
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return true;
}

std::string writeFileAtomically(const std::string& path, const std::string& content, bool createFolders) {
  std::filesystem::path target(path);
  std::filesystem::path folder = target.parent_path();
  if (createFolders && !folder.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
  }
  // Keep the mode of the file being replaced; a new file gets the usual 0666 & ~umask.
  mode_t mode = 0666 & ~currentUmask();
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return "Cannot write " + path + ": not a regular file";
    if (::access(path.c_str(), W_OK) != 0) return systemError("Cannot write", path);
    mode = existing.st_mode & 07777;
  }
  std::string temporary =
      (folder.empty() ? std::string(".") : folder.string()) + "/." + target.filename().string() + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return systemError("Cannot write", path);
  bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
  int savedErrno = errno;
  if (ok) ::fchmod(fd, mode);
  if (::close(fd) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    errno = savedErrno;
    return systemError("Cannot write", path);
  }
  return {};
}
