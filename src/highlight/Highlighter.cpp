// The highlighter framework: attributes, the attribute list, change listeners, line scanning
// helpers and registry storage shared by every highlighter.
#include "Highlighter.h"

#include "UserQuestions.h"

#include <algorithm>
#include <strings.h>

void HighlightAttributes::SetBackground(ColorValue value) {
  if (background_ == value) return;
  background_ = value;
  Changed();
}

void HighlightAttributes::SetForeground(ColorValue value) {
  if (foreground_ == value) return;
  foreground_ = value;
  Changed();
}

void HighlightAttributes::SetStyle(FontStyles value) {
  value &= fsAllStyles;
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void HighlightAttributes::Assign(const HighlightAttributes& source) {
  if (&source == this) return;
  name_ = source.name_;
  bool differs =
      background_ != source.background_ || foreground_ != source.foreground_ || style_ != source.style_;
  background_ = source.background_;
  foreground_ = source.foreground_;
  style_ = source.style_;
  if (differs) Changed();
}

void HighlightAttributes::Changed() {
  if (OnAttributeChange) OnAttributeChange(*this);
}

namespace {

// Attribute names order and clash without regard to case.
bool NameLess(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; }

} // namespace

Highlighter::Highlighter() = default;

Highlighter::~Highlighter() {
  Notify(destroyHooks_);
  while (!attributes_.empty())
    attributes_.pop_back();
}

WordCharSet Highlighter::WordChars() const {
  WordCharSet chars;
  for (int c = 33; c <= 255; ++c)
    chars.set(c);
  return chars;
}

int Highlighter::AttributeCount() const { return static_cast<int>(attributes_.size()); }

HighlightAttributes* Highlighter::AttributeAt(int index) const {
  if (index < 0 || index >= AttributeCount()) return nullptr;
  return attributes_[index].get();
}

FontStyles Highlighter::UsedStyles() const {
  FontStyles styles = 0;
  for (int i = 0; i < AttributeCount(); ++i)
    if (const HighlightAttributes* attribute = AttributeAt(i)) styles |= attribute->Style();
  return styles;
}

void Highlighter::SetDefaultFilter(const std::string& value) {
  if (defaultFilter_ != value) defaultFilter_ = value;
}

bool Highlighter::ApplyUserSettings(int) { return false; }

void Highlighter::ListUserSettings(std::vector<std::string>& names) { names.clear(); }

bool Highlighter::ReadFromRegistry(RegistryStore& store, RegistryRoot root, const std::string& keyPath) {
  if (!store.OpenKey(root, keyPath, false)) return false;
  for (const auto& attribute : attributes_) {
    const std::string key = keyPath + "\\" + attribute->Name();
    if (!store.OpenKey(root, key, false)) return false;
    auto number = [&](const char* name) { return store.Value(root, key, name); };
    if (auto value = number("Background"); value && value->IsNumber())
      attribute->SetBackground(static_cast<ColorValue>(value->Number()));
    if (auto value = number("Foreground"); value && value->IsNumber())
      attribute->SetForeground(static_cast<ColorValue>(value->Number()));
    if (auto value = number("Style"); value && value->IsNumber())
      attribute->SetStyle(static_cast<FontStyles>(value->Number() & fsAllStyles));
  }
  return true;
}

bool Highlighter::WriteToRegistry(RegistryStore& store, RegistryRoot root, const std::string& keyPath) {
  if (!store.OpenKey(root, keyPath, true)) return false;
  for (const auto& attribute : attributes_) {
    const std::string key = keyPath + "\\" + attribute->Name();
    if (!store.OpenKey(root, key, true)) return false;
    store.SetNumber(root, key, "Background", static_cast<std::int32_t>(attribute->Background()));
    store.SetNumber(root, key, "Foreground", static_cast<std::int32_t>(attribute->Foreground()));
    store.SetNumber(root, key, "Style", attribute->Style());
  }
  return true;
}

void Highlighter::SkipToLineEnd() {
  while (!AtLineEnd())
    NextToken();
}

void Highlighter::ScanLineTokens(std::string_view text, int lineNo) {
  BeginLine(text, lineNo);
  while (!AtLineEnd()) {
    if (OnToken && TokenLength() != 0) OnToken(*this, TokenKind(), TokenText(), lineNo);
    NextToken();
  }
}

Highlighter::HookId Highlighter::HookChange(ChangeListener listener) {
  changeHooks_.push_back({nextHookId_, std::move(listener)});
  return nextHookId_++;
}

void Highlighter::UnhookChange(HookId id) { Unhook(changeHooks_, id); }

Highlighter::HookId Highlighter::HookDestroy(ChangeListener listener) {
  destroyHooks_.push_back({nextHookId_, std::move(listener)});
  return nextHookId_++;
}

void Highlighter::UnhookDestroy(HookId id) { Unhook(destroyHooks_, id); }

void Highlighter::Unhook(std::vector<Hook>& hooks, HookId id) {
  std::erase_if(hooks, [id](const Hook& hook) { return hook.id == id; });
}

HighlightAttributes* Highlighter::AddAttribute(std::unique_ptr<HighlightAttributes> attribute) {
  auto at = std::lower_bound(
      attributes_.begin(), attributes_.end(), attribute->Name(),
      [](const auto& held, const std::string& name) { return NameLess(held->Name(), name); });
  if (at != attributes_.end() && !NameLess(attribute->Name(), (*at)->Name()))
    throw TessarinError("Duplicate attribute name \"" + attribute->Name() + "\"");
  return attributes_.insert(at, std::move(attribute))->get();
}

void Highlighter::SetAttributesOnChange(const HighlightAttributes::ChangeHandler& handler) {
  for (auto it = attributes_.rbegin(); it != attributes_.rend(); ++it)
    (*it)->OnAttributeChange = handler;
}

void Highlighter::AttributeChanged(HighlightAttributes&) { Notify(changeHooks_); }

void Highlighter::Notify(const std::vector<Hook>& hooks) {
  // A listener may hook or unhook others while being told: only those hooked before the
  // notification began and still hooked when their turn comes are called.
  std::vector<HookId> ids;
  ids.reserve(hooks.size());
  for (const Hook& hook : hooks)
    ids.push_back(hook.id);
  for (HookId id : ids) {
    auto it = std::find_if(hooks.begin(), hooks.end(), [id](const Hook& hook) { return hook.id == id; });
    if (it == hooks.end()) continue;
    ChangeListener listener = it->listener; // the hook may go away while it runs
    listener(*this);
  }
}
