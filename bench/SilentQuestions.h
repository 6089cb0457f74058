// The user's answers in benchmarks: no to every question, errors on standard error.
#pragma once

#include "UserQuestions.h"

#include <cstdio>

class SilentQuestions : public UserQuestions {
public:
  Answer askYesNo(const std::string&) override { return Answer::No; }
  Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
  Answer askYesNoCancelAll(const std::string&) override { return Answer::Cancel; }
  void inform(const std::string& text) override { lastInform = text; }
  void showError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  std::optional<std::string> chooseFileToOpen(const FileDialogRequest&) override { return {}; }
  std::vector<std::string> chooseFilesToOpen(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> chooseFileToSave(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override { return {}; }

  std::string lastInform; // the last notice, for a benchmark that reads its figures
};
