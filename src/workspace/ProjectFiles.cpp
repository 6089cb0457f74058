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

// The longest module name a file name holds with the backup's ".~qvm" after it.
constexpr std::size_t kLongestProjectName = 255 - 5;
// The longest path the system opens.
constexpr std::size_t kLongestPath = 4096;

// Names and paths in messages are cut short, so a hostile file does not turn into a message box
// of megabytes.
std::string shown(const std::string& text) {
  constexpr std::size_t kKeep = 60;
  if (text.size() <= 2 * kKeep) return text;
  return text.substr(0, kKeep) + "..." + text.substr(text.size() - kKeep);
}
std::string shownPath(const std::string& path) { return shown(path); }

// What in `text` would end a line of a workspace or project file, or empty.
std::string lineBreakIn(std::string_view text) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return "a line break";
  if (text.find('\0') != std::string_view::npos) return "a NUL character";
  return {};
}

std::string readText(const std::string& path) {
  std::string content, error;
  // Only regular files: a folder, a device or a pipe named by a hostile file is no project.
  std::error_code failed;
  if (!std::filesystem::is_regular_file(path, failed) || !ReadFileIfPresent(path, content, error))
    throw TessarinError("Cannot open file " + shownPath(path));
  content.resize(std::min(content.size(), content.find('\0')));
  return content;
}

void writeText(const std::string& path, const std::string& content) {
  // A drive letter kept from a file written on Windows names no place here; writing it would
  // create an oddly named file in the current folder.
  const bool foreignDrive = StyleOfStoredPath(path).windows && !PathStyle::Native().windows;
  if (foreignDrive || !WriteFileAtomically(path, content, false).empty())
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

std::string ProjectNameProblem(const std::string& name) {
  if (name.find('"') != std::string::npos)
    return "The project name '" + shown(name) +
           "' holds a double quote, which a workspace file cannot store.";
  if (const std::string what = lineBreakIn(name); !what.empty())
    return "The project name holds " + what + ", which a workspace file cannot store.";
  if (name.size() > kLongestProjectName)
    return "The project name '" + shown(name) + "' is too long: its module " + shown(name) +
           ".qvm needs a file name of at most " + std::to_string(kLongestProjectName + 4) + " bytes.";
  return {};
}

std::string StoredPathProblem(const std::string& path) {
  if (const std::string what = lineBreakIn(path); !what.empty())
    return "The path '" + shown(path) + "' holds " + what + ", which a workspace file cannot store.";
  // The files keep `\` as their separator, so a backslash in a name here would come back as a slash
  // (a path on a Windows drive is kept whole).
  if (!StyleOfStoredPath(path).windows && path.find('\\') != std::string::npos)
    return "The path '" + shown(path) + "' holds a backslash, which a workspace file cannot store.";
  if (path.find(kPackageSuffix) != std::string::npos)
    return "The path '" + shown(path) + "' holds \"" + std::string(kPackageSuffix) +
           "\", which a workspace file cannot store.";
  if (path.size() > kLongestPath)
    return "The path '" + shown(path) + "' is longer than any file's path can be.";
  return {};
}

namespace {

// Raises the error of line `number` of `file`, saying what is wrong with it.
[[noreturn]] void unreadableLine(const std::string& file, int number, const std::string& what) {
  throw TessarinError(shownPath(file) + ", line " + std::to_string(number) + ": " + what);
}

} // namespace

void Project::LoadProjectFile() {
  const std::string text = readText(FileName);
  const std::string folder = folderOf(FileName);
  int number = 0;
  forEachLine(text, [&](std::string_view line) {
    ++number;
    if (!line.starts_with(kSourcePrefix)) return;
    line.remove_prefix(kSourcePrefix.size());
    if (line.size() > kLongestPath)
      unreadableLine(FileName, number, "the source path is too long to name a file.");
    Files.push_back({resolveStoredPath(line, folder)});
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
  int number = 0;
  forEachLine(text, [&](std::string_view line) {
    ++number;
    if (!line.starts_with(kProjectPrefix)) return;
    line.remove_prefix(kProjectPrefix.size());
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos || line.compare(quote, kNameEnd.size(), kNameEnd) != 0)
      unreadableLine(path, number, "the project's name does not end in \"=, so the line cannot be read.");
    if (quote > kLongestProjectName) unreadableLine(path, number, "the project's name is too long.");
    Project& project = AddProject();
    project.Name = std::string(line.substr(0, quote));
    if (ActiveProject == nullptr) ActiveProject = &project;
    line.remove_prefix(quote + kNameEnd.size());
    // Without the suffix there is no path text at all.
    const std::size_t suffix = line.find(kPackageSuffix);
    const std::string_view pathText = suffix == std::string_view::npos ? "" : line.substr(0, suffix);
    if (pathText.size() > kLongestPath)
      unreadableLine(path, number, "the project's path is too long to name a file.");
    project.FileName = resolveStoredPath(pathText, folder);
    project.LoadProjectFile();
    project.FileName =
        paths::ReplaceAfterLastDelimiterOrDot(project.FileName, "tsp", StyleOfStoredPath(project.FileName));
  });
  Modified = false;
  // An empty workspace is written as an empty file; anything else without a project is no workspace.
  if (Count() == 0 && text.find_first_not_of(" \t\r\n") != std::string::npos)
    throw TessarinError(shownPath(path) + " holds no projects: it is not a workspace file.");
}

void ProjectList::SaveToFile(const std::string& path) {
  // Nothing is written when any of it cannot be read back.
  for (const auto& project : Projects) {
    std::string problem = ProjectNameProblem(project->Name);
    if (problem.empty()) problem = StoredPathProblem(project->FileName);
    for (const ProjectFile& file : project->Files)
      if (problem.empty()) problem = StoredPathProblem(file.Path);
    if (!problem.empty()) throw TessarinError("The workspace was not saved. " + problem);
  }
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
