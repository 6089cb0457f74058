#include "ProjectList.h"
#include "UserQuestions.h"

#include "TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

const std::string kSuffix = " - Package Owner=<4>\r\n";

std::vector<std::string> pathsOf(const Project& project) {
  std::vector<std::string> out;
  for (const ProjectFile& file : project.Files)
    out.push_back(file.Path);
  return out;
}

Project& addProject(ProjectList& list, const std::string& name, const std::string& fileName,
                    std::initializer_list<std::string> files) {
  Project& project = list.AddProject();
  project.Name = name;
  project.FileName = fileName;
  for (const std::string& file : files)
    project.Files.push_back({file});
  return project;
}

std::string errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TessarinError& error) {
    return error.Message();
  }
  return "";
}

std::string fixture(const std::string& name) { return std::string(TESSARIN_TEST_DATA) + "/" + name; }

} // namespace

TEST(ProjectFiles, WritesExactBytesAndReadsThemBack) {
  TempDir dir;
  const std::string root = dir.path();
  std::filesystem::create_directories(root + "/server");
  std::filesystem::create_directories(root + "/client");
  ProjectList list;
  addProject(list, "server", root + "/server/server.tsp",
             {"D:\\src\\bg_lib.c", root + "/server/g_main.c", root + "/shared/q_math.c"});
  addProject(list, "client", root + "/client/client.tsp", {});
  list.Modified = true;

  list.SaveToFile(root + "/mymod.tsw");
  EXPECT_FALSE(list.Modified);
  EXPECT_EQ(TempDir::read(root + "/mymod.tsw"), "Project: \"server\"=server\\server.tsp" + kSuffix +
                                                    "Project: \"client\"=client\\client.tsp" + kSuffix);
  EXPECT_EQ(TempDir::read(root + "/server/server.tsp"),
            "SOURCE=D:\\src\\bg_lib.c\r\nSOURCE=g_main.c\r\nSOURCE=..\\shared\\q_math.c\r\n");
  EXPECT_EQ(TempDir::read(root + "/client/client.tsp"), ""); // an empty list is an empty file

  ProjectList reread;
  reread.Modified = true;
  reread.LoadFromFile(root + "/mymod.tsw");
  EXPECT_FALSE(reread.Modified);
  ASSERT_EQ(reread.Count(), 2);
  EXPECT_EQ(reread.ActiveProject, &reread.Items(0));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(reread.Items(i).Name, list.Items(i).Name);
    EXPECT_EQ(reread.Items(i).FileName, list.Items(i).FileName);
    EXPECT_EQ(pathsOf(reread.Items(i)), pathsOf(list.Items(i)));
  }

  // Saving what was read gives the same bytes again.
  const std::string before = TempDir::read(root + "/server/server.tsp");
  reread.SaveToFile(root + "/mymod.tsw");
  EXPECT_EQ(TempDir::read(root + "/server/server.tsp"), before);
}

TEST(ProjectFiles, EmptyWorkspaceIsAnEmptyFile) {
  TempDir dir;
  ProjectList list;
  list.SaveToFile(dir.file("empty.tsw"));
  EXPECT_EQ(TempDir::read(dir.file("empty.tsw")), "");
  addProject(list, "stale", "", {});
  list.ActiveProject = &list.Items(0);
  list.LoadFromFile(dir.file("empty.tsw"));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ActiveProject, nullptr);
}

TEST(ProjectFiles, ReadsFilesWrittenOnWindowsWithAnyLineEnd) {
  TempDir dir;
  // CR LF, a lone CR and a lone LF; backslashes and forward slashes; a drive that is not here.
  dir.write("mod/a/a.tsp", "SOURCE=.\\x.c\rSOURCE=..\\shared/y.h\nSOURCE=C:\\q3\\z.asm\r\n ignored\r\n");
  dir.write("mod/b/b.tsp", "SOURCE=b.c\r\n\0SOURCE=hidden.c\r\n"s);
  dir.write("mod/mod.tsw", "Project: \"a\"=.\\a\\a.tsp" + kSuffix + "project: \"lower\"=a\\a.tsp" + kSuffix +
                               "Project: \"b\"=b\\b.tsp - Package Owner=<4>");
  ProjectList list;
  list.LoadFromFile(dir.file("mod/mod.tsw"));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0).FileName, dir.file("mod/a/a.tsp"));
  EXPECT_EQ(pathsOf(list.Items(0)),
            (std::vector<std::string>{dir.file("mod/a/x.c"), dir.file("mod/shared/y.h"), "C:\\q3\\z.asm"}));
  EXPECT_EQ(pathsOf(list.Items(1)), std::vector<std::string>{dir.file("mod/b/b.c")}); // NUL ends the text
}

// Files come in name order whatever order the file lists them in, as the build compiles them.
TEST(ProjectFiles, ImportsAWorkspaceOfTheOtherFormat) {
  ProjectList list;
  const std::string folder = fixture("vc6");
  list.LoadFromFile(folder + "/mymod.dsw");
  ASSERT_EQ(list.Count(), 2); // the lower-case "project:" line is not a project line
  EXPECT_EQ(list.ActiveProject, &list.Items(0));
  EXPECT_FALSE(list.Modified);
  const Project& client = list.Items(0);
  EXPECT_EQ(client.Name, "client");
  EXPECT_EQ(client.FileName, folder + "/client/client.tsp");
  EXPECT_EQ(pathsOf(client), (std::vector<std::string>{
                                 folder + "/client/cg_local.h",
                                 folder + "/client/client.def",
                                 folder + "/client/hud.c",
                                 folder + "/client/\"../shared/q shared.c\"", // quotes are kept
                                 folder + "/shared/q_math.c",
                                 folder + "/shared/q_shared.h",
                                 "C:\\quake3\\tools\\syscalls.asm",
                             }));
  EXPECT_EQ(list.Items(1).FileName, folder + "/server/server.tsp");
  EXPECT_EQ(pathsOf(list.Items(1)),
            (std::vector<std::string>{folder + "/server/g_cmds.c", folder + "/server/g_local.h",
                                      folder + "/server/g_main.c"}));
}

TEST(ProjectFiles, SavingAnImportWritesProjectFilesNextToTheOriginals) {
  TempDir dir;
  std::filesystem::copy(fixture("vc6"), dir.path(), std::filesystem::copy_options::recursive);
  const std::string dsp = TempDir::read(dir.file("client/client.dsp"));
  ProjectList list;
  list.LoadFromFile(dir.file("mymod.dsw"));
  list.SaveToFile(dir.file("mymod.tsw"));
  EXPECT_EQ(TempDir::read(dir.file("client/client.dsp")), dsp);
  EXPECT_EQ(TempDir::read(dir.file("server/server.tsp")),
            "SOURCE=g_cmds.c\r\nSOURCE=g_local.h\r\nSOURCE=g_main.c\r\n");
  EXPECT_EQ(TempDir::read(dir.file("mymod.tsw")), "Project: \"client\"=client\\client.tsp" + kSuffix +
                                                      "Project: \"server\"=server\\server.tsp" + kSuffix);
}

TEST(ProjectFiles, UnreadableFilesStopLoadingAndKeepWhatWasRead) {
  TempDir dir;
  ProjectList list;
  EXPECT_EQ(errorOf([&] { list.LoadFromFile(dir.file("none.tsw")); }),
            "Cannot open file " + dir.file("none.tsw"));
  EXPECT_EQ(list.Count(), 0);

  dir.write("ok.dsp", "SOURCE=a.c\r\n");
  dir.write("ws.tsw", "Project: \"ok\"=ok.dsp" + kSuffix + "Project: \"gone\"=gone.dsp" + kSuffix +
                          "Project: \"never\"=ok.dsp" + kSuffix);
  EXPECT_EQ(errorOf([&] { list.LoadFromFile(dir.file("ws.tsw")); }),
            "Cannot open file " + dir.file("gone.dsp"));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0).FileName, dir.file("ok.tsp"));
  EXPECT_EQ(list.Items(1).FileName, dir.file("gone.dsp")); // the failed one keeps its name

  // Without the suffix the path is the workspace's own folder, which is no file.
  dir.write("nosuffix.tsw", "Project: \"x\"=x.tsp\r\n");
  EXPECT_EQ(errorOf([&] { list.LoadFromFile(dir.file("nosuffix.tsw")); }),
            "Cannot open file " + dir.path() + "/");
}

TEST(ProjectFiles, FailedSaveKeepsOldFilesAndStaysModified) {
  TempDir dir;
  dir.write("ws.tsw", "old workspace");
  dir.write("a/a.tsp", "old a");
  ProjectList list;
  addProject(list, "a", dir.file("a/a.tsp"), {dir.file("a/new.c")});
  addProject(list, "b", dir.file("missing/b.tsp"), {});
  addProject(list, "c", dir.file("a/c.tsp"), {});
  list.Modified = true;

  EXPECT_EQ(errorOf([&] { list.SaveToFile(dir.file("ws.tsw")); }),
            "Cannot create file " + dir.file("missing/b.tsp"));
  EXPECT_TRUE(list.Modified);
  EXPECT_EQ(TempDir::read(dir.file("a/a.tsp")), "SOURCE=new.c\r\n"); // written before the failure
  EXPECT_FALSE(std::filesystem::exists(dir.file("a/c.tsp")));        // not reached
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));        // folders are not created
  EXPECT_EQ(TempDir::read(dir.file("ws.tsw")), "old workspace");

  list.DeleteProject(1);
  EXPECT_EQ(errorOf([&] { list.SaveToFile("/dev/full"); }), "Cannot create file /dev/full");
  EXPECT_TRUE(list.Modified);

  // A project file kept from Windows is not created as a strangely named file here.
  list.Items(1).FileName = "D:\\mods\\c.tsp";
  EXPECT_EQ(errorOf([&] { list.SaveToFile(dir.file("ws.tsw")); }), "Cannot create file D:\\mods\\c.tsp");
  EXPECT_FALSE(std::filesystem::exists("D:\\mods\\c.tsp"));
}

TEST(ProjectFiles, HostileInputIsRefusedWithTheLineThatCannotBeRead) {
  TempDir dir;
  std::string garbage;
  for (int i = 0; i < 200'000; ++i)
    garbage += static_cast<char>((i * 7919) % 251 + 1);
  dir.write("p.tsp", "SOURCE=a" + std::string(1'000'000, '\\') + "x.c\r\n");
  dir.write("ws.tsw", std::string(5000, '\0') + "Project: \"x\"=p.tsp" + kSuffix);
  dir.write("garbage.tsw", garbage);
  dir.write("long-name.tsw", "\r\nProject: \"" + std::string(10'000'000, 'n') + "\"=p.tsp" + kSuffix);
  dir.write("long-path.tsw", "Project: \"y\"=" + std::string(1'000'000, '/') + kSuffix);
  dir.write("long-source.tsw", "Project: \"p\"=p.tsp" + kSuffix);
  // Written by a version that stored any name: a double quote, and a line break inside the name.
  dir.write("quote.tsw", "Project: \"a\"b\"=p.tsp" + kSuffix);
  dir.write("break.tsw", "Project: \"new\r\nproject\"=p.tsp" + kSuffix);

  ProjectList list;
  list.LoadFromFile(dir.file("ws.tsw"));
  EXPECT_EQ(list.Count(), 0); // everything after the leading NUL is gone, as for an empty file

  const std::vector<std::pair<std::string, std::string>> refusals{
      {"garbage.tsw", dir.file("garbage.tsw") + " holds no projects: it is not a workspace file."},
      {"long-name.tsw", dir.file("long-name.tsw") + ", line 2: the project's name is too long."},
      {"long-path.tsw",
       dir.file("long-path.tsw") + ", line 1: the project's path is too long to name a file."},
      {"long-source.tsw", dir.file("p.tsp") + ", line 1: the source path is too long to name a file."},
      {"quote.tsw", dir.file("quote.tsw") +
                        ", line 1: the project's name does not end in \"=, so the line cannot be read."},
      {"break.tsw", dir.file("break.tsw") +
                        ", line 1: the project's name does not end in \"=, so the line cannot be read."}};
  for (const auto& [file, message] : refusals)
    EXPECT_EQ(errorOf([&] { list.LoadFromFile(dir.file(file)); }), message);
}

// Whatever a project is called and whatever its files are named, the workspace either stores it
// so that it reads back the same, or says why and writes nothing.
TEST(ProjectFiles, EveryNameIsStoredExactlyOrRefusedWithoutWriting) {
  TempDir dir;
  std::srand(7);
  const std::string alphabet = "ab \t\"=\r\n\\-<>4\xe9\xc3\xa9.;:'#";
  const auto randomText = [&alphabet](std::size_t most) {
    std::string text(static_cast<std::size_t>(std::rand()) % most, ' ');
    for (char& c : text)
      c = alphabet[static_cast<std::size_t>(std::rand()) % alphabet.size()];
    return text;
  };
  int stored = 0, refused = 0;
  for (int round = 0; round < 400; ++round) {
    dir.write("ws.tsw", "before");
    ProjectList list;
    const std::string name = round % 50 == 0 ? std::string(245 + round / 50, 'q') : randomText(12);
    const std::string source = dir.file("src/" + randomText(8) + ".c");
    addProject(list, name, dir.file("p" + std::to_string(round) + ".tsp"), {source});
    const bool storable = ProjectNameProblem(name).empty() && StoredPathProblem(source).empty();
    const std::string error = errorOf([&] { list.SaveToFile(dir.file("ws.tsw")); });
    if (!storable) {
      ++refused;
      EXPECT_EQ(error.rfind("The workspace was not saved. ", 0), 0u) << error;
      EXPECT_EQ(TempDir::read(dir.file("ws.tsw")), "before");
      EXPECT_FALSE(std::filesystem::exists(list.Items(0).FileName));
      continue;
    }
    ++stored;
    ASSERT_EQ(error, "") << name;
    ProjectList read;
    read.LoadFromFile(dir.file("ws.tsw"));
    ASSERT_EQ(read.Count(), 1) << name;
    EXPECT_EQ(read.Items(0).Name, name);
    EXPECT_EQ(pathsOf(read.Items(0)), std::vector<std::string>{source});
  }
  EXPECT_GT(stored, 50);
  EXPECT_GT(refused, 50);
}
