// Recording and trimming of change records.
#include "UndoList.h"

#include <new>

bool UndoList::Push(UndoRecord record) {
  try {
    // A capacity of 0 still keeps the newest record, so the latest edit can always be undone.
    if (!records_.empty() && Count() >= max_) records_.pop_front();
    records_.push_back(std::move(record));
  } catch (const std::bad_alloc&) {
    return false; // out of memory: the change goes unrecorded rather than failing the edit
  }
  return true;
}

UndoRecord UndoList::Pop() {
  if (records_.empty()) return {};
  UndoRecord record = std::move(records_.back());
  records_.pop_back();
  return record;
}

const UndoRecord* UndoList::Newest() const { return records_.empty() ? nullptr : &records_.back(); }

UndoKind UndoList::NewestKind() const { return records_.empty() ? UndoKind::None : records_.back().Kind; }

void UndoList::SetMax(int max) {
  if (max < 0) return;
  while (Count() > max)
    records_.pop_front();
  max_ = max;
}
