// A list of recently used files (the workspaces of Reopen Workspace, the files of Recent Files): most
// recent first, kept in the registry store between runs.
#pragma once

#include "RegistryStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct RecentEntry {
  std::string path;
  std::int32_t data = 0;
};

class RecentList {
public:
  int MaxItems = -1; // negative: no limit
  bool LazyWrite = true;
  RegistryRoot RootKey = RegistryRoot::CurrentUser;
  std::string CompanyName = "Tessarin";
  std::string ApplicationName = "Tessarin";
  std::string OwnerName = "MainForm";
  std::string Section = "MRUHistory";
  bool SerializeList = true;
  bool ActiveRegistry = true;
  bool Separator = true;
  bool NumberItems = true;

  // Runs when an entry is clicked; setting `remove` deletes the entry instead of moving it up.
  std::function<void(const std::string& path, bool& remove)> OnItemClick;
  // Runs after every change of the entries, so a menu can follow them.
  std::function<void()> OnChange;

  // Loads the list from the store when SerializeList is set; the destructor saves it back.
  explicit RecentList(RegistryStore& store, bool load = true);
  ~RecentList();
  RecentList(const RecentList&) = delete;
  RecentList& operator=(const RecentList&) = delete;

  void AddItem(const std::string& path, std::int32_t data = 0);
  // Hands entry `index` to OnItemClick with further additions suspended. When the handler
  // raises an error the entry stays where it is and the error goes on to the caller.
  void Click(std::size_t index);
  void Delete(std::size_t index);

  [[nodiscard]] const std::vector<RecentEntry>& Entries() const { return entries_; }
  [[nodiscard]] std::string Caption(std::size_t index) const;
  // Whether the separator line belongs in the menu now.
  [[nodiscard]] bool ShowsSeparator() const { return Separator && !entries_.empty(); }
  // "\Software\<Company>\<Application>\<Owner>\<Section>".
  [[nodiscard]] std::string Key() const;

  void Load();
  // Writes the entries into the store; the store's owner writes the store to disk.
  void Save();

private:
  void MoveToTop(std::size_t index);
  void Changed() const;
  [[nodiscard]] std::size_t Find(const std::string& path) const;

  RegistryStore& store_;
  std::vector<RecentEntry> entries_;
  bool suspended_ = false;
};
