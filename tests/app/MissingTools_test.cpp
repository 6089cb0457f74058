#include "MissingTools.h"
#include "Paths.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

Settings toolsAt(const std::string& compiler, const std::string& assembler, const std::string& game) {
  Settings settings;
  settings.lcclocation = compiler;
  settings.q3asmlocation = assembler;
  settings.quake3location = game;
  return settings;
}

} // namespace

// Each missing tool says why in its own words, and only the tools asked for are looked at.
TEST(MissingTools, NameEachToolAndWhereItWasLookedFor) {
  TempDir dir;
  const std::string compiler = dir.write("tools/q3lcc", "");
  const Settings settings = toolsAt(compiler, dir.file("gone/q3asm"), "");
  const std::vector<MissingTool> missing =
      MissingTools(settings, {Tool::Game, Tool::Compiler, Tool::Assembler}, paths::FileExists);
  ASSERT_EQ(missing.size(), 2u);
  EXPECT_EQ(missing[0].tool, Tool::Game);
  EXPECT_EQ(missing[0].problem, "No game is chosen.");
  EXPECT_EQ(missing[1].problem, "The folder " + dir.file("gone/") + " of the assembler does not exist.");
  EXPECT_TRUE(MissingTools(settings, {Tool::Compiler}, paths::FileExists).empty());

  const Settings gone = toolsAt(dir.file("tools/q3lcc.old"), compiler, compiler);
  EXPECT_EQ(Problems(MissingTools(gone, {Tool::Compiler, Tool::Assembler}, paths::FileExists)),
            "The compiler " + dir.file("tools/q3lcc.old") + " was not found.");
}

// Every subset of missing tools, in any order, is told where to set each of them: a sentence per
// page, each field named once, pages in the order their first tool is missing.
TEST(MissingTools, WhereToSetNamesEveryFieldOncePerPage) {
  const std::vector<Tool> all = {Tool::Compiler, Tool::Assembler, Tool::Game};
  std::vector<Tool> order = all;
  do {
    for (unsigned mask = 1; mask < 8; ++mask) {
      std::vector<MissingTool> missing;
      for (unsigned i = 0; i < 3; ++i)
        if (mask & (1u << i)) missing.push_back({order[i], ""});
      const std::string text = WhereToSet(missing);
      std::set<std::string> pages;
      for (const MissingTool& tool : missing) {
        const ToolSetting setting = SettingOf(tool.tool);
        const std::string field = std::string("\"") + setting.field + "\"";
        const std::size_t at = text.find(field);
        ASSERT_NE(at, std::string::npos) << text;
        EXPECT_EQ(text.find(field, at + 1), std::string::npos) << text;
        const std::string page = std::string("in Preferences > ") + setting.page + ".";
        EXPECT_NE(text.find(page, at), std::string::npos) << text;
        pages.insert(setting.page);
      }
      std::size_t sentences = 0;
      for (std::size_t at = text.find("Set "); at != std::string::npos; at = text.find("Set ", at + 1))
        ++sentences;
      EXPECT_EQ(sentences, pages.size()) << text;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(WhereToGet({{Tool::Game, ""}}), "");
  EXPECT_NE(WhereToGet({{Tool::Game, ""}, {Tool::Assembler, ""}}).find("ioquake3 sources"),
            std::string::npos);
  EXPECT_EQ(WhereToSet({{Tool::Compiler, ""}, {Tool::Game, ""}, {Tool::Assembler, ""}}),
            "Set \"Location of LCC Compiler\" and \"Location of Q3ASM Assembler\" in Preferences > Compiler. "
            "Set \"Quake III Arena Executable\" in Preferences > Environment.");
}
