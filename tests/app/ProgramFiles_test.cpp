#include "FileTypeRegistration.h"
#include "Paths.h"
#include "ProgramFiles.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct ProgramFilesTest : ::testing::Test {
  TempDir dir;
  // An installed prefix, and a source tree with a build tree inside it.
  std::string installed = dir.file("usr/bin/tessarin");
  std::string built = dir.file("src/tessarin/out/app/src/app/tessarin");

  ProgramFilesTest() {
    dir.write("usr/bin/tessarin", "");
    dir.write("src/tessarin/out/app/src/app/tessarin", "");
    dir.write("src/tessarin/examples/mymod/mymod.tsw", "");
  }

  void install() {
    dir.write("usr/share/applications/tessarin.desktop", "");
    dir.write("usr/share/tessarin/examples/mymod/mymod.tsw", "");
  }
};

} // namespace

TEST_F(ProgramFilesTest, AnInstalledProgramFindsItsPrefixsExampleABuildItsSourceTrees) {
  EXPECT_FALSE(RunsFromInstalledPrefix(installed, paths::FileExists));
  EXPECT_EQ(ExampleWorkspace(installed, "", paths::FileExists), "");
  // The documentation folder is not the program's: an example only there is not found.
  dir.write("usr/share/doc/tessarin/examples/mymod/mymod.tsw", "");
  EXPECT_EQ(ExampleWorkspace(installed, "", paths::FileExists), "");
  install();
  EXPECT_TRUE(RunsFromInstalledPrefix(installed, paths::FileExists));
  EXPECT_EQ(ExampleWorkspace(installed, dir.file("src/tessarin"), paths::FileExists),
            dir.file("usr/share/tessarin/examples/mymod/mymod.tsw"));

  EXPECT_FALSE(RunsFromInstalledPrefix(built, paths::FileExists));
  EXPECT_EQ(ExampleWorkspace(built, "", paths::FileExists),
            dir.file("src/tessarin/examples/mymod/mymod.tsw"));
  for (const char* odd : {"", "tessarin", "/tessarin"})
    EXPECT_EQ(ExampleWorkspace(odd, "", [](const std::string&) { return false; }), "") << odd;
}

// A build folder outside the checkout finds the example of the tree it was built from; without
// one, the greyed command names where it looked.
TEST_F(ProgramFilesTest, ABuildOutsideItsSourceTreeFindsTheTreesExample) {
  const std::string outside = dir.file("builds/tessarin/src/app/tessarin");
  dir.write("builds/tessarin/src/app/tessarin", "");
  EXPECT_EQ(ExampleWorkspace(outside, "", paths::FileExists), "");
  EXPECT_EQ(ExampleWorkspace(outside, dir.file("src/tessarin"), paths::FileExists),
            dir.file("src/tessarin/examples/mymod/mymod.tsw"));
  EXPECT_EQ(ExampleWorkspace(outside, dir.file("elsewhere"), paths::FileExists), "");
  const std::string why = NoExampleReason(outside, dir.file("elsewhere"));
  EXPECT_NE(why.find(dir.file("builds/tessarin/src/share/tessarin/examples/")), std::string::npos) << why;
  EXPECT_NE(why.find(dir.file("elsewhere/examples/")), std::string::npos) << why;
}

// The per-user registration is written for a build, never for an installed program (it would
// shadow the installed entry and outlive the package), and not when asked not to.
TEST_F(ProgramFilesTest, OnlyAProgramOutsideAnInstalledPrefixRegistersItselfForTheUser) {
  install();
  EXPECT_FALSE(WritesUserRegistration(installed, nullptr, paths::FileExists));
  EXPECT_FALSE(WritesUserRegistration(installed, "1", paths::FileExists));
  EXPECT_TRUE(WritesUserRegistration(built, nullptr, paths::FileExists));
  EXPECT_TRUE(WritesUserRegistration(built, "1", paths::FileExists));
  EXPECT_FALSE(WritesUserRegistration(built, "0", paths::FileExists));
}

// The example is copied once, writable; the user's changes survive the next open, and a copy that
// cannot be made is an error, never the original opened instead.
TEST_F(ProgramFilesTest, TheExampleOpensAsTheUsersOwnCopy) {
  dir.write("usr/share/tessarin/examples/mymod/game/g_main.c", "int x;\n");
  dir.write("usr/share/tessarin/examples/mymod/mymod.tsw", "ws");
  const std::string example = dir.file("usr/share/tessarin/examples/mymod/mymod.tsw");
  std::filesystem::permissions(dir.file("usr/share/tessarin/examples/mymod/game/g_main.c"),
                               std::filesystem::perms::owner_read);
  const std::string copy = UserCopyOfExample(example, dir.file("data"));
  EXPECT_EQ(copy, dir.file("data/Tessarin/examples/mymod/mymod.tsw"));
  dir.write("data/Tessarin/examples/mymod/game/g_main.c", "int changed;\n");
  EXPECT_EQ(UserCopyOfExample(example, dir.file("data")), copy);
  EXPECT_EQ(TempDir::read(dir.file("data/Tessarin/examples/mymod/game/g_main.c")), "int changed;\n");
  EXPECT_EQ(TempDir::read(dir.file("usr/share/tessarin/examples/mymod/game/g_main.c")), "int x;\n");

  dir.write("blocked", "a file where a folder should be");
  EXPECT_THROW((void)UserCopyOfExample(example, dir.file("blocked")), TessarinError);
}
