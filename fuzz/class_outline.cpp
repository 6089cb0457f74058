// Feeds arbitrary bytes to the class view's outline as the files of a project: the input is split
// into two files at its first NUL byte, each into lines at its line ends. Checks that every node
// names one of the files and a line that file has, that members hang only under structures, that
// two fresh outlines agree, and that a second pass, which carries on from the first one's scanner
// state, still gives well-formed nodes.
#include "ClassOutline.h"
#include "StoredFile.h"

#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

struct File {
  std::string path;
  std::vector<std::string> lines;
};

void CheckNode(const ClassNode& node, const std::vector<File>& files, bool member) {
  bool placed = false;
  for (const File& file : files)
    placed = placed || (node.Data.FileName == file.path && node.Data.Line >= 1 &&
                        node.Data.Line <= static_cast<int>(file.lines.size()));
  Check(placed);
  Check(!member || node.Members.empty());
  for (const ClassNode& child : node.Members)
    CheckNode(child, files, true);
}

std::vector<ClassNode> Pass(ClassOutline& outline, const std::vector<File>& files) {
  outline.Restart();
  for (const File& file : files)
    outline.ScanFile(file.path, file.lines);
  outline.Sort();
  return {outline.Nodes().begin(), outline.Nodes().end()};
}

bool SameOutline(const std::vector<ClassNode>& a, const std::vector<ClassNode>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].Caption != b[i].Caption || a[i].Data != b[i].Data || !SameOutline(a[i].Members, b[i].Members))
      return false;
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(input.find('\0'), input.size());
  const std::vector<File> files{
      {"/mod/a.h", stored_file::SplitLines(input.substr(0, split))},
      {"/mod/b.c", stored_file::SplitLines(input.substr(std::min(split + 1, size)))}};
  ClassOutline outline;
  const std::vector<ClassNode> first = Pass(outline, files);
  for (const ClassNode& node : first)
    CheckNode(node, files, false);
  const std::vector<ClassNode> second = Pass(outline, files);
  for (const ClassNode& node : second)
    CheckNode(node, files, false);
  ClassOutline fresh;
  Check(SameOutline(first, Pass(fresh, files)));
  return 0;
}
