#include "DocumentWindow.h"

#include "CppHighlighter.h"
#include "EditorColours.h"
#include "EditorWidget.h"
#include "KeyMap.h"
#include "Paths.h"
#include "QtPrinterCanvas.h"
#include "SelectionText.h"
#include "Settings.h"
#include "SourceFile.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr ColorValue kMarkedLineText = 0xFFFFFF;
constexpr int kNumbersToText = 10; // pixels

class EditorText : public DocumentFile::Text {
public:
  explicit EditorText(TextDocument& document) : document_(document) {}
  [[nodiscard]] std::vector<std::string> Lines() const override { return document_.Lines().Strings(); }
  [[nodiscard]] bool Modified() const override { return document_.Modified(); }
  void SetModified(bool modified) override { document_.SetModified(modified); }

private:
  TextDocument& document_;
};

} // namespace

DocumentWindow::DocumentWindow(const Settings& settings, UserQuestions& questions, QWidget* parent)
    : QWidget(parent), Editor(new EditorWidget(this)), CodeHighlighter(std::make_unique<CppHighlighter>()),
      OnReplaceText([this](std::string_view search, std::string_view, int, int, ReplaceAction& action) {
        AskReplace(search, action);
      }),
      keepLayout_(settings.KeepFileFormat), questions_(questions),
      text_(std::make_unique<EditorText>(Editor->Editor().Document())), file_(*text_, questions, settings) {
  file_.OnSaved = [this] {
    ShowCaption();
    if (OnFileSaved) OnFileSaved();
  };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(this);
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(Editor);
  layout->addWidget(splitter_);
  setFocusProxy(Editor); // activating the window puts the caret in the text
  setWindowTitle(kUntitledFileName);
  Editor->Editor().Document().SetHighLighter(CodeHighlighter.get());
  Configure(*Editor);
  ApplySettings(settings);
}

void DocumentWindow::Configure(EditorWidget& view) {
  views_.push_back(&view);
  view.installEventFilter(this);
  TextEditor& editor = view.Editor();
  editor.Gutter().SetShowLineNumbers(true);
  // Room between the numbers and the text, so that they never seem to run into the code.
  editor.Gutter().SetRightOffset(kNumbersToText);
  view.SetWantTabs(true);
  view.SetQuestions(&questions_);
  editor.State().SetReadOnly(false);
  editor.Events.OnReplaceText = OnReplaceText;
  editor.Events.OnChange = [this] { ReflectEdit(); };
  editor.Events.OnSpecialLineColors = [this](int line, bool& special, ColorValue& fg, ColorValue& bg) {
    MarkedLineColors(line, special, fg, bg);
  };
}

void DocumentWindow::Split(Qt::Orientation orientation) {
  splitter_->setOrientation(orientation);
  if (IsSplit()) return;
  const TextEditor& current = Editor->Editor();
  auto* view = new EditorWidget(current.SharedDocument(), splitter_);
  Configure(*view);
  view->Editor().State().SetOptions(current.State().Options());
  view->Editor().Gutter().SetShowFolds(current.Gutter().ShowFolds());
  view->Editor().State().SetTabWidth(current.State().TabWidth());
  view->Editor().State().SetIndentWithTabs(current.State().IndentWithTabs());
  view->SetClipboardLineFeeds(clipboardLineFeeds_);
  view->SetEditorFont(Editor->EditorFont());
  // The new view opens where the user is.
  view->Editor().Geometry().SetTopLine(current.Geometry().TopLine());
  view->Editor().State().SetCaretXY(current.State().CaretXY());
  splitter_->addWidget(view);
  const int half = (orientation == Qt::Horizontal ? splitter_->width() : splitter_->height()) / 2;
  splitter_->setSizes({half, half});
  view->setFocus(Qt::OtherFocusReason);
  Editor = view;
  setFocusProxy(view);
}

DocumentWindow* DocumentWindow::Of(const QWidget& view) {
  // The views sit in the window's splitter.
  QWidget* splitter = view.parentWidget();
  return splitter != nullptr ? qobject_cast<DocumentWindow*>(splitter->parentWidget()) : nullptr;
}

Qt::Orientation DocumentWindow::SplitOrientation() const { return splitter_->orientation(); }

void DocumentWindow::Unsplit() {
  if (!IsSplit()) return;
  EditorWidget* other = views_.front() == Editor ? views_.back() : views_.front();
  std::erase(views_, other);
  delete other;
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    if (auto* view = qobject_cast<EditorWidget*>(watched)) {
      Editor = view;
      setFocusProxy(view);
    }
  return QWidget::eventFilter(watched, event);
}

DocumentWindow::~DocumentWindow() {
  DocumentCompanion.reset();
  // The editor goes with the widget tree; it must not keep a highlighter that goes first.
  Editor->Editor().Document().SetHighLighter(nullptr);
}

void DocumentWindow::LoadFile(const std::string& path) {
  source_file::LoadResult loaded = source_file::Load(path, keepLayout_);
  if (!loaded.error.empty()) throw TessarinError(loaded.error);
  file_.Loaded(path, keepLayout_ ? std::optional<LineLayout>(std::move(loaded.layout)) : std::nullopt);
  for (EditorWidget* view : views_)
    view->Editor().State().SetIndentWithTabs(keepLayout_ && source_file::IndentedWithTabs(loaded.lines));
  TextEditor& editor = Editor->Editor();
  editor.Document().Load(std::move(loaded.lines));
  editor.Document().SetModified(false);
  ShowCaption();
}

void DocumentWindow::NoticeOutsideChanges() {
  file_.NoticeOutsideChanges([this] {
    const int line = Editor->Editor().State().CaretY();
    LoadFile(FileName());
    Editor->Editor().State().SetCaretY(line);
  });
}

bool DocumentWindow::CanUndo() const { return Editor->Editor().Document().CanUndo(); }
bool DocumentWindow::CanRedo() const { return Editor->Editor().Document().CanRedo(); }
bool DocumentWindow::Modified() const { return Editor->Editor().Document().Modified(); }
bool DocumentWindow::SelAvail() const { return Editor->Editor().State().SelAvail(); }
EditorStatus DocumentWindow::Status() const {
  const EditState& state = Editor->Editor().State();
  // Under the desktop conventions the column counts characters and the encoding shows.
  const bool desktop = state.HasOption(eoDesktopKeys);
  const TextEncoding encoding = state.Encoding();
  const int column =
      CharColumn(Editor->Editor().Document().LineText(state.CaretY()), state.CaretX(), encoding);
  return {state.CaretY(), column,     state.InsertMode(),
          state.Mode(),   Modified(), desktop ? EncodingName(encoding) : ""};
}
void DocumentWindow::Undo() { Editor->Editor().ExecuteCommand(ecUndo); }
void DocumentWindow::Redo() { Editor->Editor().ExecuteCommand(ecRedo); }
void DocumentWindow::CutToClipboard() { Editor->Editor().ExecuteCommand(ecCut); }
void DocumentWindow::CopyToClipboard() { Editor->Editor().ExecuteCommand(ecCopy); }
void DocumentWindow::PasteFromClipboard() { Editor->Editor().ExecuteCommand(ecPaste); }
void DocumentWindow::DeleteSelection() { Editor->Editor().SetSelText(""); }
void DocumentWindow::BlockIndent() { Editor->Editor().ExecuteCommand(ecBlockIndent); }
void DocumentWindow::BlockUnindent() { Editor->Editor().ExecuteCommand(ecBlockUnindent); }
void DocumentWindow::Fold(EditorCommand command) { Editor->Editor().ExecuteCommand(command); }
std::string DocumentWindow::SelText() const {
  return SelectedText(Editor->Editor().Document(), Editor->Editor().State());
}
int DocumentWindow::LineCount() const { return Editor->Editor().Document().LineCount(); }
std::string DocumentWindow::WordAtCaret() const {
  const TextEditor& editor = Editor->Editor();
  const TextPoint caret = editor.State().CaretXY();
  return IdentifierAt(editor.Document().LineText(caret.Y), caret.X);
}

std::string DocumentWindow::ShownText() const {
  std::string text;
  const TextDocument& document = Editor->Editor().Document();
  for (int line = 1; line <= document.LineCount(); ++line) {
    if (line > 1) text += '\n';
    text += document.LineText(line);
  }
  return text;
}

void DocumentWindow::ReplaceLines(int first, int last, const std::string& text) {
  TextEditor& editor = Editor->Editor();
  editor.State().SelectRange({1, first},
                             {static_cast<int>(editor.Document().LineText(last).size()) + 1, last});
  // A cut and the insertion after it undo as one step.
  editor.ReplaceSelText(text);
}

std::string IdentifierAt(const std::string& line, int column) {
  auto inWord = [&line](std::size_t at) {
    const auto byte = static_cast<unsigned char>(line[at]);
    return byte == '_' || byte >= 0x80 || !IsDelimiter(byte);
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
void DocumentWindow::SetCaretY(int line) { Editor->Editor().State().SetCaretY(line); }

void DocumentWindow::Print(QPrinter& printer) {
  PrintSourceFile(Editor->Editor(), Editor->EditorFont(), FileName(), printer);
}

int DocumentWindow::SearchReplace(const std::string& search, const std::string& replace,
                                  SearchFlags options) {
  return Editor->Editor().SearchReplace(search, replace, options);
}

void DocumentWindow::ApplySettings(const Settings& settings) {
  Editor->Editor().Document().SetMaxUndo(settings.UndoLevels);
  clipboardLineFeeds_ = settings.KeepFileFormat;
  for (EditorWidget* view : views_) {
    view->Editor().State().SetTabWidth(settings.TabWidth);
    view->Editor().State().SetOptions(settings.DesktopEditing ? kDesktopEditorOptions
                                                              : kDefaultEditorOptions);
    view->Editor().Gutter().SetShowFolds(settings.DesktopEditing);
    // Where files keep their own line ends, plain text goes out as the desktop's programs expect.
    view->SetClipboardLineFeeds(settings.KeepFileFormat);
    // An empty name or a size of none keeps the control's own font.
    if (!settings.EditorFont.empty() && settings.EditorFontSize > 0)
      view->SetEditorFont(QFont(QString::fromStdString(settings.EditorFont), settings.EditorFontSize));
    LoadUserKeyMap(view->Editor().Keystrokes(), settings.EditorKeys);
  }
  ApplyTokenLooks(*CodeHighlighter, TokenLooksFor(settings, palette()));
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
  if (CloseQuery())
    event->accept();
  else
    event->ignore();
}

void DocumentWindow::MarkLine(int line) {
  MarkedLine = line;
  for (EditorWidget* view : views_)
    view->viewport()->update();
}

int DocumentWindow::VisibleLineCount() const { return Editor->Editor().Geometry().LinesInWindow(); }

void DocumentWindow::ShowPlace(int line, int column) {
  TextEditor& editor = Editor->Editor();
  editor.State().SetCaretXY(editor.Document().Clamped({column, line}));
  SetTopLine(std::max(1, editor.State().CaretY() - VisibleLineCount() / 2));
}

void DocumentWindow::SetTopLine(int line) { Editor->Editor().Geometry().SetTopLine(line); }

void DocumentWindow::BringToFront() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    if (frame->isMinimized()) frame->showNormal();
    if (QMdiArea* area = frame->mdiArea()) area->setActiveSubWindow(frame);
    frame->raise();
  }
  // The user can type the fix at once.
  Editor->setFocus(Qt::OtherFocusReason);
  Editor->viewport()->update();
}

void DocumentWindow::AskReplace(std::string_view search, ReplaceAction& action) {
  switch (questions_.AskYesNoCancelAll("Replace this occurance of '" + std::string(search) + "'")) {
  case Answer::Yes: action = ReplaceAction::Replace; break;
  case Answer::No: action = ReplaceAction::Skip; break;
  case Answer::All: action = ReplaceAction::ReplaceAll; break;
  default: action = ReplaceAction::Cancel; break;
  }
}

void DocumentWindow::ReflectEdit() {
  // An undo back to the saved text takes the "*" away again.
  if (Modified() && MarkedLine != -1) MarkLine(-1);
  ShowCaption();
}

void DocumentWindow::MarkedLineColors(int line, bool& special, ColorValue& foreground,
                                      ColorValue& background) const {
  if (line != MarkedLine) return;
  special = true;
  foreground = kMarkedLineText;
  background = MarkColour;
}

void DocumentWindow::ShowCaption() {
  const std::string caption = paths::ExtractFileName(FileName()) + (Modified() ? "*" : "");
  setWindowTitle(QString::fromStdString(caption));
}
