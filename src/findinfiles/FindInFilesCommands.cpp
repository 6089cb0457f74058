// The Find in Files command on the message area's page.
#include "FindInFilesCommands.h"

#include "DisplayText.h"
#include "FindInFilesDialog.h"
#include "FindInFilesSearch.h"
#include "ProjectList.h"
#include "UserQuestions.h"

#include <QListWidget>
#include <QTabWidget>

FindInFilesCommands::FindInFilesCommands(FindInFilesDialog& dialog, const ProjectList& workspace,
                                         FindInFilesPage page, std::function<bool(QDialog&)> showModal,
                                         std::function<std::unique_ptr<FindInFilesProgress>()> newProgress)
    : dialog_(dialog), workspace_(workspace), page_(page), showModal_(std::move(showModal)),
      newProgress_(std::move(newProgress)) {}

void FindInFilesCommands::FindInFiles() {
  const Project* project = workspace_.ActiveProject;
  if (project == nullptr || !showModal_(dialog_)) return;
  SearchEngine engine;
  engine.SetPattern(dialog_.FindText());
  engine.SetCaseSensitive(dialog_.CaseSensitive());
  engine.SetWholeWords(dialog_.WholeWords());
  page_.MessagePages.setCurrentWidget(&page_.FindinFilesSheet);
  page_.FindFilesListBox.clear();
  std::vector<std::string> entries;
  const std::unique_ptr<FindInFilesProgress> progress = newProgress_();
  const int files = static_cast<int>(project->Files.size());
  try {
    for (int i = 0; i < files; ++i) {
      SearchFile(engine, project->Files[static_cast<std::size_t>(i)].Path,
                 [&entries](std::string entry) { entries.push_back(std::move(entry)); });
      if (!progress->Continue(i + 1, files, entries.size())) break;
    }
  } catch (const TessarinError&) {
    ShowEntries(entries);
    throw;
  }
  ShowEntries(entries);
}

void FindInFilesCommands::ShowEntries(const std::vector<std::string>& entries) {
  QStringList items;
  items.reserve(static_cast<qsizetype>(entries.size()));
  // Shown as the workspace tree shows paths, so that the jump to source reads the path back.
  for (const std::string& entry : entries)
    items.append(ToDisplay(entry));
  QListWidget& list = page_.FindFilesListBox;
  list.addItems(items);
  list.setCurrentRow(list.count() - 1);
}
