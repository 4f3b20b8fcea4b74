// Setups in the calculator window: saved and opened again to the same texts everywhere, the same
// texts as `korvan-lens calc --setup`, and refused setups that change nothing.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/CommandLine.h"
#include "optics/ControlIds.h"
#include "optics/Attachments.h"
#include "ui/WindowDriver.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/planner/CPlannerDlg.h"
#include "ui/widgets/TableCopy.h"
#include <QClipboard>
#include <QTabWidget>
#include <QTableView>

using namespace korvan;
using namespace korvan::testing;

namespace {

// Every box and list of the calculator and of the windows it owns, by name.
QMap<QString, QString> AllTexts(const CCalculatorDlg& window) {
  QMap<QString, QString> texts;
  for (const QWidget* root : {static_cast<const QWidget*>(&window), static_cast<const QWidget*>(window.AttachmentsWindow()),
                              static_cast<const QWidget*>(window.PlannerWindow())}) {
    for (const QLineEdit* edit : root->findChildren<QLineEdit*>()) {
      if (!edit->objectName().isEmpty()) texts[root->objectName() + "/" + edit->objectName()] = edit->text();
    }
    for (const QComboBox* list : root->findChildren<QComboBox*>()) {
      if (!list->objectName().isEmpty()) texts[root->objectName() + "/" + list->objectName()] = list->currentText();
    }
  }
  return texts;
}

nlohmann::json CalcBoxes(const std::string& setup) {
  const char* argv[] = {"korvan-lens", "calc", "--setup", setup.c_str(), "--json"};
  std::ostringstream out;
  std::ostringstream err;
  if (cli::Run(5, argv, out, err) != 0) return {};
  return nlohmann::json::parse(out.str())["boxes"];
}

const char kBenchCamera[] = "Bench\n12,12\n250,1280,1024\n500,1280,1024\n500,640,512\n1000,640,512\n";

}  // namespace

class CalculatorSetupsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }

  void SavedSetupReopensToTheSameTextsAsTheCommand() {
    QTemporaryDir dir;
    const std::string camera = dir.filePath("bench.cam").toStdString();
    std::ofstream(camera) << kBenchCamera;
    const std::string path = dir.filePath("s.klsetup").toStdString();

    RecordingSink sink;
    CCalculatorDlg first(ContextFor(sink));
    first.show();
    QVERIFY(QTest::qWaitForWindowActive(&first));
    first.AddCameraToList("Bench", camera);
    QVERIFY(first.ChooseListEntry(ids::kCameraList, "Bench"));
    QVERIFY(first.ChooseListEntry(ids::kFrameRateList, "500"));
    QVERIFY(first.ChooseListEntry(ids::kResolutionList, "640 x 512"));
    QVERIFY(first.ChooseShutter(3));
    QVERIFY(Choose(&first, ids::kUnitsList, "mm"));
    QVERIFY(Choose(&first, ids::kFNumberList, "2.8"));
    TypeInto(&first, ids::kObjectDistanceEdit, "2000");
    TypeInto(&first, ids::kFieldWidthEdit, "500");
    TypeInto(&first, ids::kVelocityEdit, "1000");
    AttachmentChoices choices;
    choices.teleExtenderOn = true;
    choices.teleExtenderIndex = 1;
    first.AttachmentsWindow()->ChooseAttachments(choices);
    planner::PlannerTexts plannerTexts;
    plannerTexts.depth = "100";
    plannerTexts.lenses = "8, 12.5";
    first.PlannerWindow()->EnterTexts(plannerTexts);
    QVERIFY(first.SaveSetup(path));

    CCalculatorDlg second(ContextFor(sink));
    second.show();
    QVERIFY(QTest::qWaitForWindowActive(&second));
    QVERIFY(second.OpenSetup(path));
    const QMap<QString, QString> reopened = AllTexts(second);
    const QMap<QString, QString> saved = AllTexts(first);
    QCOMPARE(reopened.keys(), saved.keys());
    for (const QString& key : saved.keys()) QCOMPARE(key + " " + reopened[key], key + " " + saved[key]);
    QVERIFY(sink.messages.empty());

    const nlohmann::json boxes = CalcBoxes(path);
    QVERIFY(!boxes.is_null());
    const std::pair<const char*, int> compared[] = {
        {"focalLength", ids::kFocalLengthEdit}, {"objectDistance", ids::kObjectDistanceEdit},
        {"fieldWidth", ids::kFieldWidthEdit},   {"result", ids::kResultBox},
        {"depthOfField", ids::kDepthOfFieldBox}, {"pixelBlur", ids::kPixelBlurBox},
        {"motionBlur", ids::kMotionBlurBox},     {"format", ids::kFormatBox}};
    for (const auto& [key, id] : compared) {
      QCOMPARE(Text(&second, id), QString::fromStdString(boxes[key].get<std::string>()));
    }
  }

  void RefusedSetupChangesNothing() {
    QTemporaryDir dir;
    RecordingSink sink;
    CCalculatorDlg window(ContextFor(sink));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    TypeInto(&window, ids::kObjectDistanceEdit, "3");
    const QMap<QString, QString> before = AllTexts(window);
    const std::string bad = dir.filePath("bad.klsetup").toStdString();
    for (const char* text : {"{\"setupVersion\": 1, \"options\": {\"frame-rate\": \"7\"}}", "{\"setupVersion\": 1,"}) {
      std::ofstream(bad) << text;
      QVERIFY(!window.OpenSetup(bad));
      QCOMPARE(AllTexts(window), before);
    }
    QCOMPARE(sink.messages.size(), std::size_t{2});
  }

  void MissingCameraFileOpensTheSetupsOwnCopy() {
    QTemporaryDir dir;
    const std::string camera = dir.filePath("bench.cam").toStdString();
    std::ofstream(camera) << kBenchCamera;
    const std::string path = dir.filePath("s.klsetup").toStdString();
    RecordingSink sink;
    CCalculatorDlg window(ContextFor(sink));
    window.AddCameraToList("Bench", camera);
    QVERIFY(window.ChooseListEntry(ids::kCameraList, "Bench"));
    QVERIFY(window.SaveSetup(path));
    QFile::remove(QString::fromStdString(camera));

    CCalculatorDlg reopened(ContextFor(sink));
    QVERIFY(reopened.OpenSetup(path));
    QCOMPARE(reopened.CurrentCamera().name, std::string("Bench"));
    QVERIFY(Text(&reopened, ids::kStatusLine).contains("not found"));
  }

  // Ctrl+C in a planner table: the header, then the selected rows, tab-separated.
  void PlannerTableCopiesItsSelectionWithItsHeader() {
    RecordingSink sink;
    CCalculatorDlg window(ContextFor(sink));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    Click(&window, ids::kPlannerButton);
    QVERIFY(QTest::qWaitForWindowExposed(window.PlannerWindow()));
    auto* table = window.PlannerWindow()->findChild<QTableView*>("modeTable");
    QVERIFY(table && table->model()->rowCount() > 0);
    QApplication::clipboard()->clear();
    for (QWidget* page = table; page; page = page->parentWidget()) {
      if (auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget() ? page->parentWidget()->parentWidget() : nullptr)) {
        tabs->setCurrentWidget(page);
      }
    }
    window.PlannerWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.PlannerWindow()));
    table->setFocus();
    table->clearSelection();
    table->selectRow(0);
    QTest::keySequence(table, QKeySequence::Copy);
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].split('\t').size(), table->model()->columnCount());
    QCOMPARE(lines[0].split('\t').front(), table->model()->headerData(0, Qt::Horizontal).toString().replace('\n', ' '));
    QCOMPARE(lines[1].split('\t').front(), table->model()->index(0, 0).data().toString());
  }
};

QTEST_MAIN(CalculatorSetupsTest)
#include "test_calculator_setups.moc"
