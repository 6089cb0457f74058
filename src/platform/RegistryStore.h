// The program's registry: keys holding typed values (strings and 32-bit numbers), kept in one
// text file. Key and value names compare case-insensitively and keep the spelling they were
// first written with; values keep the order in which they were first written.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

struct RegistryValue {
  std::variant<std::string, std::int32_t> data;

  [[nodiscard]] bool IsString() const { return std::holds_alternative<std::string>(data); }
  [[nodiscard]] bool IsNumber() const { return std::holds_alternative<std::int32_t>(data); }
  [[nodiscard]] const std::string& Text() const { return std::get<std::string>(data); }
  [[nodiscard]] std::int32_t Number() const { return std::get<std::int32_t>(data); }
  bool operator==(const RegistryValue&) const = default;
};

class RegistryStore {
public:
  // An empty store that persists to `filePath`; call Load() to read what is there.
  explicit RegistryStore(std::string filePath);
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  // $XDG_CONFIG_HOME/Tessarin/registry (default ~/.config/Tessarin/registry).
  [[nodiscard]] static std::string DefaultFilePath();

  // Reads the file. A missing file is an empty store. Lines that cannot be understood are
  // skipped; the returned text then describes the first of them (empty when all was well).
  std::string Load();

  // Writes the pending changes atomically (temporary file, then rename). The file is read again
  // first and only the changes made through this object are applied to it, so two programs that
  // share the file do not undo each other's writes. Returns an error text, empty on success.
  std::string Save();

  [[nodiscard]] const std::string& FilePath() const { return path_; }

  // Roots marked read-only refuse to create keys or take values (a stand-in for lacking rights).
  void SetRootReadOnly(RegistryRoot root, bool readOnly);

  [[nodiscard]] bool KeyExists(RegistryRoot root, const std::string& key) const;
  // Opens a key, creating it when missing and `create` is set; false when that is impossible.
  bool OpenKey(RegistryRoot root, const std::string& key, bool create);
  void DeleteKey(RegistryRoot root, const std::string& key);

  [[nodiscard]] std::optional<RegistryValue> Value(RegistryRoot root, const std::string& key,
                                                   const std::string& name) const;
  [[nodiscard]] std::vector<std::string> ValueNames(RegistryRoot root, const std::string& key) const;
  bool SetString(RegistryRoot root, const std::string& key, const std::string& name, const std::string& text);
  bool SetNumber(RegistryRoot root, const std::string& key, const std::string& name, std::int32_t number);
  void DeleteValue(RegistryRoot root, const std::string& key, const std::string& name);

private:
  struct NamedValue {
    std::string name;
    RegistryValue value;
  };
  struct Key {
    std::string name;
    std::vector<NamedValue> values;
  };
  using KeyMap = std::map<std::string, Key>; // by folded "root\key"

  struct Change {
    enum Kind { CreateKey, DeleteKey, SetValue, DeleteValue } kind;
    std::string key; // folded root and key
    std::string keyName;
    std::string valueName;
    RegistryValue value;
  };

  bool SetValue(RegistryRoot root, const std::string& key, const std::string& name, RegistryValue value);
  static void Apply(KeyMap& keys, const Change& change);
  static std::string Parse(const std::string& content, KeyMap& keys);
  static std::string Serialise(const KeyMap& keys);

  std::string path_;
  KeyMap keys_;
  std::vector<Change> pending_;
  bool readOnly_[3] = {false, false, false};
};

// The registry's spelling of a root ("HKEY_CURRENT_USER", ...).
[[nodiscard]] const char* registryRootName(RegistryRoot root);
