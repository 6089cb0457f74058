// Command lines of the tools, the assembler's input order, and the renames that install a
// module with one generation of backups.
#include "BuildSteps.h"
#include "BuildTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

ToolPaths WindowsPaths() {
  return {PathStyle::Windows(), [](const std::string& path) { return path; }};
}

Settings WindowsSettings() {
  Settings s;
  s.lcclocation = "C:\\quake3\\bin_nt\\lcc.exe";
  s.lcclarguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
  s.q3asmlocation = "C:\\quake3\\bin_nt\\q3asm.exe";
  s.outputlocation = "C:\\quake3\\mymod\\vm\\";
  return s;
}

} // namespace

TEST(BuildSteps, ClassicCommandLines) {
  const Settings settings = WindowsSettings();
  const ToolPaths tools = WindowsPaths();
  EXPECT_EQ(
      CompilerCommandLine(settings, {"C:\\src\\server\\server.tsp", "C:\\src\\client\\client.tsp"},
                          "C:\\src\\server\\logic.c", tools),
      "C:\\quake3\\bin_nt\\lcc.exe -DQ3_VM -S -Wf-target=bytecode -Wf-g -IC:\\src\\server -IC:\\src\\client "
      "C:\\src\\server\\logic.c");
  EXPECT_EQ(AssemblyListEntry(settings.outputlocation, "C:\\src\\server\\logic.c", tools),
            "C:\\quake3\\mymod\\vm\\logic");
  EXPECT_EQ(
      AssemblerCommandLine(settings, {"C:\\quake3\\mymod\\vm\\logic"},
                           {"C:\\src\\server\\logic.c", "C:\\src\\server\\local.h",
                            "C:\\src\\server\\syscalls.asm", "C:\\src\\server\\G_X.C", "C:\\src\\readme.txt"},
                           tools),
      "C:\\quake3\\bin_nt\\q3asm.exe  \"C:\\quake3\\mymod\\vm\\logic.ASM\" \"C:\\src\\server\\syscalls.asm\" "
      "\"C:\\src\\readme.txt\"");
}

TEST(BuildSteps, NativeCommandLinesKeepPathsWithBlanksWhole) {
  TempDir dir;
  const std::string source = dir.write("my mod/g_main.c", "");
  const std::string project = dir.write("my mod/game.tsp", "");
  Settings settings;
  settings.lcclocation = "/opt/q3 tools/q3lcc";
  settings.lcclarguments = "-DQ3_VM";
  settings.q3asmlocation = "/opt/q3/q3asm";
  settings.q3asmlarguments = "-v -m";
  settings.outputlocation = "/out/vm/";
  const ToolPaths tools = ToolPaths::Native();
  EXPECT_EQ(CompilerCommandLine(settings, {project}, source, tools),
            "\"/opt/q3 tools/q3lcc\" -DQ3_VM -I\"" + dir.path() + "/my mod\" \"" + source + "\"");
  EXPECT_EQ(AssemblyListEntry(settings.outputlocation, source, tools), "/out/vm/g_main");
  EXPECT_EQ(AssemblerCommandLine(settings, {"/out/vm/g_main"}, {source}, tools),
            "/opt/q3/q3asm -v -m \"/out/vm/g_main.asm\"");
  // A vanished source has no short form: the command line ends in a blank, the entry is the folder.
  EXPECT_EQ(CompilerCommandLine(settings, {}, dir.file("gone.c"), tools), "\"/opt/q3 tools/q3lcc\" -DQ3_VM ");
  EXPECT_EQ(AssemblyListEntry(settings.outputlocation, dir.file("gone.c"), tools), "/out/vm/");
}

TEST(BuildSteps, TheFileDefiningVmMainGoesFirst) {
  TempDir dir;
  dir.write("ai_chat.asm", "code\nproc AI_Chat 8 4\nendproc AI_Chat 8 4\n");
  dir.write("g_syscalls.asm", "proc vmMainly 0 0\n");
  dir.write("g_main.asm", "export vmMain\ncode\nproc vmMain 12 8\n");
  dir.write("g_utils.asm", "code\n");
  const std::vector<std::string> list = {dir.file("ai_chat"), dir.file("g_syscalls"), dir.file("g_main"),
                                         dir.file("g_utils")};
  auto readFile = [](const std::string& entry) { return DefinesEntryPoint(entry + ".asm"); };
  EXPECT_EQ(WithEntryPointFirst(list, readFile),
            (std::vector<std::string>{dir.file("g_main"), dir.file("ai_chat"), dir.file("g_syscalls"),
                                      dir.file("g_utils")}));
  const std::vector<std::string> without = {dir.file("ai_chat"), dir.file("g_utils")};
  EXPECT_EQ(WithEntryPointFirst(without, readFile), without);
}

TEST(BuildSteps, InstallingModulesKeepsOneGenerationOfBackups) {
  TempDir dir;
  const std::string folder = dir.path() + "/";
  const std::string built = "q3asm-1";
  EXPECT_EQ(InstallModule(folder, built, "ui"), "the assembler wrote no module") << "nothing moves";

  dir.write("q3asm-1.qvm", ModuleWithCode("first"));
  dir.write("q3asm-1.map", "first map\n");
  EXPECT_EQ(InstallModule(folder, built, "ui"), "");
  EXPECT_EQ(ModuleCode(dir.file("ui.qvm")), "first");
  EXPECT_EQ(TempDir::read(dir.file("ui.map")), "first map\n");
  EXPECT_FALSE(paths::FileExists(dir.file("ui.~qvm")));

  dir.write("q3asm-1.qvm", ModuleWithCode("second"));
  dir.write("q3asm-1.map", "second map\n");
  dir.write("ui.~qvm", "ancient");
  EXPECT_EQ(InstallModule(folder, built, "ui"), "");
  EXPECT_EQ(ModuleCode(dir.file("ui.qvm")), "second");
  EXPECT_EQ(ModuleCode(dir.file("ui.~qvm")), "first");
  EXPECT_EQ(TempDir::read(dir.file("ui.~map")), "first map\n");
  EXPECT_FALSE(paths::FileExists(dir.file("q3asm-1.qvm")));

  dir.write("q3asm-1.qvm", ModuleWithCode("escape"));
  EXPECT_EQ(InstallModule(folder, built, "../ui"),
            "the module could not be named ../ui.qvm (a project name holds no /)");
  EXPECT_EQ(ModuleCode(dir.file("ui.qvm")), "second") << "the old module stays";

  // A name one byte too long for the module: the old module stays where it was.
  const std::string longName(252, 'n');
  EXPECT_EQ(InstallModule(folder, built, longName),
            "the module could not be named " + longName + ".qvm (File name too long)");

  // A module cut short, as on a full disk, is never installed.
  const std::string whole = ModuleWithCode("third");
  dir.write("q3asm-1.qvm", whole.substr(0, whole.size() - 1));
  EXPECT_EQ(
      InstallModule(folder, built, "ui"),
      "the new module was not installed: it holds 40 bytes where its header names 41 (is the disk full?)");
  EXPECT_EQ(ModuleCode(dir.file("ui.qvm")), "second");
  EXPECT_EQ(ModuleCode(dir.file("ui.~qvm")), "first");

  dir.write("q3asm-1.qvm", whole);
  dir.write("q3asm-1.map", "");
  EXPECT_EQ(InstallModule(folder, built, "ui"), "the new module was not installed: its map is not whole: the "
                                                "assembler left it empty (is the disk full?)");
  EXPECT_EQ(TempDir::read(dir.file("ui.map")), "second map\n");

  RemoveAssemblerOutput(folder, built);
  EXPECT_FALSE(paths::FileExists(dir.file("q3asm-1.qvm")));
  EXPECT_FALSE(paths::FileExists(dir.file("q3asm-1.map")));

  dir.write("a.asm", "");
  DeleteAssemblyFiles({dir.file("a"), dir.file("missing")}, ToolPaths::Native());
  EXPECT_FALSE(paths::FileExists(dir.file("a.asm")));
}
