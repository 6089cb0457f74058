// A rename across the workspace without widgets: the server's edits become each file's
// replacement (previewed and made as Replace in Files makes them), and the uses of the old name
// the server left alone (inactive #ifdef branches, comments, files it does not know) are listed
// apart for the user to judge.
#pragma once

#include "FindInFilesSearch.h"
#include "Navigator.h"
#include "ReplaceInFiles.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct RenamePlan {
  std::vector<FileReplacement> files;
  std::vector<FileHits> textMatches; // whole words of the old name that no edit covers
  std::string problem;               // why nothing is renamed; empty when the plan holds
};

// A file's text as the rename finds it: an open window's lines joined by LF, else the bytes on
// disk; none when it cannot be read.
struct RenameText {
  std::string text;
  bool inWindow = false;
};
using RenameTextOf = std::function<std::optional<RenameText>(const std::string& path)>;

// Every edit must replace the old name where the text holds it, within one line: an edit that
// does not (the file changed since the server read it, a place past a line's end) makes a
// problem, and then nothing is renamed anywhere. `searched` are the files the text matches are
// looked for in, besides those the edits change.
[[nodiscard]] RenamePlan PlanRename(const std::string& oldName, const std::vector<FileEdits>& edits,
                                    const std::vector<std::string>& searched, const RenameTextOf& textOf);

// The first file whose text is no longer the one planned (changed on disk or in its window,
// or closed), as the message to show; empty when every file is as planned.
[[nodiscard]] std::string RenameConflict(const std::vector<FileReplacement>& files,
                                         const RenameTextOf& textOf);
