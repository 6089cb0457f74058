// A run's events reach the queue only while it is in `running_`: a run let go of is looked for
// and not found.
#include "ToolQueue.h"

#include "WorkspacePaths.h"

#include <algorithm>
#include <cstring>

void AddBuildMessage(MessageLines& lines, const std::string& line) {
  if (!lines.Empty() && lines.Last().empty())
    lines.SetLast(line);
  else
    lines.Add(line);
  lines.Add(std::string());
}

ToolQueue::ToolQueue(ToolQueueOptions options, MessageLines& lines)
    : options_(std::move(options)), lines_(lines) {}

ProcessRunner* ToolQueue::FrontRunner() const {
  return running_.empty() ? nullptr : running_.front()->runner.get();
}

ToolRun& ToolQueue::Add(const std::string& program) {
  auto owned =
      std::make_unique<ToolRun>(MessageCollector(options_.style, options_.longPaths), options_.spillFolder);
  ToolRun& run = *owned;
  run.program = program;
  run.runner = std::make_unique<ProcessRunner>(options_.handOver);
  ProcessRunner& runner = *run.runner;
  runner.TerminateOnDestroy = true;
  runner.EndWait = options_.endWait;
  if (options_.timeLimit) runner.TimeLimit = *options_.timeLimit;
  runner.OnData = [this, &run](ProcessRunner&, const char* buffer, std::size_t count) {
    Output(run, buffer, count, false);
  };
  runner.OnErrorData = [this, &run](ProcessRunner&, const char* buffer, std::size_t count) {
    Output(run, buffer, count, true);
  };
  runner.OnTerminated = [this](ProcessRunner& sender, const ProcessEnd& end) { Ended(sender, end); };
  running_.push_back(std::move(owned));
  return run;
}

void ToolQueue::Start(ToolRun& run, const std::string& commandLine, const std::string& directory) {
  run.commandLine = commandLine;
  run.runner->SetParameters(commandLine);
  run.runner->SetDirectory(directory);
  try {
    run.runner->Execute();
  } catch (...) {
    running_.pop_back();
    throw;
  }
}

void ToolQueue::ListInOrder(const std::vector<std::string>& lines) {
  if (!running_.empty()) {
    running_.back()->after.insert(running_.back()->after.end(), lines.begin(), lines.end());
    return;
  }
  for (const std::string& line : lines)
    AddBuildMessage(lines_, line);
}

void ToolQueue::Cancel() {
  for (const auto& run : running_) {
    run->cancelled = true;
    if (run->runner->Active()) run->runner->Terminate(0);
  }
}

// The runs go to the ended ones, whose events no longer reach the queue; their tools end.
void ToolQueue::LetGo() {
  for (auto& run : running_) {
    if (run->runner->Active()) run->runner->Terminate(0);
    ended_.push_back(std::move(run));
  }
  running_.clear();
}

void ToolQueue::Output(ToolRun& run, const char* buffer, std::size_t count, bool isError) {
  // The text ends at the first NUL byte, as the list holds C strings.
  run.printed = run.printed || count > 0;
  const std::string_view text(buffer, ::strnlen(buffer, count));
  if (&run == running_.front().get())
    run.collector.CollectOutput(text, lines_, isError);
  else
    run.held.Hold(text, isError);
}

void ToolQueue::Ended(ProcessRunner& sender, const ProcessEnd& end) {
  const auto it = std::find_if(running_.begin(), running_.end(),
                               [&sender](const auto& run) { return run->runner.get() == &sender; });
  if (it == running_.end()) return; // a run the queue let go of
  ended_.clear();                   // none of them is on the call stack any more
  ToolRun& run = **it;
  run.end = end;
  if (&run != running_.front().get() && RunEnded) RunEnded(run);
  ListEndedInOrder();
}

// Lists the runs that ended, in the order they were started, each followed by what the next one
// held.
void ToolQueue::ListEndedInOrder() {
  while (!running_.empty() && running_.front()->end) {
    ended_.push_back(std::move(running_.front()));
    running_.erase(running_.begin());
    ToolRun& run = *ended_.back();
    run.collector.EndOutput(lines_);
    ReportEnd(run);
    for (const std::string& line : run.after)
      AddBuildMessage(lines_, line);
    if (RunListed) RunListed(run);
    if (running_.empty()) return;
    ListHeldOutput(*running_.front());
  }
}

// The run's turn has come: what it held is listed first, then its output as it comes.
void ToolQueue::ListHeldOutput(ToolRun& run) {
  const std::uint64_t dropped = run.held.Release([this, &run](std::string_view text, bool isError) {
    run.collector.CollectOutput(text, lines_, isError);
  });
  if (dropped > 0)
    AddBuildMessage(lines_, "[" + std::to_string(dropped) + " bytes of " + FileNameOf(run.program) +
                                "'s output were not kept: no room to hold them]");
}

// A tool that did not end by itself says so, and a compile that failed without a word is named
// by its file; a cancelled tool needs no words.
void ToolQueue::ReportEnd(const ToolRun& run) {
  if (run.cancelled) return;
  const ProcessEnd& end = *run.end;
  const std::string name = FileNameOf(run.program);
  const std::string compiling = run.source.empty() ? std::string() : " while compiling " + run.source;
  if (end.timedOut)
    AddBuildMessage(lines_, name + " ran longer than " + std::to_string(options_.timeLimit->count()) +
                                " s and was ended" + compiling);
  else if (end.signal != 0)
    AddBuildMessage(lines_, name + " ended by signal " + std::to_string(end.signal) + compiling);
  else if (end.exitStatus != 0 && !run.printed && !run.source.empty())
    AddBuildMessage(lines_, name + " exited with status " + std::to_string(end.exitStatus) +
                                " and no message" + compiling);
}
