// Command names, the key map and key-press translation, including two-key sequences.
#include "KeyTranslator.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace {

constexpr std::uint16_t kK = 'K', kB = 'B';

TEST(KeyCommands, ShortCutPacksKeyAndModifiers) {
  EXPECT_EQ(PackShortCut('A', ssCtrl), 0x4041);
  EXPECT_EQ(PackShortCut(vk::Back, ssShift | ssAlt), 0xA008);
  std::uint16_t key = 0;
  ShiftState shift = 0;
  UnpackShortCut(0x6000 | 'Z', key, shift);
  EXPECT_EQ(key, 'Z');
  EXPECT_EQ(shift, ssShift | ssCtrl);
}

TEST(KeyCommands, DefaultMapHasItsBindingsInOrder) {
  KeyMap keys;
  keys.LoadDefaultMap();
  ASSERT_EQ(keys.Count(), 84);
  EXPECT_EQ(keys.Items(0).Command(), ecUp);
  EXPECT_EQ(keys.Items(2).Command(), ecScrollUp);
  EXPECT_EQ(keys.Items(79).Command(), ecMatchBracket);
  auto commandOf = [&](std::uint16_t key, ShiftState shift) {
    const int index = keys.FindKey(key, shift);
    return index < 0 ? ecNone : keys.Items(index).Command();
  };
  EXPECT_EQ(commandOf(vk::Next, ssCtrl | ssShift), ecSelPageBottom);
  EXPECT_EQ(commandOf(vk::Back, ssAlt), ecUndo);
  EXPECT_EQ(commandOf('M', ssCtrl), ecLineBreak);
  EXPECT_EQ(commandOf('3', ssCtrl), ecGotoMarker0 + 3);
  EXPECT_EQ(commandOf('3', ssCtrl | ssShift), ecSetMarker0 + 3);
  EXPECT_EQ(commandOf(vk::Tab, ssShift), ecShiftTab);
  EXPECT_EQ(commandOf(219, ssCtrl | ssShift), ecFold);
  EXPECT_EQ(commandOf(187, ssCtrl | ssShift), ecUnfoldAll);
  EXPECT_EQ(commandOf(vk::Up, ssCtrl | ssShift), ecNone);
  for (int i = 0; i < keys.Count(); ++i)
    EXPECT_EQ(keys.Items(i).Key2, 0);
}

// The user's changes over the default map, at random: every item keeps its command and its
// place; a changed item has its new key unless an earlier item holds that key, an item given no
// key is gone, the others keep their defaults; no key is bound twice. Names do not depend on
// where an item stands.
TEST(KeyCommands, TheUsersKeysGoOverTheDefaultMap) {
  KeyMap defaults;
  defaults.LoadDefaultMap();
  std::set<std::string> names;
  for (int i = 0; i < defaults.Count(); ++i)
    names.insert(KeyBindingName(defaults.Items(i)));
  EXPECT_EQ(static_cast<int>(names.size()), defaults.Count());
  EXPECT_EQ(KeyBindingName(defaults.Items(0)), "ecUp 0026");

  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::map<std::string, std::uint16_t> changes;
    for (int count = static_cast<int>(random() % 12); count > 0; --count) {
      const KeyBinding& item =
          defaults.Items(static_cast<int>(random() % static_cast<unsigned>(defaults.Count())));
      const bool none = random() % 4 == 0;
      // Keys near the defaults' so that changes collide with them and with each other.
      changes[KeyBindingName(item)] = none
                                          ? 0
                                          : PackShortCut(static_cast<std::uint16_t>(vk::Prior + random() % 8),
                                                         static_cast<ShiftState>(random() % 8));
    }
    changes["ecNoSuchCommand 0041"] = PackShortCut('A', ssAlt); // a name no longer known
    KeyMap keys;
    LoadUserKeyMap(keys, changes);
    std::set<ShortCut> bound;
    int at = 0;
    for (int i = 0; i < defaults.Count(); ++i) {
      const KeyBinding& item = defaults.Items(i);
      const auto changed = changes.find(KeyBindingName(item));
      const ShortCut wanted = changed == changes.end() ? item.GetShortCut() : changed->second;
      if (wanted == 0 || bound.count(wanted)) continue;
      bound.insert(wanted);
      ASSERT_LT(at, keys.Count());
      EXPECT_EQ(keys.Items(at).Command(), item.Command());
      EXPECT_EQ(keys.Items(at).GetShortCut(), wanted);
      ++at;
    }
    EXPECT_EQ(at, keys.Count());
  }
}

TEST(KeyCommands, DuplicateShortcutsAreRefusedAndLeaveTheItemAlone) {
  KeyMap keys;
  KeyBinding& first = keys.Add();
  first.SetShortCut(PackShortCut('K', ssCtrl));
  first.SetShortCut2(PackShortCut('B', ssCtrl));
  KeyBinding& second = keys.Add();
  second.SetShortCut(PackShortCut('K', ssCtrl));
  try {
    second.SetShortCut2(PackShortCut('B', ssCtrl));
    FAIL();
  } catch (const KeyMapError& error) {
    EXPECT_STREQ(error.what(), "Shortcut already exists");
  }
  EXPECT_EQ(second.Key2, 0);
  EXPECT_EQ(keys.FindShortcutPair(PackShortCut('K', ssCtrl), PackShortCut('B', ssCtrl)), 0);
  EXPECT_EQ(keys.FindKeySequence('K', ssCtrl, 'B', ssCtrl), 0);
  EXPECT_EQ(keys.FindKey('K', ssCtrl), 1);
  // Setting an item's own pair again is no conflict.
  EXPECT_NO_THROW(first.SetShortCut(PackShortCut('K', ssCtrl)));

  KeyMap copy;
  copy.LoadDefaultMap();
  copy.Assign(keys);
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(0).Key2, 'B');
}

class KeyTranslation : public ::testing::Test {
protected:
  void SetUp() override {
    KeyBinding& sequence = keys.Add();
    sequence.Key = kK;
    sequence.Shift = ssCtrl;
    sequence.Key2 = kB;
    sequence.Shift2 = ssCtrl;
    sequence.SetCommand(ecMatchBracket);
    KeyBinding& single = keys.Add();
    single.Key = vk::Return;
    single.SetCommand(ecLineBreak);
  }
  KeyMap keys;
  KeyTranslator translator;
};

TEST_F(KeyTranslation, TwoKeySequenceNeedsBothHalves) {
  EXPECT_EQ(translator.KeyDown(keys, kK, ssCtrl), ecNone);
  EXPECT_EQ(translator.LastKey(), kK);
  EXPECT_EQ(translator.KeyDown(keys, kB, ssCtrl), ecMatchBracket);
  EXPECT_EQ(translator.LastKey(), 0);
  // The second half alone is nothing.
  EXPECT_EQ(translator.KeyDown(keys, kB, ssCtrl), ecNone);
}

TEST_F(KeyTranslation, LowKeyBetweenTheHalvesForgetsTheFirst) {
  EXPECT_EQ(translator.KeyDown(keys, kK, ssCtrl), ecNone);
  EXPECT_EQ(translator.KeyDown(keys, vk::Shift, ssShift | ssCtrl), ecNone);
  EXPECT_EQ(translator.LastKey(), 0);
  EXPECT_EQ(translator.KeyDown(keys, kB, ssCtrl), ecNone);
}

TEST_F(KeyTranslation, OnlyCodes30To145StartASequence) {
  for (std::uint16_t key : {std::uint16_t{30}, std::uint16_t{145}}) {
    static_cast<void>(translator.KeyDown(keys, key, 0));
    EXPECT_EQ(translator.LastKey(), key);
  }
  for (std::uint16_t key : {std::uint16_t{29}, std::uint16_t{146}}) {
    static_cast<void>(translator.KeyDown(keys, 'Q', 0));
    static_cast<void>(translator.KeyDown(keys, key, 0));
    EXPECT_EQ(translator.LastKey(), 0);
  }
}

TEST_F(KeyTranslation, KeyThatMadeACommandSwallowsItsCharacterOnly) {
  EXPECT_EQ(translator.KeyDown(keys, vk::Return, 0), ecLineBreak);
  EXPECT_FALSE(translator.AcceptChar()); // the Enter key's CR
  EXPECT_TRUE(translator.AcceptChar());
  EXPECT_EQ(translator.KeyDown(keys, 'A', 0), ecNone);
  EXPECT_TRUE(translator.AcceptChar());
}

} // namespace
