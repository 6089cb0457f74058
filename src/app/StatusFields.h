// The texts of the status bar, worked out from the active editor without a window.
#pragma once

#include "EditorWindowPort.h"

#include <string>

struct StatusFields {
  std::string position;  // "Ln 12, Col 5"
  std::string mode;      // "INS" or "OVR"
  std::string selection; // "Normal", "Column" or "Line"
  std::string modified;  // "Modified", or empty for saved text
  std::string encoding;  // "UTF-8", "Windows-1252" or empty

  bool operator==(const StatusFields&) const = default;
};

// The fields for the active editor's status; all empty when no editor window is open.
[[nodiscard]] StatusFields StatusFieldsOf(const EditorStatus* status);
