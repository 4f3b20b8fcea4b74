// The start-up picture, the About box, the hyperlink and the camera open-file dialog.
#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <initializer_list>

#include "ui/about/CAboutDlg.h"
#include "ui/about/CSplashDlg.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CMyFileDialog.h"
#include "ui/calculator/CStaticLink.h"
#include "ui/widgets/Controls.h"

namespace korvan {
namespace {

template <class Widget = QWidget>
Widget* Child(const QWidget* window, const QString& name) {
  auto* widget = window->findChild<Widget*>(name);
  if (!widget) qFatal("%s is missing", qPrintable(name));
  return widget;
}

// A link whose openings and beeps are recorded instead of reaching the desktop.
struct LinkShell {
  bool opens = true;
  QList<QUrl> opened;
  int beeps = 0;
  void Attach(CStaticLink* link) {
    link->SetShell({[this](const QUrl& url, const CStaticLink::OpenedReply& reply) {
                      opened << url;
                      reply(opens);
                    },
                    [this] { ++beeps; }});
  }
};

// Empty files of those names in `dir`.
bool MakeFiles(const QTemporaryDir& dir, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (QFile file(dir.filePath(QLatin1String(name))); !file.open(QIODevice::WriteOnly)) return false;
  }
  return true;
}

QColor TextColour(const QLabel* label) { return label->palette().color(QPalette::Active, QPalette::WindowText); }

}  // namespace

class ShellDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void splash_is_a_frameless_picture_of_627_by_502() {
    CSplashDlg splash;
    QCOMPARE(splash.size(), QSize(627, 502));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash.windowTitle(), QStringLiteral("Korvan Lens Calculator"));
    auto* picture = Child<QSvgWidget>(&splash, QStringLiteral("picture"));
    QVERIFY(picture->renderer()->isValid());
    QCOMPARE(picture->renderer()->defaultSize(), QSize(627, 502));
    QCOMPARE(picture->geometry(), QRect(0, 0, 627, 502));

    auto* button = Child<QPushButton>(&splash, ControlName(ids::kContinueButton));
    QCOMPARE(button->text(), QStringLiteral("Click to Continue"));
    // Over the picture's lower right corner, all of its text visible.
    QVERIFY(splash.rect().contains(button->geometry()));
    QVERIFY(button->x() > 627 / 2 && button->y() > 502 * 3 / 4);
    QVERIFY(button->width() >= button->sizeHint().width());
  }

  void splash_stays_open_until_its_button_is_pressed() {
    CSplashDlg splash;
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    auto* button = Child<QPushButton>(&splash, ControlName(ids::kContinueButton));
    button->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(&splash, key);
      QVERIFY2(splash.isVisible(), qPrintable(QStringLiteral("key %1 closed it").arg(key)));
    }
    QVERIFY(!splash.close());
    QVERIFY(splash.isVisible());

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!splash.isVisible());
    QCOMPARE(splash.result(), int(QDialog::Accepted));
  }

  void about_box_shows_the_version_in_place_of_its_template() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Korvan Lens Calculator"));
    QCOMPARE(Child<QLabel>(&about, ControlName(ids::kVersionText))->text(),
             QStringLiteral("Korvan Lens Calculator Version 1.0.8"));
    QVERIFY(Child<QSvgWidget>(&about, QStringLiteral("icon"))->renderer()->isValid());
  }

  void link_is_underlined_blue_until_opened_then_purple() {
    CStaticLink link;
    link.setText(QStringLiteral("https://example.org/page.html"));
    LinkShell shell;
    shell.Attach(&link);
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));
    QVERIFY(link.font().underline());
    QCOMPARE(TextColour(&link), QColor(0, 0, 255));
    QVERIFY(!link.Visited());

    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(shell.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/page.html"))});
    QVERIFY(link.Visited());
    QCOMPARE(TextColour(&link), QColor(128, 0, 128));
    QCOMPARE(shell.beeps, 0);
    QCOMPARE(link.LinkTarget(), QStringLiteral("https://example.org/page.html"));

    // Later failures only beep; the link stays visited.
    shell.opens = false;
    link.setFocus();
    QTest::keyClick(&link, Qt::Key_Space);
    QCOMPARE(shell.opened.size(), 2);
    QCOMPARE(shell.beeps, 1);
    QVERIFY(link.Visited());
    QCOMPARE(TextColour(&link), QColor(128, 0, 128));
  }

  void link_that_cannot_be_opened_beeps_and_stays_blue() {
    CStaticLink link;
    link.setText(QStringLiteral("shown text"));
    link.SetLinkTarget(QStringLiteral("https://example.org/target.html"));
    LinkShell shell;
    shell.opens = false;
    shell.Attach(&link);
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(shell.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/target.html"))});
    QCOMPARE(shell.beeps, 1);
    QVERIFY(!link.Visited());
    QCOMPARE(TextColour(&link), QColor(0, 0, 255));
  }

  // The desktop's opener as it runs on this system: an xdg-open that starts but fails (nothing to
  // open the address with) must beep and leave the link blue, not count as opened.
  void desktop_opener_waits_for_what_xdg_open_reports_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("opened");
    QTest::newRow("opened") << "exit 0" << true;
    QTest::newRow("no program for the address") << "exit 3" << false;
    QTest::newRow("still waiting for the browser it started") << "sleep 5" << true;
  }
  void desktop_opener_waits_for_what_xdg_open_reports() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    QFETCH(QString, script);
    QFETCH(bool, opened);
    QTemporaryDir bin;
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/asked\"\n%1\n").arg(script).toUtf8());
    opener.close();
    QVERIFY(opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);

    CStaticLink link;
    link.setText(QStringLiteral("https://example.org/selectcamfiles.html"));
    int beeps = 0;
    link.SetShell({&CStaticLink::OpenWithDesktop, [&beeps] { ++beeps; }});
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));
    QTest::mouseClick(&link, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(link.Visited() || beeps > 0, 10000);
    qputenv("PATH", path);
    QCOMPARE(link.Visited(), opened);
    QCOMPARE(beeps, opened ? 0 : 1);
    QCOMPARE(TextColour(&link), opened ? QColor(128, 0, 128) : QColor(0, 0, 255));
    QFile asked(bin.filePath(QStringLiteral("asked")));
    QVERIFY(asked.open(QIODevice::ReadOnly));
    QCOMPARE(asked.readAll(), QByteArray("https://example.org/selectcamfiles.html"));
#else
    QSKIP("the desktop's own opener reports failures itself here");
#endif
  }

  void picture_link_keeps_its_own_looks() {
    QWidget parent;
    const QColor ownColour = parent.palette().color(QPalette::Active, QPalette::WindowText);
    auto* link = new CStaticLink(&parent);
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    link->setPixmap(picture);
    LinkShell shell;
    shell.Attach(link);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QVERIFY(!link->font().underline());
    QCOMPARE(TextColour(link), ownColour);
    link->SetLinkTarget(QStringLiteral("https://example.org/"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(shell.opened.size(), 1);
    QCOMPARE(TextColour(link), ownColour);
  }

  void file_dialog_offers_camera_files_and_the_download_panel_below_its_controls() {
    CMyFileDialog dialog;
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFiles);
    QCOMPARE(dialog.nameFilters(),
             (QStringList{QStringLiteral("Camera Files (*.cam)"), QStringLiteral("All Files (*.*)")}));
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Camera Files (*.cam)"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* group = Child<QGroupBox>(&dialog, QStringLiteral("downloadGroup"));
    QCOMPARE(group->title(), QStringLiteral("Download New Camera Files"));
    QVERIFY(Child<QLabel>(&dialog, ControlName(ids::kDownloadText))->text().contains(QLatin1String("camera files")));
    QCOMPARE(Child<QLabel>(&dialog, ControlName(ids::kDownloadLabel))->text(), QStringLiteral("Download CAM files:"));

    CStaticLink* link = dialog.DownloadLink();
    QCOMPARE(link, Child<CStaticLink>(&dialog, ControlName(ids::kDownloadLink)));
    QCOMPARE(QUrl(link->text()).path(), QStringLiteral("/html/selectcamfiles.html"));
    QVERIFY(link->isVisible());

    const auto* buttons = Child<QDialogButtonBox>(&dialog, QStringLiteral("buttonBox"));
    const int panelTop = group->mapTo(&dialog, QPoint(0, 0)).y();
    QVERIFY(panelTop >= buttons->mapTo(&dialog, QPoint(0, buttons->height())).y());
    int shownViews = 0;
    for (const auto* files : dialog.findChildren<QAbstractItemView*>()) {
      if (!files->isVisible()) continue;
      ++shownViews;
      QVERIFY(panelTop >= files->mapTo(&dialog, QPoint(0, files->height())).y());
    }
    QVERIFY(shownViews > 0);
  }

  void link_is_blue_again_each_time_the_dialog_opens() {
    LinkShell shell;
    {
      CMyFileDialog first;
      shell.Attach(first.DownloadLink());
      first.show();
      QVERIFY(QTest::qWaitForWindowExposed(&first));
      QTest::mouseClick(first.DownloadLink(), Qt::LeftButton);
      QCOMPARE(TextColour(first.DownloadLink()), QColor(128, 0, 128));
    }
    CMyFileDialog second;
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QVERIFY(!second.DownloadLink()->Visited());
    QCOMPARE(TextColour(second.DownloadLink()), QColor(0, 0, 255));
    QVERIFY(second.DownloadLink()->font().underline());
  }

  // Names the dialog lists in `dir`, once it has read the folder.
  static QStringList Listed(const CMyFileDialog& dialog, const QString& dir) {
    const auto* files = dialog.findChild<QFileSystemModel*>();
    if (!files) qFatal("the dialog has no file model");
    QStringList names;
    if (!QTest::qWaitFor([&] { return files->rowCount(files->index(dir)) > 0; })) return names;
    const QModelIndex folder = files->index(dir);
    for (int row = 0; row < files->rowCount(folder); ++row) names << files->index(row, 0, folder).data().toString();
    names.sort();
    return names;
  }

  void all_files_lists_and_takes_every_name_camera_files_only_cam_files() {
    QTemporaryDir dir;
    QVERIFY(MakeFiles(dir, {"a.cam", "nodot", "notes.txt"}));
    CMyFileDialog dialog;
    dialog.setDirectory(dir.path());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_COMPARE(Listed(dialog, dir.path()), QStringList{QStringLiteral("a.cam")});
    auto* name = Child<QLineEdit>(&dialog, QStringLiteral("fileNameEdit"));
    const auto type = [name](const QString& text) {
      name->setFocus(Qt::MouseFocusReason);
      name->selectAll();
      QTest::keyClicks(name, text);
    };
    type(QStringLiteral("a"));
    QCOMPARE(dialog.selectedFiles(), QStringList{dir.filePath(QStringLiteral("a.cam"))});

    // The user picks the second filter from its list with the keyboard.
    auto* types = Child<QComboBox>(&dialog, QStringLiteral("fileTypeCombo"));
    types->setFocus(Qt::TabFocusReason);
    QTest::keyClick(types, Qt::Key_Down);
    QCOMPARE(types->currentText(), QStringLiteral("All Files (*.*)"));
    QTRY_COMPARE(Listed(dialog, dir.path()),
                 (QStringList{QStringLiteral("a.cam"), QStringLiteral("nodot"), QStringLiteral("notes.txt")}));
    type(QStringLiteral("nodot"));
    QCOMPARE(dialog.selectedFiles(), QStringList{dir.filePath(QStringLiteral("nodot"))});
    QMetaObject::invokeMethod(&dialog, "accept");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    // And back: only camera files again.
    QTest::keyClick(types, Qt::Key_Up);
    QTRY_COMPARE(Listed(dialog, dir.path()), QStringList{QStringLiteral("a.cam")});
  }

  // Under the camera filter a name is taken as typed when that file exists, else with ".cam".
  void camera_filter_opens_a_typed_name_that_exists_as_typed_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("opened");  // empty: Open stays disabled
    QTest::newRow("bare") << "nodot" << QStringList{"nodot"};
    QTest::newRow("quoted") << "\"nodot\"" << QStringList{"nodot"};
    QTest::newRow("several quoted") << "\"nodot\" \"other\"" << QStringList{"nodot", "other"};
    QTest::newRow("suffix still added") << "a" << QStringList{"a.cam"};
    QTest::newRow("neither as typed nor with the suffix") << "missing" << QStringList{};
  }
  void camera_filter_opens_a_typed_name_that_exists_as_typed() {
    QFETCH(QString, typed);
    QFETCH(QStringList, opened);
    QTemporaryDir dir;
    QVERIFY(MakeFiles(dir, {"a.cam", "nodot", "other"}));
    CMyFileDialog dialog;
    dialog.setDirectory(dir.path());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* name = Child<QLineEdit>(&dialog, QStringLiteral("fileNameEdit"));
    name->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(name, typed);
    const auto* buttons = Child<QDialogButtonBox>(&dialog, QStringLiteral("buttonBox"));
    const QPushButton* open = buttons->button(QDialogButtonBox::Open);
    QCOMPARE(open->isEnabled(), !opened.isEmpty());
    if (opened.isEmpty()) return;
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QStringList chosen = dialog.selectedFiles();
    chosen.sort();
    for (QString& file : opened) file = dir.filePath(file);
    QCOMPARE(chosen, opened);
  }

  void chooser_yields_the_full_paths_of_several_files_or_nothing_on_cancel() {
    QTemporaryDir dir;
    QVERIFY(MakeFiles(dir, {"a.cam", "b.cam", "c.cam"}));
    QWidget owner;
    QString failure;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<CMyFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        failure = QStringLiteral("no file dialog open");
        return;
      }
      if (dialog->parentWidget() != &owner) failure = QStringLiteral("not owned by the window");
      dialog->setDirectory(dir.path());
      Child<QLineEdit>(dialog, QStringLiteral("fileNameEdit"))
          ->setText(QStringLiteral("\"c.cam\" \"a.cam\" \"b.cam\""));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::optional<QStringList> chosen = ChooseCameraFiles(&owner);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(chosen.has_value());
    QStringList sorted = *chosen;
    sorted.sort();
    QCOMPARE(sorted, (QStringList{dir.filePath(QStringLiteral("a.cam")), dir.filePath(QStringLiteral("b.cam")),
                                  dir.filePath(QStringLiteral("c.cam"))}));

    QTimer::singleShot(0, [] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    QCOMPARE(ChooseCameraFiles(&owner), std::nullopt);
  }
};

}  // namespace korvan

QTEST_MAIN(korvan::ShellDialogsTest)
#include "test_shell_dialogs.moc"
