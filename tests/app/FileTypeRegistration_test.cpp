#include "FileTypeRegistration.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct StartedTool {
  std::string program;
  std::vector<std::string> arguments;
};

struct FileTypeTest : ::testing::Test {
  TempDir dir;
  std::vector<StartedTool> started;
  ToolStarter recorder = [this](const std::string& program, const std::vector<std::string>& arguments) {
    started.push_back({program, arguments});
  };
  std::string oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";

  ~FileTypeTest() override { ::setenv("PATH", oldPath.c_str(), 1); }

  // A search path holding only stand-ins for the two cache tools.
  void fakeTools() {
    for (const char* tool : {"update-mime-database", "update-desktop-database"}) {
      dir.write(std::string("bin/") + tool, "#!/bin/sh\n");
      std::filesystem::permissions(dir.file(std::string("bin/") + tool), std::filesystem::perms::owner_all);
    }
    ::setenv("PATH", dir.file("bin").c_str(), 1);
  }
};

} // namespace

TEST_F(FileTypeTest, WritesTheMimePackageAndTheDesktopEntryThenRefreshesTheCaches) {
  fakeTools();
  const std::string data = dir.file("data");
  ASSERT_EQ(RegisterFileType("/opt/tessarin/bin/tessarin", data, recorder), "");

  std::string mime = TempDir::read(data + "/mime/packages/tessarin-workspace.xml");
  EXPECT_NE(mime.find("<mime-type type=\"application/x-tessarin-workspace\">"), std::string::npos);
  EXPECT_NE(mime.find("<glob pattern=\"*.tsw\"/>"), std::string::npos);
  EXPECT_NE(mime.find("<comment>Tessarin workspace</comment>"), std::string::npos);

  std::string entry = TempDir::read(data + "/applications/tessarin.desktop");
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry.find("\nExec=\"/opt/tessarin/bin/tessarin\" %f\n"), std::string::npos);
  EXPECT_NE(entry.find("\nMimeType=application/x-tessarin-workspace;\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=tessarin\n"), std::string::npos);

  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].program, dir.file("bin/update-mime-database"));
  EXPECT_EQ(started[0].arguments, std::vector<std::string>{data + "/mime"});
  EXPECT_EQ(started[1].arguments, std::vector<std::string>{data + "/applications"});

  // A moved program rewrites the entry at the next start.
  ASSERT_EQ(RegisterFileType("/home/me/tessarin", data, recorder), "");
  entry = TempDir::read(data + "/applications/tessarin.desktop");
  EXPECT_NE(entry.find("\nExec=\"/home/me/tessarin\" %f\n"), std::string::npos);
}

TEST_F(FileTypeTest, MissingCacheToolsAreSkipped) {
  ::setenv("PATH", dir.file("nothing-here").c_str(), 1);
  EXPECT_EQ(RegisterFileType("/bin/tessarin", dir.file("data"), recorder), "");
  EXPECT_TRUE(started.empty());
}

TEST_F(FileTypeTest, AnUnwritableFolderStopsWithAMessage) {
  dir.write("data/mime", "a file where the folder should be");
  std::string error = RegisterFileType("/bin/tessarin", dir.file("data"), recorder);
  EXPECT_EQ(error.rfind(
                "Failed to set data for '" + dir.file("data/mime/packages/tessarin-workspace.xml") + "'", 0),
            0u)
      << error;
  EXPECT_FALSE(std::filesystem::exists(dir.file("data/applications/tessarin.desktop")));
  EXPECT_TRUE(started.empty());
}

TEST_F(FileTypeTest, ExecLineQuotesAwkwardProgramPaths) {
  EXPECT_EQ(DesktopExecLine("/opt/my tools/tessarin"), "\"/opt/my tools/tessarin\" %f");
  // $ and " take a backslash, which the string value then doubles; % is doubled.
  EXPECT_EQ(DesktopExecLine("/a$b/c\"d/100%"), "\"/a\\\\$b/c\\\\\"d/100%%\" %f");
  EXPECT_EQ(DesktopExecLine("/a\\b"), "\"/a\\\\\\\\b\" %f");
}

TEST_F(FileTypeTest, DataHomeFollowsTheEnvironment) {
  const char* old = std::getenv("XDG_DATA_HOME");
  std::string saved = old != nullptr ? old : "";
  ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
  EXPECT_EQ(DesktopDataHome(), dir.path());
  ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
  EXPECT_NE(DesktopDataHome(), "relative/is/ignored");
  if (old != nullptr)
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}
