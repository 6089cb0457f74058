// The struct outline read from real source lines through the C/C++ highlighter.
#include "ClassOutline.h"

#include <gtest/gtest.h>

namespace {

// "caption@line" for a node, members in brackets: "vec_t@1[a@1 b@1]".
std::string Shape(const ClassNode& node) {
  std::string text = node.Caption + "@" + std::to_string(node.Data.Line);
  if (node.Members.empty()) return text;
  text += "[";
  for (const ClassNode& member : node.Members)
    text += (text.back() == '[' ? "" : " ") + Shape(member);
  return text + "]";
}

std::string Outline(const std::vector<std::string>& lines) {
  std::string text;
  for (const ClassNode& node : OutlineOfLines("/mod/g_local.h", lines))
    text += (text.empty() ? "" : " | ") + Shape(node);
  return text;
}

TEST(ClassOutline, NamesStructuresByTagOrByTheTypedefNameAfterTheBody) {
  EXPECT_EQ(Outline({"typedef struct { int a; float b[3]; } vec_t;"}), "vec_t@1[a@1 b@1]");
  // The name after the closing brace does not rename a tagged structure.
  EXPECT_EQ(Outline({"typedef struct entity_s {", "  int health;", "} entity_t;"}), "entity_s@1[health@2]");
  EXPECT_EQ(Outline({"struct gclient_s {", "\tint ping;", "};"}), "gclient_s@1[ping@2]");
  // An unnamed body takes the last identifier seen before its final semicolon.
  EXPECT_EQ(Outline({"struct { int first; };"}), "first@1[first@1]");
}

TEST(ClassOutline, DeclarationsWithoutABodyGiveNoNode) {
  EXPECT_EQ(Outline({"typedef struct entity_s entity_t;", "struct foo *p;", "void f(struct bar *b);"}), "");
  // And they leave nothing behind that would catch the next body.
  EXPECT_EQ(Outline({"struct foo *p;", "int table[] = { 1, 2 };", "struct s { int v; };"}), "s@3[v@3]");
}

TEST(ClassOutline, MembersTakeTheLineOfTheTokenThatEndsThem) {
  EXPECT_EQ(
      Outline({"struct point {", "  int x,", "      y;", "  char name[64];", "  float", "  z", "  ;", "};"}),
      "point@1[name@4 x@2 y@3 z@7]");
}

TEST(ClassOutline, FunctionPointerMembersAreNamedByThePointerName) {
  EXPECT_EQ(Outline({"struct gentity_s {", "  void (*think)(struct gentity_s *self, int time);",
                     "  void (*die)(int a, int b);", "  int count;", "};"}),
            "gentity_s@1[count@4 die@3 think@2]");
}

TEST(ClassOutline, ANestedBodyEndsTheOuterStructure) {
  // The union's closing brace closes the structure: its members land in the outer one and the
  // members after it are lost.
  EXPECT_EQ(Outline({"struct packet {", "  int kind;", "  union {", "    int i;", "    float f;", "  } u;",
                     "  int lost;", "};"}),
            "packet@1[f@5 i@4 kind@2]");
}

TEST(ClassOutline, AnInitialiserBraceAfterStructOpensABody) {
  EXPECT_EQ(Outline({"struct foo bar = { 0 };"}), "bar@1");
}

TEST(ClassOutline, StructInCommentsStringsAndDirectivesIsIgnored) {
  EXPECT_EQ(Outline({"// struct a { int x; };", "/* struct b {", "   int y; }; */",
                     "char *s = \"struct c { int z; };\";", "#define D struct d { int w; }",
                     "struct e { int v; };"}),
            "e@6[v@6]");
}

TEST(ClassOutline, SortsEveryLevelAndKeepsUnnamedStructuresInFileOrder) {
  const std::vector<ClassNode> nodes = OutlineOfLines(
      "/mod/a.h", {"struct zeta { int b; int a; };", "struct {};", "struct alpha { int c; };", "struct {};"});
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(Shape(nodes[0]), "@2");
  EXPECT_EQ(Shape(nodes[1]), "@4");
  EXPECT_EQ(Shape(nodes[2]), "alpha@3[c@3]");
  EXPECT_EQ(Shape(nodes[3]), "zeta@1[a@1 b@1]");
  EXPECT_EQ(nodes[3].Members[0].Data, (ClassObject{"/mod/a.h", 1}));
}

TEST(ClassOutline, ADeclarationLeftOpenRunsIntoTheNextFile) {
  ClassOutline outline;
  outline.ScanFile("/mod/a.h", {"struct open_s", "{", "  int x;"});
  outline.ScanFile("/mod/b.h", {"", "  int y;", "};", "struct b_s { int z; };"});
  outline.Sort();
  ASSERT_EQ(outline.Nodes().size(), 2u);
  const ClassNode& open = outline.Nodes().back();
  EXPECT_EQ(open.Caption, "open_s");
  EXPECT_EQ(open.Data, (ClassObject{"/mod/a.h", 2}));
  ASSERT_EQ(open.Members.size(), 2u);
  EXPECT_EQ(open.Members[1].Data, (ClassObject{"/mod/b.h", 2}));

  // A restart drops the nodes and the open body.
  outline.Restart();
  outline.ScanFile("/mod/c.h", {"int x;", "};"});
  EXPECT_TRUE(outline.Nodes().empty());
}

TEST(ClassOutline, OddInputGivesNodesWithoutCrashing) {
  EXPECT_EQ(Outline({"}}};;;)))]]]", "struct", "{", "}", ";"}), "@3");
  EXPECT_EQ(Outline({std::string("struct \0x { int \xff\xfe; };", 22)}), "x@1[x@1]");
  EXPECT_EQ(Outline({"struct s { int a; ", "/* never closed", "struct t { int b; };"}), "s@1[a@1]");
}

TEST(ClassOutline, ANulByteInsideACommentStringOrDirectiveKeepsTheRestOfItOut) {
  using namespace std::string_literals;
  for (const std::string& hidden : {"// a\0 struct s { int m; };"s, "char *t = \"\0 struct s { int m; };\";"s,
                                    "#define X \0 struct s { int m; };"s, "/* \0 struct s { int m; }; */"s})
    EXPECT_EQ(Outline({hidden, "struct k { int n; };"}), "k@2[n@2]") << hidden.substr(0, 12);
}

} // namespace
