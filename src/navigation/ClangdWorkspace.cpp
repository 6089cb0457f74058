// The database is compared before it is written, so a settings change that does not touch the
// flags leaves clangd's file, and the index built on it, alone.
#include "ClangdWorkspace.h"

#include "AtomicFile.h"
#include "CompilationDatabase.h"

#include <QCryptographicHash>
#include <QJsonArray>

namespace {

const char* const kDatabaseName = "/compile_commands.json";

std::string WorkspaceFolder(const std::string& workspaceFile) {
  return paths::ExcludeTrailingDelimiter(paths::ExtractFilePath(workspaceFile));
}

std::string WriteIfChanged(const std::string& file, const std::string& text) {
  std::string old, error;
  if (ReadFileIfPresent(file, old, error) && old == text) return {};
  return WriteFileAtomically(file, text);
}

} // namespace

std::string ClangdProgram() {
  if (!FindOnSearchPath("clangd").empty()) return "clangd";
  for (int version = 30; version >= 10; --version) {
    const std::string name = "clangd-" + std::to_string(version);
    if (!FindOnSearchPath(name).empty()) return name;
  }
  return "clangd";
}

std::string CompilationDatabaseFolder(const std::string& workspaceFile) {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  const std::string base =
      cache != nullptr && *cache == '/' ? cache : std::string(home ? home : "") + "/.cache";
  const QByteArray hash =
      QCryptographicHash::hash(QByteArray::fromStdString(workspaceFile), QCryptographicHash::Sha1)
          .toHex()
          .left(16);
  const std::string name = paths::ChangeFileExt(paths::ExtractFileName(workspaceFile), "");
  return base + "/Tessarin/clangd/" + name + "-" + hash.toStdString();
}

LanguageServer::Options ClangdOptions(const std::string& program, const std::string& databaseFolder,
                                      const std::string& workspaceFile, const ProjectList& workspace,
                                      const Settings& settings) {
  LanguageServer::Options options;
  options.program = program;
  options.folder = WorkspaceFolder(workspaceFile);
  // Completion never adds an #include (a module's includes are chosen with care), and waits for
  // the file's first parse rather than offer the words of the file: members after "->" need it.
  options.arguments = {QString::fromStdString("--compile-commands-dir=" + databaseFolder),
                       "--header-insertion=never", "--completion-parse=always", "--log=error"};
  QJsonArray fallback{"-xc"};
  for (const std::string& flag : FrontEndFlags(
           CompilerOptions(settings, ProjectFileNames(workspace), ToolPaths::Native()), "", options.folder))
    fallback.append(QString::fromStdString(flag));
  options.initializationOptions = QJsonObject{{"fallbackFlags", fallback}};
  return options;
}

ClangdWorkspace::ClangdWorkspace(const std::string& workspaceFile, const ProjectList& workspace,
                                 const Settings& settings, const std::string& program)
    : folder_(CompilationDatabaseFolder(workspaceFile)),
      navigator_(ClangdOptions(program, folder_, workspaceFile, workspace, settings)) {
  Update(workspace, settings);
  navigator_.Start();
}

std::string ClangdWorkspace::Update(const ProjectList& workspace, const Settings& settings) {
  return WriteIfChanged(folder_ + kDatabaseName,
                        CompilationDatabaseText(CompileCommands(workspace, settings, ToolPaths::Native())));
}
