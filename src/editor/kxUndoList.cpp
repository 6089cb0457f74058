// Recording and trimming of change records.
#include "kxUndoList.h"

#include <new>

const char* UndoReasonDescription(TUndoReason reason) {
  static constexpr std::array<const char*, urNone + 1> descriptions = {"text insertion",
                                                                       "text paste",
                                                                       "text movement",
                                                                       "text deletion after cursor",
                                                                       "text deletion",
                                                                       "text cut",
                                                                       "text movement delete",
                                                                       "text linebreak",
                                                                       "text indentation",
                                                                       "text unindention",
                                                                       "none"};
  return descriptions[reason <= urNone ? reason : urNone];
}

void TUndoList::Add(TUndoRecord record) {
  if (locked_) return;
  try {
    // A capacity of 0 still keeps the newest record, so the latest edit can always be undone.
    if (!records_.empty() && CanUndo() >= max_) records_.pop_front();
    records_.push_back(std::move(record));
  } catch (const std::bad_alloc&) {
    return; // out of memory: the change goes unrecorded rather than failing the edit
  }
  if (OnAdded) OnAdded();
}

TUndoRecord TUndoList::GetChange() {
  if (records_.empty()) return {};
  TUndoRecord record = std::move(records_.back());
  records_.pop_back();
  return record;
}

const TUndoRecord* TUndoList::PeekChange() const { return records_.empty() ? nullptr : &records_.back(); }

TUndoReason TUndoList::LastReason() const { return records_.empty() ? urNone : records_.back().Reason; }

void TUndoList::SetMax(int max) {
  if (max < 0) return;
  while (CanUndo() > max)
    records_.pop_front();
  max_ = max;
}
