// The main window's title on a desktop: the program, then the workspace, marked while modified.
#pragma once

#include <string>

// "Tessarin – mymod.tsw", with "*" after the name while the workspace has unsaved changes;
// "Tessarin" alone while no workspace is open (no projects and no changes).
[[nodiscard]] std::string MainWindowTitle(const std::string& workspaceFileName, bool holdsProjects,
                                          bool modified);
