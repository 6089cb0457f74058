#include "RecentList.h"

#include "Paths.h"

#include <charconv>

namespace {

const std::size_t kNone = static_cast<std::size_t>(-1);

std::int32_t decimalOrZero(const std::string& text) {
  std::int32_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return 0;
  return number;
}

bool isDecimal(const std::string& text) {
  std::int32_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

std::string storedText(const std::optional<RegistryValue>& value) {
  if (!value) return {};
  return value->IsString() ? value->Text() : std::to_string(value->Number());
}

// "path|data". Only a number after the last bar is data: a bar inside a path stays in the path.
RecentEntry parseEntry(const std::string& text) {
  std::size_t bar = text.rfind('|');
  if (bar != std::string::npos && isDecimal(text.substr(bar + 1)))
    return {text.substr(0, bar), decimalOrZero(text.substr(bar + 1))};
  return {text, 0};
}

} // namespace

RecentList::RecentList(RegistryStore& store, bool load) : store_(store) {
  if (load && SerializeList) Load();
}

RecentList::~RecentList() {
  if (SerializeList) Save();
}

std::string RecentList::Key() const {
  return "\\Software\\" + CompanyName + "\\" + ApplicationName + "\\" + OwnerName + "\\" + Section;
}

std::string RecentList::Caption(std::size_t index) const {
  // An "&" of the path is doubled, so the path shows as written and adds no access key.
  std::string path;
  for (char c : entries_[index].path)
    path += c == '&' ? "&&" : std::string(1, c);
  if (!NumberItems) return path;
  std::string number = std::to_string(index + 1) + " ";
  return (index < 8 ? "&" + number : number) + path;
}

std::size_t RecentList::Find(const std::string& path) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (paths::SameFileName(entries_[i].path, path)) return i;
  return kNone;
}

void RecentList::Changed() const {
  if (OnChange) OnChange();
}

void RecentList::AddItem(const std::string& path, std::int32_t data) {
  if (suspended_) return;
  std::size_t existing = Find(path);
  if (existing != kNone) {
    if (entries_[existing].path == path) entries_[existing].data = data;
    MoveToTop(existing);
    return;
  }
  if (MaxItems >= 0) {
    if (MaxItems == 0) return;
    while (entries_.size() >= static_cast<std::size_t>(MaxItems))
      entries_.pop_back();
  }
  // Paths are kept whole: a cut path would reopen some other file.
  entries_.push_back({path, data});
  MoveToTop(entries_.size() - 1);
}

void RecentList::MoveToTop(std::size_t index) {
  RecentEntry entry = entries_[index];
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  entries_.insert(entries_.begin(), std::move(entry));
  Changed();
}

void RecentList::Delete(std::size_t index) {
  if (index >= entries_.size()) return;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  Changed();
}

void RecentList::Click(std::size_t index) {
  if (index >= entries_.size()) return;
  const std::string path = entries_[index].path;
  bool remove = false;
  suspended_ = true;
  try {
    if (OnItemClick) OnItemClick(path, remove);
  } catch (...) {
    suspended_ = false;
    throw;
  }
  suspended_ = false;
  if (remove)
    Delete(index);
  else
    MoveToTop(index);
}

void RecentList::Load() {
  const std::string key = Key();
  if (!store_.KeyExists(RootKey, key)) return;
  std::vector<std::string> names = store_.ValueNames(RootKey, key);
  int count = 0;
  bool countFound = false;
  bool maxFound = false;
  for (const std::string& name : names) {
    if (countFound && maxFound) break;
    const std::string lower = paths::LowerCase(name);
    if (lower == "count") {
      count = decimalOrZero(storedText(store_.Value(RootKey, key, name)));
      countFound = true;
    } else if (lower == "maxfiles") {
      MaxItems = decimalOrZero(storedText(store_.Value(RootKey, key, name)));
      maxFound = true;
    }
  }
  if (count > 0) {
    for (const std::string& name : names) {
      const std::string lower = paths::LowerCase(name);
      if (lower == "count" || lower == "default" || lower == "maxfiles") continue;
      RecentEntry entry = parseEntry(storedText(store_.Value(RootKey, key, name)));
      std::size_t existing = Find(entry.path);
      if (existing != kNone)
        MoveToTop(existing);
      else
        entries_.push_back(std::move(entry));
    }
  }
  Changed();
}

void RecentList::Save() {
  const std::string key = Key();
  if (store_.KeyExists(RootKey, key)) {
    for (const std::string& name : store_.ValueNames(RootKey, key))
      if (paths::LowerCase(name) != "default") store_.DeleteValue(RootKey, key, name);
  }
  if (!store_.OpenKey(RootKey, key, true)) return;
  store_.SetString(RootKey, key, "Count", std::to_string(entries_.size()));
  store_.SetString(RootKey, key, "MaxFiles", std::to_string(MaxItems));
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const RecentEntry& entry = entries_[i];
    std::string text = entry.path;
    if (entry.data != 0) text += "|" + std::to_string(entry.data);
    store_.SetString(RootKey, key, "H" + std::to_string(i), text);
  }
}
