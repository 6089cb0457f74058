// The Go commands over a navigator the test answers: what they ask, where the answers take the
// caret, what Back and Forward return to, and what the user reads when there is no answer.
#include "NavigationCommands.h"
#include "RecordingNavigator.h"

#include <gtest/gtest.h>

namespace {

struct NavigationCommandsTest : ::testing::Test {
  NavigationCommandsTest() {
    shell.navigator = [this]() -> Navigator* { return hasNavigator ? &navigator : nullptr; };
    shell.caret = [this] { return caret; };
    shell.show = [this](const CaretPlace& place) {
      shown.push_back(place);
      caret = place;
    };
    shell.choose = [this](const std::vector<std::string>& labels) {
      offered = labels;
      return choice;
    };
    shell.tell = [this](const std::string& text) { told.push_back(text); };
    shell.showReferences = [this](const std::string&, const Locations& places) { references = places; };
    shell.nameAtCaret = [this] { return name; };
    shell.openDefinitions = [this](const std::string& asked, TextRole role) {
      asks.push_back(asked);
      return role == TextRole::Definition ? openDefinitions : openDeclarations;
    };
    shell.assemblyDefinitions = [this](const std::string& asked) {
      return asked == "trap_Print" ? Locations{At("/mod/g_syscalls.asm", 3)} : Locations{};
    };
    shell.askNewName = [this](const std::string& oldName) {
      asks.push_back(oldName);
      return newName;
    };
    shell.rename = [this](const std::string& oldName, const std::string& to,
                          const std::vector<FileEdits>& edits) {
      renamed.emplace_back(oldName + " " + to, edits);
    };
  }

  void Answer(std::size_t request, Locations places, ReplyStatus status = ReplyStatus::Answered,
              std::string problem = {}) {
    navigator.requests.at(request).places({status, std::move(places), std::move(problem)});
  }

  static SourceLocation At(const std::string& path, int line) { return {path, {{line, 5}, {line, 9}}}; }

  RecordingNavigator navigator;
  bool hasNavigator = true;
  std::optional<CaretPlace> caret = CaretPlace{"/mod/a.c", {3, 7}};
  std::vector<CaretPlace> shown;
  std::vector<std::string> offered;
  std::optional<std::size_t> choice;
  std::vector<std::string> told;
  Locations references;
  std::string name = "G_Printf";
  Locations openDefinitions, openDeclarations;
  std::vector<std::string> asks; // the names the open files and the user were asked about
  std::optional<std::string> newName;
  std::vector<std::pair<std::string, std::vector<FileEdits>>> renamed;
  NavigationShell shell;
};

} // namespace

TEST_F(NavigationCommandsTest, DefinitionsJumpAcrossFilesAndBackAndForwardReturn) {
  NavigationCommands commands(shell);
  commands.GoToDefinition();
  ASSERT_EQ(navigator.requests.size(), 1u);
  EXPECT_EQ(navigator.requests[0].kind, "Definition");
  EXPECT_EQ(navigator.requests[0].path, "/mod/a.c");
  EXPECT_EQ(navigator.requests[0].at, (TextPosition{3, 7}));
  Answer(0, {At("/mod/b.c", 40)});
  EXPECT_EQ(caret, (CaretPlace{"/mod/b.c", {40, 5}}));

  // Several places: the user picks one, or none and nothing moves.
  commands.GoToDeclaration();
  choice = 1;
  Answer(1, {At("/mod/g.h", 2), At("/mod/c.c", 9)});
  EXPECT_EQ(offered, (std::vector<std::string>{"g.h:2  (/mod)", "c.c:9  (/mod)"}));
  EXPECT_EQ(caret, (CaretPlace{"/mod/c.c", {9, 5}}));
  commands.GoToDefinition();
  choice.reset();
  Answer(2, {At("/mod/g.h", 2), At("/mod/c.c", 9)});
  EXPECT_EQ(caret, (CaretPlace{"/mod/c.c", {9, 5}}));

  commands.Back();
  EXPECT_EQ(caret, (CaretPlace{"/mod/b.c", {40, 5}}));
  commands.Back();
  EXPECT_EQ(caret, (CaretPlace{"/mod/a.c", {3, 7}}));
  EXPECT_FALSE(commands.CanGoBack());
  commands.Forward();
  commands.Forward();
  EXPECT_EQ(caret, (CaretPlace{"/mod/c.c", {9, 5}}));
  EXPECT_FALSE(commands.CanGoForward());
}

TEST_F(NavigationCommandsTest, EveryWayWithoutAnAnswerSaysWhyAndMovesNothing) {
  NavigationCommands commands(shell);
  commands.GoToDefinition();
  commands.FindReferences(); // a newer request: the older is cancelled
  EXPECT_EQ(navigator.cancelled, (std::vector<RequestId>{1}));
  Answer(0, {}, ReplyStatus::Cancelled);
  Answer(1, {}, ReplyStatus::Unavailable, "clangd was not found; install the clangd package");
  commands.GoToDefinition();
  Answer(2, {}, ReplyStatus::Stale);
  commands.GoToDefinition();
  Answer(3, {});
  navigator.problem = "clangd stopped after crashing 3 times";
  commands.GoToDefinition();
  hasNavigator = false;
  commands.FindReferences();
  hasNavigator = true;
  caret.reset();
  commands.GoToDefinition();
  EXPECT_EQ(told,
            (std::vector<std::string>{"clangd was not found; install the clangd package",
                                      "No definition found for the name at the caret",
                                      "clangd stopped after crashing 3 times",
                                      NavigationCommands::kNoWorkspace, NavigationCommands::kNoEditor}));
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(navigator.requests.size(), 4u);
}

TEST_F(NavigationCommandsTest, ReferencesGoToThePageAndAJumpFromThereReturnsWithBack) {
  NavigationCommands commands(shell);
  commands.FindReferences();
  Answer(0, {At("/mod/b.c", 4), At("/mod/a.c", 3)});
  EXPECT_EQ(references, (Locations{At("/mod/b.c", 4), At("/mod/a.c", 3)}));
  EXPECT_TRUE(shown.empty());
  commands.JumpTo({"/mod/b.c", {4, 5}});
  commands.Back();
  EXPECT_EQ(caret, (CaretPlace{"/mod/a.c", {3, 7}}));
}

// While the server indexes, the open files answer at once where they define the name; where they
// do not, the server is asked all the same. The status bar says which.
TEST_F(NavigationCommandsTest, WhileTheServerIndexesTheOpenFilesAnswer) {
  NavigationCommands commands(shell);
  navigator.indexing = 40;
  openDefinitions = {At("/mod/b.c", 12)};
  commands.GoToDefinition();
  EXPECT_TRUE(navigator.requests.empty());
  EXPECT_EQ(caret, (CaretPlace{"/mod/b.c", {12, 5}}));
  EXPECT_EQ(told, (std::vector<std::string>{
                      "clangd is still indexing (40%); this answer comes from the open files"}));
  commands.Back();

  openDeclarations = {At("/mod/g.h", 7), At("/mod/b.c", 12)};
  choice = 0;
  commands.GoToDeclaration();
  EXPECT_EQ(offered, (std::vector<std::string>{"g.h:7  (/mod)", "b.c:12  (/mod)"}));
  EXPECT_EQ(caret, (CaretPlace{"/mod/g.h", {7, 5}}));

  openDefinitions.clear();
  commands.GoToDefinition();
  ASSERT_EQ(navigator.requests.size(), 1u) << "nothing open defines it: the server is asked";
  commands.FindReferences();
  EXPECT_EQ(navigator.requests.size(), 2u);
  EXPECT_EQ(told.back(), "clangd is still indexing (40%); the references may miss the files it has not read");
  EXPECT_EQ(asks, (std::vector<std::string>{"G_Printf", "G_Printf", "G_Printf"}));

  navigator.indexing.reset();
  openDefinitions = {At("/mod/b.c", 12)};
  commands.GoToDefinition();
  EXPECT_EQ(navigator.requests.size(), 3u) << "an indexed workspace is the server's to answer";
}

// A system call's prototype is all the server finds; the assembler's "equ" is offered beside it,
// and alone when the server finds nothing.
TEST_F(NavigationCommandsTest, ASystemCallIsOfferedWhereTheAssemblerDefinesIt) {
  NavigationCommands commands(shell);
  name = "trap_Print";
  choice = 1;
  commands.GoToDefinition();
  Answer(0, {At("/mod/g_local.h", 22)});
  EXPECT_EQ(offered, (std::vector<std::string>{"g_local.h:22  (/mod)", "g_syscalls.asm:3  (/mod)"}));
  EXPECT_EQ(caret, (CaretPlace{"/mod/g_syscalls.asm", {3, 5}}));
  commands.GoToDefinition();
  Answer(1, {});
  EXPECT_EQ(caret, (CaretPlace{"/mod/g_syscalls.asm", {3, 5}}));
  EXPECT_TRUE(told.empty());
  name = "G_Printf";
  commands.GoToDefinition();
  Answer(2, {});
  EXPECT_EQ(told, (std::vector<std::string>{"No definition found for the name at the caret"}));
}

TEST_F(NavigationCommandsTest, RenameChecksTheNameAsksTheNewOneAndHandsOnTheEdits) {
  NavigationCommands commands(shell);
  commands.RenameSymbol();
  ASSERT_EQ(navigator.requests.at(0).kind, "PrepareRename");
  EXPECT_EQ(navigator.requests[0].at, (TextPosition{3, 7}));
  navigator.requests[0].renameTarget({ReplyStatus::Answered, std::nullopt, {}});
  EXPECT_EQ(told, (std::vector<std::string>{NavigationCommands::kCannotRename}));

  // The user gives no new name, or the same one: nothing is asked of the server.
  for (const std::optional<std::string>& given :
       {std::optional<std::string>(), std::optional<std::string>("G_Printf")}) {
    newName = given;
    commands.RenameSymbol();
    navigator.requests.back().renameTarget({ReplyStatus::Answered, RenameTarget{}, {}});
    EXPECT_EQ(navigator.requests.back().kind, "PrepareRename");
  }

  newName = "G_Print";
  commands.RenameSymbol();
  navigator.requests.back().renameTarget({ReplyStatus::Answered, RenameTarget{{}, "G_Printf"}, {}});
  ASSERT_EQ(navigator.requests.back().kind, "Rename");
  EXPECT_EQ(navigator.requests.back().newName, "G_Print");
  const std::vector<FileEdits> edits{{"/mod/a.c", {{{{3, 5}, {3, 13}}, "G_Print"}}}};
  navigator.requests.back().renamed({ReplyStatus::Answered, edits, {}});
  ASSERT_EQ(renamed.size(), 1u);
  EXPECT_EQ(renamed[0], (std::pair<std::string, std::vector<FileEdits>>{"G_Printf G_Print", edits}));

  caret.reset();
  commands.RenameSymbol();
  EXPECT_EQ(told.back(), NavigationCommands::kNoEditor);
}
