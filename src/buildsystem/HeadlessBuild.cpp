// Console stand-ins for the build's windows.
#include "HeadlessBuild.h"

#include <iostream>

JumpTarget& NoEditorWindows::OpenEditorWindow(const std::string& path) {
  throw TessarinError("No editor window can show " + path);
}

Answer ConsoleQuestions::Tell(const std::string& text, Answer answer) {
  std::cerr << text << std::endl;
  return answer;
}
