// The editor windows in the main window's frame as the file commands see them: making a window
// for a new or an opened file, and the commands New File, Open File, Save File and Save As.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QWidget;
class DocumentWindow;
class UserQuestions;
struct Settings;

class FileCommands {
public:
  // Files up to this size open without a question; a larger one is read whole only when wanted.
  static constexpr std::uint64_t kLargeFileBytes = 256ull << 20;

  // Puts a new editor window into the frame as a child window, shows it and registers it with
  // the window bar (the main window's AddEditorWindow).
  using AddToFrame = std::function<QMdiSubWindow*(QWidget* window)>;
  // The active project's file (full path), empty when there is no active project.
  using ActiveProjectFile = std::function<std::string()>;

  FileCommands(QMdiArea& area, AddToFrame addToFrame, const Settings& settings, UserQuestions& questions,
               ActiveProjectFile activeProjectFile);

  // In the frame's child-list order, the order they were opened in.
  [[nodiscard]] std::vector<DocumentWindow*> Windows() const;
  [[nodiscard]] DocumentWindow* ActiveWindow() const;

  // An untitled window in front; the first one in an empty frame is maximised.
  DocumentWindow& NewWindow();
  // A new window in front showing `path` (empty when the file does not exist). A file that
  // exists but cannot be read (a folder, a pipe, a device) shows the error and opens no window:
  // none is returned; so does a file larger than kLargeFileBytes or one that does not look like
  // text, unless the user wants it opened.
  QMdiSubWindow* OpenNewWindow(const std::string& path);

  void NewFile();
  // Several files may be chosen; each gets a new window, in the order the dialog gives them.
  void OpenFile();
  void SaveFile();
  void SaveAs();

private:
  [[nodiscard]] std::string OpenDialogFolder() const;
  QMdiSubWindow* AddWindow(DocumentWindow* window);

  QMdiArea& area_;
  AddToFrame addToFrame_;
  const Settings& settings_;
  UserQuestions& questions_;
  ActiveProjectFile activeProjectFile_;
};
