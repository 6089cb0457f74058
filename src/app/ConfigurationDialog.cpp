#include "ConfigurationDialog.h"

#include "Dialogs.h"
#include "RegistryStore.h"
#include "UserQuestions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

namespace {

constexpr int kWidth = 410;
constexpr int kHeight = 343;
constexpr int kGameLoopHeight = 150; // the dedicated server's and the reload's fields

QLineEdit* pathField(bool typed) {
  auto* field = new QLineEdit;
  field->setReadOnly(!typed);
  return field;
}

struct Row {
  const char* label;
  QLineEdit* field;
  QPushButton* button; // none for a field the user types into
};

struct Group {
  const char* caption;
  std::vector<Row> rows;
};

// A page of captioned groups; each row has its label above the field and its button.
QWidget* pageOf(const std::vector<Group>& groups) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  for (const Group& group : groups) {
    auto* box = new QGroupBox(group.caption);
    auto* grid = new QGridLayout(box);
    for (const Row& row : group.rows) {
      int at = grid->rowCount();
      grid->addWidget(new QLabel(row.label), at, 0, 1, 2);
      grid->addWidget(row.field, at + 1, 0);
      if (row.button != nullptr) grid->addWidget(row.button, at + 1, 1);
    }
    layout->addWidget(box);
  }
  layout->addStretch();
  return page;
}

std::string text(const QLineEdit* field) { return field->text().toStdString(); }

} // namespace

ConfigurationDialog::ConfigurationDialog(UserQuestions& questions, const PreferencesLook& look,
                                         QWidget* parent)
    : QDialog(parent), questions_(questions), typedPaths_(look.typedPaths),
      height_(kHeight + (look.gameInPage ? kGameLoopHeight : 0)) {
  setWindowTitle("Configuration");
  UseDialogFrame(*this);
  setFixedSize(kWidth, height_);

  quake3locationEdit = pathField(typedPaths_);
  quake3argumentsEdit = new QLineEdit;
  outputlocationEdit = pathField(typedPaths_);
  lcclocationEdit = pathField(typedPaths_);
  q3asmlocationEdit = pathField(typedPaths_);
  quake3BrowseButton = new QPushButton("&Browse");
  outputBrowseButton = new QPushButton("&Browse");
  lccBrowseButton = new QPushButton("&Browse");
  q3asmBrowseButton = new QPushButton("&Browse");
  backupCheckBox = new QCheckBox("Create .~c  and .~h backups on overwrite");
  fontNameComboBox = new QFontComboBox;
  fontSizeComboBox = new QComboBox;
  fontSizeComboBox->setEditable(true);
  parallelCompilesSpinBox = new QSpinBox;
  parallelCompilesSpinBox->setRange(1, kMostParallelCompiles);
  undoLevelsSpinBox = new QSpinBox;
  undoLevelsSpinBox->setRange(1, kMostUndoLevels);
  tabWidthSpinBox = new QSpinBox;
  tabWidthSpinBox->setRange(1, kMostTabWidth);
  keepFileFormatCheckBox = new QCheckBox("&Keep each file's tabs and line ends");
  clangdWarningsCheckBox = new QCheckBox("Mark clangd's &warnings as well as its errors");
  serverlocationEdit = pathField(typedPaths_);
  serverBrowseButton = new QPushButton("B&rowse");
  runDedicatedServerCheckBox = new QCheckBox("Run as &dedicated server");
  servermapEdit = new QLineEdit;
  reloadcommandEdit = new QLineEdit;
  reloadcommandEdit->setToolTip("Sent to the running game when Launch has built its modules again; {map} "
                                "stands for the map it has loaded (vid_restart reloads cgame and ui)");

  NoticeLabel = new QLabel;
  NoticeLabel->setWordWrap(true);
  NoticeLabel->hide();
  SettingsPages = new QTabWidget;
  QWidget* environment = EnvironmentPage(look.desktopLabels);
  if (look.gameInPage) static_cast<QBoxLayout*>(environment->layout())->insertWidget(1, GameLoopGroup());
  SettingsPages->addTab(environment, SettingOf(Tool::Game).page);
  SettingsPages->addTab(CompilerPage(), SettingOf(Tool::Compiler).page);
  SettingsPages->addTab(SettingsPage(), "Settings");

  okButton = new QPushButton("&OK");
  cancelButton = new QPushButton("&Cancel");
  okButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NoticeLabel);
  layout->addWidget(SettingsPages);
  layout->addLayout(buttons);

  connect(okButton, &QPushButton::clicked, this, &ConfigurationDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &ConfigurationDialog::reject);
  connect(quake3BrowseButton, &QPushButton::clicked, this, [this] { BrowseFile(quake3locationEdit); });
  connect(serverBrowseButton, &QPushButton::clicked, this, [this] { BrowseFile(serverlocationEdit); });
  connect(lccBrowseButton, &QPushButton::clicked, this, [this] { BrowseFile(lcclocationEdit); });
  connect(q3asmBrowseButton, &QPushButton::clicked, this, [this] { BrowseFile(q3asmlocationEdit); });
  connect(outputBrowseButton, &QPushButton::clicked, this, &ConfigurationDialog::BrowseFolder);
  connect(fontNameComboBox, &QFontComboBox::currentTextChanged, this, &ConfigurationDialog::FillFontSizes);
}

QWidget* ConfigurationDialog::EnvironmentPage(bool desktopLabels) {
  return pageOf(
      {{"Quake III",
        {{SettingOf(Tool::Game).field, quake3locationEdit, quake3BrowseButton},
         {desktopLabels ? "Game arguments" : "Quake II Arguments", quake3argumentsEdit, nullptr}}},
       {"Q3ASM Output Directory", {{"Folder to compile vms to", outputlocationEdit, outputBrowseButton}}}});
}

QWidget* ConfigurationDialog::GameLoopGroup() {
  auto* box = new QGroupBox("Dedicated server and reload");
  auto* form = new QFormLayout(box);
  auto* server = new QHBoxLayout;
  server->addWidget(serverlocationEdit, 1);
  server->addWidget(serverBrowseButton);
  form->addRow("Server program", server);
  form->addRow(runDedicatedServerCheckBox);
  form->addRow("Server map", servermapEdit);
  form->addRow("Reload command", reloadcommandEdit);
  return box;
}

QWidget* ConfigurationDialog::CompilerPage() {
  return pageOf(
      {{"LCC Details", {{SettingOf(Tool::Compiler).field, lcclocationEdit, lccBrowseButton}}},
       {"Q3 ASM Details", {{SettingOf(Tool::Assembler).field, q3asmlocationEdit, q3asmBrowseButton}}}});
}

QWidget* ConfigurationDialog::SettingsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(backupCheckBox);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(new QLabel("Editor Font :"));
  fontRow->addWidget(fontNameComboBox, 1);
  fontRow->addWidget(fontSizeComboBox);
  layout->addLayout(fontRow);
  auto* numbers = new QFormLayout;
  numbers->addRow("&Parallel compiles", parallelCompilesSpinBox);
  numbers->addRow("&Undo levels", undoLevelsSpinBox);
  numbers->addRow("Tab &width", tabWidthSpinBox);
  layout->addWidget(keepFileFormatCheckBox);
  layout->addWidget(clangdWarningsCheckBox);
  layout->addLayout(numbers);
  layout->addStretch();
  return page;
}

void ConfigurationDialog::SetValues(const Settings& settings) {
  values_ = settings;
  quake3locationEdit->setText(QString::fromStdString(settings.quake3location));
  quake3argumentsEdit->setText(QString::fromStdString(settings.quake3arguments));
  outputlocationEdit->setText(QString::fromStdString(settings.outputlocation));
  lcclocationEdit->setText(QString::fromStdString(settings.lcclocation));
  q3asmlocationEdit->setText(QString::fromStdString(settings.q3asmlocation));
  backupCheckBox->setChecked(settings.BackupSource);
  parallelCompilesSpinBox->setValue(settings.ParallelCompiles);
  undoLevelsSpinBox->setValue(settings.UndoLevels);
  tabWidthSpinBox->setValue(settings.TabWidth);
  keepFileFormatCheckBox->setChecked(settings.KeepFileFormat);
  clangdWarningsCheckBox->setChecked(settings.ClangdWarnings);
  serverlocationEdit->setText(QString::fromStdString(settings.ServerLocation));
  runDedicatedServerCheckBox->setChecked(settings.RunDedicatedServer);
  servermapEdit->setText(QString::fromStdString(settings.ServerMap));
  reloadcommandEdit->setText(QString::fromStdString(settings.ReloadCommand));
  // The name is kept as written even when no such font is installed here.
  fontNameComboBox->setEditText(QString::fromStdString(settings.EditorFont));
  FillFontSizes();
  fontSizeComboBox->setEditText(QString::number(settings.EditorFontSize));
  SettingsPages->setCurrentIndex(0);
}

void ConfigurationDialog::FillFontSizes() {
  const QString size = fontSizeComboBox->currentText();
  fontSizeComboBox->clear();
  QList<int> sizes = QFontDatabase::pointSizes(fontNameComboBox->currentText());
  if (sizes.isEmpty()) sizes = QFontDatabase::standardSizes();
  for (int points : sizes)
    fontSizeComboBox->addItem(QString::number(points));
  fontSizeComboBox->setEditText(size);
}

void ConfigurationDialog::BrowseFile(QLineEdit* field) {
  FileDialogRequest request;
  request.title = "Locate File";
  if (typedPaths_) {
    request.filter = "Programs (*)|*";
    request.programsOnly = true;
  } else {
    request.filter = "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*";
    request.defaultExtension = "exe";
  }
  request.initialFile = text(field);
  if (auto chosen = questions_.chooseFileToOpen(request)) field->setText(QString::fromStdString(*chosen));
}

void ConfigurationDialog::BrowseFolder() {
  if (auto chosen = questions_.chooseFolder("Select VM output directory", text(outputlocationEdit)))
    outputlocationEdit->setText(QString::fromStdString(*chosen));
}

void ConfigurationDialog::accept() {
  values_.quake3location = text(quake3locationEdit);
  values_.quake3arguments = text(quake3argumentsEdit);
  values_.lcclocation = text(lcclocationEdit);
  values_.q3asmlocation = text(q3asmlocationEdit);
  values_.outputlocation = text(outputlocationEdit);
  values_.EditorFont = fontNameComboBox->currentText().toStdString();
  bool isNumber = false;
  int size = fontSizeComboBox->currentText().trimmed().toInt(&isNumber);
  if (isNumber && size > 0) values_.EditorFontSize = size;
  values_.BackupSource = backupCheckBox->isChecked();
  values_.ParallelCompiles = parallelCompilesSpinBox->value();
  values_.UndoLevels = undoLevelsSpinBox->value();
  values_.TabWidth = tabWidthSpinBox->value();
  values_.KeepFileFormat = keepFileFormatCheckBox->isChecked();
  values_.ClangdWarnings = clangdWarningsCheckBox->isChecked();
  values_.ServerLocation = text(serverlocationEdit);
  values_.RunDedicatedServer = runDedicatedServerCheckBox->isChecked();
  values_.ServerMap = text(servermapEdit);
  values_.ReloadCommand = text(reloadcommandEdit);
  QDialog::accept();
}

void ConfigurationDialog::SetNotice(const std::string& text) {
  NoticeLabel->setText(QString::fromStdString(text));
  NoticeLabel->setVisible(!text.empty());
  // The notice adds its own height to the dialog's fixed size.
  const QMargins margins = layout()->contentsMargins();
  const int width = kWidth - margins.left() - margins.right();
  setFixedSize(kWidth,
               height_ + (text.empty() ? 0 : NoticeLabel->heightForWidth(width) + layout()->spacing()));
}

void ConfigurationDialog::ShowMissing(const std::vector<MissingTool>& missing) {
  if (missing.empty()) return;
  const std::string whereToGet = WhereToGet(missing);
  SetNotice(Problems(missing) + "\n" + WhereToSet(missing) + (whereToGet.empty() ? "" : "\n" + whereToGet));
  QLineEdit* field = FieldOf(missing.front().tool);
  for (int page = 0; page < SettingsPages->count(); ++page)
    if (SettingsPages->widget(page)->isAncestorOf(field)) SettingsPages->setCurrentIndex(page);
  field->setFocus();
}

QLineEdit* ConfigurationDialog::FieldOf(Tool tool) const {
  switch (tool) {
  case Tool::Compiler: return lcclocationEdit;
  case Tool::Assembler: return q3asmlocationEdit;
  case Tool::Game: break;
  }
  return quake3locationEdit;
}

bool RunPreferences(Settings& settings, RegistryStore& store, UserQuestions& questions,
                    const DialogRunner& run, QWidget* parent, const PreferencesLook& look) {
  ConfigurationDialog form(questions, look, parent);
  form.SetValues(settings);
  form.ShowMissing(look.missing);
  if (run(form) != QDialog::Accepted) return false;
  settings = form.Values();
  settings.outputlocation = WithTrailingDelimiter(settings.outputlocation, PathStyle::Native());
  SaveSettings(store, settings);
  std::string error = store.save();
  if (!error.empty()) questions.showError(error);
  return true;
}
