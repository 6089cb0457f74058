#include "ImageLists.h"

#include <array>

namespace {

// Each image: its picture among the program's resources and, where the freedesktop naming has
// one, the name of the desktop theme's icon for the same command, which is preferred.
struct Image {
  const char* resource;
  const char* themeName;
};

constexpr std::array<Image, ButtonImage::Count> kButtonImages{{
    {"open", "document-open"},
    {"save", "document-save"},
    {"new", "document-new"},
    {"preferences", "preferences-system"},
    {"save-all", ""},
    {"build", ""},
    {"tile-horizontal", ""},
    {"tile-vertical", ""},
    {"arrange", ""},
    {"cascade", ""},
    {"cut", "edit-cut"},
    {"copy", "edit-copy"},
    {"paste", "edit-paste"},
    {"find", "edit-find"},
    {"replace", "edit-find-replace"},
    {"delete", "edit-delete"},
    {"select-all", "edit-select-all"},
    {"undo", "edit-undo"},
    {"redo", "edit-redo"},
    {"find-in-files", ""},
    {"search-again", ""},
    {"set-active", ""},
    {"launch", "media-playback-start"},
    {"go-to-line", "go-jump"},
    {"print", "document-print"},
}};

constexpr std::array<Image, TreeViewImage::Count> kTreeImages{{
    {"tree-project", ""},
    {"tree-folder", "folder"},
    {"tree-file", "text-x-generic"},
    {"tree-workspace", ""},
    {"tree-structure", ""},
    {"tree-member", ""},
}};

template <std::size_t N> QVector<QIcon> Load(const std::array<Image, N>& images) {
  QVector<QIcon> icons;
  for (const Image& image : images) {
    const QIcon own(QStringLiteral(":/images/%1.svg").arg(QLatin1String(image.resource)));
    icons.push_back(*image.themeName ? QIcon::fromTheme(QLatin1String(image.themeName), own) : own);
  }
  return icons;
}

} // namespace

QVector<QIcon> MakeButtonImageList() { return Load(kButtonImages); }
QVector<QIcon> MakeTreeViewList() { return Load(kTreeImages); }
