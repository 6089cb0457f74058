// The editor's view core: a view of a TextDocument with the caret, the selection, the scroll
// position, the metrics, the paint lock with its repaint requests and status events, and the
// dispatch of editor commands to the classes that carry them out. It knows no widget: whatever
// shows it implements EditView.
#pragma once

#include "BookmarkCommands.h"
#include "CaretMoves.h"
#include "ClipboardCommands.h"
#include "DisplayColumns.h"
#include "EditView.h"
#include "EditingCommands.h"
#include "GutterLayout.h"
#include "KeyMap.h"
#include "Scrolling.h"
#include "SearchEngine.h"
#include "SearchRun.h"
#include "SelectionText.h"
#include "TextDocument.h"
#include "UndoRedo.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Canvas;
class TextEditor;

// Holds an editor's paint lock for a scope, also when an exception passes.
class PaintLock {
public:
  explicit PaintLock(TextEditor& core);
  ~PaintLock();
  PaintLock(const PaintLock&) = delete;
  PaintLock& operator=(const PaintLock&) = delete;

private:
  TextEditor& core_;
};

// Lets the caret stand past the end of its line for a scope, whatever the options say; clamps it
// again when the scope ends.
class FreeCaret {
public:
  explicit FreeCaret(TextEditor& core);
  ~FreeCaret();
  FreeCaret(const FreeCaret&) = delete;
  FreeCaret& operator=(const FreeCaret&) = delete;

private:
  TextEditor& core_;
  bool saved_;
};

// Works in another selection mode for a scope, without the repaint and status a mode change makes.
class ModeScope {
public:
  ModeScope(TextEditor& core, SelectionMode mode);
  ~ModeScope();
  ModeScope(const ModeScope&) = delete;
  ModeScope& operator=(const ModeScope&) = delete;

private:
  TextEditor& core_;
  SelectionMode saved_;
};

class TextEditor : private DocumentWatcher {
public:
  // The fewest columns the view scrolls over and the caret may stand in past a line's end.
  static constexpr int MaxLeftChar = LineList::LongLine;

  TextEditor();
  ~TextEditor() override;
  TextEditor(const TextEditor&) = delete;
  TextEditor& operator=(const TextEditor&) = delete;

  // --- the document shown
  [[nodiscard]] TextDocument& Document() { return document_; }
  [[nodiscard]] const TextDocument& Document() const { return document_; }
  [[nodiscard]] const LineList& Lines() const { return document_.Lines(); }
  [[nodiscard]] int LineCount() const { return document_.LineCount(); }
  // The text of a 1-based line; empty for lines that do not exist.
  [[nodiscard]] const std::string& LineText(int line) const { return document_.LineText(line); }

  // --- caret and view
  [[nodiscard]] int CaretX() const { return caretX_ + 1; }
  [[nodiscard]] int CaretY() const { return caretY_ + 1; }
  [[nodiscard]] TextPoint CaretXY() const { return {CaretX(), CaretY()}; }
  void SetCaretX(int value) { SetCaretXY({value, CaretY()}); }
  void SetCaretY(int value) { SetCaretXY({CaretX(), value}); }
  void SetCaretXY(TextPoint value);
  // The screen column the caret stands in, tabs expanded.
  [[nodiscard]] int CaretDisplayColumn() const {
    return DisplayColumn(LineText(CaretY()), tabWidth_, CaretX());
  }
  // The position on `line` nearest to screen column `displayColumn`.
  [[nodiscard]] TextPoint AtDisplayColumn(int line, int displayColumn) const {
    return {NearestByteColumn(LineText(line), tabWidth_, displayColumn - 1), line};
  }
  void EnsureCursorPosVisible();
  // The columns the view scrolls over: MaxLeftChar, or the longest line with the caret after it.
  [[nodiscard]] int ScrollWidth() const { return std::max(MaxLeftChar, Lines().LongestLongLine() + 1); }
  [[nodiscard]] int TopLine() const { return topLine_ + 1; }
  void SetTopLine(int value);
  [[nodiscard]] int LeftChar() const { return leftChar_ + 1; }
  void SetLeftChar(int value);

  // --- selection
  [[nodiscard]] TextPoint BlockBegin() const; // earlier point
  [[nodiscard]] TextPoint BlockEnd() const;   // later point
  [[nodiscard]] TextPoint SelectionAnchor() const { return blockBegin_; }
  [[nodiscard]] TextPoint SelectionMovingEnd() const { return blockEnd_; }
  // Collapses the selection at `point` (clamped).
  void SetBlockBegin(TextPoint point);
  // Moves the selection's moving end to `point` (clamped).
  void SetBlockEnd(TextPoint point);
  void SelectRange(TextPoint from, TextPoint to);
  [[nodiscard]] bool SelAvail() const;
  void SelectAll();
  [[nodiscard]] SelectionMode Mode() const { return selectionMode_; }
  void SetMode(SelectionMode value);
  // Caret and selection moves shared by the movement commands.
  void MoveCaretAndSelection(TextPoint from, TextPoint to, bool selecting);
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

  // --- editing
  [[nodiscard]] SelectionText& Selection() { return selection_; }
  [[nodiscard]] std::string SelText() const { return selection_.Text(); }
  // Replaces the selection by `value` in normal mode, recording it for undo.
  void SetSelText(std::string_view value) { editing_.SetSelText(value, HasOption(eoScrollPastEol)); }
  // The same as a search replacement does it: the blanks after the selection stay, as later
  // matches may be made of them.
  void ReplaceSelText(std::string_view value) { editing_.SetSelText(value, false); }
  // Removes the selection (in the current mode) and inserts `text` (up to a NUL) in `mode`,
  // leaving the caret after it. Records nothing of its own.
  void SetSelTextPrimitive(SelectionMode mode, std::string_view text);
  // Removes the selection as one undo step of `reason`.
  void RemoveSelection(UndoKind reason) { editing_.RemoveSelection(reason); }
  [[nodiscard]] bool InsideSelection(TextPoint position) const { return selection_.Contains(position); }
  // Moves (or with `copy` copies) the selected text to `drop`, as a drag and drop within the
  // editor does; a drop inside the selection does nothing.
  void DropSelection(TextPoint drop, bool copy) { clipboardCommands_.Drop(drop, copy); }
  [[nodiscard]] int LeadingBlanks(const std::string& line) const { return editing_.LeadingBlanks(line); }

  // --- search: searches, and with the replace bits replaces; returns the matches visited
  int SearchReplace(std::string_view search, std::string_view replace, SearchFlags options);

  // --- clipboard
  void CopyToClipboard() { clipboardCommands_.Copy(); }
  void CutToClipboard() { clipboardCommands_.Cut(); }
  void PasteFromClipboard() { clipboardCommands_.Paste(); }
  // Pastes what another clipboard holds, such as the X11 primary selection.
  void PasteFrom(ClipboardPort& source) { clipboardCommands_.PasteFrom(&source); }
  [[nodiscard]] bool CopySelectionTo(ClipboardPort& target) const {
    return clipboardCommands_.CopyTo(target);
  }
  [[nodiscard]] bool CanPaste() const { return clipboardCommands_.CanPaste(); }
  void SetClipboard(ClipboardPort* clipboard) { clipboardCommands_.SetClipboard(clipboard); }

  // --- undo and redo
  void Undo() { undoRedo_.Undo(); }
  void Redo() { undoRedo_.Redo(); }
  [[nodiscard]] bool CanUndo() const { return document_.CanUndo(); }
  [[nodiscard]] bool CanRedo() const { return document_.CanRedo(); }
  void ClearUndo() { document_.ClearUndo(); }
  [[nodiscard]] int MaxUndo() const { return document_.MaxUndo(); }
  void SetMaxUndo(int value) { document_.SetMaxUndo(value); }
  [[nodiscard]] const UndoList& UndoRecords() const { return document_.UndoRecords(); }
  [[nodiscard]] const UndoList& RedoRecords() const { return document_.RedoRecords(); }

  // --- bookmarks
  void SetBookMark(int number, int column, int line) { bookmarks_.Set(number, column, line); }
  void ClearBookMark(int number) { document_.Marks().ClearBookMark(number); }
  [[nodiscard]] MarkList& Marks() { return document_.Marks(); }
  [[nodiscard]] const MarkList& Marks() const { return document_.Marks(); }
  [[nodiscard]] BookmarkOptions& BookMarkOptions() { return bookMarkOptions_; }
  [[nodiscard]] const BookmarkOptions& BookMarkOptions() const { return bookMarkOptions_; }

  // --- words
  [[nodiscard]] WordCharSet WordChars() const;
  [[nodiscard]] TextPoint NextWordPos() const { return moves_.NextWordPos(); }
  [[nodiscard]] TextPoint PrevWordPos() const { return moves_.PrevWordPos(); }
  // Selects the word at the caret, as a double click does.
  void SelectWordAtCaret() { moves_.SelectWordAtCaret(); }

  // --- the bracket beside the caret (right of it, else left of it) and its match within a
  // window's height, as ecMatchBracket pairs them; shown highlighted
  struct BracketPair {
    TextPoint bracket;
    TextPoint match;
    bool operator==(const BracketPair&) const = default;
  };
  [[nodiscard]] std::optional<BracketPair> MatchedBrackets() const { return shownBrackets_; }
  [[nodiscard]] ColorValue MatchedBracketColor() const { return matchedBracketColor_; }
  void SetMatchedBracketColor(ColorValue value) { SetAndRepaint(matchedBracketColor_, value); }

  // --- modes and options
  [[nodiscard]] bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool value);
  [[nodiscard]] bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  [[nodiscard]] EditorOptions Options() const { return options_; }
  void SetOptions(EditorOptions value);
  [[nodiscard]] bool HasOption(EditorOption option) const { return (options_ & option) != 0; }
  [[nodiscard]] bool Modified() const { return document_.Modified(); }
  void SetModified(bool value) { document_.SetModified(value); }
  [[nodiscard]] int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value) { SetAndRepaint(tabWidth_, value); }
  // The Tab key, block indent and paste put tab characters in the text rather than blanks.
  [[nodiscard]] bool IndentWithTabs() const { return indentWithTabs_; }
  void SetIndentWithTabs(bool value) { indentWithTabs_ = value; }
  // What block indent puts before each line: a tab, or blanks as wide as one.
  [[nodiscard]] std::string IndentUnit() const {
    return indentWithTabs_ ? "\t" : std::string(static_cast<std::size_t>(std::max(tabWidth_, 1)), ' ');
  }
  [[nodiscard]] int RightEdge() const { return rightEdge_; }
  void SetRightEdge(int value) { SetAndRepaint(rightEdge_, value); }
  [[nodiscard]] ColorValue RightEdgeColor() const { return rightEdgeColor_; }
  void SetRightEdgeColor(ColorValue value) { SetAndRepaint(rightEdgeColor_, value); }
  [[nodiscard]] bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value) { SetAndRepaint(hideSelection_, value); }
  [[nodiscard]] ColorValue Color() const { return color_; }
  void SetColor(ColorValue value) { SetAndRepaint(color_, value); }
  [[nodiscard]] ColorValue FontColor() const { return fontColor_; }
  void SetFontColor(ColorValue value) { SetAndRepaint(fontColor_, value); }
  [[nodiscard]] GutterLayout& Gutter() { return gutter_; }
  [[nodiscard]] const GutterLayout& Gutter() const { return gutter_; }
  [[nodiscard]] SelectionColors& SelectedColor() { return selectedColor_; }
  [[nodiscard]] const SelectionColors& SelectedColor() const { return selectedColor_; }
  [[nodiscard]] KeyMap& Keystrokes() { return keystrokes_; }

  // --- highlighter (not owned; dropped automatically when it is destroyed)
  [[nodiscard]] Highlighter* HighLighter() const { return document_.HighLighter(); }
  void SetHighLighter(Highlighter* value) { document_.SetHighLighter(value); }
  // Every style any highlighter attribute uses (the cell must fit bold and italic glyphs).
  [[nodiscard]] FontStyles AttributeStyles() const;

  // --- metrics, set by the view
  // Cell width and font height in pixels (the view measures its font).
  void SetFontMetrics(int charWidth, int fontHeight);
  void SetClientSize(int width, int height);
  [[nodiscard]] int CharWidth() const { return charWidth_; }
  [[nodiscard]] int LineHeight() const { return fontHeight_; }
  [[nodiscard]] int ClientWidth() const { return clientWidth_; }
  [[nodiscard]] int ClientHeight() const { return clientHeight_; }
  [[nodiscard]] int CharsInWindow() const { return charsInWindow_; }
  [[nodiscard]] int LinesInWindow() const { return linesInWindow_; }
  [[nodiscard]] int GutterWidth() const { return gutterWidth_; }
  // x pixel of column 1 (negative when scrolled right).
  [[nodiscard]] int TextOffset() const { return gutterWidth_ + 2 - leftChar_ * charWidth_; }
  // The (column, line) under a client pixel.
  [[nodiscard]] TextPoint PixelsToRowColumn(int x, int y) const;
  // The client pixel of a (column, line) position's top-left corner.
  [[nodiscard]] TextPoint RowColumnToPixels(TextPoint position) const;

  // --- scrolling
  [[nodiscard]] ScrollBarInfo VerticalScrollInfo() const { return scrolling_.VerticalInfo(); }
  [[nodiscard]] ScrollBarInfo HorizontalScrollInfo() const { return scrolling_.HorizontalInfo(); }
  void VerticalScroll(ScrollAction action, int thumbPos = 0) { scrolling_.Vertical(action, thumbPos); }
  void HorizontalScroll(ScrollAction action, int thumbPos = 0) { scrolling_.Horizontal(action, thumbPos); }
  // Wheel delta in 1/120 notches; `wheelLines` is the system setting (negative: a page).
  void MouseWheel(int delta, bool ctrl, int wheelLines) { scrolling_.MouseWheel(delta, ctrl, wheelLines); }

  // --- commands
  void ExecuteCommand(EditorCommand command, char ch = 0, const void* data = nullptr);
  // The editor's key handling: true when the key produced a command.
  bool KeyDown(std::uint16_t key, ShiftState shift);
  // The editor's character handling.
  void KeyPress(char ch);

  // --- paint lock and repaints
  void IncPaintLock() { ++paintLock_; }
  void DecPaintLock();
  [[nodiscard]] bool LinesChanging() const { return linesChanging_; }
  // 1-based lines; (-1, -1) means all.
  void InvalidateLines(int first, int last);
  void InvalidateGutterLines(int first, int last);
  void InvalidateLine(int line) { InvalidateLines(line, line); }
  void InvalidateAll();
  // What painting a clip rectangle covers.
  [[nodiscard]] PixelRect TextAreaRect() const;

  // --- events
  std::function<void()> OnChange;
  std::function<void()> OnSelectionChange;
  std::function<void(StatusChanges)> OnStatusChange;
  std::function<void(EditorCommand& command, char& ch, const void* data)> OnProcessCommand;
  std::function<void(EditorCommand& command, char& ch, const void* data)> OnProcessUserCommand;
  std::function<void()> OnCommandDone;
  std::function<void(int line, bool& special, ColorValue& fg, ColorValue& bg)> OnSpecialLineColors;
  std::function<void(Canvas& canvas)> OnPaint;
  std::function<void(int x, int y, const std::vector<std::string>& files)> OnDropFiles;
  std::function<void(int x, int y, int line, Mark* mark)> OnGutterClick;
  // The handler may change the new bookmark or take it away (nothing is placed then).
  std::function<void(std::unique_ptr<Mark>& mark)> OnPlaceBookmark;
  // Asked before each replacement when SearchReplace prompts.
  ReplaceTextEvent OnReplaceText;

  void SetView(EditView* view) { view_ = view; }
  [[nodiscard]] EditView* View() const { return view_; }
  // Raises status bits; they are reported when no paint lock is held.
  void StatusChanged(StatusChanges changes);

private:
  friend class FreeCaret;
  friend class ModeScope;

  // Stores a display property and repaints when it changed.
  template <typename T> void SetAndRepaint(T& member, T value) {
    if (member == value) return;
    member = value;
    InvalidateAll();
  }
  [[nodiscard]] bool CaretPastEolAllowed() const { return caretPastEol_ || HasOption(eoScrollPastEol); }
  // Carries out one command inside the paint lock.
  void CarryOutCommand(EditorCommand command, char ch, const void* data);
  bool ExecuteViewCommand(EditorCommand command);
  // Recomputes gutter width and the chars and lines that fit.
  void UpdateLayout();
  void UpdateScrollBarsOrFlag();
  void UpdateCaretOrFlag();
  void ClampPoint(TextPoint& point) const;
  void Invalidate(const PixelRect& rect);
  [[nodiscard]] std::optional<BracketPair> FindMatchedBrackets() const;
  // Repaints the brackets highlighted before and those to highlight now, when they differ.
  void RefreshMatchedBrackets();
  // Rescans the stale ranges up to the last visible line; the view gets the rest done later.
  void RefreshVisibleRanges();

  // DocumentWatcher
  void LinesChanged(const LineChange& change) override;
  void EditStarted() override;
  void EditFinished() override;
  void StyleChanged() override;
  void ChangeRecorded() override;
  void ModifiedChanged() override;
  void LinesCleared();

  TextDocument document_;
  SelectionText selection_{*this};
  EditingCommands editing_{*this};
  ClipboardCommands clipboardCommands_{*this};
  UndoRedo undoRedo_{*this};
  CaretMoves moves_{*this};
  Scrolling scrolling_{*this};
  BookmarkCommands bookmarks_{*this};
  SearchEngine searchEngine_; // kept between searches, as the find commands repeat them
  TextPoint blockBegin_{1, 1};
  TextPoint blockEnd_{1, 1};
  int caretX_ = 0;
  int caretY_ = 0;
  int topLine_ = 0;
  int leftChar_ = 0;
  int charWidth_ = 8;
  int fontHeight_ = 16;
  int clientWidth_ = 200;
  int clientHeight_ = 150;
  int charsInWindow_ = 0;
  int linesInWindow_ = 0;
  int gutterWidth_ = 30;
  int digitsInUse_ = 4;
  int paintLock_ = 0;
  bool insertMode_ = true;
  bool readOnly_ = false;
  bool hideSelection_ = false;
  bool linesChanging_ = false;
  bool caretNeedsUpdate_ = false;
  bool scrollBarsNeedUpdate_ = false;
  // Lets the caret stand past the line end while a command works, whatever the options say.
  bool caretPastEol_ = false;
  int tabWidth_ = 8;
  bool indentWithTabs_ = false;
  int rightEdge_ = 80;
  ColorValue rightEdgeColor_ = clSilver;
  ColorValue color_ = clWindow;
  ColorValue fontColor_ = clWindowText;
  ColorValue matchedBracketColor_ = 0xFFE0B0; // light blue
  std::optional<BracketPair> shownBrackets_;
  // The caret, the text or the window changed since the brackets were looked for.
  bool bracketsStale_ = false;
  SelectionMode selectionMode_ = SelectionMode::Normal;
  EditorOptions options_ = kDefaultEditorOptions;
  StatusChanges pendingStatus_ = 0;
  PixelRect pendingRect_;
  GutterLayout gutter_;
  SelectionColors selectedColor_;
  KeyMap keystrokes_;
  KeyTranslator keyTranslator_;
  EditView* view_ = nullptr;
  BookmarkOptions bookMarkOptions_;
};
