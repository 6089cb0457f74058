#include "Paths.h"

#include <sys/stat.h>
#include <vector>

PathStyle PathStyle::Native() {
#ifdef _WIN32
  return Windows();
#else
  return Posix();
#endif
}

namespace paths {
namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool hasWindowsDriveLetter(const std::string& path) {
  return path.size() >= 2 && isLetter(path[0]) && path[1] == ':';
}

// Index of the last character that ends the folder part, or npos.
std::size_t lastFolderEnd(const std::string& path, PathStyle style) {
  for (std::size_t i = path.size(); i-- > 0;) {
    if (style.isDelimiter(path[i])) return i;
    if (style.windows && path[i] == ':' && i == 1 && isLetter(path[0])) return i;
  }
  return std::string::npos;
}

std::vector<std::string> folderNames(const std::string& text, PathStyle style) {
  std::vector<std::string> names;
  std::string current;
  for (char c : text) {
    if (style.isDelimiter(c)) {
      if (!current.empty()) names.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) names.push_back(current);
  return names;
}

} // namespace

std::string Drive(const std::string& path, PathStyle style) {
  if (style.windows) {
    if (hasWindowsDriveLetter(path)) return path.substr(0, 2);
    if (path.size() >= 2 && style.isDelimiter(path[0]) && style.isDelimiter(path[1])) {
      // \\server\share: up to the delimiter after the share name.
      std::size_t server = path.find_first_of("\\/", 2);
      if (server == std::string::npos) return path;
      std::size_t share = path.find_first_of("\\/", server + 1);
      return share == std::string::npos ? path : path.substr(0, share);
    }
    return {};
  }
  if (!path.empty() && path[0] == '/') return "/";
  // A path written on Windows with a drive letter names a place that is not relative to anything.
  if (hasWindowsDriveLetter(path) && (path.size() == 2 || path[2] == '\\' || path[2] == '/'))
    return path.substr(0, 2);
  return {};
}

bool CarriesDrive(const std::string& path, PathStyle style) { return !Drive(path, style).empty(); }

std::string ExtractFilePath(const std::string& path, PathStyle style) {
  std::size_t end = lastFolderEnd(path, style);
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string ExtractFileName(const std::string& path, PathStyle style) {
  std::size_t end = lastFolderEnd(path, style);
  return end == std::string::npos ? path : path.substr(end + 1);
}

std::string ExtractFileExt(const std::string& path, PathStyle style) {
  std::string name = ExtractFileName(path, style);
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string LowerFileExt(const std::string& path, PathStyle style) {
  return LowerCase(ExtractFileExt(path, style));
}

std::string ChangeFileExt(const std::string& path, const std::string& newExt, PathStyle style) {
  std::string ext = ExtractFileExt(path, style);
  return path.substr(0, path.size() - ext.size()) + newExt;
}

std::string ReplaceAfterLastDelimiterOrDot(const std::string& path, const std::string& ext, PathStyle style) {
  for (std::size_t i = path.size(); i-- > 0;)
    if (path[i] == '.' || style.isDelimiter(path[i])) return path.substr(0, i + 1) + ext;
  return ext;
}

std::string IncludeTrailingDelimiter(const std::string& folder, PathStyle style) {
  if (!folder.empty() && style.isDelimiter(folder.back())) return folder;
  return folder + style.separator;
}

std::string ExcludeTrailingDelimiter(const std::string& folder, PathStyle style) {
  std::string drive = Drive(folder, style);
  if (folder.size() > drive.size() && style.isDelimiter(folder.back()) && folder != "/")
    return folder.substr(0, folder.size() - 1);
  return folder;
}

std::string ExpandFileName(const std::string& path, const std::string& base, PathStyle style) {
  std::string full = CarriesDrive(path, style) ? path : IncludeTrailingDelimiter(base, style) + path;
  std::string drive = Drive(full, style);
  // A Windows drive path seen from POSIX is kept as written: it names nothing here.
  if (!style.windows && drive.size() == 2) return full;
  std::vector<std::string> resolved;
  for (const std::string& name : folderNames(full.substr(drive.size()), style)) {
    if (name == ".") continue;
    if (name == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    resolved.push_back(name);
  }
  std::string out = drive;
  if (style.windows && !drive.empty()) out += style.separator;
  for (std::size_t i = 0; i < resolved.size(); ++i) {
    if (i > 0) out += style.separator;
    out += resolved[i];
  }
  if (!full.empty() && style.isDelimiter(full.back()) && !resolved.empty()) out += style.separator;
  return out;
}

std::string ExtractRelativePath(const std::string& base, const std::string& target, PathStyle style) {
  std::string baseDrive = Drive(base, style);
  std::string targetDrive = Drive(target, style);
  if (LowerCase(baseDrive) != LowerCase(targetDrive)) return target;
  std::vector<std::string> baseNames = folderNames(base.substr(baseDrive.size()), style);
  std::vector<std::string> targetNames =
      folderNames(ExtractFilePath(target, style).substr(targetDrive.size()), style);
  std::size_t shared = 0;
  while (shared < baseNames.size() && shared < targetNames.size() &&
         LowerCase(baseNames[shared]) == LowerCase(targetNames[shared]))
    ++shared;
  std::string out;
  for (std::size_t i = shared; i < baseNames.size(); ++i)
    out += std::string("..") + style.separator;
  for (std::size_t i = shared; i < targetNames.size(); ++i)
    out += targetNames[i] + style.separator;
  return out + ExtractFileName(target, style);
}

std::string FromStoredPath(const std::string& stored) {
  PathStyle native = PathStyle::Native();
  if (native.windows || hasWindowsDriveLetter(stored)) return stored;
  std::string out = stored;
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string LowerCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool SameFileName(const std::string& a, const std::string& b) {
  if (a == b) return true;
  const PathStyle windows = PathStyle::Windows();
  if (CarriesDrive(a, windows) && CarriesDrive(b, windows)) return LowerCase(a) == LowerCase(b);
  struct stat infoA {
  }, infoB{};
  return ::stat(a.c_str(), &infoA) == 0 && ::stat(b.c_str(), &infoB) == 0 && infoA.st_dev == infoB.st_dev &&
         infoA.st_ino == infoB.st_ino;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

} // namespace paths
