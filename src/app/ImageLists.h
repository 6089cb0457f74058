// The two 18 x 18 image lists of the main window, SVG pictures among the program's resources
// (the desktop theme's icon first where it has one): the action images
// (`ButtonImages`) and the tree images (`TreeImages`).
#pragma once

#include <QIcon>
#include <QVector>

namespace ButtonImage {
enum : int {
  Open = 0,
  Save = 1,
  New = 2,
  Preferences = 3,
  SaveAll = 4,
  Build = 5,
  TileHorizontal = 6,
  TileVertical = 7,
  Arrange = 8,
  Cascade = 9,
  Cut = 10,
  Copy = 11,
  Paste = 12,
  Find = 13,
  Replace = 14,
  Delete = 15,
  SelectAll = 16,
  Undo = 17,
  Redo = 18,
  FindInFiles = 19,
  SearchAgain = 20,
  SetActive = 21,
  Launch = 22,
  GotoLine = 23,
  Print = 24,
  Count = 25
};
} // namespace ButtonImage

namespace TreeViewImage {
enum : int { Project = 0, Folder = 1, File = 2, Root = 3, Structure = 4, Member = 5, Count = 6 };
} // namespace TreeViewImage

constexpr int kImageSize = 18;

[[nodiscard]] QVector<QIcon> MakeButtonImageList();
[[nodiscard]] QVector<QIcon> MakeTreeViewList();
