// The editor's line list: splitting, the range slots and the per-operation update brackets.
#include "LineList.h"

#include "DisplayColumns.h"
#include "UserQuestions.h"

#include <algorithm>
#include <utility>

void LineList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit)
    throw TessarinError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& LineList::Get(int index) const {
  CheckIndex(index, Count());
  return lines_[static_cast<std::size_t>(index)];
}

LineRange LineList::GetObject(int index) const {
  CheckIndex(index, Count());
  return ranges_[static_cast<std::size_t>(index)];
}

void LineList::PutObject(int index, LineRange range) {
  CheckIndex(index, Count());
  ranges_[static_cast<std::size_t>(index)] = range;
}

int LineList::WidestLongLine() const { return longLines_.empty() ? 0 : longLines_.rbegin()->first; }

int LineList::LongLineCells(const std::string& text) const {
  // No character but a tab takes more cells than it has bytes.
  const std::size_t shortest = static_cast<std::size_t>(LongLine / std::max(cellRule_.tabWidth, 1));
  if (text.size() < shortest) return 0;
  if (text.size() < static_cast<std::size_t>(LongLine) && text.find('\t') == std::string::npos) return 0;
  return DisplayColumn(text, cellRule_.tabWidth, static_cast<int>(text.size()) + 1, cellRule_.encoding) - 1;
}

void LineList::CountLongLine(const std::string& text, int delta) {
  const int cells = LongLineCells(text);
  if (cells < LongLine) return;
  if ((longLines_[cells] += delta) == 0) longLines_.erase(cells);
}

void LineList::SetCellRule(CellRule rule) {
  if (rule == cellRule_) return;
  cellRule_ = rule;
  longLines_.clear();
  for (std::size_t index = 0; index < lines_.size(); ++index)
    CountLongLine(lines_[index], 1);
}

void LineList::Reserve(std::size_t count) {
  lines_.reserve(count);
  ranges_.reserve(count);
}

void LineList::AppendPlain(std::string text) {
  CountLongLine(text, 1);
  lines_.push_back(std::move(text));
  ranges_.push_back(0);
}

void LineList::BeginUpdate() {
  if (updateCount_++ == 0) Fire(OnChanging);
}

void LineList::EndUpdate() {
  if (--updateCount_ == 0) Fire(OnChange);
}

int LineList::Add(std::string text) {
  UpdateBracket bracket(*this);
  AppendPlain(std::move(text));
  Fire(OnAdded);
  return Count() - 1;
}

void LineList::AddStrings(std::vector<std::string> source) {
  UpdateBracket bracket(*this);
  Reserve(lines_.size() + source.size());
  for (std::string& line : source)
    AppendPlain(std::move(line));
  Fire(OnBulkAdded);
}

void LineList::EndLoad() {
  if (--loadDepth_ == 0 && lines_.empty()) Add("");
}

void LineList::Assign(std::vector<std::string> source) {
  ++loadDepth_;
  {
    UpdateBracket bracket(*this);
    Clear();
    AddStrings(std::move(source));
  }
  EndLoad();
}

void LineList::Clear() {
  Fire(OnCleared);
  UpdateBracket bracket(*this);
  lines_.clear();
  ranges_.clear();
  longLines_.clear();
}

void LineList::Delete(int index) {
  CheckIndex(index, Count());
  UpdateBracket bracket(*this);
  CountLongLine(lines_[static_cast<std::size_t>(index)], -1);
  if (index == 0 && lines_.size() == 1) {
    lines_[0].clear();
  } else {
    lines_.erase(static_cast<std::size_t>(index));
    ranges_.erase(static_cast<std::size_t>(index));
  }
  Fire(OnDeleted, index);
}

void LineList::Insert(int index, std::string text) {
  CheckIndex(index, Count() + 1);
  UpdateBracket bracket(*this);
  CountLongLine(text, 1);
  lines_.insert(static_cast<std::size_t>(index), std::move(text));
  ranges_.insert(static_cast<std::size_t>(index), 0);
  Fire(OnInserted, index);
}

void LineList::Put(int index, std::string text) {
  CheckIndex(index, Count());
  UpdateBracket bracket(*this);
  std::string& line = lines_[static_cast<std::size_t>(index)];
  CountLongLine(line, -1);
  CountLongLine(text, 1);
  line = std::move(text);
  Fire(OnLinePut, index);
}

std::vector<std::string_view> LineList::SplitLines(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      break;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return pieces;
}

std::vector<std::string> LineList::Strings() const {
  std::vector<std::string> result;
  result.reserve(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i)
    result.push_back(lines_[i]);
  return result;
}
