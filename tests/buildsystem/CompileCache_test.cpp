// The parts of the build cache that need no tools: records survive being written and read back
// whatever the names hold and are refused when damaged, include folders are read from a command
// line as the compiler reads them, and every project gets a folder of its own.
#include "CompileCache.h"
#include "TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>

namespace {

std::string RandomText(std::mt19937& random, bool withLineEnds = false) {
  const std::string letters = std::string("ab/ .\t\"\\-_é") + (withLineEnds ? "\n" : "");
  std::string text;
  for (std::size_t n = random() % 12; n > 0; --n)
    text += letters[random() % letters.size()];
  return text;
}

} // namespace

TEST(CompileCache, RecordsReadBackAsWrittenAndOnlyWhole) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  for (int round = 0; round < 300; ++round) {
    CompileRecord record;
    record.commandLine = RandomText(random);
    record.assemblyStamp = "1.2/3.4/" + std::to_string(random() % 1000) + "/5/6";
    record.definesEntryPoint = random() % 2 == 0;
    for (std::size_t n = random() % 5; n > 0; --n)
      record.inputs.files.emplace_back("/" + RandomText(random), std::to_string(random()) + "/1");
    for (std::size_t n = random() % 3; n > 0; --n)
      record.inputs.notThere.push_back("/" + RandomText(random));
    const std::string text = record.Text();
    ASSERT_EQ(CompileRecord::FromText(text), record) << text;
    const std::size_t cut = random() % (text.size() - 1); // short of the last line's end at least
    EXPECT_EQ(CompileRecord::FromText(text.substr(0, cut)), std::nullopt) << "cut at " << cut << ": " << text;
  }
  EXPECT_EQ(CompileRecord::FromText("Tessarin compile record 1\ncommand\tx\nassembly\t\nend\n"), std::nullopt)
      << "a record without its compiled file's stamp";
  EXPECT_EQ(CompileRecord::FromText("Tessarin compile record 0\ncommand\tx\nassembly\t1\nend\n"),
            std::nullopt);
}

TEST(CompileCache, IncludeOptionsComeFromTheCommandLine) {
  EXPECT_EQ(IncludeOptions("q3lcc -DQ3_VM -I/mod/game -I \"/my mod/ui\" -I../common -Ix/./y x.c"),
            (std::vector<std::string>{"/mod/game", "/my mod/ui", "../common", "x/./y"}));
  EXPECT_EQ(IncludeOptions("q3lcc -I"), std::vector<std::string>{});
}

TEST(CompileCache, EachProjectHasAFolderOfItsOwnInsideTheCache) {
  const std::string a = ProjectBuildFolder("/cache", "game", "/mods/one/game.tsp");
  const std::string b = ProjectBuildFolder("/cache", "game", "/mods/two/game.tsp");
  EXPECT_NE(a, b);
  EXPECT_EQ(a, ProjectBuildFolder("/cache/", "game", "/mods/one/../one/game.tsp"));
  EXPECT_EQ(a.rfind("/cache/game-", 0), 0u) << a;
  for (const std::string& name :
       {std::string("../../etc"), std::string("a/b"), std::string(".."), std::string(300, 'x')}) {
    const std::string folder = ProjectBuildFolder("/cache", name, "");
    EXPECT_EQ(folder.rfind("/cache/", 0), 0u) << folder;
    EXPECT_EQ(folder.find('/', 7), folder.size() - 1) << "one folder below the cache: " << folder;
    EXPECT_LT(folder.size(), 80u);
    EXPECT_NE(folder.substr(7, 2), "..") << folder;
  }
}

// A record that cannot be written (a full disk; here a file size limit) is reported with its file
// and the reason, and leaves no part behind.
TEST(CompileCache, ARecordThatCannotBeWrittenIsReportedAndLeavesNothing) {
  TempDir dir;
  const std::string file = dir.file("a.inputs");
  EXPECT_EQ(WriteRecord(file, "whole"), "");
  EXPECT_EQ(TempDir::read(file), "whole");
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit unlimited = limit;
  limit.rlim_cur = 64;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const std::string problem = WriteRecord(file, std::string(1000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &unlimited);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(problem, "cannot write " + file + " (File too large)");
  EXPECT_EQ(TempDir::read(file), "whole");
  EXPECT_FALSE(std::filesystem::exists(file + ".new"));
  EXPECT_EQ(WriteRecord(dir.file("gone/a.inputs"), "x"),
            "cannot write " + dir.file("gone/a.inputs") + " (No such file or directory)");
}
