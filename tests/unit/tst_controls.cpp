// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backdrop/form2.h"
#include "backdrop/waylandstage.h"
#include "controls/command3d.h"
#include "controls/image.h"
#include "controls/listbox.h"
#include "controls/panel3d.h"
#include "controls/timer.h"
#include "support/recordingservices.h"

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestControls final : public QObject {
    Q_OBJECT

private slots:
    void clickLandsOnTheTopmostControlOnly();
    void imageShowsItsPictureStretchedOrAtItsOwnSize();
    void commandButtonClicksAndShowsItsPicture();
    void timerTicksButNotWhileACuePlays();
    void backdropIsBlackFramelessAndCoversTheScreen();
    void waylandStageCentresTheWindowAndLetsItRefuseToClose();
    void tapClicksAndDoubleTapDoubleClicks();
};

void TestControls::clickLandsOnTheTopmostControlOnly() {
    common::Panel3D panel;
    panel.resize(100, 100);
    common::Image image(&panel);
    image.setGeometry(20, 20, 32, 32);
    QSignalSpy panelClicks(&panel, &common::Panel3D::clicked);
    QSignalSpy imageClicks(&image, &common::Image::clicked);

    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(imageClicks.size(), 1);
    QCOMPARE(panelClicks.size(), 0);

    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(80, 80));
    QCOMPARE(panelClicks.size(), 1);
    QCOMPARE(imageClicks.size(), 1);

    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(imageClicks.size(), 1);
}

void TestControls::imageShowsItsPictureStretchedOrAtItsOwnSize() {
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const common::Picture picture = common::Picture::fromImage(red);

    QWidget host;
    host.resize(64, 64);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, Qt::white);
    host.setPalette(palette);
    host.setAutoFillBackground(true);
    common::Image image(&host);
    image.setGeometry(0, 0, 64, 64);
    image.setPicture(picture);
    QCOMPARE(image.picture().handle(), picture.handle());

    QImage shot = host.grab().toImage();
    QCOMPARE(shot.pixelColor(10, 10), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(50, 50), QColor(Qt::white)); // the container shows beside it

    image.setStretch(true);
    shot = host.grab().toImage();
    QCOMPARE(shot.pixelColor(50, 50), QColor(Qt::red));

    image.setPicture(common::Picture());
    shot = host.grab().toImage();
    QCOMPARE(shot.pixelColor(10, 10), QColor(Qt::white));
}

void TestControls::commandButtonClicksAndShowsItsPicture() {
    common::Command3D button(QStringLiteral("Sluta"));
    button.resize(61, 80);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(button.text(), QStringLiteral("Sluta"));

    QImage green(32, 32, QImage::Format_ARGB32);
    green.fill(Qt::green);
    button.setPicture(common::Picture::fromImage(green));
    const QImage shot = button.grab().toImage();
    // The picture sits centred above the caption.
    QCOMPARE(shot.pixelColor(30, 20), QColor(Qt::green));
    QVERIFY(shot.pixelColor(30, 70) != QColor(Qt::green));
}

void TestControls::timerTicksButNotWhileACuePlays() {
    RecordingSound sound;
    common::Timer timer(sound);
    timer.setInterval(10);
    timer.setEnabled(true);
    QVERIFY(timer.isEnabled());
    QSignalSpy ticks(&timer, &common::Timer::tick);
    QVERIFY(ticks.wait(2000));

    qsizetype ticksDuringCue = -1;
    sound.whilePlaying = [&](const QString &) {
        ticks.clear();
        QTest::qWait(100); // events run, as while a sound plays
        ticksDuringCue = ticks.size();
    };
    sound.play(QStringLiteral("wow.wav"));
    QCOMPARE(ticksDuringCue, 0);
    QVERIFY(!sound.isPlaying());
    QVERIFY(ticks.wait(2000));
    timer.setEnabled(false);
    QVERIFY(!timer.isEnabled());
}

void TestControls::backdropIsBlackFramelessAndCoversTheScreen() {
    common::Form2 backdrop;
    backdrop.showBackdrop();
    QVERIFY(backdrop.isVisible());
    QVERIFY(backdrop.flags() & Qt::FramelessWindowHint);
    QVERIFY(backdrop.flags() & Qt::WindowDoesNotAcceptFocus);
    QCOMPARE(backdrop.flags() & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(backdrop.title().isEmpty());
    QCOMPARE(backdrop.windowStates(), Qt::WindowFullScreen);
    QCOMPARE(backdrop.geometry(), QApplication::primaryScreen()->geometry());

    QWidget front;
    front.resize(50, 50);
    backdrop.showInFront(front);
    QCOMPARE(front.windowHandle()->transientParent(), &backdrop);
    QVERIFY(front.isVisible());
    QCOMPARE(front.geometry().center(), backdrop.geometry().center());
    // A click on the backdrop brings a minimised window back.
    front.showMinimized();
    QTRY_VERIFY(front.isMinimized());
    QTest::mouseClick(&backdrop, Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(!front.isMinimized());
}

namespace {
// A window that may refuse to close, as the exercise does while a sound plays.
class RefusingWindow final : public QWidget {
public:
    bool refuse = false;

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!refuse); }
};
} // namespace

void TestControls::waylandStageCentresTheWindowAndLetsItRefuseToClose() {
    common::WaylandStage stage;
    stage.resize(800, 600);
    stage.show();
    RefusingWindow front;
    front.resize(300, 200);
    front.setWindowTitle(QStringLiteral("Fönster"));
    stage.hold(front);
    QVERIFY(!front.isWindow());
    QCOMPARE(front.mapTo(&stage, QPoint(0, 0)), QPoint(250, 200));
    QCOMPARE(stage.windowTitle(), QStringLiteral("Fönster"));

    // The desktop's close is the window's to refuse.
    front.refuse = true;
    QVERIFY(!stage.close());
    QVERIFY(stage.isVisible() && front.isVisible());
    front.refuse = false;
    QVERIFY(stage.close());
    QVERIFY(!front.isVisible());
    stage.release();
    QVERIFY(front.isWindow());
}

// A finger works like the mouse: the exercise picks and places on a tap, the settings tool adds
// and removes on a double tap.
void TestControls::tapClicksAndDoubleTapDoubleClicks() {
    // Ours to delete.
    const std::unique_ptr<QPointingDevice> finger(QTest::createTouchDevice());
    common::Panel3D panel;
    panel.resize(200, 100);
    common::Image image(&panel);
    image.setGeometry(20, 20, 32, 32);
    common::ListBox list(&panel);
    list.setGeometry(100, 0, 100, 100);
    list.append(QStringLiteral("a.ico"));
    list.append(QStringLiteral("b.ico"));
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy imageClicks(&image, &common::Image::clicked);
    QSignalSpy rowDoubleClicks(&list, &common::ListBox::rowDoubleClicked);

    const QPoint onImage(30, 30);
    QTest::touchEvent(&panel, finger.get()).press(0, onImage);
    QTest::touchEvent(&panel, finger.get()).release(0, onImage);
    QTRY_COMPARE(imageClicks.size(), 1);

    const QPoint onRow = list.visualItemRect(list.item(1)).center();
    const QPoint onRowInPanel = list.viewport()->mapTo(&panel, onRow);
    for (int tap = 0; tap < 2; ++tap) {
        QTest::touchEvent(&panel, finger.get()).press(0, onRowInPanel);
        QTest::touchEvent(&panel, finger.get()).release(0, onRowInPanel);
    }
    QTRY_COMPARE(rowDoubleClicks.size(), 1);
    QCOMPARE(list.selectedRow(), 1);
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
