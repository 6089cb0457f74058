#include "CodeNavigation.h"

#include "BuildDiagnostics.h"
#include "DocumentFeed.h"
#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "EditorWindowPort.h"
#include "MainActions.h"
#include "Paths.h"
#include "PickListDialog.h"
#include "PlacesPage.h"
#include "ReplacePreviewDialog.h"
#include "Settings.h"
#include "SourceFile.h"
#include "StoredFile.h"
#include "SymbolRename.h"
#include "WindowCommands.h"
#include "WorkspacePort.h"

#include <QAction>
#include <QHelpEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <QPointer>

#include <algorithm>
#include <climits>
#include <map>

namespace {

DocumentWindow* DocumentIn(const QMdiSubWindow* window) {
  return window != nullptr ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
}

// The feed is the only companion a document window gets, and only from here.
DocumentFeed* FeedOf(const DocumentWindow& window) {
  return static_cast<DocumentFeed*>(window.DocumentCompanion.get());
}

// The lines of a file as an open window holds them, else as the disk does.
std::vector<std::string> LinesOf(const std::string& path, WindowCommands& windows) {
  if (const DocumentWindow* window = DocumentIn(windows.FindEditorWindow(path)))
    return window->Editor->Editor().Document().Lines().Strings();
  source_file::LoadResult loaded = source_file::Load(path, true);
  return loaded.error.empty() ? std::move(loaded.lines) : std::vector<std::string>();
}

std::vector<Annotation> AnnotationsOf(const std::vector<ServerDiagnostic>& diagnostics, bool warnings) {
  std::vector<Annotation> marks;
  for (const ServerDiagnostic& diagnostic : diagnostics) {
    const bool error = diagnostic.severity == Severity::Error;
    if (!error && !(warnings && diagnostic.severity == Severity::Warning)) continue;
    const TextRange& range = diagnostic.range;
    // A range over several lines is marked on its first, to that line's end.
    const int last = range.end.line == range.start.line ? range.end.column : INT_MAX;
    marks.push_back({error ? AnnotationKind::Error : AnnotationKind::Warning, range.start.line,
                     range.start.column, std::max(last, range.start.column), diagnostic.message});
  }
  return marks;
}

// The messages a tooltip at `at` shows: every one of the line from the gutter, else those whose
// range holds the column.
std::string MessagesAt(const LineAnnotations& annotations, TextPoint at, bool inGutter) {
  std::string text;
  for (const Annotation* annotation : annotations.OnLine(at.Y)) {
    const bool point = annotation->firstColumn == annotation->lastColumn;
    const bool covers = point ? annotation->firstColumn == 1 || at.X == annotation->firstColumn
                              : at.X >= annotation->firstColumn && at.X < annotation->lastColumn;
    if (inGutter || covers) text += (text.empty() ? "" : "\n") + annotation->text;
  }
  return text;
}

} // namespace

CodeNavigation::CodeNavigation(CodeNavigationShell shell)
    : shell_(std::move(shell)),
      commands_(NavigationShell{
          [this] { return shell_.workspace().CodeNavigator().get(); }, [this] { return Caret(); },
          [this](const CaretPlace& place) { Show(place); },
          [this](const std::vector<std::string>& labels) {
            return shell_.choose ? shell_.choose(labels) : ChooseAtCaret(labels);
          },
          shell_.tell,
          [this](const std::string& name, const Locations& places) { ShowReferences(name, places); },
          [this] {
            const EditorWindowPort* editor = shell_.windows.ActiveEditor();
            return editor != nullptr ? editor->WordAtCaret() : std::string();
          },
          [this](const std::string& name, TextRole role) { return OpenDefinitions(name, role); },
          [this](const std::string& name) { return AssemblyDefinitions(name); },
          [this](const std::string& oldName) { return AskNewName(oldName); },
          [this](const std::string& oldName, const std::string& newName,
                 const std::vector<FileEdits>& edits) { Rename(oldName, newName, edits); }}) {
  ReferencesResults = new PlacesPage;
  ReferencesResults->List().setObjectName("ReferencesList");
  ReferencesSheet = new QWidget;
  auto* layout = new QVBoxLayout(ReferencesSheet);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ReferencesResults);
  shell_.messagePages.addTab(ReferencesSheet, "References");
  ReferencesResults->OnPlaceChosen = [this](const Place& place) {
    commands_.JumpTo({place.file, {place.line, ReferenceColumn(place)}});
  };
  Wire();
}

CodeNavigation::~CodeNavigation() = default;

void CodeNavigation::Wire() {
  MainActions& a = shell_.actions;
  a.SetHandler("GoToDefinitionAction", [this] { commands_.GoToDefinition(); });
  a.SetHandler("GoToDeclarationAction", [this] { commands_.GoToDeclaration(); });
  a.SetHandler("FindReferencesAction", [this] { commands_.FindReferences(); });
  a.SetHandler("RenameSymbolAction", [this] { commands_.RenameSymbol(); });
  a.SetHandler("NavigateBackAction", [this] { commands_.Back(); });
  a.SetHandler("NavigateForwardAction", [this] { commands_.Forward(); });
  a.SetHandler("QuickOpenAction", [this] { QuickOpen(); });
  a.SetHandler("GoToSymbolAction", [this] { GoToSymbol(); });
  for (const char* name :
       {"GoToDefinitionAction", "GoToDeclarationAction", "FindReferencesAction", "RenameSymbolAction"})
    a.SetEnabledHandler(name, [this] { return shell_.windows.ActiveEditor() != nullptr; });
  a.SetEnabledHandler("NavigateBackAction", [this] { return commands_.CanGoBack(); });
  a.SetEnabledHandler("NavigateForwardAction", [this] { return commands_.CanGoForward(); });
  for (const char* name : {"QuickOpenAction", "GoToSymbolAction"})
    a.SetEnabledHandler(name, [this] { return shell_.workspace().HoldsProjects(); });
}

std::optional<CaretPlace> CodeNavigation::Caret() const {
  const DocumentWindow* window = DocumentIn(shell_.windows.ActiveWindow());
  if (window == nullptr || window->FileName().empty()) return std::nullopt;
  // The byte column, as places are kept: the status bar's column counts characters.
  const TextPoint caret = window->Editor->Editor().State().CaretXY();
  return CaretPlace{window->FileName(), {caret.Y, caret.X}};
}

void CodeNavigation::Show(const CaretPlace& place) {
  QMdiSubWindow* frame = shell_.openEditorWindow(place.path);
  DocumentWindow* window = DocumentIn(frame);
  if (window == nullptr) return;
  shell_.windows.BringToFront(frame);
  window->ShowPlace(place.at.line, place.at.column);
}

std::optional<std::size_t> CodeNavigation::ChooseAtCaret(const std::vector<std::string>& labels) {
  QMenu menu(&shell_.window);
  for (const std::string& label : labels)
    menu.addAction(QString::fromStdString(label));
  QPoint at = QCursor::pos();
  if (const DocumentWindow* window = DocumentIn(shell_.windows.ActiveWindow()))
    at = window->Editor->viewport()->mapToGlobal(window->Editor->CaretRect().bottomLeft());
  const QAction* picked = menu.exec(at);
  if (picked == nullptr) return std::nullopt;
  return static_cast<std::size_t>(menu.actions().indexOf(picked));
}

void CodeNavigation::ShowReferences(const std::string& name, const Locations& places) {
  // Grouped by file, in line order within each, a line's uses marked.
  std::map<std::string, std::map<int, std::vector<TextMatch>>> byFile;
  for (const SourceLocation& place : places) {
    const TextRange& range = place.range;
    const int last = range.end.line == range.start.line ? range.end.column : range.start.column;
    byFile[place.path][range.start.line].push_back({static_cast<std::size_t>(range.start.column - 1),
                                                    static_cast<std::size_t>(last - range.start.column)});
  }
  PlaceListModel& model = ReferencesResults->Places();
  model.Clear();
  for (auto& [path, lines] : byFile) {
    const std::vector<std::string> text = LinesOf(path, shell_.windows);
    FileHits hits{path, {}};
    for (auto& [line, marks] : lines)
      hits.lines.push_back(
          {line, line >= 1 && line <= static_cast<int>(text.size()) ? text[line - 1] : "", std::move(marks)});
    model.Append(std::move(hits));
  }
  ReferencesResults->SetSummary(
      QString::fromStdString("References of " + name + ": " + std::to_string(places.size()) + " in " +
                             std::to_string(byFile.size()) + (byFile.size() == 1 ? " file" : " files")));
  shell_.messagePages.setCurrentWidget(ReferencesSheet);
}

int CodeNavigation::ReferenceColumn(const Place& place) const {
  for (const FileHits& file : ReferencesResults->Places().Files())
    if (file.path == place.file)
      for (const LineHit& line : file.lines)
        if (line.line == place.line && !line.matches.empty())
          return static_cast<int>(line.matches[0].start) + 1;
  return 1;
}

void CodeNavigation::FollowWindows() {
  const std::shared_ptr<Navigator> navigator = shell_.workspace().CodeNavigator();
  if (navigator.get() != hearing_) {
    hearing_ = navigator.get();
    hover_ = 0;
    if (navigator != nullptr) {
      navigator->OnDiagnostics = [this](const std::string& path,
                                        const std::vector<ServerDiagnostic>& diagnostics) {
        MarkDiagnostics(path, diagnostics);
      };
      navigator->OnIndexingChanged = [this, server = navigator.get()] {
        const std::optional<int> percent = server->IndexingPercent();
        shell_.tell(percent ? IndexingNote(*percent) : "clangd has indexed the workspace");
      };
    }
    for (QMdiSubWindow* frame : shell_.windows.Windows())
      if (DocumentWindow* window = DocumentIn(frame))
        window->Editor->Editor().Annotations().Replace(AnnotationSource::Server, {});
  }
  const BuildDiagnostics* build = shell_.workspace().BuildMessagesByFile();
  for (QMdiSubWindow* frame : shell_.windows.Windows())
    if (DocumentWindow* window = DocumentIn(frame)) {
      Follow(*window, navigator);
      if (build != nullptr) MarkBuildMessages(*window, *build);
    }
}

void CodeNavigation::MarkBuildMessages(DocumentWindow& window, const BuildDiagnostics& build) {
  // A running build's messages are marked as they come: each look adds only the new ones.
  const QVariant clearings = QVariant::fromValue(build.Clearings());
  const bool sameBuild = window.property("buildMarksOf") == clearings;
  const std::size_t marked = sameBuild ? window.property("buildMarks").value<std::size_t>() : 0;
  const std::vector<Diagnostic>& messages = build.Of(window.FileName());
  if (sameBuild && marked == messages.size()) return;
  window.setProperty("buildMarksOf", clearings);
  window.setProperty("buildMarks", QVariant::fromValue(messages.size()));
  std::vector<Annotation> marks;
  for (auto message = messages.begin() + static_cast<std::ptrdiff_t>(marked); message != messages.end();
       ++message)
    marks.push_back({message->kind == DiagnosticKind::Error ? AnnotationKind::Error : AnnotationKind::Warning,
                     message->line, 1, 1, message->message});
  LineAnnotations& annotations = window.Editor->Editor().Annotations();
  if (sameBuild)
    annotations.Add(AnnotationSource::Build, std::move(marks));
  else
    annotations.Replace(AnnotationSource::Build, std::move(marks));
}

void CodeNavigation::Follow(DocumentWindow& window, const std::shared_ptr<Navigator>& navigator) {
  if (window.Editor->contextMenuPolicy() != Qt::ActionsContextMenu) {
    window.Editor->setContextMenuPolicy(Qt::ActionsContextMenu);
    window.Editor->viewport()->installEventFilter(this);
    window.Editor->installEventFilter(this);
    const MainActions& a = shell_.actions;
    auto* separator = new QAction(window.Editor);
    separator->setSeparator(true);
    window.Editor->addActions({a["GoToDefinitionAction"], a["GoToDeclarationAction"],
                               a["FindReferencesAction"], a["RenameSymbolAction"], separator,
                               a["EditCutAction"], a["EditCopyAction"], a["EditPasteAction"]});
  }
  const DocumentFeed* feed = FeedOf(window);
  const std::string path = window.FileName();
  if (navigator == nullptr || path.empty()) {
    window.DocumentCompanion.reset();
    return;
  }
  if (feed != nullptr && feed->Path() == path && feed->Receiver() == navigator.get()) return;
  window.DocumentCompanion.reset(); // the old document closes before the new one opens
  auto fresh = std::make_shared<DocumentFeed>(window.Editor->Editor().Document(), navigator, path);
  window.OnFileSaved = [feed = std::weak_ptr<DocumentFeed>(fresh)] {
    if (const auto live = feed.lock()) live->Saved();
  };
  window.DocumentCompanion = std::move(fresh);
}

bool CodeNavigation::eventFilter(QObject* watched, QEvent* event) {
  if (auto* editor = qobject_cast<EditorWidget*>(watched);
      editor != nullptr && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier) {
      Complete(*editor, true);
      return true;
    }
    if (key->text() == "." || key->text() == ">")
      QTimer::singleShot(0, editor, [this, editor] {
        const TextEditor& text = editor->Editor();
        const TextPoint caret = text.State().CaretXY();
        const std::string before =
            text.Document().LineText(caret.Y).substr(0, static_cast<std::size_t>(caret.X - 1));
        if (before.ends_with(".") || before.ends_with("->")) Complete(*editor, false);
      });
    return false;
  }
  if (event->type() == QEvent::ToolTip) {
    if (auto* editor = qobject_cast<EditorWidget*>(watched->parent()))
      ShowToolTip(*editor, *static_cast<QHelpEvent*>(event));
    return true;
  }
  const bool press = event->type() == QEvent::MouseButtonPress;
  if (!press && event->type() != QEvent::MouseButtonRelease) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  auto* editor = qobject_cast<EditorWidget*>(watched->parent());
  if (editor == nullptr) return false;
  EditState& state = editor->Editor().State();
  if (!press && mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier) &&
      !state.SelAvail()) {
    commands_.GoToDefinition();
  } else if (press && mouse->button() == Qt::RightButton && !state.SelAvail()) {
    const QPoint at = mouse->position().toPoint();
    const TextPoint place = editor->Editor().Geometry().PixelsToRowColumn(at.x(), at.y());
    state.SetCaretXY(editor->Editor().Document().Clamped(place));
  }
  return false;
}

void CodeNavigation::MarkDiagnostics(const std::string& path,
                                     const std::vector<ServerDiagnostic>& diagnostics) {
  if (DocumentWindow* window = DocumentIn(shell_.windows.FindEditorWindow(path)))
    window->Editor->Editor().Annotations().Replace(
        AnnotationSource::Server, AnnotationsOf(diagnostics, shell_.settings.ClangdWarnings));
}

void CodeNavigation::ShowToolTip(EditorWidget& editor, const QHelpEvent& help) {
  const TextEditor& text = editor.Editor();
  const TextPoint at = text.Geometry().PixelsToRowColumn(help.pos().x(), help.pos().y());
  const std::string messages =
      MessagesAt(text.Annotations(), at, help.pos().x() < text.Geometry().GutterWidth());
  if (!messages.empty()) {
    QToolTip::showText(help.globalPos(), QString::fromStdString(messages), editor.viewport());
    return;
  }
  QToolTip::hideText();
  const DocumentWindow* window = DocumentWindow::Of(editor);
  Navigator* navigator = hearing_;
  if (window == nullptr || window->FileName().empty() || navigator == nullptr ||
      at.Y > text.Document().LineCount() || at.X > static_cast<int>(text.Document().LineText(at.Y).size()))
    return;
  if (hover_ != 0) navigator->Cancel(hover_);
  QPointer<QWidget> viewport = editor.viewport();
  hover_ = navigator->Hover(window->FileName(), {at.Y, at.X},
                            [this, viewport, shown = help.globalPos()](const Reply<HoverText>& reply) {
                              if (reply.status != ReplyStatus::Answered) return;
                              hover_ = 0;
                              // Shown only while the mouse still rests where it asked.
                              if (viewport.isNull() || reply.value.text.empty() ||
                                  (QCursor::pos() - shown).manhattanLength() > 4)
                                return;
                              QToolTip::showText(shown, QString::fromStdString(reply.value.text), viewport);
                            });
}

void CodeNavigation::Complete(EditorWidget& editor, bool asked) {
  const DocumentWindow* window = DocumentWindow::Of(editor);
  const std::shared_ptr<Navigator> navigator = shell_.workspace().CodeNavigator();
  const std::string problem = navigator == nullptr ? NavigationCommands::kNoWorkspace : navigator->Problem();
  if (window == nullptr || window->FileName().empty() || !problem.empty()) {
    if (asked)
      shell_.tell(window == nullptr || window->FileName().empty() ? NavigationCommands::kNoEditor : problem);
    return;
  }
  if (completing_ != 0) navigator->Cancel(completing_);
  const TextPoint caret = editor.Editor().State().CaretXY();
  QPointer<EditorWidget> target = &editor;
  completing_ = navigator->Complete(
      window->FileName(), {caret.Y, caret.X}, [this, target, asked](const Reply<Completions>& reply) {
        if (reply.status == ReplyStatus::Cancelled) return;
        completing_ = 0;
        const std::string problem = AnswerProblem(reply.status, reply.problem);
        if (!problem.empty() && asked) shell_.tell(problem);
        if (reply.status == ReplyStatus::Answered && !target.isNull() && !reply.value.items.empty())
          completions_.Show(*target, reply.value);
      });
}

void CodeNavigation::QuickOpen() {
  if (!quickOpen_) quickOpen_ = std::make_unique<PickListDialog>("Quick Open", &shell_.window);
  const ::QuickOpen files = shell_.workspace().WorkspaceFiles();
  std::vector<QuickOpenMatch> matches;
  quickOpen_->OnTyped = [this, &files, &matches](const std::string& typed) {
    matches = files.Matches(typed, 200);
    std::vector<std::string> rows;
    for (const QuickOpenMatch& match : matches)
      rows.push_back(match.shown);
    quickOpen_->ShowChoices(rows);
  };
  quickOpen_->Start();
  const bool picked = shell_.runDialog(*quickOpen_) == QDialog::Accepted;
  quickOpen_->OnTyped = nullptr;
  const int row = quickOpen_->Picked();
  if (!picked || row < 0 || row >= static_cast<int>(matches.size())) return;
  commands_.NoteJump();
  if (QMdiSubWindow* frame = shell_.openEditorWindow(matches[static_cast<std::size_t>(row)].path))
    shell_.windows.BringToFront(frame);
}

void CodeNavigation::GoToSymbol() {
  const std::shared_ptr<Navigator> navigator = shell_.workspace().CodeNavigator();
  if (navigator == nullptr) {
    shell_.tell(NavigationCommands::kNoWorkspace);
    return;
  }
  if (!navigator->Problem().empty()) {
    shell_.tell(navigator->Problem());
    return;
  }
  if (!symbols_) symbols_ = std::make_unique<PickListDialog>("Go to Symbol in Workspace", &shell_.window);
  auto matches = std::make_shared<std::vector<SymbolMatch>>();
  auto waiting = std::make_shared<RequestId>(0);
  PickListDialog* dialog = symbols_.get();
  symbols_->OnTyped = [navigator, matches, waiting, dialog](const std::string& typed) {
    if (*waiting != 0) navigator->Cancel(*waiting);
    *waiting = navigator->WorkspaceSymbols(
        typed, [matches, waiting, dialog](const Reply<std::vector<SymbolMatch>>& answer) {
          if (answer.status != ReplyStatus::Answered) return;
          *waiting = 0;
          *matches = answer.value;
          std::vector<std::string> rows;
          for (const SymbolMatch& match : *matches)
            rows.push_back(match.name + "    " + PlaceLabel(match.location));
          dialog->ShowChoices(rows);
        });
  };
  symbols_->Start();
  const bool picked = shell_.runDialog(*symbols_) == QDialog::Accepted;
  symbols_->OnTyped = nullptr;
  if (*waiting != 0) navigator->Cancel(*waiting);
  const int row = symbols_->Picked();
  if (!picked || row < 0 || row >= static_cast<int>(matches->size())) return;
  const SourceLocation& place = (*matches)[static_cast<std::size_t>(row)].location;
  commands_.JumpTo({place.path, place.range.start});
}

Locations CodeNavigation::OpenDefinitions(const std::string& name, TextRole role) const {
  Locations places;
  for (QMdiSubWindow* frame : shell_.windows.Windows())
    if (const DocumentWindow* window = DocumentIn(frame); window != nullptr && !window->FileName().empty())
      for (const TextRange& range :
           TextDefinitions(window->Editor->Editor().Document().Lines().Strings(), name, role))
        places.push_back({window->FileName(), range});
  return places;
}

Locations CodeNavigation::AssemblyDefinitions(const std::string& name) const {
  Locations places;
  for (const std::string& path : shell_.workspace().WorkspaceFiles().Paths())
    if (paths::LowerCase(paths::ExtractFileExt(path)) == ".asm")
      for (const TextRange& range : ::AssemblyDefinitions(LinesOf(path, shell_.windows), name))
        places.push_back({path, range});
  return places;
}

std::optional<std::string> CodeNavigation::AskNewName(const std::string& oldName) {
  QInputDialog dialog(&shell_.window);
  dialog.setWindowTitle("Rename Symbol");
  dialog.setLabelText(QString::fromStdString("New name for " + oldName + ":"));
  dialog.setTextValue(QString::fromStdString(oldName));
  if (shell_.runDialog(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().trimmed().toStdString();
}

void CodeNavigation::Rename(const std::string& oldName, const std::string& newName,
                            const std::vector<FileEdits>& edits) {
  WindowCommands& windows = shell_.windows;
  const RenameTextOf textOf = [&windows](const std::string& path) -> std::optional<RenameText> {
    if (QMdiSubWindow* window = windows.FindEditorWindow(path))
      return RenameText{WindowCommands::Port(window)->ShownText(), true};
    try {
      return RenameText{stored_file::ReadStoredBytes(path), false};
    } catch (const TessarinError&) {
      return std::nullopt;
    }
  };
  const RenamePlan plan = PlanRename(oldName, edits, shell_.workspace().WorkspaceFiles().Paths(), textOf);
  if (!plan.problem.empty()) {
    shell_.tell(plan.problem);
    return;
  }
  ReplacePreviewDialog preview(oldName, newName, plan.files, plan.textMatches, &shell_.window);
  if (shell_.runDialog(preview) != QDialog::Accepted) return;
  if (const std::string conflict = RenameConflict(plan.files, textOf); !conflict.empty()) {
    shell_.tell(conflict);
    return;
  }
  ReplaceSummary summary;
  ApplyReplacements(
      plan.files,
      [&windows](const std::string& path) -> EditorWindowPort* {
        QMdiSubWindow* window = windows.FindEditorWindow(path);
        return window != nullptr ? WindowCommands::Port(window) : nullptr;
      },
      shell_.settings.BackupSource, summary);
  std::string told = "Renamed " + oldName + " to " + newName + ": " + SummaryText(summary);
  std::replace(told.begin(), told.end(), '\n', ' ');
  shell_.tell(told);
}
