// The Find in Files and Replace in Files commands. Under the classic conventions Find in Files
// asks for the text, searches the active project's files as stored on disk and lists every
// matching line as "path:line: text". Under the desktop conventions it searches the active
// project, the whole workspace or a folder, an open file with unsaved changes as its window
// shows it, lists the hits grouped by file with their matches marked, and Replace in Files
// replaces them after a preview.
#pragma once

#include "FindInFilesProgress.h"
#include "ReplaceInFiles.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class EditorWindowPort;
class FindInFilesDialog;
class PlacesPage;
class QTabWidget;
class ProjectList;
class UserQuestions;

// The colour a Find in Files hit's line is marked in when the jump lands there.
constexpr std::uint32_t kFindInFilesMarkColour = 16711680; // blue

// The "Find in Files" page of the message area.
struct FindInFilesPage {
  QTabWidget& MessagePages;
  QWidget& FindInFilesTab;
  PlacesPage& Results;
};

// The open editor windows, as the commands see them.
struct FindInFilesWindows {
  std::function<EditorWindowPort*(const std::string& path)> windowOf; // none when not open
  std::function<EditorWindowPort*()> activeEditor;                    // none when no window is open
};

class FindInFilesCommands {
public:
  // `showModal` shows a dialog and says whether it closed with OK; `newProgress` makes what shows
  // a run's progress and takes the user's Stop.
  FindInFilesCommands(FindInFilesDialog& dialog, const ProjectList& workspace, FindInFilesPage page,
                      FindInFilesWindows windows, UserQuestions& questions,
                      std::function<bool()> backupSource, std::function<bool(QDialog&)> showModal,
                      std::function<std::unique_ptr<FindInFilesProgress>()> newProgress);

  // Raises "Pattern is empty" for an empty text and the message for an invalid regular
  // expression, before the list is touched. Classic: a file's read error is raised after the
  // entries found before it. A run the user stops lists what it found.
  void FindInFiles();
  // Desktop conventions only.
  void ReplaceInFiles();
  [[nodiscard]] bool FindInFilesEnabled() const;

private:
  // The dialog, starting from the active editor's selection or word; false when cancelled.
  bool AskQuery(bool replacing);
  void FindInProject();
  void FindEverywhere(TextMatcher& matcher, const std::vector<std::string>& files);
  [[nodiscard]] std::vector<std::string> Files() const;
  [[nodiscard]] std::vector<FileReplacement> PlanReplacements(TextMatcher& matcher,
                                                              const std::vector<std::string>& files,
                                                              std::vector<std::string>& failures);

  FindInFilesDialog& dialog_;
  const ProjectList& workspace_;
  FindInFilesPage page_;
  FindInFilesWindows windows_;
  UserQuestions& questions_;
  std::function<bool()> backupSource_;
  std::function<bool(QDialog&)> showModal_;
  std::function<std::unique_ptr<FindInFilesProgress>()> newProgress_;
};
