#include "FileTypeRegistration.h"

#include "AtomicFile.h"
#include "Settings.h"

#include <QProcess>
#include <QStringList>

#include <cstdlib>

const char* const kWorkspaceMimeType = "application/x-tessarin-workspace";

namespace {

const char* const kMimePackage = "/mime/packages/tessarin-workspace.xml";
const char* const kDesktopEntry = "/applications/tessarin.desktop";

std::string xmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default: out += c;
    }
  }
  return out;
}

std::string mimePackage() {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                     "  <mime-type type=\"") +
         xmlEscaped(kWorkspaceMimeType) +
         "\">\n"
         "    <comment>Project1 File</comment>\n"
         "    <glob pattern=\"*.tsw\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string desktopEntry(const std::string& programPath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Tessarin\n"
         "Comment=Edit and build game modules\n"
         "Exec=" +
         DesktopExecLine(programPath) +
         "\n"
         "MimeType=" +
         kWorkspaceMimeType +
         ";\n"
         "Terminal=false\n"
         "Categories=Development;IDE;\n";
}

} // namespace

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
      {dataHome + kMimePackage, mimePackage()},
      {dataHome + kDesktopEntry, desktopEntry(programPath)},
  };
  for (const auto& [path, content] : files) {
    std::string error = writeFileAtomically(path, content);
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
