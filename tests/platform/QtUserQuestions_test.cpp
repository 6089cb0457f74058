// The file chooser for programs lists folders and the files the user may run, whatever the
// dialog's model knows of their permissions yet.
#include "QtUserQuestions.h"
#include "TempDir.h"

#include <QFileSystemModel>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ProgramsAndFolders, ListsFoldersAndRunnableFilesOnly) {
  TempDir dir;
  for (const char* name : {"q3lcc", "q3asm", "README.txt", "notes.c", "tools/q3cpp"})
    dir.write(name, "#!/bin/sh\n");
  for (const char* name : {"q3lcc", "q3asm"})
    std::filesystem::permissions(dir.file(name), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
  QFileSystemModel files;
  QSignalSpy loaded(&files, &QFileSystemModel::directoryLoaded);
  const QModelIndex folder = files.setRootPath(QString::fromStdString(dir.path()));
  ASSERT_TRUE(loaded.wait());
  ProgramsAndFolders programs;
  programs.setSourceModel(&files);
  QStringList listed;
  const QModelIndex shown = programs.mapFromSource(folder);
  for (int row = 0; row < programs.rowCount(shown); ++row)
    listed << programs.index(row, 0, shown).data().toString();
  listed.sort();
  EXPECT_EQ(listed, QStringList({"q3asm", "q3lcc", "tools"}));
}

} // namespace
