// Attributes, the attribute list, change listeners, ScanLineTokens and registry storage.
#include "Highlighter.h"
#include "RegistryStore.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <gtest/gtest.h>

namespace {

// A tiny highlighter: every blank-separated word is one token of kind 1, blanks are kind 0;
// a line "-" yields one empty token before its word, to show empty tokens are not reported.
class WordHighlighter : public Highlighter {
public:
  explicit WordHighlighter(std::vector<std::string> names = {}) {
    for (const std::string& name : names)
      AddAttribute(std::make_unique<HighlightAttributes>(name));
    SetAttributesOnChange([this](HighlightAttributes& a) { AttributeChanged(a); });
  }
  using Highlighter::AddAttribute;

  HighlightAttributes* DefaultAttribute(int) const override { return nullptr; }
  void NextToSink() override { NextToken(); }
  bool AtLineEnd() const override { return atEnd_; }
  HighlightRange CurrentRange() const override { return 0; }
  std::string TokenText() const override { return std::string(text_.substr(start_, end_ - start_)); }
  std::size_t TokenLength() const override { return end_ - start_; }
  HighlightAttributes* TokenAttribute() const override { return nullptr; }
  int TokenKind() const override { return start_ < text_.size() && text_[start_] == ' ' ? 0 : 1; }
  int TokenStart() const override { return static_cast<int>(start_); }
  void NextToken() override {
    if (end_ >= text_.size()) {
      atEnd_ = true;
      return;
    }
    start_ = end_;
    if (text_[start_] == '-' && !emittedEmpty_) {
      emittedEmpty_ = true;
      return;
    }
    bool blank = text_[start_] == ' ';
    while (end_ < text_.size() && (text_[end_] == ' ') == blank)
      ++end_;
  }
  void BeginLine(std::string_view text, int) override {
    text_ = text;
    start_ = end_ = 0;
    atEnd_ = text.empty();
    emittedEmpty_ = false;
    if (!atEnd_) NextToken();
  }
  void BeginLineForSink(std::string_view text) override { BeginLine(text, 0); }
  void RestoreRange(HighlightRange) override {}
  void ClearRange() override {}

private:
  std::string_view text_;
  std::size_t start_ = 0, end_ = 0;
  bool atEnd_ = true;
  bool emittedEmpty_ = false;
};

std::vector<std::string> AttributeNames(const Highlighter& h) {
  std::vector<std::string> names;
  for (int i = 0; i < h.AttributeCount(); ++i)
    names.push_back(h.AttributeAt(i)->Name());
  return names;
}

const RegistryRoot user = RegistryRoot::CurrentUser;

} // namespace

TEST(HighlightAttributes, SettersNotifyOncePerRealChangeOnly) {
  HighlightAttributes a("Comment");
  int changes = 0;
  a.OnAttributeChange = [&](HighlightAttributes& sender) {
    EXPECT_EQ(&sender, &a);
    ++changes;
  };
  EXPECT_EQ(a.Background(), clNone);
  EXPECT_EQ(a.Foreground(), clNone);
  EXPECT_EQ(a.Style(), 0);

  a.SetForeground(clNone);
  a.SetBackground(clNone);
  a.SetStyle(0);
  EXPECT_EQ(changes, 0);

  a.SetForeground(0x008000);
  a.SetForeground(0x008000);
  a.SetBackground(clWindow);
  a.SetStyle(fsBold | fsItalic);
  a.SetStyle(fsBold | fsItalic | 0xF0); // bits beyond the four styles are not a change
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(a.Style(), fsBold | fsItalic);
}

TEST(HighlightAttributes, AssignCopiesEverythingAndNotifiesOnlyWhenValuesDiffer) {
  HighlightAttributes source("Reserved word");
  source.SetForeground(0xFF0000);
  source.SetStyle(fsUnderline);
  HighlightAttributes target("Other");
  int changes = 0;
  target.OnAttributeChange = [&](HighlightAttributes&) { ++changes; };

  target.Assign(source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target.Name(), "Reserved word");
  EXPECT_EQ(target.Foreground(), 0xFF0000u);
  EXPECT_EQ(target.Background(), clNone);
  EXPECT_EQ(target.Style(), fsUnderline);

  target.Assign(source);
  target.Assign(target);
  EXPECT_EQ(changes, 1);
}

TEST(Highlighter, AttributesAreKeptInNameOrderAndIndexedSafely) {
  WordHighlighter h({"Symbol", "assembler", "Comment", "Illegal char", "Identifier"});
  EXPECT_EQ(AttributeNames(h),
            (std::vector<std::string>{"assembler", "Comment", "Identifier", "Illegal char", "Symbol"}));
  EXPECT_EQ(h.AttributeAt(-1), nullptr);
  EXPECT_EQ(h.AttributeAt(h.AttributeCount()), nullptr);
  EXPECT_NE(h.AttributeAt(h.AttributeCount() - 1), nullptr);
  EXPECT_THROW(h.AddAttribute(std::make_unique<HighlightAttributes>("COMMENT")), TessarinError);
  EXPECT_EQ(h.AttributeCount(), 5);
}

TEST(Highlighter, BaseSlotsHaveTheirDefaults) {
  WordHighlighter h;
  WordCharSet chars = h.WordChars();
  EXPECT_FALSE(chars[' ']);
  EXPECT_FALSE(chars[0]);
  EXPECT_TRUE(chars['!']);
  EXPECT_TRUE(chars[255]);
  EXPECT_EQ(chars.count(), 223u);
  EXPECT_EQ(h.LanguageCaption(), "<Unknown>");
  EXPECT_EQ(h.Features(), 2);
  EXPECT_FALSE(h.ApplyUserSettings(0));
  std::vector<std::string> names{"stale"};
  h.ListUserSettings(names);
  EXPECT_TRUE(names.empty());
  h.SetDefaultFilter("C files|*.c");
  EXPECT_EQ(h.DefaultFilter(), "C files|*.c");
}

TEST(Highlighter, ListenersHearEveryChangeUntilUnhooked) {
  WordHighlighter h({"Comment", "Space"});
  int first = 0, second = 0;
  auto firstId = h.HookChange([&](Highlighter& sender) {
    EXPECT_EQ(&sender, &h);
    ++first;
  });
  auto secondId = h.HookChange([&](Highlighter&) { ++second; });
  h.AttributeAt(0)->SetForeground(1);
  h.AttributeAt(1)->SetStyle(fsBold);
  h.AttributeAt(1)->SetStyle(fsBold);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 2);

  h.UnhookChange(firstId);
  h.AttributeAt(0)->SetForeground(2);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 3);
  h.UnhookChange(secondId);
  h.UnhookChange(secondId); // twice is harmless
}

TEST(Highlighter, ListenerUnhookedDuringNotificationIsNotCalledAfterwards) {
  WordHighlighter h({"Comment"});
  int later = 0;
  Highlighter::HookId laterId = 0;
  auto firstId = h.HookChange([&](Highlighter& sender) { sender.UnhookChange(laterId); });
  laterId = h.HookChange([&](Highlighter&) { ++later; });
  h.AttributeAt(0)->SetForeground(5);
  EXPECT_EQ(later, 0);
  h.UnhookChange(firstId);
}

TEST(Highlighter, DestroyListenersAreToldOnce) {
  int told = 0;
  {
    WordHighlighter h;
    auto gone = h.HookDestroy([&](Highlighter&) { ++told; });
    auto kept = h.HookDestroy([&](Highlighter&) { ++told; });
    h.UnhookDestroy(gone);
    (void)kept;
  }
  EXPECT_EQ(told, 1);
}

TEST(Highlighter, ScanLineTokensReportsNonEmptyTokensWithLineNumber) {
  WordHighlighter h;
  std::vector<std::string> seen;
  h.OnToken = [&](Highlighter& sender, int kind, const std::string& text, int line) {
    EXPECT_EQ(&sender, &h);
    seen.push_back(std::to_string(kind) + ":" + text + "@" + std::to_string(line));
  };
  h.ScanLineTokens("", 3);
  EXPECT_TRUE(seen.empty());
  h.ScanLineTokens("-ab  c", 7);
  EXPECT_EQ(seen, (std::vector<std::string>{"1:-ab@7", "0:  @7", "1:c@7"}));

  h.OnToken = nullptr;
  h.ScanLineTokens("x y", 1); // nothing assigned: just scans
  EXPECT_TRUE(h.AtLineEnd());
}

TEST(Highlighter, RegistryRoundTripThroughTheStore) {
  TempDir dir;
  const std::string key = "Software\\Tessarin\\Highlighter";
  {
    RegistryStore store(dir.file("registry"));
    WordHighlighter h({"Comment", "Space"});
    h.AttributeAt(0)->SetForeground(0x008000);
    h.AttributeAt(0)->SetStyle(fsItalic | fsStrikeOut);
    h.AttributeAt(1)->SetBackground(clWindow);
    ASSERT_TRUE(h.WriteToRegistry(store, user, key));
    ASSERT_EQ(store.Save(), "");
  }
  RegistryStore store(dir.file("registry"));
  ASSERT_EQ(store.Load(), "");
  EXPECT_EQ(store.Value(user, key + "\\Space", "Background")->Number(), static_cast<std::int32_t>(clWindow));

  WordHighlighter h({"Comment", "Space"});
  int changes = 0;
  auto id = h.HookChange([&](Highlighter&) { ++changes; });
  ASSERT_TRUE(h.ReadFromRegistry(store, user, key));
  EXPECT_EQ(h.AttributeAt(0)->Foreground(), 0x008000u);
  EXPECT_EQ(h.AttributeAt(0)->Style(), fsItalic | fsStrikeOut);
  EXPECT_EQ(h.AttributeAt(0)->Background(), clNone);
  EXPECT_EQ(h.AttributeAt(1)->Background(), clWindow);
  EXPECT_EQ(changes, 3);
  h.UnhookChange(id);
}

TEST(Highlighter, RegistryReadStopsAtTheFirstMissingKeyAndKeepsMissingValues) {
  TempDir dir;
  RegistryStore store(dir.file("registry"));
  WordHighlighter h({"A", "B", "C"});
  EXPECT_FALSE(h.ReadFromRegistry(store, user, "hl"));

  store.OpenKey(user, "hl", true);
  store.SetNumber(user, "hl\\A", "Foreground", 7);
  store.SetNumber(user, "hl\\A", "Style", 0x7F); // only the four style bits count
  store.SetString(user, "hl\\A", "Background", "not a number");
  store.SetNumber(user, "hl\\C", "Foreground", 9);
  EXPECT_FALSE(h.ReadFromRegistry(store, user, "hl"));
  EXPECT_EQ(h.AttributeAt(0)->Foreground(), 7u);
  EXPECT_EQ(h.AttributeAt(0)->Style(), fsAllStyles);
  EXPECT_EQ(h.AttributeAt(0)->Background(), clNone);
  EXPECT_EQ(h.AttributeAt(2)->Foreground(), clNone); // skipped after B was missing
}

TEST(Highlighter, RegistryWriteNeedsAWritableKey) {
  TempDir dir;
  RegistryStore store(dir.file("registry"));
  WordHighlighter empty;
  EXPECT_TRUE(empty.WriteToRegistry(store, user, "nothing"));
  EXPECT_TRUE(store.KeyExists(user, "nothing"));
  EXPECT_TRUE(store.ValueNames(user, "nothing").empty());

  store.SetRootReadOnly(RegistryRoot::LocalMachine, true);
  WordHighlighter h({"A"});
  EXPECT_FALSE(h.WriteToRegistry(store, RegistryRoot::LocalMachine, "hl"));
  EXPECT_FALSE(store.KeyExists(RegistryRoot::LocalMachine, "hl\\A"));
}
