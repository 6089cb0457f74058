// The checks of what the tools wrote: a compiled file or a module cut short anywhere, as a full
// disk cuts them, is refused, and the whole one passes. With the real tools, their own output on
// the engine's game code is the sample.
#include "BuildTestSupport.h"
#include "TempDir.h"
#include "ToolOutputChecks.h"

#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A compiled file of the real compiler when it is there, else one of the compiler's form.
std::string CompiledSample(TempDir& dir) {
  const std::string compiler = RealTool("q3lcc");
  const std::string source =
      (std::filesystem::path(compiler).parent_path().parent_path() / "ioq3/code/game/g_main.c").string();
  if (!compiler.empty() && std::filesystem::exists(source)) {
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(dir.path()));
    process.start(QString::fromStdString(compiler),
                  {"-DQ3_VM", "-S", "-Wf-target=bytecode", "-Wf-g", QString::fromStdString(source)});
    process.waitForFinished(60000);
    const std::string compiled = TempDir::read(dir.file("g_main.asm"));
    if (process.exitCode() == 0 && !compiled.empty()) return compiled;
  }
  return "export vmMain\ncode\nproc vmMain 8 4\nADDRGP4 G_Init\nCALLV\npop\nLABELV $1\nendproc vmMain 8 4\n"
         "data\nexport level\nalign 4\nLABELV level\nbyte 4 0\nimport G_Init\n";
}

} // namespace

TEST(ToolOutputChecks, ACompiledFileCutInsideAFunctionOrALineIsRefused) {
  TempDir dir;
  const std::string whole = CompiledSample(dir);
  const std::string file = dir.file("cut.asm");
  EXPECT_EQ(CompiledFileProblem(file), "the compiler exited without writing it");
  dir.write("cut.asm", whole);
  EXPECT_EQ(CompiledFileProblem(file), "");
  dir.write("cut.asm", "");
  EXPECT_EQ(CompiledFileProblem(file), "the compiler left it empty (is the disk full?)");
  // Cuts inside the first function, and cuts inside a line anywhere.
  const std::size_t first = whole.find("\nproc ") + 2, firstEnd = whole.find("\nendproc ") + 1;
  const std::size_t step = std::max<std::size_t>(1, whole.size() / 300);
  const std::size_t stepInside = std::max<std::size_t>(1, (firstEnd - first) / 300);
  for (std::size_t cut = 1; cut < whole.size(); cut += (cut > first && cut <= firstEnd) ? stepInside : step) {
    if (whole[cut - 1] == '\n' && (cut <= first || cut > firstEnd)) continue;
    dir.write("cut.asm", whole.substr(0, cut));
    ASSERT_NE(CompiledFileProblem(file), "") << "cut at " << cut << " of " << whole.size();
  }
  // After the last function, a cut inside a line still shows.
  dir.write("cut.asm", whole.substr(0, whole.size() - 1));
  EXPECT_EQ(CompiledFileProblem(file), "it ends in the middle of a line (is the disk full?)");
}

TEST(ToolOutputChecks, AModuleIsUsedOnlyWhenItsHeaderAndSizeAgree) {
  TempDir dir;
  const std::string whole = ModuleWithCode(std::string(100, 'c'));
  const std::string file = dir.file("m.qvm");
  dir.write("m.qvm", whole);
  EXPECT_EQ(ModuleProblem(file), "");
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    dir.write("m.qvm", whole.substr(0, cut));
    ASSERT_NE(ModuleProblem(file), "") << "cut at " << cut;
  }
  dir.write("m.qvm", whole + "x");
  EXPECT_EQ(ModuleProblem(file), "it holds 137 bytes where its header names 136");
  std::string text = whole;
  text[0] = 'x';
  dir.write("m.qvm", text);
  EXPECT_EQ(ModuleProblem(file), "it does not start as a module does (no module header)");
  text = whole;
  text[12] = text[13] = text[14] = text[15] = 0; // no code
  dir.write("m.qvm", text);
  EXPECT_EQ(ModuleProblem(file), "its header names no code");

  // The real assembler's module of the real compiler's file passes.
  const std::string compiler = RealTool("q3lcc"), assembler = RealTool("q3asm");
  if (compiler.empty() || assembler.empty())
    GTEST_SKIP() << "the real q3lcc and q3asm are not in ~/.cache/ioq3-real/bin";
  dir.write("v.c", "int y;\nint vmMain( int command ) {\n\treturn y + command;\n}\n");
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(dir.path()));
  process.start(QString::fromStdString(compiler), {"-S", "v.c"});
  process.waitForFinished(60000);
  process.start(QString::fromStdString(assembler), {"-o", "v", "v"});
  process.waitForFinished(60000);
  EXPECT_EQ(ModuleProblem(dir.file("v.qvm")), "");
}
