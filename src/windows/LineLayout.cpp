#include "LineLayout.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace {

// Past this many inserted and deleted lines between two saves, lines of a file with mixed line
// ends are matched by their place alone.
constexpr int kMostEditsMatched = 1024;

using Fingerprints = std::vector<std::uint64_t>;
// (old line, new line) pairs of lines that stayed, in order.
using KeptLines = std::vector<std::pair<int, int>>;

std::uint64_t Fingerprint(std::string_view line) { return std::hash<std::string_view>()(line); }

Fingerprints FingerprintsOf(const std::vector<std::string>& lines) {
  Fingerprints prints;
  prints.reserve(lines.size());
  for (const std::string& line : lines)
    prints.push_back(Fingerprint(line));
  return prints;
}

std::string_view Bytes(LineEnd end) {
  switch (end) {
  case LineEnd::LF: return "\n";
  case LineEnd::CRLF: return "\r\n";
  case LineEnd::CR: return "\r";
  case LineEnd::None: break;
  }
  return {};
}

// The lines a shortest edit script from `before` to `after` keeps (the greedy forward search of
// the O(ND) difference algorithm, walked back); nothing when it takes more than kMostEditsMatched edits.
std::optional<KeptLines> LinesKept(const std::uint64_t* before, int beforeCount, const std::uint64_t* after,
                                   int afterCount) {
  const int most = std::min(beforeCount + afterCount, kMostEditsMatched);
  const int offset = most + 1;
  std::vector<int> furthest(static_cast<std::size_t>(2 * most + 3), 0);
  std::vector<std::vector<int>> rounds; // `furthest` as each round found it
  const auto stepsDown = [&](const std::vector<int>& v, int d, int k) {
    return k == -d || (k != d && v[static_cast<std::size_t>(offset + k - 1)] <
                                     v[static_cast<std::size_t>(offset + k + 1)]);
  };
  for (int d = 0; d <= most; ++d) {
    rounds.push_back(furthest);
    for (int k = -d; k <= d; k += 2) {
      int x = stepsDown(furthest, d, k) ? furthest[static_cast<std::size_t>(offset + k + 1)]
                                        : furthest[static_cast<std::size_t>(offset + k - 1)] + 1;
      int y = x - k;
      while (x < beforeCount && y < afterCount && before[x] == after[y])
        ++x, ++y;
      furthest[static_cast<std::size_t>(offset + k)] = x;
      if (x < beforeCount || y < afterCount) continue;
      KeptLines kept;
      for (int round = d; round >= 0; --round) {
        const std::vector<int>& v = rounds[static_cast<std::size_t>(round)];
        const int diagonal = x - y;
        const int from = round == 0 ? 0 : (stepsDown(v, round, diagonal) ? diagonal + 1 : diagonal - 1);
        const int fromX = round == 0 ? 0 : v[static_cast<std::size_t>(offset + from)];
        const int fromY = fromX - from;
        while (x > fromX && y > fromY)
          kept.emplace_back(--x, --y);
        x = fromX;
        y = fromY;
      }
      std::reverse(kept.begin(), kept.end());
      return kept;
    }
  }
  return std::nullopt;
}

} // namespace

LineLayout LineLayout::Read(std::string_view bytes, std::vector<std::string>& lines, LineEnd fallback) {
  lines.clear();
  return Scan(bytes, fallback, [&lines](std::string_view line) { lines.emplace_back(line); });
}

template <typename Take> LineLayout LineLayout::Scan(std::string_view bytes, LineEnd fallback, Take take) {
  std::vector<LineEnd> ends;
  ForEachLine(bytes, [&](std::string_view line, LineEnd end) {
    take(line);
    ends.push_back(end);
  });

  std::array<std::size_t, 4> counts{};
  for (const LineEnd end : ends)
    ++counts[static_cast<std::size_t>(end)];
  LineLayout layout(fallback);
  if (counts[static_cast<std::size_t>(LineEnd::LF)] > 0) layout.usual_ = LineEnd::LF;
  layout.endsWithLineEnd_ = ends.empty() || ends.back() != LineEnd::None;
  for (const LineEnd end : {LineEnd::CRLF, LineEnd::CR})
    if (counts[static_cast<std::size_t>(end)] > counts[static_cast<std::size_t>(layout.usual_)])
      layout.usual_ = end;
  layout.lineCount_ = ends.size();
  const std::size_t ending = ends.size() - counts[static_cast<std::size_t>(LineEnd::None)];
  if (counts[static_cast<std::size_t>(layout.usual_)] != ending) {
    // Mixed line ends: the lines' fingerprints find them again after edits.
    layout.ends_ = std::move(ends);
    ForEachLine(bytes, [&layout](std::string_view line, LineEnd) {
      layout.fingerprints_.push_back(Fingerprint(line));
    });
  }
  return layout;
}

std::vector<LineEnd> LineLayout::EndsFor(const std::vector<std::string>& lines) const {
  std::vector<LineEnd> ends(lines.size(), usual_);
  if (!ends_.empty()) {
    const Fingerprints now = FingerprintsOf(lines);
    const int before = static_cast<int>(fingerprints_.size());
    const int after = static_cast<int>(now.size());
    int same = 0; // lines equal at the start
    while (same < before && same < after &&
           fingerprints_[static_cast<std::size_t>(same)] == now[static_cast<std::size_t>(same)])
      ++same;
    int sameAtEnd = 0;
    while (sameAtEnd < before - same && sameAtEnd < after - same &&
           fingerprints_[static_cast<std::size_t>(before - 1 - sameAtEnd)] ==
               now[static_cast<std::size_t>(after - 1 - sameAtEnd)])
      ++sameAtEnd;
    KeptLines kept;
    for (int i = 0; i < same; ++i)
      kept.emplace_back(i, i);
    if (const std::optional<KeptLines> middle =
            LinesKept(fingerprints_.data() + same, before - same - sameAtEnd, now.data() + same,
                      after - same - sameAtEnd))
      for (const auto& [oldLine, newLine] : *middle)
        kept.emplace_back(oldLine + same, newLine + same);
    for (int i = sameAtEnd; i > 0; --i)
      kept.emplace_back(before - i, after - i);
    kept.emplace_back(before, after); // the end of both texts closes the last gap

    // A changed or new line takes the end of the old line in its place in the gap, if any.
    int oldLine = 0;
    int newLine = 0;
    for (const auto& [keptOld, keptNew] : kept) {
      for (; newLine < keptNew; ++newLine, ++oldLine)
        if (oldLine < keptOld)
          ends[static_cast<std::size_t>(newLine)] = ends_[static_cast<std::size_t>(oldLine)];
      if (keptNew < after) ends[static_cast<std::size_t>(keptNew)] = ends_[static_cast<std::size_t>(keptOld)];
      oldLine = keptOld + 1;
      newLine = keptNew + 1;
    }
  }
  // Only the last line goes without a line end, and only when the file's did.
  for (LineEnd& end : ends)
    if (end == LineEnd::None) end = usual_;
  if (!ends.empty() && !endsWithLineEnd_) ends.back() = LineEnd::None;
  return ends;
}

std::string LineLayout::Write(const std::vector<std::string>& lines) const {
  // A file that held nothing and still shows one empty line holds nothing still.
  if (lineCount_ == 0 && lines.size() == 1 && lines.front().empty()) return {};
  const std::vector<LineEnd> ends = EndsFor(lines);
  std::size_t size = 0;
  for (const std::string& line : lines)
    size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bytes += lines[i];
    bytes += Bytes(ends[i]);
  }
  return bytes;
}

void LineLayout::Written(std::string_view bytes) {
  *this = Scan(bytes, usual_, [](std::string_view) {});
}
