// Feeds arbitrary bytes to the workspace and project readers, as a workspace file and as a
// project file that its lines may name. Reading must never crash, hang or read past the data.
#include "ProjectList.h"
#include "UserQuestions.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A scratch folder made once for the two files.
const std::filesystem::path& scratch() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessarin-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  return folder;
}

void write(const std::filesystem::path& file, const uint8_t* data, size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path folder = scratch();
  write(folder / "w.tsw", data, size);
  write(folder / "p.tsp", data, size);
  ProjectList workspace;
  try {
    workspace.LoadFromFile((folder / "w.tsw").string());
  } catch (const TessarinError&) {
  }
  Project& project = workspace.AddProject();
  project.FileName = (folder / "p.tsp").string();
  try {
    project.LoadProjectFile();
  } catch (const TessarinError&) {
  }
  for (int i = 0; i < workspace.Count(); ++i)
    if (workspace.Items(i).NextSourceFile(0) > static_cast<int>(workspace.Items(i).Files.size()))
      std::abort();
  return 0;
}
