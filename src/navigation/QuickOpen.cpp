// The best alignment of the typed characters in a path is found by dynamic programming over
// (typed character, path byte): paths are short, so every keystroke can look at every file.
#include "QuickOpen.h"

#include "Paths.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <set>

namespace {

constexpr int kNone = std::numeric_limits<int>::min() / 2;
constexpr int kMatch = 16;
constexpr int kNameStart = 32;
constexpr int kWordStart = 24;
constexpr int kInName = 8;
constexpr int kSameCase = 2;
constexpr int kTogether = 12;
constexpr int kGap = 1;

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool WordStart(const std::string& text, std::size_t at) {
  if (at == 0) return true;
  const char before = text[at - 1], here = text[at];
  if (before == '/' || before == '_' || before == '-' || before == '.' || before == ' ') return true;
  return std::islower(static_cast<unsigned char>(before)) && std::isupper(static_cast<unsigned char>(here));
}

} // namespace

QuickOpen::QuickOpen(std::vector<std::string> files, const std::string& folder) {
  std::set<std::string> seen;
  const std::string base = paths::IncludeTrailingDelimiter(folder);
  for (std::string& file : files) {
    if (!seen.insert(file).second) continue;
    std::string shown = file.rfind(base, 0) == 0 ? file.substr(base.size()) : file;
    files_.push_back({std::move(file), std::move(shown)});
  }
  std::sort(files_.begin(), files_.end(), [](const File& a, const File& b) { return a.shown < b.shown; });
}

QuickOpen::QuickOpen(const ProjectList& workspace, const std::string& workspaceFile)
    : QuickOpen(
          [&] {
            std::vector<std::string> files;
            for (int i = 0; i < workspace.Count(); ++i)
              for (const ProjectFile& file : workspace.Items(i).Files)
                files.push_back(paths::ExpandFileName(file.Path, "/"));
            return files;
          }(),
          paths::ExtractFilePath(workspaceFile)) {}

std::optional<QuickOpenMatch> QuickOpen::Match(std::string_view typed, const std::string& shown) {
  const std::size_t n = typed.size(), m = shown.size();
  if (n == 0) return QuickOpenMatch{{}, shown, {}, 0};
  if (n > m) return std::nullopt;
  const std::size_t nameStart = shown.find_last_of('/') + 1; // 0 when there is no folder
  // score[i * m + j]: the best score of typed[0..i] with typed[i] at shown[j]; from[]: where
  // typed[i - 1] was then.
  std::vector<int> score(n * m, kNone), from(n * m, -1);
  for (std::size_t i = 0; i < n; ++i) {
    int carried = kNone, carriedFrom = -1; // the best earlier place, less a point per byte skipped
    for (std::size_t j = i; j < m; ++j) {
      if (i > 0 && j >= 2 && score[(i - 1) * m + j - 2] - kGap > carried - kGap) {
        carried = score[(i - 1) * m + j - 2] - kGap;
        carriedFrom = static_cast<int>(j - 2);
      } else {
        carried -= kGap;
      }
      if (Lower(typed[i]) != Lower(shown[j])) continue;
      int value = kMatch +
                  (j == nameStart        ? kNameStart
                   : WordStart(shown, j) ? kWordStart
                                         : 0) +
                  (j >= nameStart ? kInName : 0) + (typed[i] == shown[j] ? kSameCase : 0);
      if (i == 0) {
        score[j] = value;
        continue;
      }
      const int together = j >= 1 ? score[(i - 1) * m + j - 1] : kNone;
      const bool adjacent = together != kNone && together + kTogether >= carried;
      const int before = adjacent ? together + kTogether : carried;
      if (before <= kNone) continue;
      score[i * m + j] = value + before;
      from[i * m + j] = adjacent ? static_cast<int>(j - 1) : carriedFrom;
    }
  }
  const auto last = score.begin() + static_cast<std::ptrdiff_t>((n - 1) * m);
  const auto best = std::max_element(last, score.end());
  if (*best <= kNone) return std::nullopt;
  QuickOpenMatch match{{}, shown, std::vector<int>(n), *best};
  int j = static_cast<int>(best - last);
  for (std::size_t i = n; i-- > 0;) {
    match.positions[i] = j;
    j = from[i * m + static_cast<std::size_t>(j)];
  }
  return match;
}

std::vector<QuickOpenMatch> QuickOpen::Matches(std::string_view typed, std::size_t most) const {
  std::vector<QuickOpenMatch> matches;
  if (typed.empty()) {
    for (std::size_t i = 0; i < files_.size() && i < most; ++i)
      matches.push_back({files_[i].path, files_[i].shown, {}, 0});
    return matches;
  }
  for (const File& file : files_)
    if (std::optional<QuickOpenMatch> match = Match(typed, file.shown)) {
      match->path = file.path;
      matches.push_back(std::move(*match));
    }
  const auto better = [](const QuickOpenMatch& a, const QuickOpenMatch& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.shown.size() != b.shown.size()) return a.shown.size() < b.shown.size();
    return a.shown < b.shown;
  };
  const std::size_t kept = std::min(most, matches.size());
  std::partial_sort(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(kept), matches.end(),
                    better);
  matches.resize(kept);
  return matches;
}

std::vector<std::string> QuickOpen::Paths() const {
  std::vector<std::string> paths;
  for (const File& file : files_)
    paths.push_back(file.path);
  return paths;
}
