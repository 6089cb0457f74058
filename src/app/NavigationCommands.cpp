#include "NavigationCommands.h"

#include "Paths.h"

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

Navigator* NavigationCommands::Available() {
  Navigator* navigator = shell_.navigator();
  if (navigator == nullptr) {
    shell_.tell(kNoWorkspace);
    return nullptr;
  }
  return navigator;
}

void NavigationCommands::AskAtCaret(Ask ask, const char* nothing,
                                    std::function<void(const CaretPlace& from, const Locations&)> found) {
  const std::optional<CaretPlace> caret = shell_.caret();
  if (!caret) {
    shell_.tell(kNoEditor);
    return;
  }
  Navigator* navigator = Available();
  if (navigator == nullptr) return;
  if (!navigator->Problem().empty()) {
    shell_.tell(navigator->Problem());
    return;
  }
  if (waiting_ != 0 && waitingOn_ == navigator) navigator->Cancel(waiting_);
  waitingOn_ = navigator;
  const RequestId id = (navigator->*ask)(
      caret->path, caret->at,
      [this, from = *caret, nothing, found = std::move(found)](const Reply<Locations>& answer) {
        waiting_ = 0;
        if (answer.status != ReplyStatus::Answered) {
          const std::string problem = AnswerProblem(answer.status, answer.problem);
          if (!problem.empty()) shell_.tell(problem);
        } else if (answer.value.empty()) {
          shell_.tell(nothing);
        } else {
          found(from, answer.value);
        }
      });
  // An answer may come before the request returns its number only from a navigator that
  // answers at once; none does, but the number must not outlive its answer.
  waiting_ = id;
}

void NavigationCommands::GoToDefinition() {
  AskAtCaret(&Navigator::Definition, "No definition found for the name at the caret",
             [this](const CaretPlace& from, const Locations& places) { GoToOneOf(from, places); });
}

void NavigationCommands::GoToDeclaration() {
  AskAtCaret(&Navigator::Declaration, "No declaration found for the name at the caret",
             [this](const CaretPlace& from, const Locations& places) { GoToOneOf(from, places); });
}

void NavigationCommands::FindReferences() {
  AskAtCaret(&Navigator::References, "No references found for the name at the caret",
             [this](const CaretPlace& from, const Locations& places) {
               shell_.showReferences(paths::ExtractFileName(from.path) + ":" + std::to_string(from.at.line),
                                     places);
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
