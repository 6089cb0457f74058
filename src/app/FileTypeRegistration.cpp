#include "FileTypeRegistration.h"

#include "AtomicFile.h"
#include "Settings.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <cstdlib>

namespace {

const char* const kMimePackage = "/mime/packages/tessarin-workspace.xml";
const char* const kDesktopEntry = "/applications/tessarin.desktop";

// The files the installed program ships, kept in the program's resources.
std::string shipped(const char* name) {
  QFile file(QString(":/desktop/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

// The shipped entry runs "tessarin" from the search path; this one runs the program started.
std::string desktopEntry(const std::string& programPath) {
  std::string entry = shipped("tessarin.desktop");
  const std::string exec = "\nExec=tessarin %f\n";
  const std::size_t at = entry.find(exec);
  if (at != std::string::npos)
    entry.replace(at, exec.size(), "\nExec=" + DesktopExecLine(programPath) + "\n");
  return entry;
}

} // namespace

bool WritesUserRegistration(const std::string& programPath, const char* request, const FileTest& fileExists) {
  if (request != nullptr && std::string(request) == "0") return false;
  return !RunsFromInstalledPrefix(programPath, fileExists);
}

std::string DesktopDataHome() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return data;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/share";
}

std::string DesktopExecLine(const std::string& programPath) {
  // Inside double quotes the characters " ` $ and \ take a backslash; a percent sign is doubled
  // so it is not read as a field code. The string value then escapes every backslash again.
  std::string quoted = "\"";
  for (char c : programPath) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string value;
  for (char c : quoted) {
    if (c == '\\') value += '\\';
    if (c == '\n') {
      value += "\\n";
      continue;
    }
    value += c;
  }
  return value + " %f";
}

std::string RegisterFileType(const std::string& programPath, const std::string& dataHome,
                             const ToolStarter& startTool) {
  const std::pair<std::string, std::string> files[] = {
      {dataHome + kMimePackage, shipped("tessarin-workspace.xml")},
      {dataHome + kDesktopEntry, desktopEntry(programPath)},
  };
  for (const auto& [path, content] : files) {
    std::string error = WriteFileAtomically(path, content);
    if (!error.empty()) return "Failed to set data for '" + path + "'\n" + error;
  }
  const std::pair<const char*, std::string> tools[] = {
      {"update-mime-database", dataHome + "/mime"},
      {"update-desktop-database", dataHome + "/applications"},
  };
  for (const auto& [tool, folder] : tools) {
    std::string program = FindOnSearchPath(tool);
    if (!program.empty()) startTool(program, {folder});
  }
  return {};
}

void StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
  QStringList list;
  for (const std::string& argument : arguments)
    list << QString::fromStdString(argument);
  QProcess::startDetached(QString::fromStdString(program), list);
}
