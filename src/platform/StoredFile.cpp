#include "StoredFile.h"

#include "AtomicFile.h"
#include "LineEnds.h"
#include "Paths.h"
#include "UserQuestions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace stored_file {

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ForEachLine(bytes, [&lines](std::string_view line, LineEnd) { lines.emplace_back(line); });
  return lines;
}

std::string ReadStoredBytes(const std::string& path) {
  std::error_code failed;
  std::string bytes, error;
  // ReadFileIfPresent takes a missing file for an empty one; here it is an error.
  if (!std::filesystem::is_regular_file(path, failed) || !ReadFileIfPresent(path, bytes, error))
    throw TessarinError("Cannot open file " + path);
  return bytes;
}

std::vector<std::string> ReadStoredLines(const std::string& path) {
  return SplitLines(ReadStoredBytes(path));
}

std::string BackupName(const std::string& fileName) {
  return paths::ReplaceAfterLastDelimiterOrDot(fileName, "~") + paths::ExtractFileExt(fileName);
}

std::string MakeBackup(const std::string& fileName) {
  const std::string backup = BackupName(fileName);
  const std::string backupName = paths::ExtractFileName(backup);
  const std::string folder = paths::ExtractFilePath(backup);
  const long longestName = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  if (longestName > 0 && backupName.size() > static_cast<std::size_t>(longestName))
    return "its name, " + backupName + ", would be longer than the " + std::to_string(longestName) +
           " bytes a file name can have there; give the file a shorter name, or turn the backups off in "
           "Preferences";
  struct stat original {};
  std::error_code failed;
  if (std::filesystem::exists(backup, failed) || ::stat(fileName.c_str(), &original) != 0) return {};
  std::string bytes, error;
  if (!ReadFileIfPresent(fileName, bytes, error)) return error;
  error = WriteFileAtomically(backup, bytes, false);
  if (error.empty()) ::chmod(backup.c_str(), original.st_mode & 07777);
  return error;
}

std::string Save(const std::string& path, const std::string& bytes, bool backup) {
  if (backup) {
    const std::string error = MakeBackup(path);
    if (!error.empty())
      return "The backup copy could not be made, so " + path + " was not saved (" + error + ").";
  }
  return WriteFileAtomically(path, bytes, false);
}

} // namespace stored_file
