// A large body of real C for highlighter tests and benchmarks: the system's header files.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// The .h files under /usr/include, concatenated in name order until `limit` bytes are reached.
inline std::string ReadHeaderCorpus(std::size_t limit) {
  std::error_code error;
  std::vector<std::filesystem::path> files;
  for (auto it = std::filesystem::recursive_directory_iterator(
           "/usr/include", std::filesystem::directory_options::skip_permission_denied, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
    if (it->is_regular_file(error) && it->path().extension() == ".h") files.push_back(it->path());
  std::sort(files.begin(), files.end());
  std::string corpus;
  for (const auto& file : files) {
    if (corpus.size() >= limit) break;
    std::ifstream in(file, std::ios::binary);
    corpus.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!corpus.empty() && corpus.back() != '\n') corpus += '\n';
  }
  return corpus;
}

// The lines of `text` without their line ends (LF or CR LF).
inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}
