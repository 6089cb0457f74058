// The editor's document: the lines, the data kept beside them (highlighter ranges, marks), the
// modified flag and the undo and redo lists. Every change of the lines reaches the per-line
// stores and the views through one watcher mechanism; the primitive insertions and deletions are
// what undo records carry.
#pragma once

#include "DocumentWatcher.h"
#include "HighlightRanges.h"
#include "LineList.h"
#include "MarkList.h"
#include "UndoList.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TextDocument {
public:
  TextDocument();
  TextDocument(const TextDocument&) = delete;
  TextDocument& operator=(const TextDocument&) = delete;

  // --- the lines
  [[nodiscard]] LineList& Lines() { return lines_; }
  [[nodiscard]] const LineList& Lines() const { return lines_; }
  [[nodiscard]] int LineCount() const { return lines_.Count(); }
  // The text of a 1-based line; empty for lines that do not exist.
  [[nodiscard]] const std::string& LineText(int line) const;
  // The position nearest to `point` that lies in the text.
  [[nodiscard]] TextPoint Clamped(TextPoint point) const;
  // The text between two positions, lines separated by '\n'.
  [[nodiscard]] std::string Text(TextPoint from, TextPoint to) const;

  // --- primitive changes; both are recorded in the undo step that is open
  // Inserts `text` (lines separated by '\n') at `at` and returns the position after it. The
  // first line stays where it is: the lines the text adds come after it.
  TextPoint Insert(TextPoint at, std::string_view text);
  // Deletes from `from` up to `to` and returns what went. Lines after the first are joined to it.
  std::string Delete(TextPoint from, TextPoint to);

  // --- watchers, told in the order they were added, after the document's own stores
  void AddWatcher(DocumentWatcher& watcher);
  void RemoveWatcher(DocumentWatcher& watcher);

  // --- per-line data
  [[nodiscard]] const HighlightRanges& Ranges() const { return ranges_; }
  [[nodiscard]] HighlightRanges& Ranges() { return ranges_; }
  [[nodiscard]] Highlighter* HighLighter() const { return ranges_.HighLighter(); }
  void SetHighLighter(Highlighter* value) { ranges_.SetHighLighter(value); }
  [[nodiscard]] MarkList& Marks() { return marks_; }
  [[nodiscard]] const MarkList& Marks() const { return marks_; }

  [[nodiscard]] bool Modified() const { return modified_; }
  void SetModified(bool value);

  // --- undo and redo
  [[nodiscard]] UndoList& UndoRecords() { return undoList_; }
  [[nodiscard]] UndoList& RedoRecords() { return redoList_; }
  [[nodiscard]] bool CanUndo() const { return undoList_.CanUndo() > 0; }
  [[nodiscard]] bool CanRedo() const { return redoList_.CanUndo() > 0; }
  void ClearUndo();
  void LockUndo();
  void UnlockUndo();
  [[nodiscard]] int MaxUndo() const { return undoList_.Max(); }
  // Both lists; negative values are ignored.
  void SetMaxUndo(int value);
  // Reverts a record's changes, last first, and puts its bookmarks back. Returns the record that
  // makes again what was reverted: the same changes as long as the text still matched them.
  [[nodiscard]] UndoRecord Revert(const UndoRecord& record);
  // Makes a record's changes again and puts its bookmarks where the step left them. Returns the
  // record of what was done, which may differ from `record` after edits that did not undo it.
  [[nodiscard]] UndoRecord Reapply(const UndoRecord& record);

private:
  friend class UndoStep;
  // The changes made since a step opened, and where the bookmarks were then.
  struct OpenStep {
    std::vector<TextChange> changes;
    BookmarkMove::Lines bookmarks;
  };

  void AttachListHandlers();
  void Tell(const LineChange& change);
  template <typename Event> void TellWatchers(Event event);
  void RecordChange(TextChange change);
  // Makes `change` (or with `forwards` false its inverse) where the text allows; returns what was
  // made, nothing when the text left nothing to do.
  std::optional<TextChange> Apply(const TextChange& change, bool forwards);
  // A record of the same step with `changes`, and the bookmarks as they were and are.
  UndoRecord SameStep(const UndoRecord& record, std::vector<TextChange> changes,
                      const BookmarkMove::Lines& bookmarksBefore) const;

  LineList lines_;
  HighlightRanges ranges_{lines_};
  MarkList marks_;
  // The stores first, then the views.
  std::vector<DocumentWatcher*> watchers_;
  UndoList undoList_;
  UndoList redoList_;
  bool modified_ = false;
  std::vector<OpenStep> openSteps_; // innermost last
};

// Records the changes a document goes through while the step lives as one undo record. Steps may
// nest; each change belongs to the innermost.
class UndoStep {
public:
  UndoStep(TextDocument& document, UndoKind reason, TextPoint start,
           SelectionMode mode = SelectionMode::Normal);
  ~UndoStep();
  UndoStep(const UndoStep&) = delete;
  UndoStep& operator=(const UndoStep&) = delete;

  void SetStart(TextPoint start) { record_.Start = start; }
  void SetEnd(TextPoint end) { record_.End = end; }
  void SetMode(SelectionMode mode) { record_.Mode = mode; }
  // Store no record. Only for a step whose changes undid each other.
  void Cancel() { cancelled_ = true; }

private:
  TextDocument& document_;
  UndoRecord record_;
  bool cancelled_ = false;
};
