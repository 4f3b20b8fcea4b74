// Where the modeless windows open: beside the calculator on the side with room, wholly on the
// calculator's screen, else over its results; and where the user moved them, there for the run.
// Runs on offscreen screens of several sizes (placement_screens.json, given by ctest).
#include <QGroupBox>
#include <QScreen>
#include <QtTest/QtTest>

#include "ui/WindowDriver.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CAttachmentsDlg.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/widgets/WindowPlacement.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

QRect Global(const QWidget* widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }

}  // namespace

class WindowPlacementTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CCalculatorDlg> calculator;
  RecordingSink sink;

  CAttachmentsDlg* Attachments() const { return calculator->AttachmentsWindow(); }

  QScreen* Screen(const QString& name) const {
    for (QScreen* screen : QGuiApplication::screens()) {
      if (screen->name() == name) return screen;
    }
    qFatal("no screen %s: run with the placement screens configuration", qPrintable(name));
  }

  // Puts the calculator's frame at `offset` from the top-left corner of a screen, or from its
  // top-right corner when `fromRight` is set.
  void PutCalculator(const QString& screenName, QPoint offset, bool fromRight = false) {
    const QRect area = Screen(screenName)->availableGeometry();
    const QSize frame = calculator->frameGeometry().size();
    const QPoint corner = fromRight ? QPoint(area.right() + 1 - frame.width() - offset.x(), area.top() + offset.y())
                                    : area.topLeft() + offset;
    calculator->move(corner);
    QTRY_COMPARE(calculator->frameGeometry().topLeft(), corner);
  }

  void OpenAttachments() {
    Click(calculator.get(), ids::kAttachmentsButton);
    QVERIFY(QTest::qWaitForWindowExposed(Attachments()));
  }

  void Dismiss() {
    Click(Attachments(), ids::kDismissButton);
    QVERIFY(!Attachments()->isVisible());
  }

  // The calculator's inputs: the compute list with its description and the three information groups.
  QList<QRect> Inputs() const {
    QList<QRect> areas;
    for (const char* name : {"cameraGroup", "lensGroup", "sceneGroup"}) {
      areas << Global(calculator->findChild<QGroupBox*>(QLatin1String(name)));
    }
    areas << Global(Control(calculator.get(), ids::kComputeModeList));
    return areas;
  }

 private slots:
  void initTestCase() { QuietenPlatformWarnings(); }

  void init() {
    QVERIFY(ShowCalculator(calculator, ContextFor(sink)));
  }

  void cleanup() { calculator.reset(); }

  // Plain rectangles: a 600 x 500 calculator frame and a 300 x 200 window on a 1600 x 1000 area.
  void places_beside_else_over_the_cover_data() {
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");
    const QRect area(0, 0, 1600, 1000);
    const QSize size(300, 200);
    QTest::newRow("right, level with the top") << QRect(100, 100, 600, 500) << size << area << QPoint(706, 100);
    QTest::newRow("right, raised off the bottom") << QRect(100, 900, 600, 500) << size << area << QPoint(706, 800);
    QTest::newRow("right, just fits") << QRect(994, 0, 300, 500) << size << area << QPoint(1300, 0);
    QTest::newRow("left when the right is short") << QRect(995, 0, 300, 500) << size << area << QPoint(689, 0);
    QTest::newRow("below when neither side has room")
        << QRect(200, 100, 1200, 500) << size << area << QPoint(200, 606);
    QTest::newRow("below, kept from the right edge")
        << QRect(100, 100, 1500, 500) << QSize(1550, 200) << area << QPoint(50, 606);
    QTest::newRow("over the cover when nothing fits")
        << QRect(0, 0, 1400, 900) << size << area << QPoint(1000, 100);
    QTest::newRow("over the cover, kept on the area")
        << QRect(0, 0, 1400, 900) << QSize(700, 950) << area << QPoint(900, 50);
    QTest::newRow("larger than the area: its top-left corner")
        << QRect(0, 0, 1400, 900) << QSize(1700, 1100) << area << QPoint(0, 0);
    QTest::newRow("area away from the origin")
        << QRect(2000, 50, 600, 500) << size << QRect(1600, 0, 1366, 768) << QPoint(2606, 50);
  }
  void places_beside_else_over_the_cover() {
    QFETCH(QRect, anchor);
    QFETCH(QSize, size);
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);
    const QRect cover(1000, 100, 400, 700);
    const QRect placed = PlaceBeside(anchor, size, available, cover);
    QCOMPARE(placed.topLeft(), expected);
    QCOMPARE(placed.size(), size);
  }

  // A 700 px calculator centred on a full HD screen moves aside for a 1000 px planner; on a laptop
  // it moves left only as far as the planner needs to lie over its results, never over its inputs.
  void the_calculator_moves_aside_for_a_wide_window_data() {
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("full HD: side by side") << QRect(610, 200, 700, 600) << QRect(0, 0, 1920, 1040) << QPoint(107, 200);
    QTest::newRow("laptop: results side") << QRect(333, 100, 700, 600) << QRect(0, 0, 1366, 728) << QPoint(16, 100);
    QTest::newRow("room beside already") << QRect(0, 100, 700, 600) << QRect(0, 0, 1920, 1040) << QPoint(0, 100);
  }
  void the_calculator_moves_aside_for_a_wide_window() {
    QFETCH(QRect, anchor);
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);
    const QSize planner(1000, 600);
    const QRect cover(anchor.left() + 350, anchor.top() + 50, 350, 500);  // the results, right of the inputs
    const QPoint moved = AnchorPlaceFor(anchor, planner, available, cover);
    QCOMPARE(moved, expected);
    const QRect movedCover = cover.translated(moved - anchor.topLeft());
    const QRect placed = PlaceBeside(QRect(moved, anchor.size()), planner, available, movedCover);
    QVERIFY(available.contains(placed));
    QVERIFY(placed.left() >= movedCover.left());  // never over the inputs
  }

  void attachments_open_beside_the_calculator_on_its_screen_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("fromRight");
    QTest::addColumn<QString>("side");
    QTest::newRow("wide screen, room on the right") << "wide" << QPoint(100, 100) << false << "right";
    QTest::newRow("wide screen, calculator at its right edge") << "wide" << QPoint(0, 100) << true << "left";
    QTest::newRow("laptop, calculator at its left edge") << "laptop" << QPoint(0, 0) << false << "right";
    QTest::newRow("laptop, calculator at its right edge") << "laptop" << QPoint(0, 0) << true << "left";
    QTest::newRow("small screen: over the results") << "small" << QPoint(0, 0) << false << "over";
  }
  void attachments_open_beside_the_calculator_on_its_screen() {
    QFETCH(QString, screen);
    QFETCH(QPoint, offset);
    QFETCH(bool, fromRight);
    QFETCH(QString, side);
    PutCalculator(screen, offset, fromRight);
    OpenAttachments();

    const QRect placed = Attachments()->frameGeometry();
    const QRect own = calculator->frameGeometry();
    QVERIFY2(Screen(screen)->availableGeometry().contains(placed), qPrintable(screen));
    if (side == "over") {
      QVERIFY(placed.intersects(Global(calculator->findChild<QGroupBox*>(QStringLiteral("calcGroup")))));
    } else {
      QVERIFY(!placed.intersects(own));
      QCOMPARE(side == "right" ? placed.left() > own.right() : placed.right() < own.left(), true);
    }
    // Either way every input stays in sight.
    for (const QRect& input : Inputs()) QVERIFY(!placed.intersects(input));
  }

  void a_window_follows_the_calculator_until_the_user_moves_it() {
    PutCalculator("wide", QPoint(100, 100));
    OpenAttachments();
    const QPoint first = Attachments()->frameGeometry().topLeft();
    Dismiss();

    // Not moved by the user: it opens beside the calculator wherever that went.
    PutCalculator("wide", QPoint(0, 300), true);
    OpenAttachments();
    QVERIFY(Attachments()->frameGeometry().right() < calculator->frameGeometry().left());
    QVERIFY(Attachments()->frameGeometry().topLeft() != first);

    // Moved by the user: it stays where they put it, through hiding and the calculator's moves.
    const QPoint chosen(40, 900);
    Attachments()->move(chosen);
    QTRY_COMPARE(Attachments()->frameGeometry().topLeft(), chosen);
    Dismiss();
    PutCalculator("wide", QPoint(100, 100));
    OpenAttachments();
    QCOMPARE(Attachments()->frameGeometry().topLeft(), chosen);

    // Opening it again while it is shown only brings it to the front.
    Click(calculator.get(), ids::kAttachmentsButton);
    QCOMPARE(Attachments()->frameGeometry().topLeft(), chosen);
    QVERIFY(Attachments()->isVisible());
  }
};

QTEST_MAIN(WindowPlacementTest)
#include "test_window_placement.moc"
