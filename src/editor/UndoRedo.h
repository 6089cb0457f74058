// Undo and redo on the editor: a record's text changes are reverted or made again by the document;
// its kind decides where the caret and the selection go, and which records go back together.
#pragma once

#include "UndoList.h"

class TextEditor;

class UndoRedo {
public:
  explicit UndoRedo(TextEditor& core) : core_(core) {}

  void Undo();
  void Redo();

private:
  // Takes the newest record off the undo (or redo) list, reverts (or remakes) it, places the
  // caret and stores what was done on the other list; returns the record's kind, UndoKind::None for none.
  UndoKind Step(bool undo);
  void PlaceAfterUndo(const UndoRecord& record);
  void PlaceAfterRedo(const UndoRecord& record);

  TextEditor& core_;
};
