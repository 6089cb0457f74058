// A rename's plan from the server's edits: random files of uses of a name, some renamed by the
// edits and some not, with LF and CR LF line ends; every edit lands on its use and nowhere else,
// the uses left alone are the text matches, and an edit that does not fit stops the whole rename.
#include "SymbolRename.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace {

const std::string kOld = "G_Foo", kNew = "G_FooRenamed";

struct Generated {
  std::map<std::string, RenameText> texts;
  std::map<std::string, std::string> renamedTexts;
  std::vector<FileEdits> edits;
  std::map<std::string, std::set<TextPosition>> leftAlone; // uses no edit renames
};

// Files of words and separators: the separators keep every word whole.
Generated Generate(std::mt19937& random) {
  static const char* const words[] = {"G_Foo", "G_FooBar", "x", "_G_Foo", "G_Foo2", "level"};
  static const char* const separators[] = {" ", "\t", "( ", ", ", " );", " /* ", " -> ", " . "};
  Generated made;
  const int files = 1 + static_cast<int>(random() % 4);
  for (int f = 0; f < files; ++f) {
    const std::string path = "/mod/file" + std::to_string(f) + ".c";
    const bool inWindow = random() % 2 == 0;
    std::string text, renamed;
    FileEdits edits{path, {}};
    const int lines = 1 + static_cast<int>(random() % 12);
    for (int line = 1; line <= lines; ++line) {
      std::size_t column = 1;
      for (int w = static_cast<int>(random() % 6); w > 0; --w) {
        const std::string word = words[random() % std::size(words)];
        const std::string separator = separators[random() % std::size(separators)];
        const TextPosition at{line, static_cast<int>(column)};
        const bool rename = word == kOld && random() % 4 != 0;
        if (rename) edits.edits.push_back({{at, {line, at.column + static_cast<int>(kOld.size())}}, kNew});
        if (word == kOld && !rename) made.leftAlone[path].insert(at);
        text += word + separator;
        renamed += (rename ? kNew : word) + separator;
        column += word.size() + separator.size();
      }
      if (line < lines || random() % 2 == 0) {
        const std::string end = !inWindow && random() % 2 == 0 ? "\r\n" : "\n";
        text += end;
        renamed += end;
      }
    }
    // The server's edits come in its own order.
    std::shuffle(edits.edits.begin(), edits.edits.end(), random);
    if (!edits.edits.empty()) made.edits.push_back(edits);
    made.texts[path] = {text, inWindow};
    made.renamedTexts[path] = renamed;
  }
  return made;
}

RenameTextOf TextsOf(const std::map<std::string, RenameText>& texts) {
  return [&texts](const std::string& path) -> std::optional<RenameText> {
    const auto text = texts.find(path);
    if (text == texts.end()) return std::nullopt;
    return text->second;
  };
}

} // namespace

TEST(SymbolRename, EveryEditRenamesItsUseAndTheOtherUsesAreListedApart) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const Generated made = Generate(random);
    std::vector<std::string> searched;
    for (const auto& [path, text] : made.texts)
      searched.push_back(path);
    searched.push_back("/mod/gone.c"); // unreadable: not searched, and no harm
    const RenamePlan plan = PlanRename(kOld, made.edits, searched, TextsOf(made.texts));
    ASSERT_EQ(plan.problem, "") << "round " << round;
    ASSERT_EQ(plan.files.size(), made.edits.size());
    for (const FileReplacement& file : plan.files) {
      const RenameText& before = made.texts.at(file.path);
      EXPECT_EQ(file.before, before.text);
      EXPECT_EQ(file.inWindow, before.inWindow);
      EXPECT_EQ(file.after, made.renamedTexts.at(file.path)) << "round " << round;
      std::set<int> lines;
      for (const FileEdits& edits : made.edits)
        if (edits.path == file.path) {
          EXPECT_EQ(file.count, static_cast<int>(edits.edits.size()));
          for (const TextEdit& edit : edits.edits)
            lines.insert(edit.range.start.line);
        }
      ASSERT_EQ(file.lines.size(), lines.size());
      for (const ReplacedLine& line : file.lines) {
        EXPECT_TRUE(lines.count(line.line));
        EXPECT_NE(file.before.find(line.before), std::string::npos);
        EXPECT_NE(file.after.find(line.after), std::string::npos);
        EXPECT_EQ(line.after.find('\r'), std::string::npos) << "a line without its end";
      }
    }
    std::map<std::string, std::set<TextPosition>> listed;
    for (const FileHits& file : plan.textMatches)
      for (const LineHit& line : file.lines) {
        EXPECT_FALSE(line.matches.empty());
        for (const TextMatch& match : line.matches) {
          EXPECT_EQ(line.text.substr(match.start, match.length), kOld);
          listed[file.path].insert({line.line, static_cast<int>(match.start) + 1});
        }
      }
    EXPECT_EQ(listed, made.leftAlone) << "round " << round;
    EXPECT_EQ(RenameConflict(plan.files, TextsOf(made.texts)), "");

    if (made.edits.empty()) continue;
    // One edit that does not fit its text: nothing at all is renamed.
    std::vector<FileEdits> broken = made.edits;
    std::vector<TextEdit>& edits = broken[random() % broken.size()].edits;
    TextRange& range = edits[random() % edits.size()].range;
    switch (random() % 4) {
    case 0: range.start.column += 1, range.end.column += 1; break;
    case 1: range.start.line = range.end.line = 100000; break;
    case 2: range.end = {range.end.line + 1, 1}; break;
    default: range.start.column = 0; break;
    }
    const RenamePlan refused = PlanRename(kOld, broken, searched, TextsOf(made.texts));
    EXPECT_NE(refused.problem, "") << "round " << round;
    EXPECT_TRUE(refused.files.empty());

    // A file that changed after the preview: the rename is refused before anything is written.
    std::map<std::string, RenameText> changed = made.texts;
    changed[plan.files.back().path].text += "\n";
    EXPECT_NE(RenameConflict(plan.files, TextsOf(changed)), "");
    changed = made.texts;
    changed[plan.files.front().path].inWindow = !changed[plan.files.front().path].inWindow;
    EXPECT_NE(RenameConflict(plan.files, TextsOf(changed)), "") << "opened or closed since";
  }
}
