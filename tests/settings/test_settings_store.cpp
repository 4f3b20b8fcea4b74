// What the program remembers between runs: the last camera, machine-wide with a per-user fallback,
// and the recent camera files; damaged, unreadable and unwritable files.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "settings/SettingsStore.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace korvan {
namespace {

constexpr char kLastCameraLine[] = "Varnholt\\Korvan\\Optavel\\Last%20Camera";

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs `body` as a user without special rights and returns its result. Root may write into any
// folder whatever its mode, so as root the body runs in a child process that gives up its rights.
bool RunWithoutPrivileges(const std::function<bool()>& body) {
#ifdef Q_OS_UNIX
  if (::geteuid() != 0) return body();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#else
  return body();
#endif
}

}  // namespace

class SettingsStoreTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  int caseNumber_ = 0;
  SettingsStore::Locations locations_;

  SettingsStore::Locations FreshLocations() {
    const QString dir = root_.path() + QStringLiteral("/case%1").arg(++caseNumber_);
    QDir().mkpath(dir);
    return {dir + QStringLiteral("/machine/Korvan.ini"), dir + QStringLiteral("/user/Korvan Lens Calculator.ini")};
  }

 private slots:
  void init() { locations_ = FreshLocations(); }

  void the_last_camera_written_last_wins_data() {
    QTest::addColumn<QString>("ownWritten");
    QTest::addColumn<QString>("sharedWritten");
    QTest::addColumn<QString>("expected");
    QTest::newRow("machine-wide newer") << "2026-01-01T10:00:00.000Z" << "2026-01-02T10:00:00.000Z" << "shared.cam";
    QTest::newRow("own newer") << "2026-01-03T10:00:00.000Z" << "2026-01-02T10:00:00.000Z" << "own.cam";
    QTest::newRow("own without time") << "" << "2026-01-02T10:00:00.000Z" << "shared.cam";
    QTest::newRow("neither with a time") << "" << "" << "own.cam";
  }
  void the_last_camera_written_last_wins() {
    QFETCH(QString, ownWritten);
    QFETCH(QString, sharedWritten);
    QFETCH(QString, expected);
    const auto put = [](const QString& file, const QString& path, const QString& written) {
      QSettings settings(file, QSettings::IniFormat);
      settings.setValue(QStringLiteral("Software/Varnholt/Korvan/Optavel/Last Camera"), path);
      if (!written.isEmpty()) settings.setValue(QStringLiteral("Software/Varnholt/Korvan/Optavel/Last Camera Written"), written);
    };
    put(locations_.userFile, QStringLiteral("own.cam"), ownWritten);
    put(locations_.machineFile, QStringLiteral("shared.cam"), sharedWritten);
    QCOMPARE(SettingsStore(locations_).LastCamera(), std::optional<QString>(expected));
    // A value saved now is the newest of all.
    SettingsStore(locations_).SaveLastCamera(QStringLiteral("now.cam"));
    QCOMPARE(SettingsStore(locations_).LastCamera(), std::optional<QString>(QStringLiteral("now.cam")));
  }

  void last_camera_round_trips_any_path_exactly_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("full path") << QStringLiteral("/home/anna/cameras/falke500.cam");
    QTest::newRow("bare file name") << QStringLiteral("falke500.cam");
    QTest::newRow("commas, semicolons, blanks") << QStringLiteral(" /x/a, b;c = d.cam ");
    QTest::newRow("quotes and backslashes") << QStringLiteral("C:\\Cams\\\"odd\".cam");
    QTest::newRow("non-ASCII") << QStringLiteral("/home/jörg/Kameras/Überwachung €.cam");
  }
  void last_camera_round_trips_any_path_exactly() {
    QFETCH(QString, path);
    {
      SettingsStore store(locations_);
      QVERIFY(store.SaveLastCamera(path));
    }
    SettingsStore next(locations_);
    QCOMPARE(next.LastCamera(), std::optional<QString>(path));
    QVERIFY2(!QFile::exists(locations_.userFile), "the machine-wide store took it");
  }

  void missing_value_gives_nothing_and_creates_no_file() {
    SettingsStore store(locations_);
    QCOMPARE(store.LastCamera(), std::nullopt);
    QVERIFY(store.RecentFiles().isEmpty());
    QVERIFY(!QFile::exists(locations_.machineFile));
    QVERIFY(!QFile::exists(locations_.userFile));
  }

  void unusable_value_is_ignored_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("key without the value") << QByteArray("[Software]\nVarnholt\\Korvan\\Optavel\\Other=x.cam\n");
    QTest::newRow("number") << QByteArray("[Software]\n") + kLastCameraLine + "=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n";
    QTest::newRow("list") << QByteArray("[Software]\n") + kLastCameraLine + "=a.cam, b.cam\n";
    QTest::newRow("bytes") << QByteArray("[Software]\n") + kLastCameraLine + "=@ByteArray(x.cam)\n";
    // A damaged file is ignored whole, even the value that could still be read from it.
    QTest::newRow("unclosed section") << QByteArray("[Software\n") + kLastCameraLine + "=x.cam\n";
    QTest::newRow("cut off in a section name") << QByteArray("[Software]\n") + kLastCameraLine + "=x.cam\n[Recent Fi";
    QTest::newRow("binary junk") << QByteArray("\x01\x02\xff\xfe[[[\n=\n", 10);
  }
  void unusable_value_is_ignored() {
    QFETCH(QByteArray, contents);
    WriteFile(locations_.machineFile, contents);
    SettingsStore store(locations_);
    QCOMPARE(store.LastCamera(), std::nullopt);
  }

  void damaged_user_file_yields_no_recent_files_and_no_fallback() {
    WriteFile(locations_.machineFile, QByteArray("[Software]\n") + kLastCameraLine + "=machine.cam\n");
    WriteFile(locations_.userFile,
              QByteArray("[Recent File List]\nFile1=/a.cam\n[Software\n") + kLastCameraLine + "=own.cam\n");
    SettingsStore store(locations_);
    QVERIFY(store.RecentFiles().isEmpty());
    QCOMPARE(store.LastCamera(), std::optional<QString>(QStringLiteral("machine.cam")));
  }

  void damaged_file_is_written_afresh() {
    WriteFile(locations_.machineFile, QByteArray("[Software\n") + kLastCameraLine + "=old.cam\nStale=1\n");
    {
      SettingsStore store(locations_);
      QVERIFY(store.SaveLastCamera(QStringLiteral("new.cam")));
    }
    QSettings check(locations_.machineFile, QSettings::IniFormat);
    QCOMPARE(check.status(), QSettings::NoError);
    QCOMPARE(check.allKeys(), (QStringList{QStringLiteral("Software/Varnholt/Korvan/Optavel/Last Camera"),
                                           QStringLiteral("Software/Varnholt/Korvan/Optavel/Last Camera Written")}));
    QCOMPARE(SettingsStore(locations_).LastCamera(), std::optional<QString>(QStringLiteral("new.cam")));
  }

  void planner_inputs_round_trip_and_damaged_values_keep_their_defaults_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("expected");  // depth, wavelength, blur limit, event, memory, bit depth, lenses
    QTest::newRow("nothing stored") << QByteArray() << QStringList{"0", "550", "1", "0", "0", "8", ""};
    QTest::newRow("all stored") << QByteArray("[Planner]\nDepth=0.2\nWavelength=850\nBlurLimit=0.5\nEventMs=12\n"
                                              "MemoryGb=32\nBitDepth=12\nLenses=\"8, 12.5, 16\"\n")
                                << QStringList{"0.2", "850", "0.5", "12", "32", "12", "8, 12.5, 16"};
    QTest::newRow("not texts") << QByteArray("[Planner]\nDepth=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                                             "Lenses=8, 12.5\nBlurLimit=@ByteArray(2)\nBitDepth=10\n")
                               << QStringList{"0", "550", "1", "0", "0", "10", ""};
    QTest::newRow("refused by the planner") << QByteArray("[Planner]\nDepth=-1\nWavelength=abc\nBlurLimit=0\n"
                                                          "EventMs=5\n")
                                            << QStringList{"0", "550", "1", "5", "0", "8", ""};
    QTest::newRow("damaged file") << QByteArray("[Planner\nDepth=0.2\n") << QStringList{"0", "550", "1", "0", "0", "8", ""};
  }
  void planner_inputs_round_trip_and_damaged_values_keep_their_defaults() {
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, expected);
    if (!stored.isEmpty()) WriteFile(locations_.userFile, stored);
    const auto shown = [](const planner::PlannerTexts& texts) {
      QStringList list;
      for (const std::string* text : {&texts.depth, &texts.wavelength, &texts.blurLimit, &texts.eventMs, &texts.memoryGb,
                                      &texts.bitDepth, &texts.lenses}) {
        list << QString::fromStdString(*text);
      }
      return list;
    };
    planner::PlannerTexts texts;
    {
      SettingsStore store(locations_);
      texts = store.PlannerTexts();
      QCOMPARE(shown(texts), expected);
      texts.lenses = "35, 50";
      QVERIFY(store.SavePlannerTexts(texts));
    }
    expected.last() = "35, 50";
    QCOMPARE(shown(SettingsStore(locations_).PlannerTexts()), expected);
  }

  void unreadable_file_is_ignored() {
    // A folder where the file should be cannot be read by anyone.
    QDir().mkpath(locations_.machineFile);
    QCOMPARE(SettingsStore(locations_).LastCamera(), std::nullopt);

    // A file without read permission, read by a user who is not its owner.
    const SettingsStore::Locations locked = FreshLocations();
    WriteFile(locked.machineFile, QByteArray("[Software]\n") + kLastCameraLine + "=x.cam\n");
    QVERIFY(QFile::setPermissions(locked.machineFile, QFileDevice::Permissions()));
    QVERIFY(QFile::setPermissions(root_.path(), QFileDevice::Permissions(0x7777)));
    for (const QString& dir : {QFileInfo(locked.machineFile).absolutePath(),
                               QFileInfo(locked.machineFile).absolutePath() + QStringLiteral("/..")}) {
      QVERIFY(QFile::setPermissions(dir, QFileDevice::Permissions(0x7777)));
    }
    QVERIFY(RunWithoutPrivileges([&] { return !SettingsStore(locked).LastCamera().has_value(); }));
  }

  void read_only_machine_folder_keeps_the_value_in_the_users_settings() {
    const QString machineDir = QFileInfo(locations_.machineFile).absolutePath();
    const QString userDir = QFileInfo(locations_.userFile).absolutePath();
    QVERIFY(QDir().mkpath(machineDir));
    QVERIFY(QDir().mkpath(userDir));
    QVERIFY(QFile::setPermissions(root_.path(), QFileDevice::Permissions(0x7777)));
    QVERIFY(QFile::setPermissions(machineDir + QStringLiteral("/.."), QFileDevice::Permissions(0x7777)));
    QVERIFY(QFile::setPermissions(userDir, QFileDevice::Permissions(0x7777)));
    QVERIFY(QFile::setPermissions(machineDir, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                  QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther));

    const SettingsStore::Locations locations = locations_;
    QVERIFY(RunWithoutPrivileges([locations] {
      bool saved = false;
      {
        SettingsStore store(locations);
        saved = store.SaveLastCamera(QStringLiteral("/cams/falke500.cam"));
      }
      SettingsStore next(locations);
      return saved && next.LastCamera() == QStringLiteral("/cams/falke500.cam");
    }));
    QVERIFY(!QFile::exists(locations_.machineFile));
    QVERIFY(ReadFile(locations_.userFile).contains("/cams/falke500.cam"));
  }

  void machine_value_takes_over_again_once_it_can_be_written() {
    // Blocked: a file stands where the machine-wide folder should be.
    const QString machineDir = QFileInfo(locations_.machineFile).absolutePath();
    WriteFile(machineDir, "not a folder");
    {
      SettingsStore store(locations_);
      QVERIFY(store.SaveLastCamera(QStringLiteral("own.cam")));
      QCOMPARE(store.LastCamera(), std::optional<QString>(QStringLiteral("own.cam")));
    }
    QVERIFY(QFile::remove(machineDir));
    {
      SettingsStore store(locations_);
      QCOMPARE(store.LastCamera(), std::optional<QString>(QStringLiteral("own.cam")));
      QVERIFY(store.SaveRecentFiles({QStringLiteral("/a.cam")}));
      QVERIFY(store.SaveLastCamera(QStringLiteral("machine.cam")));
      QCOMPARE(store.LastCamera(), std::optional<QString>(QStringLiteral("machine.cam")));
    }
    SettingsStore next(locations_);
    QCOMPARE(next.LastCamera(), std::optional<QString>(QStringLiteral("machine.cam")));
    QCOMPARE(next.RecentFiles(), QStringList{QStringLiteral("/a.cam")});
  }

  void nothing_writable_reports_failure() {
    WriteFile(QFileInfo(locations_.machineFile).absolutePath(), "x");
    WriteFile(QFileInfo(locations_.userFile).absolutePath(), "x");
    SettingsStore store(locations_);
    QVERIFY(!store.SaveLastCamera(QStringLiteral("a.cam")));
    QVERIFY(!store.SaveRecentFiles({QStringLiteral("/a.cam")}));
  }

  void recent_files_keep_order_skip_odd_entries_and_hold_at_most_ten() {
    WriteFile(locations_.userFile,
              "[Recent File List]\nFile1=/a.cam\nFile2=\nFile3=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nFile4=/b.cam\n"
              "File11=/beyond.cam\n");
    QCOMPARE(SettingsStore(locations_).RecentFiles(),
             (QStringList{QStringLiteral("/a.cam"), QStringLiteral("/b.cam")}));

    QStringList paths;
    for (int i = 1; i <= 12; ++i) paths << QStringLiteral("/cams/camera %1.cam").arg(i);
    QVERIFY(SettingsStore(locations_).SaveRecentFiles(paths));
    QCOMPARE(SettingsStore(locations_).RecentFiles(), paths.mid(0, 10));
  }

#ifdef Q_OS_UNIX
  void interrupted_write_leaves_the_previous_file_whole() {
    {
      SettingsStore store(locations_);
      QVERIFY(store.SaveRecentFiles({QStringLiteral("/cams/a.cam"), QStringLiteral("/cams/b.cam")}));
    }
    const QByteArray before = ReadFile(locations_.userFile);
    QVERIFY(!before.isEmpty());

    QStringList longer;
    for (int i = 0; i < 10; ++i) longer << QStringLiteral("/a/rather/long/folder/name/for/camera/files/%1.cam").arg(i);
    // The file system refuses to let any file grow beyond a few bytes more than the old one, so
    // the new contents are cut off part-way through writing.
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = static_cast<rlim_t>(before.size() + 16);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    bool written = true;
    {
      SettingsStore store(locations_);
      written = store.SaveRecentFiles(longer);
      QCOMPARE(ReadFile(locations_.userFile), before);
      QCOMPARE(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    }
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(!written);
    const QStringList after = SettingsStore(locations_).RecentFiles();
    QVERIFY2(after.size() == 2 || after == longer, "the file holds the old list or the whole new one");
  }
#endif

  void settings_folder_follows_the_environment() {
    qputenv("KORVAN_SETTINGS_DIR", QFile::encodeName(root_.path() + QStringLiteral("/moved")));
    const SettingsStore::Locations moved = SettingsStore::DefaultLocations();
    qunsetenv("KORVAN_SETTINGS_DIR");
    QCOMPARE(QFileInfo(moved.machineFile).absolutePath(), root_.path() + QStringLiteral("/moved"));
    QVERIFY(!moved.userFile.isEmpty());
    QVERIFY(moved.userFile != moved.machineFile);
    {
      SettingsStore store(moved);
      QVERIFY(store.SaveLastCamera(QStringLiteral("bench.cam")));
    }
    QVERIFY(ReadFile(moved.machineFile).contains("bench.cam"));
  }
};

}  // namespace korvan

QTEST_GUILESS_MAIN(korvan::SettingsStoreTest)
#include "test_settings_store.moc"
