// Shared by the stand-in compiler and assembler: the switches that make a tool misbehave on
// purpose (fail, crash, hang before or after its work, ignore SIGTERM, flood, tiny lines, binary
// bytes, no line end, slow chunks, a silent exit status, a child left running, an output not
// written or cut short as on a full disk, switches read from a file) and the writers that honour
// them.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace standin {

struct Switches {
  bool fail = false;         // report an error for every input and exit 1
  bool crash = false;        // die by SIGABRT before doing anything
  bool hang = false;         // sleep until killed
  bool readStdin = false;    // say whether standard input is open, then read it until it ends
  bool binary = false;       // print every byte value 0..255, NUL included, to standard error
  long flood = 0;            // print this many bytes of numbered lines to standard error first
  long tinyLines = 0;        // print this many bytes of one-letter lines to standard error first
  long noLineEnd = 0;        // print this many bytes without any line end to standard error first
  std::size_t slowChunk = 0; // write every message in chunks of this size, 20 ms apart
  long workMs = 0;           // keep the processor busy this long first, as the real tools do
  bool ignoreTerm = false;   // SIGTERM does not end it
  bool hangAfter = false;    // do the work, write the outputs, then sleep until killed
  bool background = false;   // leave a child running that sleeps until killed
  int exitStatus = 0;        // exit with this status after the work, saying nothing about it
  long warnings = 0;         // print this many "source:line: warning:" lines for each source
  bool blockWrites = false;  // write those lines in blocks of 64 KB instead of one write a line
  std::string log;           // append the path of each source compiled to this file
  bool noWrite = false;      // write no output file, and still exit 0 (a write that failed)
  long cutOutput = -1;       // write only this many bytes of each output file (a full disk)
  bool splitErrors = false;  // write an error's place and its text apart, other output between

  // Takes the "--standin-..." arguments out of `arguments`. "--standin-misbehave=FILE" adds the
  // switches FILE holds, a line each, when it exists: the command line stays the same whether
  // the tool misbehaves or not.
  static Switches Take(std::vector<std::string>& arguments) {
    Switches s;
    std::vector<std::string> rest, all;
    for (const auto& a : arguments) {
      all.push_back(a);
      if (a.rfind("--standin-misbehave=", 0) != 0) continue;
      std::FILE* file = std::fopen(a.c_str() + std::string("--standin-misbehave=").size(), "r");
      for (char line[256]; file && std::fgets(line, sizeof line, file);)
        all.push_back(std::string(line, std::strcspn(line, "\n")));
      if (file) std::fclose(file);
    }
    for (const auto& a : all) {
      auto value = [&a](const char* prefix) { return std::atol(a.c_str() + std::string(prefix).size()); };
      if (a == "--standin-fail")
        s.fail = true;
      else if (a == "--standin-crash")
        s.crash = true;
      else if (a == "--standin-hang")
        s.hang = true;
      else if (a == "--standin-stdin")
        s.readStdin = true;
      else if (a == "--standin-binary")
        s.binary = true;
      else if (a.rfind("--standin-flood=", 0) == 0)
        s.flood = value("--standin-flood=");
      else if (a.rfind("--standin-tiny=", 0) == 0)
        s.tinyLines = value("--standin-tiny=");
      else if (a.rfind("--standin-noeol=", 0) == 0)
        s.noLineEnd = value("--standin-noeol=");
      else if (a.rfind("--standin-work=", 0) == 0)
        s.workMs = value("--standin-work=");
      else if (a.rfind("--standin-slow=", 0) == 0)
        s.slowChunk = static_cast<std::size_t>(value("--standin-slow="));
      else if (a == "--standin-ignoreterm")
        s.ignoreTerm = true;
      else if (a == "--standin-hang-after")
        s.hangAfter = true;
      else if (a == "--standin-background")
        s.background = true;
      else if (a.rfind("--standin-exit=", 0) == 0)
        s.exitStatus = static_cast<int>(value("--standin-exit="));
      else if (a == "--standin-block-writes")
        s.blockWrites = true;
      else if (a == "--standin-split-errors")
        s.splitErrors = true;
      else if (a.rfind("--standin-log=", 0) == 0)
        s.log = a.substr(std::string("--standin-log=").size());
      else if (a.rfind("--standin-misbehave=", 0) == 0)
        continue;
      else if (a == "--standin-nowrite")
        s.noWrite = true;
      else if (a.rfind("--standin-cut=", 0) == 0)
        s.cutOutput = value("--standin-cut=");
      else if (a.rfind("--standin-warnings=", 0) == 0)
        s.warnings = value("--standin-warnings=");
      else
        rest.push_back(a);
    }
    arguments = rest;
    return s;
  }
};

inline Switches& Active() {
  static Switches switches;
  return switches;
}

inline void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n <= 0) return;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

inline void Emit(int fd, const std::string& text) {
  const std::size_t chunk = Active().slowChunk;
  if (chunk == 0) return WriteAll(fd, text.data(), text.size());
  for (std::size_t at = 0; at < text.size(); at += chunk) {
    WriteAll(fd, text.data() + at, std::min(chunk, text.size() - at));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

inline void Err(const std::string& text) { Emit(STDERR_FILENO, text); }
inline void Out(const std::string& text) { Emit(STDOUT_FILENO, text); }

// Carries out the switches that act before the tool's own work.
inline void ActBeforeWork() {
  const Switches& s = Active();
  if (s.ignoreTerm) std::signal(SIGTERM, SIG_IGN);
  const auto busyUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(s.workMs);
  while (std::chrono::steady_clock::now() < busyUntil) {
  }
  if (s.crash) std::abort();
  if (s.hang)
    for (;;)
      ::pause();
  if (s.readStdin) {
    // Open means nothing to read yet and no end: a read would wait.
    pollfd input{STDIN_FILENO, POLLIN, 0};
    Err(::poll(&input, 1, 0) == 0 ? "standard input open\n" : "standard input at end\n");
    char buffer[256];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
  }
  if (s.binary) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
      bytes += static_cast<char>(i);
    WriteAll(STDERR_FILENO, bytes.data(), bytes.size());
  }
  auto repeat = [](const std::string& block, long bytes) {
    for (long left = bytes; left > 0; left -= static_cast<long>(block.size()))
      WriteAll(STDERR_FILENO, block.data(), static_cast<std::size_t>(std::min<long>(left, block.size())));
  };
  repeat(std::string(4096, 'x'), s.noLineEnd);
  std::string tiny;
  for (int i = 0; i < 2048; ++i)
    tiny += "x\n";
  repeat(tiny, s.tinyLines);
  if (s.flood > 0) {
    long written = 0;
    char line[64];
    for (long n = 1; written < s.flood; ++n) {
      const int size = std::snprintf(line, sizeof line, "flood line %09ld\n", n);
      const long take = std::min<long>(size, s.flood - written);
      WriteAll(STDERR_FILENO, line, static_cast<std::size_t>(take));
      written += take;
    }
  }
}

// Carries out the switches that act after the tool's work; returns the exit status.
inline int ActAfterWork(int status) {
  const Switches& s = Active();
  if (s.background && ::fork() == 0)
    for (;;)
      ::pause();
  if (s.hangAfter)
    for (;;)
      ::pause();
  return s.exitStatus != 0 ? s.exitStatus : status;
}

// Lines in the form of the compiler's warnings, written the way the real tool writes its
// messages, one write per line, or in blocks as a tool writing through a full stdio buffer does.
inline void Warnings(const std::string& source) {
  constexpr std::size_t kBlock = 64 * 1024;
  std::string block;
  for (long line = 1; line <= Active().warnings; ++line) {
    block += source + ":" + std::to_string(line) + ": warning: missing return value\n";
    if (!Active().blockWrites || block.size() >= kBlock || line == Active().warnings) {
      WriteAll(STDERR_FILENO, block.data(), block.size());
      block.clear();
    }
  }
}

// Writes an output file as the real tools do, who never check their writes: --standin-nowrite
// and --standin-cut leave no file or a cut one, and the tool goes on as if all was well.
inline void WriteOutput(const std::string& path, const std::string& content) {
  const Switches& s = Active();
  if (s.noWrite) return;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  const std::size_t size =
      s.cutOutput >= 0 ? std::min(content.size(), static_cast<std::size_t>(s.cutOutput)) : content.size();
  std::fwrite(content.data(), 1, size, file);
  std::fclose(file);
}

inline std::string ReadFile(const std::string& path, bool& found) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  found = file != nullptr;
  std::string content;
  if (!file) return content;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    content.append(buffer, n);
  std::fclose(file);
  return content;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
    } else if (c != '\r') {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

} // namespace standin
