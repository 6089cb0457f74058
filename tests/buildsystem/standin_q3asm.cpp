// A stand-in for the game's assembler, faithful in what the build relies on: inputs in command
// line order (".asm" added to a name without extension, names case-sensitive), q3asm.qvm in the
// working directory (or -o NAME), the map only with -m, no module when there are errors, code
// errors on standard error as "name:line text" (the name as given), fatal errors on standard output ending in
// CR LF, the "total errors" summary only with -v, and the error count modulo 256 as exit status. The module
// it writes has a real module header; its code is a text naming the procedures in layout order, so tests can
// see which function the engine would start.
#include "standin_common.h"

#include <cstdint>
#include <map>
#include <set>

namespace {

struct Symbol {
  std::string file;
  int line = 0;
};

struct Assembly {
  std::vector<std::string> procs; // layout order
  std::map<std::string, Symbol> defined;
  std::vector<std::pair<std::string, Symbol>> used;
  int errors = 0;
};

const std::set<std::string> kTokens = {"export",  "import", "code",    "data",   "bss",   "lit",     "align",
                                       "byte",    "skip",   "address", "file",   "line",  "endproc", "pop",
                                       "CALLV",   "CALLI4", "RETV",    "RETI4",  "ARGP4", "ARGI4",   "CNSTI4",
                                       "ADDRLP4", "LABELV", "INDIRI4", "ASGNI4", "ADDI4"};

[[noreturn]] void Fatal(const std::string& message) {
  standin::Out("\n************ ERROR ************\n" + message + "\r\n");
  std::exit(1);
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The real one writes the place and the text with two calls; --standin-split-errors puts a line
// of standard output between them, each write apart in time.
void CodeError(Assembly& assembly, const std::string& file, int line, const std::string& text) {
  const std::string place = file + ":" + std::to_string(line) + " ";
  if (standin::Active().splitErrors) {
    for (const auto& [fd, part] :
         {std::pair{STDERR_FILENO, place}, {STDOUT_FILENO, "between\n"}, {STDERR_FILENO, text + "\n"}}) {
      standin::WriteAll(fd, part.data(), part.size());
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
  } else {
    standin::Err(place + text + "\n");
  }
  ++assembly.errors;
}

void Define(Assembly& assembly, const std::string& name, const std::string& file, int line) {
  if (assembly.defined.count(name))
    return CodeError(assembly, file, line, "Multiple definitions for " + name);
  assembly.defined[name] = {file, line};
}

void AssembleFile(const std::string& file, const std::string& text, Assembly& assembly, bool verbose,
                  int pass) {
  if (verbose) standin::Out("pass " + std::to_string(pass) + ": " + FileNameOf(file) + "\n");
  int lineNumber = 0;
  for (const std::string& line : standin::Lines(text)) {
    ++lineNumber;
    std::vector<std::string> words;
    std::string word;
    for (char c : line + " ") {
      if (c == ' ' || c == '\t') {
        if (!word.empty()) words.push_back(word);
        word.clear();
      } else {
        word += c;
      }
    }
    if (words.empty() || words[0][0] == ';') continue;
    const std::string& token = words[0];
    const std::string name = words.size() > 1 ? words[1] : std::string();
    if (token == "proc" || token == "equ") {
      if (pass == 0) {
        Define(assembly, name, file, lineNumber);
        if (token == "proc") assembly.procs.push_back(name);
      }
    } else if (token == "ADDRGP4") {
      if (pass == 0) assembly.used.push_back({name, {file, lineNumber}});
    } else if (!kTokens.count(token)) {
      CodeError(assembly, file, lineNumber, "Unknown token: " + token); // once per pass, as the real one
    }
  }
}

// The header of a module whose only segment is `codeLength` bytes of code.
std::string ModuleHeader(std::size_t codeLength) {
  const std::uint32_t fields[] = {0x12721445,
                                  1,
                                  36,
                                  static_cast<std::uint32_t>(codeLength),
                                  static_cast<std::uint32_t>(36 + codeLength),
                                  0,
                                  0,
                                  0,
                                  0};
  std::string header;
  for (std::uint32_t field : fields)
    for (int byte = 0; byte < 4; ++byte)
      header += static_cast<char>(field >> (8 * byte) & 0xff);
  return header;
}

} // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  standin::Active() = standin::Switches::Take(arguments);
  standin::ActBeforeWork();

  bool verbose = false, writeMap = false;
  std::string output = "q3asm";
  std::vector<std::string> inputs;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "-v")
      verbose = true;
    else if (a == "-m")
      writeMap = true;
    else if (a == "-o" && i + 1 < arguments.size())
      output = arguments[++i];
    else if (!a.empty() && a[0] == '-')
      Fatal("Unknown option: " + a);
    else
      inputs.push_back(a);
  }
  if (inputs.empty()) Fatal("No input files given");
  if (output.size() > 4 && output.compare(output.size() - 4, 4, ".qvm") == 0)
    output.resize(output.size() - 4);

  std::vector<std::pair<std::string, std::string>> sources;
  for (std::string input : inputs) {
    if (FileNameOf(input).find('.') == std::string::npos) input += ".asm";
    bool found = false;
    std::string text = standin::ReadFile(input, found);
    if (!found) Fatal("Error opening " + input + ": No such file or directory");
    sources.push_back({input, std::move(text)});
  }

  Assembly assembly;
  for (int pass = 0; pass < 2; ++pass)
    for (const auto& [file, text] : sources)
      AssembleFile(file, text, assembly, verbose, pass);
  for (const auto& [name, at] : assembly.used)
    if (!assembly.defined.count(name))
      CodeError(assembly, at.file, at.line, "error: symbol " + name + " undefined");
  if (standin::Active().fail) CodeError(assembly, sources.front().first, 1, "assembler failure requested");

  if (verbose) {
    standin::Out(std::to_string(assembly.errors) + " total errors\n");
    standin::Out("instruction count: " + std::to_string(assembly.procs.size() * 4) + "\n");
  }
  const std::string module = output + ".qvm";
  if (assembly.errors == 0) {
    if (verbose) standin::Out("Writing to " + module + "\n");
    std::string code = "standin qvm\n";
    for (const auto& proc : assembly.procs)
      code += "proc " + proc + "\n";
    standin::WriteOutput(module, ModuleHeader(code.size()) + code);
  } else {
    std::remove(module.c_str());
    if (verbose) standin::Out("Not writing a file due to errors\n");
  }
  if (writeMap) {
    std::string map;
    for (const auto& [name, at] : assembly.defined)
      map += "0 0 " + name + "\n";
    standin::WriteOutput(output + ".map", map);
  }
  if (verbose) standin::Out("    0 seconds elapsed\n");
  return standin::ActAfterWork(assembly.errors % 256);
}
