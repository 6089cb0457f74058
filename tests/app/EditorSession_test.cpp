#include "EditorSession.h"
#include "RegistryStore.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorSession, IsKeptPerWorkspaceAndUnusableEntriesAreLeftOut) {
  TempDir dir;
  RegistryStore store(dir.file("registry"));
  const EditorSession session{
      {{"/mods/game/g_main.c", 40, 17, EditorSession::Split::Below}, {"/mods/game/g_local.h", 1, 1}}, 1};
  SaveSession(store, "/mods/mymod.tsw", session);
  SaveSession(store, "/mods/other.tsw", {{{"/mods/other.c", 2}}, 0});
  EXPECT_EQ(LoadSession(store, "/mods/mymod.tsw"), session);
  EXPECT_EQ(LoadSession(store, "/mods/none.tsw"), EditorSession());

  // A session of fewer windows replaces the longer one whole.
  SaveSession(store, "/mods/mymod.tsw", {{{"/mods/game/g_main.c", 7}}, 0});
  EXPECT_EQ(LoadSession(store, "/mods/mymod.tsw").windows.size(), 1u);

  // A hand-edited entry without a file is skipped, the active one still found; lines start at 1.
  const std::string key = "software\\Tessarin\\sessions\\/mods/other.tsw";
  store.SetNumber(RegistryRoot::CurrentUser, key, "Count", 3);
  store.SetNumber(RegistryRoot::CurrentUser, key, "Active", 2);
  store.SetString(RegistryRoot::CurrentUser, key, "File2", "/mods/third.c");
  store.SetNumber(RegistryRoot::CurrentUser, key, "Line2", -5);
  store.SetNumber(RegistryRoot::CurrentUser, key, "Column2", 0);
  store.SetNumber(RegistryRoot::CurrentUser, key, "Split2", 7); // no such split: none
  EXPECT_EQ(LoadSession(store, "/mods/other.tsw"),
            (EditorSession{{{"/mods/other.c", 2}, {"/mods/third.c", 1}}, 1}));

  SaveSession(store, "/mods/other.tsw", {});
  EXPECT_FALSE(store.KeyExists(RegistryRoot::CurrentUser, key));
}

} // namespace
