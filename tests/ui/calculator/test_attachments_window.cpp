#include <QCheckBox>
#include <QtTest/QtTest>

#include "ui/WindowDriver.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

constexpr int kShownBoxes[] = {ids::kAdjFocalLengthBox, ids::kAdjMagnificationBox, ids::kAdjWorkingFNumberBox,
                               ids::kAdjFieldWidthBox, ids::kAdjFocusShiftBox};

}  // namespace

class AttachmentsWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CCalculatorDlg> calculator;
  RecordingSink sink;

  CAttachmentsDlg* Attachments() const { return calculator->AttachmentsWindow(); }
  QStringList Shown() const {
    QStringList texts;
    for (int id : kShownBoxes) texts << Text(Attachments(), id);
    return texts;
  }
  QString Unit() const { return Text(Attachments(), ids::kAdjFieldWidthUnit); }

  // The lens of 13.73 mm at 2 m that images a field of 0.5 m on the generic camera's 3.456 mm, at f/2.8.
  void EnterTheWorkedExample() {
    TypeInto(calculator.get(), ids::kObjectDistanceEdit, "2");
    TypeInto(calculator.get(), ids::kFieldWidthEdit, "0.5");
    QVERIFY(Choose(calculator.get(), ids::kFNumberList, "2.8"));
  }

  void ShowAttachments() {
    Click(calculator.get(), ids::kAttachmentsButton);
    QVERIFY(QTest::qWaitForWindowActive(Attachments()));
  }

  void Attach(int checkId, int listId, const QString& entry) {
    Click(Attachments(), checkId);
    QVERIFY(Choose(Attachments(), listId, entry));
  }

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }

  void init() {
    QVERIFY(ShowCalculator(calculator, ContextFor(sink)));
  }
  void cleanup() { calculator.reset(); }

  void is_hidden_at_start_and_shows_the_calculators_lens_when_opened() {
    QVERIFY(!Attachments()->isVisible());
    QCOMPARE(Shown(), (QStringList{"0", "0", "0", "0", "0"}));
    EnterTheWorkedExample();
    QCOMPARE(Shown(), (QStringList{"0", "0", "0", "0", "0"}));  // not refreshed while hidden
    ShowAttachments();
    QCOMPARE(Shown(), (QStringList{"13.73", "0.006912", "2.819", "0.5", "0"}));
    QCOMPARE(Unit(), "meters");
    QCOMPARE(Text(Attachments(), ids::kAdjFocusShiftUnit), "meters");
    for (int list : {ids::kTeleExtenderList, ids::kCloseUpList, ids::kTubesList}) {
      QVERIFY(!Control(Attachments(), list)->isEnabled());
    }
  }

  void corrections_follow_the_ticked_attachments_data() {
    QTest::addColumn<QString>("teleExtender");
    QTest::addColumn<QString>("closeUp");
    QTest::addColumn<QString>("tubes");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("tele-extender 2x") << "2x" << "" << "" << "meters"
                                      << QStringList{"27.46", "0.01382", "5.639", "0.25", "0"};
    QTest::newRow("tele-extender 3x") << "3x" << "" << "" << "meters"
                                      << QStringList{"41.19", "0.02074", "8.458", "0.1667", "0"};
    QTest::newRow("close-up +2D") << "" << "+2D" << "" << "meters"
                                  << QStringList{"13.36", "0.03456", "2.819", "0.1", "1.6"};
    QTest::newRow("tubes 5 mm") << "" << "" << "5 mm" << "meters"
                                << QStringList{"13.73", "0.3711", "3.839", "0.009313", "1.949"};
    QTest::newRow("all three in mm") << "2x" << "+2D" << "5 mm" << "mm"
                                     << QStringList{"26.03", "0.2617", "3.533", "13.21", "1875"};
    QTest::newRow("all three in inches") << "2x" << "+2D" << "5 mm" << "inches"
                                         << QStringList{"26.03", "0.2617", "3.533", "0.5199", "73.8"};
    QTest::newRow("ticked but none") << "none" << "none" << "none" << "meters"
                                     << QStringList{"13.73", "0.006912", "2.819", "0.5", "0"};
  }
  void corrections_follow_the_ticked_attachments() {
    QFETCH(QString, teleExtender);
    QFETCH(QString, closeUp);
    QFETCH(QString, tubes);
    QFETCH(QString, unit);
    QFETCH(QStringList, shown);
    EnterTheWorkedExample();
    ShowAttachments();
    if (!teleExtender.isEmpty()) Attach(ids::kTeleExtenderCheck, ids::kTeleExtenderList, teleExtender);
    if (!closeUp.isEmpty()) Attach(ids::kCloseUpCheck, ids::kCloseUpList, closeUp);
    if (!tubes.isEmpty()) Attach(ids::kTubesCheck, ids::kTubesList, tubes);
    QVERIFY(Choose(calculator.get(), ids::kUnitsList, unit));
    QCOMPARE(Shown(), shown);
    QCOMPARE(Unit(), unit);
  }

  void an_unticked_attachment_is_ignored_and_its_list_disabled() {
    EnterTheWorkedExample();
    ShowAttachments();
    Attach(ids::kTeleExtenderCheck, ids::kTeleExtenderList, "2x");
    QCOMPARE(Shown().first(), "27.46");
    Click(Attachments(), ids::kTeleExtenderCheck);
    QCOMPARE(Shown().first(), "13.73");
    QVERIFY(!Control(Attachments(), ids::kTeleExtenderList)->isEnabled());
    QCOMPARE(Text(Attachments(), ids::kTeleExtenderList), "2x");
  }

  void follows_every_recalculation_while_visible() {
    EnterTheWorkedExample();
    ShowAttachments();
    Attach(ids::kTeleExtenderCheck, ids::kTeleExtenderList, "2x");
    calculator->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(calculator.get()));
    TypeInto(calculator.get(), ids::kFieldWidthEdit, "1");
    // Twice 6.888 mm and 2.8 x (1 + 0.003456), half of 1 m.
    QCOMPARE(Shown(), (QStringList{"13.78", "0.006912", "5.619", "0.5", "0"}));
    QVERIFY(Choose(calculator.get(), ids::kUnitsList, "mm"));
    QCOMPARE(Shown(), (QStringList{"13.78", "0.006912", "5.619", "500", "0"}));
    QCOMPARE(Text(Attachments(), ids::kAdjFocusShiftUnit), "mm");
    QVERIFY(Choose(calculator.get(), ids::kFNumberList, "4.0"));
    QCOMPARE(Shown().at(2), "8.028");  // 2 x 4 x (1 + 0.003456)
  }

  void takes_input_while_the_calculator_runs_modally() {
    calculator->hide();
    bool ticked = false;
    QTimer::singleShot(0, this, [&] {
      if (QTest::qWaitForWindowActive(calculator.get())) {
        EnterTheWorkedExample();
        ShowAttachments();
        // Through the window system, which drops input to windows that a modal window blocks.
        auto* check = Control<QCheckBox>(Attachments(), ids::kTeleExtenderCheck);
        QTest::mouseClick(Attachments()->windowHandle(), Qt::LeftButton, {},
                          check->mapTo(Attachments(), check->rect().center()));
        ticked = check->isChecked() && Choose(Attachments(), ids::kTeleExtenderList, "3x");
      }
      Click(calculator.get(), ids::kQuitButton);
    });
    QCOMPARE(calculator->exec(), int(QDialog::Accepted));
    QVERIFY(ticked);
    QCOMPARE(Shown().first(), "41.19");
  }

  void hiding_keeps_the_choices_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Dismiss") << "Dismiss";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("close box") << "close box";
  }
  void hiding_keeps_the_choices() {
    QFETCH(QString, how);
    EnterTheWorkedExample();
    ShowAttachments();
    Attach(ids::kTubesCheck, ids::kTubesList, "5 mm");
    QCOMPARE(Shown().at(1), "0.3711");
    if (how == "Dismiss") {
      Click(Attachments(), ids::kDismissButton);
    } else if (how == "Enter") {
      QTest::keyClick(Control(Attachments(), ids::kTubesCheck), Qt::Key_Return);
    } else if (how == "Escape") {
      QTest::keyClick(Control(Attachments(), ids::kTubesCheck), Qt::Key_Escape);
    } else {
      Attachments()->close();
    }
    QVERIFY(!Attachments()->isVisible());
    QVERIFY(calculator->isVisible());

    TypeInto(calculator.get(), ids::kObjectDistanceEdit, "4");
    QCOMPARE(Shown().at(1), "0.3711");  // hidden: left as it was
    ShowAttachments();
    QVERIFY(Control<QCheckBox>(Attachments(), ids::kTubesCheck)->isChecked());
    QCOMPARE(Text(Attachments(), ids::kTubesList), "5 mm");
    QCOMPARE(Shown().at(0), "27.46");  // the lens for 4 m, refreshed on showing
  }
};

QTEST_MAIN(AttachmentsWindowTest)
#include "test_attachments_window.moc"
