#include "RegistryStore.h"
#include "Settings.h"
#include "TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

#include <map>
#include <set>

namespace {

const RegistryRoot user = RegistryRoot::CurrentUser;

struct SettingsTest : ::testing::Test {
  TempDir dir;
  RegistryStore store{dir.file("registry")};
  SettingsConventions windows = SettingsConventions::Windows();

  void stored(const char* name, const std::string& text) { store.SetString(user, kSettingsKey, name, text); }
};

} // namespace

TEST_F(SettingsTest, WindowsDefaultsWhenTheInstallRecordCannotBeOpened) {
  store.SetRootReadOnly(RegistryRoot::LocalMachine, true);
  Settings s = LoadSettings(store, windows);
  EXPECT_EQ(s.quake3location, "c:\\quake3\\quake3.exe");
  EXPECT_EQ(s.lcclocation, "c:\\quake3\\bin_nt\\lcc.exe");
  EXPECT_EQ(s.q3asmlocation, "c:\\quake3\\bin_nt\\q3asm.exe");
  EXPECT_EQ(s.outputlocation, "c:\\quake3\\mymod\\vm\\");
  EXPECT_EQ(s.lcclarguments, "-DQ3_VM -S -Wf-target=bytecode -Wf-g");
  EXPECT_EQ(s.q3asmlarguments, "");
  EXPECT_EQ(s.EditorFont, "Courier New");
  EXPECT_EQ(s.EditorFontSize, 10);
  EXPECT_FALSE(s.BackupSource);
  EXPECT_EQ(s.UndoLevels, 10);
  EXPECT_FALSE(s.KeepFileFormat);
  EXPECT_EQ(s.TabWidth, 8);
  EXPECT_EQ(s.ParallelCompiles, 1);
  EXPECT_EQ(windows.buildCacheFolder, "") << "every build compiles everything";
  EXPECT_EQ(windows.toolEndWait, std::chrono::milliseconds(100));
  EXPECT_FALSE(windows.listsBuildResult);
}

TEST_F(SettingsTest, InstallRecordMovesTheToolDefaults) {
  store.SetString(RegistryRoot::LocalMachine, kInstallRecordKey, kInstallRecordValue,
                  "C:\\Games\\Quake III Arena\\quake3.exe");
  Settings s = LoadSettings(store, windows);
  EXPECT_EQ(s.quake3location, "C:\\Games\\Quake III Arena\\quake3.exe");
  EXPECT_EQ(s.lcclocation, "C:\\Games\\Quake III Arena\\bin_nt\\lcc.exe");
  EXPECT_EQ(s.outputlocation, "C:\\Games\\Quake III Arena\\mymod\\vm\\");
}

TEST_F(SettingsTest, InstallRecordWithoutTheValueKeepsTheFallbacks) {
  Settings s = LoadSettings(store, windows);
  EXPECT_TRUE(store.KeyExists(RegistryRoot::LocalMachine, kInstallRecordKey)); // created on the way
  EXPECT_EQ(s.lcclocation, "c:\\quake3\\bin_nt\\lcc.exe");
}

TEST_F(SettingsTest, LinuxDefaultsPreferToolsOnThePath) {
  auto onPath = [](const std::string& name) { return name == "q3asm" ? "/usr/bin/q3asm" : std::string(); };
  Settings s = DefaultSettings(SettingsConventions::Linux(onPath, "/home/u"), nullptr);
  EXPECT_EQ(s.quake3location, "/usr/lib/ioquake3/ioquake3");
  EXPECT_EQ(s.lcclocation, "/usr/lib/ioquake3/q3lcc");
  EXPECT_EQ(s.q3asmlocation, "/usr/bin/q3asm");
  EXPECT_EQ(s.outputlocation, "/home/u/.q3a/mymod/vm/");
  EXPECT_EQ(s.q3asmlarguments, "-v -m");
  EXPECT_EQ(s.UndoLevels, 1000);
  EXPECT_TRUE(s.KeepFileFormat);
  EXPECT_EQ(s.TabWidth, 4);
  EXPECT_EQ(s.ParallelCompiles, std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 64));
  EXPECT_EQ(SettingsConventions::Linux(onPath, "/home/u").buildCacheFolder, "/home/u/.cache/Tessarin/build/");
  EXPECT_EQ(SettingsConventions::Linux(onPath, "/home/u").toolEndWait, std::chrono::milliseconds(0));
  EXPECT_TRUE(SettingsConventions::Linux(onPath, "/home/u").listsBuildResult);

  auto gameOnPath = [](const std::string& name) {
    return name == "ioquake3" ? "/usr/games/ioquake3" : std::string();
  };
  std::string install = "/opt/q3/quake3";
  EXPECT_EQ(DefaultSettings(SettingsConventions::Linux(gameOnPath, "/h"), nullptr).lcclocation,
            "/usr/games/q3lcc");
  EXPECT_EQ(DefaultSettings(SettingsConventions::Linux(gameOnPath, "/h"), &install).lcclocation,
            "/opt/q3/q3lcc");
}

TEST_F(SettingsTest, LinuxGameArgumentsStartTheModOfTheOutputFolder) {
  const SettingsConventions desktop =
      SettingsConventions::Linux([](const std::string&) { return ""; }, "/home/u");
  EXPECT_EQ(LoadSettings(store, desktop).quake3arguments,
            "+set fs_game mymod +set vm_game 2 +set vm_cgame 2 +set vm_ui 2");
  const std::pair<const char*, const char*> byFolder[] = {
      {"/srv/q3/cpma/vm", "+set fs_game cpma +set vm_game 2 +set vm_cgame 2 +set vm_ui 2"},
      {"/vm/", "+set vm_game 2 +set vm_cgame 2 +set vm_ui 2"},
  };
  for (const auto& [folder, arguments] : byFolder) {
    stored("outputlocation", folder);
    EXPECT_EQ(LoadSettings(store, desktop).quake3arguments, arguments) << folder;
  }
  EXPECT_EQ(LoadSettings(store, windows).quake3arguments, "");
  stored("quake3arguments", "");
  EXPECT_EQ(LoadSettings(store, desktop).quake3arguments, ""); // a stored value, even empty, wins
}

TEST_F(SettingsTest, LinuxDefaultsFollowTheGameThatCanStart) {
  // What a machine holds: programs on the search path and files.
  struct Machine {
    std::map<std::string, std::string> onPath;
    std::set<std::string> files;
  };
  auto defaults = [](const Machine& machine, const std::string* install = nullptr) {
    return DefaultSettings(SettingsConventions::Linux(
                               [&](const std::string& name) {
                                 auto found = machine.onPath.find(name);
                                 return found != machine.onPath.end() ? found->second : std::string();
                               },
                               "/home/u",
                               [&](const std::string& path) { return machine.files.count(path) > 0; }),
                           install);
  };
  const std::string engine = "/usr/lib/ioquake3/ioquake3";
  const std::string openArena = "/usr/games/openarena";
  const std::string quakeData = "/home/u/.q3a/baseq3/pak0.pk3";
  struct Case {
    const char* what;
    Machine machine;
    std::string game;
    std::string output;
    // The dedicated server, the map it loads when that is checked, and whether it is what runs.
    std::string server = {};
    std::string map = {};
    bool dedicated = false;
  };
  const std::string oaServer = "/usr/games/openarena-server";
  const std::string engineServer = "/usr/lib/ioquake3/ioq3ded";
  const Case cases[] = {
      {"nothing installed", {}, engine, "/home/u/.q3a/mymod/vm/"},
      {"the engine alone", {{}, {engine}}, engine, "/home/u/.q3a/mymod/vm/"},
      {"Debian's OpenArena", {{}, {engine, openArena}}, openArena, "/home/u/.openarena/mymod/vm/"},
      {"OpenArena on the path",
       {{{"openarena", "/opt/oa/openarena"}}, {}},
       "/opt/oa/openarena",
       "/home/u/.openarena/mymod/vm/"},
      {"OpenArena and the game's data",
       {{}, {engine, openArena, quakeData}},
       engine,
       "/home/u/.q3a/mymod/vm/"},
      {"an engine carrying its data",
       {{{"ioquake3", "/opt/q3/ioquake3"}}, {openArena, "/opt/q3/baseq3/pak0.pk3"}},
       "/opt/q3/ioquake3",
       "/home/u/.q3a/mymod/vm/"},
      {"Debian's OpenArena server alone, with the engine's server",
       {{}, {oaServer, engineServer}},
       engine,
       "/home/u/.openarena/mymod/vm/",
       oaServer,
       "aggressor",
       true},
      {"the game and its server",
       {{{"ioq3ded", "/opt/q3/ioq3ded"}}, {engine}},
       engine,
       "/home/u/.q3a/mymod/vm/",
       "/opt/q3/ioq3ded",
       "q3dm1",
       false},
  };
  for (const Case& c : cases) {
    const Settings s = defaults(c.machine);
    EXPECT_EQ(s.quake3location, c.game) << c.what;
    EXPECT_EQ(s.outputlocation, c.output) << c.what;
    EXPECT_EQ(s.quake3arguments, "+set fs_game mymod +set vm_game 2 +set vm_cgame 2 +set vm_ui 2") << c.what;
    EXPECT_EQ(s.ServerLocation, c.server) << c.what;
    if (!c.map.empty()) {
      EXPECT_EQ(s.ServerMap, c.map) << c.what;
    }
    EXPECT_EQ(s.RunDedicatedServer, c.dedicated) << c.what;
  }
  const std::string install = "/srv/q3/ioquake3";
  const Settings recorded = defaults(cases[2].machine, &install);
  EXPECT_EQ(recorded.quake3location, install);
  EXPECT_EQ(recorded.outputlocation, "/home/u/.q3a/mymod/vm/");
}

TEST_F(SettingsTest, TheEditorFontIsAFixedFontOnLinux) {
  EXPECT_EQ(DefaultSettings(windows, nullptr).EditorFont, "Courier New");
  const auto nowhere = [](const std::string&) { return std::string(); };
  EXPECT_EQ(DefaultSettings(SettingsConventions::Linux(nowhere, "/h"), nullptr).EditorFont, "Monospace");
}

TEST_F(SettingsTest, StoredValuesWinAndKeepTheirKinds) {
  stored("outputlocation", "C:\\out");
  stored("quake3arguments", "");
  stored("BackupSource", "1");
  stored("EditorFontSize", "12");
  stored("lcclarguments", "-DHAND_EDITED");
  stored("ReloadCommand", "vid_restart");
  stored("RunDedicatedServer", "1");
  Settings s = LoadSettings(store, windows);
  EXPECT_EQ(s.ReloadCommand, "vid_restart");
  EXPECT_TRUE(s.RunDedicatedServer);
  EXPECT_EQ(DefaultSettings(windows, nullptr).ReloadCommand, "map {map}");
  EXPECT_EQ(s.outputlocation, "C:\\out\\");
  EXPECT_EQ(s.quake3arguments, "");
  EXPECT_TRUE(s.BackupSource);
  EXPECT_EQ(s.EditorFontSize, 12);

  SaveSettings(store, s);
  SaveSettings(store, LoadSettings(store, windows));
  EXPECT_EQ(store.Value(user, kSettingsKey, "BackupSource")->Text(), "1");
  EXPECT_EQ(store.Value(user, kSettingsKey, "EditorFontSize")->Text(), "12"); // still a string
  EXPECT_EQ(store.Value(user, kSettingsKey, "lcclarguments")->Text(), "-DHAND_EDITED");
  EXPECT_EQ(store.Value(user, kSettingsKey, "outputlocation")->Text(), "C:\\out\\");
  EXPECT_EQ(store.Value(user, kSettingsKey, "ReloadCommand")->Text(), "vid_restart");
  EXPECT_EQ(store.ValueNames(user, kSettingsKey).size(), 20u);
}

TEST_F(SettingsTest, NumbersReadFromEitherKind) {
  store.SetNumber(user, kSettingsKey, "BackupSource", 2);
  stored("EditorFontSize", "twelve");
  stored("ParallelCompiles", "0");
  store.SetNumber(user, kSettingsKey, "UndoLevels", 1 << 30);
  Settings s = LoadSettings(store, windows);
  EXPECT_TRUE(s.BackupSource);
  EXPECT_EQ(s.EditorFontSize, 10);
  EXPECT_EQ(s.ParallelCompiles, 1) << "at least one compile runs";
  EXPECT_EQ(s.UndoLevels, kMostUndoLevels);

  SaveSettings(store, s);
  EXPECT_TRUE(store.Value(user, kSettingsKey, "EditorFontSize")->IsString());
  store.DeleteValue(user, kSettingsKey, "EditorFontSize");
  SaveSettings(store, s);
  EXPECT_EQ(store.Value(user, kSettingsKey, "EditorFontSize")->Number(), 10);
}
