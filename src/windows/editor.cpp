#include "editor.h"

#include "Paths.h"
#include "Printing.h"
#include "Settings.h"
#include "SourceFile.h"
#include "VrnCppSyn.h"
#include "kxCustomEdit.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace {

constexpr TColor kMarkedLineText = 0xFFFFFF;
constexpr int kMaxUndo = 10;

const char* const kSaveFilter = "C Files (*.c; *.h)|*.c; *.h|All Files (*.*)|*.*";

} // namespace

TEditorForm::TEditorForm(const Settings& settings, UserQuestions& questions, QWidget* parent)
    : QWidget(parent), MyEditor(new TkxCustomEdit(this)), MyHighlighter(std::make_unique<TVrnCppSyn>()),
      OnReplaceText([this](std::string_view search, std::string_view, int, int, TkxReplaceAction& action) {
        MyEditorReplaceText(search, action);
      }),
      questions_(questions), settings_(settings) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(MyEditor);
  setFocusProxy(MyEditor); // activating the window puts the caret in the text
  setWindowTitle(kUntitledFileName);

  MyEditor->Gutter().SetShowLineNumbers(true);
  MyEditor->SetWantTabs(true);
  MyEditor->SetReadOnly(false);
  MyEditor->SetMaxUndo(kMaxUndo);
  SetEditorFont(settings_.EditorFont, settings_.EditorFontSize);
  // Editor windows show comments and keywords in their colours only.
  ApplyFormColours(*MyHighlighter);
  MyHighlighter->CommentAttri().SetStyle(0);
  MyHighlighter->KeyAttri().SetStyle(0);
  MyEditor->SetHighLighter(MyHighlighter.get());
  MyEditor->OnReplaceText = OnReplaceText;
  MyEditor->OnChange = [this] { MyEditorChange(); };
  MyEditor->OnSpecialLineColors = [this](int line, bool& special, TColor& fg, TColor& bg) {
    MyEditorSpecialLineColors(line, special, fg, bg);
  };
}

TEditorForm::~TEditorForm() {
  // The editor goes with the widget tree; it must not keep a highlighter that goes first.
  MyEditor->SetHighLighter(nullptr);
}

void TEditorForm::LoadFile(const std::string& path) {
  source_file::LoadResult loaded = source_file::Load(path);
  if (!loaded.error.empty()) throw TessarinError(loaded.error);
  fileName_ = path;
  MyEditor->Lines().Assign(loaded.lines);
  MyEditor->ClearUndo();
  MyEditor->SetModified(false);
  ShowCaption();
}

bool TEditorForm::WriteTo(const std::string& path) {
  const std::string error = source_file::Save(path, MyEditor->Lines().Strings(), settings_.BackupSource);
  if (!error.empty()) {
    questions_.showError(error);
    return false;
  }
  fileName_ = path;
  MyEditor->SetModified(false);
  ShowCaption();
  return true;
}

bool TEditorForm::TrySave() {
  if (!MyEditor->Modified()) return true;
  // A window never named would land in whatever the current folder is.
  if (fileName_ == kUntitledFileName) return SaveFileAsAsked();
  return WriteTo(fileName_);
}

bool TEditorForm::SaveFileAs(const std::string& path) {
  if (paths::FileExists(path) && questions_.askYesNo("Overwrite Existing File?") != Answer::Yes) return false;
  return WriteTo(path);
}

bool TEditorForm::SaveFileAsAsked() {
  FileDialogRequest request;
  request.title = "Save File";
  request.filter = kSaveFilter;
  request.defaultExtension = "c";
  request.initialFile = fileName_;
  const std::optional<std::string> path = questions_.chooseFileToSave(request);
  return path && SaveFileAs(*path);
}

bool TEditorForm::CanUndo() const { return MyEditor->CanUndo(); }
bool TEditorForm::CanRedo() const { return MyEditor->CanRedo(); }
bool TEditorForm::Modified() const { return MyEditor->Modified(); }
bool TEditorForm::SelAvail() const { return MyEditor->SelAvail(); }
void TEditorForm::Undo() { MyEditor->Undo(); }
void TEditorForm::Redo() { MyEditor->Redo(); }
void TEditorForm::CutToClipboard() { MyEditor->CutToClipboard(); }
void TEditorForm::CopyToClipboard() { MyEditor->CopyToClipboard(); }
void TEditorForm::PasteFromClipboard() { MyEditor->PasteFromClipboard(); }
void TEditorForm::DeleteSelection() { MyEditor->SetSelText(""); }
std::string TEditorForm::SelText() const { return MyEditor->SelText(); }
int TEditorForm::LineCount() const { return MyEditor->LineCount(); }
void TEditorForm::SetCaretY(int line) { MyEditor->SetCaretY(line); }

void TEditorForm::Print(QPrinter& printer) {
  PrintSourceFile(MyEditor->Core(), MyEditor->EditorFont(), fileName_, printer);
}

int TEditorForm::SearchReplace(const std::string& search, const std::string& replace,
                               TkxSearchOptions options) {
  return MyEditor->SearchReplace(search, replace, options);
}

void TEditorForm::SetEditorFont(const std::string& name, int size) {
  if (name.empty() || size <= 0) return; // keep the control's own font
  MyEditor->SetEditorFont(QFont(QString::fromStdString(name), size));
}

bool TEditorForm::CloseQuery() {
  if (!MyEditor->Modified()) return true;
  switch (questions_.askYesNoCancel("Save changes to " + fileName_ + "?")) {
  case Answer::Yes: return TrySave(); // a failed or cancelled save keeps the window and its text
  case Answer::No: MyEditor->SetModified(false); return true;
  default: return false;
  }
}

void TEditorForm::closeEvent(QCloseEvent* event) {
  if (CloseQuery())
    event->accept();
  else
    event->ignore();
}

void TEditorForm::MarkLine(int line) {
  MarkedLine = line;
  MyEditor->viewport()->update();
}

int TEditorForm::VisibleLineCount() const { return MyEditor->LinesInWindow(); }

void TEditorForm::SetTopLine(int line) { MyEditor->SetTopLine(line); }

void TEditorForm::BringToFront() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    if (frame->isMinimized()) frame->showNormal();
    if (QMdiArea* area = frame->mdiArea()) area->setActiveSubWindow(frame);
    frame->raise();
  }
  MyEditor->viewport()->update();
}

void TEditorForm::MyEditorReplaceText(std::string_view search, TkxReplaceAction& action) {
  switch (questions_.askYesNoCancelAll("Replace this occurance of '" + std::string(search) + "'")) {
  case Answer::Yes: action = raReplace; break;
  case Answer::No: action = raSkip; break;
  case Answer::All: action = raReplaceAll; break;
  default: action = raCancel; break;
  }
}

void TEditorForm::MyEditorChange() {
  if (!MyEditor->Modified()) return;
  if (MarkedLine != -1) MarkLine(-1);
  ShowCaption();
}

void TEditorForm::MyEditorSpecialLineColors(int line, bool& special, TColor& foreground,
                                            TColor& background) const {
  if (line != MarkedLine) return;
  special = true;
  foreground = kMarkedLineText;
  background = MarkColour;
}

void TEditorForm::ShowCaption() {
  const std::string caption = paths::ExtractFileName(fileName_) + (MyEditor->Modified() ? "*" : "");
  setWindowTitle(QString::fromStdString(caption));
}
