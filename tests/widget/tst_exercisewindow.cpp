// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/accessibletable.h"
#include "support/exerciserun.h"
#include "support/testfiles.h"
#include "toolkit/units.h"

#include <QAccessible>
#include <QDir>
#include <QFontInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <optional>

namespace {

using common::ColourValue;
using common::twipsRect;

constexpr ColourValue windowText = common::systemWindowText;
constexpr ColourValue buttonFace = common::systemButtonFace;
constexpr ColourValue windowBackground = common::systemWindowBackground;

struct Row {
    QString name;
    QWidget *widget;
    QWidget *container;
    QRect geometry;
    bool visible;
    std::optional<ColourValue> background;
    std::optional<ColourValue> text;
};

// Controls inside a picture box are placed from the inner edge of its single-line border.
QRect insideBorder(const QRect &rect) {
    return rect.translated(1, 1);
}

std::vector<Row> designTable(exercise::Form1 &f) {
    const int paletteColumns[] = {480, 1560, 2640};
    const int paletteRows[] = {480, 1440, 2400};
    const int slotColumns[] = {4785, 5865, 6945};
    const int slotRows[] = {495, 1455, 2415};
    // clang-format off
    std::vector<Row> rows{
        {"Command3D2",  f.Command3D2,  &f,            twipsRect(8580, 30, 915, 1200),           true,  buttonFace,       windowText},
        {"Panel3D1",    f.Panel3D1,    &f,            twipsRect(3060, 60, 2895, 1335),          true,  0xFFFFFF,         {}},
        {"Label1",      f.Label1,      f.Panel3D1,    twipsRect(480, 120, 870, 1140),           true,  0xFFFFFF,         windowText},
        {"Image1",      f.Image1,      f.Panel3D1,    twipsRect(1440, 120, 960, 960),           true,  {},               {}},
        {"Panel3D3",    f.Panel3D3,    &f,            twipsRect(8550, 1425, 990, 5430),         true,  buttonFace,       {}},
        {"Gauge1",      f.Gauge1,      f.Panel3D3,    twipsRect(120, 135, 690, 5115),           true,  0xC0C0C0,         {}},
        {"Panel3D2",    f.Panel3D2,    &f,            twipsRect(60, 1425, 8430, 5415),          true,  0x80FFFF,         {}},
        {"Picture1(9)", f.Picture1[9], f.Panel3D2,    twipsRect(465, 3585, 735, 630),           false, windowBackground, {}},
        {"Image2(9)",   f.Image2[9],   f.Picture1[9], insideBorder(twipsRect(0, 0, 480, 480)),  false, {},               {}},
        {"Picture2",    f.Picture2,    f.Panel3D2,    twipsRect(4035, 1770, 555, 585),          false, windowBackground, {}},
        {"Command3D1",  f.Command3D1,  f.Panel3D2,    twipsRect(2745, 3720, 2775, 1335),        true,  buttonFace,       windowText},
    };
    for (int i = 0; i < 9; ++i) {
        const QString n = QStringLiteral("(%1)").arg(i);
        const int x = paletteColumns[i % 3], y = paletteRows[i / 3];
        const int sx = slotColumns[i % 3], sy = slotRows[i / 3];
        rows.push_back({"Picture1" + n, f.Picture1[i], f.Panel3D2,    twipsRect(x, y, 975, 855),                    true, i == 0 ? 0xFFFFFF : windowBackground, {}});
        rows.push_back({"Image2" + n,   f.Image2[i],   f.Picture1[i], insideBorder(twipsRect(240, 180, 480, 480)),  true, {},                                   {}});
        rows.push_back({"Panel3D4" + n, f.Panel3D4[i], f.Panel3D2,    twipsRect(sx, sy, 975, 855),                  true, buttonFace,                           {}});
        rows.push_back({"Image3" + n,   f.Image3[i],   f.Panel3D4[i], twipsRect(210, 195, 555, 480),                true, {},                                   {}});
    }
    // clang-format on
    return rows;
}

void checkLayout(exercise::Form1 &form) {
    for (const Row &row : designTable(form)) {
        const char *name = qPrintable(row.name);
        QVERIFY2(row.widget, name);
        QVERIFY2(row.widget->parentWidget() == row.container, name);
        QVERIFY2(row.widget->geometry() == row.geometry,
                 qPrintable(QStringLiteral("%1: %2,%3 %4x%5")
                                .arg(row.name)
                                .arg(row.widget->x())
                                .arg(row.widget->y())
                                .arg(row.widget->width())
                                .arg(row.widget->height())));
        QVERIFY2(row.widget->isVisible() == row.visible, name);
        if (row.background) {
            QVERIFY2(row.widget->autoFillBackground(), name);
            QVERIFY2(row.widget->palette().color(QPalette::Window) ==
                         common::toQColor(*row.background),
                     name);
        }
        if (row.text) {
            const QColor text = common::toQColor(*row.text);
            QVERIFY2(row.widget->palette().color(QPalette::WindowText) == text, name);
            QVERIFY2(row.widget->palette().color(QPalette::ButtonText) == text, name);
        }
    }
}

} // namespace

class TestExerciseWindow final : public QObject {
    Q_OBJECT

private slots:
    void everyControlWhereTheDesignPutsIt();
    void windowCaptionFontsAndPictures();
    void resizingMovesNoControl();
    void screenReaderNamesEveryControl();
    void windowSitsInFrontOfTheBackdropUntilClosed();
    void startFailureLeavesTheWindowHidden_data();
    void startFailureLeavesTheWindowHidden();
    void startFailureEndsTheProgramWithStatus1_data();
    void startFailureEndsTheProgramWithStatus1();
};

void TestExerciseWindow::everyControlWhereTheDesignPutsIt() {
    ExerciseRun run;
    run.load();
    run.form().show();
    checkLayout(run.form());
    QCOMPARE(run.form().Gauge1->barColour(), ColourValue(0x0000FF));
    QCOMPARE(run.form().Picture1[0]->background(), ColourValue(0xFFFFFF));
}

void TestExerciseWindow::windowCaptionFontsAndPictures() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &form = run.form();
    QCOMPARE(form.windowTitle(), QStringLiteral("Tavrinor och  objekt"));
    QCOMPARE(form.size(), QSize(641, 460));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(0x80, 0xFF, 0xFF));
    QVERIFY(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!form.windowIcon().isNull());

    const auto checkFont = [](QWidget *widget, int pixels, const QString &family) {
        QCOMPARE(widget->font().pixelSize(), pixels);
        QVERIFY(widget->font().bold());
        QCOMPARE(widget->font().family(), family);
    };
    checkFont(&form, 11, QStringLiteral("MS Sans Serif"));
    checkFont(form.Command3D2, 13, QStringLiteral("MS Sans Serif"));
    checkFont(form.Command3D1, 24, QStringLiteral("Arial"));
    checkFont(form.Label1, 64, QStringLiteral("Arial Rounded MT Bold"));
    QVERIFY(form.Label1->alignment() & Qt::AlignHCenter);
    QCOMPARE(form.Label1->frameShape(), QFrame::NoFrame);

    QCOMPARE(form.Command3D2->text(), QStringLiteral("Sluta"));
    QCOMPARE(form.Command3D2->picture().size(), QSize(32, 32));
    QCOMPARE(form.Command3D1->text(), QStringLiteral("KLAR"));
    QVERIFY(form.Command3D1->picture().isEmpty());

    QVERIFY(form.Image1->stretch());
    for (int i = 0; i < 10; ++i) {
        QVERIFY(!form.Image2[i]->stretch());
        QVERIFY(form.Picture1[i]->picture().isEmpty());
    }
    for (common::Image *slot : form.Image3)
        QVERIFY(!slot->stretch());

    // The target picture shows at twice its size; a palette picture at its own.
    form.show();
    const QImage target = form.Image1->grab().toImage();
    QCOMPARE(target.pixelColor(60, 60), QColor(Qt::yellow)); // p3.ico
    const QImage frame = form.Picture1[1]->grab().toImage();
    QCOMPARE(frame.pixelColor(17 + 16, 13 + 16), QColor(Qt::green));
    QCOMPARE(frame.pixelColor(17 + 40, 13 + 16), QColor(Qt::white));
}

void TestExerciseWindow::resizingMovesNoControl() {
    ExerciseRun run;
    run.load();
    run.form().show();
    run.form().resize(1000, 700);
    checkLayout(run.form());
    run.form().resize(300, 200);
    checkLayout(run.form());
}

void TestExerciseWindow::windowSitsInFrontOfTheBackdropUntilClosed() {
    ExerciseRun run;
    run.writeSettings();
    exercise::Form1 &form = run.form();
    QVERIFY(form.start());
    QVERIFY(form.isVisible());
    QVERIFY(form.Form2.isVisible());
    QCOMPARE(form.windowHandle()->transientParent(), &form.Form2);
    QVERIFY(!form.isMaximized());
    const QRect screen = form.Form2.geometry();
    QVERIFY(qAbs(form.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(form.geometry().center().y() - screen.center().y()) <= 1);
    QVERIFY(run.services.errors.errors.isEmpty());
    QVERIFY(form.Timer1->isEnabled());
    QCOMPARE(form.Timer1->interval(), 50);

    // Closing the window unloads it, its timer and the backdrop.
    QSignalSpy unloaded(&form, &exercise::Form1::unloaded);
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Form2.isVisible());
    QVERIFY(!form.Timer1->isEnabled());
    QCOMPARE(unloaded.size(), 1);
    QCOMPARE(run.services.end.endCount, 0); // closing is no end call: the program runs out
}

void TestExerciseWindow::startFailureLeavesTheWindowHidden_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("message");
    // Each names the file and the item, and what the adult can do next.
    QTest::newRow("missing file")
        << "missing file"
        << "tavrin.ini finns inte. Starta Varnelkontor (tavrinset) i mappen %1, välj nio";
    QTest::newRow("missing file in a hidden folder")
        << "hidden folder"
        << "tavrin.ini finns inte. Starta Varnelkontor (tavrinset) i mappen %1/.dold (den är "
           "dold, men Ctrl+H visar dolda mappar i filhanteraren), välj nio";
    QTest::newRow("short file") << "short file"
                                << "%1/tavrin.ini tar slut före post 11 av 24 (Bild 3, filnamn). "
                                   "Rätta filen, eller ta bort den";
    QTest::newRow("missing icon")
        << "missing icon"
        << "Post 15 och 16 (Bild 5) i inställningsfilen %1/tavrin.ini: Bilden %1/saknas.ico "
           "finns inte. Lägg tillbaka bilden, eller välj en annan med Varnelkontor (tavrinset) i "
           "mappen %1.";
    QTest::newRow("broken icon") << "broken icon"
                                 << "Post 11 och 12 (Bild 3) i inställningsfilen %1/tavrin.ini: "
                                    "Bilden %1/p2.ico är ingen bild som kan visas.";
    QTest::newRow("range too wide for 16 bits")
        << "range too wide"
        << "Post 2 och 3 (Minsta tavrin och Högsta tavrin) i inställningsfilen %1/tavrin.ini: "
           "talen -32768 och 9";
}

void TestExerciseWindow::startFailureLeavesTheWindowHidden() {
    QFETCH(QString, failure);
    QFETCH(QString, message);
    ExerciseRun run;
    if (failure == "short file") {
        run.writeSettings();
        const QByteArray full = readTestFile(run.dirPath() + "/tavrin.ini");
        writeTestFile(run.dirPath() + "/tavrin.ini", full.left(full.indexOf("\"p2.ico\"")));
    } else if (failure == "missing icon") {
        run.settings.pictures[4].fileName = QStringLiteral("saknas.ico");
        run.writeSettings();
    } else if (failure == "broken icon") {
        writeTestFile(run.dirPath() + "/p2.ico", "inte en bild");
        run.writeSettings();
    } else if (failure == "hidden folder") {
        QVERIFY(QDir(run.dirPath()).mkdir(QStringLiteral(".dold")));
        QVERIFY(QDir::setCurrent(run.dirPath() + QStringLiteral("/.dold")));
    } else if (failure == "range too wide") {
        run.settings.smallestNumber = -32768;
        run.writeSettings();
    }

    exercise::Form1 &form = run.form();
    QVERIFY(!form.start());
    QCOMPARE(run.services.errors.errors.size(), 1);
    QVERIFY2(run.services.errors.errors.first().contains(message.arg(run.dirPath())),
             qPrintable(run.services.errors.errors.first()));
    QVERIFY(form.Form2.isVisible()); // the backdrop came first
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Timer1->isEnabled());
}

void TestExerciseWindow::startFailureEndsTheProgramWithStatus1_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray() << "tavrin.ini finns inte";
    QTest::newRow("short file") << QByteArray("3\r\n1\r\n9\r\n") << "före post 4 av 24";
    QTest::newRow("missing icon") << QByteArray("3\r\n1\r\n9\r\n-1\r\n-1\r\n-1\r\n" +
                                                QByteArray("\"x.ico\"\r\n\".\"\r\n").repeated(9))
                                  << "x.ico finns inte";
}

void TestExerciseWindow::startFailureEndsTheProgramWithStatus1() {
    QFETCH(QByteArray, settings);
    QFETCH(QString, message);
    QTemporaryDir dir;
    if (!settings.isEmpty())
        writeTestFile(dir.filePath(QStringLiteral("tavrin.ini")), settings);

    QProcess program;
    program.setWorkingDirectory(dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TAVRIN_EXECUTABLE), {});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(errors.contains(QStringLiteral("tavrin: ")), qPrintable(errors));
    QVERIFY2(errors.contains(message), qPrintable(errors));
}

void TestExerciseWindow::screenReaderNamesEveryControl() {
    ExerciseRun run;
    run.load();
    exercise::Form1 &f = run.form();
    run.pick(2);
    run.place(4);
    run.pick(3);
    // clang-format off
    std::vector<AccessibleRow> table{
        {&f,            QAccessible::Window,     "Tavrinor och  objekt", {}, {}},
        {f.Label1,      QAccessible::StaticText, "Tavrin 3",             {}, {}},
        {f.Image1,      QAccessible::Graphic,    "p3",                   {}, {}},
        {f.Gauge1,      QAccessible::ProgressBar, "Övningar kvar",       3,  {}},
        {f.Command3D1,  QAccessible::Button,     "KLAR",                 {}, {}},
        {f.Command3D2,  QAccessible::Button,     "Sluta",                {}, {}},
        {f.Panel3D4[4], QAccessible::Button,     "Ruta 5: p2",           {}, {}},
    };
    // clang-format on
    // The pictures are named by their files: position 7 was loaded from p3.ico as well.
    for (int i = 0; i < 9; ++i) {
        table.push_back({f.Picture1[i],
                         QAccessible::RadioButton,
                         QStringLiteral("p%1").arg(i == 7 ? 3 : i),
                         {},
                         i == 3});
        if (i != 4)
            table.push_back({f.Panel3D4[i],
                             QAccessible::Button,
                             QStringLiteral("Ruta %1: tom").arg(i + 1),
                             {},
                             {}});
    }
    verifyAccessible(table);
    if (QTest::currentTestFailed())
        return;

    // A screen reader's press places as a click does; the gauge counts what is left.
    QAccessibleInterface *slot = QAccessible::queryAccessibleInterface(f.Panel3D4[0]);
    f.Panel3D4[0]->setFocus();
    slot->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(slot->text(QAccessible::Name), QStringLiteral("Ruta 1: p3"));
    QVERIFY(!QAccessible::queryAccessibleInterface(f.Picture1[3])->state().checked);
    for (const int other : {4, 8}) {
        run.pick(3);
        run.place(other);
    }
    run.pressDone();
    QCOMPARE(QAccessible::queryAccessibleInterface(f.Gauge1)->text(QAccessible::Value),
             QStringLiteral("2 av 3"));
}

QTEST_MAIN(TestExerciseWindow)
#include "tst_exercisewindow.moc"
