// Marks, bookmark slots and the line bookkeeping that keeps marks beside their text.
#include "MarkList.h"

#include <algorithm>

void Mark::RepaintLine(int line) const {
  if (owner_) owner_->LineChanged(line);
}

void Mark::SetLine(int line) {
  const int old = line_;
  line_ = line;
  if (!visible_) return;
  if (old > 0) RepaintLine(old);
  RepaintLine(line);
}

void Mark::SetImageIndex(int imageIndex) {
  imageIndex_ = imageIndex;
  RepaintLine(line_);
}

void Mark::SetInternalImage(bool internalImage) {
  internalImage_ = internalImage;
  RepaintLine(line_);
}

void Mark::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  RepaintLine(line_);
}

void MarkList::LineChanged(int line) const {
  if (OnLineChanged) OnLineChanged(line);
}

Mark& MarkList::Add(std::unique_ptr<Mark> mark) {
  mark->owner_ = this;
  Mark& added = *marks_.emplace_back(std::move(mark));
  if (OnChange) OnChange();
  return added;
}

void MarkList::Remove(Mark& mark) {
  const auto found =
      std::find_if(marks_.begin(), marks_.end(), [&](const auto& held) { return held.get() == &mark; });
  if (found == marks_.end()) return;
  std::replace(bookmarks_.begin(), bookmarks_.end(), &mark, static_cast<Mark*>(nullptr));
  marks_.erase(found);
  if (OnChange) OnChange();
}

Mark* MarkList::BookMark(int number) const {
  return number >= 0 && number < BookmarkCount ? bookmarks_[static_cast<std::size_t>(number)] : nullptr;
}

Mark& MarkList::PlaceBookMark(std::unique_ptr<Mark> bookmark) {
  const int number = bookmark->Number();
  if (!bookmark->IsBookmark() || number >= BookmarkCount) return Add(std::move(bookmark)); // no slot
  for (Mark* other : bookmarks_)
    if (other && other->Line() == bookmark->Line()) Remove(*other);
  ClearBookMark(number);
  Mark& placed = Add(std::move(bookmark));
  bookmarks_[static_cast<std::size_t>(number)] = &placed;
  return placed;
}

void MarkList::ClearBookMark(int number) {
  if (Mark* bookmark = BookMark(number)) Remove(*bookmark);
}

std::vector<Mark*> MarkList::MarksOnLine(int line) const {
  std::vector<Mark*> found;
  for (const auto& mark : marks_) {
    if (mark->Line() != line) continue;
    found.push_back(mark.get());
    if (found.size() == MaxMarksOnLine) break;
  }
  return found;
}

Mark* MarkList::MarkAt(int line, int x, int xOffset) const {
  int right = 0;
  for (Mark* mark : MarksOnLine(line)) {
    right += xOffset;
    if (x < right) return mark;
  }
  return nullptr;
}

std::array<int, MarkList::BookmarkCount> MarkList::BookmarkLines() const {
  std::array<int, BookmarkCount> lines{};
  for (std::size_t i = 0; i < lines.size(); ++i)
    lines[i] = bookmarks_[i] ? bookmarks_[i]->Line() : 0;
  return lines;
}

namespace {
void MoveTo(Mark& mark, int line) {
  line = std::max(line, 1);
  if (line != mark.Line()) mark.SetLine(line);
}
} // namespace

void MarkList::MoveBookmarks(const std::array<int, BookmarkCount>& lines, int lastLine) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (bookmarks_[i] && lines[i] > 0) MoveTo(*bookmarks_[i], std::min(lines[i], lastLine));
}

void MarkList::LinesChanged(const LineChange& change) {
  const int line = change.line + 1; // 1-based
  if (change.kind == LineChange::Kind::Inserted) {
    for (const auto& mark : marks_)
      if (mark->Line() >= line) MoveTo(*mark, mark->Line() + 1);
  } else if (change.kind == LineChange::Kind::Removed) {
    for (const auto& mark : marks_)
      if (mark->Line() >= line) MoveTo(*mark, mark->Line() - 1);
  }
}
