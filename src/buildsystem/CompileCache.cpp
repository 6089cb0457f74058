// Records are small text files beside the compiled files, "<base>.inputs"; a record that cannot
// be read counts as none, so the worst a damaged cache costs is a compile.
#include "CompileCache.h"

#include "BuildSteps.h"
#include "Settings.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

const char* const kRecordHeading = "Tessarin compile record 1";
// q3lcc runs these from its own folder; a new one changes what it makes.
const char* const kCompilerPasses[] = {"q3cpp", "q3rcc"};

std::string RecordFile(const std::string& assemblyFile) {
  return std::filesystem::path(assemblyFile).replace_extension(".inputs").string();
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The text after "key\t" on a line of the record, or none.
std::optional<std::string> After(const std::string& line, const std::string& key) {
  if (line.size() <= key.size() || line.compare(0, key.size(), key) != 0 || line[key.size()] != '\t')
    return std::nullopt;
  return line.substr(key.size() + 1);
}

std::uint64_t Fnv1a(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text)
    hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

} // namespace

std::string WriteRecord(const std::string& file, const std::string& text) {
  const std::string written = file + ".new";
  std::string why;
  if (std::FILE* out = std::fopen(written.c_str(), "wb"); out == nullptr) {
    why = std::strerror(errno);
  } else {
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) why = std::strerror(errno);
    // A full disk often shows only here, when the buffered text goes out.
    if (std::fclose(out) != 0 && why.empty()) why = std::strerror(errno);
  }
  if (why.empty() && std::rename(written.c_str(), file.c_str()) != 0) why = std::strerror(errno);
  if (why.empty()) return {};
  std::remove(written.c_str());
  return "cannot write " + file + " (" + why + ")";
}

std::string FileStamp(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec) + "/" +
         std::to_string(status.st_ctim.tv_sec) + "." + std::to_string(status.st_ctim.tv_nsec) + "/" +
         std::to_string(status.st_size) + "/" + std::to_string(status.st_dev) + "/" +
         std::to_string(status.st_ino);
}

std::string CompileRecord::Text() const {
  std::string text = std::string(kRecordHeading) + "\ncommand\t" + commandLine + "\nentry\t" +
                     (definesEntryPoint ? "1" : "0") + "\nassembly\t" + assemblyStamp + "\n";
  for (const auto& [path, stamp] : inputs.files)
    text += "file\t" + stamp + "\t" + path + "\n";
  for (const std::string& path : inputs.notThere)
    text += "absent\t" + path + "\n";
  for (const std::string& line : messages)
    text += "message\t" + line + "\n";
  return text + "end\n";
}

std::optional<CompileRecord> CompileRecord::FromText(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kRecordHeading) return std::nullopt;
  CompileRecord record;
  bool hasCommand = false, hasAssembly = false;
  // A record cut short would name fewer inputs than the compile read: only a whole one counts.
  while (std::getline(in, line)) {
    if (line == "end")
      return hasCommand && hasAssembly && in.peek() == EOF ? std::optional(record) : std::nullopt;
    if (auto command = After(line, "command")) {
      record.commandLine = *command;
      hasCommand = true;
    } else if (auto entry = After(line, "entry")) {
      record.definesEntryPoint = *entry == "1";
    } else if (auto assembly = After(line, "assembly")) {
      record.assemblyStamp = *assembly;
      hasAssembly = !assembly->empty();
    } else if (auto file = After(line, "file")) {
      const std::size_t tab = file->find('\t');
      if (tab == std::string::npos || tab == 0) return std::nullopt;
      record.inputs.files.emplace_back(file->substr(tab + 1), file->substr(0, tab));
    } else if (auto absent = After(line, "absent")) {
      record.inputs.notThere.push_back(*absent);
    } else if (auto message = After(line, "message")) {
      record.messages.push_back(*message);
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

std::string ProjectBuildFolder(const std::string& cacheFolder, const std::string& projectName,
                               const std::string& projectFileName) {
  std::string name;
  for (unsigned char c : projectName.substr(0, 40))
    name += std::isalnum(c) || c == '-' || c == '_' || c == '.' ? static_cast<char>(c) : '_';
  if (name.empty() || name[0] == '.') name.insert(0, "project");
  const std::string key = projectFileName.empty()
                              ? projectName
                              : std::filesystem::absolute(projectFileName).lexically_normal().string();
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(key)));
  return paths::IncludeTrailingDelimiter(cacheFolder, PathStyle::Posix()) + name + "-" + hash + "/";
}

CompileCache::CompileCache(std::string folder, const std::string& compiler) : folder_(std::move(folder)) {
  const std::string program = compiler.find('/') == std::string::npos ? FindOnSearchPath(compiler) : compiler;
  if (program.empty()) return;
  compilerFiles_.push_back(program);
  const std::filesystem::path folderOfCompiler = std::filesystem::path(program).parent_path();
  for (const char* pass : kCompilerPasses)
    compilerFiles_.push_back((folderOfCompiler / pass).string());
}

const std::string& CompileCache::StampOf(const std::string& path) {
  if (const auto known = stamps_.find(path); known != stamps_.end()) return known->second;
  return stamps_.emplace(path, FileStamp(path)).first->second;
}

std::optional<CompileRecord> CompileCache::RecordOf(const std::string& assemblyFile) const {
  return CompileRecord::FromText(ReadWhole(RecordFile(assemblyFile)));
}

std::optional<CompileRecord> CompileCache::UpToDate(const std::string& assemblyFile,
                                                    const std::string& commandLine) {
  std::optional<CompileRecord> record = RecordOf(assemblyFile);
  if (!record || record->commandLine != commandLine || FileStamp(assemblyFile) != record->assemblyStamp)
    return std::nullopt;
  for (const auto& [path, stamp] : record->inputs.files)
    if (StampOf(path) != stamp) return std::nullopt;
  for (const std::string& path : record->inputs.notThere)
    if (!StampOf(path).empty()) return std::nullopt;
  return record;
}

CompileInputs CompileCache::BeginCompile(const std::string& source, const std::string& assemblyFile,
                                         const std::string& commandLine) {
  std::remove(RecordFile(assemblyFile).c_str());
  SourceDependencies read = scanner_.DependenciesOf(source, IncludeOptions(commandLine));
  read.files.insert(read.files.end(), compilerFiles_.begin(), compilerFiles_.end());
  CompileInputs inputs;
  inputs.notThere = std::move(read.notThere);
  for (const std::string& path : read.files) {
    const std::string& stamp = StampOf(path);
    if (stamp.empty())
      inputs.notThere.push_back(path);
    else
      inputs.files.emplace_back(path, stamp);
  }
  return inputs;
}

std::string CompileCache::Remember(const std::string& assemblyFile, const std::string& commandLine,
                                   const CompileInputs& inputs, const std::vector<std::string>& messages) {
  CompileRecord record{commandLine, inputs, FileStamp(assemblyFile), ::DefinesEntryPoint(assemblyFile),
                       messages};
  // A compiler that wrote nothing leaves nothing to keep; a name with a line end cannot be kept.
  const std::string text = record.Text();
  if (record.assemblyStamp.empty() || CompileRecord::FromText(text) != record) return {};
  return WriteRecord(RecordFile(assemblyFile), text);
}

void CompileCache::Forget(const std::string& assemblyFile) {
  std::remove(RecordFile(assemblyFile).c_str());
  std::remove(assemblyFile.c_str());
}

bool CompileCache::DefinesEntryPoint(const std::string& assemblyFile) const {
  const std::optional<CompileRecord> record = RecordOf(assemblyFile);
  return record ? record->definesEntryPoint : ::DefinesEntryPoint(assemblyFile);
}

CompileRecord CompileCache::ModuleRecord(const std::string& commandLine,
                                         const std::vector<std::string>& inputs, const std::string& module) {
  CompileRecord record;
  record.commandLine = commandLine + " > " + module;
  record.assemblyStamp = FileStamp(module);
  std::vector<std::string> files = inputs;
  files.push_back(std::filesystem::path(module).replace_extension(".map").string());
  for (const std::string& path : files) {
    const std::string stamp = FileStamp(path);
    if (stamp.empty())
      record.inputs.notThere.push_back(path);
    else
      record.inputs.files.emplace_back(path, stamp);
  }
  return record;
}

bool CompileCache::ModuleUpToDate(const std::string& commandLine, const std::vector<std::string>& inputs,
                                  const std::string& module) const {
  const std::optional<CompileRecord> kept = CompileRecord::FromText(ReadWhole(ModuleRecordFile()));
  const CompileRecord now = ModuleRecord(commandLine, inputs, module);
  return kept && !now.assemblyStamp.empty() && *kept == now;
}

std::string CompileCache::RememberModule(const std::string& commandLine,
                                         const std::vector<std::string>& inputs,
                                         const std::string& module) const {
  const CompileRecord record = ModuleRecord(commandLine, inputs, module);
  const std::string text = record.Text();
  if (record.assemblyStamp.empty() || CompileRecord::FromText(text) != record) return {};
  return WriteRecord(ModuleRecordFile(), text);
}

void CompileCache::ForgetModule() const { std::remove(ModuleRecordFile().c_str()); }
