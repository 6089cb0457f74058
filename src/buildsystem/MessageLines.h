// The lines of a message list such as "Debug": an ordered list that is only appended to and
// whose last line is the one being filled. Views and the command-line build watch it. However
// much a tool prints, the list keeps at most kMostLinesKept lines: past that the oldest go, a
// hundredth at a time, and the first line says how many went. A tool's line longer than
// kLongestHeldLine (a tool printing without line ends) is completed early.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class MessageLines {
public:
  // The command-line build writes each line as it is completed and keeps none, so its memory
  // stays bounded whatever a tool prints.
  enum class Keep { AllLines, LastLineOnly };
  static constexpr std::size_t kLongestHeldLine = 1 << 20;
  static constexpr std::size_t kMostLinesKept = 100000;

  explicit MessageLines(Keep keep = Keep::AllLines) : keep_(keep) {}

  class Watcher {
  public:
    virtual ~Watcher() = default;
    virtual void LinesCleared() {}
    virtual void LineAdded() {}
    virtual void LastLineChanged() {}
    // Lines went from the front, and the first line now says how many went in all.
    virtual void OldestLinesDropped() {}
  };

  [[nodiscard]] const std::deque<std::string>& Lines() const { return lines_; }
  // How many lines went to keep the list within its limit.
  [[nodiscard]] std::size_t Dropped() const { return dropped_; }
  [[nodiscard]] bool Empty() const { return lines_.empty(); }
  [[nodiscard]] const std::string& Last() const { return lines_.back(); }

  void Clear() {
    lines_.clear();
    dropped_ = 0;
    for (Watcher* watcher : watchers_)
      watcher->LinesCleared();
  }
  // Watchers see the completed line as the one before the last.
  void Add(std::string line) {
    // An empty new line takes the buffer of a dropped one: a flood costs no allocation a line.
    if (line.empty() && !spare_.empty()) {
      line.swap(spare_.back());
      spare_.pop_back();
    } else if (line.empty() && keep_ == Keep::AllLines) {
      line.reserve(kSpareLine); // room for a message, so that the buffer serves again
    }
    lines_.push_back(std::move(line));
    for (Watcher* watcher : watchers_)
      watcher->LineAdded();
    if (keep_ == Keep::LastLineOnly)
      KeepLastOnly();
    else if (lines_.size() > kMostLinesKept)
      DropOldest();
  }
  void SetLast(std::string_view line) {
    lines_.back().assign(line);
    for (Watcher* watcher : watchers_)
      watcher->LastLineChanged();
  }

  // Watchers are not owned; one must be removed before it is destroyed.
  void AddWatcher(Watcher* watcher) { watchers_.push_back(watcher); }
  void RemoveWatcher(Watcher* watcher) { std::erase(watchers_, watcher); }

private:
  void KeepLastOnly() {
    // An empty new line takes the buffer of the completed one: a flood costs no allocation a line.
    if (lines_.size() >= 2 && lines_.back().empty()) {
      lines_.back().swap(lines_[lines_.size() - 2]);
      lines_.back().clear();
    }
    while (lines_.size() > 1)
      lines_.pop_front();
  }

  void DropOldest() {
    // The notice stays first; the oldest lines after it go.
    const std::size_t first = dropped_ > 0 ? 1 : 0;
    const std::size_t count = kMostLinesKept / 100;
    for (std::size_t i = first; i < first + count; ++i)
      if (lines_[i].capacity() <= kLongestSpareLine) {
        lines_[i].clear();
        spare_.push_back(std::move(lines_[i]));
      }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(first + count));
    dropped_ += count;
    const std::string notice = "[" + std::to_string(dropped_) + " earlier lines were not kept]";
    if (first == 0)
      lines_.push_front(notice);
    else
      lines_.front() = notice;
    for (Watcher* watcher : watchers_)
      watcher->OldestLinesDropped();
  }

  // The buffers of dropped lines no longer than kLongestSpareLine are kept for the lines that
  // follow; a new line has room for kSpareLine bytes.
  static constexpr std::size_t kSpareLine = 120;
  static constexpr std::size_t kLongestSpareLine = 512;

  Keep keep_;
  std::deque<std::string> lines_;
  std::vector<std::string> spare_; // empty, each with the buffer of a dropped line
  std::size_t dropped_ = 0;
  std::vector<Watcher*> watchers_;
};
