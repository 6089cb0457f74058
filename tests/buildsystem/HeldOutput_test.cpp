// The output of a run that waits for its turn: handed back whole and in order, however much of
// it went to the temporary file, and counted when it could not be held at all.
#include "HeldOutput.h"

#include <gtest/gtest.h>
#include <random>

namespace {

struct Piece {
  std::string text;
  bool isError = false;
  bool operator==(const Piece&) const = default;
};

// Joins what a release hands over into runs of one stream, so that the cut between pieces does
// not count.
std::vector<Piece> Joined(const std::vector<Piece>& pieces) {
  std::vector<Piece> joined;
  for (const Piece& piece : pieces)
    if (!joined.empty() && joined.back().isError == piece.isError)
      joined.back().text += piece.text;
    else if (!piece.text.empty())
      joined.push_back(piece);
  return joined;
}

} // namespace

TEST(HeldOutput, HandsBackEveryPieceInOrderWhereverItWasKept) {
  std::mt19937 random(4);
  for (const std::size_t inMemory : {std::size_t(16), std::size_t(1000), HeldOutput::kHeldInMemory}) {
    HeldOutput held({}, inMemory);
    std::vector<Piece> written;
    for (int i = 0; i < 3000; ++i) {
      const std::size_t size = random() % 8 == 0 ? random() % 200000 : random() % 100;
      Piece piece{std::string(size, static_cast<char>('a' + i % 26)), random() % 2 == 0};
      held.Hold(piece.text, piece.isError);
      written.push_back(std::move(piece));
      EXPECT_LE(held.InMemory(), std::max(inMemory, HeldOutput::kLargestPiece + 5));
    }
    std::vector<Piece> released;
    EXPECT_EQ(held.Release([&](std::string_view text, bool isError) {
      EXPECT_LE(text.size(), HeldOutput::kLargestPiece);
      released.push_back({std::string(text), isError});
    }),
              0u);
    EXPECT_EQ(Joined(released), Joined(written)) << "held in memory up to " << inMemory << " bytes";
    EXPECT_EQ(held.InMemory(), 0u);
  }
}

// With nowhere to write the temporary file, the start of the output is handed back and the rest
// is counted, not lost silently; nothing after a dropped piece comes back.
TEST(HeldOutput, CountsWhatCouldNotBeHeld) {
  const char* before = std::getenv("TMPDIR");
  const std::string saved = before ? before : "";
  ::setenv("TMPDIR", "/nonexistent/tessarin", 1);
  HeldOutput held("/nonexistent/tessarin", 100);
  held.Hold(std::string(60, 'a'), false);
  held.Hold(std::string(60, 'b'), true);
  held.Hold(std::string(10, 'c'), false);
  std::string released;
  const std::uint64_t dropped = held.Release([&](std::string_view text, bool) { released += text; });
  if (before)
    ::setenv("TMPDIR", saved.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
  EXPECT_EQ(released, std::string(60, 'a'));
  EXPECT_EQ(dropped, 70u);
}
