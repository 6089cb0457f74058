// The keys the user gave menu commands and editor commands in Help > Keyboard Shortcuts, kept
// beside the settings and put back on the commands at every start.
#pragma once

#include "Settings.h"

#include <QKeySequence>

#include <map>
#include <string>

class MainActions;
class RegistryStore;

// Command (action name) -> its key; an empty key: the command has none.
using ShortcutChanges = std::map<std::string, QKeySequence>;

// Puts the kept keys on the commands; names no longer known are passed over.
void ApplyStoredShortcuts(const RegistryStore& store, MainActions& actions);
// Gives the commands their new keys and keeps them; the store's owner writes the store.
void StoreShortcuts(RegistryStore& store, MainActions& actions, const ShortcutChanges& changes);

// The editor keys the user changed, as kept.
[[nodiscard]] EditorKeyChanges StoredEditorKeys(const RegistryStore& store);
// Keeps `keys` in place of the editor keys kept so far; the store's owner writes the store.
void StoreEditorKeys(RegistryStore& store, const EditorKeyChanges& keys);
