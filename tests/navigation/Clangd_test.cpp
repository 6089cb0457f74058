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

#include <filesystem>
#include <iostream>
#include <set>

namespace {

// Slow machines and a cold clangd: generous, and only ever waited out when something is wrong.
constexpr int kPatience = 180000;

std::vector<std::string> LinesOf(const std::string& path) {
  std::vector<std::string> lines(1);
  for (char c : TempDir::read(path))
    if (c == '\n')
      lines.emplace_back();
    else if (c != '\r')
      lines.back() += c;
  return lines;
}

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

  void Open(const std::string& path) { Navigate().OpenDocument(path, LinesOf(path)); }

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
  const TextPosition call = Find(LinesOf(commands), "G_Printf( text )");
  const TextPosition definition = Find(LinesOf(Example("game/g_main.c")), "G_Printf( const char *text ) {");
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
  const TextPosition declaration = Find(LinesOf(header), "BG_CopyString");
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
  const int end = static_cast<int>(LinesOf(main).size());
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
