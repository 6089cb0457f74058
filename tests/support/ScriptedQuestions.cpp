#include "ScriptedQuestions.h"

#include <gtest/gtest.h>

Answer ScriptedQuestions::next(const std::string& text) {
  log.push_back("ask: " + text);
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << text;
    return Answer::Cancel;
  }
  Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

Answer ScriptedQuestions::AskYesNo(const std::string& text) { return next(text); }
Answer ScriptedQuestions::AskYesNoCancel(const std::string& text) { return next(text); }
Answer ScriptedQuestions::AskYesNoCancelAll(const std::string& text) { return next(text); }
void ScriptedQuestions::Inform(const std::string& text) { log.push_back("inform: " + text); }
void ScriptedQuestions::ShowError(const std::string& text) { log.push_back("error: " + text); }

std::vector<std::string> ScriptedQuestions::nextChoice(const std::string& what,
                                                       const FileDialogRequest& request) {
  log.push_back(what + ": " + request.title);
  fileRequests.push_back(request);
  if (choices.empty()) {
    ADD_FAILURE() << "unexpected dialog: " << request.title;
    return {};
  }
  std::vector<std::string> chosen = choices.front();
  choices.pop_front();
  return chosen;
}

std::optional<std::string> ScriptedQuestions::ChooseFileToOpen(const FileDialogRequest& request) {
  std::vector<std::string> chosen = nextChoice("open", request);
  if (chosen.empty()) return std::nullopt;
  return chosen.front();
}

std::vector<std::string> ScriptedQuestions::ChooseFilesToOpen(const FileDialogRequest& request) {
  return nextChoice("open many", request);
}

std::optional<std::string> ScriptedQuestions::ChooseFileToSave(const FileDialogRequest& request) {
  std::vector<std::string> chosen = nextChoice("save", request);
  if (chosen.empty()) return std::nullopt;
  return chosen.front();
}

std::optional<std::string> ScriptedQuestions::ChooseFolder(const std::string& title,
                                                           const std::string& initialFolder) {
  FileDialogRequest request;
  request.title = title;
  request.initialFolder = initialFolder;
  std::vector<std::string> chosen = nextChoice("folder", request);
  if (chosen.empty()) return std::nullopt;
  return chosen.front();
}

std::vector<std::string> ScriptedQuestions::errors() const {
  std::vector<std::string> found;
  for (const std::string& line : log)
    if (line.rfind("error: ", 0) == 0) found.push_back(line.substr(7));
  return found;
}
