// What one view edits a document with: the caret, the selection (its anchor, its moving end and
// its mode) and the modes (insert, read-only, options, tab width). A plain model: it keeps its
// points inside the text and tells its watcher, the editor, what changed.
#pragma once

#include "DisplayColumns.h"
#include "EditorTypes.h"
#include "TextDocument.h"

#include <algorithm>
#include <string>
#include <utility>

// What a change of the caret, the selection or the modes asks of whatever shows them.
class EditStateWatcher {
public:
  virtual ~EditStateWatcher() = default;
  // The caret moved; `changes` says whether its column, its line or both.
  virtual void CaretMoved(StatusChanges changes) = 0;
  // Lines first ... last (1-based) show the selection differently.
  virtual void SelectionLinesChanged(int first, int last) = 0;
  // The whole text looks different (the selection mode of a selection, options, tab width).
  virtual void LookChanged() = 0;
  // The caret looks different (insert mode, options).
  virtual void CaretLookChanged() = 0;
  virtual void StatusChanged(StatusChanges changes) = 0;
};

class EditState {
public:
  // The fewest columns a view scrolls over and the caret may stand in past a line's end.
  static constexpr int MaxLeftChar = LineList::LongLine;

  explicit EditState(const TextDocument& document) : document_(document) {}
  EditState(const EditState&) = delete;
  EditState& operator=(const EditState&) = delete;

  void SetWatcher(EditStateWatcher* watcher) { watcher_ = watcher; }

  // How the document's bytes read: UTF-8 only under the desktop conventions.
  [[nodiscard]] TextEncoding Encoding() const {
    return HasOption(eoDesktopKeys) ? document_.Encoding() : TextEncoding::Windows1252;
  }

  // --- the caret: 1-based column (byte index + 1, never inside a character) and line
  [[nodiscard]] int CaretX() const { return caret_.X; }
  [[nodiscard]] int CaretY() const { return caret_.Y; }
  [[nodiscard]] TextPoint CaretXY() const { return caret_; }
  // Clamped to the text: to the line's end unless the caret may stand past it.
  void SetCaretXY(TextPoint value);
  void SetCaretX(int value) { SetCaretXY({value, caret_.Y}); }
  void SetCaretY(int value) { SetCaretXY({caret_.X, value}); }
  // The screen column the caret stands in, tabs expanded.
  [[nodiscard]] int CaretDisplayColumn() const {
    return DisplayColumn(document_.LineText(caret_.Y), tabWidth_, caret_.X, Encoding());
  }
  // The position on `line` nearest to screen column `displayColumn`.
  [[nodiscard]] TextPoint AtDisplayColumn(int line, int displayColumn) const {
    return {NearestByteColumn(document_.LineText(line), tabWidth_, displayColumn - 1, Encoding()), line};
  }
  // The screen columns a view scrolls over: MaxLeftChar, or the widest line with the caret after it.
  [[nodiscard]] int ScrollWidth() const {
    return std::max(MaxLeftChar, document_.Lines().WidestLongLine() + 1);
  }
  // The byte column on `line` that stands in the last screen column a view scrolls over.
  [[nodiscard]] int LastScrollColumn(int line) const;

  // --- the selection
  [[nodiscard]] TextPoint BlockBegin() const; // the earlier point
  [[nodiscard]] TextPoint BlockEnd() const;   // the later point
  [[nodiscard]] TextPoint SelectionAnchor() const { return anchor_; }
  [[nodiscard]] TextPoint SelectionMovingEnd() const { return movingEnd_; }
  // Collapses the selection at `point` (clamped).
  void SetBlockBegin(TextPoint point);
  // Moves the selection's moving end to `point` (clamped).
  void SetBlockEnd(TextPoint point);
  void SelectRange(TextPoint from, TextPoint to);
  [[nodiscard]] bool SelAvail() const;
  [[nodiscard]] SelectionMode Mode() const { return mode_; }
  void SetMode(SelectionMode value);
  // Reports the selection as changed even when it stayed, as selecting something does.
  void NoteSelection() { Tell(&EditStateWatcher::StatusChanged, stSelection); }
  // The ordered selection of a block command and the last line it touches (a selection ending in
  // column 1 leaves that line alone).
  struct BlockExtent {
    TextPoint begin;
    TextPoint end;
    int lastLine;
  };
  [[nodiscard]] BlockExtent BlockSpan() const;
  // The byte columns [first, last) a column selection covers on `line`: the bytes whose screen
  // columns start between those of its two corners.
  [[nodiscard]] std::pair<int, int> ColumnBlockOn(int line) const;
  [[nodiscard]] bool InsideSelection(TextPoint position) const;
  // Keeps the selection on the same text while another view edits it, without a report: the text
  // it lies in is changing. The caller moves the caret along once the edit is done.
  void FollowSelection(const TextSpanChange& change) {
    anchor_ = Moved(anchor_, change);
    movingEnd_ = Moved(movingEnd_, change);
  }

  // --- the modes
  [[nodiscard]] bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool value);
  [[nodiscard]] bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  [[nodiscard]] EditorOptions Options() const { return options_; }
  void SetOptions(EditorOptions value);
  [[nodiscard]] bool HasOption(EditorOption option) const { return (options_ & option) != 0; }
  [[nodiscard]] int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  // The Tab key, block indent and paste put tab characters in the text rather than blanks.
  [[nodiscard]] bool IndentWithTabs() const { return indentWithTabs_; }
  void SetIndentWithTabs(bool value) { indentWithTabs_ = value; }
  // What block indent puts before each line: a tab, or blanks as wide as one.
  [[nodiscard]] std::string IndentUnit() const {
    return indentWithTabs_ ? "\t" : std::string(static_cast<std::size_t>(std::max(tabWidth_, 1)), ' ');
  }

private:
  friend class FreeCaret;
  friend class ModeScope;

  [[nodiscard]] bool CaretPastEolAllowed() const { return caretPastEol_ || HasOption(eoScrollPastEol); }
  void ClampPoint(TextPoint& point) const;
  template <typename... Params, typename... Args>
  void Tell(void (EditStateWatcher::*event)(Params...), Args... args) {
    if (watcher_) (watcher_->*event)(args...);
  }

  const TextDocument& document_;
  EditStateWatcher* watcher_ = nullptr;
  TextPoint caret_{1, 1};
  TextPoint anchor_{1, 1};
  TextPoint movingEnd_{1, 1};
  SelectionMode mode_ = SelectionMode::Normal;
  bool insertMode_ = true;
  bool readOnly_ = false;
  EditorOptions options_ = kDefaultEditorOptions;
  int tabWidth_ = 8;
  bool indentWithTabs_ = false;
  // Lets the caret stand past the line end while a command works, whatever the options say.
  bool caretPastEol_ = false;
};

// Lets the caret stand past the end of its line for a scope, whatever the options say; clamps it
// again when the scope ends.
class FreeCaret {
public:
  explicit FreeCaret(EditState& state) : state_(state), saved_(state.caretPastEol_) {
    state_.caretPastEol_ = true;
  }
  ~FreeCaret() {
    state_.caretPastEol_ = saved_;
    state_.SetCaretXY(state_.CaretXY());
  }
  FreeCaret(const FreeCaret&) = delete;
  FreeCaret& operator=(const FreeCaret&) = delete;

private:
  EditState& state_;
  bool saved_;
};

// Works in another selection mode for a scope, without the repaint and status a mode change makes.
class ModeScope {
public:
  ModeScope(EditState& state, SelectionMode mode) : state_(state), saved_(state.mode_) {
    state_.mode_ = mode;
  }
  ~ModeScope() { state_.mode_ = saved_; }
  ModeScope(const ModeScope&) = delete;
  ModeScope& operator=(const ModeScope&) = delete;

private:
  EditState& state_;
  SelectionMode saved_;
};
