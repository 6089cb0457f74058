// The errors and warnings of a build, read from its message lines as each is completed: every
// line that names a place in an existing file is one, a warning when the tool says "warning:" after
// the place, an error otherwise. Kept by file and line, in the order the tools printed them, and
// counted. However many there are, only the first kMostKept are kept (a flooding tool must not
// fill the memory); every one is counted. Lines that name no place (progress, summaries, the assembler's own
// .asm lines, whose C place follows them) are neither.
#pragma once

#include "MessageLines.h"
#include "Paths.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

enum class DiagnosticKind { Error, Warning };

struct Diagnostic {
  int line = 0;
  DiagnosticKind kind = DiagnosticKind::Error;
  std::string message; // the whole message line
  bool operator==(const Diagnostic&) const = default;
};

// What `line` of a message list is: an error or a warning at a place, or none.
[[nodiscard]] std::optional<DiagnosticKind>
KindOfMessage(const std::string& line, PathStyle style,
              const std::function<bool(const std::string&)>& isFile);

class BuildDiagnostics : private MessageLines::Watcher {
public:
  static constexpr std::size_t kMostKept = 10000;

  // `isFile` tells the files that message lines of the second form may name.
  BuildDiagnostics(MessageLines& lines, PathStyle style, std::function<bool(const std::string&)> isFile);
  ~BuildDiagnostics() override;
  BuildDiagnostics(const BuildDiagnostics&) = delete;
  BuildDiagnostics& operator=(const BuildDiagnostics&) = delete;

  [[nodiscard]] int Errors() const { return errors_; }
  [[nodiscard]] int Warnings() const { return warnings_; }
  // The errors and warnings at places of `file`, in the order they came (of the first kMostKept).
  [[nodiscard]] const std::vector<Diagnostic>& Of(const std::string& file) const;
  // The files with errors or warnings.
  [[nodiscard]] std::vector<std::string> Files() const;
  // Changes when the messages are cleared for another build; in between the lists only grow.
  [[nodiscard]] std::uint64_t Clearings() const { return clearings_; }

private:
  void LinesCleared() override;
  void LineAdded() override;

  MessageLines& lines_;
  PathStyle style_;
  std::function<bool(const std::string&)> isFile_;
  std::string placeFile_; // the file of the line being read, its buffer reused line after line
  // The file the line before named and whether it is one: a flood names the same file again and
  // again.
  std::string lastFile_;
  bool lastIsFile_ = false;
  std::map<std::string, std::vector<Diagnostic>> byFile_;
  std::size_t kept_ = 0;
  int errors_ = 0;
  int warnings_ = 0;
  std::uint64_t clearings_ = 0;
};
