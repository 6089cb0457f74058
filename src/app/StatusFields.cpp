#include "StatusFields.h"

StatusFields StatusFieldsOf(const EditorStatus* status) {
  if (status == nullptr) return {};
  static const char* const selections[] = {"Normal", "Column", "Line"};
  return {"Ln " + std::to_string(status->line) + ", Col " + std::to_string(status->column),
          status->insertMode ? "INS" : "OVR", selections[static_cast<int>(status->selectionMode)],
          status->modified ? "Modified" : "", status->encoding};
}
