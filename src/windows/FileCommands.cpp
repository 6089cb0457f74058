#include "FileCommands.h"

#include "AtomicFile.h"
#include "DocumentWindow.h"
#include "Paths.h"
#include "Settings.h"
#include "SourceFile.h"
#include "UserQuestions.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <memory>

namespace {

const char* const kOpenFilter = "C Files (*.c; *.h)|*.c;*.h|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*";

} // namespace

FileCommands::FileCommands(QMdiArea& area, AddToFrame addToFrame, const Settings& settings,
                           UserQuestions& questions, ActiveProjectFile activeProjectFile)
    : area_(area), addToFrame_(std::move(addToFrame)), settings_(settings), questions_(questions),
      activeProjectFile_(std::move(activeProjectFile)) {}

std::vector<DocumentWindow*> FileCommands::Windows() const {
  std::vector<DocumentWindow*> windows;
  for (QMdiSubWindow* frame : area_.subWindowList(QMdiArea::CreationOrder))
    if (auto* window = qobject_cast<DocumentWindow*>(frame->widget())) windows.push_back(window);
  return windows;
}

DocumentWindow* FileCommands::ActiveWindow() const {
  QMdiSubWindow* frame = area_.currentSubWindow();
  return frame != nullptr ? qobject_cast<DocumentWindow*>(frame->widget()) : nullptr;
}

QMdiSubWindow* FileCommands::AddWindow(DocumentWindow* window) {
  QMdiSubWindow* frame = addToFrame_(window);
  if (frame != nullptr && Windows().size() == 1) frame->showMaximized();
  window->setFocus();
  return frame;
}

DocumentWindow& FileCommands::NewWindow() {
  auto* window = new DocumentWindow(settings_, questions_);
  AddWindow(window);
  return *window;
}

QMdiSubWindow* FileCommands::OpenNewWindow(const std::string& path) {
  // Looked at before anything is read: a pipe or a device named by a message could block the
  // window for good, and a huge file would be read whole.
  const FileProbe probe = probeFile(path);
  if (!probe.problem.empty()) {
    questions_.ShowError(probe.problem);
    return nullptr;
  }
  if (probe.size > kLargeFileBytes &&
      questions_.AskYesNo(path + " is " + std::to_string(probe.size >> 20) +
                          " MB large; reading it takes a while and that much memory.\nOpen it anyway?") !=
          Answer::Yes)
    return nullptr;
  if (!source_file::LooksLikeText(path) &&
      questions_.AskYesNo(path + " does not look like a text file.\nOpen it anyway?") != Answer::Yes)
    return nullptr;
  // Loaded before it joins the frame: a file that cannot be read leaves no half-made window.
  auto window = std::make_unique<DocumentWindow>(settings_, questions_);
  try {
    window->LoadFile(path);
  } catch (const TessarinError& error) {
    questions_.ShowError(error.Message());
    return nullptr;
  }
  return AddWindow(window.release());
}

void FileCommands::NewFile() { NewWindow(); }

std::string FileCommands::OpenDialogFolder() const {
  const std::string project = activeProjectFile_ ? activeProjectFile_() : std::string();
  if (!project.empty()) return paths::ExtractFilePath(project);
  return paths::ExtractFilePath(settings_.quake3location);
}

void FileCommands::OpenFile() {
  FileDialogRequest request;
  request.title = "Open File";
  request.filter = kOpenFilter;
  request.defaultExtension = "c";
  request.initialFolder = OpenDialogFolder();
  for (const std::string& path : questions_.ChooseFilesToOpen(request))
    OpenNewWindow(path);
}

void FileCommands::SaveFile() {
  if (DocumentWindow* window = ActiveWindow()) window->SaveFile();
}

void FileCommands::SaveAs() {
  if (DocumentWindow* window = ActiveWindow()) (void)window->SaveFileAsAsked();
}
