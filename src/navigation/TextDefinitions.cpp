// Each pattern is tried only on the lines where the name stands as a whole word, so a search of
// a large file costs about a plain search for the name.
#include "TextDefinitions.h"

#include <regex>

namespace {

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsName(const std::string& name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name)
    if (!IsNameByte(c)) return false;
  return true;
}

// The byte offsets where the name stands as a whole word in the line.
std::vector<std::size_t> WordOffsets(std::string_view line, const std::string& name) {
  std::vector<std::size_t> offsets;
  for (std::size_t at = line.find(name); at != std::string_view::npos; at = line.find(name, at + 1)) {
    const std::size_t end = at + name.size();
    if ((at == 0 || !IsNameByte(line[at - 1])) && (end == line.size() || !IsNameByte(line[end])))
      offsets.push_back(at);
  }
  return offsets;
}

// The line's shapes that define the name (@), the first group ending where the name starts.
std::vector<std::string> DefinitionShapes() {
  // Types, qualifiers and stars before a name at file level, never a statement's keyword.
  const std::string head = R"(^((?!(?:extern|return|typedef|else|case|goto)\b)[A-Za-z_][\w \t\*]*?[ \t\*]|))";
  const std::string arrays = R"(\s*(?:\[[^\]]*\]\s*)*)";
  return {
      R"(^(\s*#\s*define\s+)@\b)",                              // a macro
      head + R"(@\s*\([^;]*$)",                                 // a function's head: no ';' after it
      head + "@" + arrays + R"((?:=|;|,))",                     // a variable
      R"(^((?:typedef\s+)?(?:struct|union|enum)\s+)@\b[^;]*$)", // a type's head
      R"(^(\}\s*)@\s*;)",                                       // the end of a typedef'd struct
      R"(^(typedef\b[^;(]*[\s\*\}])@)" + arrays + ";",          // a typedef
      R"(^(typedef\b[^;]*\(\s*\*\s*)@\s*\))",                   // a typedef of a function pointer
      R"(^(\s+)@\s*(?:=[^=;][^;]*|)(?:,\s*)?(?:/[/*].*)?$)",    // an enum constant alone on its line
  };
}

std::vector<std::string> DeclarationShapes() {
  return {
      R"(^((?:extern\s+|static\s+)?[A-Za-z_][\w \t\*]*?[ \t\*])@\s*\(.*\)\s*;)", // a prototype
      R"(^(extern\b[^;(]*[\s\*])@\s*(?:\[[^\]]*\]\s*)*;)",                       // an extern variable
  };
}

std::vector<std::regex> Compiled(const std::vector<std::string>& shapes, const std::string& name) {
  std::vector<std::regex> compiled;
  for (std::string shape : shapes) {
    for (std::size_t at = shape.find('@'); at != std::string::npos; at = shape.find('@', at + name.size()))
      shape.replace(at, 1, name);
    compiled.emplace_back(shape, std::regex::ECMAScript | std::regex::optimize);
  }
  return compiled;
}

TextRange OnLine(int line, std::size_t offset, std::size_t length) {
  const int column = static_cast<int>(offset) + 1;
  return {{line, column}, {line, column + static_cast<int>(length)}};
}

// The lines where one of the shapes holds the name: its place there.
std::vector<TextRange> Matching(const std::vector<std::string>& lines, const std::string& name,
                                const std::vector<std::regex>& shapes) {
  std::vector<TextRange> places;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (WordOffsets(lines[i], name).empty()) continue;
    std::smatch match;
    for (const std::regex& shape : shapes)
      if (std::regex_search(lines[i], match, shape)) {
        places.push_back(
            OnLine(static_cast<int>(i) + 1, static_cast<std::size_t>(match.length(1)), name.size()));
        break;
      }
  }
  return places;
}

} // namespace

std::vector<TextRange> TextDefinitions(const std::vector<std::string>& lines, const std::string& name,
                                       TextRole role) {
  if (!IsName(name)) return {};
  std::vector<std::string> shapes = DefinitionShapes();
  if (role == TextRole::Declaration) {
    const std::vector<std::string> more = DeclarationShapes();
    shapes.insert(shapes.begin(), more.begin(), more.end());
  }
  return Matching(lines, name, Compiled(shapes, name));
}

std::vector<TextRange> AssemblyDefinitions(const std::vector<std::string>& lines, const std::string& name) {
  if (!IsName(name)) return {};
  return Matching(lines, name, Compiled({R"(^(\s*equ\s+)@\s)"}, name));
}

std::vector<TextRange> WordPlaces(const std::vector<std::string>& lines, const std::string& name) {
  std::vector<TextRange> places;
  if (!IsName(name)) return places;
  for (std::size_t i = 0; i < lines.size(); ++i)
    for (std::size_t offset : WordOffsets(lines[i], name))
      places.push_back(OnLine(static_cast<int>(i) + 1, offset, name.size()));
  return places;
}
