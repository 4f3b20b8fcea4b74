#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include "camera/CameraDefinition.h"
#include "optics/Engine.h"
#include "planner/Planner.h"
#include "ui/planner/CLensKitEditor.h"

using namespace korvan;

namespace {

constexpr char kHeader[] = "name,focalLength,fNumberMin,fNumberMax,closestFocus,imageCircle,mount\n";

QString Cell(const CLensKitEditor& editor, int row, int column) {
  const QAbstractItemModel* model = editor.findChild<QTableView*>(QStringLiteral("kitRecords"))->model();
  return model->index(row, column).data().toString();
}

// The worked example: generic 480 x 420, 25 mm, 0.2 m, f/2.8, with the editor's kit.
planner::LensKitTable KitOf(const CLensKitEditor& editor) {
  const CameraDefinition camera = BuildGenericCamera();
  CalcState state;
  state.computeMode = ComputeMode::FieldWidth;
  state.sensorWidthPx = 480;
  state.sensorHeightPx = 420;
  state.focalLengthMm = 25;
  state.objectDistance = 0.2;
  state.fNumber = 2.8;
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  planner::PlannerTexts texts;
  texts.lenses = editor.KitText();
  return planner::ComputeLensKit(state, camera, planner::ReadPlannerInputs(texts, state.unit));
}

}  // namespace

class LensKitEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void rows_pasted_from_a_spreadsheet_say_how_each_lens_fares() {
    CLensKitEditor editor;
    int edits = 0;
    connect(&editor, &CLensKitEditor::Edited, [&edits] { ++edits; });
    // A spreadsheet's copy: tabs between cells, its header first, a bad row among good ones.
    editor.Paste(QStringLiteral("name\tfocalLength\tfNumberMin\tfNumberMax\tclosestFocus\timageCircle\tmount\r\n"
                                "Bars 25\t25\t1.4\t16\t0.3\t8\tC\r\n"
                                "Broken\tabc\t\t\t\t\t\r\n"
                                "Bars 12\t12\t1.8\t16\t0.1\t4\tC\r\n"));
    QCOMPARE(edits, 1);
    editor.ShowChecks(KitOf(editor));
    QCOMPARE(Cell(editor, 0, 7), QStringLiteral("cannot focus at 0.2 m: +2D or 2 mm tubes; covers 4.592 mm; "
                                                "f/2.8 within f/1.4 ... 16"));
    QCOMPARE(Cell(editor, 1, 7), QStringLiteral("Skipped line 3: focalLength \"abc\" is not a number"));
    QCOMPARE(Cell(editor, 2, 7).left(34), QStringLiteral("vignettes: circle 4 mm < 4.592 mm;"));

    // Cells without a header fill from the current cell on; duplicating and removing keep the rest.
    auto* table = editor.findChild<QTableView*>(QStringLiteral("kitRecords"));
    table->setCurrentIndex(table->model()->index(1, 1));
    editor.Paste(QStringLiteral("50\t2.8"));
    QCOMPARE(Cell(editor, 1, 1), QStringLiteral("50"));
    QCOMPARE(Cell(editor, 1, 2), QStringLiteral("2.8"));
    editor.DuplicateLenses();
    QCOMPARE(Cell(editor, 2, 0), QStringLiteral("Broken"));
    // Removing takes every selected row at once.
    table->selectionModel()->select(table->model()->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table->selectionModel()->select(table->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    editor.RemoveLenses();
    QCOMPARE(editor.KitText(), std::string(kHeader) + "Bars 25,25,1.4,16,0.3,8,C\nBars 12,12,1.8,16,0.1,4,C\n");
  }

  void a_plain_kit_stays_a_list_of_focal_lengths() {
    CLensKitEditor editor;
    editor.SetKitText("8, 12.5");
    editor.AddLens();
    QCOMPARE(editor.KitText(), std::string("8, 12.5"));  // the new row is still empty
    editor.Paste(QStringLiteral("16"));
    QCOMPARE(editor.KitText(), std::string("8, 12.5, 16"));
  }

  void import_keeps_good_rows_and_says_what_it_skipped_and_export_writes_them_back() {
    QTemporaryDir dir;
    const QString kit = dir.filePath(QStringLiteral("kit.csv"));
    QFile file(kit);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFmount,focalLength,name\r\nC,25,Bars 25\r\nC,-8,Bad\r\n");
    file.close();
    CLensKitEditor editor;
    QStringList messages;
    QString chosen = kit;
    editor.chooseFile = [&chosen](QWidget*, bool) { return chosen; };
    editor.showMessage = [&messages](const QString& text) { messages << text; };
    QVERIFY(editor.ImportKit());
    QCOMPARE(messages, QStringList{QStringLiteral("Imported 1 lenses from %1.\nSkipped line 3: focalLength \"-8\" "
                                                  "is not a finite number above 0").arg(kit)});
    QCOMPARE(Cell(editor, 0, 0), QStringLiteral("Bars 25"));

    chosen = dir.filePath(QStringLiteral("missing.csv"));
    QVERIFY(!editor.ImportKit());
    // The reason is the system's own, in the user's language.
    QVERIFY(messages.last().startsWith(QStringLiteral("Cannot read %1: ").arg(chosen)));
    QCOMPARE(editor.findChild<QTableView*>(QStringLiteral("kitRecords"))->model()->rowCount(), 1);

    chosen = dir.filePath(QStringLiteral("out.csv"));
    QVERIFY(editor.ExportKit());
    QFile out(chosen);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray(kHeader) + "Bars 25,25,,,,,C\n");
    chosen = dir.filePath(QStringLiteral("no/such/folder/out.csv"));
    QVERIFY(!editor.ExportKit());
    QVERIFY(messages.last().startsWith(QStringLiteral("Cannot write ") + chosen));
  }
};

QTEST_MAIN(LensKitEditorTest)
#include "test_lens_kit_editor.moc"
