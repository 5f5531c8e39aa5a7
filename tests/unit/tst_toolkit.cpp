// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "base/int16.h"
#include "services/clockrandom.h"
#include "services/dialogmessagebox.h"
#include "support/recordingservices.h"
#include "support/testfiles.h"
#include "toolkit/colour.h"
#include "toolkit/fonts.h"
#include "toolkit/picture.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QPalette>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

class TestToolkit final : public QObject {
    Q_OBJECT

private slots:
    void arithmeticOutside16BitsIsAnError();
    void eachLoadGetsItsOwnHandle();
    void sharingAPictureSharesItsHandle();
    void emptyPicturesAllHaveHandleZero();
    void colourValuesHaveRedInTheLowByte();
    void systemColoursFollowTheApplicationPalette();
    void unknownSystemColourIsAnError();
    void twipsMapExactlyToPixels();
    void clockRandomStaysInTheUnitInterval();
    void guardedHandlerReportsInsteadOfThrowing();
    void designFontsMapToInstalledFaces();
    void messageBoxFollowsItsWindow();
};

void TestToolkit::arithmeticOutside16BitsIsAnError() {
    QCOMPARE(common::add16(32766, 1), 32767);
    QCOMPARE(common::sub16(-32767, 1), -32768);
    QCOMPARE(common::toInt16(-32768), -32768);
    QVERIFY_THROWS_EXCEPTION(common::Error, common::add16(32767, 1));
    QVERIFY_THROWS_EXCEPTION(common::Error, common::sub16(-32768, 1));
    QVERIFY_THROWS_EXCEPTION(common::Error, common::sub16(0, -32768));
    QVERIFY_THROWS_EXCEPTION(common::Error, common::toInt16(40000));
    QCOMPARE(common::floorToInt16(2.99), 2);
    QCOMPARE(common::floorToInt16(-0.5), -1);
    QCOMPARE(common::floorToInt16(32767.9), 32767);
    QVERIFY_THROWS_EXCEPTION(common::Error, common::floorToInt16(32768.0));
    QVERIFY_THROWS_EXCEPTION(common::Error, common::floorToInt16(-32769.0));
    try {
        common::add16(32767, 1);
    } catch (const common::Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("32768")), qPrintable(e.message()));
    }
}

void TestToolkit::eachLoadGetsItsOwnHandle() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("katt.ico"));
    writeTestIcon(path, Qt::red);
    const common::Picture first = common::Picture::load(path);
    const common::Picture second = common::Picture::load(path);
    QVERIFY(first.handle() != 0);
    QVERIFY(second.handle() != 0);
    QVERIFY(first.handle() != second.handle());
    QVERIFY(!(first == second));
    QCOMPARE(first.size(), QSize(32, 32));
    QCOMPARE(first.pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
}

void TestToolkit::sharingAPictureSharesItsHandle() {
    const common::Picture original =
        common::Picture::fromImage(QImage(8, 8, QImage::Format_ARGB32));
    const common::Picture handedOn = original;
    common::Picture assigned;
    assigned = handedOn;
    QCOMPARE(assigned.handle(), original.handle());
    QVERIFY(assigned == original);
}

void TestToolkit::emptyPicturesAllHaveHandleZero() {
    const common::Picture a;
    const common::Picture b;
    QCOMPARE(a.handle(), 0u);
    QVERIFY(a == b);
    QVERIFY(a.isEmpty());
    QVERIFY(a.pixmap().isNull());
    QVERIFY(!(a == common::Picture::fromImage(QImage(1, 1, QImage::Format_ARGB32))));
}

void TestToolkit::colourValuesHaveRedInTheLowByte() {
    QCOMPARE(common::toQColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(common::toQColor(0xFFFF00), QColor(0, 255, 255));
    QCOMPARE(common::toQColor(0x00FFFF80), QColor(128, 255, 255));
    QCOMPARE(common::toQColor(0x0080FFFF), QColor(255, 255, 128));
    QCOMPARE(common::toQColor(0x00C0C0C0), QColor(192, 192, 192));
}

void TestToolkit::systemColoursFollowTheApplicationPalette() {
    const QPalette palette = QApplication::palette();
    QCOMPARE(common::toQColor(common::systemWindowBackground), palette.color(QPalette::Base));
    QCOMPARE(common::toQColor(common::systemWindowText), palette.color(QPalette::Text));
    QCOMPARE(common::toQColor(common::systemButtonFace), palette.color(QPalette::Button));

    QWidget widget;
    common::setBackgroundColour(&widget, 0xFFFF00);
    common::setTextColour(&widget, common::systemWindowText);
    QCOMPARE(widget.palette().color(QPalette::Window), QColor(0, 255, 255));
    QCOMPARE(widget.palette().color(QPalette::WindowText), palette.color(QPalette::Text));
    QVERIFY(widget.autoFillBackground());
}

void TestToolkit::unknownSystemColourIsAnError() {
    QVERIFY_THROWS_EXCEPTION(common::Error, common::toQColor(0x800000FE));
}

void TestToolkit::twipsMapExactlyToPixels() {
    QCOMPARE(common::twipsToPixels(9615), 641);
    QCOMPARE(common::twipsToPixels(6900), 460);
    QCOMPARE(common::twipsToPixels(15), 1);
    QCOMPARE(common::twipsToPixels(0), 0);
    QCOMPARE(common::twipsRect(8580, 30, 915, 1200), QRect(572, 2, 61, 80));
    QCOMPARE(common::twipsToPixels(22), 1); // not a whole pixel: nearest
    QCOMPARE(common::twipsToPixels(23), 2);
}

void TestToolkit::clockRandomStaysInTheUnitInterval() {
    common::ClockRandom random;
    float lowest = 1.0f;
    float highest = 0.0f;
    for (int i = 0; i < 20000; ++i) {
        if (i % 1000 == 0)
            random.reseed();
        const float r = random.next();
        QVERIFY(r >= 0.0f && r < 1.0f);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    // Spread over the whole interval, not stuck near one value.
    QVERIFY(lowest < 0.01f);
    QVERIFY(highest > 0.99f);
}

void TestToolkit::guardedHandlerReportsInsteadOfThrowing() {
    RecordingErrorReporter reporter;
    bool ranToEnd = false;
    common::guarded(reporter, [&] {
        common::add16(32767, 1);
        ranToEnd = true;
    });
    QVERIFY(!ranToEnd);
    QCOMPARE(reporter.errors.size(), 1);
    QVERIFY(reporter.errors.first().startsWith(QStringLiteral("Spill")));

    // The standard library's texts are English: the report says it in Swedish instead.
    common::guarded(reporter, [] { throw std::out_of_range("vector::_M_range_check"); });
    QCOMPARE(reporter.errors.last(), QStringLiteral("Ett oväntat fel inträffade i programmet."));
    common::guarded(reporter, [] { throw std::bad_alloc(); });
    QCOMPARE(reporter.errors.last(), QStringLiteral("Minnet räcker inte till."));
    common::guarded(reporter, [] { throw 5; });
    QCOMPARE(reporter.errors.size(), 4);
}

void TestToolkit::designFontsMapToInstalledFaces() {
    common::installFontSubstitutes();
    const QFont sans = common::designFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    QCOMPARE(sans.pixelSize(), 11);
    QVERIFY(sans.bold());
    QCOMPARE(QFontInfo(sans).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(common::designFont(QStringLiteral("Arial"), 18, true)).family(),
             QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(common::designFont(QStringLiteral("Times New Roman"), 30, false)).family(),
             QStringLiteral("Liberation Serif"));
    QCOMPARE(
        QFontInfo(common::designFont(QStringLiteral("Arial Rounded MT Bold"), 48, true)).family(),
        QStringLiteral("Comfortaa"));
}

// A desktop may tell where a window just shown sits only after a box over it has opened: the box
// moves along once it does.
void TestToolkit::messageBoxFollowsItsWindow() {
    QWidget window;
    window.setGeometry(100, 100, 400, 300);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QMessageBox box(QMessageBox::Information, QString(), QStringLiteral("Text"), QMessageBox::Ok);
    bool followed = false;
    QTimer::singleShot(0, &box, [&] {
        window.move(300, 200);
        followed = QTest::qWaitFor([&] {
            return (box.geometry().center() - window.geometry().center()).manhattanLength() <= 2;
        });
        box.done(QMessageBox::Ok);
    });
    common::execInFront(box);
    QVERIFY(followed);
}

QTEST_MAIN(TestToolkit)
#include "tst_toolkit.moc"
