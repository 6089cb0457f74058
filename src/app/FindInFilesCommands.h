// The Find in Files command: asks for the text, searches the active project's files as stored
// on disk and lists every matching line on the "Find in Files" page. The double-click on a
// listed line is the build's jump to source, wired with the build commands.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class MainActions;
class QListWidget;
class QTabWidget;
class TFindInFilesDialog;
class TMainForm;
class TProjectList;

// The page of the message area that shows the results.
struct FindInFilesPage {
  QTabWidget& MessagePages;
  QWidget& FindinFilesSheet;
  QListWidget& FindFilesListBox;
};

class FindInFilesCommands {
public:
  // Wires "FindInFilesAction"; its enabled state goes with Build Active Project. `showModal`
  // shows a dialog and says whether it closed with OK.
  FindInFilesCommands(MainActions& actions, TFindInFilesDialog& dialog, const TProjectList& workspace,
                      FindInFilesPage page, std::function<bool(QDialog&)> showModal);

  // Raises "Pattern is empty" for an empty text, before the list is touched, and a file's
  // read error after the entries found before it.
  void FindInFilesActionExecute();

private:
  void AddEntry(const std::string& entry);

  TFindInFilesDialog& dialog_;
  const TProjectList& workspace_;
  FindInFilesPage page_;
  std::function<bool(QDialog&)> showModal_;
};

// Find in Files on the main window's "Find in Files" page over `workspace`.
[[nodiscard]] std::unique_ptr<FindInFilesCommands>
MakeFindInFilesCommands(TMainForm& form, TFindInFilesDialog& dialog, const TProjectList& workspace);
