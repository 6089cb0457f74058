// The real clangd on the example mod and on a generated tree of the engine's shape, through the
// workspace's compilation database: no errors in unmodified files, definitions across files,
// references, member completion after "->". Skipped where clangd is not installed.
#include "ClangdWorkspace.h"
#include "CompilationDatabase.h"
#include "GeneratedMod.h"
#include "NavigationPrinting.h"
#include "TempDir.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>

namespace {

// Slow machines and a cold clangd: generous, and only ever waited out when something is wrong.
constexpr int kPatience = 180000;

// Where `text` first starts in the lines.
TextPosition Find(const std::vector<std::string>& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (const std::size_t at = lines[i].find(text); at != std::string::npos)
      return {static_cast<int>(i) + 1, static_cast<int>(at) + 1};
  ADD_FAILURE() << text << " not found";
  return {};
}

// Asked again while clangd takes longer than its time limit, as a busy machine may make it.
template <typename Value> Reply<Value> Ask(const std::function<void(ReplyHandler<Value>)>& ask) {
  std::optional<Reply<Value>> answer;
  EXPECT_TRUE(WaitUntil(
      [&] {
        answer.reset();
        ask([&](const Reply<Value>& got) { answer = got; });
        return WaitUntil([&] { return answer.has_value(); }, kPatience) &&
               answer->status != ReplyStatus::TimedOut;
      },
      kPatience));
  return answer.value_or(Reply<Value>{ReplyStatus::TimedOut, {}, "no answer"});
}

class Clangd : public ::testing::Test {
protected:
  void SetUp() override {
    if (FindOnSearchPath(ClangdProgram()).empty())
      GTEST_SKIP() << "clangd is not installed (the Debian package clangd): the end-to-end cases need it";
    // The database and clangd's index go to the test's own cache folder.
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.file("cache")));
  }

  void OpenWorkspace(const std::string& workspaceFile) {
    workspace.LoadFromFile(workspaceFile);
    settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
    clangd = std::make_unique<ClangdWorkspace>(workspaceFile, workspace, settings, ClangdProgram());
    clangd->Navigator().OnDiagnostics = [this](const std::string& path,
                                               const std::vector<ServerDiagnostic>& list) {
      diagnostics[path] = list;
    };
  }

  Navigator& Navigate() { return clangd->Navigator(); }

  void Open(const std::string& path) { Navigate().OpenDocument(path, TempDir::readLines(path)); }

  // Opens every file the database describes and counts what clangd finds in them.
  std::pair<int, int> ErrorsAndWarnings(const std::string& what) {
    std::vector<std::string> files;
    for (const CompileCommand& command : CompileCommands(workspace, settings, ToolPaths::Native()))
      files.push_back(command.file);
    for (const std::string& file : files)
      Open(file);
    EXPECT_TRUE(WaitUntil([&] { return diagnostics.size() >= files.size(); }, kPatience))
        << diagnostics.size() << " of " << files.size() << " files diagnosed: " << Navigate().Problem();
    int errors = 0, warnings = 0;
    for (const auto& [path, list] : diagnostics)
      for (const ServerDiagnostic& diagnostic : list) {
        (diagnostic.severity == Severity::Error ? errors : warnings) += 1;
        if (diagnostic.severity == Severity::Error) ADD_FAILURE() << path << " " << diagnostic;
      }
    std::cout << "clangd on " << what << ": " << files.size() << " files, " << errors << " errors, "
              << warnings << " warnings" << std::endl;
    return {errors, warnings};
  }

  std::string Example(const std::string& name) const { return dir.file("mymod/" + name); }

  void CopyExamples() {
    std::filesystem::copy(std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod", dir.file("mymod"),
                          std::filesystem::copy_options::recursive);
  }

  TempDir dir;
  ProjectList workspace;
  Settings settings;
  std::unique_ptr<ClangdWorkspace> clangd;
  std::map<std::string, std::vector<ServerDiagnostic>> diagnostics;
};

} // namespace

TEST_F(Clangd, TheExampleModHasNoErrors) {
  CopyExamples();
  OpenWorkspace(Example("mymod.tsw"));
  EXPECT_EQ(ErrorsAndWarnings("examples/mymod").first, 0);
}

TEST_F(Clangd, AGeneratedTreeOfTheEnginesShapeHasNoErrors) {
  OpenWorkspace(generated_mod::Write(dir, 4));
  EXPECT_EQ(ErrorsAndWarnings("a generated tree").first, 0);
}

TEST_F(Clangd, DefinitionAcrossFilesAndHover) {
  CopyExamples();
  OpenWorkspace(Example("mymod.tsw"));
  const std::string commands = Example("game/g_cmds.c");
  Open(commands);
  const TextPosition call = Find(TempDir::readLines(commands), "G_Printf( text )");
  const TextPosition definition =
      Find(TempDir::readLines(Example("game/g_main.c")), "G_Printf( const char *text ) {");
  const Locations expected{
      {Example("game/g_main.c"), {definition, {definition.line, definition.column + 8}}}};
  // Until the index has read g_main.c, the declaration in g_local.h is all clangd knows.
  Reply<Locations> defined;
  EXPECT_TRUE(WaitUntil(
      [&] {
        defined = Ask<Locations>([&](auto done) { Navigate().Definition(commands, call, done); });
        return defined.value == expected;
      },
      kPatience))
      << defined.problem << (defined.value.empty() ? std::string() : defined.value[0].path);

  const auto hover = Ask<HoverText>([&](auto done) { Navigate().Hover(commands, call, done); });
  EXPECT_NE(hover.value.text.find("void G_Printf(const char *text)"), std::string::npos) << hover.value.text;
}

TEST_F(Clangd, ReferencesAcrossProjects) {
  CopyExamples();
  OpenWorkspace(Example("mymod.tsw"));
  for (const char* file : {"game/bg_strings.c", "game/g_cmds.c", "game/g_main.c", "cgame/cg_main.c"})
    Open(Example(file));
  const std::string header = Example("game/bg_mymod.h");
  Open(header);
  const TextPosition declaration = Find(TempDir::readLines(header), "BG_CopyString");
  std::set<std::string> files;
  // The index fills while clangd reads the files; ask until every file is in.
  ASSERT_TRUE(WaitUntil(
      [&] {
        files.clear();
        for (const SourceLocation& place :
             Ask<Locations>([&](auto done) { Navigate().References(header, declaration, done); }).value)
          files.insert(place.path);
        return files.size() == 5;
      },
      kPatience))
      << [&] {
           std::string found;
           for (const std::string& file : files)
             found += file + " ";
           return found;
         }();
  EXPECT_EQ(files, (std::set<std::string>{header, Example("game/bg_strings.c"), Example("game/g_cmds.c"),
                                          Example("game/g_main.c"), Example("cgame/cg_main.c")}));
}

// Typed into the open document, with a tab and a two-byte character before the place asked.
TEST_F(Clangd, MemberCompletionAfterAnArrow) {
  CopyExamples();
  OpenWorkspace(Example("mymod.tsw"));
  const std::string main = Example("game/g_main.c");
  Open(main);
  const int end = static_cast<int>(TempDir::readLines(main).size());
  const std::string typed =
      "static int G_Frames( levelLocals_t *level ) {\n\t/* \xC3\xA9t\xC3\xA9 */ return level->";
  Navigate().EditDocument(main, {{{end, 1}, {end, 1}}, typed});
  const TextPosition at{end + 1,
                        static_cast<int>(std::string("\t/* \xC3\xA9t\xC3\xA9 */ return level->").size()) + 1};
  const auto completed = Ask<Completions>([&](auto done) { Navigate().Complete(main, at, done); });
  ASSERT_EQ(completed.status, ReplyStatus::Answered) << completed.problem;
  std::set<std::string> fields;
  for (const CompletionItem& item : completed.value.items) {
    fields.insert(item.insertText);
    EXPECT_EQ(item.replaced, (TextRange{at, at})) << item;
  }
  EXPECT_EQ(fields, (std::set<std::string>{"frameCount", "levelTime", "startTime"}));

  Navigate().EditDocument(main, {{at, at}, "le"});
  const TextPosition further{at.line, at.column + 2};
  const auto narrowed = Ask<Completions>([&](auto done) { Navigate().Complete(main, further, done); });
  ASSERT_FALSE(narrowed.value.items.empty());
  EXPECT_EQ(narrowed.value.items[0].insertText, "levelTime");
  EXPECT_EQ(narrowed.value.items[0].replaced, (TextRange{at, further})) << "the typed part is replaced";
}

namespace {

// The engine's code where the game's tool chain setup unpacks it; empty when it is not there.
std::string EngineCode() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  const std::string folder =
      (cache && *cache ? std::string(cache) : std::string(home ? home : "") + "/.cache") +
      "/ioq3-real/ioq3/code";
  return std::filesystem::exists(folder + "/game/g_main.c") ? folder : std::string();
}

// The diagnostics `clangd --check` reports as errors in the file, one line each.
std::vector<std::string> CheckErrors(const std::string& file, const std::string& databaseFolder) {
  QProcess check;
  check.setProcessChannelMode(QProcess::MergedChannels);
  check.start(QString::fromStdString(FindOnSearchPath(ClangdProgram())),
              {QString::fromStdString("--check=" + file),
               QString::fromStdString("--compile-commands-dir=" + databaseFolder)});
  EXPECT_TRUE(check.waitForFinished(kPatience)) << file;
  std::vector<std::string> errors;
  static const QRegularExpression diagnostic(R"(^E\[[0-9:.]+\] \[\w+\] Line \d+:.*$)",
                                             QRegularExpression::MultilineOption);
  for (auto match = diagnostic.globalMatch(check.readAll()); match.hasNext();)
    errors.push_back(match.next().captured().toStdString());
  return errors;
}

} // namespace

// The engine's game module as the program describes it to clangd: q_platform.h takes the virtual
// machine's branch, so no host header is looked for and nothing is missing. The files that need
// code the engine's copy here lacks (the bot library's headers for ai_*.c), or that its build
// leaves out of the module (g_syscalls.c, g_rankings.c), are not checked.
TEST(ClangdOnTheEngine, TheGameCodeHasNoErrors) {
  const std::string code = EngineCode();
  if (code.empty()) GTEST_SKIP() << "the engine's code is not in ~/.cache/ioq3-real (shared/ioq3/setup.sh)";
  if (FindOnSearchPath(ClangdProgram()).empty())
    GTEST_SKIP() << "clangd is not installed (the Debian package clangd)";
  TempDir dir;
  ProjectList workspace;
  Project& game = workspace.AddProject();
  game.Name = "qagame";
  game.FileName = code + "/game/game.tsp";
  std::vector<std::string> checked;
  for (const auto& entry : std::filesystem::directory_iterator(code + "/game")) {
    const std::string file = entry.path().string(), name = entry.path().filename().string();
    if (!name.ends_with(".c")) continue;
    game.Files.push_back({file});
    if (!name.starts_with("ai_") && name != "g_syscalls.c" && name != "g_rankings.c") checked.push_back(file);
  }
  for (const char* shared : {"/qcommon/q_shared.c", "/qcommon/q_math.c"}) {
    game.Files.push_back({code + shared});
    checked.push_back(code + shared);
  }
  Settings settings;
  settings.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
  ASSERT_EQ(WriteCompilationDatabase(dir.file("compile_commands.json"), workspace, settings), "");
  // A sample: every bg_ file and the shared ones, every third of the others.
  std::sort(checked.begin(), checked.end());
  int errors = 0, files = 0;
  for (std::size_t i = 0; i < checked.size(); ++i) {
    const std::string name = std::filesystem::path(checked[i]).filename().string();
    if (!name.starts_with("bg_") && !name.starts_with("q_") && i % 3 != 0) continue;
    ++files;
    for (const std::string& error : CheckErrors(checked[i], dir.path())) {
      ADD_FAILURE() << checked[i] << ": " << error;
      ++errors;
    }
  }
  std::cout << "clangd --check on the engine's game code: " << files << " files, " << errors << " errors"
            << std::endl;
}

// A rename across files, also those no window holds, once the index has read them; the name is
// checked first.
TEST_F(Clangd, RenameAcrossFiles) {
  CopyExamples();
  OpenWorkspace(Example("mymod.tsw"));
  const std::string commands = Example("game/g_cmds.c");
  Open(commands);
  const TextPosition call = Find(TempDir::readLines(commands), "G_Printf( text )");
  const auto target =
      Ask<std::optional<RenameTarget>>([&](auto done) { Navigate().PrepareRename(commands, call, done); });
  ASSERT_TRUE(target.value.has_value()) << target.problem;
  EXPECT_EQ(target.value->range, (TextRange{call, {call.line, call.column + 8}}));
  std::set<std::string> files;
  ASSERT_TRUE(WaitUntil(
      [&] {
        files.clear();
        for (const FileEdits& file : Ask<std::vector<FileEdits>>([&](auto done) {
                                       Navigate().Rename(commands, call, "G_Say", done);
                                     }).value)
          files.insert(file.path);
        return files.size() == 3;
      },
      kPatience));
  EXPECT_EQ(files, (std::set<std::string>{commands, Example("game/g_main.c"), Example("game/g_local.h")}));
  const auto keyword = Ask<std::optional<RenameTarget>>([&](auto done) {
    Navigate().PrepareRename(commands, {1, 2}, done);
  });
  EXPECT_FALSE(keyword.value.has_value() && keyword.status == ReplyStatus::Answered) << "a comment";
}
