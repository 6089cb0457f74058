// The text of a PDF file as pdftotext lays it out (pages end in a form feed); empty when the
// file cannot be read.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

inline std::string PdfText(const std::string& pdf) {
  std::string text;
  const std::string command = "pdftotext -layout '" + pdf + "' - 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
    text.append(buffer, n);
  return text;
}
