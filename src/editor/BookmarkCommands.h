// The ten numbered bookmarks as the editor's commands set, toggle and jump to them.
#pragma once

#include "KeyMap.h"

class TextEditor;

class BookmarkCommands {
public:
  explicit BookmarkCommands(TextEditor& core) : core_(core) {}

  // ecGotoMarker0 ... 9 and ecSetMarker0 ... 9 (these only while the keys are enabled); false for
  // any other command.
  bool Execute(EditorCommand command);
  // Places bookmark `number` (0 ... 9) on an existing line, as the editor's OnPlaceBookmark lets it.
  void Set(int number, int column, int line);
  // Moves the caret to bookmark `number` while its line exists.
  void Goto(int number);

private:
  // Clears the bookmark from the caret line, or sets it there.
  void Toggle(int number);

  TextEditor& core_;
};
