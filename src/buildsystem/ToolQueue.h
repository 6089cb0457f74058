// The tool runs of a build with their output in order: runs start when asked and run side by
// side, but the message list shows them one after the other in the order they were started. The
// first run's output is listed as it comes; a later run's is held until the runs before it have
// ended, then listed, followed by a line on how its tool ended when that was not by itself.
#pragma once

#include "CompileCache.h"
#include "HeldOutput.h"
#include "MessageCollector.h"
#include "MessageLines.h"
#include "ProcessRunner.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Adds `line` to the build's messages, which always end with an empty line for the output that
// follows: the empty last line takes it.
void AddBuildMessage(MessageLines& lines, const std::string& line);

// One tool run: its runner and output, and what the build needs of it when it ends.
struct ToolRun {
  ToolRun(MessageCollector collector, std::string spillFolder)
      : collector(std::move(collector)), held(std::move(spillFolder)) {}
  std::unique_ptr<ProcessRunner> runner;
  std::string program;
  bool compile = false; // a compile, which holds one of the build's parallel places
  std::string source;   // of a compile
  std::string commandLine;
  CompileInputs inputs; // what the compile reads, for its record in the build folder
  std::string assemblyEntry;
  bool printed = false; // the tool wrote something
  // The completed lines of a compile's output, kept with its compiled file; none when there
  // were too many to keep.
  std::optional<std::vector<std::string>> said = std::vector<std::string>();
  // Lines listed after this run's output and its end: what the files after it that needed no
  // compile said when they were compiled.
  std::vector<std::string> after;
  MessageCollector collector;
  // The output of a run started after the one being listed, held until it is this run's turn;
  // and how the tool ended once it has.
  HeldOutput held;
  std::optional<ProcessEnd> end;
  bool slotFreed = false; // a compile whose place another compile may take
  bool cancelled = false; // asked to end by Cancel: its end needs no words
};

struct ToolQueueOptions {
  std::shared_ptr<HandOver> handOver;
  PathStyle style = PathStyle::Native();
  std::shared_ptr<LongPathCache> longPaths;
  // Where a held run's output spills to disk: beside the compiled files, not into a temporary
  // folder that may live in memory.
  std::string spillFolder;
  std::optional<std::chrono::seconds> timeLimit;
  std::chrono::milliseconds endWait{0};
};

class ToolQueue {
public:
  ToolQueue(ToolQueueOptions options, MessageLines& lines);
  ToolQueue(const ToolQueue&) = delete;
  ToolQueue& operator=(const ToolQueue&) = delete;

  // A new run of `program` at the end of the queue, not yet started.
  ToolRun& Add(const std::string& program);
  // Starts the last run added; when it cannot start, it leaves the queue and the error is raised.
  void Start(ToolRun& run, const std::string& commandLine, const std::string& directory);

  [[nodiscard]] bool Empty() const { return running_.empty(); }
  // The runner of the run being listed; none when the queue is empty.
  [[nodiscard]] ProcessRunner* FrontRunner() const;
  // Lists `lines` after the output of the runs in the queue, or at once when it is empty.
  void ListInOrder(const std::vector<std::string>& lines);
  // Every run is asked to end; their ends then come as for any other run, without words.
  void Cancel();
  // The runs leave the queue, their tools asked to end; nothing more is heard of them.
  void LetGo();

  // A run ended, maybe before runs started earlier whose output is still being listed.
  std::function<void(ToolRun& run)> RunEnded;
  // A run's turn is over: its output and end are listed. Called in the order the runs started.
  std::function<void(ToolRun& run)> RunListed;

private:
  void Output(ToolRun& run, const char* buffer, std::size_t count, bool isError);
  void Ended(ProcessRunner& sender, const ProcessEnd& end);
  void ListEndedInOrder();
  void ListHeldOutput(ToolRun& run);
  void ReportEnd(const ToolRun& run);

  ToolQueueOptions options_;
  MessageLines& lines_;
  // In the order they were started: the first one's output is listed as it comes.
  std::vector<std::unique_ptr<ToolRun>> running_;
  // Runs that have ended. The last may still be on the call stack that started the next run, so
  // they are released when a later run ends.
  std::vector<std::unique_ptr<ToolRun>> ended_;
};
