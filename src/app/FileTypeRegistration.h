// Registers the workspace file type with the desktop at every start: the shared-mime-info
// package for "*.tsw" and the .desktop entry that the installed program ships, the entry opening
// such a file with the running program.
#pragma once

#include "ProgramFiles.h"

#include <functional>
#include <string>
#include <vector>

// The environment variable whose value "0" turns the per-user registration off.
inline constexpr const char* kRegistrationVariable = "TESSARIN_REGISTER_DESKTOP";

// Whether this start writes the per-user registration: not for a program installed under a
// prefix, whose own entry opens workspaces already (a per-user one would shadow it and outlive the
// package), and not when `request` (the variable's value, null when unset) is "0".
[[nodiscard]] bool WritesUserRegistration(const std::string& programPath, const char* request,
                                          const FileTest& fileExists);

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
