#include "NavigationCommands.h"

#include "Paths.h"

#include <algorithm>

std::string PlaceLabel(const SourceLocation& place) {
  return paths::ExtractFileName(place.path) + ":" + std::to_string(place.range.start.line) + "  (" +
         paths::ExcludeTrailingDelimiter(paths::ExtractFilePath(place.path)) + ")";
}

std::string AnswerProblem(ReplyStatus status, const std::string& problem) {
  switch (status) {
  case ReplyStatus::Answered:
  case ReplyStatus::Cancelled:
  case ReplyStatus::Stale: return {};
  case ReplyStatus::TimedOut: return "clangd took too long to answer; try again once it has read the files";
  case ReplyStatus::Failed: return "clangd could not answer: " + problem;
  case ReplyStatus::Unavailable: return problem;
  }
  return problem;
}

Navigator* NavigationCommands::Ready() {
  Navigator* navigator = shell_.navigator();
  if (navigator == nullptr) {
    shell_.tell(kNoWorkspace);
    return nullptr;
  }
  if (!navigator->Problem().empty()) {
    shell_.tell(navigator->Problem());
    return nullptr;
  }
  if (waiting_ != 0 && waitingOn_ == navigator) navigator->Cancel(waiting_);
  waitingOn_ = navigator;
  return navigator;
}

std::string IndexingNote(int percent) {
  return "clangd is still indexing (" + std::to_string(percent) + "%)";
}

void NavigationCommands::AskAtCaret(Ask ask, const char* nothing, Locations more,
                                    std::function<void(const CaretPlace& from, const Locations&)> found) {
  const std::optional<CaretPlace> caret = shell_.caret();
  if (!caret) {
    shell_.tell(kNoEditor);
    return;
  }
  Navigator* navigator = Ready();
  if (navigator == nullptr) return;
  const RequestId id =
      (navigator->*ask)(caret->path, caret->at,
                        [this, from = *caret, nothing, more = std::move(more),
                         found = std::move(found)](const Reply<Locations>& answer) {
                          waiting_ = 0;
                          Locations places = answer.value;
                          for (const SourceLocation& place : more)
                            if (std::find(places.begin(), places.end(), place) == places.end())
                              places.push_back(place);
                          if (answer.status != ReplyStatus::Answered) {
                            const std::string problem = AnswerProblem(answer.status, answer.problem);
                            if (!problem.empty()) shell_.tell(problem);
                          } else if (places.empty()) {
                            shell_.tell(nothing);
                          } else {
                            found(from, places);
                          }
                        });
  // An answer may come before the request returns its number only from a navigator that
  // answers at once; none does, but the number must not outlive its answer.
  waiting_ = id;
}

void NavigationCommands::GoTo(Ask ask, TextRole role, const char* nothing) {
  const std::string name = shell_.nameAtCaret();
  // The server never reads the assembler's files: a system call is defined there.
  Locations assembled = name.empty() ? Locations() : shell_.assemblyDefinitions(name);
  Navigator* navigator = shell_.navigator();
  const std::optional<CaretPlace> caret = shell_.caret();
  const std::optional<int> indexing = navigator != nullptr ? navigator->IndexingPercent() : std::nullopt;
  if (indexing && caret && !name.empty()) {
    Locations found = shell_.openDefinitions(name, role);
    found.insert(found.end(), assembled.begin(), assembled.end());
    if (!found.empty()) {
      shell_.tell(IndexingNote(*indexing) + "; this answer comes from the open files");
      GoToOneOf(*caret, found);
      return;
    }
  }
  AskAtCaret(ask, nothing, std::move(assembled),
             [this](const CaretPlace& from, const Locations& places) { GoToOneOf(from, places); });
}

void NavigationCommands::GoToDefinition() {
  GoTo(&Navigator::Definition, TextRole::Definition, "No definition found for the name at the caret");
}

void NavigationCommands::GoToDeclaration() {
  GoTo(&Navigator::Declaration, TextRole::Declaration, "No declaration found for the name at the caret");
}

void NavigationCommands::FindReferences() {
  if (Navigator* navigator = shell_.navigator())
    if (const std::optional<int> indexing = navigator->IndexingPercent())
      shell_.tell(IndexingNote(*indexing) + "; the references may miss the files it has not read");
  AskAtCaret(&Navigator::References, "No references found for the name at the caret", {},
             [this](const CaretPlace& from, const Locations& places) {
               shell_.showReferences(paths::ExtractFileName(from.path) + ":" + std::to_string(from.at.line),
                                     places);
             });
}

void NavigationCommands::RenameSymbol() {
  const std::optional<CaretPlace> caret = shell_.caret();
  const std::string name = shell_.nameAtCaret();
  if (!caret || name.empty()) {
    shell_.tell(kNoEditor);
    return;
  }
  Navigator* navigator = Ready();
  if (navigator == nullptr) return;
  waiting_ = navigator->PrepareRename(
      caret->path, caret->at,
      [this, navigator, at = *caret, name](const Reply<std::optional<RenameTarget>>& target) {
        waiting_ = 0;
        if (target.status != ReplyStatus::Answered) {
          if (const std::string problem = AnswerProblem(target.status, target.problem); !problem.empty())
            shell_.tell(problem);
          return;
        }
        if (!target.value) {
          shell_.tell(kCannotRename);
          return;
        }
        const std::string oldName = target.value->name.empty() ? name : target.value->name;
        const std::optional<std::string> newName = shell_.askNewName(oldName);
        if (!newName || newName->empty() || *newName == oldName) return;
        if (const std::optional<int> indexing = navigator->IndexingPercent())
          shell_.tell(IndexingNote(*indexing) + "; the text matches list the uses it has not read");
        waiting_ = navigator->Rename(
            at.path, at.at, *newName,
            [this, oldName, newName = *newName](const Reply<std::vector<FileEdits>>& edits) {
              waiting_ = 0;
              const std::string problem = AnswerProblem(edits.status, edits.problem);
              if (!problem.empty())
                shell_.tell(problem);
              else if (edits.status == ReplyStatus::Answered && edits.value.empty())
                shell_.tell(kCannotRename);
              else if (edits.status == ReplyStatus::Answered)
                shell_.rename(oldName, newName, edits.value);
            });
      });
}

void NavigationCommands::GoToOneOf(const CaretPlace& from, const Locations& places) {
  std::size_t chosen = 0;
  if (places.size() > 1) {
    std::vector<std::string> labels;
    for (const SourceLocation& place : places)
      labels.push_back(PlaceLabel(place));
    const std::optional<std::size_t> pick = shell_.choose(labels);
    if (!pick || *pick >= places.size()) return;
    chosen = *pick;
  }
  const SourceLocation& target = places[chosen];
  history_.Jumped(from);
  shell_.show({target.path, target.range.start});
}

void NavigationCommands::Back() {
  if (const std::optional<CaretPlace> caret = shell_.caret())
    if (const std::optional<CaretPlace> place = history_.Back(*caret)) shell_.show(*place);
}

void NavigationCommands::Forward() {
  if (const std::optional<CaretPlace> caret = shell_.caret())
    if (const std::optional<CaretPlace> place = history_.Forward(*caret)) shell_.show(*place);
}

void NavigationCommands::NoteJump() {
  if (const std::optional<CaretPlace> caret = shell_.caret()) history_.Jumped(*caret);
}

void NavigationCommands::JumpTo(const CaretPlace& place) {
  NoteJump();
  shell_.show(place);
}
