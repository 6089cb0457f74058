#include "QtUserQuestions.h"

#include "Dialogs.h"
#include "DisplayText.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString qt(const std::string& text) {
  return QString::fromLocal8Bit(text.c_str(), static_cast<qsizetype>(text.size()));
}

// A message fits the screen whatever it quotes: every line, and the number of lines, bounded.
QString messageText(const std::string& text) {
  constexpr qsizetype kKeepPerLine = 150;
  constexpr qsizetype kMostLines = 40;
  QStringList lines = qt(text).split('\n');
  if (lines.size() > kMostLines) {
    lines.erase(lines.begin() + kMostLines - 1, lines.end() - 1);
    lines.insert(kMostLines - 1, QString(QChar(0x2026)));
  }
  for (QString& line : lines)
    line = ElidedDisplay(line, kKeepPerLine);
  return lines.join('\n');
}
std::string bytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

Answer toAnswer(QMessageBox::StandardButton button) {
  switch (button) {
  case QMessageBox::Yes: return Answer::Yes;
  case QMessageBox::No: return Answer::No;
  case QMessageBox::YesToAll: return Answer::All;
  case QMessageBox::Ok: return Answer::Ok;
  default: return Answer::Cancel;
  }
}

// Qt keeps the name as typed; the program gives a name without extension the dialog's default one.
std::string withDefaultExtension(std::string path, const std::string& extension) {
  if (extension.empty() || path.empty()) return path;
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) path += "." + extension;
  return path;
}

QString startPath(const FileDialogRequest& request) {
  if (!request.initialFile.empty()) return qt(request.initialFile);
  return qt(request.initialFolder);
}

} // namespace

bool ProgramsAndFolders::filterAcceptsRow(int row, const QModelIndex& parent) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (files == nullptr) return true;
  const QFileInfo info(files->filePath(files->index(row, 0, parent)));
  return info.isDir() || info.isExecutable();
}

QWidget* QtUserQuestions::dialogParent() const {
  if (parent_ != nullptr) return parent_();
  return QApplication::activeWindow();
}

std::unique_ptr<QMessageBox> QtUserQuestions::messageBox(QMessageBox::Icon icon, const std::string& text,
                                                         QMessageBox::StandardButtons buttons,
                                                         QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(icon, QApplication::applicationName(), messageText(text), buttons,
                                           parent);
  UseDialogFrame(*box);
  box->setDefaultButton(buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
  return box;
}

Answer QtUserQuestions::ask(QMessageBox::Icon icon, const std::string& text,
                            QMessageBox::StandardButtons buttons) {
  std::unique_ptr<QMessageBox> box = messageBox(icon, text, buttons, dialogParent());
  if (buttons.testFlag(QMessageBox::YesToAll))
    box->button(QMessageBox::YesToAll)->setText(QObject::tr("All"));
  return toAnswer(static_cast<QMessageBox::StandardButton>(box->exec()));
}

Answer QtUserQuestions::AskYesNo(const std::string& text) {
  return ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No);
}

Answer QtUserQuestions::AskYesNoCancel(const std::string& text) {
  return ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

Answer QtUserQuestions::AskYesNoCancelAll(const std::string& text) {
  return ask(QMessageBox::Question, text,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll);
}

void QtUserQuestions::Inform(const std::string& text) {
  ask(QMessageBox::Information, text, QMessageBox::Ok);
}

void QtUserQuestions::ShowError(const std::string& text) {
  ask(QMessageBox::Critical, text, QMessageBox::Ok);
}

std::optional<std::string> QtUserQuestions::ChooseFileToOpen(const FileDialogRequest& request) {
  if (request.programsOnly) return chooseProgram(request);
  QString chosen = QFileDialog::getOpenFileName(dialogParent(), qt(request.title), startPath(request),
                                                qt(qtFilter(request.filter)));
  if (chosen.isEmpty()) return std::nullopt;
  return bytes(chosen);
}

std::optional<std::string> QtUserQuestions::chooseProgram(const FileDialogRequest& request) {
  // Qt's own dialog, since a desktop's dialog would not take a filter on permissions.
  QFileDialog dialog(dialogParent(), qt(request.title), startPath(request), qt(qtFilter(request.filter)));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setProxyModel(new ProgramsAndFolders(&dialog));
  if (!request.initialFile.empty()) dialog.selectFile(qt(request.initialFile));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return bytes(dialog.selectedFiles().front());
}

std::vector<std::string> QtUserQuestions::ChooseFilesToOpen(const FileDialogRequest& request) {
  std::vector<std::string> files;
  for (const QString& chosen : QFileDialog::getOpenFileNames(
           dialogParent(), qt(request.title), startPath(request), qt(qtFilter(request.filter))))
    files.push_back(bytes(chosen));
  return files;
}

std::optional<std::string> QtUserQuestions::ChooseFileToSave(const FileDialogRequest& request) {
  QString chosen =
      QFileDialog::getSaveFileName(dialogParent(), qt(request.title), startPath(request),
                                   qt(qtFilter(request.filter)), nullptr, QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return std::nullopt;
  return withDefaultExtension(bytes(chosen), request.defaultExtension);
}

std::optional<std::string> QtUserQuestions::ChooseFolder(const std::string& title,
                                                         const std::string& initialFolder) {
  QString chosen = QFileDialog::getExistingDirectory(dialogParent(), qt(title), qt(initialFolder));
  if (chosen.isEmpty()) return std::nullopt;
  return bytes(chosen);
}

std::string QtUserQuestions::qtFilter(const std::string& filter) {
  std::string out;
  std::size_t pos = 0;
  while (pos <= filter.size()) {
    std::size_t bar = filter.find('|', pos);
    if (bar == std::string::npos) break;
    std::string description = filter.substr(pos, bar - pos);
    std::size_t end = filter.find('|', bar + 1);
    std::string patterns =
        filter.substr(bar + 1, end == std::string::npos ? std::string::npos : end - bar - 1);
    std::size_t paren = description.rfind(" (");
    if (paren != std::string::npos) description.erase(paren);
    for (char& c : patterns)
      if (c == ';') c = ' ';
    if (patterns == "*.*") patterns = "*"; // "all files" includes names without a dot here
    if (!out.empty()) out += ";;";
    out += description + " (" + patterns + ")";
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return out;
}
