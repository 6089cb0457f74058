// The headers a source file includes, directly or through other headers, found where the
// preprocessor finds them: a quoted name in the including file's folder first, then in the
// include folders; a name in angle brackets in the include folders only. Every `#include` line
// counts, also one inside `#if 0`: a header too many only costs a compile now and then.
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
  // are left out.
  [[nodiscard]] std::vector<IncludedHeader> HeadersOf(const std::string& source,
                                                      const std::vector<std::string>& includeFolders);
  [[nodiscard]] SourceDependencies DependenciesOf(const std::string& source,
                                                  const std::vector<std::string>& includeFolders);

private:
  struct Include {
    std::string name;
    bool quoted = true;
  };
  // Read once per file: a header shared by hundreds of sources is scanned once.
  const std::vector<Include>& IncludesOf(const std::string& file);
  struct Walk {
    const std::vector<std::string>& includeFolders;
    std::set<std::string> seen;
    // For the file being read and each of its includers: the headers it included so far.
    std::vector<std::vector<std::string>> levels;
    std::vector<IncludedHeader> headers;
    std::vector<std::string> inVain; // places looked at before a header was found, or in vain
  };
  void Visit(const std::string& file, Walk& walk);
  // Where the preprocessor finds `include` of the file in `folder`; none when nowhere.
  std::optional<std::string> Find(const Include& include, const std::string& folder, Walk& walk);

  std::map<std::string, std::vector<Include>> includes_;
};

// The include folders of a compiler command line (its -I options), a relative one taken in the
// folder of `source` as the game's compiler takes it.
[[nodiscard]] std::vector<std::string> IncludeFolders(const std::string& commandLine,
                                                      const std::string& source);
