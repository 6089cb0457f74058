// The game started from the program: its console output split into lines (colour codes removed,
// errors counted), the map it loaded, commands written to its standard input, the reload of its
// modules, and its end. The game runs as a process group of its own, ended as a whole.
#pragma once

#include "MessageCollector.h"
#include "MessageLines.h"
#include "ProcessRunner.h"
#include "Settings.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// How to start the game: its program, arguments and working folder, and the map it is told to
// load (empty when it chooses).
struct GameCommand {
  std::string program;
  std::string parameters;
  std::string directory;
  std::string map;
};

// The client with the game arguments, or, with "Run as dedicated server", the server loading the
// output folder's mod as a virtual machine module on the server map.
[[nodiscard]] GameCommand GameCommandFor(const Settings& settings, PathStyle style = PathStyle::Native());

// The lines the program adds to the game's own begin with this, so that they stand apart.
extern const char* const kGameNotePrefix;

class GameSession {
public:
  explicit GameSession(std::shared_ptr<HandOver> handOver,
                       MessageLines::Keep keep = MessageLines::Keep::AllLines);
  GameSession(const GameSession&) = delete;
  GameSession& operator=(const GameSession&) = delete;

  // Empties the lines and starts the game; raises TessarinError when it cannot be started.
  void Start(const GameCommand& command);
  [[nodiscard]] bool Running() const { return runner_.Active(); }
  // Writes one console command to the game, as typed; raises TessarinError when the game does not
  // take it.
  void Send(const std::string& command);
  // Sends the reload command (`pattern`, see ReloadCommandFor) and watches for the modules to
  // start again. False, with a note, when no map is known for it.
  bool Reload(const std::string& pattern);
  // Ends the game and whatever it started.
  void Stop();

  [[nodiscard]] MessageLines& Lines() { return lines_; }
  [[nodiscard]] int Errors() const { return errors_; }
  [[nodiscard]] const std::string& LastErrorLine() const { return lastError_; }
  [[nodiscard]] const std::string& Map() const { return map_; }
  // A reload was sent and the modules have not started again yet.
  [[nodiscard]] bool Reloading() const { return reloading_; }
  // How the last game ended; none while one runs or before the first.
  [[nodiscard]] const std::optional<ProcessEnd>& End() const { return runner_.LastEnd(); }
  // The game's process group; zero when none runs.
  [[nodiscard]] pid_t ProcessGroup() const { return runner_.ProcessHandle(); }
  // One line saying how things stand: running, reloading, or how the game ended.
  [[nodiscard]] const std::string& Status() const { return status_; }

  // After every change of the state Status describes.
  std::function<void()> StateChanged;

private:
  void Output(const char* buffer, std::size_t count, bool isError);
  void LineCompleted(const std::string& line);
  void Ended(const ProcessEnd& end);
  void Note(const std::string& text);
  void SetStatus(std::string status);

  MessageLines lines_;
  MessageCollector collector_;
  ProcessRunner runner_;
  bool heldCaret_[2] = {false, false}; // per stream: output, error
  int errors_ = 0;
  std::string lastError_;
  std::string map_;
  bool reloading_ = false;
  std::string status_;
};
