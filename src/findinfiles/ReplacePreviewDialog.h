// The preview of Replace in Files: each file with its count of replacements, and under it each
// line before and after. "&Replace" writes them all, "&Cancel" changes nothing.
#pragma once

#include "ReplaceInFiles.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

class ReplacePreviewDialog : public QDialog {
  Q_OBJECT
public:
  ReplacePreviewDialog(const std::vector<FileReplacement>& files, QWidget* parent = nullptr);

  QTreeWidget* ChangesTreeView;
};
