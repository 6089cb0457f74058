// The editor's text: a list of byte lines, each with a slot for the highlighter range in force at
// its start, reporting every change to its owner so ranges and the screen can follow.
#pragma once

#include "GapVector.h"
#include "TextEncoding.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using LineRange = std::uint8_t;

class LineList {
public:
  using NotifyEvent = std::function<void()>;
  using IndexEvent = std::function<void(int index)>;

  LineList() = default;
  LineList(const LineList&) = delete;
  LineList& operator=(const LineList&) = delete;

  NotifyEvent OnAdded;     // after Add appended a line
  NotifyEvent OnCleared;   // before Clear removes everything
  IndexEvent OnDeleted;    // after a line was deleted (or emptied, being the only one)
  IndexEvent OnInserted;   // after a line was inserted
  IndexEvent OnLinePut;    // after a line's text was replaced
  NotifyEvent OnBulkAdded; // after AddStrings or a load added many lines at once
  NotifyEvent OnChanging;  // an update bracket opened (0 -> 1)
  NotifyEvent OnChange;    // the update bracket closed (1 -> 0)

  // Lines at least this many screen cells wide are long lines.
  static constexpr int LongLine = 1024;
  // How a line's bytes take screen cells: the views' tab width and the encoding they read in.
  struct CellRule {
    int tabWidth = 8;
    TextEncoding encoding = TextEncoding::Windows1252;
    bool operator==(const CellRule&) const = default;
  };

  [[nodiscard]] int Count() const { return static_cast<int>(lines_.size()); }
  // The cells of the widest line when that is a long line, else 0. Kept up to date as lines
  // change, so asking costs nothing.
  [[nodiscard]] int WidestLongLine() const;
  [[nodiscard]] CellRule Cells() const { return cellRule_; }
  // Counts the long lines again by `rule`.
  void SetCellRule(CellRule rule);
  [[nodiscard]] const std::string& Get(int index) const;
  [[nodiscard]] const std::string& operator[](int index) const { return Get(index); }
  [[nodiscard]] LineRange GetObject(int index) const;
  void PutObject(int index, LineRange range);

  int Add(std::string text);
  // Both take the lines over: pass an rvalue to move them in rather than copy them.
  void AddStrings(std::vector<std::string> source);
  void Assign(std::vector<std::string> source);
  void Clear();
  void Delete(int index);
  void Insert(int index, std::string text);
  void Put(int index, std::string text);

  [[nodiscard]] std::vector<std::string> Strings() const;

  void BeginUpdate();
  void EndUpdate();

  // The lines of a text: split at CR, LF and CR LF; a NUL is text like any other byte.
  [[nodiscard]] static std::vector<std::string_view> SplitLines(std::string_view text);

private:
  void CheckIndex(int index, int limit) const;
  void Reserve(std::size_t count);
  void AppendPlain(std::string text);
  // Counts a line's text in (`delta` 1) or out (-1) of the long lines.
  void CountLongLine(const std::string& text, int delta);
  // The screen cells of a line that may be a long line, else 0 (cheap for short lines).
  [[nodiscard]] int LongLineCells(const std::string& text) const;
  // Load depth - 1; the outermost load leaves at least one line.
  void EndLoad();
  static void Fire(const NotifyEvent& event) {
    if (event) event();
  }
  static void Fire(const IndexEvent& event, int index) {
    if (event) event(index);
  }

  GapVector<std::string> lines_;
  // Beside lines_, index for index: a range apart keeps each line's record at a string's size.
  GapVector<LineRange> ranges_;
  // How many long lines there are of each width in cells.
  std::map<int, int> longLines_;
  CellRule cellRule_;
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
