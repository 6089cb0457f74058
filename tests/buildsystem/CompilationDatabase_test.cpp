// The compile commands of a workspace: the compiler's options in the front end's terms, one
// command per source, headers with the flags and the context of a source that includes them, and
// the JSON text.
#include "CompilationDatabase.h"
#include "TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using Flags = std::vector<std::string>;

const Flags kBase{"--target=i386-unknown-none",
                  "-std=gnu89",
                  "-ffreestanding",
                  "-nostdinc",
                  "-U__GNUC__",
                  "-U__GNUC_MINOR__",
                  "-U__GNUC_PATCHLEVEL__",
                  "-U__i386__",
                  "-U__i386",
                  "-Ui386",
                  "-D__STRICT_ANSI__",
                  "-D__signed__=signed",
                  "-D__LCC__",
                  "-DQ3_VM"};

Flags With(Flags extra) {
  Flags flags = kBase;
  flags.insert(flags.end(), extra.begin(), extra.end());
  return flags;
}

// A workspace of projects given as name and files, each project file in its first file's folder.
struct Workspace {
  ProjectList list;
  void Add(const std::string& name, const std::vector<std::string>& files) {
    Project& project = list.AddProject();
    project.Name = name;
    project.FileName = paths::ExtractFilePath(files.front()) + name + ".tsp";
    for (const std::string& file : files)
      project.Files.push_back({file});
  }
};

const CompileCommand* CommandFor(const std::vector<CompileCommand>& commands, const std::string& file) {
  for (const CompileCommand& command : commands)
    if (command.file == file) return &command;
  return nullptr;
}

} // namespace

TEST(CompilationDatabase, TheCompilersOptionsInTheFrontEndsTerms) {
  EXPECT_EQ(FrontEndFlags("-DQ3_VM -S -Wf-target=bytecode -Wf-g", "mymod", "/m/game/"), With({}));
  // The engine's modules get their own define first, so an option can still take it back.
  EXPECT_EQ(FrontEndFlags("-DQ3_VM -UCGAME", "cgame", "/m/cgame/"), With({"-DCGAME", "-UCGAME"}));
  EXPECT_EQ(FrontEndFlags("-DQAGAME -DQ3_VM", "QAGame", "/m/g/"), With({"-DQAGAME"}))
      << "a define the options already give is not repeated";
  // Relative folders are the source folder's, as the compiler's preprocessor takes them; a folder
  // with blanks arrives quoted and stays one flag; a bare -I (a folder that has no short form)
  // and the compiler's own options are left out.
  EXPECT_EQ(
      FrontEndFlags("-A -I../common -I\"/my mods/include\" -I -D \"-DNAME=a b\" -Wp-x -g", "ui", "/m/ui/"),
      With({"-DUI", "-I/m/common", "-I/my mods/include", "-DNAME=a b"}));
  for (const char* name : {"game", "mymod", "uix", ""})
    EXPECT_EQ(ModuleDefine(name), "") << name;
}

TEST(CompilationDatabase, OneCommandPerSourceAndHeadersTakeTheirIncludersFlags) {
  TempDir dir;
  const std::string game = dir.path() + "/game/", cgame = dir.path() + "/cgame/";
  dir.write("game/q_shared.h", "#include \"bg_lib.h\"\n#include \"q_shared.h\"\n"); // includes itself
  dir.write("game/bg_lib.h", "  #  include <q_shared.h>\n");
  dir.write("game/g_local.h", "#include \"q_shared.h\"\n#include \"missing.h\"\n");
  dir.write("game/g_main.c", "#include \"g_local.h\"\n");
  dir.write("game/bg_misc.c", "#include \"q_shared.h\"\n");
  dir.write("game/unused.h", "");
  dir.write("cgame/cg_local.h", "#include \"../game/q_shared.h\"\n#include <cg_public.h>\n");
  dir.write("cgame/cg_public.h", "");
  dir.write("cgame/cg_main.c", "#include \"cg_local.h\"\r\n");
  Workspace workspace;
  workspace.Add("qagame", {game + "bg_misc.c", game + "g_main.c", game + "unused.h", game + "NOTES.TXT"});
  workspace.Add("cgame", {cgame + "cg_main.c", cgame + "../game/bg_misc.c"});
  Settings settings;
  settings.lcclarguments = "-DQ3_VM -S";

  const std::vector<CompileCommand> commands = CompileCommands(workspace.list, settings, ToolPaths::Native());
  const Flags folders{"-I" + dir.path() + "/game", "-I" + dir.path() + "/cgame"};
  auto expect = [&](const std::string& file, const char* language, const std::string& define,
                    const Flags& context = {}) {
    const CompileCommand* command = CommandFor(commands, file);
    ASSERT_NE(command, nullptr) << file;
    Flags arguments{"clang", "-x", language};
    const Flags flags = With({"-D" + define, folders[0], folders[1]});
    arguments.insert(arguments.end(), flags.begin(), flags.end());
    arguments.insert(arguments.end(), context.begin(), context.end());
    arguments.push_back(file);
    EXPECT_EQ(command->arguments, arguments) << file;
    EXPECT_EQ(command->directory + "/", paths::ExtractFilePath(file)) << file;
  };
  // bg_misc.c belongs to both projects and is described once, as the first project's.
  expect(game + "bg_misc.c", "c", "QAGAME");
  expect(game + "g_main.c", "c", "QAGAME");
  expect(cgame + "cg_main.c", "c", "CGAME");
  expect(game + "q_shared.h", "c-header", "QAGAME");
  expect(game + "bg_lib.h", "c-header", "QAGAME");
  expect(game + "g_local.h", "c-header", "QAGAME");
  expect(cgame + "cg_local.h", "c-header", "CGAME");
  // What cg_main.c had read before it came to cg_public.h: q_shared.h, which brought bg_lib.h.
  expect(cgame + "cg_public.h", "c-header", "CGAME", {"-include", game + "q_shared.h"});
  expect(game + "unused.h", "c-header", "QAGAME");
  EXPECT_EQ(commands.size(), 9u) << "nothing else, nothing twice";
}

TEST(CompilationDatabase, TheTextIsJsonThatKeepsEveryPath) {
  const std::vector<CompileCommand> commands{{"/m/a \"quoted\" b",
                                              "/m/a \"quoted\" b/x\\y.c",
                                              {"clang", "-DTEXT=\"é\\t\"", "/m/a \"quoted\" b/x\\y.c"}},
                                             {"/m", "/m/ü.h", {"clang", "-x", "c-header", "/m/ü.h"}}};
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromStdString(CompilationDatabaseText(commands)), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError);
  ASSERT_EQ(document.array().size(), 2);
  for (int i = 0; i < 2; ++i) {
    const QJsonObject entry = document.array()[i].toObject();
    const CompileCommand& command = commands[static_cast<std::size_t>(i)];
    EXPECT_EQ(entry["directory"].toString().toStdString(), command.directory);
    EXPECT_EQ(entry["file"].toString().toStdString(), command.file);
    Flags arguments;
    for (const QJsonValue& argument : entry["arguments"].toArray())
      arguments.push_back(argument.toString().toStdString());
    EXPECT_EQ(arguments, command.arguments);
  }
  EXPECT_EQ(CompilationDatabaseText({}), "[\n]\n");
}
