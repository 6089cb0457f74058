#include "DocumentFile.h"

#include "Paths.h"
#include "Settings.h"
#include "SourceFile.h"

namespace {

const char* const kSaveFilter = "C Files (*.c; *.h)|*.c; *.h|All Files (*.*)|*.*";

} // namespace

DocumentFile::DocumentFile(Text& text, UserQuestions& questions, const Settings& settings)
    : text_(text), questions_(questions), settings_(settings) {}

bool DocumentFile::WriteTo(const std::string& path) {
  const std::string error = source_file::Save(path, text_.Lines(), settings_.BackupSource);
  if (!error.empty()) {
    questions_.showError(error);
    return false;
  }
  fileName_ = path;
  text_.SetModified(false);
  if (OnSaved) OnSaved();
  return true;
}

bool DocumentFile::TrySave() {
  if (!text_.Modified()) return true;
  // A file never named would land in whatever the current folder is.
  if (fileName_ == kUntitledFileName) return SaveAsAsked();
  return WriteTo(fileName_);
}

bool DocumentFile::SaveAs(const std::string& path) {
  if (paths::FileExists(path) && questions_.askYesNo("Overwrite Existing File?") != Answer::Yes) return false;
  return WriteTo(path);
}

bool DocumentFile::SaveAsAsked() {
  FileDialogRequest request;
  request.title = "Save File";
  request.filter = kSaveFilter;
  request.defaultExtension = "c";
  request.initialFile = fileName_;
  const std::optional<std::string> path = questions_.chooseFileToSave(request);
  return path && SaveAs(*path);
}

bool DocumentFile::CloseQuery() {
  if (!text_.Modified()) return true;
  switch (questions_.askYesNoCancel("Save changes to " + fileName_ + "?")) {
  case Answer::Yes: return TrySave(); // a failed or cancelled save keeps the window and its text
  case Answer::No: text_.SetModified(false); return true;
  default: return false;
  }
}
