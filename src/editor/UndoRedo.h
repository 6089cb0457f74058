// Undo and redo on the editor: a record's text changes are reverted or made again by the document;
// its kind decides where the caret and the selection go, and which records go back together.
#pragma once

#include "kxUndoList.h"

class TkxEditCore;

class UndoRedo {
public:
  explicit UndoRedo(TkxEditCore& core) : core_(core) {}

  void Undo();
  void Redo();

private:
  // Takes the newest record off the undo (or redo) list, reverts (or remakes) it, places the
  // caret and stores what was done on the other list; returns the record's kind, urNone for none.
  TUndoReason Step(bool undo);
  void PlaceAfterUndo(const TUndoRecord& record);
  void PlaceAfterRedo(const TUndoRecord& record);

  TkxEditCore& core_;
};
