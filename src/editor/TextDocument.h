// The editor's document: the lines, the data kept beside them (highlighter ranges, marks), the
// modified flag and the undo and redo lists. Every change of the lines reaches the per-line
// stores and the views through one watcher mechanism; the primitive insertions and deletions are
// what undo records carry.
#pragma once

#include "DocumentWatcher.h"
#include "HighlightRanges.h"
#include "kxEditList.h"
#include "kxMarkList.h"
#include "kxUndoList.h"

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
  [[nodiscard]] TkxEditList& Lines() { return lines_; }
  [[nodiscard]] const TkxEditList& Lines() const { return lines_; }
  [[nodiscard]] int LineCount() const { return lines_.Count(); }
  // The text of a 1-based line; empty for lines that do not exist.
  [[nodiscard]] const std::string& LineText(int line) const;
  // The position nearest to `point` that lies in the text.
  [[nodiscard]] TkxPoint Clamped(TkxPoint point) const;
  // The text between two positions, lines separated by '\n'.
  [[nodiscard]] std::string Text(TkxPoint from, TkxPoint to) const;

  // --- primitive changes; both are recorded in the undo step that is open
  // Inserts `text` (lines separated by '\n') at `at` and returns the position after it. The
  // first line stays where it is: the lines the text adds come after it.
  TkxPoint Insert(TkxPoint at, std::string_view text);
  // Deletes from `from` up to `to` and returns what went. Lines after the first are joined to it.
  std::string Delete(TkxPoint from, TkxPoint to);

  // --- watchers, told in the order they were added, after the document's own stores
  void AddWatcher(DocumentWatcher& watcher);
  void RemoveWatcher(DocumentWatcher& watcher);

  // --- per-line data
  [[nodiscard]] const HighlightRanges& Ranges() const { return ranges_; }
  [[nodiscard]] HighlightRanges& Ranges() { return ranges_; }
  [[nodiscard]] TkxCustomHighLighter* HighLighter() const { return ranges_.HighLighter(); }
  void SetHighLighter(TkxCustomHighLighter* value) { ranges_.SetHighLighter(value); }
  [[nodiscard]] TMarkList& Marks() { return marks_; }
  [[nodiscard]] const TMarkList& Marks() const { return marks_; }

  [[nodiscard]] bool Modified() const { return modified_; }
  void SetModified(bool value);

  // --- undo and redo
  [[nodiscard]] TUndoList& UndoList() { return undoList_; }
  [[nodiscard]] TUndoList& RedoList() { return redoList_; }
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
  [[nodiscard]] TUndoRecord Revert(const TUndoRecord& record);
  // Makes a record's changes again and puts its bookmarks where the step left them. Returns the
  // record of what was done, which may differ from `record` after edits that did not undo it.
  [[nodiscard]] TUndoRecord Reapply(const TUndoRecord& record);

private:
  friend class UndoStep;
  // The changes made since a step opened, and where the bookmarks were then.
  struct OpenStep {
    std::vector<TextChange> changes;
    TBookmarkLines::Lines bookmarks;
  };

  void AttachListHandlers();
  void Tell(const LineChange& change);
  template <typename Event> void TellWatchers(Event event);
  void RecordChange(TextChange change);
  // Makes `change` (or with `forwards` false its inverse) where the text allows; returns what was
  // made, nothing when the text left nothing to do.
  std::optional<TextChange> Apply(const TextChange& change, bool forwards);
  // A record of the same step with `changes`, and the bookmarks as they were and are.
  TUndoRecord SameStep(const TUndoRecord& record, std::vector<TextChange> changes,
                       const TBookmarkLines::Lines& bookmarksBefore) const;

  TkxEditList lines_;
  HighlightRanges ranges_{lines_};
  TMarkList marks_;
  // The stores first, then the views.
  std::vector<DocumentWatcher*> watchers_;
  TUndoList undoList_;
  TUndoList redoList_;
  bool modified_ = false;
  std::vector<OpenStep> openSteps_; // innermost last
};

// Records the changes a document goes through while the step lives as one undo record. Steps may
// nest; each change belongs to the innermost.
class UndoStep {
public:
  UndoStep(TextDocument& document, TUndoReason reason, TkxPoint start, TSelectionMode mode = smNormal);
  ~UndoStep();
  UndoStep(const UndoStep&) = delete;
  UndoStep& operator=(const UndoStep&) = delete;

  void SetStart(TkxPoint start) { record_.Start = start; }
  void SetEnd(TkxPoint end) { record_.End = end; }
  void SetMode(TSelectionMode mode) { record_.Mode = mode; }
  // Store no record. Only for a step whose changes undid each other.
  void Cancel() { cancelled_ = true; }

private:
  TextDocument& document_;
  TUndoRecord record_;
  bool cancelled_ = false;
};
