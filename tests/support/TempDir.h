// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <string>
#include <vector>

class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing slash.
  [[nodiscard]] const std::string& path() const { return path_; }
  // path() + "/" + name.
  [[nodiscard]] std::string file(const std::string& name) const { return path_ + "/" + name; }

  // Writes bytes exactly as given, creating folders on the way.
  std::string write(const std::string& name, const std::string& bytes) const;
  [[nodiscard]] static std::string read(const std::string& fullPath);
  // The file's lines as a language server counts them: split at LF, without a CR before it.
  [[nodiscard]] static std::vector<std::string> readLines(const std::string& fullPath);

private:
  std::string path_;
};
