#include "WorkspaceCommands.h"

#include "ScriptedQuestions.h"
#include "TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A main window stand-in that records what the commands asked of it.
struct RecordingWindow {
  std::vector<std::string> calls;
  std::string workspaceFileName;
  bool editorsClose = true;
  Settings settings;

  WorkspaceWindow callbacks() {
    WorkspaceWindow window;
    window.RebuildTree = [this] { calls.push_back("tree"); };
    window.RebuildClassView = [this] { calls.push_back("class view"); };
    window.AddRecentWorkspace = [this](const std::string& path) { calls.push_back("recent " + path); };
    window.CloseAll = [this] {
      calls.push_back("close all");
      return editorsClose;
    };
    window.WorkspaceFileName = [this] { return workspaceFileName; };
    window.SetWorkspaceFileName = [this](const std::string& name) { workspaceFileName = name; };
    window.CurrentSettings = [this] { return settings; };
    return window;
  }
};

struct WorkspaceCommandsTest : ::testing::Test {
  TempDir dir;
  ProjectList workspace;
  ScriptedQuestions questions;
  RecordingWindow window;
  WorkspaceCommands commands{workspace, questions, window.callbacks()};

  void SetUp() override {
    window.settings.quake3location = dir.file("game/quake3");
    dir.write("mod/a/a.tsp", "SOURCE=a.c\r\n");
    dir.write("mod/mod.tsw", "Project: \"a\"=a\\a.tsp - Package Owner=<4>\r\n");
  }
  void choose(const std::string& path) { questions.choices.push_back({path}); }
  void cancelDialog() { questions.choices.push_back({}); }
  // The n-th dialog shown, checked for its title and its one workspace extension.
  const FileDialogRequest& dialog(std::size_t n, const std::string& title, const std::string& extension) {
    const FileDialogRequest& request = questions.fileRequests.at(n);
    EXPECT_EQ(request.title, title);
    EXPECT_EQ(request.filter, "Workspace File (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*");
    EXPECT_EQ(request.defaultExtension, extension);
    return request;
  }
};

} // namespace

TEST_F(WorkspaceCommandsTest, OpenAddsToRecentBeforeLoadingAndNamesTheWorkspace) {
  choose(dir.file("mod/mod.tsw"));
  commands.FileOpenWorkspace();
  EXPECT_EQ(dialog(0, "Open Tessarin Workspace", "tsw").initialFolder, dir.file("game/"));
  EXPECT_EQ(window.calls,
            (std::vector<std::string>{"recent " + dir.file("mod/mod.tsw"), "tree", "class view"}));
  EXPECT_EQ(workspace.Count(), 1);
  EXPECT_EQ(window.workspaceFileName, dir.file("mod/mod.tsw"));

  window.calls.clear();
  cancelDialog();
  commands.FileOpenWorkspace();
  EXPECT_TRUE(window.calls.empty());
  EXPECT_EQ(workspace.Count(), 1);
}

TEST_F(WorkspaceCommandsTest, FailedOpenShowsTheErrorAndRebuildsFromWhatIsLeft) {
  dir.write("bad.tsw", "Project: \"a\"=mod\\a\\a.tsp - Package Owner=<4>\r\n"
                       "Project: \"gone\"=gone.tsp - Package Owner=<4>\r\n");
  window.workspaceFileName = "previous.tsw";
  choose(dir.file("bad.tsw"));
  commands.FileOpenWorkspace();
  EXPECT_EQ(questions.errors(), std::vector<std::string>{"Cannot open file " + dir.file("gone.tsp")});
  EXPECT_EQ(window.calls, (std::vector<std::string>{"recent " + dir.file("bad.tsw"), "tree", "class view"}));
  EXPECT_EQ(workspace.Count(), 2);
  EXPECT_EQ(window.workspaceFileName, "previous.tsw");
}

// An empty workspace file opens, saying it holds no projects yet; a file that holds something
// else is no workspace: it is refused and does not become the workspace saved over.
TEST_F(WorkspaceCommandsTest, AWorkspaceWithoutProjectsIsNamedAsSuch) {
  dir.write("empty.tsw", "");
  dir.write("random.tsw", "\x7f\x45LF\x02\x01 not a workspace\r\n");
  window.workspaceFileName = "previous.tsw";
  choose(dir.file("random.tsw"));
  commands.FileOpenWorkspace();
  EXPECT_EQ(questions.errors(), std::vector<std::string>{dir.file("random.tsw") +
                                                         " holds no projects: it is not a workspace file."});
  EXPECT_EQ(window.workspaceFileName, "previous.tsw");

  questions.log.clear();
  choose(dir.file("empty.tsw"));
  commands.FileOpenWorkspace();
  EXPECT_EQ(questions.log,
            (std::vector<std::string>{"open: Open Tessarin Workspace",
                                      "inform: empty.tsw holds no projects yet: add one with "
                                      "\"Add New Project\" in the File View's context menu."}));
  EXPECT_EQ(window.workspaceFileName, dir.file("empty.tsw"));
}

TEST_F(WorkspaceCommandsTest, ImportWritesNothingAndSaveProposesTheTswNextToIt) {
  dir.write("vc/x/x.dsp", "SOURCE=.\\x.c\r\n");
  dir.write("vc/mod.dsw", "Project: \"x\"=.\\x\\x.dsp - Package Owner=<4>\r\n");
  choose(dir.file("vc/mod.dsw"));
  commands.FileImportWorkspaceAction();
  EXPECT_EQ(dialog(0, "Import DSW Workspace", "dsw").initialFolder, dir.file("game/"));
  EXPECT_EQ(window.calls, (std::vector<std::string>{"tree", "class view"})); // not a recent entry
  EXPECT_EQ(window.workspaceFileName, dir.file("vc/mod.tsw"));
  EXPECT_FALSE(workspace.Modified);
  EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir.file("vc")), {}), 3);

  choose(dir.file("vc/mod.tsw"));
  commands.FileSaveWorkspaceAction();
  EXPECT_EQ(dialog(1, "Save Tessarin Workspace", "tsw").initialFile, dir.file("vc/mod.tsw"));
  EXPECT_EQ(TempDir::read(dir.file("vc/x/x.tsp")), "SOURCE=x.c\r\n");
  EXPECT_EQ(TempDir::read(dir.file("vc/mod.tsw")), "Project: \"x\"=x\\x.tsp - Package Owner=<4>\r\n");
  EXPECT_EQ(window.workspaceFileName, dir.file("vc/mod.tsw"));
}

TEST_F(WorkspaceCommandsTest, CloseKeepsAModifiedWorkspaceUnlessItWasSavedOrDropped) {
  ASSERT_TRUE(commands.LoadWorkspace(dir.file("mod/mod.tsw")));
  workspace.Modified = true;
  window.workspaceFileName = dir.file("mod/mod.tsw");
  window.calls.clear();

  questions.answers = {Answer::Yes};
  cancelDialog();
  EXPECT_FALSE(commands.FileCloseWorkspaceAction());
  EXPECT_EQ(questions.log.front(), "ask: Save changes to the workspace mod.tsw?");
  EXPECT_TRUE(workspace.Modified);
  EXPECT_EQ(workspace.Count(), 1);

  // A save that fails leaves the workspace modified, so closing stops instead of losing it.
  questions.answers = {Answer::Yes};
  choose(dir.file("no/such/folder/mod.tsw"));
  EXPECT_FALSE(commands.FileCloseWorkspaceAction());
  EXPECT_EQ(questions.errors(),
            std::vector<std::string>{"Cannot create file " + dir.file("no/such/folder/mod.tsw")});
  EXPECT_EQ(workspace.Count(), 1);
  EXPECT_TRUE(window.calls.empty());

  // An editor window that stays open keeps the workspace loaded.
  window.editorsClose = false;
  questions.answers = {Answer::Yes};
  choose(dir.file("mod/mod.tsw"));
  EXPECT_FALSE(commands.FileCloseWorkspaceAction());
  EXPECT_FALSE(workspace.Modified);
  EXPECT_EQ(workspace.Count(), 1);

  window.editorsClose = true;
  window.workspaceFileName = "kept.tsw";
  window.calls.clear();
  EXPECT_TRUE(commands.FileCloseWorkspaceAction()); // not modified: no question
  EXPECT_EQ(window.calls, (std::vector<std::string>{"close all", "tree"}));
  EXPECT_EQ(workspace.Count(), 0);
  EXPECT_EQ(window.workspaceFileName, "kept.tsw");
  EXPECT_EQ(questions.fileRequests.size(), 3u);
  EXPECT_EQ(std::count_if(questions.log.begin(), questions.log.end(),
                          [](const std::string& entry) { return entry.starts_with("ask: "); }),
            3);
}

// Every command that drops the workspace asks first: Cancel, or Yes with the save dialog
// cancelled, keeps it; No drops the changes; Yes with a save writes them and goes on.
TEST_F(WorkspaceCommandsTest, NoCommandDropsAModifiedWorkspaceWithoutAsking) {
  dir.write("vc/x/x.dsp", "SOURCE=.\\x.c\r\n");
  dir.write("vc/other.dsw", "Project: \"x\"=x\\x.dsp - Package Owner=<4>\r\n");
  dir.write("other.tsw", "");
  struct Command {
    const char* name;
    std::function<bool(WorkspaceCommandsTest&)> run; // true when the workspace was replaced or closed
  };
  const Command commandsToTry[] = {
      {"close", [](WorkspaceCommandsTest& t) { return t.commands.FileCloseWorkspaceAction(); }},
      {"open",
       [](WorkspaceCommandsTest& t) {
         t.questions.choices.push_front({t.dir.file("other.tsw")}); // the open dialog comes first
         t.commands.FileOpenWorkspace();
         return t.workspace.Count() != 1;
       }},
      {"import",
       [](WorkspaceCommandsTest& t) {
         t.questions.choices.push_front({t.dir.file("vc/other.dsw")});
         t.commands.FileImportWorkspaceAction();
         return t.workspace.Items(0).Name == "x";
       }},
      {"reopen",
       [](WorkspaceCommandsTest& t) { return t.commands.ReopenRecentWorkspace(t.dir.file("other.tsw")); }},
  };
  struct Reply {
    std::vector<Answer> answers;
    std::vector<std::vector<std::string>> saveDialog;
    bool goesOn;
    bool saved;
  };
  const std::string saveAs = dir.file("saved.tsw");
  const Reply replies[] = {
      {{Answer::Cancel}, {}, false, false},
      {{Answer::Yes}, {{}}, false, false},
      {{Answer::No}, {}, true, false},
      {{Answer::Yes}, {{saveAs}}, true, true},
  };
  for (const Command& command : commandsToTry) {
    for (const Reply& reply : replies) {
      SCOPED_TRACE(std::string(command.name) + " after " + std::to_string(&reply - replies));
      std::filesystem::remove(saveAs);
      ASSERT_TRUE(commands.LoadWorkspace(dir.file("mod/mod.tsw")));
      workspace.Modified = true;
      window.workspaceFileName.clear();
      questions.answers.assign(reply.answers.begin(), reply.answers.end());
      questions.choices.assign(reply.saveDialog.begin(), reply.saveDialog.end());
      questions.log.clear();
      EXPECT_EQ(command.run(*this), reply.goesOn);
      EXPECT_EQ(std::count(questions.log.begin(), questions.log.end(), "ask: Save changes to the workspace?"),
                1);
      EXPECT_EQ(workspace.Modified, !reply.goesOn);
      EXPECT_EQ(std::filesystem::exists(saveAs), reply.saved);
      EXPECT_TRUE(questions.answers.empty());
      EXPECT_TRUE(questions.choices.empty());
    }
  }
}

// With windows that follow their workspace, replacing it remembers and closes the windows first,
// and the workspace that comes in brings its own back; a window that refuses stops the open.
TEST_F(WorkspaceCommandsTest, WindowsThatFollowTheWorkspaceAreRememberedAndBroughtBack) {
  RecordingWindow following;
  WorkspaceWindow callbacks = following.callbacks();
  callbacks.windowsFollowWorkspace = true;
  callbacks.RememberWindows = [&following] {
    following.calls.push_back("remember " + following.workspaceFileName);
  };
  callbacks.RestoreWindows = [&following] {
    following.calls.push_back("restore " + following.workspaceFileName);
  };
  WorkspaceCommands sessions(workspace, questions, callbacks);
  dir.write("other.tsw", "Project: \"a\"=mod\\a\\a.tsp - Package Owner=<4>\r\n");

  following.workspaceFileName = "first.tsw";
  EXPECT_TRUE(sessions.ReopenRecentWorkspace(dir.file("other.tsw")));
  EXPECT_EQ(following.calls, (std::vector<std::string>{"remember first.tsw", "close all", "tree",
                                                       "class view", "restore " + dir.file("other.tsw")}));

  following.calls.clear();
  following.editorsClose = false;
  EXPECT_FALSE(sessions.ReopenRecentWorkspace(dir.file("mod/mod.tsw")));
  EXPECT_EQ(following.calls, (std::vector<std::string>{"remember " + dir.file("other.tsw"), "close all"}));

  following.calls.clear();
  following.editorsClose = true;
  EXPECT_TRUE(sessions.FileCloseWorkspaceAction());
  EXPECT_EQ(following.calls,
            (std::vector<std::string>{"remember " + dir.file("other.tsw"), "close all", "tree"}));
  EXPECT_TRUE(questions.log.empty());
}

// On a desktop, Save writes the workspace's own file and asks only for a workspace without one
// (new, or imported); a saved workspace takes its new name, joins the recent list and keeps its
// windows. New Workspace asks for the file, lets the current workspace go and writes an empty one.
TEST_F(WorkspaceCommandsTest, OnADesktopSaveWritesTheWorkspacesOwnFileAndNewMakesOne) {
  RecordingWindow desktop;
  WorkspaceWindow callbacks = desktop.callbacks();
  callbacks.savesToItsOwnFile = true;
  callbacks.windowsFollowWorkspace = true;
  callbacks.RememberWindows = [&desktop] {
    desktop.calls.push_back("remember " + desktop.workspaceFileName);
  };
  WorkspaceCommands commands(workspace, questions, callbacks);

  // A workspace never saved: Save asks, and the workspace becomes the file it was saved to.
  Project& project = workspace.AddProject();
  project.Name = "game";
  project.FileName = dir.file("mod/a/a.tsp");
  workspace.Modified = true;
  choose(dir.file("mine.tsw"));
  commands.FileSaveWorkspaceAction();
  EXPECT_FALSE(workspace.Modified);
  EXPECT_EQ(desktop.workspaceFileName, dir.file("mine.tsw"));
  EXPECT_EQ(desktop.calls,
            (std::vector<std::string>{"recent " + dir.file("mine.tsw"), "remember " + dir.file("mine.tsw")}));

  // The next Save writes it without a question.
  project.Name = "renamed";
  workspace.Modified = true;
  commands.FileSaveWorkspaceAction();
  EXPECT_EQ(questions.fileRequests.size(), 1u);
  EXPECT_NE(TempDir::read(dir.file("mine.tsw")).find("\"renamed\""), std::string::npos);

  // An import only proposes a name: Save asks.
  desktop.workspaceFileName = dir.file("vc/imported.tsw");
  cancelDialog();
  commands.FileSaveWorkspaceAction();
  EXPECT_EQ(questions.fileRequests.size(), 2u);

  // New Workspace: the file first, then the question about the modified workspace.
  desktop.calls.clear();
  workspace.Modified = true;
  choose(dir.file("fresh.tsw"));
  questions.answers = {Answer::No};
  commands.FileNewWorkspaceAction();
  EXPECT_EQ(workspace.Count(), 0);
  EXPECT_EQ(TempDir::read(dir.file("fresh.tsw")), "");
  EXPECT_EQ(desktop.workspaceFileName, dir.file("fresh.tsw"));
  EXPECT_EQ(dialog(2, "New Tessarin Workspace", "tsw").title, "New Tessarin Workspace");
  EXPECT_NE(std::find(desktop.calls.begin(), desktop.calls.end(), "recent " + dir.file("fresh.tsw")),
            desktop.calls.end());
}

// Under the classic conventions Save always asks and changes neither the name nor the recent list.
TEST_F(WorkspaceCommandsTest, ClassicSaveAlwaysAsksAndKeepsTheName) {
  commands.LoadWorkspace(dir.file("mod/mod.tsw"));
  window.workspaceFileName = dir.file("mod/mod.tsw");
  window.calls.clear();
  for (int save = 0; save < 2; ++save) {
    choose(dir.file("copy.tsw"));
    commands.FileSaveWorkspaceAction();
  }
  EXPECT_EQ(questions.fileRequests.size(), 2u);
  EXPECT_EQ(window.workspaceFileName, dir.file("mod/mod.tsw"));
  EXPECT_TRUE(window.calls.empty());
}

// New Workspace into a folder that does not exist: the open workspace stays whole (projects,
// name, windows) unless the user has the folder made, and the dialog starts in the open
// workspace's folder.
TEST_F(WorkspaceCommandsTest, NewWorkspaceKeepsTheOpenOneUntilTheNewOneExists) {
  RecordingWindow desktop;
  WorkspaceWindow callbacks = desktop.callbacks();
  callbacks.savesToItsOwnFile = true;
  callbacks.windowsFollowWorkspace = true;
  WorkspaceCommands commands(workspace, questions, callbacks);
  commands.LoadWorkspace(dir.file("mod/mod.tsw"));
  desktop.workspaceFileName = dir.file("mod/mod.tsw");
  desktop.calls.clear();

  const std::string nowhere = dir.file("x/nodir/a.tsw");
  choose(nowhere);
  questions.answers = {Answer::No};
  commands.FileNewWorkspaceAction();
  EXPECT_EQ(questions.fileRequests.at(0).initialFolder, dir.file("mod/"));
  EXPECT_EQ(questions.log.at(1), "ask: The folder " + dir.file("x/nodir") + " does not exist. Create it?");
  EXPECT_EQ(workspace.Count(), 1);
  EXPECT_EQ(desktop.workspaceFileName, dir.file("mod/mod.tsw"));
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.file("x")));

  // A folder that cannot be made: the error says why, and the workspace stays.
  dir.write("blocked", "a file where a folder should be");
  choose(dir.file("blocked/sub/a.tsw"));
  questions.answers = {Answer::Yes};
  commands.FileNewWorkspaceAction();
  ASSERT_EQ(questions.errors().size(), 1u);
  EXPECT_EQ(questions.errors()[0].rfind("Cannot create the folder " + dir.file("blocked/sub") + " (", 0), 0u)
      << questions.errors()[0];
  EXPECT_EQ(workspace.Count(), 1);
  EXPECT_TRUE(desktop.calls.empty());

  choose(nowhere);
  questions.answers = {Answer::Yes};
  commands.FileNewWorkspaceAction();
  EXPECT_EQ(TempDir::read(nowhere), "");
  EXPECT_EQ(workspace.Count(), 0);
  EXPECT_EQ(desktop.workspaceFileName, nowhere);
  EXPECT_NE(std::find(desktop.calls.begin(), desktop.calls.end(), "recent " + nowhere), desktop.calls.end());
}
