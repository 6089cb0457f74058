// The lines of a message list such as "Debug": an ordered list that is only appended to and
// whose last line is the one being filled. Views and the command-line build watch it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class MessageLines {
public:
  // The command-line build writes each line as it is completed and keeps none, so its memory
  // stays bounded whatever a tool prints; a line longer than kLongestHeldLine is then completed
  // early.
  enum class Keep { AllLines, LastLineOnly };
  static constexpr std::size_t kLongestHeldLine = 1 << 20;

  explicit MessageLines(Keep keep = Keep::AllLines) : keep_(keep) {}

  class Watcher {
  public:
    virtual ~Watcher() = default;
    virtual void LinesCleared() {}
    virtual void LineAdded() {}
    virtual void LastLineChanged() {}
  };

  [[nodiscard]] const std::vector<std::string>& Lines() const { return lines_; }
  [[nodiscard]] bool Empty() const { return lines_.empty(); }
  [[nodiscard]] const std::string& Last() const { return lines_.back(); }

  void Clear() {
    lines_.clear();
    for (Watcher* watcher : watchers_)
      watcher->LinesCleared();
  }
  // Watchers see the completed line as the one before the last.
  void Add(std::string line) {
    lines_.push_back(std::move(line));
    for (Watcher* watcher : watchers_)
      watcher->LineAdded();
    if (keep_ == Keep::LastLineOnly) lines_.erase(lines_.begin(), lines_.end() - 1);
  }
  void AppendToLast(const std::string& text) {
    lines_.back() += text;
    for (Watcher* watcher : watchers_)
      watcher->LastLineChanged();
    if (keep_ == Keep::LastLineOnly && lines_.back().size() >= kLongestHeldLine) Add(std::string());
  }
  void SetLast(std::string line) {
    lines_.back() = std::move(line);
    for (Watcher* watcher : watchers_)
      watcher->LastLineChanged();
  }

  // Watchers are not owned; one must be removed before it is destroyed.
  void AddWatcher(Watcher* watcher) { watchers_.push_back(watcher); }
  void RemoveWatcher(Watcher* watcher) { std::erase(watchers_, watcher); }

private:
  Keep keep_;
  std::vector<std::string> lines_;
  std::vector<Watcher*> watchers_;
};
