// Recording and trimming of change records.
#include "UndoList.h"

#include <new>

void UndoList::Add(UndoRecord record) {
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

UndoRecord UndoList::GetChange() {
  if (records_.empty()) return {};
  UndoRecord record = std::move(records_.back());
  records_.pop_back();
  return record;
}

const UndoRecord* UndoList::PeekChange() const { return records_.empty() ? nullptr : &records_.back(); }

UndoKind UndoList::LastReason() const { return records_.empty() ? UndoKind::None : records_.back().Reason; }

void UndoList::SetMax(int max) {
  if (max < 0) return;
  while (CanUndo() > max)
    records_.pop_front();
  max_ = max;
}
