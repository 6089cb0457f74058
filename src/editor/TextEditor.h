// The editor: a document, the caret and selection over it (EditState), the view's position and
// size (ViewGeometry) and the key map, put together. Keys become command numbers, and its command
// table runs each number's command function on those parts; it holds the paint lock, and turns
// what its parts report into repaint requests to the view (EditView) that shows it. It knows no
// widget.
#pragma once

#include "AutoPairs.h"
#include "ClipboardPort.h"
#include "EditContext.h"
#include "EditView.h"
#include "EditorCommands.h"
#include "FoldStore.h"
#include "GutterLayout.h"
#include "KeyTranslator.h"
#include "LineAnnotations.h"
#include "PaintLock.h"
#include "SearchEngine.h"
#include "SearchRun.h"
#include "TypingRun.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// What the editor tells the program.
struct EditorEvents {
  // A change was recorded: an edit, an undo or a redo.
  std::function<void()> OnChange;
  // The caret moved.
  std::function<void()> OnSelectionChange;
  // Status bits raised since the last report, reported once no paint lock is held.
  std::function<void(StatusChanges changes)> OnStatusChange;
  // Before a command runs (the editor's own commands; commands above 1000 go to
  // OnProcessUserCommand and are never run by the editor). A handler may change the command or
  // cancel it by setting it to ecNone.
  std::function<void(EditorCommand& command, char& ch, const void* data)> OnProcessCommand;
  std::function<void(EditorCommand& command, char& ch, const void* data)> OnProcessUserCommand;
  std::function<void()> OnCommandDone;
  // Lets a line be painted in colours of its own.
  std::function<void(int line, bool& special, ColorValue& fg, ColorValue& bg)> OnSpecialLineColors;
  std::function<void(int x, int y, int line, Mark* mark)> OnGutterClick;
  // Asked before each replacement when SearchReplace prompts.
  ReplaceTextEvent OnReplaceText;
};

// How the text area looks beside the highlighter's colours.
struct EditorLook {
  ColorValue Color = clWindow;
  ColorValue FontColor = clWindowText;
  int RightEdge = 80; // the column of the right margin line; 0: none
  ColorValue RightEdgeColor = clSilver;
  // No selection shown while the editor has no focus.
  bool HideSelection = false;
  ColorValue MatchedBracketColor = 0xFFE0B0; // light blue
  ColorValue SelectedBackground = clHighlight;
  ColorValue SelectedForeground = clHighlightText;
  bool operator==(const EditorLook&) const = default;
};

class TextEditor : public PaintLockOwner,
                   private DocumentWatcher,
                   private EditStateWatcher,
                   private GeometryWatcher {
public:
  // A view of a document of its own, or of one other views show too.
  TextEditor() : TextEditor(std::make_shared<TextDocument>()) {}
  explicit TextEditor(std::shared_ptr<TextDocument> document);
  ~TextEditor() override;
  TextEditor(const TextEditor&) = delete;
  TextEditor& operator=(const TextEditor&) = delete;

  // --- the parts
  [[nodiscard]] TextDocument& Document() { return *document_; }
  [[nodiscard]] const TextDocument& Document() const { return *document_; }
  [[nodiscard]] const std::shared_ptr<TextDocument>& SharedDocument() const { return document_; }
  [[nodiscard]] EditState& State() { return state_; }
  [[nodiscard]] const EditState& State() const { return state_; }
  [[nodiscard]] ViewGeometry& Geometry() { return geometry_; }
  [[nodiscard]] const ViewGeometry& Geometry() const { return geometry_; }
  // The parts as command functions take them.
  [[nodiscard]] EditContext& Context() { return context_; }
  [[nodiscard]] KeyMap& Keystrokes() { return keystrokes_; }
  [[nodiscard]] GutterLayout& Gutter() { return gutter_; }
  [[nodiscard]] const GutterLayout& Gutter() const { return gutter_; }
  // What this view has folded, and what it could fold.
  [[nodiscard]] FoldStore& Folds() { return folds_; }
  [[nodiscard]] const FoldStore& Folds() const { return folds_; }
  [[nodiscard]] const FoldableRanges& Foldable() const { return foldable_; }
  [[nodiscard]] BookmarkOptions& BookMarkOptions() { return bookMarkOptions_; }
  [[nodiscard]] const BookmarkOptions& BookMarkOptions() const { return bookMarkOptions_; }
  // The messages of a build and of the language server on the document's lines.
  [[nodiscard]] LineAnnotations& Annotations() { return document_->Annotations(); }
  [[nodiscard]] const LineAnnotations& Annotations() const { return document_->Annotations(); }
  [[nodiscard]] const EditorLook& Look() const { return look_; }
  void SetLook(const EditorLook& look);

  EditorEvents Events;

  // --- commands
  // Runs a command through the command table, inside the paint lock. `data` is the target of
  // ecGotoXY and ecSelGotoXY (a TextPoint), the text of ecImeStr and the bytes of a character of
  // more than one byte for ecChar (NUL-terminated).
  void ExecuteCommand(EditorCommand command, char ch = 0, const void* data = nullptr);
  // A key pressed: true when it produced a command.
  bool KeyDown(std::uint16_t key, ShiftState shift);
  // A character typed: one byte, or the bytes of one character.
  void KeyPress(char ch);
  void KeyPress(std::string_view character);

  // --- operations beyond the commands, each one screen update
  // Folds or unfolds the range headed by `line`, as a click on its gutter toggle does.
  void ToggleFoldAt(int line);
  // Replaces the selection by `value` in normal mode, as one undoable replacement.
  void SetSelText(std::string_view value);
  // The same as a search replacement does it: the blanks after the selection stay, as later
  // matches may be made of them.
  void ReplaceSelText(std::string_view value);
  // Searches, and with the replace bits replaces; returns the matches visited.
  int SearchReplace(std::string_view search, std::string_view replace, SearchFlags options);
  // Moves (or with `copy` copies) the selected text to `drop`, as a drag and drop within the
  // editor does.
  void DropSelection(TextPoint drop, bool copy);
  // Pastes what another clipboard holds, such as the X11 primary selection.
  void PasteFrom(ClipboardPort& source);
  [[nodiscard]] bool CopySelectionTo(ClipboardPort& target) const;
  // The clipboard of ecCut, ecCopy and ecPaste; none: they copy nothing.
  void SetClipboard(ClipboardPort* clipboard) { clipboard_ = clipboard; }
  // The run typed characters join for undo (eoGroupUndo).
  [[nodiscard]] TypingRun& Typing() { return typingRun_; }

  // --- the bracket beside the caret (right of it, else left of it) and its match within a
  // window's height, as ecMatchBracket pairs them; shown highlighted
  struct BracketPair {
    TextPoint bracket;
    TextPoint match;
    bool operator==(const BracketPair&) const = default;
  };
  [[nodiscard]] std::optional<BracketPair> MatchedBrackets() const { return shownBrackets_; }

  // --- the view and its repaints
  void SetView(EditView* view) { view_ = view; }
  void IncPaintLock() override {
    if (paintLock_++ == 0) document_->NoteViewOperating(true);
  }
  void DecPaintLock() override;
  void InvalidateAll();

private:
  // Where another view's edit, still going on, moves this view's caret and top line.
  struct Followed {
    TextPoint caret;
    int topLine;
  };
  struct CommandCall {
    EditorCommand command;
    char ch;
    const void* data;
  };
  // The commands first ... last run `run`; those that change the text are `guarded`: nothing
  // while read-only, and the caret may pass the line end while they work. With `repaintNow`
  // the view paints what they changed before the next event.
  struct CommandEntry {
    EditorCommand first;
    EditorCommand last;
    bool guarded;
    void (*run)(TextEditor& editor, const CommandCall& call);
    bool repaintNow = false;
  };
  static const std::vector<CommandEntry>& Commands();
  void CarryOutCommand(const CommandCall& call);

  // Raises status bits; they are reported when no paint lock is held.
  void RaiseStatus(StatusChanges changes);
  // 1-based lines; (-1, -1) means all.
  void InvalidateLines(int first, int last);
  void InvalidateGutterLines(int first, int last);
  void UpdateScrollBarsOrFlag();
  void UpdateCaretOrFlag();
  void Invalidate(const PixelRect& rect);
  [[nodiscard]] std::optional<BracketPair> FindMatchedBrackets() const;
  // Repaints the brackets highlighted before and those to highlight now, when they differ.
  void RefreshMatchedBrackets();
  // Rescans the stale ranges up to the last visible line; the view gets the rest done later.
  void RefreshVisibleRanges();

  // DocumentWatcher
  void LinesChanged(const LineChange& change) override;
  void TextChanging(const TextSpanChange& change) override;
  void MarksChanged(int line) override { InvalidateGutterLines(line, line); }
  void AnnotationsChanged() override { InvalidateAll(); }
  void EditStarted() override { linesChanging_ = true; }
  void EditFinished() override;
  void StyleChanged() override;
  void ChangeRecorded() override;
  void ModifiedChanged() override { RaiseStatus(stModified); }
  void LinesCleared();
  // Puts the caret and the view where another view's edit moved their text.
  void CatchUp(const Followed& followed);
  // EditStateWatcher
  void CaretMoved(StatusChanges changes) override;
  void SelectionLinesChanged(int first, int last) override { InvalidateLines(first, last); }
  void LookChanged() override;
  // The document measures its widest line as this view shows it.
  void FollowCellRule();
  void CaretLookChanged() override { UpdateCaretOrFlag(); }
  void StatusChanged(StatusChanges changes) override { RaiseStatus(changes); }
  // GeometryWatcher
  void TopLineMoved(int rows) override;
  void LeftCharMoved() override;
  void LayoutChanged() override;

  // Folds keep up with the text before the editor looks at it.
  void FoldsChanged();

  std::shared_ptr<TextDocument> document_;
  EditState state_{*document_};
  FoldableRanges foldable_{*document_};
  FoldStore folds_{*document_, foldable_};
  RowMap rows_;
  GutterLayout gutter_;
  ViewGeometry geometry_{*document_, state_, gutter_, rows_};
  EditContext context_{*document_, state_, geometry_};
  KeyMap keystrokes_;
  KeyTranslator keyTranslator_;
  BookmarkOptions bookMarkOptions_;
  EditorLook look_;
  SearchEngine searchEngine_; // kept between searches, as the find commands repeat them
  TypingRun typingRun_;
  AutoPairs autoPairs_;
  bool typing_ = false; // a typed character is going in
  ClipboardPort* clipboard_ = nullptr;
  EditView* view_ = nullptr;
  int paintLock_ = 0; // also: this view is the one carrying out an operation
  bool linesChanging_ = false;
  std::optional<Followed> followed_;
  bool following_ = false; // the caret moves along with the text, not to be scrolled to
  bool caretNeedsUpdate_ = false;
  bool scrollBarsNeedUpdate_ = false;
  StatusChanges pendingStatus_ = 0;
  PixelRect pendingRect_;
  std::optional<BracketPair> shownBrackets_;
  // The caret, the text or the window changed since the brackets were looked for.
  bool bracketsStale_ = false;
};
