// The Find, Replace, Search Again and Goto Line Number commands on the active editor window,
// with the search options they remember between uses.
#pragma once

#include "Dialogs.h"
#include "SearchRun.h"

#include <string>

class EditorWindowPort;
class FindReplaceDialog;
class GoToLineDialog;
class UserQuestions;
class WindowCommands;

class SearchCommands {
public:
  SearchCommands(WindowCommands& windows, UserQuestions& questions, DialogRunner run,
                 FindReplaceDialog& findDialog, GoToLineDialog& goToLineDialog);

  // Find (tag 0) and Replace (tag 1).
  void ShowFindDialog(int tag);
  void SearchAgain();
  void GoToLine();
  // Goto Line Number offers the caret's line; otherwise the number entered last.
  void SetGoToLineStartsAtCaret(bool value) { goToLineStartsAtCaret_ = value; }

  // The option bits of the last confirmed Find or Replace; zero at start.
  [[nodiscard]] SearchFlags SearchOptions() const { return SearchOptions_; }

private:
  // Runs the search on `editor` and says so when nothing was found.
  void Search(EditorWindowPort& editor, SearchFlags options);

  WindowCommands& windows_;
  UserQuestions& questions_;
  DialogRunner run_;
  FindReplaceDialog& findDialog_;
  GoToLineDialog& goToLineDialog_;
  SearchFlags SearchOptions_ = 0;
  bool goToLineStartsAtCaret_ = false;
};
