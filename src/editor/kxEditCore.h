// The editor control's model: text, caret, selection, view position, metrics, paint lock, status
// events and command dispatch. It knows no widget: whatever shows it implements TkxEditView.
#pragma once

#include "kxEditList.h"
#include "kxEditSearch.h"
#include "kxEditTypes.h"
#include "kxGutter.h"
#include "kxHighlighter.h"
#include "kxKeyCmds.h"
#include "kxMarkList.h"
#include "kxSearchReplace.h"
#include "kxUndoList.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TkxCanvas;

class EkxEditError : public TessarinError {
public:
  using TessarinError::TessarinError;
};

// The clipboard as the editor sees it: plain text beside the private block format.
class TkxClipboardPort {
public:
  virtual ~TkxClipboardPort() = default;
  // Replaces the clipboard's contents with both forms; false when it could not.
  virtual bool PutText(std::string_view plain, std::string_view block) = 0;
  [[nodiscard]] virtual std::optional<std::string> BlockData() const = 0;
  [[nodiscard]] virtual std::optional<std::string> PlainText() const = 0;
};

// How bookmarks show and whether their keys work.
struct TkxBookMarkOpt {
  std::function<void()> OnChange;
  [[nodiscard]] bool EnableKeys() const { return enableKeys_; }
  [[nodiscard]] bool GlyphsVisible() const { return glyphsVisible_; }
  [[nodiscard]] int LeftMargin() const { return leftMargin_; }
  [[nodiscard]] int Xoffset() const { return xOffset_; }
  void SetEnableKeys(bool value) { Set(enableKeys_, value); }
  void SetGlyphsVisible(bool value) { Set(glyphsVisible_, value); }
  void SetLeftMargin(int value) { Set(leftMargin_, value); }
  void SetXoffset(int value) { Set(xOffset_, value); }

private:
  template <typename T> void Set(T& member, T value) {
    if (member == value) return;
    member = value;
    if (OnChange) OnChange();
  }
  bool enableKeys_ = true;
  bool glyphsVisible_ = true;
  int leftMargin_ = 2;
  int xOffset_ = 12;
};

// Pixel rectangle, right and bottom exclusive.
struct TkxRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  [[nodiscard]] bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TkxRect&) const = default;
};
[[nodiscard]] TkxRect UnionRect(const TkxRect& a, const TkxRect& b);

// Range, page and position of a scroll bar, in the classic form (page counted inside the range).
struct TkxScrollBarInfo {
  int Min = 0, Max = 0, Page = 0, Pos = 0;
  bool operator==(const TkxScrollBarInfo&) const = default;
};

enum class TkxScrollAction { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Thumb };

// What the model asks of the view that shows it. Pixel coordinates are the view's client area.
class TkxEditView {
public:
  virtual ~TkxEditView() = default;
  virtual void InvalidateRect(const TkxRect& rect) = 0;
  // Moves the client pixels by `dy` (positive: down) and repaints what was uncovered.
  virtual void ScrollPixels(int dy) = 0;
  virtual void UpdateScrollBars() = 0;
  virtual void UpdateCaret() = 0;
  // Paint what is damaged now rather than at the next idle moment.
  virtual void RepaintNow() = 0;
  // The font styles in use changed: measure the cell again and call SetFontMetrics.
  virtual void MeasureFont() = 0;
};

class TkxEditCore;

// Holds an editor's paint lock for a scope, also when an exception passes.
class TkxPaintLock {
public:
  explicit TkxPaintLock(TkxEditCore& core);
  ~TkxPaintLock();
  TkxPaintLock(const TkxPaintLock&) = delete;
  TkxPaintLock& operator=(const TkxPaintLock&) = delete;

private:
  TkxEditCore& core_;
};

class TkxEditCore {
public:
  static constexpr int MaxLeftChar = 1024;

  TkxEditCore();
  virtual ~TkxEditCore();
  TkxEditCore(const TkxEditCore&) = delete;
  TkxEditCore& operator=(const TkxEditCore&) = delete;

  // --- text
  [[nodiscard]] TkxEditList& Lines() { return lines_; }
  [[nodiscard]] const TkxEditList& Lines() const { return lines_; }
  [[nodiscard]] int LineCount() const { return lines_.Count(); }
  // The text of a 1-based line; empty for lines that do not exist.
  [[nodiscard]] const std::string& LineText(int line) const;

  // --- caret and view
  [[nodiscard]] int CaretX() const { return caretX_ + 1; }
  [[nodiscard]] int CaretY() const { return caretY_ + 1; }
  [[nodiscard]] TkxPoint CaretXY() const { return {CaretX(), CaretY()}; }
  void SetCaretX(int value) { SetCaretXY({value, CaretY()}); }
  void SetCaretY(int value) { SetCaretXY({CaretX(), value}); }
  void SetCaretXY(TkxPoint value);
  [[nodiscard]] int TopLine() const { return topLine_ + 1; }
  void SetTopLine(int value);
  [[nodiscard]] int LeftChar() const { return leftChar_ + 1; }
  void SetLeftChar(int value);

  // --- selection
  [[nodiscard]] TkxPoint BlockBegin() const; // earlier point
  [[nodiscard]] TkxPoint BlockEnd() const;   // later point
  [[nodiscard]] TkxPoint SelectionAnchor() const { return blockBegin_; }
  [[nodiscard]] TkxPoint SelectionMovingEnd() const { return blockEnd_; }
  // Collapses the selection at `point` (clamped).
  void SetBlockBegin(TkxPoint point);
  // Moves the selection's moving end to `point` (clamped).
  void SetBlockEnd(TkxPoint point);
  [[nodiscard]] bool SelAvail() const;
  void SelectAll();
  [[nodiscard]] TSelectionMode SelectionMode() const { return selectionMode_; }
  void SetSelectionMode(TSelectionMode value);
  // Selects the word at the caret, as a double click does.
  void SelectWordAtCaret();

  // --- editing
  // The selected text in the current selection mode.
  [[nodiscard]] std::string SelText() const;
  // Replaces the selection by `value` in normal mode, recording it for undo.
  void SetSelText(std::string_view value);
  // Removes the selection (in the current mode) and inserts `text` (up to a NUL) in `mode`,
  // leaving the caret after it. Records nothing.
  void SetSelTextPrimitive(TSelectionMode mode, std::string_view text);
  // Moves (or with `copy` copies) the selected text to `drop`, as a drag and drop within the
  // editor does; a drop inside the selection does nothing.
  void DropSelection(TkxPoint drop, bool copy);

  // --- search
  // Searches, and with the replace bits replaces, as the options say; returns the matches visited.
  int SearchReplace(std::string_view search, std::string_view replace, TkxSearchOptions options);
  [[nodiscard]] bool InsideSelection(TkxPoint position) const;
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  [[nodiscard]] bool CanPaste() const;
  void SetClipboard(TkxClipboardPort* clipboard) { clipboard_ = clipboard; }

  // --- undo and redo
  void Undo();
  void Redo();
  [[nodiscard]] bool CanUndo() const { return undoList_.CanUndo() > 0; }
  [[nodiscard]] bool CanRedo() const { return redoList_.CanUndo() > 0; }
  void ClearUndo();
  void LockUndo();
  void UnlockUndo();
  [[nodiscard]] int MaxUndo() const { return undoList_.Max(); }
  void SetMaxUndo(int value);
  [[nodiscard]] TUndoList& UndoList() { return undoList_; }
  [[nodiscard]] TUndoList& RedoList() { return redoList_; }

  // --- bookmarks
  void SetBookMark(int number, int column, int line);
  void ClearBookMark(int number);
  void GotoBookMark(int number);
  [[nodiscard]] TMarkList& Marks() { return marks_; }
  [[nodiscard]] const TMarkList& Marks() const { return marks_; }
  [[nodiscard]] TkxBookMarkOpt& BookMarkOptions() { return bookMarkOptions_; }
  [[nodiscard]] const TkxBookMarkOpt& BookMarkOptions() const { return bookMarkOptions_; }

  // --- words
  [[nodiscard]] TkxWordChars WordChars() const;
  [[nodiscard]] TkxPoint NextWordPos() const;
  [[nodiscard]] TkxPoint PrevWordPos() const;
  // Leading bytes 1..32 of a line; 0 without auto-indent.
  [[nodiscard]] int LeadingBlanks(const std::string& line) const;

  // --- modes and options
  [[nodiscard]] bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool value);
  [[nodiscard]] bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  [[nodiscard]] TkxEditorOptions Options() const { return options_; }
  void SetOptions(TkxEditorOptions value);
  [[nodiscard]] bool HasOption(TkxEditorOption option) const { return (options_ & option) != 0; }
  [[nodiscard]] bool Modified() const { return modified_; }
  void SetModified(bool value);
  [[nodiscard]] int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value) { SetAndRepaint(tabWidth_, value); }
  [[nodiscard]] int RightEdge() const { return rightEdge_; }
  void SetRightEdge(int value) { SetAndRepaint(rightEdge_, value); }
  [[nodiscard]] TColor RightEdgeColor() const { return rightEdgeColor_; }
  void SetRightEdgeColor(TColor value) { SetAndRepaint(rightEdgeColor_, value); }
  [[nodiscard]] bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value) { SetAndRepaint(hideSelection_, value); }
  [[nodiscard]] TColor Color() const { return color_; }
  void SetColor(TColor value) { SetAndRepaint(color_, value); }
  [[nodiscard]] TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value) { SetAndRepaint(fontColor_, value); }
  [[nodiscard]] TkxCaretType InsertCaret() const { return insertCaret_; }
  [[nodiscard]] TkxCaretType OverwriteCaret() const { return overwriteCaret_; }
  void SetInsertCaret(TkxCaretType value);
  void SetOverwriteCaret(TkxCaretType value);
  [[nodiscard]] TkxGutter& Gutter() { return gutter_; }
  [[nodiscard]] const TkxGutter& Gutter() const { return gutter_; }
  [[nodiscard]] TkxSelectedColor& SelectedColor() { return selectedColor_; }
  [[nodiscard]] const TkxSelectedColor& SelectedColor() const { return selectedColor_; }
  [[nodiscard]] TkxKeyStrokes& Keystrokes() { return keystrokes_; }
  [[nodiscard]] TkxKeyTranslator& KeyTranslator() { return keyTranslator_; }

  // --- highlighter (not owned; dropped automatically when it is destroyed)
  [[nodiscard]] TkxCustomHighLighter* HighLighter() const { return highLighter_; }
  void SetHighLighter(TkxCustomHighLighter* value);
  // Every style any highlighter attribute uses (the cell must fit bold and italic glyphs).
  [[nodiscard]] TFontStyles AttributeStyles() const;

  // --- metrics, set by the view
  // Cell width and font height in pixels (the view measures its font).
  void SetFontMetrics(int charWidth, int fontHeight);
  void SetClientSize(int width, int height);
  [[nodiscard]] int ExtraLineSpacing() const { return extraLineSpacing_; }
  void SetExtraLineSpacing(int value);
  [[nodiscard]] int CharWidth() const { return charWidth_; }
  [[nodiscard]] int LineHeight() const { return fontHeight_ + extraLineSpacing_; }
  [[nodiscard]] int ClientWidth() const { return clientWidth_; }
  [[nodiscard]] int ClientHeight() const { return clientHeight_; }
  [[nodiscard]] int CharsInWindow() const { return charsInWindow_; }
  [[nodiscard]] int LinesInWindow() const { return linesInWindow_; }
  [[nodiscard]] int GutterWidth() const { return gutterWidth_; }
  // x pixel of column 1 (negative when scrolled right).
  [[nodiscard]] int TextOffset() const { return gutterWidth_ + 2 - leftChar_ * charWidth_; }
  // The (column, line) under a client pixel.
  [[nodiscard]] TkxPoint PixelsToRowColumn(int x, int y) const;
  // The client pixel of a (column, line) position's top-left corner.
  [[nodiscard]] TkxPoint RowColumnToPixels(TkxPoint position) const;

  // --- scrolling
  [[nodiscard]] TkxScrollBarInfo VerticalScrollInfo() const;
  [[nodiscard]] TkxScrollBarInfo HorizontalScrollInfo() const;
  void VerticalScroll(TkxScrollAction action, int thumbPos = 0);
  void HorizontalScroll(TkxScrollAction action, int thumbPos = 0);
  // Wheel delta in 1/120 notches; `wheelLines` is the system setting (negative: a page).
  void MouseWheel(int delta, bool ctrl, int wheelLines);

  // --- commands
  virtual void ExecuteCommand(TkxEditorCommand command, char ch = 0, const void* data = nullptr);
  // The editor's key handling: true when the key produced a command.
  bool KeyDown(std::uint16_t key, TShiftState shift);
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
  [[nodiscard]] TkxRect TextAreaRect() const;

  // --- events
  std::function<void()> OnChange;
  std::function<void()> OnSelectionChange;
  std::function<void(TkxStatusChanges)> OnStatusChange;
  std::function<void(TkxEditorCommand& command, char& ch, const void* data)> OnProcessCommand;
  std::function<void(TkxEditorCommand& command, char& ch, const void* data)> OnProcessUserCommand;
  std::function<void()> OnCommandDone;
  std::function<void(int line, bool& special, TColor& fg, TColor& bg)> OnSpecialLineColors;
  std::function<void(TkxCanvas& canvas)> OnPaint;
  std::function<void(int x, int y, const std::vector<std::string>& files)> OnDropFiles;
  std::function<void(int x, int y, int line, TMark* mark)> OnGutterClick;
  // The handler may change the new bookmark or take it away (nothing is placed then).
  std::function<void(std::unique_ptr<TMark>& mark)> OnPlaceBookmark;
  // Asked before each replacement when SearchReplace prompts.
  TkxReplaceTextEvent OnReplaceText;

  void SetView(TkxEditView* view) { view_ = view; }
  [[nodiscard]] TkxEditView* View() const { return view_; }
  // Raises status bits; they are reported when no paint lock is held.
  void StatusChanged(TkxStatusChanges changes);

protected:
  // Caret and selection moves shared by the movement commands.
  void MoveCaretAndSelection(TkxPoint from, TkxPoint to, bool selecting);
  void MoveCaretHorz(int delta, bool selecting);
  void MoveCaretVert(int delta, bool selecting);
  void ExecuteMovement(TkxEditorCommand command, const void* data);
  void ExecuteScroll(TkxEditorCommand command);
  void FindMatchingBracket();
  // Carries out one command inside the paint lock; false when it is not known here.
  virtual bool CarryOutCommand(TkxEditorCommand command, char ch, const void* data);
  void EnsureCursorPosVisible();
  // Recomputes gutter width and the chars and lines that fit.
  void UpdateLayout();
  void UpdateScrollBarsOrFlag();
  void UpdateCaretOrFlag();
  void ClampPoint(TkxPoint& point) const;
  // Text-changing commands; false when the command is not one of them.
  bool ExecuteEditing(TkxEditorCommand command, char ch, const void* data);
  void TypeChar(char ch);
  void TypeString(std::string_view text, bool imeString);
  void DeleteLastChar();
  void DeleteChar();
  void DeleteSpan(TkxPoint from, TkxPoint to, TUndoReason reason);
  void DeleteLine();
  void LineBreak(bool moveCaret);
  void InsertTab();
  void BlockIndent();
  void BlockUnindent();
  void ToggleBookMark(int number);
  void SelectRange(TkxPoint from, TkxPoint to);
  void RecordSelectionRemoval(TUndoReason reason);
  void RemoveSelection() { SetSelTextPrimitive(smNormal, {}); }
  void UndoRecord(const TUndoRecord& record);
  void RedoRecord(const TUndoRecord& record);
  void UndoLineBreak(const TUndoRecord& record);
  // Inserts `pieces` (CR LF separated) as a column block at column 1 from `line` on.
  void InsertColumnAtLineStart(int line, std::string_view pieces);
  // The ordered selection of a block command and the last line it touches (a selection ending
  // in column 1 leaves that line alone).
  struct TBlockSpan {
    TkxPoint begin;
    TkxPoint end;
    int lastLine;
  };
  [[nodiscard]] TBlockSpan BlockSpan() const;

private:
  TkxEditSearch searchEngine_; // kept between searches, as the find commands repeat them
  // Stores a display property and repaints when it changed.
  template <typename T> void SetAndRepaint(T& member, T value) {
    if (member == value) return;
    member = value;
    InvalidateAll();
  }
  void AttachListHandlers();
  // Rescans ranges from `line` until they agree again, but at least through `scanThrough`.
  int RescanFrom(int line, int scanThrough = -1);
  void ScanLine(int index);
  void ListAdded();
  void ListCleared();
  void ListDeletedOrInserted(int index, bool deleted);
  void ListLinePut(int index);
  void ListTextReplaced();
  void ListBulkAdded();
  void ListChanging();
  void ListChanged();
  void GutterChanged();
  void HighlighterChanged();
  void Invalidate(const TkxRect& rect);

  TkxEditList lines_;
  TkxPoint blockBegin_{1, 1};
  TkxPoint blockEnd_{1, 1};
  int caretX_ = 0;
  int caretY_ = 0;
  int topLine_ = 0;
  int leftChar_ = 0;
  int charWidth_ = 8;
  int fontHeight_ = 16;
  int extraLineSpacing_ = 0;
  int clientWidth_ = 200;
  int clientHeight_ = 150;
  int charsInWindow_ = 0;
  int linesInWindow_ = 0;
  int gutterWidth_ = 30;
  int digitsInUse_ = 4;
  int paintLock_ = 0;
  int wheelRemainder_ = 0;
  bool insertMode_ = true;
  bool readOnly_ = false;
  bool modified_ = false;
  bool hideSelection_ = false;
  bool linesChanging_ = false;
  bool caretNeedsUpdate_ = false;
  bool scrollBarsNeedUpdate_ = false;
  int tabWidth_ = 8;
  int rightEdge_ = 80;
  TColor rightEdgeColor_ = clSilver;
  TColor color_ = clWindow;
  TColor fontColor_ = clWindowText;
  TkxCaretType insertCaret_ = ctVerticalLine;
  TkxCaretType overwriteCaret_ = ctBlock;
  TSelectionMode selectionMode_ = smNormal;
  TkxEditorOptions options_ = kxDefaultEditorOptions;
  TkxStatusChanges pendingStatus_ = 0;
  TkxRect pendingRect_;
  TkxGutter gutter_;
  TkxSelectedColor selectedColor_;
  TkxKeyStrokes keystrokes_;
  TkxKeyTranslator keyTranslator_;
  TkxCustomHighLighter* highLighter_ = nullptr;
  TkxCustomHighLighter::HookId changeHook_ = 0;
  TkxCustomHighLighter::HookId destroyHook_ = 0;
  TkxEditView* view_ = nullptr;
  TUndoList undoList_;
  TUndoList redoList_;
  TMarkList marks_;
  TkxBookMarkOpt bookMarkOptions_;
  TkxClipboardPort* clipboard_ = nullptr;
  // Lets the caret stand past the line end while a command works, whatever the options say.
  bool caretPastEol_ = false;
};
