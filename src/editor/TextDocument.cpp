// The document's primitive changes, its watchers, its undo bookkeeping and the save point.
#include "TextDocument.h"

#include <algorithm>
#include <iterator>
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
  watchers_ = {&ranges_, &marks_, &annotations_};
  annotations_.OnChange = [this] {
    TellWatchers([](DocumentWatcher& watcher) { watcher.AnnotationsChanged(); });
  };
  ranges_.OnRestyled = [this](int first, int last) {
    Tell({LineChange::Kind::Restyled, first, last - first + 1});
  };
  ranges_.OnStyleChanged = [this] { TellWatchers([](DocumentWatcher& watcher) { watcher.StyleChanged(); }); };
  marks_.OnChange = [this] { TellWatchers([](DocumentWatcher& watcher) { watcher.MarksChanged(-1); }); };
  marks_.OnLineChanged = [this](int line) {
    TellWatchers([line](DocumentWatcher& watcher) { watcher.MarksChanged(line); });
  };
  AttachListHandlers();
  lines_.Add("");
}

void TextDocument::AttachListHandlers() {
  lines_.OnAdded = [this] { Tell({LineChange::Kind::Appended, lines_.Count() - 1}); };
  lines_.OnCleared = [this] { Tell({LineChange::Kind::Clearing}); };
  lines_.OnDeleted = [this](int index) { Tell({LineChange::Kind::Removed, index}); };
  lines_.OnInserted = [this](int index) { Tell({LineChange::Kind::Inserted, index}); };
  lines_.OnLinePut = [this](int index) { Tell({LineChange::Kind::Changed, index}); };
  lines_.OnBulkAdded = [this] { Tell({LineChange::Kind::Reloaded}); };
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
  if (openSteps_.empty()) {
    UndoStep step(*this, UndoKind::Insertion, at);
    const TextPoint end = Insert(at, text);
    step.SetEnd(end);
    return end;
  }
  RecordChange({true, at, std::string(text)});
  return InsertText(at, text);
}

std::string TextDocument::Delete(TextPoint from, TextPoint to) {
  from = Clamped(from);
  to = Clamped(to);
  if (!PointBefore(from, to)) return {};
  if (openSteps_.empty()) {
    UndoStep step(*this, UndoKind::Deletion, from);
    step.SetEnd(to);
    return Delete(from, to);
  }
  std::string removed = DeleteText(from, to);
  RecordChange({false, from, removed});
  return removed;
}

TextPoint TextDocument::InsertText(TextPoint at, std::string_view text) {
  TellWatchers([change = TextSpanChange{at, at, EndOf(at, text)}](DocumentWatcher& watcher) {
    watcher.TextChanging(change);
  });
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

std::string TextDocument::DeleteText(TextPoint from, TextPoint to) {
  TellWatchers(
      [change = TextSpanChange{from, to, from}](DocumentWatcher& watcher) { watcher.TextChanging(change); });
  std::string removed = Text(from, to);
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

void TextDocument::Load(std::vector<std::string> lines) {
  const bool modified = Modified();
  const bool utf8 =
      std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return ReadsAsUtf8(line); });
  encoding_ = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
  lines_.Assign(std::move(lines));
  ApplyCellRule();
  ClearUndo();
  // A text of its own: no record leads to or from it.
  state_ = NewState();
  if (!modified) savedState_ = state_;
}

void TextDocument::SetCellRule(int tabWidth, bool inItsEncoding) {
  cellTabWidth_ = tabWidth;
  cellsInEncoding_ = inItsEncoding;
  ApplyCellRule();
}

void TextDocument::ApplyCellRule() {
  lines_.SetCellRule({cellTabWidth_, cellsInEncoding_ ? encoding_ : TextEncoding::Windows1252});
}

// ---------------------------------------------------------------- modified flag and undo

void TextDocument::SetModified(bool value) {
  const bool was = Modified();
  savedState_ = value ? std::nullopt : std::optional<std::uint64_t>(state_);
  if (Modified() != was) TellWatchers([](DocumentWatcher& watcher) { watcher.ModifiedChanged(); });
}

void TextDocument::ClearUndo() {
  undoList_.Clear();
  redoList_.Clear();
}

void TextDocument::SetMaxUndo(int value) {
  if (value < 0) return;
  undoList_.SetMax(value);
  redoList_.SetMax(value);
}

void TextDocument::RecordChange(TextChange change) { openSteps_.back().changes.push_back(std::move(change)); }

void TextDocument::Store(UndoList& list, UndoRecord record, std::uint64_t state) {
  list.Push(std::move(record));
  const bool wasModified = Modified();
  state_ = state;
  if (Modified() != wasModified) TellWatchers([](DocumentWatcher& watcher) { watcher.ModifiedChanged(); });
  TellWatchers([](DocumentWatcher& watcher) { watcher.ChangeRecorded(); });
}

std::optional<UndoRecord> TextDocument::Undo() {
  if (!CanUndo()) return std::nullopt;
  UndoRecord record = undoList_.Pop();
  UndoRecord redo = Revert(record);
  // Back over the record from where it left the text: the text is as it was before the step.
  redo.Before = state_ == record.After ? record.Before : NewState();
  redo.After = state_;
  const std::uint64_t state = redo.Before;
  Store(redoList_, std::move(redo), state);
  return record;
}

std::optional<UndoRecord> TextDocument::Redo() {
  if (!CanRedo()) return std::nullopt;
  UndoRecord record = redoList_.Pop();
  UndoRecord undo = Reapply(record);
  undo.Before = state_;
  undo.After = state_ == record.Before ? record.After : NewState();
  const std::uint64_t state = undo.After;
  Store(undoList_, std::move(undo), state);
  return record;
}

void TextDocument::JoinNewestSteps() {
  if (undoList_.Count() < 2) return;
  UndoRecord newer = undoList_.Pop();
  UndoRecord older = undoList_.Pop();
  if (savedState_ == older.After) {
    undoList_.Push(std::move(older));
    undoList_.Push(std::move(newer));
    return;
  }
  std::move(newer.Changes.begin(), newer.Changes.end(), std::back_inserter(older.Changes));
  // A step without a bookmark move left them where the other step found or left them.
  const BookmarkMove::Lines now = marks_.BookmarkLines();
  const BookmarkMove::Lines before = older.Bookmarks   ? older.Bookmarks->before
                                     : newer.Bookmarks ? newer.Bookmarks->before
                                                       : now;
  older.Bookmarks = MovedBookmarks(before, newer.Bookmarks ? newer.Bookmarks->after : now);
  older.End = newer.End;
  older.After = newer.After;
  undoList_.Push(std::move(older));
}

std::optional<TextChange> TextDocument::Apply(const TextChange& change, bool forwards) {
  const TextPoint at = Clamped(change.at);
  if (change.inserted == forwards) {
    InsertText(at, change.text);
    return TextChange{true, at, change.text};
  }
  // As much text as the change holds, whatever the text there is now.
  const TextPoint to = Clamped(EndOf(at, change.text));
  if (!PointBefore(at, to)) return std::nullopt;
  return TextChange{false, at, DeleteText(at, to)};
}

UndoRecord TextDocument::SameStep(const UndoRecord& record, std::vector<TextChange> changes,
                                  const BookmarkMove::Lines& bookmarksBefore) const {
  UndoRecord same;
  same.Kind = record.Kind;
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

UndoStep::UndoStep(TextDocument& document, UndoKind kind, TextPoint start, SelectionMode mode)
    : document_(document) {
  record_.Kind = kind;
  record_.Start = start;
  record_.End = start;
  record_.Mode = mode;
  document_.openSteps_.push_back({{}, document_.marks_.BookmarkLines(), document_.state_});
}

UndoStep::~UndoStep() {
  TextDocument::OpenStep step = std::move(document_.openSteps_.back());
  document_.openSteps_.pop_back();
  if (cancelled_) return;
  record_.Changes = std::move(step.changes);
  record_.Bookmarks = MovedBookmarks(step.bookmarks, document_.marks_.BookmarkLines());
  // A step inside which another was stored started from a text no state stands for.
  record_.Before = document_.state_ == step.state ? step.state : document_.NewState();
  record_.After = document_.NewState();
  const std::uint64_t state = record_.After;
  document_.Store(document_.undoList_, std::move(record_), state);
}
