// Builds that keep their compiled files: Build compiles exactly the sources whose inputs changed
// (the source, a header it reads through any include path, the command line, the compiler), the
// module comes out as a full rebuild's, and nothing stale or lost in the cache can pass for a
// good compile. Without a cache folder every build compiles everything, as it always did.
#include "BuildTestFixture.h"
#include "JumpToSource.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

class IncrementalBuild : public BuildTestFixture {
protected:
  IncrementalBuild() {
    settings.lcclarguments = "-DQ3_VM -S -Wf-g --standin-log=" + dir.file("compiled.log");
    settings.outputlocation = dir.file("vm/");
  }

  // A project of `files` (name, text) in the folder `name`, its sources sorted before vmMain's.
  Project& AddProject(const std::string& name,
                      const std::vector<std::pair<std::string, std::string>>& files) {
    Project& project = workspace.AddProject();
    project.Name = name;
    project.FileName = dir.write(name + "/" + name + ".tsp", "");
    for (const auto& [file, text] : files)
      project.Files.push_back({dir.write(name + "/" + file, text)});
    project.SortFiles();
    if (!workspace.ActiveProject) workspace.ActiveProject = &project;
    return project;
  }

  BuildController& Controller() {
    if (!controller) {
      BuildContext context = Context();
      context.buildCacheFolder = cacheFolder;
      context.resultLine = resultLine;
      controller = std::make_unique<BuildController>(context);
    }
    return *controller;
  }

  // Builds the active project and gives the names of the sources it compiled.
  Names Build(Sources sources = Sources::Changed) {
    fs::remove(dir.file("compiled.log"));
    progress.Hide();
    Controller().Build(*workspace.ActiveProject, sources);
    EXPECT_TRUE(WaitUntil([&] { return !Controller().Building(); }));
    Names compiled;
    std::istringstream log(TempDir::read(dir.file("compiled.log")));
    for (std::string line; std::getline(log, line);)
      compiled.insert(fs::path(line).filename().string());
    return compiled;
  }

  std::string Module() const { return TempDir::read(dir.file("vm/game.qvm")); }

  // Another write of `file` with the same bytes: only its times change.
  void Touch(const std::string& file) {
    const std::string path = dir.file(file);
    dir.write(file, TempDir::read(path));
  }

  std::string cacheFolder = dir.file("cache");
  bool resultLine = false;
};

const std::vector<std::pair<std::string, std::string>> kGame = {
    {"a_first.c", "#include \"a.h\"\nvoid A( void ) {\n\tShared();\n}\n"},
    {"a.h", "void A( void );\n"},
    {"b_second.c", "#include \"b.h\"\nvoid B( void ) {\n\tShared();\n}\n"},
    {"b.h", "#include \"../shared/common.h\"\n"},
    {"c_third.c", "#include <common.h>\nvoid C( void ) {\n}\n"},
    {"d_alone.c", "void D( void ) {\n}\n"},
    {"g_main.c", "int vmMain( void ) {\n\tA();\n\tB();\n\treturn 0;\n}\nvoid Shared( void ) {\n}\n"},
};

} // namespace

TEST_F(IncrementalBuild, CompilesOnlyWhatChangedAndKeepsTheOutputFolderClean) {
  // A second project's folder is an include folder of every compile.
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  const Names all = {"a_first.c", "b_second.c", "c_third.c", "d_alone.c", "g_main.c"};
  EXPECT_EQ(Build(), all);
  const std::string module = Module();
  EXPECT_EQ(Build(), Names{}) << "nothing changed";
  EXPECT_EQ(Module(), module);
  std::set<std::string> outputs;
  for (const auto& entry : fs::directory_iterator(dir.file("vm")))
    outputs.insert(entry.path().filename().string());
  EXPECT_EQ(outputs, (std::set<std::string>{"game.qvm", "game.map"})) << "nothing assembled either";
  EXPECT_EQ(progress.Label(), "Completed  - game.qvm is up to date");

  // The game's preprocessor takes an absolute -I folder inside the source's folder, where it
  // finds nothing: <common.h> is not the shared one.
  Touch("shared/common.h");
  EXPECT_EQ(Build(), Names{"b_second.c"}) << "through a relative include";
  Touch("game/a.h");
  EXPECT_EQ(Build(), Names{"a_first.c"});
  Touch("game/g_main.c");
  EXPECT_EQ(Build(), Names{"g_main.c"});
  // A header appearing where the compiler looks first would be read instead.
  dir.write("game/common.h", "void Shared( void );\n");
  EXPECT_EQ(Build(), Names{"c_third.c"}) << "<common.h> is found in the folder its own #include line names";
  dir.write("game/shared.h", "");
  dir.write("game/d_alone.c", "#include \"shared.h\"\nvoid D( void ) {\n}\n");
  EXPECT_EQ(Build(), Names{"d_alone.c"});
  fs::remove(dir.file("game/shared.h"));
  EXPECT_EQ(Build(), Names{"d_alone.c"}) << "a header gone";
  EXPECT_EQ(Build(Sources::All), all) << "Rebuild All";
  EXPECT_EQ(Module(), module);
}

TEST_F(IncrementalBuild, AChangedCommandLineOrCompilerRecompilesEverything) {
  const std::string compiler = dir.file("tools/q3lcc");
  fs::create_directories(dir.file("tools"));
  fs::copy_file(StandinTool("q3lcc"), compiler);
  settings.lcclocation = compiler;
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  const Names all = {"a_first.c", "b_second.c", "c_third.c", "d_alone.c", "g_main.c"};
  EXPECT_EQ(Build(), all);
  settings.lcclarguments += " -DMORE";
  EXPECT_EQ(Build(), all) << "the options";
  EXPECT_EQ(Build(), Names{});
  Touch("tools/q3lcc");
  fs::permissions(compiler, fs::perms::owner_all);
  EXPECT_EQ(Build(), all) << "the compiler";
  dir.write("tools/q3rcc", "");
  EXPECT_EQ(Build(), all) << "a pass of the compiler";
  workspace.Items(1).FileName = dir.write("elsewhere/shared.tsp", "");
  EXPECT_EQ(Build(), all) << "an include folder";
}

// The game's preprocessor looks for a quoted header in the main source's folder, then in every
// folder an earlier #include line of the compile named, never beside the header that includes
// it: a change to the header it really reads recompiles the source, one to a same-named header
// it does not read does not.
TEST_F(IncrementalBuild, HeadersAreTheOnesTheGamesPreprocessorReads) {
  AddProject("game", {{"g_main.c", "#include \"../qcommon/x.h\"\n#include \"found_there.h\"\n"
                                   "int vmMain( void ) {\n\treturn 0;\n}\n"}});
  dir.write("qcommon/x.h", "#include \"beside_source.h\"\n#include \"both.h\"\n");
  dir.write("qcommon/found_there.h", "");
  dir.write("game/beside_source.h", "");
  dir.write("game/both.h", "");
  dir.write("qcommon/both.h", "");
  EXPECT_EQ(Build(), Names{"g_main.c"});
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game")) << BuildMessagesText();
  Touch("qcommon/found_there.h");
  EXPECT_EQ(Build(), Names{"g_main.c"}) << "a header found through a folder an earlier #include named";
  Touch("game/beside_source.h");
  EXPECT_EQ(Build(), Names{"g_main.c"}) << "a header in the source's folder, included from ../qcommon/x.h";
  Touch("game/both.h");
  EXPECT_EQ(Build(), Names{"g_main.c"}) << "of two same-named headers, the one in the source's folder";
  Touch("qcommon/both.h");
  EXPECT_EQ(Build(), Names{}) << "the same-named header beside x.h is not read";
}

// The module is assembled again only when what it is made from changed: a compiled file, the
// project's assembly files, the assembler or its arguments, or the module in place itself.
TEST_F(IncrementalBuild, TheModuleIsAssembledOnlyWhenWhatItIsMadeFromChanged) {
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  auto assembled = [&] {
    Build();
    return paths::FileExists(dir.file("vm/game.~qvm")) && fs::remove(dir.file("vm/game.~qvm"));
  };
  EXPECT_FALSE(assembled()) << "the first build has no module to back up";
  EXPECT_FALSE(assembled());
  EXPECT_NE(BuildMessagesText().find("game.qvm is up to date\n"), std::string::npos) << BuildMessagesText();
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.count("game"));
  EXPECT_FALSE(Controller().Outcome().Failed());
  Touch("game/d_alone.c");
  EXPECT_TRUE(assembled()) << "a source compiled again";
  settings.q3asmlarguments += " -v";
  EXPECT_TRUE(assembled()) << "the assembler's arguments";
  EXPECT_FALSE(assembled());
  dir.write("vm/game.qvm", ModuleWithCode("edited elsewhere"));
  EXPECT_TRUE(assembled()) << "another module in its place";
  EXPECT_EQ(ModuleCode(dir.file("vm/game.qvm")).substr(0, 24), "standin qvm\nproc vmMain\n");
  Build(Sources::All);
  EXPECT_TRUE(paths::FileExists(dir.file("vm/game.~qvm"))) << "Rebuild All assembles";
}

// The compiler exits 0 also when it wrote nothing or only part of its file (a full disk, a pass
// that went missing): the compile failed, the old compiled file is neither assembled nor kept,
// the working module stays, and the next Build compiles the source again.
TEST_F(IncrementalBuild, ACompilerThatExitsZeroWithoutWritingItsFileFails) {
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  // The compiler misbehaves as told by a file, so its command line stays the same throughout.
  settings.lcclarguments += " --standin-misbehave=" + dir.file("misbehave");
  Build();
  const std::string module = Module();
  for (const auto& [misbehaviour, reason] :
       {std::pair<std::string, std::string>{"--standin-nowrite", "the compiler exited without writing it"},
        {"--standin-cut=30", "it ends in the middle of a line (is the disk full?)"}}) {
    dir.write("game/d_alone.c", "void D( void ) {\n}\nvoid D2( void ) {\n}\n");
    dir.write("misbehave", misbehaviour + "\n");
    EXPECT_EQ(Build(), Names{"d_alone.c"}) << misbehaviour;
    EXPECT_EQ(progress.Label(), "Completed  - 1 file failed to compile, module not built") << misbehaviour;
    EXPECT_NE(
        BuildMessagesText().find("Compiling " + dir.file("game/d_alone.c") + " failed: " + cacheFolder + "/"),
        std::string::npos)
        << BuildMessagesText();
    EXPECT_NE(BuildMessagesText().find("/d_alone.asm: " + reason + "\n"), std::string::npos)
        << BuildMessagesText();
    EXPECT_TRUE(Controller().Outcome().Failed());
    EXPECT_EQ(Module(), module) << misbehaviour;
    fs::remove(dir.file("misbehave"));
    EXPECT_EQ(Build(), Names{"d_alone.c"}) << "compiled again after " << misbehaviour;
    EXPECT_NE(ModuleCode(dir.file("vm/game.qvm")).find("proc D2\n"), std::string::npos) << misbehaviour;
    dir.write("game/d_alone.c", kGame[5].second);
    Build();
  }
}

// The assembler, too, exits 0 over a module it could not write whole: such a module is never
// installed, the working one stays, and the build says why.
TEST_F(IncrementalBuild, AModuleCutShortIsNeverInstalled) {
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  Build();
  const std::string module = Module();
  Touch("game/d_alone.c");
  settings.q3asmlarguments += " --standin-cut=50";
  Build();
  EXPECT_EQ(Module(), module);
  EXPECT_FALSE(paths::FileExists(dir.file("vm/game.~qvm")));
  ASSERT_EQ(Controller().Outcome().projectProblems.size(), 1u);
  EXPECT_EQ(
      Controller().Outcome().projectProblems[0].second.rfind("the new module was not installed: it holds 50 "
                                                             "bytes where its header names ",
                                                             0),
      0u)
      << Controller().Outcome().projectProblems[0].second;
  EXPECT_TRUE(Controller().Outcome().modulesInstalled.empty());
}

// Two builds at once into one output folder, here two programs' worth in one: the second waits
// for the first, says so, and each project gets its own module.
TEST_F(IncrementalBuild, TwoBuildsAtOnceNeverShareTheirFolders) {
  Project& game = AddProject("game", kGame);
  Project& other =
      AddProject("other", {{"o_main.c", "int vmMain( void ) {\n\treturn 0;\n}\nvoid Other( void ) {\n}\n"}});
  dir.write("shared/common.h", "void Shared( void );\n");
  settings.q3asmlarguments += " --standin-work=300";
  MessageLines secondDebug;
  ProgressState secondProgress;
  BuildContext context = Context();
  context.buildCacheFolder = cacheFolder;
  BuildContext secondContext{
      settings, workspace, secondDebug, secondProgress, editors, questions, std::make_shared<QtHandOver>()};
  secondContext.buildCacheFolder = cacheFolder;
  BuildController first(context), second(secondContext);
  first.Build(game);
  second.Build(other);
  ASSERT_TRUE(WaitUntil([&] { return !first.Building() && !second.Building(); }, 30000));
  std::string secondText;
  for (const std::string& line : secondDebug.Lines())
    secondText += line + "\n";
  EXPECT_NE(
      secondText.find("Waiting for another build that uses " + settings.outputlocation + " to finish..."),
      std::string::npos)
      << secondText;
  EXPECT_FALSE(first.Outcome().Failed()) << BuildMessagesText();
  EXPECT_FALSE(second.Outcome().Failed()) << secondText;
  EXPECT_NE(ModuleCode(dir.file("vm/game.qvm")).find("proc D\n"), std::string::npos);
  EXPECT_NE(ModuleCode(dir.file("vm/other.qvm")).find("proc Other\n"), std::string::npos);

  // Cancel ends a build that waits.
  first.Build(game, Sources::All);
  second.Build(game, Sources::All);
  ASSERT_TRUE(WaitUntil([&] { return secondProgress.Label() == "Waiting for another build to finish..."; }));
  secondProgress.Cancel();
  EXPECT_FALSE(second.Building());
  EXPECT_EQ(secondProgress.Label(), "Cancelled");
  ASSERT_TRUE(WaitUntil([&] { return !first.Building(); }, 30000));
  EXPECT_FALSE(first.Outcome().Failed());
}

// A compile that failed or was ended leaves nothing a later Build could take for its result.
TEST_F(IncrementalBuild, AFailedOrCancelledCompileLeavesNothingStale) {
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  Build();
  const std::string module = Module();
  const std::string good = TempDir::read(dir.file("game/d_alone.c"));
  dir.write("game/d_alone.c", good + "STANDIN_ERROR\n");
  for (int again = 0; again < 2; ++again) {
    EXPECT_EQ(Build(), Names{"d_alone.c"}) << again;
    EXPECT_EQ(progress.Label(), "Completed  - 1 file failed to compile, module not built");
    EXPECT_EQ(Module(), module);
  }
  dir.write("game/d_alone.c", good);
  EXPECT_EQ(Build(), Names{"d_alone.c"});
  EXPECT_EQ(Module(), module);

  dir.write("game/d_alone.c", good + "void Later( void ) {\n\tSTANDIN_HANG\n}\n");
  Controller().Build(*workspace.ActiveProject);
  ASSERT_TRUE(WaitUntil([&] { return progress.Label() == dir.file("game/d_alone.c"); }));
  ASSERT_TRUE(WaitUntil([&] { return !ProcessesNaming(dir.file("game/d_alone.c")).empty(); }));
  progress.Cancel();
  ASSERT_TRUE(WaitUntil([&] { return !Controller().Building(); }));
  dir.write("game/d_alone.c", good);
  EXPECT_EQ(Build(), Names{"d_alone.c"});
  EXPECT_EQ(Module(), module);
}

// Whatever goes from the cache, the next Build makes it good again.
TEST_F(IncrementalBuild, LosingTheCacheOrPartsOfItIsHarmless) {
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  const Names all = {"a_first.c", "b_second.c", "c_third.c", "d_alone.c", "g_main.c"};
  Build();
  const std::string module = Module();
  fs::remove_all(cacheFolder);
  EXPECT_EQ(Build(), all);
  EXPECT_EQ(Module(), module);

  std::vector<fs::path> compiled, records;
  for (const auto& entry : fs::recursive_directory_iterator(cacheFolder))
    (entry.path().extension() == ".asm" ? compiled : records).push_back(entry.path());
  ASSERT_EQ(compiled.size(), 5u);
  for (const fs::path& file : compiled)
    if (file.filename() == "g_main.asm") fs::remove(file);
  for (const fs::path& file : records)
    if (file.filename() == "a_first.inputs")
      std::ofstream(file, std::ios::app) << "garbage\n";
    else if (file.filename() == "d_alone.inputs")
      std::ofstream(file, std::ios::trunc) << "";
  for (const fs::path& file : compiled)
    if (file.filename() == "c_third.asm") std::ofstream(file, std::ios::app) << "; edited by hand\n";
  EXPECT_EQ(Build(), (Names{"a_first.c", "c_third.c", "d_alone.c", "g_main.c"}));
  EXPECT_EQ(Module(), module);
}

// Random edits of a random web of headers: each Build compiles exactly the sources that read an
// edited file, and its module is byte for byte the one a full rebuild makes.
TEST_F(IncrementalBuild, RandomEditsCompileExactlyTheReadersAndMakeTheRebuildsModule) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  constexpr int kHeaders = 8, kSources = 6;
  // Header i includes only later ones, so the web has no circles.
  std::vector<std::set<int>> includes(kHeaders + kSources);
  std::vector<std::pair<std::string, std::string>> files;
  auto nameOf = [](int file) {
    return file < kHeaders ? "h" + std::to_string(file) + ".h" : "s" + std::to_string(file - kHeaders) + ".c";
  };
  for (int file = 0; file < kHeaders + kSources; ++file) {
    std::string text;
    for (int header = file < kHeaders ? file + 1 : 0; header < kHeaders; ++header)
      if (random() % 4 == 0) {
        includes[static_cast<std::size_t>(file)].insert(header);
        text += "#include \"" + nameOf(header) + "\"\n";
      }
    if (file >= kHeaders) text += "void F" + std::to_string(file) + "( void ) {\n}\n";
    files.emplace_back(nameOf(file), text);
  }
  files.emplace_back("z_main.c", "int vmMain( void ) {\n\treturn 0;\n}\n");
  AddProject("game", files);
  auto reads = [&](int source, int file) {
    std::vector<int> toRead{source};
    std::set<int> seen{source};
    while (!toRead.empty()) {
      const int at = toRead.back();
      toRead.pop_back();
      if (at == file) return true;
      for (int header : includes[static_cast<std::size_t>(at)])
        if (seen.insert(header).second) toRead.push_back(header);
    }
    return false;
  };
  Build();
  for (int round = 0; round < 8; ++round) {
    std::set<int> edited;
    for (int file = 0; file < kHeaders + kSources; ++file)
      if (random() % 5 == 0) edited.insert(file);
    Names expected;
    for (int file : edited)
      Touch("game/" + nameOf(file));
    for (int source = kHeaders; source < kHeaders + kSources; ++source)
      for (int file : edited)
        if (reads(source, file)) expected.insert(nameOf(source));
    EXPECT_EQ(Build(), expected) << "round " << round;
    const std::string module = Module();
    EXPECT_EQ(ModuleCode(dir.file("vm/game.qvm")).substr(0, 24), "standin qvm\nproc vmMain\n");
    EXPECT_EQ(Build(Sources::All).size(), static_cast<std::size_t>(kSources + 1));
    EXPECT_EQ(Module(), module) << "round " << round;
  }
}

// What the compiler said of a source that needed no compile is listed in its place again: the
// messages of a Build are those of a Rebuild All, one compile at a time or several, and the
// result line counts the errors and warnings among them.
TEST_F(IncrementalBuild, AnUnchangedSourceSaysWhatItSaidWhenItWasCompiled) {
  std::vector<std::pair<std::string, std::string>> files = kGame;
  files[0].second += "void Warned( void ) {\n\tSTANDIN_WARNING\n}\n";                  // a_first.c
  files[5].second += "void Also( void ) {\n\tSTANDIN_WARNING\n\tSTANDIN_WARNING\n}\n"; // d_alone.c
  AddProject("game", files);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  resultLine = true;
  for (int parallel : {1, 3}) {
    settings.ParallelCompiles = parallel;
    Build(Sources::All);
    const std::string rebuilt = WithoutRunNames(BuildMessagesText());
    EXPECT_NE(rebuilt.find("d_alone.c:5: warning"), std::string::npos) << rebuilt;
    EXPECT_NE(rebuilt.find("\nBuild: 0 errors, 3 warnings\n"), std::string::npos) << rebuilt;
    Touch("game/c_third.c");
    EXPECT_EQ(Build(), Names{"c_third.c"});
    EXPECT_EQ(WithoutRunNames(BuildMessagesText()), rebuilt) << parallel << " at once";
    EXPECT_EQ(Controller().Outcome().warnings, 3);
    EXPECT_EQ(Controller().Diagnostics().Of(dir.file("game/d_alone.c")).size(), 2u);
  }

  // A failed compile counts its error; Next Message goes through every error and warning in order.
  dir.write("game/b_second.c", "#include \"b.h\"\nvoid B( void ) {\n\tSTANDIN_ERROR\n}\n");
  EXPECT_EQ(Build(), Names{"b_second.c"});
  EXPECT_EQ(debug.Last(), "");
  EXPECT_EQ(debug.Lines()[debug.Lines().size() - 2], "Build: 1 error, 3 warnings");
  EXPECT_EQ(Controller().Outcome().errors, 1);
  std::vector<int> visited;
  const int rows = static_cast<int>(debug.Lines().size());
  auto diagnostic = [](const std::string& line) {
    return KindOfMessage(line, PathStyle::Native(), paths::FileExists).has_value();
  };
  auto lineAt = [&](int at) { return debug.Lines()[static_cast<std::size_t>(at)]; };
  for (std::optional<int> row = -1; (row = NextMessageRow(rows, *row, 1, lineAt));)
    visited.push_back(*row);
  std::vector<int> expected;
  for (int row = 0; row < rows; ++row)
    if (diagnostic(lineAt(row))) expected.push_back(row);
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(expected.size(), 4u);

  // The assembler's errors count too, also those whose C line is not known.
  dir.write("game/b_second.c", "#include \"b.h\"\nvoid B( void ) {\n}\n");
  settings.q3asmlarguments += " --standin-fail";
  Build();
  EXPECT_EQ(Controller().Outcome().errors, 1);
  EXPECT_EQ(debug.Lines()[debug.Lines().size() - 2], "Build: 1 error, 3 warnings");
}

// Without a cache folder, the classic way: every Build compiles every source into the output
// folder, which holds no compiled file afterwards.
TEST_F(IncrementalBuild, WithoutACacheFolderEveryBuildCompilesEverything) {
  cacheFolder.clear();
  AddProject("game", kGame);
  AddProject("shared", {{"common.h", "void Shared( void );\n"}});
  const Names all = {"a_first.c", "b_second.c", "c_third.c", "d_alone.c", "g_main.c"};
  EXPECT_EQ(Build(), all);
  EXPECT_EQ(Build(), all);
  for (const auto& entry : fs::directory_iterator(dir.file("vm")))
    EXPECT_NE(entry.path().extension(), ".asm") << entry.path();
}
