// The workspace model's list operations.
#include "ProjectList.h"

#include "WorkspacePaths.h"

#include <algorithm>

int TProjectItem::NextSourceFile(int start) const {
  const int count = static_cast<int>(Files.size());
  for (int i = start < 0 ? 0 : start; i < count; ++i)
    if (IsCSource(Files[static_cast<std::size_t>(i)].Path)) return i;
  return count;
}

namespace {

bool NameOrder(const TProjectFile& a, const TProjectFile& b) {
  return FileNameOf(a.Path) < FileNameOf(b.Path);
}

} // namespace

void TProjectItem::SortFiles() { std::stable_sort(Files.begin(), Files.end(), NameOrder); }

int TProjectItem::AddFile(const std::string& path) {
  const TProjectFile file{path};
  const auto at = Files.insert(std::upper_bound(Files.begin(), Files.end(), file, NameOrder), file);
  return static_cast<int>(at - Files.begin());
}

int TProjectList::IndexOf(const TProjectItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (Projects[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

TProjectItem& TProjectList::AddProject() {
  Projects.push_back(std::make_unique<TProjectItem>(this));
  return *Projects.back();
}

void TProjectList::DeleteProject(int i) {
  if (ActiveProject == Projects[static_cast<std::size_t>(i)].get()) ActiveProject = nullptr;
  Projects.erase(Projects.begin() + i);
}

void TProjectList::Clear() {
  Modified = false;
  for (int i = Count() - 1; i >= 0; --i)
    DeleteProject(i);
}

void TProjectList::RemoveProject(const TProjectItem* item) {
  Modified = true;
  for (int i = Count() - 1; i >= 0; --i)
    if (Projects[static_cast<std::size_t>(i)].get() == item) DeleteProject(i);
}
