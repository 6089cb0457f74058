// The Find, Replace, Search Again and Goto Line Number commands on the active editor window,
// with the search options they remember between uses.
#pragma once

#include "config.h"
#include "kxSearchReplace.h"

#include <string>

class EditorWindowPort;
class MainActions;
class UserQuestions;
class WindowCommands;
struct SharedDialogs;

class SearchCommands {
public:
  // The dialogs are looked up in `dialogs` when a command runs: they are made after the commands
  // are wired.
  SearchCommands(MainActions& actions, WindowCommands& windows, UserQuestions& questions, DialogRunner run,
                 const SharedDialogs& dialogs);

  // Find (tag 0) and Replace (tag 1).
  void FindActionExecute(int tag);
  void SearchAgainActionExecute();
  void GotoLineNumberActionExecute();

  // The option bits of the last confirmed Find or Replace; zero at start.
  [[nodiscard]] TkxSearchOptions SearchOptions() const { return SearchOptions_; }

private:
  void Wire();
  // Runs the search on `editor` and says so when nothing was found.
  void Search(EditorWindowPort& editor, TkxSearchOptions options);

  MainActions& actions_;
  WindowCommands& windows_;
  UserQuestions& questions_;
  DialogRunner run_;
  const SharedDialogs& dialogs_;
  TkxSearchOptions SearchOptions_ = 0;
};
