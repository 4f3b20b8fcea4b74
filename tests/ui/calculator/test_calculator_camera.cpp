#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <fstream>

#include "ui/WindowDriver.h"
#include "common/TestFiles.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CCalculatorDlg.h"

using namespace korvan;
using namespace korvan::testing;

class CalculatorCameraTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir directory;
  std::unique_ptr<CCalculatorDlg> window;
  RecordingSink sink;
  std::vector<std::string> loaded;

  QString T(int id) const { return Text(window.get(), id); }

  std::string WriteFile(const QString& name, std::string_view content) {
    const std::string path = PathToBytes(directory.filePath(name));
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  void LoadBenchCamera() {
    window->AddCameraToList("Bench Camera 1", WriteFile("bench.cam", kBenchCamera));
    QVERIFY(Choose(window.get(), ids::kCameraList, "Bench Camera 1"));
  }

 private slots:
  void initTestCase() {
    QuietenPlatformWarnings();
    QVERIFY(directory.isValid());
  }

  void init() {
    sink.messages.clear();
    loaded.clear();
    CalculatorContext context = ContextFor(sink);
    context.cameraLoaded = [this](const std::string& path) { loaded.push_back(path); };
    QVERIFY(ShowCalculator(window, context));
  }
  void cleanup() { window.reset(); }

  void a_loaded_camera_offers_its_modes_and_keeps_image_size_and_shutter_multiple() {
    TypeInto(window.get(), ids::kObjectDistanceEdit, "2");
    TypeInto(window.get(), ids::kFieldWidthEdit, "0.5");
    LoadBenchCamera();
    QVERIFY(sink.messages.empty());
    QCOMPARE(loaded, std::vector<std::string>{window->CameraFilePaths().at(1)});
    QCOMPARE(Entries(window.get(), ids::kFrameRateList), (QStringList{"250", "500", "1000"}));
    QCOMPARE(T(ids::kFrameRateList), "250");
    QCOMPARE(Entries(window.get(), ids::kResolutionList), QStringList{"1280 x 1024"});
    QCOMPARE(T(ids::kWidthPxBox), "1280");
    QCOMPARE(T(ids::kHeightPxBox), "1024");
    QCOMPARE(T(ids::kSensorWidthBox), "15.36");
    QCOMPARE(T(ids::kSensorHeightBox), "12.29");
    QCOMPARE(T(ids::kResultBox), "59.61");  // 1000 x 0.01536 x 2 / 0.51536

    QVERIFY(Choose(window.get(), ids::kShutterList, "5x -- 800.00 usec"));
    QVERIFY(Choose(window.get(), ids::kFrameRateList, "500"));
    QCOMPARE(Entries(window.get(), ids::kResolutionList), (QStringList{"1280 x 1024", "640 x 512"}));
    QCOMPARE(T(ids::kResolutionList), "1280 x 1024");
    QCOMPARE(T(ids::kShutterList), "5x -- 400.00 usec");

    QVERIFY(Choose(window.get(), ids::kResolutionList, "640 x 512"));
    QCOMPARE(T(ids::kWidthPxBox), "640");
    QCOMPARE(T(ids::kSensorWidthBox), "7.68");
    QCOMPARE(T(ids::kSensorHeightBox), "6.14");
    QCOMPARE(T(ids::kResultBox), "30.26");  // 1000 x 0.00768 x 2 / 0.50768
    QCOMPARE(T(ids::kShutterList), "5x -- 400.00 usec");

    QVERIFY(Choose(window.get(), ids::kFrameRateList, "1000"));
    QCOMPARE(T(ids::kResolutionList), "640 x 512");
    QCOMPARE(T(ids::kShutterList), "5x -- 200.00 usec");

    QVERIFY(Choose(window.get(), ids::kFrameRateList, "250"));
    QCOMPARE(T(ids::kResolutionList), "1280 x 1024");  // the only size at 250
    QCOMPARE(T(ids::kResultBox), "59.61");
  }

  void choosing_the_camera_in_force_again_reads_nothing() {
    LoadBenchCamera();
    QVERIFY(QFile::remove(directory.filePath("bench.cam")));
    QVERIFY(Choose(window.get(), ids::kFrameRateList, "500"));
    QVERIFY(Choose(window.get(), ids::kCameraList, "Bench Camera 1"));
    QVERIFY(sink.messages.empty());
    QCOMPARE(loaded.size(), std::size_t{1});
    QCOMPARE(T(ids::kFrameRateList), "500");  // not applied afresh
  }

  void choosing_no_camera_selected_applies_the_generic_camera_again() {
    LoadBenchCamera();
    QVERIFY(Choose(window.get(), ids::kCameraList, "No Camera Selected"));
    QCOMPARE(Entries(window.get(), ids::kFrameRateList).size(), 8);
    QCOMPARE(T(ids::kFrameRateList), "60");
    QCOMPARE(T(ids::kResolutionList), "480 x 420");
    QCOMPARE(T(ids::kSensorWidthBox), "3.46");
    QCOMPARE(loaded.size(), std::size_t{1});
    QCOMPARE(window->CurrentCamera().name, std::string("No Camera Selected"));
  }

  void a_camera_file_that_cannot_be_used_is_reported_data() {
    QTest::addColumn<QByteArray>("content");  // empty: no file at all
    QTest::addColumn<QString>("message");     // "%1" stands for the path
    QTest::addColumn<QString>("inForce");
    QTest::addColumn<QString>("listed");
    QTest::newRow("missing") << QByteArray() << "Error accessing camera file %1" << "Bench Camera 1" << "Broken";
    QTest::newRow("only comments") << QByteArray("# nothing here\n\n   \n") << "Empty file, %1" << "Bench Camera 1"
                                   << "Broken";
    QTest::newRow("only a name") << QByteArray("Broken\n") << "Error reading from file, %1" << "Bench Camera 1"
                                 << "Broken";
    QTest::newRow("pixel size without comma") << QByteArray("Broken\n7.4;7.4\n500,640,512\n")
                                              << "Badly formatted file, 7.4;7.4" << "Bench Camera 1" << "Broken";
    QTest::newRow("mode line with one comma")
        << QByteArray("Broken\n7.4,7.4\n250,640,512\n500,640\n")
        << "Badly formatted camera file.\nUsing generic camera data." << "No Camera Selected" << "No Camera Selected";
  }
  void a_camera_file_that_cannot_be_used_is_reported() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(QString, inForce);
    QFETCH(QString, listed);
    LoadBenchCamera();
    const std::string path = content.isEmpty() ? PathToBytes(directory.filePath("absent.cam"))
                                               : WriteFile("broken.cam", content.toStdString());
    window->AddCameraToList("Broken", path);
    QVERIFY(Choose(window.get(), ids::kCameraList, "Broken"));

    QCOMPARE(sink.messages.size(), std::size_t{1});
    QCOMPARE(sink.messages[0].text, message.contains("%1") ? message.arg(PathFromBytes(path)) : message);
    QCOMPARE(sink.messages[0].caption, "Korvan Lens Calculator");
    QCOMPARE(sink.messages[0].owner, window.get());
    QCOMPARE(QString::fromStdString(window->CurrentCamera().name), inForce);
    QCOMPARE(T(ids::kCameraList), listed);
    QCOMPARE(T(ids::kFrameRateList), inForce == "Bench Camera 1" ? "250" : "60");
    QCOMPARE(loaded.size(), std::size_t{1});  // only the bench camera counts as loaded
  }

  void cameras_are_listed_once_whatever_the_letter_case() {
    const std::string path = WriteFile("bench.cam", kBenchCamera);
    window->AddCameraToList("Bench Camera 1", path);
    window->AddCameraToList("BENCH camera 1", WriteFile("other.cam", kBenchCamera));
    window->AddCameraToList("no camera selected", path);
    QCOMPARE(Entries(window.get(), ids::kCameraList), (QStringList{"No Camera Selected", "Bench Camera 1"}));
    QCOMPARE(window->CameraFilePaths(), (std::vector<std::string>{"generic.cam", path}));
    QCOMPARE(T(ids::kCameraList), "No Camera Selected");  // adding never moves the selection
  }

  void camera_names_in_latin1_are_shown_and_compared_by_their_bytes() {
    const std::string name = "Kamera M\xfcller";  // not UTF-8
    const std::string path = WriteFile("latin.cam", name + "\n10,10\n100,200,100\n");
    window->AddCameraToList(name, path);
    QVERIFY(Choose(window.get(), ids::kCameraList, QString::fromUtf8("Kamera Müller")));
    QCOMPARE(window->CurrentCamera().name, name);
    QVERIFY(Choose(window.get(), ids::kFrameRateList, "100"));
    QVERIFY(Choose(window.get(), ids::kCameraList, QString::fromUtf8("Kamera Müller")));
    QCOMPARE(loaded.size(), std::size_t{1});  // recognised as the camera in force
    QVERIFY(sink.messages.empty());
  }
};

QTEST_MAIN(CalculatorCameraTest)
#include "test_calculator_camera.moc"
