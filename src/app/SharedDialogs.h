// The dialogs made once at start and kept, with their contents, until the program ends.
#pragma once

#include <memory>

class FilePropertiesDialog;
class FindInFilesDialog;
class FindReplaceDialog;
class GoToLineDialog;
class ProgressState;
class ProgressWindow;
class ProjectNameDialog;

struct SharedDialogs {
  SharedDialogs();
  ~SharedDialogs();

  std::unique_ptr<ProgressState> Progress;               // the progress window's state
  std::unique_ptr<ProgressWindow> CompilingProgressForm; // under the classic conventions
  std::unique_ptr<FindInFilesDialog> FindInFilesForm;
  std::unique_ptr<ProjectNameDialog> ProjectNameForm;
  std::unique_ptr<FindReplaceDialog> SyntaxFindDialog;
  std::unique_ptr<GoToLineDialog> GotoLineForm;
  std::unique_ptr<FilePropertiesDialog> FilePropertiesForm;
};
