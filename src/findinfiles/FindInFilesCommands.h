// The Find in Files command: asks for the text, searches the active project's files as stored
// on disk and lists every matching line on the "Find in Files" page. The double-click on a
// listed line is the build's jump to source, wired with the build commands.
#pragma once

#include "FindInFilesProgress.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class FindInFilesDialog;
class QListWidget;
class QTabWidget;
class ProjectList;

// The page of the message area that shows the results.
struct FindInFilesPage {
  QTabWidget& MessagePages;
  QWidget& FindinFilesSheet;
  QListWidget& FindFilesListBox;
};

class FindInFilesCommands {
public:
  // `showModal` shows a dialog and says whether it closed with OK; `newProgress` makes what shows
  // a run's progress and takes the user's Stop.
  FindInFilesCommands(FindInFilesDialog& dialog, const ProjectList& workspace, FindInFilesPage page,
                      std::function<bool(QDialog&)> showModal,
                      std::function<std::unique_ptr<FindInFilesProgress>()> newProgress);

  // Raises "Pattern is empty" for an empty text, before the list is touched, and a file's
  // read error after the entries found before it. A run the user stops lists what it found.
  void FindInFiles();

private:
  // Fills the list in one go and selects the last entry, which scrolls it into view.
  void ShowEntries(const std::vector<std::string>& entries);

  FindInFilesDialog& dialog_;
  const ProjectList& workspace_;
  FindInFilesPage page_;
  std::function<bool(QDialog&)> showModal_;
  std::function<std::unique_ptr<FindInFilesProgress>()> newProgress_;
};
