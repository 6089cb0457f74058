// clangd for one workspace: the workspace's compilation database kept in the user's cache folder
// (never beside the sources), and the server started on it.
#pragma once

#include "ClangdNavigator.h"
#include "ProjectList.h"
#include "Settings.h"

#include <string>

class ClangdWorkspace {
public:
  // Writes the database and starts the server. `program` is clangd's path or name on PATH.
  ClangdWorkspace(const std::string& workspaceFile, const ProjectList& workspace, const Settings& settings,
                  const std::string& program);

  [[nodiscard]] ClangdNavigator& Navigator() { return navigator_; }
  [[nodiscard]] const std::string& DatabaseFolder() const { return folder_; }

  // Projects or settings changed: the database is written again when its text changes, and
  // clangd reads it again when it next needs a file's command. An error text, empty when written.
  std::string Update(const ProjectList& workspace, const Settings& settings);

private:
  std::string folder_;
  ClangdNavigator navigator_;
};

// clangd on PATH: "clangd", else the newest "clangd-N"; "clangd" when there is none, so the
// message says what to install.
[[nodiscard]] std::string ClangdProgram();

// $XDG_CACHE_HOME/Tessarin/clangd/<workspace name>-<hash of its path>, ~/.cache when the
// variable is unset; clangd's index of the workspace goes there too.
[[nodiscard]] std::string CompilationDatabaseFolder(const std::string& workspaceFile);

// The server's options for the workspace: its database folder, and the flags of a file that is
// in no project.
[[nodiscard]] LanguageServer::Options ClangdOptions(const std::string& program,
                                                    const std::string& databaseFolder,
                                                    const std::string& workspaceFile,
                                                    const ProjectList& workspace, const Settings& settings);
