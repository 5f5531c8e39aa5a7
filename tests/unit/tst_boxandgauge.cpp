// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/gauge.h"
#include "controls/image.h"
#include "controls/picturebox.h"
#include "base/error.h"
#include "toolkit/colour.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

class TestBoxAndGauge final : public QObject {
    Q_OBJECT

private slots:
    void pictureBoxDrawsBorderBackgroundAndPicture();
    void pictureBoxClickOnItsMarginOnly();
    void gaugeRefusesValuesItCannotHold();
    void gaugeFillsFromTheBottom();
};

void TestBoxAndGauge::pictureBoxDrawsBorderBackgroundAndPicture() {
    common::PictureBox box;
    box.resize(60, 50);
    QCOMPARE(box.background(), common::systemWindowBackground);
    QVERIFY(box.picture().isEmpty());
    box.setBackground(0xFFFF00);
    QCOMPARE(box.background(), common::ColourValue(0xFFFF00));

    QImage shot = box.grab().toImage();
    QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(59, 49), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(30, 25), QColor(Qt::cyan));

    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const common::Picture picture = common::Picture::fromImage(red);
    box.setPicture(picture);
    QCOMPARE(box.picture().handle(), picture.handle());
    shot = box.grab().toImage();
    QCOMPARE(shot.pixelColor(1, 1), QColor(Qt::red)); // inside the border, top left
    QCOMPARE(shot.pixelColor(16, 16), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(18, 18), QColor(Qt::cyan));

    QCOMPARE(box.insideRect(QRect(16, 12, 32, 32)), QRect(17, 13, 32, 32));
}

void TestBoxAndGauge::pictureBoxClickOnItsMarginOnly() {
    common::PictureBox box;
    box.resize(65, 57);
    common::Image image(&box);
    image.setGeometry(box.insideRect(QRect(16, 12, 32, 32)));
    QSignalSpy boxClicks(&box, &common::PictureBox::clicked);
    QSignalSpy imageClicks(&image, &common::Image::clicked);

    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(imageClicks.size(), 1);
    QCOMPARE(boxClicks.size(), 0);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(boxClicks.size(), 1);
    QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(3, 3));
    QCOMPARE(boxClicks.size(), 1);
}

void TestBoxAndGauge::gaugeRefusesValuesItCannotHold() {
    common::Gauge gauge;
    gauge.setMaximum(5);
    gauge.setValue(5);
    QCOMPARE(gauge.value(), 5);
    gauge.setValue(0);
    QCOMPARE(gauge.value(), 0);
    QVERIFY_THROWS_EXCEPTION(common::Error, gauge.setValue(-1));
    QVERIFY_THROWS_EXCEPTION(common::Error, gauge.setValue(6));
    QCOMPARE(gauge.value(), 0);
    QVERIFY_THROWS_EXCEPTION(common::Error, gauge.setMaximum(-1));
    QCOMPARE(gauge.maximum(), 5);

    gauge.setValue(4);
    gauge.setMaximum(2);
    QCOMPARE(gauge.value(), 2);
    gauge.setMaximum(0);
    QCOMPARE(gauge.value(), 0);
    QVERIFY_THROWS_EXCEPTION(common::Error, gauge.setValue(1));
}

void TestBoxAndGauge::gaugeFillsFromTheBottom() {
    common::Gauge gauge;
    gauge.resize(46, 102);
    gauge.setBarColour(0x0000FF);
    gauge.setBackground(0xC0C0C0);
    gauge.setMaximum(4);
    gauge.setValue(2);
    const QColor grey(0xC0, 0xC0, 0xC0);

    QImage shot = gauge.grab().toImage();
    QCOMPARE(shot.pixelColor(23, 95), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(23, 55), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(23, 45), grey);
    QCOMPARE(shot.pixelColor(23, 5), grey);

    gauge.setValue(4);
    shot = gauge.grab().toImage();
    QCOMPARE(shot.pixelColor(23, 5), QColor(Qt::red));
    gauge.setValue(0);
    shot = gauge.grab().toImage();
    QCOMPARE(shot.pixelColor(23, 95), grey);
}

QTEST_MAIN(TestBoxAndGauge)
#include "tst_boxandgauge.moc"
