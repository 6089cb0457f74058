// A UserQuestions that answers from a script and records every question, so tests never wait
// on a dialog. Running out of scripted answers fails the test and answers Cancel.
#pragma once

#include "UserQuestions.h"

#include <deque>
#include <string>
#include <vector>

class ScriptedQuestions : public UserQuestions {
public:
  // Answers to the next ask* calls, in order.
  std::deque<Answer> answers;
  // Results of the next file and folder choosers, in order; an empty entry means "cancelled".
  std::deque<std::vector<std::string>> choices;

  // Every text shown, in order, prefixed with its kind ("ask: ", "inform: ", "error: ",
  // "open: ", "open many: ", "save: ", "folder: " and the dialog's title).
  std::vector<std::string> log;
  std::vector<FileDialogRequest> fileRequests;

  Answer AskYesNo(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  Answer AskYesNoCancelAll(const std::string& text) override;
  void Inform(const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
  std::vector<std::string> ChooseFilesToOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initialFolder) override;

  [[nodiscard]] std::vector<std::string> errors() const;

private:
  Answer next(const std::string& text);
  std::vector<std::string> nextChoice(const std::string& what, const FileDialogRequest& request);
};
