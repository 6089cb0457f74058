// The editor's document: the lines, the data kept beside them (highlighter ranges, marks, the
// messages on lines), the undo and redo lists and the save point. The text changes only through
// the primitive insertion and deletion, which undo records carry, and the whole-text replacement
// of a load, which starts a new history. Every change of the lines reaches the per-line stores and
// the views through one watcher mechanism.
#pragma once

#include "DocumentWatcher.h"
#include "HighlightRanges.h"
#include "LineAnnotations.h"
#include "LineList.h"
#include "MarkList.h"
#include "TextEncoding.h"
#include "UndoList.h"

#include <cstdint>
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
  [[nodiscard]] const LineList& Lines() const { return lines_; }
  [[nodiscard]] int LineCount() const { return lines_.Count(); }
  // The text of a 1-based line; empty for lines that do not exist.
  [[nodiscard]] const std::string& LineText(int line) const;
  // The position nearest to `point` that lies in the text.
  [[nodiscard]] TextPoint Clamped(TextPoint point) const;
  // The text between two positions, lines separated by '\n'.
  [[nodiscard]] std::string Text(TextPoint from, TextPoint to) const;

  // --- the changes. An insertion or deletion belongs to the undo step that is open; without
  // one it is a step of its own.
  // Inserts `text` (lines separated by '\n') at `at` and returns the position after it. The
  // first line stays where it is: the lines the text adds come after it.
  TextPoint Insert(TextPoint at, std::string_view text);
  // Deletes from `from` up to `to` and returns what went. Lines after the first are joined to it.
  std::string Delete(TextPoint from, TextPoint to);
  // Replaces the whole text (no lines: one empty line), as reading a file does. The history
  // starts again; Modified stays as it was.
  void Load(std::vector<std::string> lines);
  // UTF-8 when the text last loaded was valid UTF-8 (an empty text is), otherwise Windows-1252.
  [[nodiscard]] TextEncoding Encoding() const { return encoding_; }
  // How the views show the lines, which the widest line is measured by: their tab width, and
  // whether they read the text in its encoding or a byte to a cell.
  void SetCellRule(int tabWidth, bool inItsEncoding);

  // --- watchers, told in the order they were added, after the document's own stores
  void AddWatcher(DocumentWatcher& watcher);
  void RemoveWatcher(DocumentWatcher& watcher);

  // --- the views showing the document: how many are carrying out an operation on it. The edits of
  // one move the carets of the others along with the text; edits from outside leave them.
  void NoteViewOperating(bool started) { operatingViews_ += started ? 1 : -1; }
  [[nodiscard]] bool ViewOperating() const { return operatingViews_ > 0; }

  // --- per-line data
  [[nodiscard]] const HighlightRanges& Ranges() const { return ranges_; }
  [[nodiscard]] HighlightRanges& Ranges() { return ranges_; }
  [[nodiscard]] Highlighter* HighLighter() const { return ranges_.HighLighter(); }
  void SetHighLighter(Highlighter* value) { ranges_.SetHighLighter(value); }
  [[nodiscard]] MarkList& Marks() { return marks_; }
  [[nodiscard]] const MarkList& Marks() const { return marks_; }
  // The messages of a build and of the language server on the lines.
  [[nodiscard]] LineAnnotations& Annotations() { return annotations_; }
  [[nodiscard]] const LineAnnotations& Annotations() const { return annotations_; }

  // --- the save point. Modified means the text is not in the state it was saved in: an undo or
  // redo back to that state clears it, any other change sets it, and so does an edit that only
  // happens to give the saved text again. A saved state that fell off the bounded undo list
  // cannot be reached again.
  [[nodiscard]] bool Modified() const { return !savedState_ || *savedState_ != state_; }
  // False: the text as it is now is what was saved. True: no state of the text counts as saved.
  void SetModified(bool value);

  // --- undo and redo
  [[nodiscard]] const UndoList& UndoRecords() const { return undoList_; }
  [[nodiscard]] const UndoList& RedoRecords() const { return redoList_; }
  [[nodiscard]] bool CanUndo() const { return undoList_.Count() > 0; }
  [[nodiscard]] bool CanRedo() const { return redoList_.Count() > 0; }
  void ClearUndo();
  [[nodiscard]] int MaxUndo() const { return undoList_.Max(); }
  // Both lists; negative values are ignored.
  void SetMaxUndo(int value);
  // Reverts the newest undo record, last change first, puts its bookmarks back and keeps what
  // makes it again on the redo list. Returns the record as it was stored; nothing when there was
  // none.
  std::optional<UndoRecord> Undo();
  // Makes the newest redo record's changes again, puts its bookmarks where the step left them and
  // keeps what takes them back on the undo list. Returns the record as it was stored.
  std::optional<UndoRecord> Redo();
  // Makes the two newest undo records one, which undo and redo take as a whole; not when the text
  // was saved between them, so that undo still reaches the saved text.
  void JoinNewestSteps();

private:
  friend class UndoStep;
  // The changes made since a step opened, and where the bookmarks were then.
  struct OpenStep {
    std::vector<TextChange> changes;
    BookmarkMove::Lines bookmarks;
    std::uint64_t state; // the text's state when the step opened
  };

  void AttachListHandlers();
  void ApplyCellRule();
  void Tell(const LineChange& change);
  template <typename Event> void TellWatchers(Event event);
  // The line work of Insert and Delete, recording nothing.
  TextPoint InsertText(TextPoint at, std::string_view text);
  std::string DeleteText(TextPoint from, TextPoint to);
  void RecordChange(TextChange change);
  // Stores a finished step and moves the text to `state`.
  void Store(UndoList& list, UndoRecord record, std::uint64_t state);
  // Makes `change` (or with `forwards` false its inverse) where the text allows; returns what was
  // made, nothing when the text left nothing to do.
  std::optional<TextChange> Apply(const TextChange& change, bool forwards);
  // Reverts a record's changes; returns the record that makes again what was reverted: the same
  // changes as long as the text still matched them.
  [[nodiscard]] UndoRecord Revert(const UndoRecord& record);
  // Makes a record's changes again; returns the record of what was done, which may differ from
  // `record` after edits that did not undo it.
  [[nodiscard]] UndoRecord Reapply(const UndoRecord& record);
  // A record of the same step with `changes`, and the bookmarks as they were and are.
  UndoRecord SameStep(const UndoRecord& record, std::vector<TextChange> changes,
                      const BookmarkMove::Lines& bookmarksBefore) const;
  [[nodiscard]] std::uint64_t NewState() { return ++lastState_; }

  LineList lines_;
  TextEncoding encoding_ = TextEncoding::Utf8;
  int cellTabWidth_ = 8;
  bool cellsInEncoding_ = false;
  HighlightRanges ranges_{lines_};
  MarkList marks_;
  LineAnnotations annotations_;
  // The stores first, then the views.
  std::vector<DocumentWatcher*> watchers_;
  UndoList undoList_;
  UndoList redoList_;
  std::vector<OpenStep> openSteps_; // innermost last
  int operatingViews_ = 0;
  // Every step done, undone or redone moves the text to a state: the one it came from when it
  // went back over a record exactly, else a new one.
  std::uint64_t state_ = 0;
  std::uint64_t lastState_ = 0;
  std::optional<std::uint64_t> savedState_ = 0; // nothing: no state counts as saved
};

// Records the changes a document goes through while the step lives as one undo record. Steps may
// nest; each change belongs to the innermost.
class UndoStep {
public:
  UndoStep(TextDocument& document, UndoKind kind, TextPoint start,
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
