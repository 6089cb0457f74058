// The user's answers in benchmarks: no to every question, errors on standard error.
#pragma once

#include "UserQuestions.h"

#include <cstdio>

class SilentQuestions : public UserQuestions {
public:
  Answer AskYesNo(const std::string&) override { return Answer::No; }
  Answer AskYesNoCancel(const std::string&) override { return Answer::Cancel; }
  Answer AskYesNoCancelAll(const std::string&) override { return Answer::Cancel; }
  void Inform(const std::string& text) override { lastInform = text; }
  void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest&) override { return {}; }
  std::vector<std::string> ChooseFilesToOpen(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return {}; }

  std::string lastInform; // the last notice, for a benchmark that reads its figures
};
