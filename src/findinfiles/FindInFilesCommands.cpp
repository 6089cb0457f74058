// The Find in Files and Replace in Files commands on the message area's page.
#include "FindInFilesCommands.h"

#include "DisplayText.h"
#include "EditorWindowPort.h"
#include "FindInFilesDialog.h"
#include "PlacesPage.h"
#include "ProjectList.h"
#include "ReplacePreviewDialog.h"
#include "StoredFile.h"
#include "UserQuestions.h"

#include <QTabWidget>

#include <filesystem>

namespace {

std::string Plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

FindInFilesCommands::FindInFilesCommands(FindInFilesDialog& dialog, const ProjectList& workspace,
                                         FindInFilesPage page, FindInFilesWindows windows,
                                         UserQuestions& questions, std::function<bool()> backupSource,
                                         std::function<bool(QDialog&)> showModal,
                                         std::function<std::unique_ptr<FindInFilesProgress>()> newProgress)
    : dialog_(dialog), workspace_(workspace), page_(page), windows_(std::move(windows)),
      questions_(questions), backupSource_(std::move(backupSource)), showModal_(std::move(showModal)),
      newProgress_(std::move(newProgress)) {}

bool FindInFilesCommands::FindInFilesEnabled() const {
  // A folder can be searched without any project.
  return dialog_.Desktop() || workspace_.ActiveProject != nullptr;
}

bool FindInFilesCommands::AskQuery(bool replacing) {
  dialog_.SetReplacing(replacing);
  if (dialog_.Desktop()) {
    if (EditorWindowPort* editor = windows_.activeEditor ? windows_.activeEditor() : nullptr) {
      const std::string selected = editor->SelAvail() ? editor->SelText() : editor->WordAtCaret();
      if (!selected.empty() && selected.find_first_of("\r\n") == std::string::npos)
        dialog_.SetFindText(selected, EncodingOf(*editor));
    }
  }
  return showModal_(dialog_);
}

void FindInFilesCommands::FindInFiles() {
  if (!dialog_.Desktop()) return FindInProject();
  if (!AskQuery(false)) return;
  TextMatcher matcher(dialog_.Query());
  const std::vector<std::string> files = Files();
  dialog_.RememberTexts();
  FindEverywhere(matcher, files);
}

std::vector<std::string> FindInFilesCommands::Files() const {
  const SearchScope scope = dialog_.Scope();
  std::error_code failed;
  if (scope.where == SearchWhere::Folder && !std::filesystem::is_directory(scope.folder, failed))
    throw TessarinError("The folder '" + scope.folder + "' does not exist.");
  return FilesToSearch(workspace_, scope);
}

void FindInFilesCommands::FindInProject() {
  const Project* project = workspace_.ActiveProject;
  if (project == nullptr || !showModal_(dialog_)) return;
  TextMatcher matcher(dialog_.Query());
  page_.MessagePages.setCurrentWidget(&page_.FindInFilesTab);
  PlaceListModel& places = page_.Results.Places();
  places.SetLayout(PlaceListModel::Layout::Entries);
  places.Clear();
  page_.Results.SetSummary({});
  const std::unique_ptr<FindInFilesProgress> progress = newProgress_();
  const int files = static_cast<int>(project->Files.size());
  // Each entry is selected as it is added: the list ends on the last one.
  struct SelectLast {
    PlacesPage& page;
    ~SelectLast() { page.SelectRow(page.Places().rowCount() - 1); }
  } selectLast{page_.Results};
  for (int i = 0; i < files; ++i) {
    places.Append(SearchFile(matcher, {project->Files[static_cast<std::size_t>(i)].Path, std::nullopt}));
    if (!progress->Continue(i + 1, files, static_cast<std::size_t>(places.rowCount()))) break;
  }
}

void FindInFilesCommands::FindEverywhere(TextMatcher& matcher, const std::vector<std::string>& files) {
  page_.MessagePages.setCurrentWidget(&page_.FindInFilesTab);
  PlaceListModel& places = page_.Results.Places();
  places.SetLayout(PlaceListModel::Layout::Grouped);
  places.Clear();
  const std::unique_ptr<FindInFilesProgress> progress = newProgress_();
  const int total = static_cast<int>(files.size());
  int searched = 0;
  std::vector<std::string> unreadable;
  for (const std::string& path : files) {
    EditorWindowPort* window = windows_.windowOf ? windows_.windowOf(path) : nullptr;
    // An open file with unsaved changes is searched as its window shows it.
    std::optional<std::string> shown;
    if (window != nullptr && window->Modified()) shown = window->ShownText();
    try {
      places.Append(SearchFile(matcher, {path, std::move(shown)}));
    } catch (const TessarinError&) {
      unreadable.push_back(path);
    }
    ++searched;
    if (!progress->Continue(searched, total, static_cast<std::size_t>(places.MarkCount()))) break;
  }
  std::string summary =
      places.MarkCount() == 0
          ? "No match for '" + matcher.Query().pattern + "' in " + Plural(total, "file", "files")
          : Plural(places.MarkCount(), "match", "matches") + " of '" + matcher.Query().pattern + "' in " +
                Plural(places.FileCount(), "file", "files");
  if (searched < total)
    summary += " (stopped after " + std::to_string(searched) + " of " + std::to_string(total) + " files)";
  if (!unreadable.empty())
    summary += "; " + Plural(static_cast<int>(unreadable.size()), "file", "files") +
               " could not be read: " + unreadable.front() + (unreadable.size() > 1 ? ", ..." : "");
  page_.Results.SetSummary(ToDisplay(summary));
}

std::vector<FileReplacement> FindInFilesCommands::PlanReplacements(TextMatcher& matcher,
                                                                   const std::vector<std::string>& files,
                                                                   std::vector<std::string>& failures) {
  Replacer replacer(matcher, dialog_.NewText());
  std::vector<FileReplacement> plans;
  const std::unique_ptr<FindInFilesProgress> progress = newProgress_();
  int done = 0;
  for (const std::string& path : files) {
    // An open file is changed in its window, so what it shows is what is replaced.
    EditorWindowPort* window = windows_.windowOf ? windows_.windowOf(path) : nullptr;
    try {
      FileReplacement plan =
          replacer.Plan(path, window != nullptr ? window->ShownText() : stored_file::ReadStoredBytes(path));
      plan.inWindow = window != nullptr;
      if (plan.count > 0) plans.push_back(std::move(plan));
    } catch (const TessarinError& error) {
      failures.push_back(error.Message());
    }
    if (!progress->Continue(++done, static_cast<int>(files.size()), plans.size())) {
      plans.clear(); // a replacement the user stopped replaces nothing
      failures.clear();
      break;
    }
  }
  return plans;
}

void FindInFilesCommands::ReplaceInFiles() {
  if (!dialog_.Desktop() || !AskQuery(true)) return;
  TextMatcher matcher(dialog_.Query());
  const std::vector<std::string> files = Files();
  dialog_.RememberTexts();
  ReplaceSummary summary;
  std::vector<FileReplacement> plans = PlanReplacements(matcher, files, summary.failures);
  if (plans.empty() && summary.failures.empty()) {
    questions_.Inform("No match for '" + matcher.Query().pattern + "' found.");
    return;
  }
  if (!plans.empty()) {
    ReplacePreviewDialog preview(plans, dialog_.parentWidget());
    if (!showModal_(preview)) return;
  }
  ApplyReplacements(plans, windows_.windowOf, backupSource_(), summary);
  questions_.Inform(SummaryText(summary));
}
