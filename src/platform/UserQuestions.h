// The one seam through which the program asks the user something or tells them something.
// The program installs QtUserQuestions (message boxes and file dialogs); tests install a
// scripted implementation that answers from a list and records every text.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class Answer { Yes, No, Cancel, All, Ok };

struct FileDialogRequest {
  std::string title;
  // "Description|pattern|Description|pattern", e.g. "Workspace File (*.tsw)|*.tsw|All Files (*.*)|*.*".
  std::string filter;
  std::string defaultExtension; // without dot; appended when the chosen name has none
  std::string initialFolder;
  std::string initialFile;
  bool programsOnly = false; // lists folders and the files the user may run
};

class UserQuestions {
public:
  virtual ~UserQuestions() = default;

  virtual Answer AskYesNo(const std::string& text) = 0;
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  virtual Answer AskYesNoCancelAll(const std::string& text) = 0;
  virtual void Inform(const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;

  virtual std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) = 0;
  // Empty when cancelled.
  virtual std::vector<std::string> ChooseFilesToOpen(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const std::string& initialFolder) = 0;
};

// Errors raised inside components carry their message text; the top level shows it.
class TessarinError : public std::exception {
public:
  explicit TessarinError(std::string message) : message_(std::move(message)) {}
  [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }
  [[nodiscard]] const std::string& Message() const { return message_; }

private:
  std::string message_;
};
