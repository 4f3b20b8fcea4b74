// The calculator window's shell and catalogue: the host's launch request, the restored last
// camera, the recent files, "Select...", the About item and the icon.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>
#include <fstream>

#include "ui/WindowDriver.h"
#include "app/CCalculatorApp.h"
#include "launch/LaunchMessage.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CCalculatorDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

const QString kFalke = QStringLiteral("Korvan Falke 500");
const QString kSperber = QStringLiteral("Korvan Sperber 4K / 4K Color");
const QString kGeneric = QStringLiteral("No Camera Selected");

// The application's side as the window sees it, with every call recorded.
struct Host {
  RecordingSink sink;
  HostLaunchRequest request;
  std::optional<std::string> lastCamera;
  int lastCameraReads = 0;
  std::vector<std::string> recent;
  std::optional<QStringList> chosen;
  QList<QWidget*> chooserOwners;
  std::vector<std::string> loaded;

  CalculatorContext Context() {
    CalculatorContext context;
    context.launchRequest = &request;
    context.messages = &sink;
    context.cameraLoaded = [this](const std::string& path) { loaded.push_back(path); };
    context.lastCamera = [this] {
      ++lastCameraReads;
      return lastCamera;
    };
    context.recentFileNames = [this] { return recent; };
    context.chooseCameraFiles = [this](QWidget* owner) {
      chooserOwners << owner;
      return chosen;
    };
    return context;
  }

  QStringList Messages() const {
    QStringList texts;
    for (const RecordedMessage& message : sink.messages) texts << message.text;
    return texts;
  }
};

HostLaunchRequest Request(const std::string& file, int rate, int width, int height, int shutter) {
  HostLaunchRequest request;
  request.cameraName = "Korvan Falke 500";
  request.cameraFile = file;
  request.frameRate = rate;
  request.imageWidth = width;
  request.imageHeight = height;
  request.shutterMultiple = shutter;
  request.valid = true;
  return request;
}

// Runs `action` and tells which modal window it opened, closing that window again.
QString ModalOpenedBy(const std::function<void()>& action) {
  QString opened;
  QTimer::singleShot(0, [&opened] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = QString::fromLatin1(modal->metaObject()->className());
      modal->close();
    }
  });
  action();
  QCoreApplication::processEvents();
  return opened;
}

}  // namespace

class CalculatorShellTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir work;
  QString previousDirectory;
  std::unique_ptr<CCalculatorDlg> window;

  QString T(int id) const { return Text(window.get(), id); }
  QString W(const QString& name) const { return work.filePath(name); }

  void Write(const QString& name, const QByteArray& content) {
    QFile file(W(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
  }

  void Open(const CalculatorContext& context) {
    QVERIFY(ShowCalculator(window, context));
  }

  int CameraIndex() const { return Control<QComboBox>(window.get(), ids::kCameraList)->currentIndex(); }

 private slots:
  void initTestCase() {
    QuietenPlatformWarnings();
    QVERIFY(work.isValid());
    // Camera files named by the host are looked up in the current directory.
    for (const char* name : {"falke500.cam", "sperber4k.cam"}) {
      QVERIFY(QFile::copy(QStringLiteral(KORVAN_CAMERA_DIR "/") + QLatin1String(name), W(QLatin1String(name))));
    }
    Write("empty.cam", "# a camera file without a name\n\n");
    Write("falke-copy.cam", "Korvan Falke 500\n9, 9\n100,100,100\n");
    Write("shouting.cam", "KORVAN FALKE 500\n9, 9\n100,100,100\n");
    Write("alpha.cam", "Alpha\n10, 10\n250,640,480\n");
    Write("beta.cam", "Beta\n10, 10\n500,320,240\n");
    previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
  }
  void cleanupTestCase() { QDir::setCurrent(previousDirectory); }
  void cleanup() { window.reset(); }

  void launch_request_selects_the_hosts_camera_rate_size_and_shutter() {
    Host host;
    host.request = Request("falke500.cam", 500, 800, 600, 4);
    host.lastCamera = "sperber4k.cam";
    Open(host.Context());
    QVERIFY(host.sink.messages.empty());
    QCOMPARE(host.lastCameraReads, 0);
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{kGeneric, kFalke}));
    QCOMPARE(window->CameraFilePaths().at(1), std::string("falke500.cam"));
    QCOMPARE(T(ids::kCameraList), kFalke);
    QCOMPARE(T(ids::kFrameRateList), QStringLiteral("500"));
    QCOMPARE(T(ids::kResolutionList), QStringLiteral("800 x 600"));
    QCOMPARE(T(ids::kWidthPxBox), QStringLiteral("800"));
    QVERIFY(T(ids::kShutterList).startsWith(QLatin1String("4x ")));
    QCOMPARE(window->State().shutterMultiple, 4);  // the blur cycle read the shutter
    QCOMPARE(host.loaded, std::vector<std::string>{"falke500.cam"});
  }

  void launch_request_failures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("shutter");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("camera");
    QTest::addColumn<QString>("rateShown");
    QTest::addColumn<QString>("sizeShown");
    QTest::addColumn<int>("shutterIndex");
    QTest::addColumn<int>("shutterStored");

    const QString rateMessage = QStringLiteral("Unrecognized frame rate sent from Korvan.  Using default.");
    const QString sizeMessage = QStringLiteral("Unrecognized resolution sent from Korvan.  Using default.");
    QTest::newRow("camera file not in the current directory")
        << "milan16k.cam" << 500 << 800 << 600 << 4
        << QStringList{QStringLiteral("Could not open file passed from Korvan, milan16k.cam")} << kGeneric << "60"
        << "480 x 420" << 0 << 4;
    QTest::newRow("camera file without a name")
        << "empty.cam" << 500 << 800 << 600 << 4
        << QStringList{QStringLiteral("Improperly formatted file passed from Korvan, empty.cam")} << kGeneric << "60"
        << "480 x 420" << 0 << 4;
    QTest::newRow("frame rate that was not a number")
        << "falke500.cam" << 0 << 800 << 600 << 4 << QStringList{rateMessage, sizeMessage} << kFalke << "60"
        << "1024 x 768" << 3 << 4;
    QTest::newRow("resolution offered only at another rate")
        << "falke500.cam" << 1000 << 800 << 600 << 2 << QStringList{sizeMessage} << kFalke << "1000"
        << "1024 x 384" << 1 << 2;
    QTest::newRow("shutter 0") << "falke500.cam" << 500 << 800 << 600 << 0 << QStringList{} << kFalke << "500"
                               << "800 x 600" << 0 << 1;
    QTest::newRow("shutter -3") << "falke500.cam" << 500 << 800 << 600 << -3 << QStringList{} << kFalke << "500"
                                << "800 x 600" << 0 << 1;
    QTest::newRow("shutter 25") << "falke500.cam" << 500 << 800 << 600 << 25 << QStringList{} << kFalke << "500"
                                << "800 x 600" << 19 << 20;
  }
  void launch_request_failures() {
    QFETCH(QString, file);
    QFETCH(int, rate);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, shutter);
    QFETCH(QStringList, messages);
    QFETCH(QString, camera);
    QFETCH(QString, rateShown);
    QFETCH(QString, sizeShown);
    QFETCH(int, shutterIndex);
    QFETCH(int, shutterStored);

    Host host;
    host.request = Request(file.toStdString(), rate, width, height, shutter);
    host.lastCamera = "sperber4k.cam";
    Open(host.Context());
    QCOMPARE(host.Messages(), messages);
    for (const RecordedMessage& message : host.sink.messages) {
      QCOMPARE(message.owner, window.get());
      QCOMPARE(message.caption, QStringLiteral("Korvan Lens Calculator"));
    }
    QCOMPARE(host.lastCameraReads, 0);  // never restored instead of a valid request
    QCOMPARE(QString::fromStdString(window->CurrentCamera().name), camera);
    QCOMPARE(T(ids::kCameraList), camera);
    QCOMPARE(T(ids::kFrameRateList), rateShown);
    QCOMPARE(T(ids::kResolutionList), sizeShown);
    QCOMPARE(Control<QComboBox>(window.get(), ids::kShutterList)->currentIndex(), shutterIndex);
    QCOMPARE(window->State().shutterMultiple, shutterIndex + 1);
    QCOMPARE(host.request.shutterMultiple, shutterStored);
  }

  void restore_through_the_settings_data() {
    QTest::addColumn<QByteArray>("stored");  // the machine-wide file; "(none)": no file, "(folder)": a folder
    QTest::addColumn<QString>("message");    // "%1" stands for the work folder
    QTest::addColumn<QString>("camera");
    const QByteArray key = "[Software]\nVarnholt\\Korvan\\Optavel\\Last%20Camera=";
    QTest::newRow("no value") << QByteArray("(none)") << QString() << kGeneric;
    QTest::newRow("damaged file") << QByteArray("[Software\nVarnholt\\Korvan\\Optavel\\Last%20Camera=falke500.cam\n")
                                  << QString() << kGeneric;
    QTest::newRow("unreadable file") << QByteArray("(folder)") << QString() << kGeneric;
    QTest::newRow("not a string") << key + "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n" << QString() << kGeneric;
    QTest::newRow("bare file name in the current directory") << key + "falke500.cam\n" << QString() << kFalke;
    QTest::newRow("full path") << key + "%1/sperber4k.cam\n" << QString() << kSperber;
    QTest::newRow("file gone") << key + "%1/gone.cam\n"
                               << "Error opening last used camera file: %1/gone.cam\nUsing the default generic camera."
                               << kGeneric;
    QTest::newRow("file without a name")
        << key + "%1/empty.cam\n"
        << "Last camera file appears empty, %1/empty.cam\nUsing the default generic camera." << kGeneric;
  }
  void restore_through_the_settings() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    QFETCH(QString, camera);
    QTemporaryDir settings;
    const SettingsStore::Locations locations{settings.filePath("machine/Korvan.ini"), settings.filePath("user.ini")};
    if (stored == "(folder)") {
      QVERIFY(QDir().mkpath(locations.machineFile));
    } else if (stored != "(none)") {
      QVERIFY(QDir().mkpath(settings.filePath("machine")));
      QFile file(locations.machineFile);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(stored.replace("%1", QFile::encodeName(work.path())));
    }
    RecordingSink sink;
    CCalculatorApp app(locations, &sink);
    app.LoadRecentFiles();
    Open(app.MakeContext());

    QCOMPARE(T(ids::kCameraList), camera);
    QCOMPARE(QString::fromStdString(window->CurrentCamera().name), camera);
    QCOMPARE(Entries(window.get(), ids::kCameraList).size(), camera == kGeneric ? 1 : 2);
    if (message.isEmpty()) {
      QVERIFY(sink.messages.empty());
    } else {
      QCOMPARE(sink.messages.size(), std::size_t{1});
      QCOMPARE(sink.messages[0].text, message.arg(work.path()));
      QCOMPARE(sink.messages[0].owner, window.get());
    }
    // A camera that loaded heads the recent files and stays the last camera.
    if (camera != kGeneric) {
      QCOMPARE(app.RecentFiles().Entries().size(), std::size_t{1});
      QCOMPARE(SettingsStore(locations).LastCamera(),
               std::optional<QString>(PathFromBytes(window->CameraFilePaths()[1])));
    }
  }

  void restored_camera_whose_load_fails_stays_listed_and_selected() {
    Write("badpixel.cam", "Broken Camera\n7.4;7.4\n500,640,512\n");
    Host host;
    host.lastCamera = "badpixel.cam";
    Open(host.Context());
    QCOMPARE(host.Messages(), QStringList{QStringLiteral("Badly formatted file, 7.4;7.4")});
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{kGeneric, QStringLiteral("Broken Camera")}));
    QCOMPARE(T(ids::kCameraList), QStringLiteral("Broken Camera"));
    QCOMPARE(window->CurrentCamera().name, std::string("No Camera Selected"));
    QVERIFY(host.loaded.empty());
  }

  void recent_files_follow_the_restored_camera_each_name_once() {
    Host host;
    host.lastCamera = "falke500.cam";
    host.recent = {PathToBytes(W("sperber4k.cam")),
                   PathToBytes(W("vanished.cam")),
                   PathToBytes(W("falke-copy.cam")),  // same camera name as the restored one
                   "",
                   PathToBytes(W("empty.cam")),
                   PathToBytes(W("alpha.cam"))};
    host.recent.resize(10);
    Open(host.Context());
    QVERIFY(host.sink.messages.empty());
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{kGeneric, kFalke, kSperber, "Alpha"}));
    QCOMPARE(window->CameraFilePaths(),
             (std::vector<std::string>{"generic.cam", "falke500.cam", PathToBytes(W("sperber4k.cam")),
                                       PathToBytes(W("alpha.cam"))}));
    QCOMPARE(T(ids::kCameraList), kFalke);
    QCOMPARE(host.loaded, std::vector<std::string>{"falke500.cam"});
  }

  void no_settings_and_no_recent_files_leave_the_generic_camera_alone() {
    Host host;
    Open(host.Context());
    QVERIFY(host.sink.messages.empty());
    QCOMPARE(Entries(window.get(), ids::kCameraList), QStringList{kGeneric});
    QCOMPARE(host.lastCameraReads, 1);
    QVERIFY(host.loaded.empty());
  }

  void select_several_files_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("messages");  // "%1" stands for the work folder
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("selected");  // empty: no selection
    QTest::addColumn<QString>("inForce");
    QTest::newRow("three good files") << QStringList{"alpha.cam", "beta.cam", "falke500.cam"} << QStringList{}
                                      << QStringList{kGeneric, kSperber, "Alpha", "Beta", kFalke} << kFalke << kFalke;
    QTest::newRow("the last one empty") << QStringList{"alpha.cam", "beta.cam", "empty.cam"}
                                        << QStringList{"Empty file, %1/empty.cam"}
                                        << QStringList{kGeneric, kSperber, "Alpha", "Beta"} << QString() << kSperber;
    QTest::newRow("the last one cannot be opened")
        << QStringList{"alpha.cam", "beta.cam", "missing.cam"} << QStringList{"Could not open file %1/missing.cam"}
        << QStringList{kGeneric, kSperber, "Alpha", "Beta"} << "Beta"
        << "Beta";
    QTest::newRow("an empty one before a good one")
        << QStringList{"empty.cam", "alpha.cam"} << QStringList{"Empty file, %1/empty.cam"}
        << QStringList{kGeneric, kSperber, "Alpha"} << "Alpha"
        << "Alpha";
  }
  void select_several_files() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, entries);
    QFETCH(QString, selected);
    QFETCH(QString, inForce);
    Host host;
    host.lastCamera = "sperber4k.cam";
    host.chosen = QStringList{};
    for (const QString& file : files) *host.chosen << W(file);
    Open(host.Context());
    host.loaded.clear();

    Click(window.get(), ids::kSelectButton);
    QCOMPARE(host.chooserOwners, QList<QWidget*>{window.get()});
    QStringList expected;
    for (const QString& message : messages) expected << message.arg(work.path());
    QCOMPARE(host.Messages(), expected);
    QCOMPARE(Entries(window.get(), ids::kCameraList), entries);
    QCOMPARE(CameraIndex() < 0 ? QString() : T(ids::kCameraList), selected);
    QCOMPARE(QString::fromStdString(window->CurrentCamera().name), inForce);
    QCOMPARE(host.loaded.size(), std::size_t{inForce == kSperber ? 0u : 1u});
  }

  void selecting_a_listed_name_loads_the_listed_file() {
    Host host;
    host.recent = {"falke500.cam"};
    host.chosen = QStringList{W("shouting.cam")};
    Open(host.Context());
    QCOMPARE(window->CurrentCamera().name, std::string("No Camera Selected"));
    Click(window.get(), ids::kSelectButton);
    QVERIFY(host.sink.messages.empty());
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{kGeneric, kFalke}));
    QCOMPARE(T(ids::kCameraList), kFalke);
    QCOMPARE(host.loaded, std::vector<std::string>{"falke500.cam"});
    QCOMPARE(window->CurrentCamera().filePath, std::string("falke500.cam"));
  }

  void selecting_the_camera_in_force_again_reloads_nothing() {
    Host host;
    host.lastCamera = PathToBytes(W("alpha.cam"));
    host.chosen = QStringList{W("alpha.cam")};
    Open(host.Context());
    QVERIFY(Choose(window.get(), ids::kFrameRateList, "250"));
    Click(window.get(), ids::kSelectButton);
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{kGeneric, "Alpha"}));
    QCOMPARE(T(ids::kCameraList), QStringLiteral("Alpha"));
    QCOMPARE(host.loaded.size(), std::size_t{1});
  }

  void cancelled_selection_changes_nothing() {
    Host host;
    host.lastCamera = "falke500.cam";
    Open(host.Context());
    QVERIFY(Choose(window.get(), ids::kFrameRateList, "1000"));
    Click(window.get(), ids::kSelectButton);
    QCOMPARE(host.chooserOwners.size(), 1);
    QVERIFY(host.sink.messages.empty());
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{kGeneric, kFalke}));
    QCOMPARE(T(ids::kCameraList), kFalke);
    QCOMPARE(T(ids::kFrameRateList), QStringLiteral("1000"));
  }

  void chosen_camera_becomes_the_last_and_heads_the_recent_files() {
    QTemporaryDir settings;
    const SettingsStore::Locations locations{settings.filePath("machine.ini"), settings.filePath("user.ini")};
    {
      SettingsStore store(locations);
      QVERIFY(store.SaveRecentFiles({W("alpha.cam"), W("sperber4k.cam")}));
    }
    CCalculatorApp app(locations);
    app.LoadRecentFiles();
    Open(app.MakeContext());
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{kGeneric, "Alpha", kSperber}));
    QVERIFY(Choose(window.get(), ids::kCameraList, kSperber));
    QCOMPARE(window->CurrentCamera().name, kSperber.toStdString());
    QCOMPARE(T(ids::kFrameRateList), QStringLiteral("30"));

    SettingsStore stored(locations);
    QCOMPARE(stored.LastCamera(), std::optional<QString>(W("sperber4k.cam")));
    QCOMPARE(stored.RecentFiles(), (QStringList{W("sperber4k.cam"), W("alpha.cam")}));
  }

  void recent_setups_and_inputs_restored_at_start() {
    QTemporaryDir settings;
    const SettingsStore::Locations locations{settings.filePath("machine.ini"), settings.filePath("user.ini")};
    RecordingSink sink;
    QString savePath;
    const auto start = [&](CCalculatorApp& app) {
      CalculatorContext context = app.MakeContext();
      context.chooseSetupSavePath = [&](QWidget*) { return std::optional<QString>(savePath); };
      Open(context);
    };
    const auto item = [this](const QString& text) {
      for (QAction* action : window->actions()) {
        if (action->text() == text) return action;
      }
      return static_cast<QAction*>(nullptr);
    };
    const auto recentTexts = [&] {
      QStringList texts;
      for (QAction* action : item("Recent Setups")->menu()->actions()) texts << action->text();
      return texts;
    };
    const QString a = QDir::toNativeSeparators(W("a.klsetup"));
    const QString b = QDir::toNativeSeparators(W("b.klsetup"));
    {
      CCalculatorApp app(locations, &sink);
      start(app);
      for (const auto& [fNumber, path] : {std::pair{"2.8", W("a.klsetup")}, std::pair{"5.6", W("b.klsetup")}}) {
        QVERIFY(Choose(window.get(), ids::kFNumberList, fNumber));
        savePath = path;
        window->OnSaveSetup();
      }
      QCOMPARE(recentTexts(), (QStringList{"&1 " + b, "&2 " + a}));
      item("Recent Setups")->menu()->actions()[1]->trigger();
      QCOMPARE(T(ids::kFNumberList), QStringLiteral("2.8"));
      QCOMPARE(recentTexts(), (QStringList{"&1 " + a, "&2 " + b}));
      // A file gone since is taken off with a word.
      QVERIFY(QFile::remove(W("b.klsetup")));
      item("Recent Setups")->menu()->actions()[1]->trigger();
      QCOMPARE(sink.messages.size(), std::size_t{1});
      QVERIFY(sink.messages.front().text.contains(W("b.klsetup")));
      QCOMPARE(recentTexts(), (QStringList{"&1 " + a}));

      item("Restore Inputs at Start")->trigger();
      QVERIFY(Choose(window.get(), ids::kFNumberList, "5.6"));
      TypeInto(window.get(), ids::kObjectDistanceEdit, "7");
      QTest::keyClick(window.get(), Qt::Key_Escape);
      QVERIFY(!window->isVisible());
      window.reset();
    }
    const QString distance = QStringLiteral("7");
    for (const bool on : {true, false}) {
      CCalculatorApp app(locations, &sink);
      start(app);
      QCOMPARE(item("Restore Inputs at Start")->isChecked(), on);
      QCOMPARE(recentTexts(), (QStringList{"&1 " + a}));
      QCOMPARE(T(ids::kFNumberList), on ? QStringLiteral("5.6") : QStringLiteral("1.0"));
      QCOMPARE(T(ids::kObjectDistanceEdit) == distance, on);
      // Turned off, the next start is empty again.
      if (on) item("Restore Inputs at Start")->trigger();
      window->reject();
      window.reset();
    }
    QCOMPARE(sink.messages.size(), std::size_t{1});
  }

  void about_opens_from_its_button_its_menu_item_and_commands_16_to_31() {
    Host host;
    Open(host.Context());
    const QString about = QStringLiteral("korvan::CAboutDlg");
    QCOMPARE(ModalOpenedBy([&] { Click(window.get(), ids::kAboutButton); }), about);
    for (unsigned command : {16u, 17u, 31u}) {
      QCOMPARE(ModalOpenedBy([&] { QVERIFY(window->OnSysCommand(command)); }), about);
    }
    for (unsigned command : {0u, 15u, 32u, 0xF060u}) {
      QCOMPARE(ModalOpenedBy([&] { QVERIFY(!window->OnSysCommand(command)); }), QString());
    }

    QCOMPARE(window->contextMenuPolicy(), Qt::ActionsContextMenu);
    const QList<QAction*> actions = window->actions();
    // The camera editor's two items, Help, the planner's, the six setup items, then About.
    QCOMPARE(actions.size(), 12);
    QCOMPARE(actions[0]->text(), QStringLiteral("New Camera File..."));
    QCOMPARE(actions[1]->text(), QStringLiteral("Edit Camera File..."));
    QCOMPARE(actions[2]->text(), QStringLiteral("Help"));
    QCOMPARE(actions[3]->text(), QStringLiteral("Pla&nner..."));
    QCOMPARE(actions[4]->text(), QStringLiteral("Open Setup..."));
    QCOMPARE(actions[4]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(actions[5]->text(), QStringLiteral("Save Setup..."));
    QCOMPARE(actions[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(actions[6]->text(), QStringLiteral("Copy Command Line"));
    QCOMPARE(actions[7]->text(), QStringLiteral("Copy Results"));
    QCOMPARE(actions[8]->text(), QStringLiteral("Recent Setups"));
    QVERIFY(actions[8]->menu() != nullptr);
    QVERIFY(!actions[8]->isEnabled());  // the host keeps no recent setups here
    QCOMPARE(actions[9]->text(), QStringLiteral("Restore Inputs at Start"));
    QVERIFY(actions[9]->isCheckable() && !actions[9]->isChecked());
    QVERIFY(actions[10]->isSeparator());
    QCOMPARE(actions[11]->text(), QStringLiteral("&About Korvan Lens Calculator..."));
    QCOMPARE(ModalOpenedBy([&] { actions[11]->trigger(); }), about);

    const QIcon icon = window->windowIcon();
    for (int side : {16, 32}) QCOMPARE(icon.pixmap(side, side).deviceIndependentSize().toSize(), QSize(side, side));
  }
};

QTEST_MAIN(CalculatorShellTest)
#include "test_calculator_shell.moc"
