// The lines of a message list such as "Debug": an ordered list that is only appended to and
// whose last line is the one being filled. Views and the command-line build watch it.
#pragma once

#include <string>
#include <vector>

class MessageLines {
public:
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
  void Add(std::string line) {
    lines_.push_back(std::move(line));
    for (Watcher* watcher : watchers_)
      watcher->LineAdded();
  }
  void AppendToLast(const std::string& text) {
    lines_.back() += text;
    for (Watcher* watcher : watchers_)
      watcher->LastLineChanged();
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
  std::vector<std::string> lines_;
  std::vector<Watcher*> watchers_;
};
