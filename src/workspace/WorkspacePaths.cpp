// Stored-path helpers shared by the model, the file formats and the tree.
#include "WorkspacePaths.h"

PathStyle StyleOfStoredPath(const std::string& path) {
  const bool windowsDrive = path.size() >= 2 && path[1] == ':' &&
                            ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
  return windowsDrive ? PathStyle::Windows() : PathStyle::Native();
}

std::string FileNameOf(const std::string& path) {
  return paths::ExtractFileName(path, StyleOfStoredPath(path));
}

bool IsCSource(const std::string& path) { return paths::LowerFileExt(path, StyleOfStoredPath(path)) == ".c"; }

bool IsCHeader(const std::string& path) { return paths::LowerFileExt(path, StyleOfStoredPath(path)) == ".h"; }
