// Key map items and the default map.
#include "KeyMap.h"

#include <cstdio>

ShortCut PackShortCut(std::uint16_t key, ShiftState shift) {
  ShortCut result = key & 0xFF;
  if (shift & ssShift) result |= 0x2000;
  if (shift & ssCtrl) result |= 0x4000;
  if (shift & ssAlt) result |= 0x8000;
  return result;
}

void UnpackShortCut(ShortCut shortCut, std::uint16_t& key, ShiftState& shift) {
  key = shortCut & 0xFF;
  shift = 0;
  if (shortCut & 0x2000) shift |= ssShift;
  if (shortCut & 0x4000) shift |= ssCtrl;
  if (shortCut & 0x8000) shift |= ssAlt;
}

void KeyBinding::CheckFree(ShortCut first, ShortCut second) const {
  if (first == 0 && second == 0) return;
  const int found = owner_->FindShortcutPair(first, second);
  if (found >= 0 && &owner_->Items(found) != this) throw KeyMapError("Shortcut already exists");
}

void KeyBinding::SetShortCut(ShortCut value) {
  if (value == GetShortCut()) return;
  if (value != 0) CheckFree(value, GetShortCut2());
  UnpackShortCut(value, Key, Shift);
}

void KeyBinding::SetShortCut2(ShortCut value) {
  if (value == GetShortCut2()) return;
  if (value != 0) CheckFree(GetShortCut(), value);
  UnpackShortCut(value, Key2, Shift2);
}

KeyBinding& KeyMap::Add() {
  items_.push_back(std::unique_ptr<KeyBinding>(new KeyBinding(this)));
  return *items_.back();
}

void KeyMap::Assign(const KeyMap& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.items_) {
    KeyBinding& copy = Add();
    copy.Key = item->Key;
    copy.Shift = item->Shift;
    copy.Key2 = item->Key2;
    copy.Shift2 = item->Shift2;
    copy.SetCommand(item->Command());
  }
}

void KeyMap::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

int KeyMap::FindKey(std::uint16_t key, ShiftState shift) const {
  for (int i = 0; i < Count(); ++i) {
    const KeyBinding& item = Items(i);
    if (item.Key == key && item.Shift == shift && item.Key2 == 0) return i;
  }
  return -1;
}

int KeyMap::FindKeySequence(std::uint16_t key1, ShiftState shift1, std::uint16_t key2,
                            ShiftState shift2) const {
  for (int i = 0; i < Count(); ++i) {
    const KeyBinding& item = Items(i);
    if (item.Key == key1 && item.Shift == shift1 && item.Key2 == key2 && item.Shift2 == shift2) return i;
  }
  return -1;
}

int KeyMap::FindShortcutPair(ShortCut shortCut, ShortCut shortCut2) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i).GetShortCut() == shortCut && Items(i).GetShortCut2() == shortCut2) return i;
  return -1;
}

void KeyMap::LoadDefaultMap() {
  struct Binding {
    std::uint16_t key;
    ShiftState shift;
    EditorCommand command;
  };
  constexpr ShiftState none = 0, shift = ssShift, ctrl = ssCtrl, shiftCtrl = ssShift | ssCtrl;
  static const std::vector<Binding> fixed = {
      {vk::Up, none, ecUp},
      {vk::Up, shift, ecSelUp},
      {vk::Up, ctrl, ecScrollUp},
      {vk::Down, none, ecDown},
      {vk::Down, shift, ecSelDown},
      {vk::Down, ctrl, ecScrollDown},
      {vk::Left, none, ecLeft},
      {vk::Left, shift, ecSelLeft},
      {vk::Left, ctrl, ecWordLeft},
      {vk::Left, shiftCtrl, ecSelWordLeft},
      {vk::Right, none, ecRight},
      {vk::Right, shift, ecSelRight},
      {vk::Right, ctrl, ecWordRight},
      {vk::Right, shiftCtrl, ecSelWordRight},
      {vk::Next, none, ecPageDown},
      {vk::Next, shift, ecSelPageDown},
      {vk::Next, ctrl, ecPageBottom},
      {vk::Next, shiftCtrl, ecSelPageBottom},
      {vk::Prior, none, ecPageUp},
      {vk::Prior, shift, ecSelPageUp},
      {vk::Prior, ctrl, ecPageTop},
      {vk::Prior, shiftCtrl, ecSelPageTop},
      {vk::Home, none, ecLineStart},
      {vk::Home, shift, ecSelLineStart},
      {vk::Home, ctrl, ecEditorTop},
      {vk::Home, shiftCtrl, ecSelEditorTop},
      {vk::End, none, ecLineEnd},
      {vk::End, shift, ecSelLineEnd},
      {vk::End, ctrl, ecEditorBottom},
      {vk::End, shiftCtrl, ecSelEditorBottom},
      {vk::Insert, none, ecToggleMode},
      {vk::Insert, ctrl, ecCopy},
      {vk::Insert, shift, ecPaste},
      {vk::Delete, none, ecDeleteChar},
      {vk::Delete, shift, ecCut},
      {vk::Delete, ctrl, ecDeleteWord},
      {vk::Back, none, ecDeleteLastChar},
      {vk::Back, ctrl, ecDeleteLastWord},
      {vk::Back, ssAlt, ecUndo},
      {vk::Back, ssShift | ssAlt, ecRedo},
      {vk::Return, none, ecLineBreak},
      {'A', ctrl, ecSelectAll},
      {'C', ctrl, ecCopy},
      {'I', shiftCtrl, ecBlockIndent},
      {'M', ctrl, ecLineBreak},
      {'N', ctrl, ecInsertLine},
      {'T', ctrl, ecDeleteWord},
      {'U', shiftCtrl, ecBlockUnindent},
      {'V', ctrl, ecPaste},
      {'X', ctrl, ecCut},
      {'Y', ctrl, ecDeleteLine},
      {'Y', shiftCtrl, ecDeleteEOL},
      {'Z', ctrl, ecUndo},
      {'Z', shiftCtrl, ecRedo},
  };
  static const std::vector<Binding> last = {
      {'N', shiftCtrl, ecNormalSelect}, {'C', shiftCtrl, ecColumnSelect}, {'L', shiftCtrl, ecLineSelect},
      {vk::Tab, none, ecTab},           {vk::Tab, shift, ecShiftTab},     {'B', shiftCtrl, ecMatchBracket},
  };
  // Ctrl+Shift+[ and ] fold and unfold at the caret, Ctrl+Shift+- and + everything.
  static const std::vector<Binding> folding = {
      {219, shiftCtrl, ecFold},
      {221, shiftCtrl, ecUnfold},
      {189, shiftCtrl, ecFoldAll},
      {187, shiftCtrl, ecUnfoldAll},
  };
  auto add = [this](const Binding& binding) {
    KeyBinding& item = Add();
    item.Key = binding.key;
    item.Shift = binding.shift;
    item.SetCommand(binding.command);
  };
  Clear();
  for (const Binding& binding : fixed)
    add(binding);
  for (std::uint16_t digit = 0; digit < 10; ++digit)
    add({static_cast<std::uint16_t>('0' + digit), ctrl, static_cast<EditorCommand>(ecGotoMarker0 + digit)});
  for (std::uint16_t digit = 0; digit < 10; ++digit)
    add({static_cast<std::uint16_t>('0' + digit), shiftCtrl,
         static_cast<EditorCommand>(ecSetMarker0 + digit)});
  for (const Binding& binding : last)
    add(binding);
  for (const Binding& binding : folding)
    add(binding);
}

std::string KeyBindingName(const KeyBinding& item) {
  char keys[16];
  if (item.Key2 == 0)
    std::snprintf(keys, sizeof keys, "%04X", item.GetShortCut());
  else
    std::snprintf(keys, sizeof keys, "%04X %04X", item.GetShortCut(), item.GetShortCut2());
  return EditorCommandToIdent(item.Command()) + " " + keys;
}

void LoadUserKeyMap(KeyMap& map, const std::map<std::string, std::uint16_t>& changes) {
  KeyMap defaults;
  defaults.LoadDefaultMap();
  map.Clear();
  for (int i = 0; i < defaults.Count(); ++i) {
    const KeyBinding& item = defaults.Items(i);
    ShortCut first = item.GetShortCut();
    ShortCut second = item.GetShortCut2();
    if (const auto changed = changes.find(KeyBindingName(item)); changed != changes.end()) {
      first = changed->second;
      second = 0;
    }
    if (first == 0 || map.FindShortcutPair(first, second) >= 0) continue;
    KeyBinding& kept = map.Add();
    UnpackShortCut(first, kept.Key, kept.Shift);
    UnpackShortCut(second, kept.Key2, kept.Shift2);
    kept.SetCommand(item.Command());
  }
}
