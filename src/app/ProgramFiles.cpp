#include "ProgramFiles.h"

#include "Paths.h"

namespace {

const char* const kInstalledEntry = "share/applications/tessarin.desktop";
const char* const kInstalledExample = "share/doc/tessarin/examples/mymod/mymod.tsw";
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

std::string ExampleWorkspace(const std::string& programPath, const FileTest& fileExists) {
  const std::string prefix = prefixOf(programPath);
  if (!prefix.empty() && fileExists(prefix + kInstalledExample)) return prefix + kInstalledExample;
  for (std::string folder = paths::ExtractFilePath(programPath); !folder.empty(); folder = parentOf(folder))
    if (fileExists(folder + kSourceExample)) return folder + kSourceExample;
  return {};
}
