// The camera editor: from typing a camera to that camera in force in the calculator and back at
// the next start, the reasons beside each field, pasted rows, editing the file in force, and a
// save that fails.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>

#include <fstream>
#include <functional>

#include "ui/WindowDriver.h"
#include "app/CCalculatorApp.h"
#include "common/TestFiles.h"
#include "optics/ControlIds.h"
#include "ui/calculator/CCalculatorDlg.h"
#include "ui/cameraeditor/CCameraEditorDlg.h"

using namespace korvan;
using namespace korvan::testing;

namespace {

QAction* MenuItem(const QWidget* window, const QString& text) {
  for (QAction* action : window->actions()) {
    if (action->text() == text) return action;
  }
  qFatal("no menu item %s", qPrintable(text));
}

template <class Widget = QWidget>
Widget* Part(const QWidget* editor, const char* name) {
  auto* widget = editor->findChild<Widget*>(QLatin1String(name));
  if (!widget) qFatal("%s is missing", name);
  return widget;
}

QString Reason(const QWidget* editor, const char* name) { return Part<QLabel>(editor, name)->text(); }

void TypeIn(QWidget* editor, const char* name, const QString& text) {
  auto* edit = Part<QLineEdit>(editor, name);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

// Types into the cell editor that has the focus and moves on to the next cell with Tab.
void TypeCells(const QStringList& texts) {
  for (const QString& text : texts) {
    QWidget* cell = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit*>(cell));
    QTest::keyClicks(cell, text);
    QTest::keyClick(cell, Qt::Key_Tab);
  }
}

QStringList Rows(const QAbstractItemModel* model) {
  QStringList rows;
  for (int r = 0; r < model->rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c) cells << model->index(r, c).data().toString();
    rows << cells.join(QLatin1Char(','));
  }
  return rows;
}

QStringList Items(const QAbstractItemModel* model) {
  QStringList items;
  for (int r = 0; r < model->rowCount(); ++r) items << model->index(r, 0).data().toString();
  return items;
}

bool SaveEnabled(const QWidget* editor) { return Part<QPushButton>(editor, "saveButton")->isEnabled(); }

// Runs `action`, which opens the editor modally, and `drive` on the editor once it is up.
void WithEditor(const std::function<void()>& action, const std::function<void(CCameraEditorDlg*)>& drive) {
  bool driven = false;
  QTimer::singleShot(0, [&] {
    auto* editor = qobject_cast<CCameraEditorDlg*>(QApplication::activeModalWidget());
    if (!editor) return;
    driven = true;
    drive(editor);
    if (editor->isVisible()) editor->reject();
  });
  action();
  QVERIFY(driven);
}

}  // namespace

class CameraEditorTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir directory;
  RecordingSink sink;
  int caseNumber = 0;

  SettingsStore::Locations FreshLocations() {
    const QString base = directory.filePath(QStringLiteral("settings%1").arg(++caseNumber));
    return {base + QStringLiteral("/machine/Korvan.ini"), base + QStringLiteral("/user/recent.ini")};
  }

  static CalculatorContext Answering(CalculatorContext context, std::function<std::optional<QString>()> path,
                                     bool replace = true, QStringList* questions = nullptr) {
    context.chooseCameraSavePath = [path](QWidget*, const QString&) { return path(); };
    context.confirmReplace = [replace, questions](QWidget*, const QString& question) {
      if (questions) questions->append(question);
      return replace;
    };
    return context;
  }

 private slots:
  void initTestCase() {
    QuietenPlatformWarnings();
    QVERIFY(directory.isValid());
  }
  void init() { sink.messages.clear(); }

  void a_typed_camera_is_in_force_and_comes_back_at_the_next_start() {
    const SettingsStore::Locations locations = FreshLocations();
    const QString typedPath = directory.filePath(QStringLiteral("Falke 500"));  // ".cam" is added
    {
      CCalculatorApp app(locations, &sink);
      app.LoadRecentFiles();
      CCalculatorDlg window(Answering(app.MakeContext(), [&] { return typedPath; }));
      window.show();
      QVERIFY(QTest::qWaitForWindowActive(&window));
      QVERIFY(!MenuItem(&window, QStringLiteral("Edit Camera File..."))->isEnabled());  // the generic camera

      WithEditor(
          [&] { MenuItem(&window, QStringLiteral("New Camera File..."))->trigger(); },
          [&](CCameraEditorDlg* editor) {
            QVERIFY(QTest::qWaitForWindowActive(editor));
            QVERIFY(!SaveEnabled(editor));
            QCOMPARE(Reason(editor, "nameProblem"), QStringLiteral("Enter the camera's name."));
            TypeIn(editor, "nameEdit", QStringLiteral("Falke 500"));
            TypeIn(editor, "pixelWidthEdit", QStringLiteral("7.4"));
            TypeIn(editor, "pixelHeightEdit", QStringLiteral("7.4"));
            QTest::qWait(1);
            QCOMPARE(Reason(editor, "nameProblem"), QString());
            QCOMPARE(Reason(editor, "modesProblem"), QStringLiteral("Add at least one mode."));
            QVERIFY(!SaveEnabled(editor));

            for (const QStringList& mode : {QStringList{"500", "1280", "1024"}, QStringList{"1000", "640", "512"},
                                            QStringList{"500", "640", "512"}}) {
              QTest::mouseClick(Part(editor, "addButton"), Qt::LeftButton);
              TypeCells(mode);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // the editor Tab opened
            QTest::qWait(1);
            QCOMPARE(Reason(editor, "modesProblem"), QString());
            QCOMPARE(Items(Part<QComboBox>(editor, "previewRates")->model()), (QStringList{"500", "1000"}));
            QCOMPARE(Items(Part<QListView>(editor, "previewResolutions")->model()),
                     (QStringList{"1280 x 1024", "640 x 512"}));
            QVERIFY(SaveEnabled(editor));
            QTest::mouseClick(Part(editor, "saveButton"), Qt::LeftButton);
            QVERIFY(!editor->isVisible());
          });

      QVERIFY(sink.messages.empty());
      const std::string saved = PathToBytes(typedPath + QStringLiteral(".cam"));
      QCOMPARE(window.CurrentCamera().name, std::string("Falke 500"));
      QCOMPARE(window.CurrentCamera().filePath, saved);
      QCOMPARE(window.CurrentCamera().pixelPitchX, 7.4 * 1e-6);
      QCOMPARE(Text(&window, ids::kCameraList), QStringLiteral("Falke 500"));
      QCOMPARE(Entries(&window, ids::kFrameRateList), (QStringList{"500", "1000"}));
      QCOMPARE(Entries(&window, ids::kResolutionList), (QStringList{"1280 x 1024", "640 x 512"}));
      QCOMPARE(window.CameraFilePaths().back(), saved);
      QVERIFY(MenuItem(&window, QStringLiteral("Edit Camera File..."))->isEnabled());
      window.accept();
    }

    CCalculatorApp nextStart(locations, &sink);
    nextStart.LoadRecentFiles();
    std::vector<std::string> recent;
    nextStart.GetRecentFileNames(recent);
    QCOMPARE(recent.front(), PathToBytes(typedPath + QStringLiteral(".cam")));
    CCalculatorDlg window(nextStart.MakeContext());
    QCOMPARE(window.CurrentCamera().name, std::string("Falke 500"));
    QCOMPARE(Text(&window, ids::kCameraList), QStringLiteral("Falke 500"));
    QVERIFY(sink.messages.empty());
  }

  void each_field_shows_its_reason_and_save_waits_for_all_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("comment name") << "nameEdit"
                                  << "# Falke"
                                  << "The name must not begin with \"#\": the line would be a comment.";
    QTest::newRow("blank at the end") << "nameEdit"
                                      << "Falke "
                                      << "The name must not begin or end with a space.";
    QTest::newRow("long name") << "nameEdit" << QString(300, QLatin1Char('F'))
                               << "The name must not be longer than 255 characters.";
    QTest::newRow("decimal comma") << "pixelWidthEdit"
                                   << "7,4"
                                   << "The pixel size must be a number, such as 7.4.";
    QTest::newRow("zero") << "pixelHeightEdit"
                          << "0"
                          << "The pixel size must be greater than 0.";
    QTest::newRow("infinite") << "pixelHeightEdit"
                              << "1e999"
                              << "The pixel size must be a finite number.";
  }
  void each_field_shows_its_reason_and_save_waits_for_all() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    CCameraEditorDlg editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    TypeIn(&editor, "nameEdit", QStringLiteral("Falke"));
    TypeIn(&editor, "pixelWidthEdit", QStringLiteral("7.4"));
    TypeIn(&editor, "pixelHeightEdit", QStringLiteral("7.4"));
    editor.PasteRows(QStringLiteral("500,640,512"));
    QTest::qWait(1);
    QVERIFY(SaveEnabled(&editor));

    const QByteArray name = field.toLatin1();
    TypeIn(&editor, name.constData(), text);
    QTest::qWait(1);
    const QByteArray reasonName = QByteArray(name).replace("Edit", "Problem");
    QCOMPARE(Reason(&editor, reasonName.constData()), reason);
    QVERIFY(!SaveEnabled(&editor));
  }

  void pasted_rows_are_marked_sorted_and_previewed() {
    CCameraEditorDlg editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    TypeIn(&editor, "nameEdit", QStringLiteral("Falke"));
    TypeIn(&editor, "pixelWidthEdit", QStringLiteral("5.5"));
    TypeIn(&editor, "pixelHeightEdit", QStringLiteral("5.5"));
    editor.PasteRows(
        QStringLiteral("Rate\tWidth\tHeight\r\n1000\t640\t512\r\n500\t640\t512\r\nfast\t1\t1\r\n"
                       "500\t1280\t1024\r\n"));
    QTest::qWait(1);
    auto* table = Part<QTableView>(&editor, "modeTable");
    QCOMPARE(Rows(table->model()), (QStringList{"1000,640,512", "500,640,512", "fast,1,1", "500,1280,1024"}));
    QCOMPARE(Reason(&editor, "modesProblem"), QStringLiteral("Frame rate of mode 3: Must be a whole number."));
    QVERIFY(!table->model()->index(2, 0).data(Qt::ToolTipRole).toString().isEmpty());
    QVERIFY(!SaveEnabled(&editor));
    // The lists leave out the row still to be corrected.
    QCOMPARE(Items(Part<QComboBox>(&editor, "previewRates")->model()), (QStringList{"1000", "500"}));

    QTest::mouseClick(Part(&editor, "sortButton"), Qt::LeftButton);
    QCOMPARE(Rows(table->model()), (QStringList{"500,1280,1024", "500,640,512", "1000,640,512", "fast,1,1"}));
    table->selectRow(3);
    QTest::mouseClick(Part(&editor, "removeButton"), Qt::LeftButton);
    table->selectRow(0);
    QTest::mouseClick(Part(&editor, "duplicateButton"), Qt::LeftButton);
    QTest::qWait(1);
    QCOMPARE(Rows(table->model()), (QStringList{"500,1280,1024", "500,1280,1024", "500,640,512", "1000,640,512"}));
    QCOMPARE(Reason(&editor, "modesProblem"), QString());
    QVERIFY(SaveEnabled(&editor));
    Part<QComboBox>(&editor, "previewRates")->setCurrentIndex(0);
    QCOMPARE(Items(Part<QListView>(&editor, "previewResolutions")->model()),
             (QStringList{"1280 x 1024", "1280 x 1024", "640 x 512"}));
    QCOMPARE(editor.Camera().ModeCount(), std::size_t{4});
  }

  void editing_the_file_in_force_rewrites_it_and_applies_the_change() {
    const std::string path = PathToBytes(directory.filePath(QStringLiteral("bench.cam")));
    std::ofstream(path, std::ios::binary) << kBenchCamera;
    std::vector<std::string> loaded;
    QStringList questions;
    CalculatorContext context;
    context.messages = &sink;
    context.cameraLoaded = [&](const std::string& p) { loaded.push_back(p); };
    bool replace = false;
    context = Answering(
        context, [&] { return PathFromBytes(path); }, true, &questions);
    context.confirmReplace = [&](QWidget*, const QString& question) {
      questions.append(question);
      return replace;
    };
    CCalculatorDlg window(context);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.AddCameraToList("Bench Camera 1", path);
    QVERIFY(Choose(&window, ids::kCameraList, "Bench Camera 1"));
    QVERIFY(MenuItem(&window, QStringLiteral("Edit Camera File..."))->isEnabled());

    for (const bool answer : {false, true}) {
      replace = answer;
      WithEditor([&] { MenuItem(&window, QStringLiteral("Edit Camera File..."))->trigger(); },
                 [&](CCameraEditorDlg* editor) {
                   QCOMPARE(Part<QLineEdit>(editor, "pixelWidthEdit")->text(), QStringLiteral("12"));
                   auto* table = Part<QTableView>(editor, "modeTable");
                   QCOMPARE(table->model()->rowCount(), 4);
                   table->selectRow(0);
                   QTest::mouseClick(Part(editor, "removeButton"), Qt::LeftButton);
                   QTest::qWait(1);
                   QTest::mouseClick(Part(editor, "saveButton"), Qt::LeftButton);
                 });
    }
    QCOMPARE(questions.size(), 2);
    QCOMPARE(questions[0], QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(PathFromBytes(path)));
    QCOMPARE(loaded.size(), std::size_t{2});  // chosen once, then reloaded although its name and path stayed
    QCOMPARE(Entries(&window, ids::kFrameRateList), (QStringList{"500", "1000"}));
    QCOMPARE(window.CurrentCamera().ModeCount(), std::size_t{3});
    QCOMPARE(Entries(&window, ids::kCameraList), (QStringList{"No Camera Selected", "Bench Camera 1"}));
    QVERIFY(sink.messages.empty());
  }

  void a_new_file_for_a_listed_name_takes_over_its_entry() {
    const std::string bench = PathToBytes(directory.filePath(QStringLiteral("listed.cam")));
    std::ofstream(bench, std::ios::binary) << kBenchCamera;
    const QString copy = directory.filePath(QStringLiteral("copy.cam"));
    CalculatorContext context;
    context.messages = &sink;
    CCalculatorDlg window(Answering(context, [&] { return copy; }));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.AddCameraToList("Bench Camera 1", bench);
    WithEditor([&] { MenuItem(&window, QStringLiteral("New Camera File..."))->trigger(); },
               [&](CCameraEditorDlg* editor) {
                 TypeIn(editor, "nameEdit", QStringLiteral("BENCH camera 1"));
                 TypeIn(editor, "pixelWidthEdit", QStringLiteral("5"));
                 TypeIn(editor, "pixelHeightEdit", QStringLiteral("5"));
                 editor->PasteRows(QStringLiteral("60,100,100"));
                 QTest::qWait(1);
                 editor->Save();
               });
    QCOMPARE(window.CurrentCamera().filePath, PathToBytes(copy));
    QCOMPARE(window.CurrentCamera().name, std::string("BENCH camera 1"));
    QCOMPARE(Entries(&window, ids::kCameraList), (QStringList{"No Camera Selected", "BENCH camera 1"}));
    QCOMPARE(window.CameraFilePaths().back(), PathToBytes(copy));
    QVERIFY(sink.messages.empty());
  }

  void a_save_that_fails_names_the_file_and_keeps_the_editor_open() {
    const QString path = directory.filePath(QStringLiteral("no such folder/cam.cam"));
    CCalculatorDlg window(Answering(
        [this] {
          CalculatorContext context;
          context.messages = &sink;
          return context;
        }(),
        [&] { return path; }));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    WithEditor([&] { MenuItem(&window, QStringLiteral("New Camera File..."))->trigger(); },
               [&](CCameraEditorDlg* editor) {
                 TypeIn(editor, "nameEdit", QStringLiteral("Falke"));
                 TypeIn(editor, "pixelWidthEdit", QStringLiteral("7.4"));
                 TypeIn(editor, "pixelHeightEdit", QStringLiteral("7.4"));
                 editor->PasteRows(QStringLiteral("500 640 512"));
                 QTest::qWait(1);
                 editor->Save();
                 QVERIFY(editor->isVisible());
               });
    QCOMPARE(sink.messages.size(), std::size_t{1});
    QVERIFY2(sink.messages[0].text.startsWith(QStringLiteral("Could not write camera file %1: ").arg(path)),
             qPrintable(sink.messages[0].text));
    QVERIFY(sink.messages[0].text.size() > QStringLiteral("Could not write camera file %1: ").arg(path).size());
    QCOMPARE(window.CurrentCamera().name, std::string("No Camera Selected"));
  }
};

QTEST_MAIN(CameraEditorTest)
#include "test_camera_editor.moc"
