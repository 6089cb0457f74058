// Gutter marks and the list that owns them: the ten numbered bookmarks are marks with a number.
// The list watches its document to keep marks on their lines as lines come and go, and tells its
// owner which gutter lines to repaint.
#pragma once

#include "DocumentWatcher.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class MarkList;

class Mark {
public:
  // A bookmark for 0 ... 9; a plain mark for a negative number.
  explicit Mark(int number = -1) : number_(number) {}
  Mark(const Mark&) = delete;
  Mark& operator=(const Mark&) = delete;

  // The list holding this mark; nullptr before it is added.
  [[nodiscard]] MarkList* Owner() const { return owner_; }

  [[nodiscard]] int Line() const { return line_; }
  void SetLine(int line);
  [[nodiscard]] int Column() const { return column_; }
  void SetColumn(int column) { column_ = column; }
  [[nodiscard]] int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int imageIndex);
  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Draw the built-in numbered glyph rather than one from the editor's image list.
  [[nodiscard]] bool InternalImage() const { return internalImage_; }
  void SetInternalImage(bool internalImage);

  [[nodiscard]] int Number() const { return number_; }
  [[nodiscard]] bool IsBookmark() const { return number_ >= 0; }

private:
  friend class MarkList;
  void RepaintLine(int line) const;

  MarkList* owner_ = nullptr;
  int line_ = 0;
  int column_ = 1;
  int imageIndex_ = 0;
  bool visible_ = false;
  bool internalImage_ = false;
  int number_;
};

class MarkList : public DocumentWatcher {
public:
  static constexpr int BookmarkCount = 10;
  // The most marks reported for one line.
  static constexpr int MaxMarksOnLine = 16;

  MarkList() = default;
  MarkList(const MarkList&) = delete;
  MarkList& operator=(const MarkList&) = delete;

  // Fired when a mark is added or removed: the whole gutter wants repainting.
  std::function<void()> OnChange;
  // Fired with a line whose gutter glyphs changed.
  std::function<void(int line)> OnLineChanged;

  Mark& Add(std::unique_ptr<Mark> mark);
  // Frees the mark.
  void Remove(Mark& mark);
  [[nodiscard]] int Count() const { return static_cast<int>(marks_.size()); }
  [[nodiscard]] Mark& operator[](int index) const { return *marks_[static_cast<std::size_t>(index)]; }

  // Bookmark `number`, or nullptr when it is not set or the number is not 0 ... 9.
  [[nodiscard]] Mark* BookMark(int number) const;
  // Stores a bookmark in its slot: it replaces the bookmark of the same number and every other
  // bookmark on its line.
  Mark& PlaceBookMark(std::unique_ptr<Mark> bookmark);
  void ClearBookMark(int number);

  // Up to MaxMarksOnLine marks on `line`, in list order.
  [[nodiscard]] std::vector<Mark*> MarksOnLine(int line) const;
  // The mark whose glyph lies under gutter position `x` of `line`, glyphs being `xOffset` apart;
  // nullptr when `x` lies beyond them all.
  [[nodiscard]] Mark* MarkAt(int line, int x, int xOffset) const;
  // The lines of the ten bookmarks, 0 for those not set.
  [[nodiscard]] std::array<int, BookmarkCount> BookmarkLines() const;
  // Moves the bookmarks that are set to the lines given for them (0: left where it is), at most to
  // `lastLine`.
  void MoveBookmarks(const std::array<int, BookmarkCount>& lines, int lastLine);

  // Keeps marks on their lines, every move going through Mark::SetLine: a line inserted pushes
  // down the marks on it and below; the marks of a line that goes join the line before it (the
  // line its text was joined to), and the later marks move up.
  void LinesChanged(const LineChange& change) override;

private:
  friend class Mark;
  void LineChanged(int line) const;

  std::vector<std::unique_ptr<Mark>> marks_;
  std::array<Mark*, BookmarkCount> bookmarks_{};
};

// How bookmarks show and whether their keys work.
struct BookmarkOptions {
  std::function<void()> OnChange;
  [[nodiscard]] bool EnableKeys() const { return enableKeys_; }
  [[nodiscard]] bool GlyphsVisible() const { return glyphsVisible_; }
  [[nodiscard]] int LeftMargin() const { return leftMargin_; }
  [[nodiscard]] int Xoffset() const { return xOffset_; }
  void SetEnableKeys(bool value) { Set(enableKeys_, value); }
  void SetGlyphsVisible(bool value) { Set(glyphsVisible_, value); }
  void SetLeftMargin(int value) { Set(leftMargin_, value); }
  void SetXoffset(int value) { Set(xOffset_, value); }

private:
  template <typename T> void Set(T& member, T value) {
    if (member == value) return;
    member = value;
    if (OnChange) OnChange();
  }
  bool enableKeys_ = true;
  bool glyphsVisible_ = true;
  int leftMargin_ = 2;
  int xOffset_ = 12;
};
