#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTest>
#include <QIcon>
#include <QRandomGenerator>
#include <QtTest/QtTest>

#include "ui/WindowDriver.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

const QString kAboutMessage = QStringLiteral("To learn more about Korvan products and software, click on About.");
const QString kDistanceMessage = QStringLiteral("Object distance should be greater than the focal length.");
const QString kFocalMessage = QStringLiteral("Focal length should be less than the object distance.");

constexpr int kSwitchableEdits[] = {ids::kFocalLengthEdit, ids::kMagnificationEdit, ids::kObjectDistanceEdit,
                                    ids::kFieldWidthEdit};

}  // namespace

class CalculatorWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CCalculatorDlg> window;
  RecordingSink sink;

  QString T(int id) const { return Text(window.get(), id); }
  bool ReadOnly(int id) const { return Control<QLineEdit>(window.get(), id)->isReadOnly(); }
  QRadioButton* Radio(int id) const { return Control<QRadioButton>(window.get(), id); }

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }

  void init() {
    sink.messages.clear();
    QVERIFY(ShowCalculator(window, ContextFor(sink)));
  }
  void cleanup() { window.reset(); }

  void starts_with_the_generic_camera_and_zeros_everywhere() {
    QCOMPARE(Entries(window.get(), ids::kCameraList), QStringList{"No Camera Selected"});
    QCOMPARE(T(ids::kCameraList), "No Camera Selected");
    QCOMPARE(Entries(window.get(), ids::kFrameRateList),
             (QStringList{"60", "125", "250", "500", "1000", "2000", "4000", "8000"}));
    QCOMPARE(T(ids::kFrameRateList), "60");
    QCOMPARE(T(ids::kShutterList), "1x -- 16666.67 usec");
    QCOMPARE(Entries(window.get(), ids::kShutterList).size(), 20);
    QCOMPARE(Entries(window.get(), ids::kResolutionList), QStringList{"480 x 420"});
    QCOMPARE(T(ids::kComputeModeList), "Focal Length");
    QCOMPARE(T(ids::kUnitsList), "meters");
    QCOMPARE(T(ids::kFNumberList), "1.0");
    QCOMPARE(T(ids::kDirectionList), "horizontal");
    for (int id : {ids::kFocalLengthEdit, ids::kMagnificationEdit, ids::kObjectDistanceEdit, ids::kFieldWidthEdit,
                   ids::kVelocityEdit, ids::kResultBox, ids::kWorkingFNumberBox, ids::kDepthOfFieldBox,
                   ids::kNearFocusBox, ids::kFarFocusBox, ids::kHyperFocusBox, ids::kFieldAngleBox,
                   ids::kMotionBlurBox, ids::kPixelBlurBox}) {
      QVERIFY2(T(id) == "0", qPrintable(ControlName(id) + " shows " + T(id)));
    }
    QCOMPARE(T(ids::kFormatBox), "1/3\" C");
    QCOMPARE(T(ids::kWidthPxBox), "480");
    QCOMPARE(T(ids::kHeightPxBox), "420");
    QCOMPARE(T(ids::kSensorWidthBox), "3.46");
    QCOMPARE(T(ids::kSensorHeightBox), "3.02");
    QCOMPARE(T(ids::kStatusLine), kAboutMessage);
    QCOMPARE(T(ids::kResultName), "Focal Length");
    QCOMPARE(T(ids::kResultUnit), "mm");
    QCOMPARE(T(ids::kObjectDistanceUnit), "meters");
    QCOMPARE(T(ids::kVelocityUnit), "m/sec");
    QCOMPARE(QApplication::focusWidget(), Control(window.get(), ids::kComputeModeList));
    QVERIFY(!window->AttachmentsWindow()->isVisible());
    QVERIFY(sink.messages.empty());
  }

  void typing_a_field_width_recalculates_on_every_keystroke_and_never_rewrites_that_box() {
    TypeInto(window.get(), ids::kObjectDistanceEdit, "2.0");
    TypeInto(window.get(), ids::kFieldWidthEdit, "1");
    QCOMPARE(T(ids::kResultBox), "6.888");  // 1000 x 0.003456 x 2 / (0.003456 + 1)
    QCOMPARE(T(ids::kObjectDistanceEdit), "2");  // rewritten once it lost the focus
    TypeMore(window.get(), ids::kFieldWidthEdit, "2");
    QCOMPARE(T(ids::kResultBox), "0.5758");
    TypeMore(window.get(), ids::kFieldWidthEdit, ".0");
    QCOMPARE(T(ids::kFieldWidthEdit), "12.0");
    QCOMPARE(Control<QLineEdit>(window.get(), ids::kFieldWidthEdit)->cursorPosition(), 4);
    QCOMPARE(T(ids::kResultBox), "0.5758");
    QCOMPARE(T(ids::kFocalLengthEdit), "0.5758");
    QCOMPARE(T(ids::kMagnificationEdit), "0.000288");
  }

  void a_box_being_typed_into_keeps_text_that_reads_differently() {
    TypeInto(window.get(), ids::kObjectDistanceEdit, "1e");
    QCOMPARE(T(ids::kObjectDistanceEdit), "1e");
    TypeInto(window.get(), ids::kFieldWidthEdit, "0.5");
    QCOMPARE(T(ids::kObjectDistanceEdit), "1");
  }

  void warnings_follow_the_box_that_started_the_cycle_data() {
    QTest::addColumn<bool>("focalLengthLast");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typing the object distance last") << false << kDistanceMessage;
    QTest::newRow("typing the focal length last") << true << kFocalMessage;
  }
  void warnings_follow_the_box_that_started_the_cycle() {
    QFETCH(bool, focalLengthLast);
    QFETCH(QString, expected);
    QVERIFY(Choose(window.get(), ids::kComputeModeList, "Field Width"));
    if (focalLengthLast) {
      TypeInto(window.get(), ids::kObjectDistanceEdit, "0.01");
      TypeInto(window.get(), ids::kFocalLengthEdit, "50");
    } else {
      TypeInto(window.get(), ids::kFocalLengthEdit, "50");
      TypeInto(window.get(), ids::kObjectDistanceEdit, "0.01");
    }
    QCOMPARE(T(ids::kStatusLine), expected);
    // Any other input event ends with the object-distance warning, written after the focal length.
    QVERIFY(Choose(window.get(), ids::kFNumberList, "2.8"));
    QCOMPARE(T(ids::kStatusLine), kDistanceMessage);
    // A distance beyond the focal length clears the warning with the next cycle.
    TypeInto(window.get(), ids::kObjectDistanceEdit, "2");
    QCOMPARE(T(ids::kStatusLine), kAboutMessage);
  }

  void compute_modes_set_the_roles_of_the_boxes_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("magnificationInput");
    QTest::addColumn<QString>("roles");  // focal length, magnification, distance, field width
    QTest::addColumn<QString>("radios");  // enabled and checked of 1074, then of 1075
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("resultUnit");
    QTest::newRow("focal length") << "Focal Length" << false << "RRWW" << "e-e-"
        << "Select this if you know scene information and want to know which video lens to use." << "mm";
    QTest::newRow("magnification") << "Magnification" << false << "RRRW" << "e-e-"
        << "Select this if you want to use microscope or endoscope optics labeled with magnification." << "x";
    QTest::newRow("object distance") << "Object Distance" << false << "WRRW" << "EXe-"
        << "Select this if you already have a lens and want to know how far away to place the object."
        << "meters";
    QTest::newRow("field width, focal length given") << "Field Width" << false << "WRWR" << "EXE-"
        << "Select this if you already have a lens and want to know the maximum size of your subject."
        << "meters";
    QTest::newRow("field width, magnification given") << "Field Width" << true << "RWRR" << "E-EX"
        << "Select this if you already have a lens and want to know the maximum size of your subject."
        << "meters";
  }
  void compute_modes_set_the_roles_of_the_boxes() {
    QFETCH(QString, mode);
    QFETCH(bool, magnificationInput);
    QFETCH(QString, roles);
    QFETCH(QString, radios);
    QFETCH(QString, description);
    QFETCH(QString, resultUnit);
    // Start from the mode with the most read-only boxes, so every box has to be made writable again.
    QVERIFY(Choose(window.get(), ids::kComputeModeList, "Magnification"));
    QVERIFY(Choose(window.get(), ids::kComputeModeList, mode));
    if (magnificationInput) Click(window.get(), ids::kMagnificationRadio);
    for (int index = 0; index < 4; ++index) {
      QVERIFY2(ReadOnly(kSwitchableEdits[index]) == (roles[index] == 'R'),
               qPrintable(ControlName(kSwitchableEdits[index])));
    }
    QCOMPARE(Control<QLineEdit>(window.get(), ids::kVelocityEdit)->isReadOnly(), false);
    QString radioState;
    for (QRadioButton* radio : {Radio(ids::kFocalLengthRadio), Radio(ids::kMagnificationRadio)}) {
      radioState += radio->isEnabled() ? 'E' : 'e';
      radioState += radio->isChecked() ? 'X' : '-';
    }
    // Disabled radio buttons keep their state: only check the enabled ones.
    if (radios.startsWith('e')) radioState.replace(1, 1, '-');
    QCOMPARE(radioState, radios);
    QCOMPARE(T(ids::kDescriptionBox), description);
    QCOMPARE(T(ids::kResultName), mode);
    QCOMPARE(T(ids::kResultUnit), resultUnit);
  }

  void radio_buttons_switch_roles_at_once_but_recalculate_only_with_the_next_input() {
    QVERIFY(Choose(window.get(), ids::kComputeModeList, "Object Distance"));
    QVERIFY(!Radio(ids::kMagnificationRadio)->isEnabled());
    QVERIFY(Radio(ids::kFocalLengthRadio)->isChecked());

    QVERIFY(Choose(window.get(), ids::kComputeModeList, "Field Width"));
    TypeInto(window.get(), ids::kFocalLengthEdit, "25");
    TypeInto(window.get(), ids::kObjectDistanceEdit, "2");
    const QString fieldWidth = T(ids::kResultBox);
    QCOMPARE(fieldWidth, "0.273");  // 0.003456 x 2 / 0.025 - 0.003456 = 0.272... m

    Click(window.get(), ids::kMagnificationRadio);
    QVERIFY(Radio(ids::kMagnificationRadio)->isChecked());
    QVERIFY(ReadOnly(ids::kFocalLengthEdit));
    QVERIFY(ReadOnly(ids::kObjectDistanceEdit));
    QVERIFY(!ReadOnly(ids::kMagnificationEdit));
    QCOMPARE(T(ids::kResultBox), fieldWidth);

    TypeInto(window.get(), ids::kMagnificationEdit, "0.5");
    QCOMPARE(T(ids::kResultBox), "0.006912");  // the sensor width over the magnification

    Click(window.get(), ids::kFocalLengthRadio);
    QVERIFY(!ReadOnly(ids::kFocalLengthEdit));
    QVERIFY(!ReadOnly(ids::kObjectDistanceEdit));
    QVERIFY(ReadOnly(ids::kMagnificationEdit));
  }

  void reset_zeroes_inputs_and_results_without_calculating_data() {
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("fieldWidth");
    QTest::addColumn<QString>("fNumber");
    QTest::newRow("near and far limits") << "2" << "0.5" << "1.0";
    QTest::newRow("far limit at infinity") << "60" << "30" << "22.0";
  }
  void reset_zeroes_inputs_and_results_without_calculating() {
    QFETCH(QString, distance);
    QFETCH(QString, fieldWidth);
    QFETCH(QString, fNumber);
    QVERIFY(Choose(window.get(), ids::kFNumberList, fNumber));
    TypeInto(window.get(), ids::kObjectDistanceEdit, distance);
    TypeInto(window.get(), ids::kFieldWidthEdit, fieldWidth);
    TypeInto(window.get(), ids::kVelocityEdit, "1");
    QVERIFY(T(ids::kNearFocusBox) != "0");
    QVERIFY(T(ids::kHyperFocusBox) != "0");
    QCOMPARE(T(ids::kFarFocusBox) == "Infinity", distance == "60");

    // Nothing shown afterwards belongs to the inputs that are gone, the focus limits included.
    Click(window.get(), ids::kResetButton);
    for (int id : {ids::kFocalLengthEdit, ids::kMagnificationEdit, ids::kObjectDistanceEdit, ids::kFieldWidthEdit,
                   ids::kVelocityEdit, ids::kResultBox, ids::kWorkingFNumberBox, ids::kFieldAngleBox,
                   ids::kMotionBlurBox, ids::kPixelBlurBox, ids::kDepthOfFieldBox, ids::kNearFocusBox,
                   ids::kFarFocusBox, ids::kHyperFocusBox}) {
      QVERIFY2(T(id) == "0", qPrintable(ControlName(id) + " shows " + T(id)));
    }
    QCOMPARE(T(ids::kStatusLine), kAboutMessage);
    QCOMPARE(T(ids::kComputeModeList), "Focal Length");
    QCOMPARE(T(ids::kFNumberList), fNumber);
  }

  void a_units_change_shows_the_same_lengths_again_without_calculating() {
    QVERIFY(Choose(window.get(), ids::kUnitsList, "mm"));
    TypeInto(window.get(), ids::kObjectDistanceEdit, "250");
    QCOMPARE(T(ids::kObjectDistanceUnit), "mm");
    QCOMPARE(T(ids::kVelocityUnit), "mm/sec");
    QVERIFY(Choose(window.get(), ids::kUnitsList, "meters"));
    QCOMPARE(T(ids::kObjectDistanceEdit), "0.25");
    QVERIFY(Choose(window.get(), ids::kUnitsList, "inches"));
    QCOMPARE(T(ids::kObjectDistanceEdit), "9.843");
    QCOMPARE(T(ids::kFieldWidthUnit), "inches");
    QCOMPARE(T(ids::kVelocityUnit), "in/sec");
    QCOMPARE(T(ids::kResultUnit), "mm");  // the focal length never changes its unit
    QVERIFY(Choose(window.get(), ids::kUnitsList, "feet"));
    // Reading "9.843" inches back would give 0.25001 m; only showing keeps the quarter meter.
    QCOMPARE(window->State().objectDistance, 0.25);
    QCOMPARE(T(ids::kObjectDistanceEdit), "0.8202");
  }

  void a_shutter_change_renews_only_the_blur() {
    QVERIFY(Choose(window.get(), ids::kComputeModeList, "Object Distance"));
    TypeInto(window.get(), ids::kFocalLengthEdit, "13.73");
    TypeInto(window.get(), ids::kFieldWidthEdit, "0.5");
    TypeInto(window.get(), ids::kVelocityEdit, "1");
    const double computedDistance = window->State().computedValue;
    QVERIFY(computedDistance > 2.0001 && computedDistance < 2.0002);
    QCOMPARE(T(ids::kResultBox), "2");
    QCOMPARE(T(ids::kMotionBlurBox), "0.01667");  // 1 m/s for 1/60 s
    const QStringList geometry = {T(ids::kWorkingFNumberBox), T(ids::kDepthOfFieldBox), T(ids::kNearFocusBox),
                                  T(ids::kFarFocusBox),       T(ids::kHyperFocusBox),   T(ids::kFieldAngleBox),
                                  T(ids::kFormatBox)};

    QVERIFY(Choose(window.get(), ids::kShutterList, "4x -- 4166.67 usec"));
    QCOMPARE(T(ids::kMotionBlurBox), "0.004167");
    QCOMPARE(T(ids::kPixelBlurBox), "4");  // 0.004167 m x 0.006912 / 7.2 um
    QCOMPARE((QStringList{T(ids::kWorkingFNumberBox), T(ids::kDepthOfFieldBox), T(ids::kNearFocusBox),
                          T(ids::kFarFocusBox), T(ids::kHyperFocusBox), T(ids::kFieldAngleBox), T(ids::kFormatBox)}),
             geometry);
    // The distance was read back from its box as shown; a geometry step would have computed it again.
    QCOMPARE(window->State().objectDistance, 2.0);
    QCOMPARE(window->State().computedValue, computedDistance);
  }

  void enter_does_nothing_and_escape_ends_the_window() {
    TypeInto(window.get(), ids::kObjectDistanceEdit, "2");
    QTest::keyClick(Control(window.get(), ids::kObjectDistanceEdit), Qt::Key_Return);
    QTest::keyClick(Control(window.get(), ids::kComputeModeList), Qt::Key_Enter);
    QVERIFY(window->isVisible());
    QCOMPARE(T(ids::kObjectDistanceEdit), "2");
    // On a focused button Enter is a click, as in any dialog.
    auto* reset = Control(window.get(), ids::kResetButton);
    reset->setFocus(Qt::TabFocusReason);
    QTest::keyClick(reset, Qt::Key_Return);
    QVERIFY(window->isVisible());
    QCOMPARE(T(ids::kObjectDistanceEdit), "0");

    Click(window.get(), ids::kAttachmentsButton);
    QVERIFY(window->AttachmentsWindow()->isVisible());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(Control(window.get(), ids::kObjectDistanceEdit), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(!window->AttachmentsWindow()->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
  }

  void quit_ends_the_window_with_ok() {
    Click(window.get(), ids::kQuitButton);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Accepted));
  }

  void the_keyboard_reaches_every_input() {
    // Tab order starts at the compute list; mnemonics jump to the boxes.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Control(window.get(), ids::kCameraList));
    QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), Control(window.get(), ids::kObjectDistanceEdit));
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QTest::keyClick(window.get(), Qt::Key_W, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "0.5");
    QCOMPARE(T(ids::kResultBox), "20.59");  // 1000 x 0.003456 x 3 / 0.503456
    QTest::keyClick(window.get(), Qt::Key_U, Qt::AltModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(T(ids::kUnitsList), "mm");
    QCOMPARE(T(ids::kObjectDistanceEdit), "3000");
  }

  void every_control_has_an_accessible_name() {
    const auto widgets = window->findChildren<QWidget*>();
    int named = 0;
    for (QWidget* widget : widgets) {
      if (!widget->objectName().startsWith('c') || ControlName(widget->objectName().mid(1).toInt()) != widget->objectName()) {
        continue;
      }
      const bool hasOwnText = qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
      QVERIFY2(hasOwnText || !widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
      ++named;
    }
    QVERIFY(named > 60);
  }

  void survives_a_storm_of_random_input() {
    QRandomGenerator random(20240607);
    const QStringList fragments = {"0", "1", "25", "-3", ".", "e", "e9", "1e308", "x", "-", "nan", "inf", " "};
    const int edits[] = {ids::kFocalLengthEdit, ids::kMagnificationEdit, ids::kObjectDistanceEdit,
                         ids::kFieldWidthEdit, ids::kVelocityEdit};
    const int lists[] = {ids::kComputeModeList, ids::kFrameRateList, ids::kShutterList, ids::kResolutionList,
                         ids::kFNumberList, ids::kUnitsList, ids::kDirectionList, ids::kCameraList};
    const QStringList statuses = {kAboutMessage, kDistanceMessage, kFocalMessage};
    for (int step = 0; step < 300; ++step) {
      switch (random.bounded(4)) {
        case 0: {
          const int edit = edits[random.bounded(5)];
          if (random.bounded(3) == 0) TypeInto(window.get(), edit, "");
          Click(window.get(), edit);
          TypeMore(window.get(), edit, fragments[random.bounded(fragments.size())]);
          break;
        }
        case 1: {
          const int list = lists[random.bounded(8)];
          const QStringList entries = Entries(window.get(), list);
          QVERIFY(Choose(window.get(), list, entries[random.bounded(entries.size())]));
          break;
        }
        case 2:
          Click(window.get(), random.bounded(2) ? ids::kFocalLengthRadio : ids::kMagnificationRadio);
          break;
        default:
          Click(window.get(), random.bounded(2) ? ids::kResetButton : ids::kAttachmentsButton);
          window->activateWindow();
          QVERIFY(QTest::qWaitForWindowActive(window.get()));
          break;
      }
      QVERIFY2(statuses.contains(T(ids::kStatusLine)), qPrintable(T(ids::kStatusLine)));
    }
    QVERIFY(window->isVisible());
    QVERIFY(sink.messages.empty());
  }

  void artwork_is_built_in_and_renders() {
    auto* picture = Control<QSvgWidget>(window.get(), ids::kPicture);
    QVERIFY(picture->renderer()->isValid());
    QCOMPARE(picture->renderer()->defaultSize(), QSize(576, 210));
    QSvgRenderer icon(QStringLiteral(":/korvan/icon.svg"));
    QVERIFY(icon.isValid());
  }
};

QTEST_MAIN(CalculatorWindowTest)
#include "test_calculator_window.moc"
