#include "MainWindowTitle.h"

#include "Paths.h"

std::string MainWindowTitle(const std::string& workspaceFileName, bool holdsProjects, bool modified) {
  if (!holdsProjects && !modified) return "Tessarin";
  const std::string name = paths::ExtractFileName(workspaceFileName);
  return "Tessarin \u2013 " + (name.empty() ? std::string("untitled.tsw") : name) + (modified ? "*" : "");
}
