#include "DocumentFile.h"

#include "Paths.h"
#include "Settings.h"
#include "SourceFile.h"
#include "StoredFile.h"

namespace {

const char* const kSaveFilter = "C Files (*.c; *.h)|*.c; *.h|All Files (*.*)|*.*";

} // namespace

DocumentFile::DocumentFile(Text& text, UserQuestions& questions, const Settings& settings)
    : text_(text), questions_(questions), settings_(settings) {
  if (settings.KeepFileFormat) layout_.emplace(LineEnd::LF);
}

void DocumentFile::Loaded(const std::string& path, std::optional<LineLayout> layout) {
  fileName_ = path;
  known_ = FileState::Of(path);
  layout_ = std::move(layout);
}

bool DocumentFile::ChangedOnDisk() const {
  if (fileName_ == kUntitledFileName) return false;
  const FileState now = FileState::Of(fileName_);
  return now.exists && now != known_;
}

bool DocumentFile::MayOverwrite() {
  if (!ChangedOnDisk()) return true;
  return questions_.AskYesNo(fileName_ +
                             " was changed by another program since it was opened.\nOverwrite it with the "
                             "text of this window?") == Answer::Yes;
}

void DocumentFile::NoticeOutsideChanges(const std::function<void()>& reload) {
  if (asking_ || fileName_ == kUntitledFileName) return;
  const FileState now = FileState::Of(fileName_);
  if (now == known_) return;
  asking_ = true;
  struct AskingDone {
    bool& asking;
    ~AskingDone() { asking = false; }
  } done{asking_};
  known_ = now; // asked once for each change
  if (!now.exists) {
    questions_.Inform(fileName_ + " was deleted by another program.\nSaving the window writes it again.");
    text_.SetModified(true);
  } else if (!text_.Modified()) {
    if (questions_.AskYesNo(fileName_ + " was changed by another program.\nReload it?") == Answer::Yes)
      reload();
  } else if (questions_.AskYesNo(
                 fileName_ + " was changed by another program, and this window has unsaved changes.\n"
                             "Reload the file and lose the changes? (No keeps the window's text; saving it "
                             "overwrites the file.)") == Answer::Yes) {
    reload();
  }
}

bool DocumentFile::WriteTo(const std::string& path) {
  const std::vector<std::string> lines = text_.Lines();
  const std::string bytes = layout_ ? layout_->Write(lines) : source_file::JoinLines(lines);
  const std::string error = stored_file::Save(path, bytes, settings_.BackupSource);
  if (!error.empty()) {
    questions_.ShowError(error);
    return false;
  }
  if (layout_) layout_->Written(bytes);
  fileName_ = path;
  known_ = FileState::Of(path);
  text_.SetModified(false);
  if (OnSaved) OnSaved();
  return true;
}

bool DocumentFile::TrySave() {
  if (!text_.Modified()) return true;
  // A file never named would land in whatever the current folder is.
  if (fileName_ == kUntitledFileName) return SaveAsAsked();
  return MayOverwrite() && WriteTo(fileName_);
}

bool DocumentFile::SaveAs(const std::string& path) {
  if (paths::FileExists(path) && questions_.AskYesNo("Overwrite Existing File?") != Answer::Yes) return false;
  return WriteTo(path);
}

bool DocumentFile::SaveAsAsked() {
  FileDialogRequest request;
  request.title = "Save File";
  request.filter = kSaveFilter;
  request.defaultExtension = "c";
  request.initialFile = fileName_;
  const std::optional<std::string> path = questions_.ChooseFileToSave(request);
  return path && SaveAs(*path);
}

bool DocumentFile::CloseQuery() {
  if (!text_.Modified()) return true;
  switch (questions_.AskYesNoCancel("Save changes to " + fileName_ + "?")) {
  case Answer::Yes: return TrySave(); // a failed or cancelled save keeps the window and its text
  case Answer::No: text_.SetModified(false); return true;
  default: return false;
  }
}
