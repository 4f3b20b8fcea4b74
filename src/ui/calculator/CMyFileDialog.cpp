#include "ui/calculator/CMyFileDialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>

#include "ui/calculator/CStaticLink.h"
#include "ui/cameraeditor/CCameraEditorDlg.h"
#include "ui/widgets/ToolTips.h"
#include "ui_CMyFileDialog.h"

namespace korvan {

CMyFileDialog::CMyFileDialog(QWidget* parent)
    : QFileDialog(parent), panel_(std::make_unique<Ui::CMyFileDialogPanel>()) {
  setOption(QFileDialog::DontUseNativeDialog);
  setWindowTitle(tr("Open"));
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFiles);
  setNameFilters({QString::fromLatin1(kCameraFilesFilter), QString::fromLatin1(kAllFilesFilter)});
  // Runs after the dialog has applied the chosen filter's own patterns (its handler of the list's
  // activation comes first), so the choice below has the last word.
  connect(this, &QFileDialog::filterSelected, this, &CMyFileDialog::UseFilter);
  selectNameFilter(QString::fromLatin1(kCameraFilesFilter));
  UseFilter(QString::fromLatin1(kCameraFilesFilter));
  if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    connect(name, &QLineEdit::textChanged, this, &CMyFileDialog::FollowTypedNames);
  }
  connect(this, &QFileDialog::directoryEntered, this, &CMyFileDialog::FollowTypedNames);

  // Qt's own dialog lays its controls out in one grid; the panel takes a new row across all of it.
  auto* panel = new QWidget(this);
  panel_->setupUi(panel);
  DownloadLink()->setText(QString::fromLatin1(kDownloadPageUrl));
  // Beside the download link: a camera without a file to download gets one of its own.
  auto* create = new QPushButton(QStringLiteral("Create a camera file..."), panel);
  create->setObjectName(QStringLiteral("createCameraButton"));
  create->setAutoDefault(false);
  if (auto* grid = panel->findChild<QGridLayout*>(QStringLiteral("downloadGrid"))) {
    grid->addWidget(create, grid->rowCount(), 0, 1, grid->columnCount(), Qt::AlignLeft);
  }
  connect(create, &QPushButton::clicked, this, &CMyFileDialog::CreateCameraFile);
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());
  } else if (layout()) {
    layout()->addWidget(panel);
  }
  // Room for the file names, sizes and dates side by side, the names taking what is left.
  if (auto* details = findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column) {
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
  }
  AddFileDialogToolTips(this);
  resize(sizeHint().expandedTo(QSize(760, 520)));
  if (auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter")); splitter && splitter->count() == 2) {
    const int places = fontMetrics().averageCharWidth() * 18;
    splitter->setSizes({places, width() - places});
  }
}

CMyFileDialog::~CMyFileDialog() = default;

void CMyFileDialog::CreateCameraFile() {
  CCameraEditorDlg editor({}, this);
  if (editor.exec() != QDialog::Accepted || editor.SavedPath().isEmpty()) return;
  // The new file is chosen here, ready to open.
  setDirectory(QFileInfo(editor.SavedPath()).absolutePath());
  selectFile(editor.SavedPath());
}

void CMyFileDialog::UseFilter(const QString& filter) {
  // "*.*" stands for every file where these filter texts come from; Qt would read it as "every
  // name with a dot" and hide files such as "nodot", and the default suffix would turn a typed
  // "nodot" into "nodot.cam". So with All Files every name is listed and taken as typed.
  if (filter == QLatin1String(kAllFilesFilter)) {
    if (auto* files = findChild<QFileSystemModel*>()) files->setNameFilters({QStringLiteral("*")});
    UseSuffix({});
  } else {
    FollowTypedNames();
  }
}

namespace {

// The names in the name box as the dialog reads them: the whole text, or each quoted name.
QStringList TypedNames(const QString& text) {
  if (!text.contains(QLatin1Char('"'))) return {text};
  QStringList names;
  const QStringList parts = text.split(QLatin1Char('"'));
  for (qsizetype i = 1; i < parts.size(); i += 2) names << parts[i];
  return names;
}

}  // namespace

void CMyFileDialog::FollowTypedNames() {
  if (selectedNameFilter() == QLatin1String(kAllFilesFilter)) return;
  const auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  const QString text = name ? name->text() : QString();
  // A file named without a dot is opened as typed when it exists, as the desktop's own dialog
  // does; otherwise the default suffix lets "a" stand for "a.cam".
  const QStringList names = TypedNames(text);
  const QDir folder = directory();
  const bool asTyped = !text.trimmed().isEmpty() &&
                       std::all_of(names.begin(), names.end(), [&folder](const QString& typed) {
                         return !typed.isEmpty() && QFileInfo::exists(folder.filePath(typed));
                       });
  UseSuffix(asTyped ? QString() : QStringLiteral("cam"));
  // The dialog enables Open only for names its list shows, and the filter hides "nodot"; opening
  // checks the files themselves.
  if (asTyped) {
    if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
      if (QPushButton* open = buttons->button(QDialogButtonBox::Open)) open->setEnabled(true);
    }
  }
}

void CMyFileDialog::UseSuffix(const QString& suffix) {
  if (suffix == defaultSuffix()) return;
  setDefaultSuffix(suffix);
  // The dialog weighs its Open button on each change of the name or filter before this runs;
  // setting the same mode again has it weigh the button once more, under the new suffix.
  setFileMode(fileMode());
}

CStaticLink* CMyFileDialog::DownloadLink() const { return panel_->c1103; }

std::optional<QStringList> ChooseCameraFiles(QWidget* owner) {
  CMyFileDialog dialog(owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selectedFiles();
}

}  // namespace korvan
