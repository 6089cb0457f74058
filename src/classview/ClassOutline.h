// The class view's outline: the struct types of a set of source files and their members, found
// by feeding the C/C++ highlighter's tokens through a two-variable state machine. No widgets.
#pragma once

#include "CppHighlighter.h"

#include <list>
#include <string>
#include <vector>

// Where a node was declared.
struct ClassObject {
  std::string FileName;
  int Line = 0; // 1-based
  bool operator==(const ClassObject&) const = default;
};

// A structure with its members, or a member (which has none).
struct ClassNode {
  std::string Caption;
  ClassObject Data;
  std::vector<ClassNode> Members;
};

class ClassOutline {
public:
  // Position relative to a struct declaration.
  enum : unsigned char { Outside, AfterStruct, InBody, AfterBody };
  // Position inside a member declarator.
  enum : unsigned char { Plain, InBrackets, AfterParen, FunctionPointerName, AfterFunctionPointerName };

  ClassOutline();
  ClassOutline(const ClassOutline&) = delete;
  ClassOutline& operator=(const ClassOutline&) = delete;

  // Drops the nodes and resets both states. The last identifier and the highlighter's range
  // carry on, so a declaration left open at the end of one scan runs into the next.
  void Restart();
  // Runs every line of one file through the highlighter; nodes record `path`.
  void ScanFile(const std::string& path, const std::vector<std::string>& lines);
  // Orders every level by caption, with the locale's case-sensitive comparison.
  void Sort();

  // The highlighter's token event; `lineNo` is the 0-based index of the line.
  void MyHighlighterToken(int tokenKind, const std::string& tokenText, int lineNo);

  // A list, so that the structure being read stays put while others are added or sorted.
  [[nodiscard]] const std::list<ClassNode>& Nodes() const { return nodes_; }

private:
  void Symbol(const std::string& symbol, int lineNo);
  void EndOfDeclarator(bool semicolon, int lineNo);

  CppHighlighter MyHighlighter_;
  unsigned char StructState_ = Outside;
  unsigned char DeclState_ = Plain;
  std::string LastIdentifier_;
  std::string ClassViewFile_;
  std::list<ClassNode> nodes_;
  // The structure whose body was opened last; none before the first.
  ClassNode* CurrentStructNode_ = nullptr;
};

// The sorted outline of one set of lines, read from a fresh state.
[[nodiscard]] std::vector<ClassNode> OutlineOfLines(const std::string& path,
                                                    const std::vector<std::string>& lines);
