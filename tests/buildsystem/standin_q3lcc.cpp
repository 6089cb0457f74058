// A stand-in for the game's C compiler driver, faithful in what the build relies on: for each
// X.c it writes X.asm (lower-case extension, LF line ends) into the working directory, prints
// nothing on success, prints every message to standard error in the real tool's forms, and exits
// 1 on any error. A compile error still leaves an .asm whose functions from the error on are
// empty stubs, a missing include leaves none, and -Wf-g writes the file and line records. It
// "compiles" by finding function definitions and calls, enough for the stand-in assembler to lay
// out a module and check its symbols. Its includes follow the real preprocessor's search rules.
// Lines holding STANDIN_ERROR, STANDIN_WARNING, STANDIN_HANG, STANDIN_CRASH or STANDIN_SLEEP (two
// seconds) trigger those behaviours.
#include "standin_common.h"

#include <cctype>
#include <fstream>
#include <set>

namespace {

// Where a definition or a call came from, for the -Wf-g records.
struct Place {
  std::string name;
  std::string file;
  int line = 0;
};

struct Proc {
  Place place;
  std::vector<Place> calls;
  bool stub = false; // defined after an error: the real compiler leaves an empty body
};

struct Unit {
  std::string mainPath;
  std::string mainFolder; // as the preprocessor names it
  // Searched after the main folder: the -I folders, then each folder an #include line named.
  std::vector<std::string> folders;
  std::vector<Proc> procs;
  std::vector<Place> outsideCalls; // calls before any definition
  int errors = 0;
  bool failed = false;
  bool preprocessorFailed = false;
};

// The folder part of a name without its last "/", or "." when it has none.
std::string FolderPart(const std::string& name) {
  const auto slash = name.rfind('/');
  return slash == std::string::npos ? "." : name.substr(0, slash);
}

// Folders are taken inside the main source's folder, and each is searched once.
void AddFolder(Unit& unit, const std::string& folder) {
  const std::string place = unit.mainFolder + "/" + folder;
  for (const std::string& known : unit.folders)
    if (known == place) return;
  unit.folders.push_back(place);
}

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdent(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The line with comments, string and character literals blanked out; `inComment` carries a
// block comment over to the next line.
std::string CodeOnly(const std::string& line, bool& inComment) {
  std::string code;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (inComment) {
      if (line.compare(i, 2, "*/") == 0) inComment = false, ++i;
      continue;
    }
    if (line.compare(i, 2, "/*") == 0) {
      inComment = true;
      ++i;
    } else if (line.compare(i, 2, "//") == 0) {
      break;
    } else if (line[i] == '"' || line[i] == '\'') {
      const char quote = line[i];
      for (++i; i < line.size() && line[i] != quote; ++i)
        if (line[i] == '\\') ++i;
      code += ' ';
    } else {
      code += line[i];
    }
  }
  return code;
}

const std::set<std::string> kKeywords = {"if", "while", "for", "switch", "return", "sizeof", "do", "else"};

void ScanCode(const std::string& code, const std::string& path, int lineNumber, Unit& unit) {
  const auto first = code.find_first_not_of(" \t");
  if (first == std::string::npos || code[first] == '#') return;
  const bool topLevel = IsIdentStart(code[0]);
  if (topLevel && code.find(';') != std::string::npos) return; // a prototype or a declaration
  const bool definition = topLevel && code.find('(') != std::string::npos && code.rfind("typedef", 0) != 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (!IsIdentStart(code[i]) || (i > 0 && IsIdent(code[i - 1]))) continue;
    std::size_t end = i;
    while (end < code.size() && IsIdent(code[end]))
      ++end;
    std::size_t after = end;
    while (after < code.size() && (code[after] == ' ' || code[after] == '\t'))
      ++after;
    const std::string name = code.substr(i, end - i);
    const bool member = i > 0 && (code[i - 1] == '.' || code[i - 1] == '>');
    if (after < code.size() && code[after] == '(' && !kKeywords.count(name) && !member) {
      const Place place{name, path, lineNumber};
      if (definition && code.find('(') == after)
        unit.procs.push_back({place, {}, unit.failed});
      else
        (unit.procs.empty() ? unit.outsideCalls : unit.procs.back().calls).push_back(place);
    }
    i = end - 1;
  }
}

bool CompileText(const std::string& path, const std::string& text, Unit& unit, int depth);

void Message(const Unit& unit, const std::string& path, const std::string& form) {
  standin::Err((path == unit.mainPath ? "" : unit.mainPath + ": ") + form + "\n");
}

// Follows #include "x.h" as the real preprocessor does: the main source's folder first, then the
// -I folders, then every folder an earlier #include line named; never the including file's folder.
bool Include(const std::string& path, int lineNumber, const std::string& name, Unit& unit, int depth) {
  AddFolder(unit, FolderPart(name));
  std::vector<std::string> places{name[0] == '/' ? name : unit.mainFolder + "/" + name};
  if (name[0] != '/')
    for (const std::string& folder : unit.folders)
      places.push_back(folder + "/" + name);
  bool found = false;
  std::string header, headerPath;
  for (auto place = places.begin(); place != places.end() && !found; ++place) {
    headerPath = *place;
    header = standin::ReadFile(headerPath, found);
  }
  if (!found) {
    standin::Err("cpp: " + path + ":" + std::to_string(lineNumber) + " Could not find include file \"" +
                 name + "\"\n");
    unit.failed = unit.preprocessorFailed = true;
    return false;
  }
  return depth > 20 || CompileText(headerPath, header, unit, depth + 1);
}

bool CompileText(const std::string& path, const std::string& text, Unit& unit, int depth) {
  bool inComment = false;
  int lineNumber = 0;
  for (const std::string& line : standin::Lines(text)) {
    ++lineNumber;
    const std::string where = path + ":" + std::to_string(lineNumber) + ": ";
    if (line.find("STANDIN_CRASH") != std::string::npos) std::abort();
    if (line.find("STANDIN_HANG") != std::string::npos)
      for (;;)
        ::pause();
    if (line.find("STANDIN_SLEEP") != std::string::npos) std::this_thread::sleep_for(std::chrono::seconds(2));
    if (line.find("STANDIN_WARNING") != std::string::npos)
      Message(unit, path, where + "warning: missing return value");
    if (line.find("STANDIN_ERROR") != std::string::npos) {
      if (++unit.errors > 20) {
        Message(unit, path, where + "too many errors");
        return false;
      }
      Message(unit, path, where + "syntax error; found `STANDIN_ERROR' expecting `;'");
      unit.failed = true;
    }
    const auto hash = line.find_first_not_of(" \t");
    if (hash != std::string::npos && line.compare(hash, 8, "#include") == 0) {
      const auto open = line.find('"');
      const auto close = open == std::string::npos ? open : line.find('"', open + 1);
      if (close != std::string::npos &&
          !Include(path, lineNumber, line.substr(open + 1, close - open - 1), unit, depth))
        return false;
      continue;
    }
    ScanCode(CodeOnly(line, inComment), path, lineNumber, unit);
  }
  return true;
}

// With -Wf-g: a `file` record when the source file changes, then a `line` record before the
// code of each source line.
class Records {
public:
  explicit Records(bool wanted) : wanted_(wanted) {}
  std::string Before(const Place& place) {
    if (!wanted_) return {};
    std::string out;
    if (place.file != file_) out += "file \"" + place.file + "\"\n";
    file_ = place.file;
    return out + "line " + std::to_string(place.line) + "\n";
  }

private:
  bool wanted_;
  std::string file_;
};

std::string AssemblyOf(const Unit& unit, bool lineRecords) {
  std::string out;
  for (const auto& proc : unit.procs)
    out += "export " + proc.place.name + "\n";
  out += "code\n";
  Records records(lineRecords);
  for (const auto& proc : unit.procs) {
    out += records.Before(proc.place) + "proc " + proc.place.name + " 8 4\n";
    if (!proc.stub)
      for (const Place& call : proc.calls)
        out += records.Before(call) + "ADDRGP4 " + call.name + "\nCALLV\npop\n";
    out += "LABELV $1\nendproc " + proc.place.name + " 8 4\n";
  }
  for (const Place& call : unit.outsideCalls)
    out += "import " + call.name + "\n";
  return out;
}

// The base name with its extension cut, or empty when the source is not a lower-case ".c".
std::string AssemblyName(const std::string& source) {
  const std::string name = source.substr(source.rfind('/') == std::string::npos ? 0 : source.rfind('/') + 1);
  if (name.size() < 3 || name.compare(name.size() - 2, 2, ".c") != 0) return std::string();
  return name.substr(0, name.size() - 2) + ".asm";
}

} // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  standin::Active() = standin::Switches::Take(arguments);
  standin::ActBeforeWork();

  bool lineRecords = false;
  for (const std::string& argument : arguments)
    lineRecords = lineRecords || argument == "-Wf-g";
  int status = 0;
  for (const std::string& argument : arguments) {
    if (argument.empty() || argument[0] == '-') continue; // -D, -I, -S, -W options
    const std::string assembly = AssemblyName(argument);
    if (assembly.empty()) continue; // the real driver silently ignores anything but ".c"
    bool found = false;
    const std::string text = standin::ReadFile(argument, found);
    if (!found) {
      standin::Err(std::string(argv[0]) + ": can't find `" + argument + "'\n");
      status = 1;
      continue;
    }
    standin::Warnings(argument);
    if (!standin::Active().log.empty())
      std::ofstream(standin::Active().log, std::ios::app) << argument << "\n";
    Unit unit;
    unit.mainPath = argument;
    unit.mainFolder = FolderPart(argument);
    for (const std::string& option : arguments)
      if (option.rfind("-I", 0) == 0 && option.size() > 2) AddFolder(unit, option.substr(2));
    if (standin::Active().fail) {
      standin::Err(argument + ":1: compiler failure requested\n");
      unit.failed = true; // every function becomes a stub
    }
    CompileText(argument, text, unit, 0);
    // Like the real compiler, a compile error leaves a partial assembly file behind.
    if (!unit.preprocessorFailed) standin::WriteOutput(assembly, AssemblyOf(unit, lineRecords));
    if (unit.failed || unit.errors > 0) status = 1;
  }
  return standin::ActAfterWork(status);
}
