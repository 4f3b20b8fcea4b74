#include <map>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include "ui/WindowDriver.h"
#include "settings/SettingsStore.h"
#include "optics/ControlIds.h"
#include "optics/Display.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/widgets/CChartWidget.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/planner/CPlannerDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

const QString kFocalMessage = QStringLiteral("Focal length should be less than the object distance.");

template <class Widget = QWidget>
Widget* Find(const QWidget* window, const char* name) {
  auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
  if (!widget) qFatal("%s is missing", name);
  return widget;
}

}  // namespace

class PlannerWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CCalculatorDlg> calculator;
  RecordingSink sink;
  std::optional<SheetRequest> nextSheet;
  std::vector<planner::PlannerTexts> saved;
  std::optional<planner::PlannerTexts> stored;
  std::map<std::string, std::string> isoByCamera;

  CPlannerDlg* Planner() const { return calculator->PlannerWindow(); }
  QString PlannerText(const char* name) const { return Find<QLineEdit>(Planner(), name)->text(); }
  // The budget bars: motion, defocus, diffraction, total and linear sum, as shown beside the bars.
  QStringList Budget() const {
    QStringList texts;
    for (const ChartData::Bar& bar : Find<CChartWidget>(Planner(), "budgetChart")->Data().bars) texts << bar.text;
    return texts;
  }

  void Open() {
    CalculatorContext context = ContextFor(sink);
    context.planner.loadTexts = [this] { return stored.value_or(planner::PlannerTexts{}); };
    context.planner.saveTexts = [this](const planner::PlannerTexts& texts) { saved.push_back(texts); };
    context.planner.chooseSheet = [this](QWidget*, const QString&) { return nextSheet; };
    context.planner.loadIso = [this](const std::string& camera) { return isoByCamera[camera]; };
    context.planner.saveIso = [this](const std::string& camera, const std::string& iso) { isoByCamera[camera] = iso; };
    QVERIFY(ShowCalculator(calculator, context));
  }

  // The engine's worked example: 2 m, 0.5 m wide, f/2.8, 60 fps, shutter 3x, 1 m/s. The f-number
  // comes last: its full cycle computes the lens exactly, where the shutter's reads it back rounded.
  void EnterTheWorkedExample() {
    TypeInto(calculator.get(), ids::kObjectDistanceEdit, "2");
    TypeInto(calculator.get(), ids::kFieldWidthEdit, "0.5");
    TypeInto(calculator.get(), ids::kVelocityEdit, "1");
    QVERIFY(Choose(calculator.get(), ids::kShutterList, Entries(calculator.get(), ids::kShutterList).value(2)));
    QVERIFY(Choose(calculator.get(), ids::kFNumberList, "2.8"));
  }

  void ShowPlanner() {
    Click(calculator.get(), ids::kPlannerButton);
    QTRY_COMPARE(QApplication::activeWindow(), Planner());
  }

  // Typing reaches the calculator's cycles only while it is the active window, as on a desktop.
  void ActivateCalculator() {
    calculator->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), calculator.get());
  }

  void TypeIntoPlanner(const char* name, const QString& text) {
    auto* edit = Find<QLineEdit>(Planner(), name);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
  }

  void AddLenses(const QStringList& lenses) {
    Find<QTabWidget>(Planner(), "pages")->setCurrentWidget(Find(Planner(), "lensesPage"));
    for (const QString& lens : lenses) {
      QTest::mouseClick(Find(Planner(), "addLensButton"), Qt::LeftButton);
      QApplication::processEvents();
      auto* list = Find<QAbstractItemView>(Planner(), "kitRecords");
      // The entry's editor has the focus; the editors of earlier entries linger until deleted.
      QWidget* editor = QApplication::focusWidget();
      QVERIFY(editor && list->isAncestorOf(editor));
      QTest::keyClicks(editor, lens);
      QTest::keyClick(editor, Qt::Key_Return);
      QApplication::processEvents();  // the list commits the entry once the key is handled
    }
  }

  void DoubleClickRow(const char* table, int row) {
    auto* view = Find<QTableView>(Planner(), table);
    Find<QTabWidget>(Planner(), "pages")->setCurrentWidget(view->parentWidget());
    QApplication::processEvents();
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QVERIFY(cell.isValid());
    // A double-click is a click and then the second press.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
  }

  // The status line a cycle that no edit box started leaves behind.
  QString StatusAfterListCycle() const {
    return FromText(StatusText(BuildStatusRowByKey(), StatusAfterCycle(calculator->State(), 0, 0)));
  }

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }
  void init() {
    sink.messages.clear();
    saved.clear();
    stored.reset();
    nextSheet.reset();
    Open();
  }
  void cleanup() { calculator.reset(); }

  void follows_the_calculator_only_while_visible() {
    QVERIFY(!Planner()->isVisible());
    EnterTheWorkedExample();
    QVERIFY(Budget().join(QString()).isEmpty());  // hidden: never computed
    ShowPlanner();
    TypeIntoPlanner("depthEdit", "0.2");
    QCOMPARE(Budget(), (QStringList{"5.333", "0.2477", "0.5255", "5.365", "6.107"}));
    QCOMPARE(PlannerText("largestBox"), "Motion");
    QCOMPARE(PlannerText("shutterLimitBox"), "16x, 1042 \u00b5s");
    QCOMPARE(PlannerText("optimumBox"), "1.92");
    QCOMPARE(PlannerText("bestEntryBox"), "2.0");
    QCOMPARE(PlannerText("sharpNearBox"), "1.65");

    ActivateCalculator();
    TypeInto(calculator.get(), ids::kVelocityEdit, "2");
    QCOMPARE(Budget().first(), "10.67");
    QVERIFY(Choose(calculator.get(), ids::kUnitsList, "mm"));
    QCOMPARE(Find<QLabel>(Planner(), "depthUnit")->text(), "mm");

    // An attachment is part of the set-up the sheet records.
    Click(calculator.get(), ids::kAttachmentsButton);
    QVERIFY(!Planner()->CurrentPlan().attachmentChoices.teleExtenderOn);
    Click(calculator->AttachmentsWindow(), ids::kTeleExtenderCheck);
    QVERIFY(Planner()->CurrentPlan().attachmentChoices.teleExtenderOn);
  }

  void closing_hides_it_keeps_its_inputs_and_stops_following_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Close") << "Close";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("close box") << "close box";
  }
  void closing_hides_it_keeps_its_inputs_and_stops_following() {
    QFETCH(QString, how);
    EnterTheWorkedExample();
    ShowPlanner();
    TypeIntoPlanner("depthEdit", "0.2");
    TypeIntoPlanner("blurLimitEdit", "6");
    QCOMPARE(PlannerText("apertureBox"), "1 ... 14.64");
    if (how == "Close") {
      QTest::mouseClick(Find(Planner(), "closeButton"), Qt::LeftButton);
    } else if (how == "Escape") {
      QTest::keyClick(Find(Planner(), "blurLimitEdit"), Qt::Key_Escape);
    } else {
      Planner()->close();
    }
    QVERIFY(!Planner()->isVisible());
    QVERIFY(calculator->isVisible());
    QVERIFY(!saved.empty());
    QCOMPARE(saved.back().blurLimit, "6");

    ActivateCalculator();
    TypeInto(calculator.get(), ids::kVelocityEdit, "2");
    QCOMPARE(Budget().first(), "5.333");  // hidden: left as it was
    ShowPlanner();
    QCOMPARE(PlannerText("blurLimitEdit"), "6");
    QCOMPARE(Budget().first(), "10.67");  // refreshed on showing
  }

  void opens_from_the_context_menu() {
    const QList<QAction*> actions = calculator->actions();
    const auto item = std::find_if(actions.begin(), actions.end(),
                                   [](QAction* action) { return action->text() == QStringLiteral("Pla&nner..."); });
    QVERIFY(item != actions.end());
    (*item)->trigger();
    QVERIFY(Planner()->isVisible());
  }

  void its_choices_change_the_calculator_as_the_users_own_data() {
    QTest::addColumn<QString>("choice");
    QTest::newRow("best f-number") << "f-number";
    QTest::newRow("shutter limit") << "shutter";
    QTest::newRow("camera mode") << "mode";
  }
  void its_choices_change_the_calculator_as_the_users_own() {
    QFETCH(QString, choice);
    EnterTheWorkedExample();
    ShowPlanner();
    TypeIntoPlanner("depthEdit", "0.2");
    if (choice == "f-number") {
      QTest::mouseClick(Find(Planner(), "useFNumberButton"), Qt::LeftButton);
      QCOMPARE(Text(calculator.get(), ids::kFNumberList), "2.0");
      QCOMPARE(Text(calculator.get(), ids::kWorkingFNumberBox), "2.014");  // 2 x (1 + 0.006912)
      QCOMPARE(Budget().at(2), "0.3754");  // the planner followed: diffraction at f/2
    } else if (choice == "shutter") {
      QTest::mouseClick(Find(Planner(), "useShutterButton"), Qt::LeftButton);
      QVERIFY(Text(calculator.get(), ids::kShutterList).startsWith("16x"));
      QCOMPARE(Text(calculator.get(), ids::kPixelBlurBox), "1");
      QCOMPARE(Budget().first(), "1");
    } else {
      DoubleClickRow("modeTable", 3);  // 500 fps, 320 x 280
      QCOMPARE(Text(calculator.get(), ids::kFrameRateList), "500");
      QCOMPARE(Text(calculator.get(), ids::kResolutionList), "320 x 280");
      QCOMPARE(Text(calculator.get(), ids::kWidthPxBox), "320");
      QCOMPARE(Text(calculator.get(), ids::kResultBox), "9.174");  // 1000 x 2.304 mm x 2 m / 0.502304 m
      QCOMPARE(Planner()->CurrentPlan().modes.inForce, std::optional<std::size_t>(3));
      // Focal Length mode computes the lens: the choice says that it changed it.
      QCOMPARE(Find<QLabel>(Planner(), "statusNote")->text(),
               QStringLiteral("The mode changed the computed focal length from 13.73 mm to 9.174 mm"));
    }
    QCOMPARE(Text(calculator.get(), ids::kStatusLine), StatusAfterListCycle());
  }

  void the_light_page_recommends_a_setting_and_use_chooses_it() {
    const std::string camera = calculator->CurrentCamera().name;
    isoByCamera[camera] = "800";
    EnterTheWorkedExample();
    ShowPlanner();
    TypeIntoPlanner("depthEdit", "0.2");
    Find<QTabWidget>(Planner(), "pages")->setCurrentWidget(Find(Planner(), "lightPage"));
    QCOMPARE(PlannerText("isoEdit"), "800");  // kept for this camera
    QCOMPARE(PlannerText("lightNeededBox"), "447.1");
    TypeIntoPlanner("isoEdit", "1600");
    TypeIntoPlanner("lampLuxEdit", "5000");
    TypeIntoPlanner("lampDistanceEdit", "1.5");
    TypeIntoPlanner("mainsEdit", "50");
    QCOMPARE(isoByCamera[camera], "1600");  // the ISO box lost the focus
    QCOMPARE(PlannerText("lightNeededBox"), "223.6");
    QCOMPARE(PlannerText("headroomBox"), "3.313");
    QCOMPARE(PlannerText("farthestLampBox"), "4.729");
    QVERIFY(Find<QLabel>(Planner(), "flickerNote")->isVisibleTo(Planner()));
    QVERIFY(Find<QLabel>(Planner(), "recommendedLabel")->text().contains(QStringLiteral("20x at f/1.4")));

    QTest::mouseClick(Find(Planner(), "useRecommendedButton"), Qt::LeftButton);
    QVERIFY(Text(calculator.get(), ids::kShutterList).startsWith("20x"));
    QCOMPARE(Text(calculator.get(), ids::kFNumberList), "1.4");
    QCOMPARE(Text(calculator.get(), ids::kStatusLine), StatusAfterListCycle());
    const planner::Envelope& envelope = Planner()->CurrentPlan().envelope;
    QCOMPARE(envelope.inForce, std::optional<std::size_t>(envelope.recommended->cell));
    QCOMPARE(PlannerText("headroomBox"), "2.576");

    TypeIntoPlanner("transmissionEdit", "0");
    QCOMPARE(PlannerText("lightNeededBox"), "n/a");
    QCOMPARE(Find<QLabel>(Planner(), "lightInputNote")->text(), "Enter a transmission above 0 %");
    QCOMPARE(PlannerText("lightAvailableBox"), "2222");
    QCOMPARE(Budget().at(3), "0.977");  // the rest of the plan is untouched
  }

  void a_lens_of_the_kit_becomes_the_focal_length_as_if_typed() {
    TypeInto(calculator.get(), ids::kObjectDistanceEdit, "0.01");
    TypeInto(calculator.get(), ids::kFieldWidthEdit, "0.5");
    ShowPlanner();
    AddLenses({"8", "25"});
    QCOMPARE(Planner()->Texts().lenses, "8, 25");
    QCOMPARE(Planner()->CurrentPlan().kit.rows.size(), std::size_t(2));
    DoubleClickRow("kitTable", 1);
    // Focal Length mode computes the lens, so the mode that keeps the distance comes first.
    QCOMPARE(Text(calculator.get(), ids::kComputeModeList), "Field Width");
    QVERIFY(Control<QRadioButton>(calculator.get(), ids::kFocalLengthRadio)->isChecked());
    QCOMPARE(Text(calculator.get(), ids::kFocalLengthEdit), "25");
    QCOMPARE(calculator->State().focalLengthMm, 25.0);
    QCOMPARE(Text(calculator.get(), ids::kStatusLine), kFocalMessage);  // 25 mm beyond 10 mm
    QCOMPARE(saved.back().lenses, "8, 25");
  }

  // 0.3 m must not silently become 0.3 ft: the text is rewritten, the stored depth is in meters.
  void the_depth_follows_a_change_of_unit_and_is_kept_in_meters() {
    EnterTheWorkedExample();
    ShowPlanner();
    TypeIntoPlanner("depthEdit", "0.3");
    const double defocus = Planner()->CurrentPlan().budget.defocusNear.value;
    ActivateCalculator();
    QVERIFY(Choose(calculator.get(), ids::kUnitsList, "feet"));
    QCOMPARE(PlannerText("depthEdit"), "0.9843");
    QVERIFY(qAbs(Planner()->CurrentPlan().budget.defocusNear.value / defocus - 1) < 1e-3);
    Planner()->close();
    QVERIFY(!saved.empty());
    QVERIFY2(saved.back().depth.rfind("0.3000", 0) == 0, saved.back().depth.c_str());
  }

  // Keep Distance lets the field follow the lens; Keep Field brings back the field asked for.
  void a_kit_lens_keeps_the_distance_or_the_wanted_field() {
    EnterTheWorkedExample();
    ShowPlanner();
    AddLenses({"12.5"});
    DoubleClickRow("kitTable", 0);
    QCOMPARE(Text(calculator.get(), ids::kComputeModeList), "Field Width");
    const QString targets = Find<QLabel>(Planner(), "targetsNote")->text();
    QVERIFY2(targets.contains(QStringLiteral("wanted field 0.5 meters (now 0.5495)")), qPrintable(targets));
    QTest::mouseClick(Find(Planner(), "keepFieldButton"), Qt::LeftButton);
    QCOMPARE(Text(calculator.get(), ids::kComputeModeList), "Object Distance");
    QCOMPARE(Text(calculator.get(), ids::kResultBox), "1.821");
    QCOMPARE(calculator->State().fieldWidth, 0.5);
    QVERIFY(Find<QLabel>(Planner(), "statusNote")->text().contains(QStringLiteral("the distance is now 1.821")));
  }

  void stored_inputs_come_back_and_a_damaged_value_counts_as_missing() {
    QTemporaryDir dir;
    const SettingsStore::Locations locations{QString(), dir.filePath(QStringLiteral("user.ini"))};
    QFile file(locations.userFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Planner]\nDepth=0.3\nBlurLimit=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x18QPoint)\n"
               "Wavelength=abc\nLenses=\"12, 25\"\n");
    file.close();
    SettingsStore store(locations);
    stored = store.PlannerTexts();
    calculator.reset();
    Open();
    QCOMPARE(PlannerText("depthEdit"), "0.3");
    QCOMPARE(PlannerText("blurLimitEdit"), "1");
    QCOMPARE(PlannerText("wavelengthEdit"), "550");
    QCOMPARE(Planner()->Texts().lenses, "12, 25");
  }

  void an_export_that_cannot_be_written_names_the_file_and_leaves_nothing_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("folder is a file") << "plain-file";
    QTest::newRow("folder does not exist") << "missing/deeper";
  }
  void an_export_that_cannot_be_written_names_the_file_and_leaves_nothing() {
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain-file")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    EnterTheWorkedExample();
    ShowPlanner();
    for (SheetForm form : {SheetForm::Pdf, SheetForm::Csv}) {
      sink.messages.clear();
      const QString path = dir.filePath(folder + QStringLiteral("/sheet.pdf"));
      nextSheet = SheetRequest{path, form, QStringLiteral("note")};
      QVERIFY(!Planner()->ExportSheet());
      QCOMPARE(sink.messages.size(), std::size_t(1));
      QCOMPARE(sink.messages[0].caption, "Korvan Lens Calculator");
      QVERIFY2(sink.messages[0].text.startsWith(QStringLiteral("Cannot write ") + QDir::toNativeSeparators(path) +
                                                QStringLiteral(": ")),
               qPrintable(sink.messages[0].text));
      QVERIFY(sink.messages[0].text.size() > QStringLiteral("Cannot write : ").size() + path.size());
      QVERIFY(!QFile::exists(path));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"plain-file"});
  }

  void the_sheet_holds_the_camera_the_total_blur_and_the_note_data() {
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("name");
    QTest::newRow("PDF") << int(SheetForm::Pdf) << "sheet.pdf";
    QTest::newRow("CSV") << int(SheetForm::Csv) << "sheet.csv";
    QTest::newRow("JSON") << int(SheetForm::Json) << "sheet.json";
  }
  void the_sheet_holds_the_camera_the_total_blur_and_the_note() {
    QFETCH(int, form);
    QFETCH(QString, name);
    QTemporaryDir dir;
    EnterTheWorkedExample();
    ShowPlanner();
    TypeIntoPlanner("depthEdit", "0.2");
    const QString path = dir.filePath(name);
    nextSheet = SheetRequest{path, SheetForm(form), QStringLiteral("Rig B, take 7")};
    QVERIFY(Planner()->ExportSheet());
    QVERIFY(sink.messages.empty());
    QCOMPARE(Find<QLabel>(Planner(), "statusNote")->text(), QStringLiteral("Sheet saved: ") + QDir::toNativeSeparators(path));
    QString text;
    if (SheetForm(form) == SheetForm::Pdf) {
      const QString reader = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
      QVERIFY2(!reader.isEmpty(), "pdftotext (poppler-utils, scripts/install-deps) is needed");
      QProcess process;
      process.start(reader, {QStringLiteral("-layout"), path, QStringLiteral("-")});
      QVERIFY(process.waitForFinished(30000));
      QCOMPARE(process.exitCode(), 0);
      text = QString::fromUtf8(process.readAllStandardOutput());
      QVERIFY2(!text.contains(QLatin1Char('\f')) || text.count(QLatin1Char('\f')) == 1, "one page");
    } else {
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadOnly));
      text = QString::fromUtf8(file.readAll());
    }
    for (const QString& expected : {QStringLiteral("No Camera Selected"), QStringLiteral("5.365"),
                                    QStringLiteral("Rig B, take 7")}) {
      QVERIFY2(text.contains(expected), qPrintable(expected + " missing from " + name));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{name});
  }

  void the_chosen_filter_decides_the_form_and_its_suffix_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("written");
    QTest::newRow("no suffix") << "/a/plan" << int(SheetForm::Pdf) << "/a/plan.pdf" << int(SheetForm::Pdf);
    QTest::newRow("its suffix, any case") << "/a/plan.CSV" << int(SheetForm::Csv) << "/a/plan.CSV" << int(SheetForm::Csv);
    // A known suffix typed wins over the filter: sheet2.csv under the PDF filter is a CSV sheet.
    QTest::newRow("another form's suffix") << "/a/sheet2.csv" << int(SheetForm::Pdf) << "/a/sheet2.csv"
                                           << int(SheetForm::Csv);
    QTest::newRow("dots in folders") << "/a.pdf/plan" << int(SheetForm::Pdf) << "/a.pdf/plan.pdf" << int(SheetForm::Pdf);
    QTest::newRow("unknown suffix") << "/a/plan.txt" << int(SheetForm::Json) << "/a/plan.txt.json"
                                    << int(SheetForm::Json);
  }
  void the_chosen_filter_decides_the_form_and_its_suffix() {
    QFETCH(QString, chosen);
    QFETCH(int, form);
    QFETCH(QString, path);
    QFETCH(int, written);
    SheetForm chosenForm = SheetForm(form);
    QCOMPARE(SheetPath(chosen, chosenForm), path);
    QCOMPARE(int(chosenForm), written);
  }

  void charts_describe_what_they_cannot_draw_and_survive_infinities() {
    ChartData data;
    data.title = QStringLiteral("Near and Far Focus");
    data.xAxis = QStringLiteral("f-number");
    data.yAxis = QStringLiteral("distance (meters)");
    data.series = {{QStringLiteral("Far Focus"), {{1, 2.5}, {8, INFINITY}, {11, NAN}}, false}};
    data.emptyText = QStringLiteral("Enter a focal length first");
    const QString description = CChartWidget::Describe(data);
    QVERIFY2(description.contains(QStringLiteral("Far Focus: 1 2.5, 8 Infinity, 11 NaN")), qPrintable(description));
    CChartWidget chart;
    chart.resize(chart.sizeHint());
    chart.SetData(data);
    QVERIFY(!chart.grab().isNull());
    data.series.clear();
    QVERIFY(CChartWidget::Describe(data).endsWith(data.emptyText));
  }

  void every_control_is_named_and_reachable_by_tab() {
    EnterTheWorkedExample();
    ShowPlanner();
    auto* pages = Find<QTabWidget>(Planner(), "pages");
    for (int page = 0; page < pages->count(); ++page) {
      pages->setCurrentIndex(page);
      QApplication::processEvents();
      QSet<QWidget*> reached;
      QWidget* start = Find(Planner(), "closeButton");
      start->setFocus(Qt::TabFocusReason);
      for (int step = 0; step < 100; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
      }
      for (QWidget* widget : Planner()->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(Planner()) || !(widget->focusPolicy() & Qt::TabFocus)) continue;
        if (widget->parentWidget() && qobject_cast<QAbstractItemView*>(widget->parentWidget()->parentWidget())) continue;
        // The tab bar takes the focus for its tab widget, and its tabs carry the names.
        if (qobject_cast<QTabBar*>(widget) || qobject_cast<QTabWidget*>(widget)) continue;
        const bool labelled = !widget->accessibleName().isEmpty() || qobject_cast<QPushButton*>(widget);
        QVERIFY2(labelled, qPrintable(widget->objectName() + " has no accessible name"));
        QVERIFY2(reached.contains(widget), qPrintable(widget->objectName() + " is not reached by Tab"));
      }
    }
    const QString description = Find<CChartWidget>(Planner(), "blurChart")->accessibleDescription();
    QVERIFY2(description.contains(QStringLiteral("Total: 1 ")), qPrintable(description.left(200)));
    QVERIFY(Find<CChartWidget>(Planner(), "budgetChart")->accessibleDescription().contains(QStringLiteral("5.333")));
  }
};

QTEST_MAIN(PlannerWindowTest)
#include "test_planner_window.moc"
