// Undo and redo: reversing change records, chaining the steps that belong together, and the
// editor's bookmarks, which follow the lines those changes move.
#include "kxEditCore.h"

#include <algorithm>

namespace {

// Restores the selection mode and the caret rule when an undo or redo step ends.
class StepScope {
public:
  StepScope(TkxEditCore& core, TSelectionMode& mode, bool& caretPastEol, TSelectionMode stepMode)
      : core_(core), mode_(mode), caretPastEol_(caretPastEol), savedMode_(mode), savedPastEol_(caretPastEol) {
    core_.IncPaintLock();
    mode_ = stepMode;
    caretPastEol_ = true;
  }
  ~StepScope() {
    mode_ = savedMode_;
    caretPastEol_ = savedPastEol_;
    core_.DecPaintLock();
  }
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;

private:
  TkxEditCore& core_;
  TSelectionMode& mode_;
  bool& caretPastEol_;
  TSelectionMode savedMode_;
  bool savedPastEol_;
};

std::vector<std::string_view> Pieces(std::string_view text) { return TkxEditList::SplitLines(text); }

} // namespace

void TkxEditCore::ClearUndo() {
  undoList_.ClearList();
  redoList_.ClearList();
}

void TkxEditCore::LockUndo() {
  undoList_.Lock();
  redoList_.Lock();
}

void TkxEditCore::UnlockUndo() {
  undoList_.Unlock();
  redoList_.Unlock();
}

void TkxEditCore::SetMaxUndo(int value) {
  if (value < 0) return;
  undoList_.SetMax(value);
  redoList_.SetMax(value);
}

void TkxEditCore::Undo() {
  if (!CanUndo()) return;
  const TUndoRecord record = undoList_.GetChange();
  UndoRecord(record);
  const TUndoReason next = undoList_.LastReason();
  const bool insertion =
      record.Reason == urInsertion || record.Reason == urPaste || record.Reason == urMovement;
  // A replacement, a paste over a selection and a drag-and-drop move undo in one step.
  if (insertion && (next == urCut || (next == urMovementDelete && record.Reason == urMovement))) Undo();
}

void TkxEditCore::UndoRecord(const TUndoRecord& record) {
  StepScope scope(*this, selectionMode_, caretPastEol_, record.Mode);
  const TkxPoint s = record.Start;
  const TkxPoint e = record.End;
  switch (record.Reason) {
  case urInsertion:
  case urPaste:
  case urMovement: {
    SetCaretXY(s);
    SelectRange(s, e);
    const std::string inserted = SelText();
    SetSelTextPrimitive(record.Mode, record.Text);
    // The redo record spans what was put back (overwritten text), so redo replaces it again.
    redoList_.AddChange(record.Reason, s, CaretXY(), inserted, record.Mode);
    SetCaretXY(s);
    break;
  }
  case urLineBreak: UndoLineBreak(record); break;
  case urIndentation: {
    const int last = e.X == 1 ? e.Y - 1 : e.Y;
    selectionMode_ = smColumn;
    SelectRange({1, s.Y}, {tabWidth_ + 1, last});
    redoList_.AddChange(record.Reason, s, e, SelText(), record.Mode);
    RemoveSelection();
    selectionMode_ = record.Mode;
    SetBlockBegin(s);
    SetCaretXY(e);
    SetBlockEnd(CaretXY());
    break;
  }
  case urUnindention:
    redoList_.AddChange(record.Reason, s, e, record.Text, record.Mode);
    InsertColumnAtLineStart(s.Y, record.Text);
    SetCaretXY(s);
    SelectRange(s, e);
    break;
  case urDeletionAfterCursor:
  case urDeletion:
  case urCut:
  case urMovementDelete: {
    TkxPoint q = PointBefore(e, s) ? e : s;
    if (record.Mode == smColumn) q = {std::min(s.X, e.X), std::min(s.Y, e.Y)};
    if (record.Reason == urDeletionAfterCursor && q.Y > LineCount()) {
      // A deleted last line comes back as a new line at the end first; not itself recorded.
      SetCaretXY({1, LineCount()});
      LockUndo();
      LineBreak(true);
      UnlockUndo();
    }
    SetCaretXY(q);
    SetBlockBegin(q);
    SetSelTextPrimitive(record.Mode, record.Text);
    SetCaretXY(e);
    SelectRange(s, e);
    redoList_.AddChange(record.Reason, s, e, {}, record.Mode);
    EnsureCursorPosVisible();
    break;
  }
  case urNone: break;
  }
}

void TkxEditCore::UndoLineBreak(const TUndoRecord& record) {
  SetCaretXY(record.Start);
  redoList_.AddChange(record.Reason, record.Start, record.End, {}, record.Mode);
  // The caret is clamped to the text, so a record that outlived its lines cannot reach past it.
  const TkxPoint s = CaretXY();
  std::string line = LineText(s.Y);
  if (static_cast<int>(line.size()) < s.X - 1 && LeadingBlanks(record.Text) == 0)
    line.resize(static_cast<std::size_t>(s.X - 1), ' ');
  if (record.End.Y < LineCount()) lines_.Delete(record.End.Y);
  SetCaretXY(s);
  std::string joined = line + record.Text;
  while (!joined.empty() && static_cast<unsigned char>(joined.back()) <= 32)
    joined.pop_back();
  lines_.Put(s.Y - 1, std::move(joined));
  marks_.LinesJoined(s.Y, s.Y + 1);
}

void TkxEditCore::Redo() {
  if (!CanRedo()) return;
  const TUndoRecord record = redoList_.GetChange();
  RedoRecord(record);
  const bool chained =
      record.Reason == urCut || (record.Reason == urMovementDelete && redoList_.LastReason() == urMovement);
  if (chained) Redo();
}

void TkxEditCore::RedoRecord(const TUndoRecord& record) {
  StepScope scope(*this, selectionMode_, caretPastEol_, record.Mode);
  const TkxPoint s = record.Start;
  const TkxPoint e = record.End;
  switch (record.Reason) {
  case urDeletionAfterCursor:
  case urDeletion:
  case urCut:
  case urMovementDelete:
    SetCaretXY(s);
    SelectRange(s, e);
    undoList_.AddChange(record.Reason, s, e, SelText(), record.Mode);
    SetSelTextPrimitive(record.Mode, record.Text);
    SetCaretXY(s);
    break;
  case urLineBreak:
    // Break where the line was broken; after other redo steps the caret may stand elsewhere.
    SetCaretXY(s);
    SetBlockBegin(s);
    LineBreak(true);
    break;
  case urIndentation: {
    InsertColumnAtLineStart(s.Y, record.Text);
    undoList_.AddChange(record.Reason, s, e, {}, record.Mode);
    SetBlockBegin(s);
    SetCaretXY({1, e.Y + 1});
    SelectRange({s.X + tabWidth_, s.Y}, e.X == 1 ? TkxPoint{1, e.Y} : TkxPoint{e.X + tabWidth_, e.Y});
    break;
  }
  case urUnindention: {
    undoList_.AddChange(record.Reason, s, e, record.Text, smColumn);
    const std::vector<std::string_view> pieces = Pieces(record.Text);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const int y = s.Y + static_cast<int>(i);
      if (y > LineCount()) break;
      lines_.Put(y - 1, LineText(y).substr(std::min(pieces[i].size(), LineText(y).size())));
    }
    const int lastPiece = pieces.empty() ? 0 : static_cast<int>(pieces.back().size());
    SetCaretXY({s.X - tabWidth_, s.Y});
    SetBlockBegin(CaretXY());
    SetBlockEnd({e.X - lastPiece, e.Y});
    break;
  }
  case urInsertion:
  case urPaste:
  case urMovement: {
    SetCaretXY(s);
    SelectRange(s, e);
    const std::string replaced = SelText();
    SetSelTextPrimitive(record.Mode, record.Text);
    TkxPoint end = CaretXY();
    if (record.Mode == smLine && end.X == 1) end = {charsInWindow_, end.Y - 1};
    undoList_.AddChange(record.Reason, s, end, replaced, record.Mode);
    break;
  }
  case urNone: break;
  }
}

// ---------------------------------------------------------------- bookmarks

void TkxEditCore::SetBookMark(int number, int column, int line) {
  if (number < 0 || number > 9 || line < 1 || line > LineCount()) return;
  auto mark = std::make_unique<TMark>(number);
  mark->SetLine(line);
  mark->SetColumn(column);
  mark->SetImageIndex(number);
  mark->SetVisible(true);
  mark->SetInternalImage(true);
  if (OnPlaceBookmark) OnPlaceBookmark(mark);
  if (mark) marks_.PlaceBookMark(std::move(mark));
}

void TkxEditCore::ClearBookMark(int number) { marks_.ClearBookMark(number); }

void TkxEditCore::GotoBookMark(int number) {
  const TMark* mark = marks_.BookMark(number);
  if (mark && mark->Line() <= LineCount()) SetCaretXY({mark->Column(), mark->Line()});
}

void TkxEditCore::ToggleBookMark(int number) {
  const TMark* mark = marks_.BookMark(number);
  const bool onCaretLine = mark && mark->Line() == CaretY();
  if (mark) ClearBookMark(number);
  if (!onCaretLine) SetBookMark(number, CaretX(), CaretY());
}
