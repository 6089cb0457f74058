#include "ShortcutSettings.h"

#include "MainActions.h"
#include "RegistryStore.h"

#include <QAction>

namespace {

const char* const kShortcutsKey = "software\\Tessarin\\shortcuts";
const char* const kEditorKeysKey = "software\\Tessarin\\editor keys";
const RegistryRoot kRoot = RegistryRoot::CurrentUser;

QAction* actionNamed(const MainActions& actions, const std::string& name) {
  for (QAction* action : actions.All())
    if (action->objectName().toStdString() == name) return action;
  return nullptr;
}

} // namespace

void ApplyStoredShortcuts(const RegistryStore& store, MainActions& actions) {
  for (QAction* action : actions.All()) {
    const std::optional<RegistryValue> kept =
        store.Value(kRoot, kShortcutsKey, action->objectName().toStdString());
    if (kept && kept->IsString())
      action->setShortcut(
          QKeySequence::fromString(QString::fromStdString(kept->Text()), QKeySequence::PortableText));
  }
}

void StoreShortcuts(RegistryStore& store, MainActions& actions, const ShortcutChanges& changes) {
  store.OpenKey(kRoot, kShortcutsKey, true);
  for (const auto& [name, key] : changes) {
    QAction* action = actionNamed(actions, name);
    if (action == nullptr) continue;
    action->setShortcut(key);
    store.SetString(kRoot, kShortcutsKey, name, key.toString(QKeySequence::PortableText).toStdString());
  }
}

EditorKeyChanges StoredEditorKeys(const RegistryStore& store) {
  EditorKeyChanges keys;
  for (const std::string& name : store.ValueNames(kRoot, kEditorKeysKey)) {
    const std::optional<RegistryValue> kept = store.Value(kRoot, kEditorKeysKey, name);
    if (kept && kept->IsNumber() && kept->Number() >= 0 && kept->Number() <= 0xFFFF)
      keys[name] = static_cast<std::uint16_t>(kept->Number());
  }
  return keys;
}

void StoreEditorKeys(RegistryStore& store, const EditorKeyChanges& keys) {
  store.DeleteKey(kRoot, kEditorKeysKey);
  if (keys.empty()) return;
  store.OpenKey(kRoot, kEditorKeysKey, true);
  for (const auto& [name, key] : keys)
    store.SetNumber(kRoot, kEditorKeysKey, name, key);
}
