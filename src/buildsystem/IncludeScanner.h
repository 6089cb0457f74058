// The headers a source file includes, directly or through other headers, found where the game's
// preprocessor finds them. Its rules are its own: a quoted name is looked for in the main
// source's folder (never in the folder of the header that includes it), then in each -I folder
// taken inside the main source's folder, then in every folder an earlier #include line of the
// same compile named ("../qcommon/x.h" names ../qcommon), in the order they were named; a name
// in angle brackets skips the main source's folder. Every `#include` line counts, also one
// inside `#if 0`: a header too many only costs a compile now and then.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct IncludedHeader {
  std::string path;
  // What the preprocessor read before it came to the header: the headers each of its includers
  // included before it, outermost first. Read first, they give the header its context.
  std::vector<std::string> context;
  bool operator==(const IncludedHeader&) const = default;
};

// What compiling a source reads, and where a file appearing would be read instead.
struct SourceDependencies {
  std::vector<std::string> files;    // the source and every header it reads, each once
  std::vector<std::string> notThere; // places a header was looked for in vain, each once
};

class IncludeScanner {
public:
  // Each header once, in the order the preprocessor first meets it; headers that are not found
  // are left out. `includeOptions` are the values of the compile's -I options as written.
  [[nodiscard]] std::vector<IncludedHeader> HeadersOf(const std::string& source,
                                                      const std::vector<std::string>& includeOptions);
  [[nodiscard]] SourceDependencies DependenciesOf(const std::string& source,
                                                  const std::vector<std::string>& includeOptions);

private:
  struct Include {
    std::string name;
    bool quoted = true;
  };
  // Read once per file: a header shared by hundreds of sources is scanned once.
  const std::vector<Include>& IncludesOf(const std::string& file);
  struct Walk {
    std::string mainFolder; // of the source, as the preprocessor names it
    // The folders searched after the main folder, growing with the compile's #include lines.
    std::vector<std::string> folders;
    std::set<std::string> seen;
    // For the file being read and each of its includers: the headers it included so far.
    std::vector<std::vector<std::string>> levels;
    std::vector<IncludedHeader> headers;
    std::vector<std::string> inVain; // places looked at before a header was found, or in vain
  };
  [[nodiscard]] static Walk StartWalk(const std::string& source,
                                      const std::vector<std::string>& includeOptions);
  static void AddFolder(const std::string& folder, Walk& walk);
  void Visit(const std::string& file, Walk& walk);
  // Where the preprocessor finds `include`; none when nowhere.
  static std::optional<std::string> Find(const Include& include, Walk& walk);

  std::map<std::string, std::vector<Include>> includes_;
};

// The values of a compiler command line's -I options, as written.
[[nodiscard]] std::vector<std::string> IncludeOptions(const std::string& commandLine);
