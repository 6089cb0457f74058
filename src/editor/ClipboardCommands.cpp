// Copy, cut, paste of both clipboard kinds, and drag and drop within the editor.
#include "ClipboardCommands.h"

#include "kxBlockClipboard.h"
#include "kxEditCore.h"

#include <algorithm>

void ClipboardCommands::Copy() {
  if (!core_.SelAvail() || !clipboard_) return;
  if (!CopyTo(*clipboard_)) throw EkxEditError("Clipboard copy operation failed");
}

bool ClipboardCommands::CopyTo(TkxClipboardPort& target) const {
  const std::string text = core_.SelText();
  return target.PutText(text, EncodeClipboardBlock(core_.SelectionMode(), text));
}

void ClipboardCommands::Cut() {
  if (!core_.SelAvail() || core_.ReadOnly()) return;
  Copy();
  core_.RemoveSelection(urDeletion);
}

bool ClipboardCommands::CanPaste() const {
  return clipboard_ && (clipboard_->BlockData() || clipboard_->PlainText());
}

void ClipboardCommands::PasteFrom(TkxClipboardPort* source) {
  if (core_.ReadOnly() || !source) return;
  TkxPaintLock lock(core_);
  TkxPoint start = core_.SelAvail() ? core_.BlockBegin() : core_.CaretXY();
  if (core_.SelAvail() && core_.SelectionMode() == smLine) start.X = 1;
  if (const std::optional<std::string> data = source->BlockData())
    PasteBlock(*data, start);
  else if (const std::optional<std::string> plain = source->PlainText())
    PastePlain(*plain, start);
  else
    return;
  core_.EnsureCursorPosVisible();
  core_.StatusChanged(stSelection);
}

void ClipboardCommands::PasteBlock(const std::string& data, TkxPoint start) {
  const std::optional<TkxClipboardBlock> block = DecodeClipboardBlock(data);
  if (!block) throw EkxEditError("Clipboard paste operation failed.");
  if (core_.SelAvail()) core_.RemoveSelection(urCut);
  TkxPoint end;
  {
    // Lines paste before the start line; a block that ends with a whole line is recorded as lines.
    const bool lines = block->Mode == smLine;
    UndoStep step(core_.Document(), urPaste, lines ? TkxPoint{1, start.Y} : start, block->Mode);
    core_.SetSelTextPrimitive(block->Mode, block->Text);
    end = core_.CaretXY();
    step.SetEnd(end);
    if (lines && end.X != 1) step.SetMode(smNormal);
  }
  if (block->Mode == smColumn) core_.SetCaretXY({std::min(start.X, end.X), std::max(start.Y, end.Y) + 1});
}

void ClipboardCommands::PastePlain(const std::string& text, TkxPoint start) {
  if (core_.SelAvail()) core_.RemoveSelection(urCut);
  UndoStep step(core_.Document(), urPaste, start);
  core_.SetSelTextPrimitive(smNormal, ConvertPastedPlainText(text, core_.IndentWithTabs()));
  step.SetEnd(core_.CaretXY());
}

void ClipboardCommands::Drop(TkxPoint drop, bool copy) {
  if (core_.ReadOnly() || !core_.SelAvail() || core_.InsideSelection(drop)) return;
  TkxPaintLock lock(core_);
  TkxFreeCaret freeCaret(core_);
  const TSelectionMode mode = core_.SelectionMode();
  const std::string text = core_.SelText();
  if (!copy) {
    const TkxPoint b = core_.BlockBegin();
    const TkxPoint e = core_.BlockEnd();
    core_.RemoveSelection(urMovementDelete);
    // The drop point moves with the text the removal closed up before it.
    if (mode == smColumn) {
      const int left = std::min(b.X, e.X);
      const int right = std::max(b.X, e.X);
      if (drop.Y >= b.Y && drop.Y <= e.Y && drop.X >= right) drop.X -= right - left;
    } else if (mode == smLine) {
      if (drop.Y > e.Y) drop.Y -= e.Y - b.Y + 1;
    } else if (!PointBefore(drop, e)) {
      if (drop.Y == e.Y) drop.X = b.X + drop.X - e.X;
      drop.Y -= e.Y - b.Y;
    }
  }
  core_.SetCaretXY(drop);
  core_.SetBlockBegin(core_.CaretXY());
  const TkxPoint start = core_.CaretXY();
  TkxPoint end;
  {
    UndoStep step(core_.Document(), urMovement, start, mode);
    core_.SetSelTextPrimitive(mode, text);
    end = core_.CaretXY();
    step.SetEnd(end);
  }
  core_.SelectRange(start, end);
}
