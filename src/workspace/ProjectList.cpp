// The workspace model's list operations.
#include "ProjectList.h"

#include "WorkspacePaths.h"

#include <algorithm>

int Project::NextSourceFile(int start) const {
  const int count = static_cast<int>(Files.size());
  for (int i = start < 0 ? 0 : start; i < count; ++i)
    if (IsCSource(Files[static_cast<std::size_t>(i)].Path)) return i;
  return count;
}

namespace {

bool NameOrder(const ProjectFile& a, const ProjectFile& b) { return FileNameOf(a.Path) < FileNameOf(b.Path); }

} // namespace

void Project::SortFiles() { std::stable_sort(Files.begin(), Files.end(), NameOrder); }

int Project::AddFile(const std::string& path) {
  const ProjectFile file{path};
  const auto at = Files.insert(std::upper_bound(Files.begin(), Files.end(), file, NameOrder), file);
  return static_cast<int>(at - Files.begin());
}

int ProjectList::IndexOf(const Project* item) const {
  for (int i = 0; i < Count(); ++i)
    if (Projects[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

Project& ProjectList::AddProject() {
  Projects.push_back(std::make_unique<Project>(this));
  return *Projects.back();
}

void ProjectList::DeleteProject(int i) {
  if (ActiveProject == Projects[static_cast<std::size_t>(i)].get()) ActiveProject = nullptr;
  Projects.erase(Projects.begin() + i);
}

void ProjectList::Clear() {
  Modified = false;
  for (int i = Count() - 1; i >= 0; --i)
    DeleteProject(i);
}

void ProjectList::RemoveProject(const Project* item) {
  Modified = true;
  for (int i = Count() - 1; i >= 0; --i)
    if (Projects[static_cast<std::size_t>(i)].get() == item) DeleteProject(i);
}
