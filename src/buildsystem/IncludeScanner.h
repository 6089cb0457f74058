// The files a C source reads as it compiles, found as the game's compiler finds them: each
// `#include "name"` in the folder of the file that holds it and then in the include folders the
// compiler is given, `#include <name>` in those folders only, through every header in turn. The
// places looked at before a header was found count too: a file appearing there would be read
// instead. Every `#include` line counts, also one inside `#if 0`: a header too many only costs a
// compile now and then.
#pragma once

#include <map>
#include <string>
#include <vector>

struct SourceDependencies {
  std::vector<std::string> files;    // the source and every header it reads, each once
  std::vector<std::string> notThere; // places looked at that held no file, each once
};

class IncludeScanner {
public:
  // Each header is read once for all the sources of one scanner.
  [[nodiscard]] SourceDependencies DependenciesOf(const std::string& source,
                                                  const std::vector<std::string>& includeFolders);

private:
  struct Include {
    std::string name;
    bool quoted = false;
  };
  const std::vector<Include>& IncludesOf(const std::string& file);

  std::map<std::string, std::vector<Include>> known_;
};

// The include folders of a compiler command line (its -I options), a relative one taken in the
// folder of `source` as the game's compiler takes it.
[[nodiscard]] std::vector<std::string> IncludeFolders(const std::string& commandLine,
                                                      const std::string& source);
