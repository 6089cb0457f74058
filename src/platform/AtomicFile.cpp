#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// umask can only be read by setting it; it is read once, before any thread could write a file.
mode_t currentUmask() {
  static const mode_t mask = [] {
    const mode_t value = ::umask(0);
    ::umask(value);
    return value;
  }();
  return mask;
}

} // namespace

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

namespace {

// The path opened for reading without blocking, and what it is; -1 with errno set on failure.
int openWithoutBlocking(const std::string& path, struct stat& info) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  if (::fstat(fd, &info) != 0) {
    const int savedErrno = errno;
    ::close(fd);
    errno = savedErrno;
    return -1;
  }
  return fd;
}

std::string notRegular(const std::string& path, const struct stat& info) {
  return "Cannot open " + path + ": " +
         (S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file");
}

} // namespace

FileProbe probeFile(const std::string& path) {
  FileProbe probe;
  struct stat info {};
  const int fd = openWithoutBlocking(path, info);
  if (fd < 0) {
    probe.exists = errno != ENOENT;
    if (probe.exists) probe.problem = systemError("Cannot open", path);
    return probe;
  }
  ::close(fd);
  probe.exists = true;
  probe.regular = S_ISREG(info.st_mode);
  if (probe.regular)
    probe.size = static_cast<std::uint64_t>(info.st_size);
  else
    probe.problem = notRegular(path, info);
  return probe;
}

bool ReadFileIfPresent(const std::string& path, std::string& content, std::string& error) {
  content.clear();
  struct stat info {};
  const int fd = openWithoutBlocking(path, info);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    error = systemError("Cannot read", path);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    error = notRegular(path, info);
    return false;
  }
  // Read straight into the result; one byte more than the size tells the end at once.
  std::size_t used = 0;
  content.resize(static_cast<std::size_t>(info.st_size) + 1);
  for (;;) {
    if (used == content.size()) content.resize(2 * content.size());
    const ssize_t got = ::read(fd, content.data() + used, content.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = systemError("Cannot read", path);
      ::close(fd);
      content.clear();
      return false;
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  content.resize(used);
  ::close(fd);
  return true;
}

std::string readFileStart(const std::string& path, std::size_t most) {
  struct stat info {};
  const int fd = openWithoutBlocking(path, info);
  if (fd < 0) return {};
  std::string start;
  if (S_ISREG(info.st_mode)) {
    start.resize(most);
    ssize_t got = 0;
    do
      got = ::read(fd, start.data(), most);
    while (got < 0 && errno == EINTR);
    start.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  }
  ::close(fd);
  return start;
}

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names, following symbolic links (a missing final target is fine: it
// is where a new file goes). Empty when the links go round in circles.
std::string linkTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0) return current;
    target.resize(static_cast<std::size_t>(length));
    current = target.starts_with('/') ? target : folderOf(current) + "/" + target;
  }
  return {};
}

// A temporary file in `folder` for `name`: named after it where the name allows, so a leftover
// says what it was. -1 with errno set when the folder takes no new file.
int makeTemporary(const std::string& folder, const std::string& name, std::string& temporary) {
  const long maxName = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::string suffix = ".XXXXXX";
  const bool fits = maxName < 0 || name.size() + 1 + suffix.size() <= static_cast<std::size_t>(maxName);
  temporary = folder + "/." + (fits ? name : std::string("tessarin")) + suffix;
  return ::mkstemp(temporary.data());
}

// Writes over the file where it is: its links, owner and group stay as they are.
std::string writeInPlace(const std::string& path, const std::string& content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return systemError("Cannot write", path);
  // Reserve the space first, so a full device fails before the old content is touched.
  const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(content.size()));
  if (reserved == ENOSPC || reserved == EFBIG || reserved == EDQUOT) {
    ::close(fd);
    errno = reserved;
    return systemError("Cannot write", path);
  }
  bool ok =
      WriteAll(fd, content) && ::ftruncate(fd, static_cast<off_t>(content.size())) == 0 && ::fsync(fd) == 0;
  int savedErrno = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (ok) return {};
  errno = savedErrno;
  return systemError("Cannot write", path);
}

// Writes `content` into a new file beside `path` and renames it over `path`. Returns false when
// the new file could not take the old one's owner and group, so the caller writes in place.
bool replaceWhole(const std::string& path, const std::string& content, const struct stat* existing, int fd,
                  const std::string& temporary, std::string& error) {
  bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
  int savedErrno = errno;
  if (ok && existing != nullptr) {
    ::fchmod(fd, existing->st_mode & 07777);
    if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
      ::close(fd);
      ::unlink(temporary.c_str());
      return false;
    }
  }
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
    error = systemError("Cannot write", path);
  }
  return true;
}

} // namespace

std::string WriteFileAtomically(const std::string& path, const std::string& content, bool createFolders) {
  const std::string target = linkTarget(path);
  if (target.empty()) return "Cannot write " + path + ": its symbolic links go round in a circle";
  const std::string folder = folderOf(target);
  if (createFolders) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
  }
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists) {
    if (!S_ISREG(existing.st_mode)) return "Cannot write " + path + ": not a regular file";
    if (::access(target.c_str(), W_OK) != 0) return systemError("Cannot write", path);
    if (existing.st_nlink > 1) return writeInPlace(target, content);
  }
  std::string temporary;
  const int fd = makeTemporary(folder, std::filesystem::path(target).filename().string(), temporary);
  if (fd < 0) {
    if (exists) return writeInPlace(target, content); // the folder takes no new file, the file may change
    return systemError("Cannot create a file in " + folder + " for", path);
  }
  if (!exists) ::fchmod(fd, 0666 & ~currentUmask());
  std::string error;
  if (!replaceWhole(target, content, exists ? &existing : nullptr, fd, temporary, error))
    return writeInPlace(target, content);
  return error;
}
