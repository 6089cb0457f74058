// The editor's search and replace: walks a scope of the text line by line with the editor's search
// engine, selects each match, and replaces, skips or stops as the options and the prompt decide.
#pragma once

#include "EditorTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class EditState;
class PaintLockOwner;
class SearchEngine;
class TextDocument;
struct EditContext;

enum SearchFlag : std::uint8_t {
  ssoMatchCase = 1 << 0,
  ssoWholeWord = 1 << 1,
  ssoBackwards = 1 << 2,
  ssoEntireScope = 1 << 3,  // clear: the search starts at the caret
  ssoSelectedOnly = 1 << 4, // ignored when nothing is selected
  ssoReplace = 1 << 5,
  ssoReplaceAll = 1 << 6,
  ssoPrompt = 1 << 7,
};
using SearchFlags = std::uint8_t;

enum class ReplaceAction : std::uint8_t { Cancel, Skip, Replace, ReplaceAll };

// Asked before each replacement when prompting; `action` arrives as ReplaceAction::Cancel.
using ReplaceTextEvent = std::function<void(std::string_view search, std::string_view replace, int line,
                                            int column, ReplaceAction& action)>;

// One search-and-replace run on an editor's parts. The editor owns the engine and the event; the
// run holds the editor's paint lock while it replaces all.
class SearchRun {
public:
  SearchRun(EditContext& context, PaintLockOwner& lockOwner, SearchEngine& engine,
            const ReplaceTextEvent& onReplaceText);
  ~SearchRun();
  SearchRun(const SearchRun&) = delete;
  SearchRun& operator=(const SearchRun&) = delete;

  // Returns the number of matches visited (selected, replaced or skipped); 0 when nothing was
  // found or the search text is empty. A run is single use.
  int Run(std::string_view search, std::string_view replace, SearchFlags options);

private:
  // The searched region: matches must lie between the two points, in the rules of `mode`.
  struct Scope {
    TextPoint start;
    TextPoint end;
    SelectionMode mode = SelectionMode::Normal;
  };
  enum class Next { Stop, Continue };

  [[nodiscard]] Scope ScopeOf(SearchFlags options) const;
  void SearchForward();
  void SearchBackward();
  // A match at `column` of `line` lies in the scope and still in the line's text.
  [[nodiscard]] bool InScope(int line, int column) const;
  Next Visit(int line, int column);
  void SelectMatch(int line, int column);
  [[nodiscard]] ReplaceAction AskAction(int line, int column) const;
  void ReplaceAllFromHere();
  void TakePaintLock();
  void ReplaceMatch(int line, int column);

  EditContext& context_;
  TextDocument& document_;
  EditState& state_;
  PaintLockOwner& lockOwner_;
  SearchEngine& engine_;
  const ReplaceTextEvent& onReplaceText_;
  std::string search_;
  std::string replace_;
  Scope scope_;
  bool backwards_ = false;
  bool replacing_ = false;
  bool prompting_ = false;
  bool replacingAll_ = false;
  // How far the end of the scope moved on the current line through replacements on it.
  int endShift_ = 0;
  int count_ = 0;
  // Held from the start with ssoReplaceAll, or from the prompt's ReplaceAction::ReplaceAll on.
  bool paintLocked_ = false;
};
