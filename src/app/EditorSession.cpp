// Layout: one key per workspace, "Count" and "Active" numbers, then "File<n>" (text) and
// "Line<n>", "Column<n>" and "Split<n>" (numbers) for each window.
#include "EditorSession.h"

#include "RegistryStore.h"

#include <algorithm>

namespace {

const RegistryRoot kRoot = RegistryRoot::CurrentUser;

std::string keyOf(const std::string& workspaceFile) {
  return "software\\Tessarin\\sessions\\" + workspaceFile;
}

} // namespace

EditorSession LoadSession(const RegistryStore& store, const std::string& workspaceFile) {
  const std::string key = keyOf(workspaceFile);
  auto number = [&](const std::string& name, int fallback) {
    const std::optional<RegistryValue> value = store.Value(kRoot, key, name);
    return value && value->IsNumber() ? value->Number() : fallback;
  };
  EditorSession session;
  const int count = number("Count", 0);
  const int active = number("Active", -1);
  for (int i = 0; i < count; ++i) {
    const std::optional<RegistryValue> file = store.Value(kRoot, key, "File" + std::to_string(i));
    if (!file || !file->IsString() || file->Text().empty()) continue;
    if (i == active) session.active = static_cast<int>(session.windows.size());
    const int split = number("Split" + std::to_string(i), 0);
    session.windows.push_back(
        {file->Text(), std::max(1, number("Line" + std::to_string(i), 1)),
         std::max(1, number("Column" + std::to_string(i), 1)),
         split == 1 || split == 2 ? static_cast<EditorSession::Split>(split) : EditorSession::Split::None});
  }
  return session;
}

void SaveSession(RegistryStore& store, const std::string& workspaceFile, const EditorSession& session) {
  const std::string key = keyOf(workspaceFile);
  store.DeleteKey(kRoot, key);
  if (session.windows.empty()) return;
  store.OpenKey(kRoot, key, true);
  store.SetNumber(kRoot, key, "Count", static_cast<int>(session.windows.size()));
  store.SetNumber(kRoot, key, "Active", session.active);
  for (std::size_t i = 0; i < session.windows.size(); ++i) {
    store.SetString(kRoot, key, "File" + std::to_string(i), session.windows[i].file);
    store.SetNumber(kRoot, key, "Line" + std::to_string(i), session.windows[i].caretLine);
    store.SetNumber(kRoot, key, "Column" + std::to_string(i), session.windows[i].caretColumn);
    if (session.windows[i].split != EditorSession::Split::None)
      store.SetNumber(kRoot, key, "Split" + std::to_string(i), static_cast<int>(session.windows[i].split));
  }
}
