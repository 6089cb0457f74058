// Where the main window comes up: the classic size, most of the screen at a desktop's first
// start (also at a 2x scale), and the remembered place fitted to the screen it comes back to.
#include "IsolatedEnvironment.h"
#include "MainWindow.h"
#include "RegistryStore.h"
#include "ScriptedQuestions.h"
#include "TempDir.h"
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <gtest/gtest.h>

namespace {

TEST(WindowPlacement, EveryPlacementFitsTheScreenItIsMadeFor) {
  const QRect screens[] = {QRect(0, 0, 1600, 1000), QRect(0, 0, 800, 470), QRect(1920, 24, 1280, 776)};
  WindowPlacement remembered;
  remembered.normal = QRect(-300, 900, 2400, 1200);
  remembered.leftPanel = 2000;
  remembered.bottomPanel = 1000;
  remembered.maximised = true;
  for (const QRect& screen : screens) {
    SCOPED_TRACE(screen.width());
    const WindowPlacement first = FirstPlacement(screen);
    EXPECT_TRUE(screen.contains(first.normal));
    EXPECT_GE(first.normal.width() * first.normal.height(), screen.width() * screen.height() * 7 / 10);
    EXPECT_EQ(first.normal.center(), screen.center());
    EXPECT_GE(first.bottomPanel, first.normal.height() * 3 / 10); // the messages get room to be read
    EXPECT_TRUE(screen.contains(ClassicPlacement(screen).normal));
    const WindowPlacement fitted = FittedPlacement(remembered, screen);
    EXPECT_TRUE(screen.contains(fitted.normal));
    EXPECT_LE(fitted.leftPanel, fitted.normal.width() / 2);
    EXPECT_LE(fitted.bottomPanel, fitted.normal.height() / 2);
    EXPECT_TRUE(fitted.maximised);
  }
  EXPECT_EQ(ClassicPlacement(screens[0]).normal, QRect(470, 255, 659, 489));
  // A placement that fits is kept as it was.
  WindowPlacement fits;
  fits.normal = QRect(100, 80, 900, 700);
  EXPECT_EQ(FittedPlacement(fits, screens[0]), fits);
}

TEST(WindowPlacement, IsKeptInTheStoreAndUnusableValuesAreIgnored) {
  TempDir dir;
  RegistryStore store(dir.file("registry"));
  EXPECT_FALSE(LoadPlacement(store).has_value());
  WindowPlacement placement;
  placement.normal = QRect(10, 20, 900, 700);
  placement.maximised = true;
  placement.leftPanel = 300;
  placement.bottomPanel = 120;
  SavePlacement(store, placement);
  EXPECT_EQ(LoadPlacement(store), placement);
  store.SetString(RegistryRoot::CurrentUser, "software\\Tessarin\\window", "Width", "wide");
  EXPECT_FALSE(LoadPlacement(store).has_value());
}

struct MainWindowPlacementTest : ::testing::Test {
  TempDir dir;
  ScriptedQuestions questions;

  MainWindowEnvironment environment(const SettingsConventions& conventions) {
    MainWindowEnvironment env = IsolatedEnvironment(questions, dir);
    env.conventions = conventions;
    env.runDialog = [](QDialog&) { return int(QDialog::Rejected); }; // tools are missing here
    return env;
  }
};

TEST_F(MainWindowPlacementTest, TheDesktopWindowComesBackWhereItWasTheClassicOneStartsAfresh) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const SettingsConventions desktop = IsolatedEnvironment(questions, dir).conventions;
  {
    MainWindow form(environment(desktop));
    EXPECT_EQ(form.geometry(), FirstPlacement(screen).normal);
    form.setGeometry(screen.left() + 10, screen.top() + 20, 500, 400);
    form.show();
    form.LeftSplitter->setSizes({200, 296});
    EXPECT_TRUE(form.close());
  }
  {
    MainWindow again(environment(desktop));
    EXPECT_EQ(again.geometry(), QRect(screen.left() + 10, screen.top() + 20, 500, 400));
    again.show();
    EXPECT_EQ(again.LeftSplitter->sizes().value(0), 200);
    EXPECT_TRUE(again.close());
  }
  MainWindow classic(environment(SettingsConventions::Windows()));
  EXPECT_EQ(classic.geometry(), ClassicPlacement(screen).normal);
}

} // namespace
