// The line list: splitting and saving bytes, notifications and their order, the one-line rule.
#include "LineList.h"

#include "TempDir.h"
#include "UserQuestions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> Loaded(const std::string& bytes) {
  LineList list;
  std::istringstream stream(bytes);
  list.LoadFromStream(stream);
  return list.Strings();
}

using Lines = std::vector<std::string>;

// Records every notification as text, in order.
struct Recorder {
  std::vector<std::string> events;
  explicit Recorder(LineList& list) {
    list.OnAdded = [this] { events.push_back("added"); };
    list.OnCleared = [this] { events.push_back("cleared"); };
    list.OnDeleted = [this](int i) { events.push_back("deleted " + std::to_string(i)); };
    list.OnInserted = [this](int i) { events.push_back("inserted " + std::to_string(i)); };
    list.OnLinePut = [this](int i) { events.push_back("put " + std::to_string(i)); };
    list.OnTextReplaced = [this] { events.push_back("replaced"); };
    list.OnBulkAdded = [this] { events.push_back("bulk"); };
    list.OnChanging = [this] { events.push_back("changing"); };
    list.OnChange = [this] { events.push_back("change"); };
  }
};

TEST(EditList, SplitsAtEveryKindOfLineEndAndStopsAtNul) {
  EXPECT_EQ(Loaded("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(Loaded("a\r\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(Loaded("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Loaded("a\rb"), (Lines{"a", "b"}));
  EXPECT_EQ(Loaded("a\nb\n\n"), (Lines{"a", "b", ""}));
  EXPECT_EQ(Loaded(""), (Lines{""}));
  EXPECT_EQ(Loaded(std::string("ab\0cd", 5)), (Lines{"ab"}));
  EXPECT_EQ(Loaded(std::string("\0x", 2)), (Lines{""}));
  // Bytes other than CR, LF and NUL are kept as they are.
  EXPECT_EQ(Loaded("\t\x01\xff\r"), (Lines{"\t\x01\xff"}));
}

TEST(EditList, SavesEveryLineWithCrLf) {
  LineList list;
  list.Add("");
  EXPECT_EQ(list.GetTextStr(), "\r\n");
  list.Put(0, "x");
  EXPECT_EQ(list.GetTextStr(), "x\r\n");
  list.Add("y");
  std::ostringstream out;
  list.SaveToStream(out);
  EXPECT_EQ(out.str(), "x\r\ny\r\n");
}

TEST(EditList, FileRoundTripAndFailures) {
  TempDir dir;
  const std::string path = dir.write("a.c", "one\ntwo\r\nthree");
  LineList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.Strings(), (Lines{"one", "two", "three"}));
  list.SaveToFile(path);
  EXPECT_EQ(TempDir::read(path), "one\r\ntwo\r\nthree\r\n");

  EXPECT_THROW(list.LoadFromFile(dir.file("missing.c")), TessarinError);
  // Saving into a folder that cannot be made fails loudly and leaves the list alone.
  const std::string blocked = dir.write("plain", "file");
  EXPECT_THROW(list.SaveToFile(blocked + "/sub/a.c"), TessarinError);
  EXPECT_EQ(list.Count(), 3);
}

TEST(EditList, EachOperationIsOneBracketWithItsNotification) {
  LineList list;
  Recorder record(list);
  list.Add("a");
  list.Insert(0, "b");
  list.Put(1, "c");
  list.Delete(0);
  EXPECT_EQ(record.events,
            (std::vector<std::string>{"changing", "added", "change", "changing", "inserted 0", "change",
                                      "changing", "put 1", "change", "changing", "deleted 0", "change"}));
}

TEST(EditList, DeletingTheOnlyLineEmptiesIt) {
  LineList list;
  list.Add("only");
  Recorder record(list);
  list.Delete(0);
  EXPECT_EQ(list.Strings(), (Lines{""}));
  EXPECT_EQ(record.events, (std::vector<std::string>{"changing", "deleted 0", "change"}));
}

TEST(EditList, BulkOperationsFireOnceAndLoadsKeepOneLine) {
  LineList list;
  Recorder record(list);
  list.AddStrings({"a", "b", "c"});
  EXPECT_EQ(record.events, (std::vector<std::string>{"changing", "bulk", "change"}));

  record.events.clear();
  std::istringstream stream("x\ny\n");
  list.LoadFromStream(stream);
  // One bracket; Clear, the replacement and one bulk notice, no per-line OnAdded.
  EXPECT_EQ(record.events, (std::vector<std::string>{"changing", "cleared", "replaced", "bulk", "change"}));
  EXPECT_EQ(list.Strings(), (Lines{"x", "y"}));

  record.events.clear();
  list.Assign(std::vector<std::string>{});
  EXPECT_EQ(list.Strings(), (Lines{""}));
  EXPECT_EQ(record.events.back(), "change");
  EXPECT_NE(std::find(record.events.begin(), record.events.end(), "added"), record.events.end());
}

TEST(EditList, LoadWithoutBulkHandlerAddsLineByLine) {
  LineList list;
  int added = 0;
  list.OnAdded = [&] { ++added; };
  std::istringstream stream("1\n2\n3");
  list.LoadFromStream(stream);
  EXPECT_EQ(added, 3);
}

TEST(EditList, RangeSlotsStayWithTheirLinesAndAreNotCopied) {
  LineList list;
  list.AddStrings({"a", "b"});
  list.PutObject(1, 7);
  list.Put(1, "B");
  EXPECT_EQ(list.GetObject(1), 7u);
  list.Insert(0, "new");
  EXPECT_EQ(list.GetObject(2), 7u);
  EXPECT_EQ(list.GetObject(0), 0u);

  LineList copy;
  copy.Assign(list);
  EXPECT_EQ(copy.Strings(), list.Strings());
  EXPECT_EQ(copy.GetObject(2), 0u);
}

TEST(EditList, IndexErrorsCarryTheIndex) {
  LineList list;
  list.Add("a");
  try {
    list.Put(3, "x");
    FAIL();
  } catch (const TessarinError& error) {
    EXPECT_EQ(error.message(), "List index out of bounds (3)");
  }
  EXPECT_THROW(static_cast<void>(list.Get(-1)), TessarinError);
  EXPECT_THROW(list.Insert(2, "x"), TessarinError);
  EXPECT_NO_THROW(list.Insert(1, "end"));
  EXPECT_THROW(list.Delete(2), TessarinError);
}

} // namespace
