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
