// Reading and writing the workspace (.tsw, and .dsw for import) and project (.tsp, .dsp) files.
// Both writers end every line with CR LF and nothing else; the readers take any line end, stop
// at a NUL byte and skip every line that is not a project or source line, which is what lets
// them read the other tool's files too.
#include "ProjectList.h"

#include "AtomicFile.h"
#include "UserQuestions.h"
#include "WorkspacePaths.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace {

constexpr std::string_view kProjectPrefix = "Project: \"";
constexpr std::string_view kNameEnd = "\"=";
constexpr std::string_view kPackageSuffix = " - Package Owner=<4>";
constexpr std::string_view kSourcePrefix = "SOURCE=";
constexpr std::string_view kLineEnd = "\r\n";

// Paths in messages are cut short when they cannot name a real file, so a hostile file does
// not turn into a message box of megabytes.
std::string shownPath(const std::string& path) {
  constexpr std::size_t kKeep = 512;
  if (path.size() <= 2 * kKeep) return path;
  return path.substr(0, kKeep) + "..." + path.substr(path.size() - kKeep);
}

std::string readText(const std::string& path) {
  std::string content, error;
  // Only regular files: a folder, a device or a pipe named by a hostile file is no project.
  std::error_code failed;
  if (!std::filesystem::is_regular_file(path, failed) || !readFileIfPresent(path, content, error))
    throw TessarinError("Cannot open file " + shownPath(path));
  content.resize(std::min(content.size(), content.find('\0')));
  return content;
}

void writeText(const std::string& path, const std::string& content) {
  // A drive letter kept from a file written on Windows names no place here; writing it would
  // create an oddly named file in the current folder.
  const bool foreignDrive = StyleOfStoredPath(path).windows && !PathStyle::Native().windows;
  if (foreignDrive || !writeFileAtomically(path, content, false).empty())
    throw TessarinError("Cannot create file " + shownPath(path));
}

// Calls `handle` for every line of `text`; CR LF, LF and CR each end a line.
template <typename Handler> void forEachLine(std::string_view text, Handler&& handle) {
  while (!text.empty()) {
    const auto end = std::find_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
    const std::size_t length = static_cast<std::size_t>(end - text.begin());
    handle(text.substr(0, length));
    if (end == text.end()) return;
    text.remove_prefix(text.compare(length, 2, kLineEnd) == 0 ? length + 2 : length + 1);
  }
}

// A path made absolute against the current folder and normalised.
std::string absolutePath(const std::string& path) {
  std::error_code failed;
  const std::string current = std::filesystem::current_path(failed).string();
  return paths::ExpandFileName(path, current);
}

std::string folderOf(const std::string& file) {
  const std::string full = absolutePath(file);
  return paths::ExtractFilePath(full, StyleOfStoredPath(full));
}

// A path as stored in a file, read in either style: kept when it carries a drive, otherwise
// taken relative to `folder`.
std::string resolveStoredPath(std::string_view stored, const std::string& folder) {
  const std::string path = paths::FromStoredPath(std::string(stored));
  return paths::CarriesDrive(path) ? path : paths::ExpandFileName(path, folder);
}

// `target` relative to `folder` as the files keep it: with backslashes, or whole when it is on
// another drive.
std::string storedRelativePath(const std::string& folder, const std::string& target) {
  std::string relative = paths::ExtractRelativePath(folder, absolutePath(target));
  if (paths::CarriesDrive(relative)) return relative;
  const char separator = PathStyle::Native().separator;
  for (char& c : relative)
    if (c == separator) c = '\\';
  return relative;
}

} // namespace

void Project::LoadProjectFile() {
  const std::string text = readText(FileName);
  const std::string folder = folderOf(FileName);
  forEachLine(text, [&](std::string_view line) {
    if (line.starts_with(kSourcePrefix))
      Files.push_back({resolveStoredPath(line.substr(kSourcePrefix.size()), folder)});
  });
  SortFiles();
}

void Project::SaveProjectFile() const {
  const std::string folder = folderOf(FileName);
  std::string content;
  for (const ProjectFile& file : Files) {
    content += kSourcePrefix;
    content += storedRelativePath(folder, file.Path);
    content += kLineEnd;
  }
  writeText(FileName, content);
}

void ProjectList::LoadFromFile(const std::string& path) {
  Clear();
  const std::string text = readText(path);
  const std::string folder = folderOf(path);
  forEachLine(text, [&](std::string_view line) {
    if (!line.starts_with(kProjectPrefix)) return;
    line.remove_prefix(kProjectPrefix.size());
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos) return;
    Project& project = AddProject();
    project.Name = std::string(line.substr(0, quote));
    if (ActiveProject == nullptr) ActiveProject = &project;
    line.remove_prefix(std::min(line.size(), quote + kNameEnd.size()));
    // Without the suffix there is no path text at all.
    const std::size_t suffix = line.find(kPackageSuffix);
    const std::string_view pathText = suffix == std::string_view::npos ? "" : line.substr(0, suffix);
    project.FileName = resolveStoredPath(pathText, folder);
    project.LoadProjectFile();
    project.FileName =
        paths::ReplaceAfterLastDelimiterOrDot(project.FileName, "tsp", StyleOfStoredPath(project.FileName));
  });
  Modified = false;
}

void ProjectList::SaveToFile(const std::string& path) {
  const std::string folder = folderOf(path);
  std::string content;
  for (const auto& project : Projects) {
    content += kProjectPrefix;
    content += project->Name;
    content += kNameEnd;
    content += storedRelativePath(folder, project->FileName);
    content += kPackageSuffix;
    content += kLineEnd;
    project->SaveProjectFile();
  }
  writeText(path, content);
  // Only a complete save counts: after a failure the workspace still offers to be saved.
  Modified = false;
}

std::string LongPathName(const std::string& path) { return paths::LongPathName(path); }
