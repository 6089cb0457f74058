// The Find in Files command on the message area's page.
#include "FindInFilesCommands.h"

#include "DisplayText.h"
#include "FindInFilesDialog.h"
#include "FindInFilesSearch.h"
#include "ProjectList.h"

#include <QListWidget>
#include <QTabWidget>

FindInFilesCommands::FindInFilesCommands(TFindInFilesDialog& dialog, const TProjectList& workspace,
                                         FindInFilesPage page, std::function<bool(QDialog&)> showModal)
    : dialog_(dialog), workspace_(workspace), page_(page), showModal_(std::move(showModal)) {}

void FindInFilesCommands::FindInFilesActionExecute() {
  const TProjectItem* project = workspace_.ActiveProject;
  if (project == nullptr || !showModal_(dialog_)) return;
  TkxEditSearch engine;
  engine.SetPattern(dialog_.FindText());
  engine.SetCaseSensitive(dialog_.CaseSensitive());
  engine.SetWholeWords(dialog_.WholeWords());
  page_.MessagePages.setCurrentWidget(&page_.FindinFilesSheet);
  page_.FindFilesListBox.clear();
  SearchFiles(engine, project->Files, [this](const std::string& entry) { AddEntry(entry); });
}

void FindInFilesCommands::AddEntry(const std::string& entry) {
  // Shown as the workspace tree shows paths, so that the jump to source reads the path back.
  page_.FindFilesListBox.addItem(ToDisplay(entry));
  // Selecting the new entry scrolls the list to it.
  page_.FindFilesListBox.setCurrentRow(page_.FindFilesListBox.count() - 1);
}
