// The game launch starts the program detached in its own folder with the split arguments; the
// progress window shows its state and offers no way out but "&OK"; the "Debug" list follows its
// last line.
#include "BuildMessagesModel.h"
#include "BuildTestSupport.h"
#include "GameLauncher.h"
#include "ProgressWindow.h"
#include "TempDir.h"

#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

TEST(BuildLaunch, StartsTheGameInItsFolderWithItsArguments) {
  TempDir dir;
  const std::string game =
      dir.write("Quake3/quake3", "#!/bin/sh\npwd > started.txt\nfor a in \"$@\"; do echo \"$a\" >> "
                                 "started.txt; done\n");
  std::filesystem::permissions(game, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
  Settings settings;
  settings.quake3location = dir.file("Quake3/missing");
  EXPECT_FALSE(GameLauncher::LaunchQuake3ActionEnabled(settings));
  settings.quake3location = game;
  settings.quake3arguments = "alpha \"beta gamma\" +set fs_game mymod";
  EXPECT_TRUE(GameLauncher::LaunchQuake3ActionEnabled(settings));

  GameLauncher launcher;
  EXPECT_TRUE(launcher.LaunchGame(settings));
  EXPECT_EQ(launcher.DefaultDir, dir.path() + "/Quake3/");
  const std::string started = dir.file("Quake3/started.txt");
  ASSERT_TRUE(WaitUntil([&] { return TempDir::read(started).find("mymod\n") != std::string::npos; }));
  EXPECT_EQ(TempDir::read(started), std::filesystem::canonical(dir.path()).string() +
                                        "/Quake3\nalpha\nbeta gamma\n+set\nfs_game\nmymod\n");

  settings.quake3location = dir.file("Quake3");
  EXPECT_FALSE(launcher.LaunchGame(settings)) << "a failure is only returned, never shown";
}

// The window stays above the main window only while the build runs and never above everything,
// so other dialogs can cover it; every line of a long result shows.
TEST(BuildProgressWindow, ShowsTheBuildStateAndClosesOnlyThroughOk) {
  ProgressState progress;
  QWidget owner;
  owner.show();
  ProgressWindow form(progress, &owner);
  EXPECT_EQ(form.windowTitle(), "Compiling");
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);

  progress.SetMaximum(3);
  progress.Show();
  progress.SetCaption("Compiling - game");
  progress.SetLabel("/mods/game/g_main.c");
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.KeptAboveOwner());
  EXPECT_EQ(form.windowTitle(), "Compiling - game");
  auto* cancel = form.findChild<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Cancel");
  cancel->click();
  EXPECT_FALSE(progress.Running());
  form.reject();
  EXPECT_TRUE(form.isVisible()) << "Escape does not close it";

  progress.SetLabel("Completed\rgame  - 0 total errors\rcgame  - 0 total errors\rui  - 2 files failed to "
                    "compile, module not built\rbots  - 0 total errors\r");
  progress.ShowFinished();
  EXPECT_FALSE(form.KeptAboveOwner());
  EXPECT_EQ(form.findChild<QProgressBar*>()->value(), 3);
  auto* label = form.findChild<QLabel*>();
  EXPECT_EQ(label->text().count('\n'), 5);
  EXPECT_TRUE(label->font().bold());
  QCoreApplication::processEvents();
  EXPECT_GE(label->height(), label->heightForWidth(label->width())) << "no line is clipped";
  EXPECT_FALSE(cancel->isVisible());
  const auto buttons = form.findChildren<QPushButton*>();
  auto ok = std::find_if(buttons.begin(), buttons.end(), [](auto* b) { return b->text() == "&OK"; });
  ASSERT_NE(ok, buttons.end());
  (*ok)->click();
  EXPECT_FALSE(form.isVisible());
}

TEST(BuildMessageList, ShowsTheLinesAndFollowsTheLastOne) {
  MessageLines lines;
  lines.Add("first");
  BuildMessagesModel model(lines);
  QListView view;
  FollowLastLine(view, model);
  EXPECT_EQ(model.rowCount(), 1);
  lines.Add("sec");
  lines.SetLast("second");
  QCoreApplication::processEvents(); // the view hears of new lines in batches
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(), "second");
  EXPECT_EQ(view.currentIndex().row(), 1);
  lines.SetLast(std::string(100000, 'x'));
  QCoreApplication::processEvents();
  EXPECT_EQ(model.Line(1).size(), 100000u) << "the line stays whole";
  EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString().size(), 4096);
  lines.Clear();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST(BuildMessageList, AFloodKeepsTheNewestLinesAndSaysHowManyWent) {
  MessageLines lines;
  BuildMessagesModel model(lines);
  QListView view;
  FollowLastLine(view, model);
  constexpr std::size_t kAdded = 2 * MessageLines::kMostLinesKept + 12345;
  for (std::size_t i = 0; i < kAdded; ++i) {
    // Half the lines come as the collector adds them: an empty line, then its text, in the buffer
    // of a line that went.
    if (i % 2 == 0) {
      lines.Add("line " + std::to_string(i));
    } else {
      lines.Add({});
      lines.SetLast("line " + std::to_string(i));
    }
    if (i % 7001 != 0) continue;
    // Now and then the view catches up; a row it knew still shows the same line afterwards.
    const QPersistentModelIndex known = model.index(model.rowCount() - 1);
    const QVariant text = known.data();
    QCoreApplication::processEvents();
    if (known.isValid()) {
      ASSERT_EQ(known.data(), text) << "after " << i << " lines";
    }
  }
  ASSERT_LE(lines.Lines().size(), MessageLines::kMostLinesKept);
  EXPECT_EQ(lines.Lines().size() - 1 + lines.Dropped(), kAdded) << "every line is either kept or counted";
  EXPECT_EQ(lines.Lines().front(), "[" + std::to_string(lines.Dropped()) + " earlier lines were not kept]");
  for (std::size_t kept = 1; kept < lines.Lines().size(); ++kept)
    ASSERT_EQ(lines.Lines()[kept], "line " + std::to_string(lines.Dropped() + kept - 1));
  // A flood is shown a few dozen times a second, the last of it too.
  EXPECT_TRUE(WaitUntil([&] { return model.rowCount() == static_cast<int>(lines.Lines().size()); }));
  EXPECT_EQ(view.currentIndex().row(), model.rowCount() - 1);
  EXPECT_EQ(model.data(model.index(model.rowCount() - 1), Qt::DisplayRole).toString().toStdString(),
            lines.Last());
}
