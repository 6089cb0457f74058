// Go to Definition and Declaration, Find References, and Back / Forward through the jumps: the
// caret's place asked of the navigator, its answer shown, and the places left kept for Back.
// Every request is asynchronous; a newer one cancels the one still waiting, and an answer to a
// text that changed since is dropped by the navigator.
#pragma once

#include "JumpHistory.h"
#include "Navigator.h"
#include "TextDefinitions.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the commands take from the window, each replaceable in tests.
struct NavigationShell {
  // The workspace's navigator; none while no workspace with projects is open.
  std::function<Navigator*()> navigator;
  // The active editor's file and caret; none without an editor window with a file.
  std::function<std::optional<CaretPlace>()> caret;
  // Opens the file's window, puts the caret at the place and brings the window to the front.
  std::function<void(const CaretPlace& place)> show;
  // Picks one of several places by their labels; none when the user picked nothing.
  std::function<std::optional<std::size_t>(const std::vector<std::string>& labels)> choose;
  // A short message for the user.
  std::function<void(const std::string& text)> tell;
  // Shows the references found for `name`, in the order found.
  std::function<void(const std::string& name, const Locations& places)> showReferences;
  // The C name at the caret; empty when there is none.
  std::function<std::string()> nameAtCaret;
  // The places of the open documents whose lines define (or declare) the name, by their shape.
  std::function<Locations(const std::string& name, TextRole role)> openDefinitions;
  // The places of the workspace's assembler files that define the name with "equ".
  std::function<Locations(const std::string& name)> assemblyDefinitions;
  // The new name for a symbol; none when the user gave none.
  std::function<std::optional<std::string>(const std::string& oldName)> askNewName;
  // Shows what a rename changes and makes the changes the user confirms.
  std::function<void(const std::string& oldName, const std::string& newName,
                     const std::vector<FileEdits>& edits)>
      rename;
};

class NavigationCommands {
public:
  explicit NavigationCommands(NavigationShell shell) : shell_(std::move(shell)) {}

  void GoToDefinition();
  void GoToDeclaration();
  void FindReferences();
  // Asks for a new name of the symbol at the caret, and hands the server's edits to the shell.
  void RenameSymbol();
  void Back();
  void Forward();
  // A jump from elsewhere (a message line, a reference) is about to move the caret: where it is
  // now is kept for Back.
  void NoteJump();
  // Shows `place`, keeping the caret's place for Back.
  void JumpTo(const CaretPlace& place);

  [[nodiscard]] bool CanGoBack() const { return history_.CanGoBack(); }
  [[nodiscard]] bool CanGoForward() const { return history_.CanGoForward(); }

  // Texts the user sees.
  static constexpr const char* kCannotRename = "The name at the caret cannot be renamed";
  static constexpr const char* kNoWorkspace =
      "Open a workspace with projects first: clangd takes each file's compiler flags from its project";
  static constexpr const char* kNoEditor = "Put the caret on a name in a saved source file first";

private:
  using Ask = RequestId (Navigator::*)(const std::string&, TextPosition, ReplyHandler<Locations>);
  // Asks `ask` at the caret and hands the places found, with `more` of them, to `found`; says
  // `nothing` when there are none.
  void AskAtCaret(Ask ask, const char* nothing, Locations more,
                  std::function<void(const CaretPlace& from, const Locations&)> found);
  // Go to Definition or Declaration: while the server still indexes, the open files answer.
  void GoTo(Ask ask, TextRole role, const char* nothing);
  void GoToOneOf(const CaretPlace& from, const Locations& places);
  // The navigator to ask, the request still waiting on it cancelled; none after telling the user
  // why there is none.
  Navigator* Ready();

  NavigationShell shell_;
  JumpHistory history_;
  RequestId waiting_ = 0;
  Navigator* waitingOn_ = nullptr;
};

// What the status bar says while the server indexes: "clangd is still indexing (45%)".
[[nodiscard]] std::string IndexingNote(int percent);
// A place as a chooser lists it: "file.c:12 (folder)".
[[nodiscard]] std::string PlaceLabel(const SourceLocation& place);
// What the user reads when a request got no answer; empty when nothing needs saying (the user
// asked again, or the text changed).
[[nodiscard]] std::string AnswerProblem(ReplyStatus status, const std::string& problem);
