// What a screen reader is told about both windows, read through Qt's accessibility interface as
// an assistive technology reads it.
#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QCheckBox>
#include <QPushButton>
#include <QtTest/QtTest>

#include "ui/WindowDriver.h"
#include "ui/about/CAboutDlg.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

QAccessibleInterface* Reader(QWidget* widget) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  if (!iface) qFatal("%s has no accessible interface", qPrintable(widget->objectName()));
  return iface;
}

// The boxes that always show results.
constexpr int kResultBoxes[] = {ids::kResultBox,      ids::kSensorWidthBox, ids::kSensorHeightBox, ids::kWidthPxBox,
                                ids::kHeightPxBox,     ids::kWorkingFNumberBox, ids::kDepthOfFieldBox,
                                ids::kNearFocusBox,    ids::kFarFocusBox,   ids::kHyperFocusBox,   ids::kFieldAngleBox,
                                ids::kFormatBox,       ids::kMotionBlurBox, ids::kPixelBlurBox,    ids::kStatusLine};

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CCalculatorDlg> calculator;
  RecordingSink sink;

  QWidget* Window(const QString& which) const {
    return which == "attachments" ? static_cast<QWidget*>(calculator->AttachmentsWindow()) : calculator.get();
  }
  QAccessibleInterface* Reader(int id, const QString& window = "calculator") const {
    return ::Reader(Control(Window(window), id));
  }

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }

  void init() {
    QVERIFY(ShowCalculator(calculator, ContextFor(sink)));
  }

  void cleanup() { calculator.reset(); }

  void lists_are_named_by_their_labels_and_valued_by_their_entry_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("labelledBy");  // a check box, or 0 for the label leading to the list
    QTest::newRow("compute") << "calculator" << ids::kComputeModeList << "Compute" << 0;
    QTest::newRow("camera") << "calculator" << ids::kCameraList << "Camera" << 0;
    QTest::newRow("frame rate") << "calculator" << ids::kFrameRateList << "Frame Rate" << 0;
    QTest::newRow("shutter") << "calculator" << ids::kShutterList << "Shutter" << 0;
    QTest::newRow("resolution") << "calculator" << ids::kResolutionList << "Resolution" << 0;
    QTest::newRow("f-number") << "calculator" << ids::kFNumberList << "Lens f/#" << 0;
    QTest::newRow("units") << "calculator" << ids::kUnitsList << "Units" << 0;
    QTest::newRow("direction") << "calculator" << ids::kDirectionList << "Direction" << 0;
    QTest::newRow("tele-extender") << "attachments" << ids::kTeleExtenderList << "Tele-extender"
                                   << ids::kTeleExtenderCheck;
    QTest::newRow("close-up lens") << "attachments" << ids::kCloseUpList << "Close-up Lens" << ids::kCloseUpCheck;
    QTest::newRow("extension tubes") << "attachments" << ids::kTubesList << "Extension Tubes" << ids::kTubesCheck;
  }
  void lists_are_named_by_their_labels_and_valued_by_their_entry() {
    QFETCH(QString, window);
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(int, labelledBy);
    QAccessibleInterface* list = Reader(id, window);
    QCOMPARE(list->role(), QAccessible::ComboBox);
    QCOMPARE(list->text(QAccessible::Name), name);
    QCOMPARE(list->text(QAccessible::Value), Text(Window(window), id));
    // The text interface, which AT-SPI readers ask a list for, reads the current entry too.
    QAccessibleTextInterface* text = list->textInterface();
    QVERIFY(text != nullptr);
    QCOMPARE(text->text(0, text->characterCount()), Text(Window(window), id));
    QVERIFY(text->characterCount() > 0);

    QObject* label = nullptr;
    for (const auto& [other, relation] : list->relations(QAccessible::Label)) {
      if (relation & QAccessible::Label) label = other->object();
    }
    QVERIFY2(label, "no label relation");
    if (labelledBy != 0) QCOMPARE(label, Control(Window(window), labelledBy));
    // The entries stay reachable as the list's child.
    QCOMPARE(list->childCount(), 1);
    QCOMPARE(list->child(0)->object(), Control<QComboBox>(Window(window), id)->view());
  }

  void the_shown_name_and_description_are_announced_and_kept_current() {
    QCOMPARE(Reader(ids::kResultName)->text(QAccessible::Name), QStringLiteral("Focal Length"));
    QVERIFY(Choose(calculator.get(), ids::kComputeModeList, "Field Width"));
    QCOMPARE(Reader(ids::kResultName)->text(QAccessible::Name), QStringLiteral("Field Width"));
    const QString description = Text(calculator.get(), ids::kDescriptionBox);
    QVERIFY(description.startsWith(QLatin1String("Select this if")));
    QCOMPARE(Reader(ids::kDescriptionBox)->text(QAccessible::Name), description);
  }

  void result_boxes_are_read_only_not_editable_and_reached_with_tab() {
    QSet<QWidget*> reached;
    QWidget* start = QApplication::focusWidget();
    QVERIFY(start);
    for (int step = 0; step < 200; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      if (QApplication::focusWidget() == start) break;
      reached.insert(QApplication::focusWidget());
    }
    for (int id : kResultBoxes) {
      QAccessibleInterface* box = Reader(id);
      const QString which = ControlName(id);
      QVERIFY2(box->state().readOnly, qPrintable(which));
      QVERIFY2(!box->state().editable, qPrintable(which));
      QVERIFY2(!box->editableTextInterface(), qPrintable(which));
      QVERIFY2(box->textInterface(), qPrintable(which));
      QCOMPARE(box->textInterface()->text(0, box->textInterface()->characterCount()), Text(calculator.get(), id));
      QVERIFY2(reached.contains(Control(calculator.get(), id)), qPrintable(which + " is not reached with Tab"));
    }
  }

  void a_box_is_editable_exactly_while_it_is_an_input() {
    // Compute Focal Length: the focal length box shows a result, the distance is an input.
    QVERIFY(Reader(ids::kFocalLengthEdit)->state().readOnly);
    QVERIFY(!Reader(ids::kFocalLengthEdit)->state().editable);
    QVERIFY(Reader(ids::kObjectDistanceEdit)->state().editable);
    QVERIFY(!Reader(ids::kObjectDistanceEdit)->state().readOnly);
    QVERIFY(Choose(calculator.get(), ids::kComputeModeList, "Object Distance"));
    QVERIFY(Reader(ids::kFocalLengthEdit)->state().editable);
    QVERIFY(Reader(ids::kObjectDistanceEdit)->state().readOnly);
    QVERIFY(!Reader(ids::kObjectDistanceEdit)->editableTextInterface());
  }

  void a_screen_reader_edit_runs_the_cycle_as_typing_does() {
    for (const auto& [id, text] : {std::pair{ids::kObjectDistanceEdit, "2"}, std::pair{ids::kFieldWidthEdit, "0.5"}}) {
      Control(calculator.get(), id)->setFocus(Qt::TabFocusReason);
      QAccessibleEditableTextInterface* edit = Reader(id)->editableTextInterface();
      QVERIFY(edit);
      edit->replaceText(0, Reader(id)->textInterface()->characterCount(), QString::fromLatin1(text));
    }
    QCOMPARE(Text(calculator.get(), ids::kResultBox), QStringLiteral("13.73"));
  }

  void unit_labels_complete_the_descriptions_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("unit");  // "(length)" for the length unit of the Units list
    QTest::newRow("object distance") << "calculator" << ids::kObjectDistanceEdit << "(length)";
    QTest::newRow("velocity") << "calculator" << ids::kVelocityEdit << "(speed)";
    QTest::newRow("focal length") << "calculator" << ids::kFocalLengthEdit << "mm";
    QTest::newRow("computed value") << "calculator" << ids::kResultBox << "mm";
    QTest::newRow("far focus") << "calculator" << ids::kFarFocusBox << "(length)";
    QTest::newRow("image width") << "calculator" << ids::kWidthPxBox << "pixels";
    QTest::newRow("field angle") << "calculator" << ids::kFieldAngleBox << "deg";
    QTest::newRow("adjusted field width") << "attachments" << ids::kAdjFieldWidthBox << "(length)";
    QTest::newRow("adjusted magnification") << "attachments" << ids::kAdjMagnificationBox << "x";
  }
  void unit_labels_complete_the_descriptions() {
    QFETCH(QString, window);
    QFETCH(int, id);
    QFETCH(QString, unit);
    Click(calculator.get(), ids::kAttachmentsButton);
    TypeInto(calculator.get(), ids::kObjectDistanceEdit, "2");
    for (const auto& [entry, length, speed] : {std::tuple{"meters", "meters", "m/sec"}, std::tuple{"feet", "feet", "ft/sec"}}) {
      QVERIFY(Choose(calculator.get(), ids::kUnitsList, entry));
      const QString expected = unit == "(length)" ? length : unit == "(speed)" ? speed : unit;
      QCOMPARE(Reader(id, window)->text(QAccessible::Description), expected);
    }
  }

  void object_distance_reads_as_name_value_and_unit() {
    TypeInto(calculator.get(), ids::kObjectDistanceEdit, "2");
    QAccessibleInterface* box = Reader(ids::kObjectDistanceEdit);
    QCOMPARE(QStringList({box->text(QAccessible::Name), box->text(QAccessible::Value), box->text(QAccessible::Description)})
                 .join(QStringLiteral(", ")),
             QStringLiteral("Object Distance, 2, meters"));
  }

  void the_default_buttons_report_themselves_as_default() {
    Click(calculator.get(), ids::kAttachmentsButton);
    QVERIFY(QTest::qWaitForWindowExposed(calculator->AttachmentsWindow()));
    QAccessibleInterface* dismiss = Reader(ids::kDismissButton, "attachments");
    QVERIFY(dismiss->state().defaultButton);
    QVERIFY(!Reader(ids::kResetButton)->state().defaultButton);

    CAboutDlg about(calculator.get());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    int defaults = 0;
    for (QPushButton* button : about.findChildren<QPushButton*>()) {
      if (::Reader(button)->state().defaultButton) {
        ++defaults;
        QCOMPARE(button->text().remove(QLatin1Char('&')), QStringLiteral("Dismiss"));
      }
    }
    QCOMPARE(defaults, 1);
  }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
