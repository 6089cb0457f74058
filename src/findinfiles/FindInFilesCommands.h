// The Find in Files command: asks for the text, searches the active project's files as stored
// on disk and lists every matching line on the "Find in Files" page. The double-click on a
// listed line is the build's jump to source, wired with the build commands.
#pragma once

#include <QDialog>

#include <functional>

class TFindInFilesDialog;
class QListWidget;
class QTabWidget;
class TProjectList;

// The page of the message area that shows the results.
struct FindInFilesPage {
  QTabWidget& MessagePages;
  QWidget& FindinFilesSheet;
  QListWidget& FindFilesListBox;
};

class FindInFilesCommands {
public:
  // `showModal` shows a dialog and says whether it closed with OK.
  FindInFilesCommands(TFindInFilesDialog& dialog, const TProjectList& workspace, FindInFilesPage page,
                      std::function<bool(QDialog&)> showModal);

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
