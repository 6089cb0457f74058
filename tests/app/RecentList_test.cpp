#include "RecentList.h"
#include "RecentListMenu.h"
#include "RegistryStore.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

const RegistryRoot user = RegistryRoot::CurrentUser;
const char* const kKey = "\\Software\\Tessarin\\Tessarin\\MainForm\\MRUHistory";

struct RecentListTest : ::testing::Test {
  TempDir dir;
  RegistryStore store{dir.file("registry")};

  std::string stored(const std::string& name) {
    auto value = store.Value(user, kKey, name);
    return value ? value->Text() : "<missing>";
  }

  static QStringList menuTexts(const QMenu& menu) {
    QStringList texts;
    for (QAction* action : menu.actions())
      texts << (action->isSeparator() ? "-" : action->text());
    return texts;
  }
};

} // namespace

TEST_F(RecentListTest, ReopeningMovesToTopAndTheMenuFollowsInPlace) {
  QMenu menu;
  RecentList mru(store);
  RecentListMenu view(mru, menu);
  mru.AddItem("/w/a.tsw");
  mru.AddItem("/w/b.tsw");
  QAction* firstItem = view.Items().front();
  mru.AddItem("/w/a.tsw");
  EXPECT_EQ(menuTexts(menu), QStringList({"-", "&1 /w/a.tsw", "&2 /w/b.tsw"}));
  EXPECT_EQ(view.Items().front(), firstItem); // rewritten, not replaced

  // File names have case here: another spelling is another file. A stored Windows path still
  // compares without case, and its entry keeps the first spelling.
  mru.AddItem("/W/B.TSW");
  ASSERT_EQ(mru.Entries().size(), 3u);
  mru.AddItem("C:\\w\\c.tsw");
  mru.AddItem("c:\\W\\C.TSW");
  ASSERT_EQ(mru.Entries().size(), 4u);
  EXPECT_EQ(mru.Entries()[0].path, "C:\\w\\c.tsw");
}

TEST_F(RecentListTest, CaptionsPastEightHaveNoAccelerator) {
  RecentList mru(store);
  for (int i = 9; i >= 1; --i)
    mru.AddItem("/w/" + std::to_string(i) + ".tsw");
  EXPECT_EQ(mru.Caption(0), "&1 /w/1.tsw");
  EXPECT_EQ(mru.Caption(7), "&8 /w/8.tsw");
  EXPECT_EQ(mru.Caption(8), "9 /w/9.tsw");
  mru.NumberItems = false;
  EXPECT_EQ(mru.Caption(8), "/w/9.tsw");
}

TEST_F(RecentListTest, StoresWholePathsAndLeavesDefaultAlone) {
  const std::string longPath = "/" + std::string(120, 'x') + "/work.tsw";
  store.SetString(user, kKey, "Default", "hand placed");
  store.SetString(user, kKey, "H5", "left over from a longer list");
  {
    RecentList mru(store);
    mru.AddItem("/w/a.tsw");
    mru.AddItem(longPath);
  }
  EXPECT_EQ(stored("Count"), "2");
  EXPECT_EQ(stored("MaxFiles"), "-1");
  EXPECT_EQ(stored("H0"), longPath);
  EXPECT_EQ(stored("H1"), "/w/a.tsw");
  EXPECT_EQ(stored("Default"), "hand placed");
  EXPECT_EQ(stored("H5"), "<missing>");

  ASSERT_EQ(store.Save(), "");
  RegistryStore reread(store.FilePath());
  reread.Load();
  RecentList again(reread);
  ASSERT_EQ(again.Entries().size(), 2u);
  EXPECT_EQ(again.Entries()[0].path, longPath);
  EXPECT_EQ(again.Entries()[1].path, "/w/a.tsw");
}

TEST_F(RecentListTest, LoadToleratesOddValues) {
  store.SetString(user, kKey, "COUNT", "3");
  store.SetString(user, kKey, "maxfiles", "-1");
  store.SetString(user, kKey, "H0", "/w/a.tsw|7");
  store.SetString(user, kKey, "H1", "/w/odd|name.tsw");
  store.SetString(user, kKey, "H2", "/w/a.tsw");
  store.SetString(user, kKey, "DEFAULT", "/not/an/entry.tsw");
  RecentList mru(store);
  ASSERT_EQ(mru.Entries().size(), 2u);
  // The duplicate moved the first entry back to the top.
  EXPECT_EQ(mru.Entries()[0].path, "/w/a.tsw");
  EXPECT_EQ(mru.Entries()[0].data, 7);
  EXPECT_EQ(mru.Entries()[1].path, "/w/odd|name.tsw");

  store.SetString(user, kKey, "COUNT", "many");
  RecentList none(store);
  EXPECT_TRUE(none.Entries().empty());
}

TEST_F(RecentListTest, ClickSuspendsAdditionsAndAFailureKeepsTheEntryInPlace) {
  RecentList mru(store);
  mru.AddItem("/w/a.tsw");
  mru.AddItem("/w/b.tsw");
  std::string clicked;
  mru.OnItemClick = [&](const std::string& path, bool&) {
    clicked = path;
    mru.AddItem("/w/during.tsw"); // ignored while the click runs
    throw TessarinError("Cannot open file " + path);
  };
  EXPECT_THROW(mru.Click(1), TessarinError);
  EXPECT_EQ(clicked, "/w/a.tsw");
  ASSERT_EQ(mru.Entries().size(), 2u);
  EXPECT_EQ(mru.Entries()[1].path, "/w/a.tsw");

  // Additions work again after the failed click; a clean click moves the entry up.
  mru.OnItemClick = [](const std::string&, bool&) {};
  mru.AddItem("/w/c.tsw");
  mru.Click(2);
  EXPECT_EQ(mru.Entries()[0].path, "/w/a.tsw");
}

TEST_F(RecentListTest, RemoveFlagDeletesTheEntryAndTheLastTakesTheSeparator) {
  QMenu menu;
  RecentList mru(store);
  RecentListMenu view(mru, menu);
  mru.AddItem("/w/a.tsw");
  mru.OnItemClick = [](const std::string&, bool& remove) { remove = true; };
  view.Items().front()->trigger();
  EXPECT_TRUE(mru.Entries().empty());
  EXPECT_TRUE(menuTexts(menu).isEmpty());
}

TEST_F(RecentListTest, LimitedListDropsTheOldest) {
  RecentList mru(store, false);
  mru.MaxItems = 2;
  mru.AddItem("/w/a.tsw");
  mru.AddItem("/w/b.tsw");
  mru.AddItem("/w/c.tsw");
  ASSERT_EQ(mru.Entries().size(), 2u);
  EXPECT_EQ(mru.Entries()[1].path, "/w/b.tsw");
  mru.MaxItems = 0;
  mru.AddItem("/w/d.tsw");
  EXPECT_EQ(mru.Entries().size(), 2u);
}
