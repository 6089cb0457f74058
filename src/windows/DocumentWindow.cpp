#include "DocumentWindow.h"

#include "Paths.h"
#include "QtPrinterCanvas.h"
#include "Settings.h"
#include "SourceFile.h"
#include "VrnCppSyn.h"
#include "kxCustomEdit.h"
#include "kxEditCore.h"
#include "kxEditSearch.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace {

constexpr TColor kMarkedLineText = 0xFFFFFF;

class EditorText : public DocumentFile::Text {
public:
  explicit EditorText(TkxCustomEdit& editor) : editor_(editor) {}
  [[nodiscard]] std::vector<std::string> Lines() const override { return editor_.Lines().Strings(); }
  [[nodiscard]] bool Modified() const override { return editor_.Modified(); }
  void SetModified(bool modified) override { editor_.SetModified(modified); }

private:
  TkxCustomEdit& editor_;
};

} // namespace

DocumentWindow::DocumentWindow(const Settings& settings, UserQuestions& questions, QWidget* parent)
    : QWidget(parent), MyEditor(new TkxCustomEdit(this)), MyHighlighter(std::make_unique<TVrnCppSyn>()),
      OnReplaceText([this](std::string_view search, std::string_view, int, int, TkxReplaceAction& action) {
        AskReplace(search, action);
      }),
      keepLayout_(settings.KeepFileFormat), questions_(questions),
      text_(std::make_unique<EditorText>(*MyEditor)), file_(*text_, questions, settings) {
  file_.OnSaved = [this] { ShowCaption(); };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(MyEditor);
  setFocusProxy(MyEditor); // activating the window puts the caret in the text
  setWindowTitle(kUntitledFileName);

  MyEditor->Gutter().SetShowLineNumbers(true);
  MyEditor->SetWantTabs(true);
  MyEditor->SetReadOnly(false);
  ApplySettings(settings);
  // Editor windows show comments and keywords in their colours only.
  ApplyFormColours(*MyHighlighter);
  MyHighlighter->CommentAttri().SetStyle(0);
  MyHighlighter->KeyAttri().SetStyle(0);
  MyEditor->SetHighLighter(MyHighlighter.get());
  MyEditor->OnReplaceText = OnReplaceText;
  MyEditor->OnChange = [this] { ReflectEdit(); };
  MyEditor->OnSpecialLineColors = [this](int line, bool& special, TColor& fg, TColor& bg) {
    MarkedLineColors(line, special, fg, bg);
  };
}

DocumentWindow::~DocumentWindow() {
  // The editor goes with the widget tree; it must not keep a highlighter that goes first.
  MyEditor->SetHighLighter(nullptr);
}

void DocumentWindow::LoadFile(const std::string& path) {
  source_file::LoadResult loaded = source_file::Load(path, keepLayout_);
  if (!loaded.error.empty()) throw TessarinError(loaded.error);
  file_.Loaded(path, keepLayout_ ? std::optional<LineLayout>(std::move(loaded.layout)) : std::nullopt);
  MyEditor->Core().SetIndentWithTabs(keepLayout_ && source_file::IndentedWithTabs(loaded.lines));
  MyEditor->Lines().Assign(std::move(loaded.lines));
  MyEditor->ClearUndo();
  MyEditor->SetModified(false);
  ShowCaption();
}

void DocumentWindow::NoticeOutsideChanges() {
  file_.NoticeOutsideChanges([this] {
    const int line = MyEditor->CaretY();
    LoadFile(FileName());
    MyEditor->SetCaretY(line);
  });
}

bool DocumentWindow::CanUndo() const { return MyEditor->CanUndo(); }
bool DocumentWindow::CanRedo() const { return MyEditor->CanRedo(); }
bool DocumentWindow::Modified() const { return MyEditor->Modified(); }
bool DocumentWindow::SelAvail() const { return MyEditor->SelAvail(); }
EditorStatus DocumentWindow::Status() const {
  const TkxEditCore& core = MyEditor->Core();
  return {core.CaretY(), core.CaretX(), core.InsertMode(), core.SelectionMode(), core.Modified()};
}
void DocumentWindow::Undo() { MyEditor->Undo(); }
void DocumentWindow::Redo() { MyEditor->Redo(); }
void DocumentWindow::CutToClipboard() { MyEditor->CutToClipboard(); }
void DocumentWindow::CopyToClipboard() { MyEditor->CopyToClipboard(); }
void DocumentWindow::PasteFromClipboard() { MyEditor->PasteFromClipboard(); }
void DocumentWindow::DeleteSelection() { MyEditor->SetSelText(""); }
void DocumentWindow::BlockIndent() { MyEditor->ExecuteCommand(ecBlockIndent); }
void DocumentWindow::BlockUnindent() { MyEditor->ExecuteCommand(ecBlockUnindent); }
std::string DocumentWindow::SelText() const { return MyEditor->SelText(); }
int DocumentWindow::LineCount() const { return MyEditor->LineCount(); }

std::string DocumentWindow::WordAtCaret() const {
  const TkxPoint caret = MyEditor->Core().CaretXY();
  return IdentifierAt(MyEditor->Core().LineText(caret.Y), caret.X);
}

std::string DocumentWindow::ShownText() const {
  std::string text;
  const TkxEditList& lines = MyEditor->Lines();
  for (int i = 0; i < lines.Count(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

void DocumentWindow::ReplaceLines(int first, int last, const std::string& text) {
  TkxEditCore& core = MyEditor->Core();
  core.SelectRange({1, first}, {static_cast<int>(core.LineText(last).size()) + 1, last});
  // A cut and the insertion after it undo as one step.
  core.ReplaceSelText(text);
}

std::string IdentifierAt(const std::string& line, int column) {
  auto inWord = [&line](std::size_t at) {
    const auto byte = static_cast<unsigned char>(line[at]);
    return byte == '_' || byte >= 0x80 || !kxIsDelimiter(byte);
  };
  std::size_t end = std::min(static_cast<std::size_t>(std::max(column, 1) - 1), line.size());
  if ((end == line.size() || !inWord(end)) && end > 0 && inWord(end - 1)) --end;
  if (end >= line.size() || !inWord(end)) return {};
  std::size_t start = end;
  while (start > 0 && inWord(start - 1))
    --start;
  while (end < line.size() && inWord(end))
    ++end;
  return line.substr(start, end - start);
}
void DocumentWindow::SetCaretY(int line) { MyEditor->SetCaretY(line); }

void DocumentWindow::Print(QPrinter& printer) {
  PrintSourceFile(MyEditor->Core(), MyEditor->EditorFont(), FileName(), printer);
}

int DocumentWindow::SearchReplace(const std::string& search, const std::string& replace,
                                  TkxSearchOptions options) {
  return MyEditor->SearchReplace(search, replace, options);
}

void DocumentWindow::ApplySettings(const Settings& settings) {
  MyEditor->SetMaxUndo(settings.UndoLevels);
  MyEditor->Core().SetTabWidth(settings.TabWidth);
  // Where files keep their own line ends, plain text goes out as the desktop's programs expect.
  MyEditor->SetClipboardLineFeeds(settings.KeepFileFormat);
  // An empty name or a size of none keeps the control's own font.
  if (!settings.EditorFont.empty() && settings.EditorFontSize > 0)
    MyEditor->SetEditorFont(QFont(QString::fromStdString(settings.EditorFont), settings.EditorFontSize));
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
  if (CloseQuery())
    event->accept();
  else
    event->ignore();
}

void DocumentWindow::MarkLine(int line) {
  MarkedLine = line;
  MyEditor->viewport()->update();
}

int DocumentWindow::VisibleLineCount() const { return MyEditor->LinesInWindow(); }

void DocumentWindow::SetTopLine(int line) { MyEditor->SetTopLine(line); }

void DocumentWindow::BringToFront() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    if (frame->isMinimized()) frame->showNormal();
    if (QMdiArea* area = frame->mdiArea()) area->setActiveSubWindow(frame);
    frame->raise();
  }
  // The user can type the fix at once.
  MyEditor->setFocus(Qt::OtherFocusReason);
  MyEditor->viewport()->update();
}

void DocumentWindow::AskReplace(std::string_view search, TkxReplaceAction& action) {
  switch (questions_.askYesNoCancelAll("Replace this occurance of '" + std::string(search) + "'")) {
  case Answer::Yes: action = raReplace; break;
  case Answer::No: action = raSkip; break;
  case Answer::All: action = raReplaceAll; break;
  default: action = raCancel; break;
  }
}

void DocumentWindow::ReflectEdit() {
  if (!MyEditor->Modified()) return;
  if (MarkedLine != -1) MarkLine(-1);
  ShowCaption();
}

void DocumentWindow::MarkedLineColors(int line, bool& special, TColor& foreground, TColor& background) const {
  if (line != MarkedLine) return;
  special = true;
  foreground = kMarkedLineText;
  background = MarkColour;
}

void DocumentWindow::ShowCaption() {
  const std::string caption = paths::ExtractFileName(FileName()) + (MyEditor->Modified() ? "*" : "");
  setWindowTitle(QString::fromStdString(caption));
}
