// A document window's file: its name, and the decisions around writing the text to it — save,
// save under a new name, the question before the window closes, and what to do when another
// program changed or deleted the file. A plain class: the text it writes and the questions it
// asks come in through small interfaces.
#pragma once

#include "FileState.h"
#include "LineLayout.h"
#include "UserQuestions.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct Settings;

inline constexpr const char* kUntitledFileName = "untitled.c";

class DocumentFile {
public:
  // The text being saved.
  class Text {
  public:
    virtual ~Text() = default;
    [[nodiscard]] virtual std::vector<std::string> Lines() const = 0;
    [[nodiscard]] virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
  };

  DocumentFile(Text& text, UserQuestions& questions, const Settings& settings);

  [[nodiscard]] const std::string& FileName() const { return fileName_; }
  // The text now shows `path`, as read from disk; `layout` is how its lines ended when they were
  // read as they are, nothing when tabs were expanded (the file is then written with CR LF).
  void Loaded(const std::string& path, std::optional<LineLayout> layout);

  // Saves when modified; a file never named asks for a name first. False when the text is still
  // unsaved afterwards (write failed, error shown; or the user cancelled).
  bool TrySave();
  // False when the user kept the old file or the write failed; the file then keeps its name.
  bool SaveAs(const std::string& path);
  // The "Save File" dialog, then SaveAs.
  bool SaveAsAsked();
  // May the window close? Unsaved text asks: Yes saves, No drops the changes, Cancel keeps it.
  bool CloseQuery();

  // Looks whether another program changed or deleted the file since it was read or written, and
  // asks what to do: reload it (`reload` reads it into the text again) or keep the window's text,
  // which the next save writes. Neither version is dropped without a question.
  void NoticeOutsideChanges(const std::function<void()>& reload);

  // Runs after every successful write, when the name may have changed and the text is saved.
  std::function<void()> OnSaved;

private:
  [[nodiscard]] bool WriteTo(const std::string& path);
  // A save over the file asks first when another program changed it since.
  [[nodiscard]] bool MayOverwrite();
  [[nodiscard]] bool ChangedOnDisk() const;

  Text& text_;
  UserQuestions& questions_;
  const Settings& settings_;
  std::string fileName_ = kUntitledFileName;
  std::optional<LineLayout> layout_;
  FileState known_;     // the file as it was last read or written; absent for a file never there
  bool asking_ = false; // a question about the file is open, so a check in its wake waits
};
