// The application object: the command line, the launch message with its messages, the recent
// files and the last camera, and ending the run on a termination request.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "app/CCalculatorApp.h"
#include "app/TerminationWatcher.h"
#include "common/HelpText.h"
#include "common/ManualPage.h"
#include "common/RecordingSink.h"
#include "ui/widgets/Controls.h"

namespace korvan {
namespace {

using testing::RecordingSink;

using Arguments = std::vector<std::string>;

}  // namespace

class CalculatorAppTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  int caseNumber_ = 0;

  SettingsStore::Locations FreshLocations() {
    const QString base = dir_.path() + QStringLiteral("/case%1").arg(++caseNumber_);
    return {base + QStringLiteral("/machine/Korvan.ini"), base + QStringLiteral("/user/recent.ini")};
  }

 private slots:
  void command_line_gives_the_first_argument_that_is_no_option_data() {
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<bool>("splash");
    QTest::addColumn<QString>("fileArgument");  // "(none)" when there is none
    QTest::newRow("nothing") << Arguments{} << true << QStringLiteral("(none)");
    QTest::newRow("only options") << Arguments{"-a", "--style=fusion"} << true << QStringLiteral("(none)");
    QTest::newRow("no splash") << Arguments{"--no-splash"} << false << QStringLiteral("(none)");
    QTest::newRow("options around it") << Arguments{"-x", "X,Korvan Falke 500,500,320,280,4", "--no-splash"} << false
                                       << QStringLiteral("X,Korvan Falke 500,500,320,280,4");
    QTest::newRow("first of two") << Arguments{"first.cam", "second.cam"} << true << QStringLiteral("first.cam");
    QTest::newRow("empty argument") << Arguments{""} << true << QString();
  }
  void command_line_gives_the_first_argument_that_is_no_option() {
    QFETCH(Arguments, arguments);
    QFETCH(bool, splash);
    QFETCH(QString, fileArgument);
    const CCalculatorApp::CommandLine commandLine = CCalculatorApp::ReadCommandLine(arguments);
    QCOMPARE(commandLine.splash, splash);
    QCOMPARE(commandLine.fileArgument ? QString::fromStdString(*commandLine.fileArgument) : QStringLiteral("(none)"),
             fileArgument);
  }

  // --help and --version are options: the launch message is still the first argument that is none.
  void help_and_version_are_options_data() {
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<bool>("fileArgument");
    QTest::newRow("--help") << Arguments{"--help"} << true << false << false;
    QTest::newRow("-h") << Arguments{"-h"} << true << false << false;
    QTest::newRow("--version") << Arguments{"--version"} << false << true << false;
    QTest::newRow("beside a message") << Arguments{"X,Korvan Falke 500,500,320,280,4", "--version"} << false << true
                                      << true;
    QTest::newRow("help as part of a message") << Arguments{"X,--help,1,2,3,4"} << false << false << true;
    QTest::newRow("neither") << Arguments{"--helpful", "-hv"} << false << false << false;
  }
  void help_and_version_are_options() {
    QFETCH(Arguments, arguments);
    QFETCH(bool, help);
    QFETCH(bool, version);
    QFETCH(bool, fileArgument);
    const CCalculatorApp::CommandLine commandLine = CCalculatorApp::ReadCommandLine(arguments);
    QCOMPARE(commandLine.help, help);
    QCOMPARE(commandLine.version, version);
    QCOMPARE(commandLine.fileArgument.has_value(), fileArgument);
  }

  // Each option --help lists is one the program reads, and its manual page documents it.
  void every_option_of_the_help_is_read_and_documented() {
    const testing::HelpText help = testing::ParseHelpText(CCalculatorApp::UsageText());
    QCOMPARE(help.options.size(), std::size_t{3});
    const testing::ManualPage page = testing::ReadManualPage(KORVAN_SOURCE_DIR "/doc/korvan-lens-calculator.1");
    QVERIFY(page.read);
    const CCalculatorApp::CommandLine none = CCalculatorApp::ReadCommandLine({});
    for (const testing::HelpOption& option : help.options) {
      for (const std::string& name : option.names) {
        QVERIFY2(page.flags.count(name) == 1, name.c_str());
        const CCalculatorApp::CommandLine read = CCalculatorApp::ReadCommandLine({name});
        QVERIFY2(read.splash != none.splash || read.help != none.help || read.version != none.version, name.c_str());
      }
    }
  }

  void launch_argument_is_parsed_and_reported_without_owner_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<bool>("valid");
    const QString format =
        QStringLiteral("Improperly formatted message from Korvan.  Unable to load current settings.");
    const QString unknown = QStringLiteral("Unrecognized camera sent from Korvan.  Unable to load current settings.");
    QTest::newRow("7 characters") << QStringLiteral("a,b,c,d") << QString() << false;
    QTest::newRow("8 characters") << QStringLiteral("a,b,c,de") << unknown << false;
    QTest::newRow("one comma") << QStringLiteral("abcdefg,") << format << false;
    QTest::newRow("no comma at all") << QStringLiteral("/home/anna/cameras/falke500.cam") << QString() << false;
    QTest::newRow("empty shutter") << QStringLiteral("X,Korvan Falke 500,500,320,280,") << format << false;
    QTest::newRow("four fields") << QStringLiteral("X,Korvan Falke 500,500,320") << format << false;
    QTest::newRow("model in other case") << QStringLiteral("X,korvan falke 500,500,320,280,4") << unknown << false;
    QTest::newRow("model with trailing blank")
        << QStringLiteral("X,Korvan Falke 500 ,500,320,280,4") << unknown << false;
    QTest::newRow("model without camera file") << QStringLiteral("X,Korvan Falke 125,abc,,") << unknown << false;
    QTest::newRow("numbers that are not numbers")
        << QStringLiteral("X,Korvan Falke 500,abc,def,ghi,jkl") << QString() << true;
    QTest::newRow("well formed") << QStringLiteral("X,Korvan Falke 500,500,320,280,4") << QString() << true;
  }
  void launch_argument_is_parsed_and_reported_without_owner() {
    QFETCH(QString, argument);
    QFETCH(QString, message);
    QFETCH(bool, valid);
    RecordingSink sink;
    CCalculatorApp app(FreshLocations(), &sink);
    app.HandleFileArgument(argument.toStdString());
    QCOMPARE(app.launchRequest.valid, valid);
    if (message.isEmpty()) {
      QVERIFY(sink.messages.empty());
    } else {
      QCOMPARE(sink.messages.size(), std::size_t{1});
      QCOMPARE(sink.messages[0].text, message);
      QCOMPARE(sink.messages[0].caption, QStringLiteral("Error"));
      QCOMPARE(sink.messages[0].owner, nullptr);
    }
    if (!valid) QVERIFY(app.launchRequest.cameraFile.empty());
  }

  void loaded_camera_becomes_the_last_and_heads_the_recent_files_at_once() {
    const SettingsStore::Locations locations = FreshLocations();
    CCalculatorApp app(locations);
    app.LoadRecentFiles();
    app.OnCameraLoaded("/cams/a.cam");
    app.OnCameraLoaded("falke500.cam");
    app.OnCameraLoaded("/cams/a.cam");
    // The host's bare name and the same file's full path take one place.
    const QString falke = QDir::current().absoluteFilePath(QStringLiteral("falke500.cam"));
    app.OnCameraLoaded(PathToBytes(falke));
    app.OnCameraLoaded("/cams/./x/../a.cam");

    // Written at once: a second reader sees it while the program still runs. The last camera
    // keeps the name as loaded; the recent files hold full paths.
    SettingsStore stored(locations);
    QCOMPARE(stored.LastCamera(), std::optional<QString>(QStringLiteral("/cams/./x/../a.cam")));
    QCOMPARE(stored.RecentFiles(), (QStringList{QStringLiteral("/cams/a.cam"), falke}));

    std::vector<std::string> names{"stale"};
    app.GetRecentFileNames(names);
    QCOMPARE(names.size(), std::size_t{10});
    QCOMPARE(names[0], std::string("/cams/a.cam"));
    QCOMPARE(names[1], PathToBytes(falke));
    for (std::size_t i = 2; i < names.size(); ++i) QVERIFY(names[i].empty());
  }

  // Another copy of the program loads a camera while this one shows its start-up picture: this
  // copy restores that camera and keeps that list, instead of writing its own older one over it.
  void settings_are_read_after_the_start_up_picture() {
    const SettingsStore::Locations locations = FreshLocations();
    QVERIFY(SettingsStore(locations).SaveRecentFiles({QStringLiteral("/cams/stale.cam")}));
    const QString camera = dir_.filePath(QStringLiteral("other-copy.cam"));
    {
      QFile file(camera);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("Other Copy\n12, 12\n250,1280,1024\n");
    }
    // What the other copy leaves behind, written beside and then put in place as its files.
    const QString staged = dir_.filePath(QStringLiteral("staged%1").arg(caseNumber_));
    const SettingsStore::Locations other{staged + QStringLiteral("/machine.ini"), staged + QStringLiteral("/user.ini")};
    {
      SettingsStore store(other);
      QVERIFY(store.SaveLastCamera(camera));
      QVERIFY(store.SaveRecentFiles({camera, QStringLiteral("/cams/elsewhere.cam")}));
    }

    RecordingSink sink;
    CCalculatorApp app(locations, &sink);
    bool replaced = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      if (!replaced && modal->inherits("korvan::CSplashDlg")) {
        QDir().mkpath(QFileInfo(locations.machineFile).path());
        for (const auto& [from, to] : {std::pair{other.machineFile, locations.machineFile},
                                       std::pair{other.userFile, locations.userFile}}) {
          QFile::remove(to);
          QFile::copy(from, to);
        }
        replaced = true;
        if (auto* button = modal->findChild<QPushButton*>()) button->click();
      } else if (modal->inherits("korvan::CCalculatorDlg")) {
        app.RequestQuit();
      }
    });
    poll.start(20);
    QCOMPARE(app.Run(CCalculatorApp::ReadCommandLine({})), 0);
    QVERIFY(replaced);
    QVERIFY(sink.messages.empty());

    SettingsStore left(locations);
    QCOMPARE(left.LastCamera(), std::optional<QString>(camera));
    QCOMPARE(left.RecentFiles(), (QStringList{camera, QStringLiteral("/cams/elsewhere.cam")}));
  }

  void termination_request_reaches_the_event_loop() {
    TerminationWatcher watcher;
    QList<int> received;
    connect(&watcher, &TerminationWatcher::terminationRequested, this, [&](int number) { received << number; });
    ::raise(SIGTERM);
    ::raise(SIGINT);
    QTRY_VERIFY(!received.isEmpty());
    QCOMPARE(received.front(), SIGTERM);
  }

  void termination_during_the_splash_ends_the_run_without_the_calculator() {
    const SettingsStore::Locations locations = FreshLocations();
    CCalculatorApp app(locations);
    bool splashWasUp = false;
    QTimer::singleShot(50, [&] {
      splashWasUp = QApplication::activeModalWidget() != nullptr;
      ::raise(SIGTERM);
    });
    QCOMPARE(app.Run(CCalculatorApp::ReadCommandLine({"X,Korvan Falke 500,500,320,280,4"})), 0);
    QVERIFY(splashWasUp);
    QVERIFY(app.QuitRequested());
    QVERIFY2(!app.launchRequest.valid, "the run stopped before the launch message");
    QVERIFY(!QFile::exists(locations.userFile));
  }

  void termination_closes_nested_boxes_and_the_calculator_and_writes_the_recent_files() {
    const SettingsStore::Locations locations = FreshLocations();
    QStringList stored;
    for (int i = 0; i < 12; ++i) stored << QStringLiteral("/cams/%1.cam").arg(i % 3);
    QVERIFY(SettingsStore(locations).SaveRecentFiles(stored));

    CCalculatorApp app(locations);
    QString calculatorClass;
    bool messagesReturned = false;
    QTimer::singleShot(50, [&] {
      QWidget* calculator = QApplication::activeModalWidget();
      calculatorClass = calculator ? QString::fromLatin1(calculator->metaObject()->className()) : QString();
      QTimer::singleShot(50, [] { ::raise(SIGTERM); });
      app.Messages().Show(calculator, QStringLiteral("Korvan Lens Calculator"), QStringLiteral("first"));
      // Once the run is ending, no further box holds it up.
      app.Messages().Show(calculator, QStringLiteral("Korvan Lens Calculator"), QStringLiteral("second"));
      messagesReturned = true;
    });
    QCOMPARE(app.Run(CCalculatorApp::ReadCommandLine({"--no-splash"})), 0);
    QCOMPARE(calculatorClass, QStringLiteral("korvan::CCalculatorDlg"));  // no start-up picture
    QVERIFY(messagesReturned);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(
        SettingsStore(locations).RecentFiles(),
        (QStringList{QStringLiteral("/cams/0.cam"), QStringLiteral("/cams/1.cam"), QStringLiteral("/cams/2.cam")}));
  }
};

}  // namespace korvan

QTEST_MAIN(korvan::CalculatorAppTest)
#include "test_calculator_app.moc"
