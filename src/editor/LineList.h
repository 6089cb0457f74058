// The editor's text: a list of byte lines, each with a slot for the highlighter range in force at
// its start, reporting every change to its owner so ranges and the screen can follow.
#pragma once

#include "GapVector.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using LineRange = std::uint8_t;

class LineList {
public:
  using TNotifyEvent = std::function<void()>;
  using TIndexEvent = std::function<void(int index)>;

  LineList() = default;
  LineList(const LineList&) = delete;
  LineList& operator=(const LineList&) = delete;

  TNotifyEvent OnAdded;        // after Add appended a line
  TNotifyEvent OnCleared;      // before Clear removes everything
  TIndexEvent OnDeleted;       // after a line was deleted (or emptied, being the only one)
  TIndexEvent OnInserted;      // after a line was inserted
  TNotifyEvent OnTextReplaced; // after SetTextStr replaced the whole text
  TIndexEvent OnLinePut;       // after a line's text was replaced
  TNotifyEvent OnBulkAdded;    // after AddStrings or a load added many lines at once
  TNotifyEvent OnChanging;     // an update bracket opened (0 -> 1)
  TNotifyEvent OnChange;       // the update bracket closed (1 -> 0)

  // Lines at least this long are long lines.
  static constexpr int LongLine = 1024;

  [[nodiscard]] int Count() const { return static_cast<int>(lines_.size()); }
  // The length of the longest line when that is a long line, else 0. Kept up to date as lines
  // change, so asking costs nothing.
  [[nodiscard]] int LongestLongLine() const;
  [[nodiscard]] const std::string& Get(int index) const;
  [[nodiscard]] const std::string& operator[](int index) const { return Get(index); }
  [[nodiscard]] LineRange GetObject(int index) const;
  void PutObject(int index, LineRange range);
  [[nodiscard]] int IndexOf(std::string_view text) const;

  int Add(std::string text);
  // Both take the lines over: pass an rvalue to move them in rather than copy them.
  void AddStrings(std::vector<std::string> source);
  void Assign(std::vector<std::string> source);
  void Assign(const LineList& source);
  void Clear();
  void Delete(int index);
  void Insert(int index, std::string text);
  void Put(int index, std::string text);
  void Exchange(int index1, int index2);
  void Move(int fromIndex, int toIndex);

  // Splits at CR, LF and CR LF; a NUL ends the text.
  void SetTextStr(std::string_view text);
  // Every line followed by CR LF, the last one included.
  [[nodiscard]] std::string GetTextStr() const;
  [[nodiscard]] std::vector<std::string> Strings() const;

  // Reads from the stream's position to its end. A failing read throws after the list is whole
  // again (bracket closed, at least one line).
  void LoadFromStream(std::istream& stream);
  void LoadFromFile(const std::string& path);
  void SaveToStream(std::ostream& stream) const;
  // Writes atomically, so a failed save leaves the old file intact. Throws TessarinError.
  void SaveToFile(const std::string& path) const;

  void BeginUpdate();
  void EndUpdate();
  [[nodiscard]] bool Updating() const { return updateCount_ > 0; }

  // The lines of a text as SetTextStr splits them.
  [[nodiscard]] static std::vector<std::string_view> SplitLines(std::string_view text);

private:
  void CheckIndex(int index, int limit) const;
  void Reserve(std::size_t count);
  void AppendPlain(std::string text);
  // Counts a line's text in (`delta` 1) or out (-1) of the long lines.
  void CountLongLine(const std::string& text, int delta);
  // Load depth - 1; the outermost load leaves at least one line.
  void EndLoad();
  static void Fire(const TNotifyEvent& event) {
    if (event) event();
  }
  static void Fire(const TIndexEvent& event, int index) {
    if (event) event(index);
  }

  GapVector<std::string> lines_;
  // Beside lines_, index for index: a range apart keeps each line's record at a string's size.
  GapVector<LineRange> ranges_;
  // How many long lines there are of each length.
  std::map<std::size_t, int> longLines_;
  int updateCount_ = 0;
  int loadDepth_ = 0;
};

// Keeps a list's update bracket open for a scope, so that several changes are one operation, also
// when an exception passes.
class UpdateBracket {
public:
  explicit UpdateBracket(LineList& list) : list_(list) { list_.BeginUpdate(); }
  ~UpdateBracket() { list_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  LineList& list_;
};
