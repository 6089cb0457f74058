// Quick Open's ranking: every file whose shown path holds the typed characters in order, and no
// other; the best alignment found, checked against trying every alignment on short paths; and the
// order a modder expects for the engine's file names.
#include "QuickOpen.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <limits>
#include <random>
#include <set>

namespace {

bool Subsequence(std::string_view typed, std::string_view text) {
  std::size_t at = 0;
  for (char c : text)
    if (at < typed.size() && std::tolower(c) == std::tolower(typed[at])) ++at;
  return at == typed.size();
}

// The score of one alignment, the plain way.
int ScoreOf(std::string_view typed, const std::string& shown, const std::vector<int>& positions) {
  const std::size_t nameStart = shown.find_last_of('/') + 1;
  int score = 0;
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const auto j = static_cast<std::size_t>(positions[i]);
    const char before = j > 0 ? shown[j - 1] : '/';
    const bool wordStart = std::string("/_-. ").find(before) != std::string::npos ||
                           (std::islower(static_cast<unsigned char>(before)) &&
                            std::isupper(static_cast<unsigned char>(shown[j])));
    score += 16 +
             (j == nameStart ? 32
              : wordStart    ? 24
                             : 0) +
             (j >= nameStart ? 8 : 0) + (typed[i] == shown[j] ? 2 : 0);
    if (i > 0) score += positions[i] == positions[i - 1] + 1 ? 12 : -(positions[i] - positions[i - 1] - 1);
  }
  return score;
}

// The best score over every alignment.
int BestScore(std::string_view typed, const std::string& shown) {
  int best = std::numeric_limits<int>::min();
  std::vector<int> positions;
  std::function<void(std::size_t, int)> place = [&](std::size_t i, int from) {
    if (i == typed.size()) {
      best = std::max(best, ScoreOf(typed, shown, positions));
      return;
    }
    for (int j = from; j < static_cast<int>(shown.size()); ++j)
      if (std::tolower(shown[static_cast<std::size_t>(j)]) == std::tolower(typed[i])) {
        positions.push_back(j);
        place(i + 1, j + 1);
        positions.pop_back();
      }
  };
  place(0, 0);
  return best;
}

std::vector<std::string> Shown(const std::vector<QuickOpenMatch>& matches) {
  std::vector<std::string> shown;
  for (const QuickOpenMatch& match : matches)
    shown.push_back(match.shown);
  return shown;
}

} // namespace

TEST(QuickOpen, EveryFileThatHoldsTheTypedCharactersAndTheBestAlignment) {
  std::mt19937 random(5);
  const std::string letters = "aAbgGm_/.c";
  auto text = [&](std::size_t most) {
    std::string result;
    for (std::size_t i = random() % (most + 1); i > 0; --i)
      result += letters[random() % letters.size()];
    return result;
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> files;
    for (int i = 0; i < 12; ++i)
      files.push_back("/w/" + text(11));
    const QuickOpen quickOpen(files, "/w");
    const std::string typed = text(4);
    const std::vector<QuickOpenMatch> matches = quickOpen.Matches(typed, files.size());
    std::set<std::string> expected, found;
    for (const std::string& file : files)
      if (Subsequence(typed, file.substr(3))) expected.insert(file);
    for (const QuickOpenMatch& match : matches) {
      found.insert(match.path);
      ASSERT_EQ(match.positions.size(), typed.size());
      ASSERT_TRUE(std::is_sorted(match.positions.begin(), match.positions.end()));
      for (std::size_t i = 0; i < typed.size(); ++i)
        ASSERT_EQ(std::tolower(match.shown[static_cast<std::size_t>(match.positions[i])]),
                  std::tolower(typed[i]));
      ASSERT_EQ(match.score, ScoreOf(typed, match.shown, match.positions)) << match.shown << " " << typed;
      ASSERT_EQ(match.score, BestScore(typed, match.shown)) << match.shown << " " << typed;
    }
    ASSERT_EQ(found, expected) << typed;
    for (std::size_t i = 1; i < matches.size(); ++i)
      ASSERT_GE(matches[i - 1].score, matches[i].score);
  }
}

TEST(QuickOpen, TheOrderAModderExpects) {
  const QuickOpen quickOpen({"/w/game/bg_misc.c", "/w/game/g_main.c", "/w/cgame/cg_main.c", "/w/ui/ui_main.c",
                             "/w/game/g_cmds.c", "/w/cmds/notes.txt", "/w/game/ai_dmq3.c",
                             "/w/game/g_missile.c", "/w/q3_ui/ui_menu.c", "/w/game/spawnmissile.c",
                             "/w/game/SpawnMissileTrail.c"},
                            "/w");
  EXPECT_EQ(Shown(quickOpen.Matches("gm", 3)),
            (std::vector<std::string>{"game/g_main.c", "game/g_missile.c", "game/bg_misc.c"}))
      << "the file name's start and a word start after it";
  EXPECT_EQ(Shown(quickOpen.Matches("main", 3)),
            (std::vector<std::string>{"ui/ui_main.c", "game/g_main.c", "cgame/cg_main.c"}))
      << "equal matches: the shorter path first";
  EXPECT_EQ(Shown(quickOpen.Matches("cmds", 2)),
            (std::vector<std::string>{"game/g_cmds.c", "cmds/notes.txt"}))
      << "in the file name before in the folder";
  EXPECT_EQ(Shown(quickOpen.Matches("sm", 1)), (std::vector<std::string>{"game/SpawnMissileTrail.c"}))
      << "a capital after a small letter starts a word";
  EXPECT_EQ(quickOpen.Matches("zz", 10).size(), 0u);
  EXPECT_EQ(quickOpen.Matches("GMAIN", 1)[0].positions, (std::vector<int>{5, 7, 8, 9, 10}));
}

TEST(QuickOpen, TheWorkspacesFilesEachOnce) {
  ProjectList workspace;
  Project& game = workspace.AddProject();
  game.Files = {{"/w/game/g_main.c"}, {"/w/game/../game/bg_lib.c"}, {"/elsewhere/notes.txt"}};
  Project& cgame = workspace.AddProject();
  cgame.Files = {{"/w/cgame/cg_main.c"}, {"/w/game/bg_lib.c"}};
  const QuickOpen quickOpen(workspace, "/w/mod.tsw");
  const std::vector<QuickOpenMatch> all = quickOpen.Matches("", 10);
  EXPECT_EQ(Shown(all), (std::vector<std::string>{"/elsewhere/notes.txt", "cgame/cg_main.c", "game/bg_lib.c",
                                                  "game/g_main.c"}));
  EXPECT_EQ(all[2].path, "/w/game/bg_lib.c");
  EXPECT_EQ(quickOpen.Matches("", 2).size(), 2u);
  EXPECT_EQ(quickOpen.Matches("c", 1).size(), 1u);
}
