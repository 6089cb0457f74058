// The generated C file the editor benchmarks load: kSourceLines lines of functions with comments,
// keywords, strings and numbers (~10 MB), built once per program; other lengths on request.
#pragma once

#include "LineList.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr int kSourceLines = 200000;

inline std::string GenerateSource(int lines = kSourceLines) {
  static const char* const body[] = {
      "// Returns the weapon's spread for the current frame and its fire rate",
      "static float WeaponSpread(gentity_t *ent, int weapon, float baseSpread) {",
      "\tfloat spread = baseSpread * 1.5f; // widened while moving quickly",
      "\tif (ent->client->ps.velocity[0] > 320 || ent->client->ps.pm_flags & 0x20) {",
      "\t\tspread += (float)ent->client->ps.weaponTime / 1000.0f + 0.25f;",
      "\t\tG_Printf(\"spread for %s is now %f at level %d\\n\", ent->classname, spread, 3);",
      "\t}",
      "\treturn spread < 0.0f ? 0.0f : spread;",
      "}",
      "",
  };
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * 50);
  for (int i = 0; i < lines; ++i) {
    text += body[i % 10];
    text += "\r\n";
  }
  return text;
}

inline const std::string& Source() {
  static const std::string source = GenerateSource();
  return source;
}

// The lines of a generated file, as reading it gives them.
inline std::vector<std::string> SplitSource(std::string_view source) {
  std::vector<std::string> lines;
  for (std::string_view line : LineList::SplitLines(source))
    lines.emplace_back(line);
  return lines;
}
