// The headers a source file includes, directly or through other headers, found where the
// preprocessor finds them: a quoted name in the including file's folder first, then in the
// include folders; a name in angle brackets in the include folders only.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class IncludeScanner {
public:
  // Each header once, in the order the preprocessor first meets it; headers that are not found
  // are left out.
  [[nodiscard]] std::vector<std::string> HeadersOf(const std::string& source,
                                                   const std::vector<std::string>& includeFolders);

private:
  struct Include {
    std::string name;
    bool quoted = true;
  };
  // Read once per file: a header shared by hundreds of sources is scanned once.
  const std::vector<Include>& IncludesOf(const std::string& file);
  void Visit(const std::string& file, const std::vector<std::string>& includeFolders,
             std::set<std::string>& seen, std::vector<std::string>& headers);

  std::map<std::string, std::vector<Include>> includes_;
};
