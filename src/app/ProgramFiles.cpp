#include "ProgramFiles.h"

#include "Paths.h"
#include "UserQuestions.h"

#include <filesystem>

namespace {

const char* const kInstalledEntry = "share/applications/tessarin.desktop";
const char* const kInstalledExample = "share/tessarin/examples/mymod/mymod.tsw";
const char* const kSourceExample = "examples/mymod/mymod.tsw";

// The folder above `folder` (both with a trailing delimiter); empty above the root.
std::string parentOf(const std::string& folder) {
  if (folder.size() <= 1) return {};
  return paths::ExtractFilePath(paths::ExcludeTrailingDelimiter(folder));
}

std::string prefixOf(const std::string& programPath) { return parentOf(paths::ExtractFilePath(programPath)); }

} // namespace

bool RunsFromInstalledPrefix(const std::string& programPath, const FileTest& fileExists) {
  const std::string prefix = prefixOf(programPath);
  return !prefix.empty() && fileExists(prefix + kInstalledEntry);
}

std::string ExampleWorkspace(const std::string& programPath, const std::string& sourceTree,
                             const FileTest& fileExists) {
  const std::string prefix = prefixOf(programPath);
  if (!prefix.empty() && fileExists(prefix + kInstalledExample)) return prefix + kInstalledExample;
  for (std::string folder = paths::ExtractFilePath(programPath); !folder.empty(); folder = parentOf(folder))
    if (fileExists(folder + kSourceExample)) return folder + kSourceExample;
  if (sourceTree.empty()) return {};
  const std::string fromSource = paths::IncludeTrailingDelimiter(sourceTree) + kSourceExample;
  return fileExists(fromSource) ? fromSource : std::string();
}

std::string NoExampleReason(const std::string& programPath, const std::string& sourceTree) {
  const std::string prefix = prefixOf(programPath);
  std::string places = (prefix.empty() ? std::string("share/") : prefix + "share/") + "tessarin/examples/";
  if (!sourceTree.empty()) places += " or " + paths::IncludeTrailingDelimiter(sourceTree) + "examples/";
  return "No example workspace was found (looked in " + places +
         "): install Tessarin or build it from its "
         "source tree.";
}

std::string BuiltFromSourceTree() {
#ifdef TESSARIN_BUILT_FROM
  return TESSARIN_BUILT_FROM;
#else
  return {};
#endif
}

std::string UserCopyOfExample(const std::string& example, const std::string& dataHome) {
  namespace fs = std::filesystem;
  const fs::path source(example);
  const fs::path folder = fs::path(dataHome) / "Tessarin" / "examples" / source.parent_path().filename();
  const fs::path copy = folder / source.filename();
  std::error_code failed;
  if (fs::exists(copy, failed)) return copy.string();
  fs::create_directories(folder, failed);
  if (!failed)
    fs::copy(source.parent_path(), folder, fs::copy_options::recursive | fs::copy_options::skip_existing,
             failed);
  if (failed || !fs::exists(copy))
    throw TessarinError("Cannot copy the example workspace to " + folder.string() +
                        (failed ? " (" + failed.message() + ")" : std::string()));
  // Installed files are read-only; the user's copy is theirs to change.
  for (const auto& entry : fs::recursive_directory_iterator(folder, failed))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, failed);
  return copy.string();
}
