// Copy, cut, paste of both clipboard kinds, and drag and drop within the editor.
#include "ClipboardCommands.h"

#include "ClipboardBlock.h"
#include "TextEditor.h"

#include <algorithm>

void ClipboardCommands::Copy() {
  if (!core_.SelAvail() || !clipboard_) return;
  if (!CopyTo(*clipboard_)) throw EditorError("Clipboard copy operation failed");
}

bool ClipboardCommands::CopyTo(ClipboardPort& target) const {
  const std::string text = core_.SelText();
  return target.PutText(text, EncodeClipboardBlock(core_.Mode(), text));
}

void ClipboardCommands::Cut() {
  if (!core_.SelAvail() || core_.ReadOnly()) return;
  Copy();
  core_.RemoveSelection(UndoKind::Deletion);
}

bool ClipboardCommands::CanPaste() const {
  return clipboard_ && (clipboard_->BlockData() || clipboard_->PlainText());
}

void ClipboardCommands::PasteFrom(ClipboardPort* source) {
  if (core_.ReadOnly() || !source) return;
  PaintLock lock(core_);
  TextPoint start = core_.SelAvail() ? core_.BlockBegin() : core_.CaretXY();
  if (core_.SelAvail() && core_.Mode() == SelectionMode::Line) start.X = 1;
  if (const std::optional<std::string> data = source->BlockData())
    PasteBlock(*data, start);
  else if (const std::optional<std::string> plain = source->PlainText())
    PastePlain(*plain, start);
  else
    return;
  core_.EnsureCursorPosVisible();
  core_.StatusChanged(stSelection);
}

void ClipboardCommands::PasteBlock(const std::string& data, TextPoint start) {
  const std::optional<ClipboardBlock> block = DecodeClipboardBlock(data);
  if (!block) throw EditorError("Clipboard paste operation failed.");
  if (core_.SelAvail()) core_.RemoveSelection(UndoKind::ReplacedSelection);
  TextPoint end;
  {
    // Lines paste before the start line; a block that ends with a whole line is recorded as lines.
    const bool lines = block->Mode == SelectionMode::Line;
    UndoStep step(core_.Document(), UndoKind::Paste, lines ? TextPoint{1, start.Y} : start, block->Mode);
    core_.SetSelTextPrimitive(block->Mode, block->Text);
    end = core_.CaretXY();
    step.SetEnd(end);
    if (lines && end.X != 1) step.SetMode(SelectionMode::Normal);
  }
  if (block->Mode == SelectionMode::Column)
    core_.SetCaretXY({std::min(start.X, end.X), std::max(start.Y, end.Y) + 1});
}

void ClipboardCommands::PastePlain(const std::string& text, TextPoint start) {
  if (core_.SelAvail()) core_.RemoveSelection(UndoKind::ReplacedSelection);
  UndoStep step(core_.Document(), UndoKind::Paste, start);
  core_.SetSelTextPrimitive(SelectionMode::Normal, ConvertPastedPlainText(text, core_.IndentWithTabs()));
  step.SetEnd(core_.CaretXY());
}

void ClipboardCommands::Drop(TextPoint drop, bool copy) {
  if (core_.ReadOnly() || !core_.SelAvail() || core_.InsideSelection(drop)) return;
  PaintLock lock(core_);
  FreeCaret freeCaret(core_);
  const SelectionMode mode = core_.Mode();
  const std::string text = core_.SelText();
  if (!copy) {
    const TextPoint b = core_.BlockBegin();
    const TextPoint e = core_.BlockEnd();
    core_.RemoveSelection(UndoKind::DragRemoval);
    // The drop point moves with the text the removal closed up before it.
    if (mode == SelectionMode::Column) {
      const int left = std::min(b.X, e.X);
      const int right = std::max(b.X, e.X);
      if (drop.Y >= b.Y && drop.Y <= e.Y && drop.X >= right) drop.X -= right - left;
    } else if (mode == SelectionMode::Line) {
      if (drop.Y > e.Y) drop.Y -= e.Y - b.Y + 1;
    } else if (!PointBefore(drop, e)) {
      if (drop.Y == e.Y) drop.X = b.X + drop.X - e.X;
      drop.Y -= e.Y - b.Y;
    }
  }
  core_.SetCaretXY(drop);
  core_.SetBlockBegin(core_.CaretXY());
  const TextPoint start = core_.CaretXY();
  TextPoint end;
  {
    UndoStep step(core_.Document(), UndoKind::DropInsertion, start, mode);
    core_.SetSelTextPrimitive(mode, text);
    end = core_.CaretXY();
    step.SetEnd(end);
  }
  core_.SelectRange(start, end);
}
