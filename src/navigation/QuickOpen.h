// Quick Open's list: the workspace's files, filtered and ranked as the user types part of a name.
// A file matches when the typed characters appear in its shown path in order (any case); matches
// rank higher at the start of the file name, at word starts and for runs of characters together,
// and in the file name over its folder. Needs no language server.
#pragma once

#include "ProjectList.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct QuickOpenMatch {
  std::string path;           // the file
  std::string shown;          // its path in the workspace's folder, or whole when outside it
  std::vector<int> positions; // the byte indices of `shown` the typed characters matched, in order
  int score = 0;
  bool operator==(const QuickOpenMatch&) const = default;
};

class QuickOpen {
public:
  // Every file of every project once, shown in the folder of `workspaceFile`.
  QuickOpen(const ProjectList& workspace, const std::string& workspaceFile);
  // The files given, shown in `folder`.
  QuickOpen(std::vector<std::string> files, const std::string& folder);

  // The best `most` matches of `typed`, best first; equal scores by shorter, then smaller, shown
  // path. Nothing typed lists the files by shown path.
  [[nodiscard]] std::vector<QuickOpenMatch> Matches(std::string_view typed, std::size_t most) const;

  // Every file of the list.
  [[nodiscard]] std::vector<std::string> Paths() const;

  // How well `typed` matches `shown`, and where; none when it is no subsequence.
  [[nodiscard]] static std::optional<QuickOpenMatch> Match(std::string_view typed, const std::string& shown);

private:
  struct File {
    std::string path;
    std::string shown;
  };
  std::vector<File> files_;
};
