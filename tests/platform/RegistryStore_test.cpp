#include "RegistryStore.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const RegistryRoot user = RegistryRoot::CurrentUser;
}

TEST(RegistryStore, ValuesSurviveSaveAndLoadWithKindsAndOrder) {
  TempDir dir;
  const std::string file = dir.file("sub/registry");
  {
    RegistryStore store(file);
    ASSERT_EQ(store.Load(), "");
    store.SetString(user, "software\\Tessarin\\setup", "zeta", "c:\\quake3\\\"x\"\n\t\x01");
    store.SetNumber(user, "software\\Tessarin\\setup", "alpha", -5);
    store.SetString(user, "software\\Tessarin\\setup", "Size", "12");
    ASSERT_EQ(store.Save(), "");
  }
  RegistryStore again(file);
  ASSERT_EQ(again.Load(), "");
  EXPECT_EQ(again.ValueNames(user, "SOFTWARE\\tessarin\\SETUP"),
            (std::vector<std::string>{"zeta", "alpha", "Size"}));
  EXPECT_EQ(again.Value(user, "software\\Tessarin\\setup", "ZETA")->Text(), "c:\\quake3\\\"x\"\n\t\x01");
  EXPECT_EQ(again.Value(user, "software\\Tessarin\\setup", "alpha")->Number(), -5);
  EXPECT_TRUE(again.Value(user, "software\\Tessarin\\setup", "size")->IsString());
  EXPECT_FALSE(again.Value(RegistryRoot::LocalMachine, "software\\Tessarin\\setup", "alpha"));
}

TEST(RegistryStore, RewritingAValueKeepsItsPlaceAndSpelling) {
  TempDir dir;
  RegistryStore store(dir.file("r"));
  store.SetString(user, "k", "First", "1");
  store.SetString(user, "k", "second", "2");
  store.SetNumber(user, "k", "FIRST", 3);
  EXPECT_EQ(store.ValueNames(user, "k"), (std::vector<std::string>{"First", "second"}));
  EXPECT_EQ(store.Value(user, "k", "first")->Number(), 3);
  store.DeleteValue(user, "k", "FIRST");
  EXPECT_EQ(store.ValueNames(user, "k"), (std::vector<std::string>{"second"}));
  EXPECT_TRUE(store.KeyExists(user, "\\k\\"));
  store.DeleteKey(user, "K");
  EXPECT_FALSE(store.KeyExists(user, "k"));
}

TEST(RegistryStore, SaveMergesWithWhatAnotherWriterSaved) {
  TempDir dir;
  RegistryStore a(dir.file("r")), b(dir.file("r"));
  a.Load();
  b.Load();
  a.SetString(user, "k", "fromA", "a");
  ASSERT_EQ(a.Save(), "");
  b.SetString(user, "k", "fromB", "b");
  ASSERT_EQ(b.Save(), "");
  RegistryStore check(dir.file("r"));
  check.Load();
  EXPECT_EQ(check.ValueNames(user, "k"), (std::vector<std::string>{"fromA", "fromB"}));
}

TEST(RegistryStore, TwoProgramsSavingAtOnceKeepEveryValue) {
  TempDir dir;
  const std::string path = dir.file("settings/r");
  constexpr int kSaves = 200;
  auto saveMany = [&path](const std::string& who) {
    for (int i = 0; i < kSaves; ++i) {
      RegistryStore store(path);
      store.Load();
      store.SetNumber(user, "k", who + std::to_string(i), i);
      if (!store.Save().empty()) return 1;
    }
    return 0;
  };
  const pid_t other = ::fork();
  if (other == 0) ::_exit(saveMany("b"));
  EXPECT_EQ(saveMany("a"), 0);
  int status = 0;
  ::waitpid(other, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  RegistryStore check(path);
  check.Load();
  EXPECT_EQ(check.ValueNames(user, "k").size(), 2u * kSaves);
}

TEST(RegistryStore, CorruptFileKeepsGoodLinesAndSaysWhatWasWrong) {
  TempDir dir;
  std::string garbage("\x00\xff\xfe[[[\n", 8);
  dir.write("r", "[HKEY_CURRENT_USER\\k]\n\"good\"=\"yes\"\n\"bad\"=dword:xyz\n" + garbage +
                     "[NOWHERE\\k]\n\"lost\"=\"v\"\n");
  RegistryStore store(dir.file("r"));
  std::string problem = store.Load();
  EXPECT_NE(problem.find("line 3"), std::string::npos) << problem;
  EXPECT_EQ(store.Value(user, "k", "good")->Text(), "yes");
  EXPECT_FALSE(store.Value(user, "k", "bad"));
}

TEST(RegistryStore, ReadOnlyRootRefusesKeysAndValues) {
  TempDir dir;
  RegistryStore store(dir.file("r"));
  store.SetRootReadOnly(RegistryRoot::LocalMachine, true);
  EXPECT_FALSE(store.OpenKey(RegistryRoot::LocalMachine, "x", true));
  EXPECT_FALSE(store.SetString(RegistryRoot::LocalMachine, "x", "v", "t"));
  EXPECT_TRUE(store.OpenKey(user, "x", true));
}

TEST(RegistryStore, UnreadableFileIsReportedNotFatal) {
  TempDir dir;
  RegistryStore store(dir.path()); // a folder, not a file
  EXPECT_NE(store.Load(), "");
  EXPECT_NE(store.Save(), "");
}
