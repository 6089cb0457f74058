// The workspace model: an ordered list of projects, each a named list of files with a project
// file on disk. Plain classes: the workspace tree (ProjectTree.h) maps its nodes to them.
#pragma once

#include <memory>
#include <string>
#include <vector>

class ProjectList;

struct ProjectFile {
  std::string Path; // full path
};

class Project {
public:
  explicit Project(ProjectList* owner) : Owner(owner) {}
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  std::string FileName; // the project file (.tsp)
  std::string Name;     // tree caption and base name of the built .qvm
  std::vector<ProjectFile> Files;
  ProjectList* Owner;

  // Index of the first entry at `start` or later whose extension is ".c" in any case; the
  // number of entries when there is none.
  [[nodiscard]] int NextSourceFile(int start) const;
  // Orders the files by file name, byte by byte (upper case first), keeping the order of equal
  // names: the order the tree shows and the project is saved and built in, by the window and the
  // command-line build alike. Files are kept in it as they are read and added.
  void SortFiles();
  // Adds a file at its place in that order, after the files of the same name; its index.
  int AddFile(const std::string& path);

  // Appends the SOURCE= paths of the file named by FileName (.tsp or .dsp), then sorts the files.
  // Raises TessarinError "Cannot open file %s".
  void LoadProjectFile();
  // Writes FileName; raises TessarinError "Cannot create file %s". The old file survives a
  // failed write.
  void SaveProjectFile() const;
};

class ProjectList {
public:
  ProjectList() = default;
  ProjectList(const ProjectList&) = delete;
  ProjectList& operator=(const ProjectList&) = delete;

  std::vector<std::unique_ptr<Project>> Projects;
  bool Modified = false;
  Project* ActiveProject = nullptr; // not owned; none or one of Projects

  [[nodiscard]] int Count() const { return static_cast<int>(Projects.size()); }
  [[nodiscard]] Project& Items(int i) const { return *Projects[static_cast<std::size_t>(i)]; }
  // Index of `item` in Projects, or -1.
  [[nodiscard]] int IndexOf(const Project* item) const;

  // Appends an empty project; touches neither Modified nor ActiveProject.
  Project& AddProject();
  // Destroys the project at `i`; drops it as the active project. Modified is untouched.
  void DeleteProject(int i);
  // Modified false, then every project deleted, last first.
  void Clear();
  // Modified true, then every entry that is `item` deleted.
  void RemoveProject(const Project* item);

  // Replaces the content by the workspace in `path` (.tsw or .dsw); the first project read
  // becomes active. Raises TessarinError "Cannot open file %s", or one naming the line of a
  // project or source line that cannot be read, keeping what was read so far.
  void LoadFromFile(const std::string& path);
  // Writes every project file, then the workspace file. Modified becomes false only when all
  // of it was written; raises TessarinError "Cannot create file %s" otherwise, and writes nothing
  // when a name or path cannot be stored (ProjectNameProblem, StoredPathProblem).
  void SaveToFile(const std::string& path);
};

// What keeps `name` from being a project's name, or empty when nothing does: a workspace file ends
// the name at a double quote and its line at a line break, and the module "<name>.qvm" with its
// backup "<name>.~qvm" must fit a file name.
[[nodiscard]] std::string ProjectNameProblem(const std::string& name);
// What keeps `path` from being stored in a workspace or project file, or empty when nothing does:
// a line break or NUL would end its line, and no real file has a longer path than the system's
// limit.
[[nodiscard]] std::string StoredPathProblem(const std::string& path);
