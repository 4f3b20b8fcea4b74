// The real program started as the host starts it: with a launch message, in a folder holding the
// camera files, with its settings in a temporary folder; then ended by a termination request.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "settings/SettingsStore.h"
#include "version/Version.h"

namespace korvan {
namespace {

// True once the process has its handler for SIGTERM in place, so the request is not fatal.
bool CatchesTermination(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith("SigCgt:")) continue;
    bool ok = false;
    const qulonglong caught = line.mid(7).trimmed().toULongLong(&ok, 16);
    return ok && (caught & (1ull << (15 - 1)));
  }
  return false;
}

}  // namespace

class LaunchProcessTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  int run_ = 0;

  struct Run {
    QString work;
    SettingsStore::Locations settings;
  };

  Run Prepare() {
    const QString base = root_.filePath(QStringLiteral("run%1").arg(++run_));
    Run run{base + QStringLiteral("/work"),
            {base + QStringLiteral("/machine/Korvan.ini"),
             base + QStringLiteral("/config/Varnholt/Korvan Lens Calculator.ini")}};
    QDir().mkpath(run.work);
    QFile::copy(QStringLiteral(KORVAN_CAMERA_DIR "/falke500.cam"), run.work + QStringLiteral("/falke500.cam"));
    return run;
  }

  void Start(QProcess& process, const Run& run, const QString& message) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("KORVAN_SETTINGS_DIR"), QFileInfo(run.settings.machineFile).absolutePath());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QFileInfo(run.settings.userFile).absolutePath() + QStringLiteral("/.."));
    const QString runtime = QFileInfo(run.work).absolutePath() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(run.work);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral(KORVAN_PROGRAM), {QStringLiteral("--no-splash"), message});
    QVERIFY(process.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(CatchesTermination(process.processId()), 30000);
  }

  static void EndsCleanly(QProcess& process) {
    process.terminate();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
  }

 private slots:
  void initTestCase() { QVERIFY(root_.isValid()); }

  void host_launch_loads_the_hosts_camera_from_the_current_directory() {
    const Run run = Prepare();
    QProcess process;
    Start(process, run, QStringLiteral("X,Korvan Falke 500,500,800,600,4"));
    QTRY_VERIFY_WITH_TIMEOUT(SettingsStore(run.settings).LastCamera() == QStringLiteral("falke500.cam"), 30000);
    EndsCleanly(process);

    SettingsStore left(run.settings);
    QCOMPARE(left.LastCamera(), std::optional<QString>(QStringLiteral("falke500.cam")));
    // The last camera is the host's bare name; the recent files hold its full path.
    QCOMPARE(left.RecentFiles(), QStringList{QDir(run.work).canonicalPath() + QStringLiteral("/falke500.cam")});
  }

  // Started where there is no display (a desktop-less server, a shell over ssh): one line that
  // says so and names the command-line calculator, and status 1 instead of Qt's abort.
  void without_a_display_says_so_in_one_line_and_exits_with_status_1_data() {
    QTest::addColumn<QString>("platform");  // empty: Qt's own choice
    QTest::addColumn<QString>("display");   // empty: none set
    QTest::newRow("no display named") << QString() << QString();
    QTest::newRow("X11 named, none there") << QStringLiteral("xcb") << QStringLiteral(":97");
    QTest::newRow("Wayland asked for, none there") << QStringLiteral("wayland") << QString();
  }
  void without_a_display_says_so_in_one_line_and_exits_with_status_1() {
    QFETCH(QString, platform);
    QFETCH(QString, display);
    const Run run = Prepare();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(QLatin1String(name));
    if (!platform.isEmpty()) environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display.isEmpty()) environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("KORVAN_SETTINGS_DIR"), QFileInfo(run.settings.machineFile).absolutePath());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KORVAN_PROGRAM), {QStringLiteral("--no-splash")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QStringList lines = QString::fromLocal8Bit(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].contains(QLatin1String("no display found")), qPrintable(lines[0]));
    QVERIFY(lines[0].contains(QLatin1String("korvan-lens is the command-line calculator")));
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(!QFile::exists(run.settings.machineFile));
  }

  // No display and no platform plugin chosen: a QApplication made first would abort the program.
  void help_and_version_print_without_a_display_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firstLine");
    const QString help =
        QStringLiteral("Korvan Lens Calculator: lens, depth of field and motion blur for high-speed cameras.");
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << help;
    QTest::newRow("-h after a message") << QStringList{QStringLiteral("X,Korvan Falke 500,500,800,600,4"),
                                                       QStringLiteral("-h")}
                                        << help;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")}
                               << QStringLiteral("korvan-lens-calculator " KORVAN_VERSION);
  }
  void help_and_version_print_without_a_display() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, firstLine);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KORVAN_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardError(), QByteArray());
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0), firstLine);
  }

  void termination_while_a_launch_error_is_shown_ends_the_program() {
    const Run run = Prepare();
    {
      SettingsStore before(run.settings);
      QVERIFY(before.SaveRecentFiles({run.work + QStringLiteral("/falke500.cam")}));
    }
    QProcess process;
    // An unknown model: the program waits in the "Error" box before its window opens.
    Start(process, run, QStringLiteral("X,Korvan Unknown 1,500,800,600,4"));
    QTest::qWait(300);
    QCOMPARE(process.state(), QProcess::Running);
    EndsCleanly(process);

    SettingsStore left(run.settings);
    QCOMPARE(left.LastCamera(), std::nullopt);
    QCOMPARE(left.RecentFiles(), QStringList{run.work + QStringLiteral("/falke500.cam")});
  }
};

}  // namespace korvan

QTEST_GUILESS_MAIN(korvan::LaunchProcessTest)
#include "test_launch_process.moc"
