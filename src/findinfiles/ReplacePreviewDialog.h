// The preview of Replace in Files: each file with its count of replacements, and under it each
// line before and after. "&Replace" writes them all, "&Cancel" changes nothing. A rename shows
// the same, and apart from it the text matches of the old name that it leaves as they are.
#pragma once

#include "FindInFilesSearch.h"
#include "ReplaceInFiles.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

class ReplacePreviewDialog : public QDialog {
  Q_OBJECT
public:
  ReplacePreviewDialog(const std::vector<FileReplacement>& files, QWidget* parent = nullptr);
  ReplacePreviewDialog(const std::string& oldName, const std::string& newName,
                       const std::vector<FileReplacement>& files, const std::vector<FileHits>& textMatches,
                       QWidget* parent = nullptr);

  QTreeWidget* ChangesTreeView;

private:
  void AddFiles(const std::vector<FileReplacement>& files);
  void AddTextMatches(const std::vector<FileHits>& textMatches);
  void Lay(const QString& question, const QString& action);
};
