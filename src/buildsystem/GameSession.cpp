#include "GameSession.h"

#include "GameConsole.h"
#include "UserQuestions.h"

#include <csignal>
#include <cstring>
#include <ctime>

const char* const kGameNotePrefix = "Tessarin: ";

namespace {

std::string TimeOfDay() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

std::string EndText(const ProcessEnd& end) {
  if (end.signal != 0)
    return "The game was ended by signal " + std::to_string(end.signal) + " (" + strsignal(end.signal) + ")";
  return "The game exited with status " + std::to_string(end.exitStatus);
}

} // namespace

GameCommand GameCommandFor(const Settings& settings, PathStyle style) {
  GameCommand command;
  if (!settings.RunDedicatedServer) {
    command.program = settings.quake3location;
    command.parameters = settings.quake3arguments;
  } else {
    const std::string mod = ModOfOutputFolder(settings.outputlocation, style);
    command.program = settings.ServerLocation;
    command.map = settings.ServerMap;
    command.parameters = "+set dedicated 1 +set sv_pure 0" + (mod.empty() ? "" : " +set fs_game " + mod) +
                         " +set vm_game 2" + (command.map.empty() ? "" : " +map " + command.map);
  }
  command.directory = paths::ExtractFilePath(command.program, style);
  return command;
}

GameSession::GameSession(std::shared_ptr<HandOver> handOver, MessageLines::Keep keep)
    : lines_(keep), runner_(std::move(handOver)) {
  runner_.TakesInput = true;
  // A game started from the program does not outlive it.
  runner_.TerminateOnDestroy = true;
  runner_.OnData = [this](ProcessRunner&, const char* buffer, std::size_t count) {
    Output(buffer, count, false);
  };
  runner_.OnErrorData = [this](ProcessRunner&, const char* buffer, std::size_t count) {
    Output(buffer, count, true);
  };
  runner_.OnTerminated = [this](ProcessRunner&, const ProcessEnd& end) { Ended(end); };
}

void GameSession::Start(const GameCommand& command) {
  if (Running()) throw TessarinError("The game is already running");
  lines_.Clear();
  collector_ = MessageCollector();
  collector_.LineCompleted = [this](const std::string& line) { LineCompleted(line); };
  heldCaret_[0] = heldCaret_[1] = false;
  errors_ = 0;
  lastError_.clear();
  map_ = command.map;
  reloading_ = false;
  runner_.ApplicationName = command.program;
  // The program's own name leads the arguments, as a shell would pass it.
  runner_.SetParameters("\"" + command.program + "\" " + command.parameters);
  runner_.SetDirectory(command.directory);
  Note(TimeOfDay() + " Starting " + command.program + " " + command.parameters);
  try {
    runner_.Execute();
  } catch (const TessarinError& error) {
    Note(error.Message());
    SetStatus("The game could not be started");
    throw;
  }
  SetStatus("The game is running");
}

void GameSession::Send(const std::string& command) {
  if (!Running()) throw TessarinError("The game is not running");
  runner_.WriteInput(command + "\n");
  Note("] " + command);
}

bool GameSession::Reload(const std::string& pattern) {
  const std::optional<std::string> command = ReloadCommandFor(pattern, map_);
  if (!command) {
    Note("No map is loaded yet, so \"" + pattern + "\" cannot reload the modules: load one first");
    return false;
  }
  Send(*command);
  Note(TimeOfDay() + " Sent \"" + *command + "\" to reload the modules");
  reloading_ = true;
  SetStatus("Reloading the modules...");
  return true;
}

void GameSession::Stop() {
  if (Running()) runner_.Terminate(0);
}

void GameSession::Output(const char* buffer, std::size_t count, bool isError) {
  const std::string plain = StripColourCodes({buffer, count}, heldCaret_[isError ? 1 : 0]);
  collector_.CollectOutput(plain, lines_, isError);
}

void GameSession::LineCompleted(const std::string& line) {
  if (IsGameErrorLine(line)) {
    ++errors_;
    lastError_ = line;
    SetStatus(status_);
  }
  if (std::optional<std::string> map = MapStartedIn(line)) map_ = *map;
  if (reloading_ && IsModuleStartLine(line)) {
    reloading_ = false;
    // Listed right after the line that says so; the collector goes on below it.
    lines_.Add(kGameNotePrefix + TimeOfDay() + " The game is up again");
    SetStatus("The game is running");
  }
}

void GameSession::Ended(const ProcessEnd& end) {
  collector_.EndOutput(lines_);
  reloading_ = false;
  std::string text = EndText(end);
  if (!lastError_.empty()) text += "; last error: " + lastError_;
  Note(TimeOfDay() + " " + text);
  SetStatus(text);
}

// A line of the program's own, on a line of its own after whatever the game printed last.
void GameSession::Note(const std::string& text) {
  if (!lines_.Empty() && !lines_.Last().empty()) lines_.Add(std::string());
  if (lines_.Empty()) lines_.Add(std::string());
  lines_.SetLast(kGameNotePrefix + text);
  lines_.Add(std::string());
}

void GameSession::SetStatus(std::string status) {
  status_ = std::move(status);
  if (StateChanged) StateChanged();
}
