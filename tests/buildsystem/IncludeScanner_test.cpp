// The include scanner against the game's own preprocessor: over random layouts of same-named
// headers in several folders, included by relative names from anywhere, the headers the scanner
// finds are exactly those `q3cpp -M` reads.
#include "BuildTestSupport.h"
#include "IncludeScanner.h"
#include "ProcessRunner.h"
#include "TempDir.h"

#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>

namespace {

using Paths = std::set<std::string>;

std::string Normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

// The headers q3cpp -M reads for `source`, found ones only.
Paths PreprocessorReads(const std::string& q3cpp, const std::string& source,
                        const std::vector<std::string>& includeOptions) {
  QStringList arguments{"-M"};
  for (const std::string& option : includeOptions)
    arguments << QString::fromStdString("-I" + option);
  arguments << QString::fromStdString(source);
  QProcess process;
  process.start(QString::fromStdString(q3cpp), arguments);
  process.waitForFinished(10000);
  std::istringstream lines(process.readAllStandardOutput().toStdString());
  Paths read;
  for (std::string line; std::getline(lines, line);)
    if (const auto at = line.find("$O: ");
        at != std::string::npos && std::filesystem::exists(line.substr(at + 4)))
      read.insert(Normal(line.substr(at + 4)));
  return read;
}

} // namespace

TEST(IncludeScanner, FindsTheHeadersTheGamesPreprocessorReads) {
  const std::string q3cpp = RealTool("q3cpp");
  if (q3cpp.empty()) GTEST_SKIP() << "the real q3cpp is not in ~/.cache/ioq3-real/bin (shared/ioq3/setup.sh)";
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  // Nine headers at most: the preprocessor gives up on includes nested more than ten deep.
  const std::vector<std::string> folders = {"game", "qcommon", "ui"};
  const std::vector<std::string> names = {"a.h", "b.h", "c.h"};
  // How a file in any folder may name a header: bare, or through a folder relative to game/.
  const std::vector<std::string> prefixes = {"", "", "../qcommon/", "../ui/", "../game/"};
  for (int round = 0; round < 40; ++round) {
    TempDir dir;
    auto includes = [&] {
      std::string text;
      for (std::size_t n = random() % 4; n > 0; --n)
        text +=
            "#include \"" + prefixes[random() % prefixes.size()] + names[random() % names.size()] + "\"\n";
      return text;
    };
    int guard = 0;
    for (const std::string& folder : folders)
      for (const std::string& name : names)
        if (random() % 2 == 0) {
          const std::string macro = "GUARD" + std::to_string(++guard);
          dir.write(folder + "/" + name,
                    "#ifndef " + macro + "\n#define " + macro + "\n" + includes() + "#endif\n");
        }
    const std::string source = dir.write("game/main.c", includes() + includes());
    std::vector<std::string> options;
    if (random() % 2 == 0) options.push_back("../ui");
    if (random() % 3 == 0) options.push_back(dir.file("qcommon"));
    IncludeScanner scanner;
    Paths found;
    for (const IncludedHeader& header : scanner.HeadersOf(source, options))
      found.insert(header.path);
    std::string layout;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
      if (entry.is_regular_file())
        layout += entry.path().string() + ":\n" + TempDir::read(entry.path().string());
    ASSERT_EQ(found, PreprocessorReads(q3cpp, source, options)) << "round " << round << "\n" << layout;
  }
}
