// The command names: every command once, in their fixed order, and a number for one without.
#include "EditorCommands.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(EditorCommands, NameTableHasItsEntriesInOrder) {
  const auto& names = EditorCommandNames();
  ASSERT_EQ(names.size(), 93u);
  EXPECT_STREQ(names.front().name, "ecNone");
  EXPECT_STREQ(names[35].name, "ecSelectAll");
  EXPECT_STREQ(names[47].name, "ecImeStr");
  EXPECT_STREQ(names[62].name, "ecTab");
  EXPECT_STREQ(names[65].name, "ecNormalSelect");
  EXPECT_STREQ(names[68].name, "ecUserFirst");
  EXPECT_STREQ(names[88].name, "ecSetMarker9");
  EXPECT_STREQ(names.back().name, "ecUnfoldAll");
  std::set<EditorCommand> distinct;
  for (const auto& entry : names)
    distinct.insert(entry.command);
  EXPECT_EQ(distinct.size(), 93u);

  EXPECT_EQ(EditorCommandToIdent(ecMatchBracket), "ecMatchBracket");
  EXPECT_EQ(EditorCommandToIdent(1234), "1234");
}

} // namespace
