#include "ProjectList.h"

#include <gtest/gtest.h>

namespace {

void addFiles(Project& project, std::initializer_list<const char*> paths) {
  for (const char* path : paths)
    project.Files.push_back({path});
}

} // namespace

TEST(ProjectList, ClearAndRemoveKeepActiveAndModifiedConsistent) {
  ProjectList list;
  Project& first = list.AddProject();
  Project& second = list.AddProject();
  EXPECT_FALSE(list.Modified); // adding leaves Modified to the command
  EXPECT_EQ(first.Owner, &list);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(&list.Items(1), &second);

  list.ActiveProject = &second;
  list.RemoveProject(&second);
  EXPECT_TRUE(list.Modified);
  EXPECT_EQ(list.ActiveProject, nullptr); // no other project is chosen
  EXPECT_EQ(list.Count(), 1);

  list.ActiveProject = &first;
  list.Clear();
  EXPECT_FALSE(list.Modified);
  EXPECT_EQ(list.ActiveProject, nullptr);
  EXPECT_EQ(list.Count(), 0);
}

TEST(ProjectList, DeleteProjectKeepsOtherActiveAndModified) {
  ProjectList list;
  list.AddProject().Name = "a";
  Project& b = list.AddProject();
  list.ActiveProject = &b;
  list.DeleteProject(0);
  EXPECT_EQ(list.ActiveProject, &b);
  EXPECT_FALSE(list.Modified);
  EXPECT_EQ(list.IndexOf(&b), 0);
  EXPECT_EQ(list.IndexOf(nullptr), -1);
}

TEST(ProjectList, NextSourceFileWalksCSourcesOnly) {
  ProjectList list;
  Project& project = list.AddProject();
  EXPECT_EQ(project.NextSourceFile(0), 0);
  addFiles(project, {"/m/a.h", "/m/b.C", "/m/c.c"});
  EXPECT_EQ(project.NextSourceFile(0), 1);
  EXPECT_EQ(project.NextSourceFile(2), 2);
  EXPECT_EQ(project.NextSourceFile(3), 3);
  EXPECT_EQ(project.NextSourceFile(7), 3);

  Project& other = list.AddProject();
  addFiles(other, {"/m/x.cpp", "/m/x.c~", "/m/dir.c/readme", "/m/noext", "D:\\src\\g_main.c"});
  EXPECT_EQ(other.NextSourceFile(0), 4); // a path kept from Windows still counts by its name
}
