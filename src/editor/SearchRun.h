// The editor's search and replace: walks a scope of the text line by line with the editor's search
// engine, selects each match, and replaces, skips or stops as the options and the prompt decide.
#pragma once

#include "EditorTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class EditState;
class PaintLockOwner;
class RegexReplacement;
class RegexSearch;
class SearchEngine;
class TextDocument;
struct EditContext;

enum SearchFlag : std::uint16_t {
  ssoMatchCase = 1 << 0,
  ssoWholeWord = 1 << 1,
  ssoBackwards = 1 << 2,
  ssoEntireScope = 1 << 3,  // clear: the search starts at the caret
  ssoSelectedOnly = 1 << 4, // ignored when nothing is selected
  ssoReplace = 1 << 5,
  ssoReplaceAll = 1 << 6,
  ssoPrompt = 1 << 7,
  // The search text is a regular expression, the replacement may name its groups (\1).
  ssoRegularExpression = 1 << 8,
};
using SearchFlags = std::uint16_t;

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
  // A match on a line: its 1-based column, its length in bytes and what replaces it.
  struct Match {
    int column;
    int length;
    std::string replacement;
  };

  [[nodiscard]] Scope ScopeOf(SearchFlags options) const;
  // The matches in `text`, left to right.
  [[nodiscard]] std::vector<Match> MatchesIn(const std::string& text);
  void SearchForward();
  void SearchBackward();
  // Replaces every match of the scope without a prompt, each line rewritten once, in one undo
  // step (eoGroupUndo): the time grows with the text, not with the matches times the line's
  // length. Otherwise each replacement is a step of its own.
  void ReplaceAllAtOnce();
  // A match on `line` lies in the scope and still in the line's text.
  [[nodiscard]] bool InScope(int line, const Match& match) const;
  Next Visit(int line, const Match& match);
  void SelectMatch(int line, const Match& match);
  [[nodiscard]] ReplaceAction AskAction(int line, int column) const;
  void ReplaceAllFromHere();
  void TakePaintLock();
  void ReplaceMatch(int line, const Match& match);

  EditContext& context_;
  TextDocument& document_;
  EditState& state_;
  PaintLockOwner& lockOwner_;
  SearchEngine& engine_;
  // With ssoRegularExpression: the pattern, and the replacement with its groups.
  std::unique_ptr<RegexSearch> regex_;
  std::unique_ptr<RegexReplacement> replacement_;
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
