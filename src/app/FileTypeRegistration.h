// Registers the workspace file type with the desktop at every start: the shared-mime-info
// package for "*.tsw" and the .desktop entry that the installed program ships, the entry opening
// such a file with the running program.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Starts a helper program (without waiting for it); the tests record the calls instead.
using ToolStarter =
    std::function<void(const std::string& program, const std::vector<std::string>& arguments)>;

// $XDG_DATA_HOME, else ~/.local/share.
[[nodiscard]] std::string DesktopDataHome();

// The Exec line's value: the program path quoted by the desktop-entry rules, then %f.
[[nodiscard]] std::string DesktopExecLine(const std::string& programPath);

// Writes both files under `dataHome` (replacing what was there) and then lets
// update-mime-database and update-desktop-database refresh their caches when they are on the
// search path. Returns an error text, empty on success; on failure the files written before stay.
std::string RegisterFileType(const std::string& programPath, const std::string& dataHome,
                             const ToolStarter& startTool);

// Starts the program detached, so start-up does not wait for the caches.
void StartDetached(const std::string& program, const std::vector<std::string>& arguments);
