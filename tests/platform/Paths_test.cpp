#include "Paths.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace paths;

namespace {
const PathStyle win = PathStyle::Windows();
const PathStyle posix = PathStyle::Posix();
} // namespace

TEST(Paths, RelativePathInBothStyles) {
  EXPECT_EQ(ExtractRelativePath("C:\\mods\\mymod\\", "C:\\mods\\mymod\\server\\server.tsp", win),
            "server\\server.tsp");
  EXPECT_EQ(ExtractRelativePath("C:\\mods\\mymod\\server\\", "C:\\mods\\shared\\mathlib.c", win),
            "..\\..\\shared\\mathlib.c");
  EXPECT_EQ(ExtractRelativePath("C:\\mods\\", "D:\\src\\a.c", win), "D:\\src\\a.c");
  EXPECT_EQ(ExtractRelativePath("c:\\MODS\\", "C:\\mods\\a.c", win), "a.c"); // case-insensitive
  EXPECT_EQ(ExtractRelativePath("\\\\srv\\share\\x\\", "\\\\other\\share\\x\\a.c", win),
            "\\\\other\\share\\x\\a.c");

  EXPECT_EQ(ExtractRelativePath("/home/u/mod/", "/home/u/mod/server/server.tsp", posix), "server/server.tsp");
  EXPECT_EQ(ExtractRelativePath("/home/u/mod/server/", "/home/u/shared/m.c", posix), "../../shared/m.c");
}

TEST(Paths, FolderNameAndExtension) {
  EXPECT_EQ(ExtractFilePath("C:\\mods\\a.c", win), "C:\\mods\\");
  EXPECT_EQ(ExtractFilePath("C:a.c", win), "C:");
  EXPECT_EQ(ExtractFileName("C:\\mods\\a.c", win), "a.c");
  EXPECT_EQ(ExtractFilePath("/home/u/a.c", posix), "/home/u/");
  EXPECT_EQ(ExtractFilePath("a.c", posix), "");
  EXPECT_EQ(ExtractFileExt("/x.y/name", posix), "");
  EXPECT_EQ(LowerFileExt("/x/B.C", posix), ".c");
  EXPECT_EQ(ChangeFileExt("/x/a.dsw", ".tsw", posix), "/x/a.tsw");
  EXPECT_EQ(ReplaceAfterLastDelimiterOrDot("C:\\mods\\server\\server.dsp", "tsp", win),
            "C:\\mods\\server\\server.tsp");
  EXPECT_EQ(ReplaceAfterLastDelimiterOrDot("C:\\mods\\server\\server", "tsp", win), "C:\\mods\\server\\tsp");
}

TEST(Paths, ExpandResolvesDotsAgainstBase) {
  EXPECT_EQ(ExpandFileName(".\\client\\client.dsp", "C:\\mods\\mymod\\", win),
            "C:\\mods\\mymod\\client\\client.dsp");
  EXPECT_EQ(ExpandFileName("..\\..\\a.c", "C:\\mods\\mymod\\server\\", win), "C:\\mods\\a.c");
  EXPECT_EQ(ExpandFileName("D:\\x\\..\\y.c", "C:\\mods\\", win), "D:\\y.c");
  EXPECT_EQ(ExpandFileName("../x//./a.c", "/home/u/mod/", posix), "/home/u/x/a.c");
  EXPECT_EQ(ExpandFileName("../../../../a.c", "/a/", posix), "/a.c");
  // A Windows drive seen from POSIX is not a place here: kept as written.
  EXPECT_EQ(ExpandFileName("D:\\src\\a.c", "/home/", posix), "D:\\src\\a.c");
}

TEST(Paths, DrivesAndStoredPaths) {
  EXPECT_TRUE(CarriesDrive("C:\\x", win));
  EXPECT_TRUE(CarriesDrive("\\\\server\\share\\x", win));
  EXPECT_FALSE(CarriesDrive("x\\y", win));
  EXPECT_TRUE(CarriesDrive("/x", posix));
  EXPECT_TRUE(CarriesDrive("D:\\src\\a.c", posix));
  EXPECT_FALSE(CarriesDrive("server/a.c", posix));
  EXPECT_EQ(FromStoredPath("server\\server.tsp"), "server/server.tsp");
  EXPECT_EQ(FromStoredPath("D:\\src\\a.c"), "D:\\src\\a.c");
  EXPECT_EQ(IncludeTrailingDelimiter("/a", posix), "/a/");
  EXPECT_EQ(IncludeTrailingDelimiter("C:\\a/", win), "C:\\a/");
  EXPECT_EQ(ExcludeTrailingDelimiter("/a/b/", posix), "/a/b");
  EXPECT_EQ(ExcludeTrailingDelimiter("/", posix), "/");
}

// Names differing in case are two files here; a link to a file, or another spelling of its
// folder, is that file. Windows names, as old workspaces store them, still ignore case.
TEST(Paths, SameFileNameIsTheSameFileExactly) {
  TempDir dir;
  for (const char* name : {"foo.c", "Foo.c"})
    std::ofstream(dir.file(name)) << name;
  std::filesystem::create_symlink(dir.file("foo.c"), dir.file("link.c"));
  std::filesystem::create_hard_link(dir.file("foo.c"), dir.file("hard.c"));
  EXPECT_FALSE(SameFileName(dir.file("foo.c"), dir.file("Foo.c")));
  EXPECT_FALSE(SameFileName("/m/Foo.c", "/m/foo.c"));
  EXPECT_TRUE(SameFileName("/m/foo.c", "/m/foo.c"));
  for (const char* other : {"link.c", "hard.c", "./foo.c"})
    EXPECT_TRUE(SameFileName(dir.file("foo.c"), dir.file(other))) << other;
  EXPECT_TRUE(SameFileName("C:\\Mods\\G_Main.c", "c:\\mods\\g_main.c"));
  EXPECT_FALSE(SameFileName("C:\\mods\\g_main.c", "/mods/g_main.c"));
}
