// Stand-ins for the windows when a build runs without them (the command-line build, the
// benchmark): no editor windows are open, and questions cannot be asked.
#pragma once

#include "EditorWindows.h"
#include "UserQuestions.h"

// Nothing is open, so nothing needs saving and no jump can land.
class NoEditorWindows : public EditorWindows {
public:
  [[nodiscard]] std::vector<std::string> ModifiedFiles() const override { return {}; }
  void SaveAll() override {}
  [[nodiscard]] bool IsModified(const std::string&) const override { return false; }
  void Save(const std::string&) override {}
  [[nodiscard]] std::optional<std::string> ActiveFileName() const override { return std::nullopt; }
  JumpTarget& OpenEditorWindow(const std::string& path) override;
};

// Texts go to standard error; every question is answered No and every chooser is cancelled.
class ConsoleQuestions : public UserQuestions {
public:
  Answer AskYesNo(const std::string& text) override { return Tell(text, Answer::No); }
  Answer AskYesNoCancel(const std::string& text) override { return Tell(text, Answer::No); }
  Answer AskYesNoCancelAll(const std::string& text) override { return Tell(text, Answer::No); }
  void Inform(const std::string& text) override { Tell(text, Answer::Ok); }
  void ShowError(const std::string& text) override { Tell(text, Answer::Ok); }
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest&) override { return std::nullopt; }
  std::vector<std::string> ChooseFilesToOpen(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }

private:
  static Answer Tell(const std::string& text, Answer answer);
};
