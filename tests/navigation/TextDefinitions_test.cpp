// Definitions told from the lines' shape: random files of definitions, declarations and uses of a
// few names, each name's places found exactly where they were written; and the assembler's "equ".
#include "NavigationPrinting.h"
#include "TextDefinitions.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

enum class Written { Definition, Declaration, Use };

struct Shape {
  Written role;
  const char* text; // '@' stands for the name
};

// How the engine's code writes each (a tab where it indents).
const Shape kShapes[] = {
    {Written::Definition, "void @( int a, const char *b ) {"},
    {Written::Definition, "static int\t@(void)"},
    {Written::Definition, "char *QDECL @( const char *fmt, ... ) {"},
    {Written::Definition, "#define @ 4"},
    {Written::Definition, "#define\t@(x) ((x) + 1)"},
    {Written::Definition, "int\t\t@;"},
    {Written::Definition, "vec3_t @[3] = { 0 };"},
    {Written::Definition, "static char *@ = \"text\";"},
    {Written::Definition, "typedef struct @ {"},
    {Written::Definition, "struct @ {"},
    {Written::Definition, "} @;"},
    {Written::Definition, "typedef int\t@;"},
    {Written::Definition, "typedef enum { qfalse, qtrue } @;"},
    {Written::Definition, "typedef void (*@)( int value );"},
    {Written::Definition, "\t@,"},
    {Written::Definition, "\t@ = 0x10,\t// the first"},
    {Written::Declaration, "void @( int a );"},
    {Written::Declaration, "static void\t@( gentity_t *ent );"},
    {Written::Declaration, "extern int @;"},
    {Written::Declaration, "extern\tvmCvar_t\t@[2];"},
    {Written::Use, "\t@( 1, \"x\" );"},
    {Written::Use, "\tx = @ + 2;"},
    {Written::Use, "\t@ = 2;"},
    {Written::Use, "\treturn @;"},
    {Written::Use, "// @ is set here"},
    {Written::Use, "\tif ( @ ) {"},
    {Written::Use, "int other = @;"},
    {Written::Use, "void Other( int @ ) {"},
    {Written::Use, "\t\tgame.@ = @_x;"},
    {Written::Use, "struct @ *pointer;"},
};

std::string Written(const char* shape, const std::string& name) {
  std::string text = shape;
  for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + name.size()))
    text.replace(at, 1, name);
  return text;
}

} // namespace

TEST(TextDefinitions, EveryDefinitionAndDeclarationIsFoundAndNoUse) {
  const std::vector<std::string> names{"G_Printf", "level", "trap_Print", "qboolean", "MAX_CLIENTS", "x"};
  std::mt19937 random(35);
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> lines;
    std::map<std::string, std::vector<TextRange>> defined, declared;
    std::map<std::string, std::size_t> words;
    for (int i = 0; i < 60; ++i) {
      const std::string& name = names[random() % names.size()];
      const Shape& shape = kShapes[random() % std::size(kShapes)];
      lines.push_back(Written(shape.text, name));
      const int line = static_cast<int>(lines.size());
      const int column = static_cast<int>(std::string(shape.text).find('@')) + 1;
      const TextRange place{{line, column}, {line, column + static_cast<int>(name.size())}};
      if (shape.role == Written::Definition) defined[name].push_back(place);
      if (shape.role != Written::Use) declared[name].push_back(place);
      ++words[name]; // each shape holds the name once as a word of its own
    }
    for (const std::string& name : names) {
      EXPECT_EQ(TextDefinitions(lines, name, TextRole::Definition), defined[name])
          << name << " round " << round;
      EXPECT_EQ(TextDefinitions(lines, name, TextRole::Declaration), declared[name]) << name;
      const std::vector<TextRange> found = WordPlaces(lines, name);
      for (const TextRange& place : found)
        EXPECT_EQ(lines[static_cast<std::size_t>(place.start.line - 1)].substr(
                      static_cast<std::size_t>(place.start.column - 1),
                      static_cast<std::size_t>(place.end.column - place.start.column)),
                  name);
      // The shapes' own words hold an "x" of their own.
      if (name != "x") {
        EXPECT_EQ(found.size(), words[name]) << name;
      }
    }
  }
  EXPECT_EQ(TextDefinitions({"int a.b;"}, "a.b", TextRole::Definition), std::vector<TextRange>{});
}

TEST(TextDefinitions, TheAssemblersEquDefinesASymbol) {
  const std::vector<std::string> lines{"code", "equ trap_Printf -2", "equ\ttrap_Print\t-1",
                                       "; equ trap_Print -1", "equ trap_PrintX -3"};
  EXPECT_EQ(AssemblyDefinitions(lines, "trap_Print"), (std::vector<TextRange>{{{3, 5}, {3, 15}}}));
  EXPECT_EQ(AssemblyDefinitions(lines, "trap_Error"), std::vector<TextRange>{});
}
