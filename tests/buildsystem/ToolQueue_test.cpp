// The queue of tool runs: whatever order the tools end in, each run's output is listed whole and
// the runs in the order they started.
#include "QtHandOver.h"
#include "ToolQueue.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

TEST(ToolQueue, RunsThatEndInAnyOrderAreListedWholeInTheOrderTheyStarted) {
  std::mt19937 random(37);
  std::uniform_int_distribution<int> pause(0, 40);
  for (int round = 0; round < 3; ++round) {
    MessageLines lines;
    ToolQueueOptions options;
    options.handOver = std::make_shared<QtHandOver>();
    options.longPaths = std::make_shared<LongPathCache>();
    ToolQueue queue(options, lines);
    std::vector<int> endedEarly, listed;
    std::vector<std::string> expected;
    std::map<const ToolRun*, int> numbers;
    queue.RunEnded = [&](ToolRun& run) { endedEarly.push_back(numbers.at(&run)); };
    queue.RunListed = [&](ToolRun& run) { listed.push_back(numbers.at(&run)); };

    constexpr int kRuns = 6;
    for (int number = 0; number < kRuns; ++number) {
      std::string script;
      for (int line = 0; line < 3; ++line) {
        const std::string text = "run " + std::to_string(number) + " line " + std::to_string(line);
        script += "sleep 0.0" + std::to_string(pause(random)) + "; echo '" + text + "'; ";
        expected.push_back(text);
      }
      if (number == 2) {
        script += "kill -9 $$";
        expected.push_back("sh ended by signal 9");
      }
      ToolRun& run = queue.Add("/bin/sh");
      numbers[&run] = number;
      queue.Start(run, "/bin/sh -c " + QuoteArgument(script), "");
    }
    queue.ListInOrder({"after every run"});
    expected.push_back("after every run");
    ASSERT_TRUE(WaitUntil([&] { return queue.Empty(); })) << round;

    std::vector<std::string> shown;
    for (const std::string& line : lines.Lines())
      if (!line.empty()) shown.push_back(line);
    EXPECT_EQ(shown, expected) << round;
    EXPECT_EQ(listed, (std::vector<int>{0, 1, 2, 3, 4, 5})) << round;
    for (int number : endedEarly)
      EXPECT_NE(number, 0) << "the first run is listed as it comes, so it never ends early";
  }
}
