// Where the build tools are found: on the search path, else in ~/.local/bin (where the tools go
// before a new login puts that folder on the search path), else beside this program.
#include "Settings.h"
#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Sets an environment variable for the life of the object.
class ScopedVariable {
public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

private:
  const char* name_;
  std::optional<std::string> old_;
};

} // namespace

TEST(FindProgram, LooksOnThePathThenInLocalBinThenBesideTheProgram) {
  TempDir dir;
  const std::string local = dir.write("home/.local/bin/tessarin-test-tool", "#!/bin/sh\n");
  const std::string onPath = dir.write("path/tessarin-test-tool", "#!/bin/sh\n");
  for (const std::string& tool : {local, onPath})
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
  ScopedVariable home("HOME", dir.file("home"));
  {
    ScopedVariable path("PATH", dir.file("path"));
    EXPECT_EQ(FindProgram("tessarin-test-tool"), onPath);
  }
  ScopedVariable path("PATH", dir.file("nowhere"));
  EXPECT_EQ(FindOnSearchPath("tessarin-test-tool"), "");
  EXPECT_EQ(FindProgram("tessarin-test-tool"), local);
  std::filesystem::permissions(local, std::filesystem::perms::owner_read);
  EXPECT_EQ(FindProgram("tessarin-test-tool"), "") << "a file that cannot run is no program";
  const auto self = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(FindProgram(self.filename().string()), self.string());
}
