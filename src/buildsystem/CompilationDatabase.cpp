// The flags follow the compiler's command line, so the front end sees the sources as they are
// built: the same defines and include folders, and none of the host's headers (the module's own
// bg_lib.h stands in for the C library, and the compiler has no other).
#include "CompilationDatabase.h"

#include "AtomicFile.h"
#include "IncludeScanner.h"
#include "ProcessRunner.h"
#include "WorkspacePaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <set>

namespace {

const char* const kFrontEnd = "clang";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The folders of the -I flags.
std::vector<std::string> IncludeFolders(const std::vector<std::string>& flags) {
  std::vector<std::string> folders;
  for (const std::string& flag : flags)
    if (StartsWith(flag, "-I")) folders.push_back(flag.substr(2));
  return folders;
}

CompileCommand Command(const std::string& file, const std::vector<std::string>& flags, const char* language) {
  std::vector<std::string> arguments{kFrontEnd, "-x", language};
  arguments.insert(arguments.end(), flags.begin(), flags.end());
  arguments.push_back(file);
  return {paths::ExcludeTrailingDelimiter(paths::ExtractFilePath(file)), file, std::move(arguments)};
}

QJsonArray JsonStrings(const std::vector<std::string>& texts) {
  QJsonArray array;
  for (const std::string& text : texts)
    array.append(QString::fromStdString(text));
  return array;
}

} // namespace

std::string ModuleDefine(const std::string& projectName) {
  std::string name = paths::LowerCase(projectName);
  if (name != "qagame" && name != "cgame" && name != "ui") return {};
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
  return name;
}

std::vector<std::string> FrontEndFlags(const std::string& compilerOptions, const std::string& projectName,
                                       const std::string& sourceFolder) {
  // A 32-bit target without an operating system: the virtual machine's int, long and pointer
  // sizes, and none of the host's macros (__linux__ would lead the engine's q_platform.h to
  // <endian.h>). The compiler's own macros stand in for them: its driver always defines Q3_VM.
  std::vector<std::string> flags{"--target=i386-unknown-none", "-std=gnu89", "-ffreestanding", "-nostdinc"};
  for (const char* hostMacro :
       {"__GNUC__", "__GNUC_MINOR__", "__GNUC_PATCHLEVEL__", "__i386__", "__i386", "i386"})
    flags.push_back(std::string("-U") + hostMacro);
  for (const char* compilerMacro : {"__STRICT_ANSI__", "__signed__=signed", "__LCC__", "Q3_VM"})
    flags.push_back(std::string("-D") + compilerMacro);
  const std::string define = ModuleDefine(projectName);
  if (!define.empty()) flags.push_back("-D" + define);
  for (const std::string& option : SplitCommandLine(compilerOptions)) {
    if (option.size() <= 2) continue; // a bare -I: the folder had no short form
    if (StartsWith(option, "-D") || StartsWith(option, "-U")) {
      if (option != "-D" + define && option != "-DQ3_VM") flags.push_back(option);
    } else if (StartsWith(option, "-I")) {
      flags.push_back("-I" + paths::ExpandFileName(option.substr(2), sourceFolder));
    }
  }
  return flags;
}

std::vector<CompileCommand> CompileCommands(const ProjectList& workspace, const Settings& settings,
                                            const ToolPaths& tools) {
  const std::string options = CompilerOptions(settings, ProjectFileNames(workspace), tools);
  std::vector<CompileCommand> commands;
  std::set<std::string> described;
  auto add = [&](const std::string& file, const std::vector<std::string>& flags, const char* language) {
    const bool added = described.insert(file).second;
    if (added) commands.push_back(Command(file, flags, language));
    return added;
  };
  std::vector<std::pair<std::string, std::vector<std::string>>> sources;
  for (int i = 0; i < workspace.Count(); ++i) {
    const Project& project = workspace.Items(i);
    for (const ProjectFile& entry : project.Files) {
      if (!IsCSource(entry.Path)) continue;
      const std::string file = paths::ExpandFileName(entry.Path, "/");
      const auto flags = FrontEndFlags(options, project.Name, paths::ExtractFilePath(file));
      if (add(file, flags, "c")) sources.emplace_back(file, flags);
    }
  }
  IncludeScanner scanner;
  for (const auto& [source, flags] : sources)
    for (const IncludedHeader& header : scanner.HeadersOf(source, IncludeFolders(flags))) {
      std::vector<std::string> withContext = flags;
      for (const std::string& before : header.context)
        withContext.insert(withContext.end(), {"-include", before});
      add(header.path, withContext, "c-header");
    }
  for (int i = 0; i < workspace.Count(); ++i) {
    const Project& project = workspace.Items(i);
    for (const ProjectFile& entry : project.Files) {
      if (!IsCHeader(entry.Path)) continue;
      const std::string file = paths::ExpandFileName(entry.Path, "/");
      add(file, FrontEndFlags(options, project.Name, paths::ExtractFilePath(file)), "c-header");
    }
  }
  return commands;
}

std::string CompilationDatabaseText(const std::vector<CompileCommand>& commands) {
  QJsonArray entries;
  for (const CompileCommand& command : commands)
    entries.append(QJsonObject{{"directory", QString::fromStdString(command.directory)},
                               {"file", QString::fromStdString(command.file)},
                               {"arguments", JsonStrings(command.arguments)}});
  return QJsonDocument(entries).toJson(QJsonDocument::Indented).toStdString();
}

std::string WriteCompilationDatabase(const std::string& path, const ProjectList& workspace,
                                     const Settings& settings) {
  return WriteFileAtomically(
      path, CompilationDatabaseText(CompileCommands(workspace, settings, ToolPaths::Native())));
}
