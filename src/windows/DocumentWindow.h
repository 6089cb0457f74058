// One editor document window: a source file in an editor control with its own C highlighter,
// the "*" of unsaved text in the caption, the save and close prompts and the line that the
// message lists mark.
#pragma once

#include "DocumentFile.h"
#include "EditorWindowPort.h"
#include "Highlighter.h"
#include "SearchRun.h"
#include "UserQuestions.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class EditorWidget;
class CppHighlighter;
class QSplitter;
struct Settings;

class DocumentWindow : public QWidget, public EditorWindowPort {
  Q_OBJECT
public:
  DocumentWindow(const Settings& settings, UserQuestions& questions, QWidget* parent = nullptr);
  ~DocumentWindow() override;

  // The view of the text the user last worked in; the window's commands act on it.
  EditorWidget* Editor;
  std::unique_ptr<CppHighlighter> CodeHighlighter;
  int MarkedLine = -1;
  ColorValue MarkColour = 0;

  // Reads `path` into the window; a missing file leaves the text empty. Throws TessarinError
  // when the file exists but cannot be read.
  void LoadFile(const std::string& path);
  // Saves when modified; a window never named asks for a name first. False when the text is
  // still unsaved afterwards (write failed, error shown; or the user cancelled).
  bool TrySave() { return file_.TrySave(); }
  // False when the user kept the old file or the write failed; the window then keeps its name.
  bool SaveFileAs(const std::string& path) { return file_.SaveAs(path); }
  // The "Save File" dialog for this window, then SaveFileAs.
  bool SaveFileAsAsked() { return file_.SaveAsAsked(); }

  // EditorWindowPort
  [[nodiscard]] std::string FileName() const override { return file_.FileName(); }
  [[nodiscard]] bool CanUndo() const override;
  [[nodiscard]] bool CanRedo() const override;
  [[nodiscard]] bool Modified() const override;
  [[nodiscard]] bool SelAvail() const override;
  [[nodiscard]] EditorStatus Status() const override;
  bool CloseQuery() override { return file_.CloseQuery(); }
  void SaveFile() override { (void)TrySave(); }
  void NoticeOutsideChanges() override;
  void Undo() override;
  void Redo() override;
  void CutToClipboard() override;
  void CopyToClipboard() override;
  void PasteFromClipboard() override;
  void DeleteSelection() override;
  void BlockIndent() override;
  void BlockUnindent() override;
  void Fold(EditorCommand command) override;
  void ApplySettings(const Settings& settings) override;
  [[nodiscard]] std::string SelText() const override;
  int SearchReplace(const std::string& search, const std::string& replace, SearchFlags options) override;
  [[nodiscard]] int LineCount() const override;
  [[nodiscard]] std::string WordAtCaret() const override;
  [[nodiscard]] std::string ShownText() const override;
  void ReplaceLines(int first, int last, const std::string& text) override;
  void SetCaretY(int line) override;
  void Print(QPrinter& printer) override;

  // JumpTarget
  void SetMarkColour(std::uint32_t colour) override { MarkColour = colour; }
  void MarkLine(int line) override;
  [[nodiscard]] int VisibleLineCount() const override;
  void SetTopLine(int line) override;
  void BringToFront() override;

  // --- a second view of the same text, beside (Qt::Horizontal) or below (Qt::Vertical) the
  // first, with a caret, selection and scroll position of its own. Splitting a split window turns
  // it the other way.
  void Split(Qt::Orientation orientation);
  [[nodiscard]] bool IsSplit() const { return views_.size() > 1; }
  [[nodiscard]] Qt::Orientation SplitOrientation() const;
  // Closes the view the user is not in; the text stays in the other.
  void Unsplit();
  [[nodiscard]] const std::vector<EditorWidget*>& Views() const { return views_; }
  // The document window `view` shows the text of; none for an editor outside one.
  [[nodiscard]] static DocumentWindow* Of(const QWidget& view);

  // Puts the caret at a 1-based line and byte column and scrolls the line into the middle.
  void ShowPlace(int line, int column);
  // Lives as long as the window's document and goes first: what watches the document from
  // outside (the language server's copy of it).
  std::shared_ptr<void> DocumentCompanion;
  // The file was written.
  std::function<void()> OnFileSaved;

  // The prompt that a search and replace on Editor asks before each replacement: Yes
  // replaces the match, No skips it, All replaces the rest without asking, Cancel stops.
  const ReplaceTextEvent OnReplaceText;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Files are read and written as they are, tabs and line ends kept (fixed when the window opens).
  const bool keepLayout_;
  void AskReplace(std::string_view search, ReplaceAction& action);
  void ReflectEdit();
  void MarkedLineColors(int line, bool& special, ColorValue& foreground, ColorValue& background) const;
  void ShowCaption();
  // Sets up a view of the window's text as the window shows text.
  void Configure(EditorWidget& view);

  bool clipboardLineFeeds_ = false;
  QSplitter* splitter_;
  std::vector<EditorWidget*> views_; // the first view first

  UserQuestions& questions_;
  std::unique_ptr<DocumentFile::Text> text_; // the editor's text as the file sees it
  DocumentFile file_;
};
