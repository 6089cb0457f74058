// The document's primitive changes, its watchers and its undo bookkeeping.
#include "TextDocument.h"

#include <algorithm>
#include <utility>

namespace {

const std::string kNoLine;

std::vector<std::string_view> SplitAtLineFeeds(std::string_view text) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    pieces.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return pieces;
    start = end + 1;
  }
}

// The 0-based byte index of a 1-based column.
std::size_t ByteIndex(int column) { return static_cast<std::size_t>(column - 1); }

// Where `text` (lines separated by '\n') ends when it stands at `at`.
TextPoint EndOf(TextPoint at, std::string_view text) {
  const std::size_t lastBreak = text.rfind('\n');
  if (lastBreak == std::string_view::npos) return {at.X + static_cast<int>(text.size()), at.Y};
  const auto lineBreaks = std::count(text.begin(), text.end(), '\n');
  return {static_cast<int>(text.size() - lastBreak), at.Y + static_cast<int>(lineBreaks)};
}

// Where the bookmarks were and are, when a step moved any of them.
std::unique_ptr<BookmarkMove> MovedBookmarks(const BookmarkMove::Lines& before,
                                             const BookmarkMove::Lines& after) {
  if (before == after) return nullptr;
  return std::make_unique<BookmarkMove>(BookmarkMove{before, after});
}

} // namespace

TextDocument::TextDocument() {
  watchers_ = {&ranges_, &marks_};
  ranges_.OnRestyled = [this](int first, int last) { Tell({LineChange::Restyled, first, last - first + 1}); };
  ranges_.OnStyleChanged = [this] { TellWatchers([](DocumentWatcher& watcher) { watcher.StyleChanged(); }); };
  AttachListHandlers();
  // Every record stored, in either list, marks the text modified.
  for (UndoList* list : {&undoList_, &redoList_})
    list->OnAdded = [this] {
      SetModified(true);
      TellWatchers([](DocumentWatcher& watcher) { watcher.ChangeRecorded(); });
    };
  lines_.Add("");
}

void TextDocument::AttachListHandlers() {
  lines_.OnAdded = [this] { Tell({LineChange::Appended, lines_.Count() - 1}); };
  lines_.OnCleared = [this] { Tell({LineChange::Clearing}); };
  lines_.OnDeleted = [this](int index) { Tell({LineChange::Removed, index}); };
  lines_.OnInserted = [this](int index) { Tell({LineChange::Inserted, index}); };
  lines_.OnLinePut = [this](int index) { Tell({LineChange::Changed, index}); };
  lines_.OnBulkAdded = [this] { Tell({LineChange::Reloaded}); };
  // A new text has a history of its own.
  lines_.OnTextReplaced = [this] {
    if (lines_.Count() == 0) lines_.Add("");
    ClearUndo();
  };
  lines_.OnChanging = [this] { TellWatchers([](DocumentWatcher& watcher) { watcher.EditStarted(); }); };
  lines_.OnChange = [this] { TellWatchers([](DocumentWatcher& watcher) { watcher.EditFinished(); }); };
}

template <typename Event> void TextDocument::TellWatchers(Event event) {
  // A watcher may add or remove watchers while it is told.
  for (std::size_t i = 0; i < watchers_.size(); ++i)
    event(*watchers_[i]);
}

void TextDocument::Tell(const LineChange& change) {
  TellWatchers([&](DocumentWatcher& watcher) { watcher.LinesChanged(change); });
}

void TextDocument::AddWatcher(DocumentWatcher& watcher) { watchers_.push_back(&watcher); }

void TextDocument::RemoveWatcher(DocumentWatcher& watcher) {
  watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), &watcher), watchers_.end());
}

// ---------------------------------------------------------------- text

const std::string& TextDocument::LineText(int line) const {
  return line >= 1 && line <= LineCount() ? lines_.Get(line - 1) : kNoLine;
}

TextPoint TextDocument::Clamped(TextPoint point) const {
  point.Y = std::clamp(point.Y, 1, std::max(LineCount(), 1));
  point.X = std::clamp(point.X, 1, static_cast<int>(LineText(point.Y).size()) + 1);
  return point;
}

std::string TextDocument::Text(TextPoint from, TextPoint to) const {
  from = Clamped(from);
  to = Clamped(to);
  if (!PointBefore(from, to)) return {};
  const std::string& first = LineText(from.Y);
  if (from.Y == to.Y) return first.substr(ByteIndex(from.X), ByteIndex(to.X) - ByteIndex(from.X));
  std::string text = first.substr(ByteIndex(from.X));
  for (int y = from.Y + 1; y < to.Y; ++y)
    (text += '\n') += LineText(y);
  return (text += '\n') += LineText(to.Y).substr(0, ByteIndex(to.X));
}

TextPoint TextDocument::Insert(TextPoint at, std::string_view text) {
  at = Clamped(at);
  if (text.empty()) return at;
  RecordChange({true, at, std::string(text)});
  const std::string& line = LineText(at.Y);
  const std::vector<std::string_view> pieces = SplitAtLineFeeds(text);
  const int added = static_cast<int>(pieces.size()) - 1;
  if (added == 0) {
    std::string changed = line;
    changed.insert(ByteIndex(at.X), text);
    lines_.Put(at.Y - 1, std::move(changed));
    return EndOf(at, text);
  }
  const std::string left = line.substr(0, ByteIndex(at.X));
  const std::string right = line.substr(ByteIndex(at.X));
  UpdateBracket bracket(lines_);
  if (!pieces.front().empty() || !right.empty()) lines_.Put(at.Y - 1, left + std::string(pieces.front()));
  for (int i = 1; i < added; ++i)
    lines_.Insert(at.Y - 1 + i, std::string(pieces[static_cast<std::size_t>(i)]));
  lines_.Insert(at.Y - 1 + added, std::string(pieces.back()) + right);
  return EndOf(at, text);
}

std::string TextDocument::Delete(TextPoint from, TextPoint to) {
  from = Clamped(from);
  to = Clamped(to);
  std::string removed = Text(from, to);
  if (removed.empty()) return removed;
  RecordChange({false, from, removed});
  if (from.Y == to.Y) {
    std::string changed = LineText(from.Y);
    changed.erase(ByteIndex(from.X), removed.size());
    lines_.Put(from.Y - 1, std::move(changed));
    return removed;
  }
  std::string joined = LineText(from.Y).substr(0, ByteIndex(from.X)) + LineText(to.Y).substr(ByteIndex(to.X));
  UpdateBracket bracket(lines_);
  if (joined != LineText(from.Y)) lines_.Put(from.Y - 1, std::move(joined));
  for (int y = from.Y; y < to.Y; ++y)
    lines_.Delete(from.Y);
  return removed;
}

// ---------------------------------------------------------------- modified flag and undo

void TextDocument::SetModified(bool value) {
  if (value == modified_) return;
  modified_ = value;
  TellWatchers([](DocumentWatcher& watcher) { watcher.ModifiedChanged(); });
}

void TextDocument::ClearUndo() {
  undoList_.ClearList();
  redoList_.ClearList();
}

void TextDocument::LockUndo() {
  undoList_.Lock();
  redoList_.Lock();
}

void TextDocument::UnlockUndo() {
  undoList_.Unlock();
  redoList_.Unlock();
}

void TextDocument::SetMaxUndo(int value) {
  if (value < 0) return;
  undoList_.SetMax(value);
  redoList_.SetMax(value);
}

void TextDocument::RecordChange(TextChange change) {
  if (!openSteps_.empty()) openSteps_.back().changes.push_back(std::move(change));
}

std::optional<TextChange> TextDocument::Apply(const TextChange& change, bool forwards) {
  const TextPoint at = Clamped(change.at);
  if (change.inserted == forwards) {
    Insert(at, change.text);
    return TextChange{true, at, change.text};
  }
  // As much text as the change holds, whatever the text there is now.
  std::string removed = Delete(at, EndOf(at, change.text));
  if (removed.empty()) return std::nullopt;
  return TextChange{false, at, std::move(removed)};
}

UndoRecord TextDocument::SameStep(const UndoRecord& record, std::vector<TextChange> changes,
                                  const BookmarkMove::Lines& bookmarksBefore) const {
  UndoRecord same;
  same.Reason = record.Reason;
  same.Start = record.Start;
  same.End = record.End;
  same.Mode = record.Mode;
  same.Changes = std::move(changes);
  same.Bookmarks = MovedBookmarks(bookmarksBefore, marks_.BookmarkLines());
  return same;
}

UndoRecord TextDocument::Revert(const UndoRecord& record) {
  const BookmarkMove::Lines bookmarks = marks_.BookmarkLines();
  std::vector<TextChange> redo;
  {
    UpdateBracket bracket(lines_);
    for (auto change = record.Changes.rbegin(); change != record.Changes.rend(); ++change)
      if (std::optional<TextChange> reverted = Apply(*change, false)) {
        reverted->inserted = !reverted->inserted;
        redo.push_back(std::move(*reverted));
      }
    // Bookmarks go back to where they were when they are where the step left them; otherwise
    // (the text moved on) they stay with their lines.
    if (record.Bookmarks && bookmarks == record.Bookmarks->after)
      marks_.MoveBookmarks(record.Bookmarks->before, LineCount());
  }
  std::reverse(redo.begin(), redo.end());
  // Redo goes from the bookmarks as they are now back to where they were.
  UndoRecord redone = SameStep(record, std::move(redo), bookmarks);
  if (redone.Bookmarks) std::swap(redone.Bookmarks->before, redone.Bookmarks->after);
  return redone;
}

UndoRecord TextDocument::Reapply(const UndoRecord& record) {
  const BookmarkMove::Lines bookmarks = marks_.BookmarkLines();
  std::vector<TextChange> made;
  {
    UpdateBracket bracket(lines_);
    for (const TextChange& change : record.Changes)
      if (std::optional<TextChange> applied = Apply(change, true)) made.push_back(std::move(*applied));
    if (record.Bookmarks && bookmarks == record.Bookmarks->before)
      marks_.MoveBookmarks(record.Bookmarks->after, LineCount());
  }
  return SameStep(record, std::move(made), bookmarks);
}

// ---------------------------------------------------------------- undo steps

UndoStep::UndoStep(TextDocument& document, UndoKind reason, TextPoint start, SelectionMode mode)
    : document_(document) {
  record_.Reason = reason;
  record_.Start = start;
  record_.End = start;
  record_.Mode = mode;
  document_.openSteps_.push_back({{}, document_.marks_.BookmarkLines()});
}

UndoStep::~UndoStep() {
  TextDocument::OpenStep step = std::move(document_.openSteps_.back());
  document_.openSteps_.pop_back();
  if (cancelled_) return;
  record_.Changes = std::move(step.changes);
  record_.Bookmarks = MovedBookmarks(step.bookmarks, document_.marks_.BookmarkLines());
  document_.undoList_.Add(std::move(record_));
}
