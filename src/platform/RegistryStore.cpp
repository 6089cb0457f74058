// File layout (one key per section, values in their order):
//   [HKEY_CURRENT_USER\software\Tessarin\setup]
//   "quake3location"="c:\\quake3\\quake3.exe"
//   "EditorFontSize"=dword:0000000a
#include "RegistryStore.h"

#include "AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace {

const char* const kRootNames[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT"};

std::string folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return text;
}

// "\Software\Id\" and "Software\Id" name the same key.
std::string trimmedKey(const std::string& key) {
  std::size_t first = key.find_first_not_of('\\');
  if (first == std::string::npos) return {};
  std::size_t last = key.find_last_not_of('\\');
  return key.substr(first, last - first + 1);
}

std::string fullKeyName(RegistryRoot root, const std::string& key) {
  std::string trimmed = trimmedKey(key);
  std::string name = kRootNames[static_cast<int>(root)];
  if (!trimmed.empty()) name += "\\" + trimmed;
  return name;
}

const char kHex[] = "0123456789abcdef";

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Reads a quoted text starting at `pos` (at the opening quote); advances `pos` past the closing one.
std::optional<std::string> unquoted(const std::string& line, std::size_t& pos) {
  if (pos >= line.size() || line[pos] != '"') return std::nullopt;
  std::string out;
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++pos >= line.size()) return std::nullopt;
    if (line[pos] == 'x') {
      if (pos + 2 >= line.size()) return std::nullopt;
      int high = hexDigit(line[pos + 1]), low = hexDigit(line[pos + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      out += static_cast<char>(high * 16 + low);
      pos += 2;
    } else {
      out += line[pos];
    }
  }
  return std::nullopt;
}

std::string sectionHeader(const std::string& keyName) {
  std::string out = "[";
  for (unsigned char c : keyName) {
    if (c < 0x20 || c == ']' || c == '%' || c == 0x7f) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "]";
}

std::optional<std::string> sectionName(const std::string& line) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    if (line[i] != '%') {
      out += line[i];
      continue;
    }
    if (i + 3 >= line.size()) return std::nullopt;
    int high = hexDigit(line[i + 1]), low = hexDigit(line[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::optional<std::int32_t> dword(const std::string& text) {
  if (text.size() != 8) return std::nullopt;
  std::uint32_t number = 0;
  for (char c : text) {
    int digit = hexDigit(c);
    if (digit < 0) return std::nullopt;
    number = number * 16 + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(number);
}

bool rootKnown(const std::string& keyName) {
  std::string root = keyName.substr(0, keyName.find('\\'));
  return std::find(std::begin(kRootNames), std::end(kRootNames), root) != std::end(kRootNames);
}

} // namespace

const char* registryRootName(RegistryRoot root) { return kRootNames[static_cast<int>(root)]; }

RegistryStore::RegistryStore(std::string filePath) : path_(std::move(filePath)) {}

std::string RegistryStore::DefaultFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config != nullptr && *config == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home != nullptr ? home : "") + "/.config";
  }
  return folder + "/Tessarin/registry";
}

std::string RegistryStore::Load() {
  keys_.clear();
  pending_.clear();
  std::string content;
  std::string error;
  if (!ReadFileIfPresent(path_, content, error)) return error;
  return Parse(content, keys_);
}

std::string RegistryStore::Parse(const std::string& content, KeyMap& keys) {
  std::istringstream lines(content);
  std::string line;
  std::string firstProblem;
  Key* current = nullptr;
  int lineNumber = 0;
  auto problem = [&](const char* what) {
    if (firstProblem.empty()) firstProblem = "line " + std::to_string(lineNumber) + ": " + what;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      std::optional<std::string> name = sectionName(line);
      current = nullptr;
      if (!name || !rootKnown(*name)) {
        problem("not a key");
        continue;
      }
      Key& key = keys[folded(*name)];
      if (key.name.empty()) key.name = *name;
      current = &key;
      continue;
    }
    std::size_t pos = 0;
    std::optional<std::string> name = unquoted(line, pos);
    if (!current || !name || pos >= line.size() || line[pos] != '=') {
      problem("not a value");
      continue;
    }
    ++pos;
    RegistryValue value;
    if (line.compare(pos, 6, "dword:") == 0) {
      std::optional<std::int32_t> number = dword(line.substr(pos + 6));
      if (!number) {
        problem("not a number");
        continue;
      }
      value.data = *number;
    } else {
      std::optional<std::string> text = unquoted(line, pos);
      if (!text || pos != line.size()) {
        problem("not a text");
        continue;
      }
      value.data = *text;
    }
    Change change{Change::SetValue, folded(current->name), current->name, *name, value};
    Apply(keys, change);
  }
  return firstProblem;
}

std::string RegistryStore::Serialise(const KeyMap& keys) {
  std::string out;
  for (const auto& [folded, key] : keys) {
    out += sectionHeader(key.name) + "\n";
    for (const NamedValue& named : key.values) {
      out += quoted(named.name) + "=";
      if (named.value.IsNumber()) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<std::uint32_t>(named.value.Number()));
        out += std::string("dword:") + digits;
      } else {
        out += quoted(named.value.Text());
      }
      out += "\n";
    }
    out += "\n";
  }
  return out;
}

namespace {

// Holds an exclusive lock on a file beside the store for as long as it lives, so that programs
// saving the same store take turns at reading, merging and writing it.
class StoreLock {
public:
  explicit StoreLock(const std::string& storePath) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(storePath).parent_path(), ignored);
    fd_ = ::open((storePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

private:
  int fd_ = -1;
};

} // namespace

std::string RegistryStore::Save() {
  // Without the lock (a folder that takes no files), the save goes on as well as it can.
  const StoreLock lock(path_);
  KeyMap onDisk;
  std::string content;
  std::string error;
  if (!ReadFileIfPresent(path_, content, error)) return error;
  Parse(content, onDisk);
  for (const Change& change : pending_)
    Apply(onDisk, change);
  error = WriteFileAtomically(path_, Serialise(onDisk));
  if (!error.empty()) return error;
  keys_ = std::move(onDisk);
  pending_.clear();
  return {};
}

void RegistryStore::Apply(KeyMap& keys, const Change& change) {
  switch (change.kind) {
  case Change::CreateKey: {
    Key& key = keys[change.key];
    if (key.name.empty()) key.name = change.keyName;
    break;
  }
  case Change::DeleteKey: {
    // A key goes with all the keys below it.
    std::string prefix = change.key + "\\";
    for (auto it = keys.begin(); it != keys.end();) {
      if (it->first == change.key || it->first.compare(0, prefix.size(), prefix) == 0)
        it = keys.erase(it);
      else
        ++it;
    }
    break;
  }
  case Change::SetValue: {
    Key& key = keys[change.key];
    if (key.name.empty()) key.name = change.keyName;
    std::string wanted = folded(change.valueName);
    for (NamedValue& named : key.values) {
      if (folded(named.name) == wanted) {
        named.value = change.value;
        return;
      }
    }
    key.values.push_back({change.valueName, change.value});
    break;
  }
  case Change::DeleteValue: {
    auto it = keys.find(change.key);
    if (it == keys.end()) return;
    std::string wanted = folded(change.valueName);
    std::erase_if(it->second.values, [&](const NamedValue& named) { return folded(named.name) == wanted; });
    break;
  }
  }
}

void RegistryStore::SetRootReadOnly(RegistryRoot root, bool readOnly) {
  readOnly_[static_cast<int>(root)] = readOnly;
}

bool RegistryStore::KeyExists(RegistryRoot root, const std::string& key) const {
  return keys_.count(folded(fullKeyName(root, key))) != 0;
}

bool RegistryStore::OpenKey(RegistryRoot root, const std::string& key, bool create) {
  if (KeyExists(root, key)) return true;
  if (!create || readOnly_[static_cast<int>(root)]) return false;
  std::string name = fullKeyName(root, key);
  Change change{Change::CreateKey, folded(name), name, {}, {}};
  Apply(keys_, change);
  pending_.push_back(std::move(change));
  return true;
}

void RegistryStore::DeleteKey(RegistryRoot root, const std::string& key) {
  if (readOnly_[static_cast<int>(root)]) return;
  std::string name = fullKeyName(root, key);
  Change change{Change::DeleteKey, folded(name), name, {}, {}};
  Apply(keys_, change);
  pending_.push_back(std::move(change));
}

std::optional<RegistryValue> RegistryStore::Value(RegistryRoot root, const std::string& key,
                                                  const std::string& name) const {
  auto it = keys_.find(folded(fullKeyName(root, key)));
  if (it == keys_.end()) return std::nullopt;
  std::string wanted = folded(name);
  for (const NamedValue& named : it->second.values)
    if (folded(named.name) == wanted) return named.value;
  return std::nullopt;
}

std::vector<std::string> RegistryStore::ValueNames(RegistryRoot root, const std::string& key) const {
  std::vector<std::string> names;
  auto it = keys_.find(folded(fullKeyName(root, key)));
  if (it == keys_.end()) return names;
  for (const NamedValue& named : it->second.values)
    names.push_back(named.name);
  return names;
}

bool RegistryStore::SetValue(RegistryRoot root, const std::string& key, const std::string& name,
                             RegistryValue value) {
  if (readOnly_[static_cast<int>(root)]) return false;
  std::string keyName = fullKeyName(root, key);
  Change change{Change::SetValue, folded(keyName), keyName, name, std::move(value)};
  Apply(keys_, change);
  pending_.push_back(std::move(change));
  return true;
}

bool RegistryStore::SetString(RegistryRoot root, const std::string& key, const std::string& name,
                              const std::string& text) {
  return SetValue(root, key, name, RegistryValue{text});
}

bool RegistryStore::SetNumber(RegistryRoot root, const std::string& key, const std::string& name,
                              std::int32_t number) {
  return SetValue(root, key, name, RegistryValue{number});
}

void RegistryStore::DeleteValue(RegistryRoot root, const std::string& key, const std::string& name) {
  if (readOnly_[static_cast<int>(root)]) return;
  std::string keyName = fullKeyName(root, key);
  Change change{Change::DeleteValue, folded(keyName), keyName, name, {}};
  Apply(keys_, change);
  pending_.push_back(std::move(change));
}
