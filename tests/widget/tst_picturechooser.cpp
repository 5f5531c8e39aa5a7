// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/exercisesettings.h"
#include "supervisor/form1.h"
#include "support/listclicks.h"
#include "support/supervisorsession.h"
#include "support/testfiles.h"
#include "toolkit/application.h"

#include <QApplication>
#include <QDir>
#include <QStyleHints>
#include <QTest>

using supervisor::Form1;

namespace {

// Clicks (1) or a double click (2) as the window system delivers them: each press and release
// queued behind the one before, so that a modal box opened by one of them holds back the rest
// from the window, as it does a person's. True once all were delivered.
bool clickQueued(QListWidget &list, int row, int clicks) {
    QWidget *target = list.viewport();
    const QPoint at = rowCentre(list, row);
    QWindow *window = target->window()->windowHandle();
    const QPointF local = target->mapTo(target->window(), at);
    const QPointF global = target->mapToGlobal(at);
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    // Well after the last event the tests sent, then all within one double-click interval.
    int timestamp = QTest::lastMouseTimestamp + 2 * interval;
    int delivered = 0;
    for (int i = 0; i < 2 * clicks; ++i) {
        const bool press = i % 2 == 0;
        const QEvent::Type type = press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease;
        const Qt::MouseButtons held = press ? Qt::LeftButton : Qt::NoButton;
        timestamp += 10;
        QMetaObject::invokeMethod(
            window,
            [=, &delivered] {
                qt_handleMouseEvent(window, local, global, held, Qt::LeftButton, type, {},
                                    timestamp);
                ++delivered;
            },
            Qt::QueuedConnection);
    }
    QTest::lastMouseTimestamp = timestamp + 2 * interval;
    return QTest::qWaitFor([&] { return delivered == 2 * clicks; });
}

} // namespace

class TestPictureChooser final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void doubleClickingAFileAddsItWhileFewerThanNine();
    void theDuplicateTestComparesNamesExactly();
    void emptyNameRules();
    void namesTheFileCantStoreAreRefused();
    void aPictureThatCantBeShownIsCrossedOutAndItsRowCanBeRemoved();
    void theKeysAddAndRemoveLikeDoubleClicks();
    void theFileListFollowsItsFolder();
    void removingARowKeepsNamesAndDirectoriesPaired();
    void browsingMovesTheFileList();
    void theStartFolderIsReachedAgainThroughHiddenFolders();
};

void TestPictureChooser::initTestCase() {
    common::setupApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()),
                             QStringLiteral("tst_picturechooser"));
}

void TestPictureChooser::doubleClickingAFileAddsItWhileFewerThanNine() {
    Session session;
    session.writeIcons(QStringLiteral("bilder"),
                       {QStringLiteral("ny.ico"), QStringLiteral("sol.ico")});
    session.writeIni(
        iniBytes({3, 3, 3, -1, -1, -1}, session.writePictures(QStringLiteral("valda"))));
    QVERIFY(session.start());
    Form1 &form = *session.form;
    session.openFolder(session.path(QStringLiteral("bilder")));

    // Nine chosen: the click still previews, the double click adds nothing.
    session.doubleClickFile(QStringLiteral("ny.ico"));
    QCOMPARE(form.Text1->text(), QStringLiteral("ny.ico"));
    QVERIFY(form.Image1->picture().handle() != 0);
    QCOMPARE(form.List1->count(), 9);
    QCOMPARE(form.chosenCount, 9);

    doubleClickRow(*form.List1, 4);
    QCOMPARE(form.chosenCount, 8);
    session.doubleClickFile(QStringLiteral("sol.ico"));
    QCOMPARE(form.List1->count(), 9);
    QCOMPARE(form.List2->count(), 9);
    QCOMPARE(form.List1->rowText(8), QStringLiteral("sol.ico"));
    QCOMPARE(form.List2->rowText(8), form.Dir1->path());
    QCOMPARE(form.chosenCount, 9);
    QVERIFY2(session.recorded.messages.warnings.isEmpty(),
             qPrintable(session.recorded.messages.warnings.join(u'|')));

    // The hidden "Lägg till" adds like a double click.
    doubleClickRow(*form.List1, 8);
    session.clickFile(QStringLiteral("ny.ico"));
    form.Command3D1->click();
    QCOMPARE(form.List1->rowText(8), QStringLiteral("ny.ico"));
    QCOMPARE(form.chosenCount, 9);
}

void TestPictureChooser::theDuplicateTestComparesNamesExactly() {
    Session session;
    session.writeIcons(
        QStringLiteral("andra"),
        {QStringLiteral("bild3.ico"), QStringLiteral("BILD3.ico"), QStringLiteral(" bild3.ico")});
    session.writeIni(
        iniBytes({3, 3, 3, -1, -1, -1}, session.writePictures(QStringLiteral("valda"))));
    QVERIFY(session.start());
    Form1 &form = *session.form;
    session.openFolder(session.path(QStringLiteral("andra")));

    doubleClickRow(*form.List1, 0);
    doubleClickRow(*form.List1, 0);
    QCOMPARE(form.chosenCount, 7);

    // The same name from another folder is the same picture.
    session.doubleClickFile(QStringLiteral("bild3.ico"));
    QCOMPARE(form.chosenCount, 7);
    // Letter case and blanks count.
    session.doubleClickFile(QStringLiteral("BILD3.ico"));
    session.doubleClickFile(QStringLiteral(" bild3.ico"));
    QCOMPARE(form.chosenCount, 9);
    QCOMPARE(form.List1->rowText(7), QStringLiteral("BILD3.ico"));
    QCOMPARE(form.List1->rowText(8), QStringLiteral(" bild3.ico"));
    QVERIFY(session.recorded.messages.warnings.isEmpty());
}

void TestPictureChooser::emptyNameRules() {
    {
        // With pictures chosen, an empty name counts as chosen already: nothing, silently.
        Session session;
        session.writeIni(
            iniBytes({3, 3, 3, -1, -1, -1}, session.writePictures(QStringLiteral("valda"))));
        QVERIFY(session.start());
        Form1 &form = *session.form;
        doubleClickRow(*form.List1, 0);
        QCOMPARE(form.Text1->text(), QString());
        form.Command3D1->click();
        QCOMPARE(form.List1->count(), 8);
        QVERIFY(session.recorded.messages.warnings.isEmpty());
    }
    {
        // With none chosen, an empty name names no picture that could be loaded.
        Session session;
        QVERIFY(session.start());
        Form1 &form = *session.form;
        QCOMPARE(form.chosenCount, 0);
        form.Command3D1->click();
        QCOMPARE(form.List1->count(), 0);
        QCOMPARE(form.List2->count(), 0);
        QCOMPARE(form.chosenCount, 0);
        QCOMPARE(session.recorded.messages.warnings.size(), 1);
    }
}

void TestPictureChooser::namesTheFileCantStoreAreRefused() {
    Session session;
    session.writeIcons(QStringLiteral("bilder"), {QStringLiteral("\"citat\".ico")});
    session.writeIcons(QStringLiteral("mapp \"x\""), {QStringLiteral("vanlig.ico")});
    session.writeIni(
        iniBytes({3, 3, 3, -1, -1, -1}, session.writePictures(QStringLiteral("valda"))));
    QVERIFY(session.start());
    Form1 &form = *session.form;
    doubleClickRow(*form.List1, 0);

    session.openFolder(session.path(QStringLiteral("bilder")));
    session.doubleClickFile(QStringLiteral("\"citat\".ico"));
    QVERIFY(form.Image1->picture().handle() != 0); // it can be looked at, not stored
    QCOMPARE(form.chosenCount, 8);
    QCOMPARE(session.recorded.messages.warnings.size(), 1);
    QVERIFY(session.recorded.messages.warnings[0].contains(QStringLiteral("citattecken")));

    session.openFolder(session.path(QStringLiteral("mapp \"x\"")));
    session.doubleClickFile(QStringLiteral("vanlig.ico"));
    QCOMPARE(form.chosenCount, 8);
    QCOMPARE(session.recorded.messages.warnings.size(), 2);
    QVERIFY(session.recorded.messages.warnings[1].contains(QStringLiteral("citattecken")));
}

void TestPictureChooser::aPictureThatCantBeShownIsCrossedOutAndItsRowCanBeRemoved() {
    Session session;
    session.writeIcons(QStringLiteral("bilder"), {QStringLiteral("hel.ico")});
    writeTestFile(session.path(QStringLiteral("bilder/trasig.ico")), "inte en bild");
    QList<common::PictureRef> pictures = session.writePictures(QStringLiteral("valda"));
    session.writeIni(iniBytes({3, 3, 3, -1, -1, -1}, pictures));
    // One chosen picture has gone, another is no picture at all.
    QVERIFY(QFile::remove(common::picturePath(pictures[3])));
    writeTestFile(common::picturePath(pictures[5]), "inte en bild");
    QVERIFY(session.start());
    Form1 &form = *session.form;
    form.VScroll1[0]->setValue(7);
    session.openFolder(session.path(QStringLiteral("bilder")));
    // Crossed out: red through the middle, empty at the edges, the reason as its tooltip.
    const auto crossedOut = [&form] {
        const QImage shown = form.Image1->picture().pixmap().toImage();
        const QColor middle = shown.pixelColor(16, 16);
        return middle.red() > 128 && middle.green() < 64 && shown.pixelColor(16, 1).alpha() == 0;
    };

    QVERIFY(clickQueued(*form.File1, rowOf(*form.File1, QStringLiteral("trasig.ico")), 1));
    QVERIFY(crossedOut());
    QVERIFY(form.Image1->toolTip().contains(session.path(QStringLiteral("bilder/trasig.ico"))));
    QVERIFY(clickQueued(*form.File1, rowOf(*form.File1, QStringLiteral("hel.ico")), 1));
    QVERIFY(!crossedOut());
    QCOMPARE(form.Image1->toolTip(), QString());

    // The double click on a chosen picture that can't be shown removes its row like any other.
    QVERIFY(clickQueued(*form.List1, 3, 2));
    QVERIFY(crossedOut());
    QVERIFY(form.Image1->toolTip().contains(QStringLiteral("bild4.ico")));
    QVERIFY(clickQueued(*form.List1, 4, 2));
    QVERIFY(form.Image1->toolTip().contains(QStringLiteral("bild6.ico")));
    QCOMPARE(form.chosenCount, 7);
    pictures.removeAt(5);
    pictures.removeAt(3);
    QCOMPARE(form.List1->count(), 7);
    for (int row = 0; row < 7; ++row) {
        QCOMPARE(form.List1->rowText(row), pictures[row].fileName);
        QCOMPARE(form.List2->rowText(row), pictures[row].directory);
    }
    QVERIFY(session.recorded.messages.warnings.isEmpty());

    // A file that can't be shown is not added; the warning comes once the double click is done.
    QVERIFY(clickQueued(*form.File1, rowOf(*form.File1, QStringLiteral("trasig.ico")), 2));
    QCOMPARE(form.chosenCount, 7);
    QCOMPARE(session.recorded.messages.warnings.size(), 1);
    QVERIFY(session.recorded.messages.warnings[0].contains(QStringLiteral("trasig.ico")));
    QVERIFY(clickQueued(*form.File1, rowOf(*form.File1, QStringLiteral("hel.ico")), 2));
    QCOMPARE(form.chosenCount, 8);
    QCOMPARE(form.List1->rowText(7), QStringLiteral("hel.ico"));

    QVERIFY(session.recorded.errors.errors.isEmpty());
    QCOMPARE(session.recorded.end.endCount, 0);
    QCOMPARE(form.Label3[0]->text(), QStringLiteral("7"));
}

void TestPictureChooser::theKeysAddAndRemoveLikeDoubleClicks() {
    Session session;
    session.writeIcons(
        QStringLiteral("bilder"),
        {QStringLiteral("bild2.ico"), QStringLiteral("ny.ico"), QStringLiteral("sol.ico")});
    session.writeIni(
        iniBytes({3, 3, 3, -1, -1, -1}, session.writePictures(QStringLiteral("valda"))));
    QVERIFY(session.start());
    Form1 &form = *session.form;
    session.openFolder(session.path(QStringLiteral("bilder")));

    // Nine chosen: Enter adds nothing, silently.
    form.File1->setFocus();
    QTest::keyClick(form.File1, Qt::Key_Space); // the focus put the cursor on the first row
    QCOMPARE(form.Text1->text(), QStringLiteral("bild2.ico"));
    QTest::keyClick(form.File1, Qt::Key_Return);
    QCOMPARE(form.chosenCount, 9);

    // Delete and Backspace remove the selected row; with none selected they do nothing.
    form.List1->setFocus();
    QTest::keyClick(form.List1, Qt::Key_Delete);
    QCOMPARE(form.chosenCount, 9);
    QTest::keyClick(form.List1, Qt::Key_Down);
    QCOMPARE(form.selectedRow, 1);
    QTest::keyClick(form.List1, Qt::Key_Return); // Enter removes nothing
    QTest::keyClick(form.List1, Qt::Key_Delete);
    QCOMPARE(form.List1->count(), 8);
    QCOMPARE(form.List1->rowText(1), QStringLiteral("bild3.ico"));
    QCOMPARE(form.List2->rowText(1), session.path(QStringLiteral("valda")));
    QTest::keyClick(form.List1, Qt::Key_Up);
    QTest::keyClick(form.List1, Qt::Key_Backspace);
    QCOMPARE(form.chosenCount, 7);

    // Enter adds the selected file: a name chosen already is refused silently, a new one added.
    form.File1->setFocus();
    QTest::keyClick(form.File1, Qt::Key_Return);
    QCOMPARE(form.chosenCount, 8);
    QCOMPARE(form.List1->rowText(7), QStringLiteral("bild2.ico"));
    QTest::keyClick(form.File1, Qt::Key_Return);
    QCOMPARE(form.chosenCount, 8);
    QTest::keyClick(form.File1, Qt::Key_Down);
    QTest::keyClick(form.File1, Qt::Key_Enter);
    QCOMPARE(form.chosenCount, 9);
    QCOMPARE(form.List1->rowText(8), QStringLiteral("ny.ico"));
    QCOMPARE(form.List2->rowText(8), session.path(QStringLiteral("bilder")));
    QTest::keyClick(form.File1, Qt::Key_Delete); // no removing from the file list
    QCOMPARE(rows(*form.File1).size(), 3);
    QVERIFY(session.recorded.messages.warnings.isEmpty());
}

void TestPictureChooser::theFileListFollowsItsFolder() {
    Session session;
    session.writeIcons(QStringLiteral("bilder"),
                       {QStringLiteral("b.ico"), QStringLiteral("c.ico")});
    session.writeIni(iniBytes({3, 3, 3, -1, -1, -1}, ninePictures(QStringLiteral("/b"))));
    QVERIFY(session.start());
    Form1 &form = *session.form;
    session.openFolder(session.path(QStringLiteral("bilder")));
    session.clickFile(QStringLiteral("c.ico"));

    // Copied in and removed while the folder is shown; the selected file stays selected.
    session.writeIcons(QStringLiteral("bilder"), {QStringLiteral("a.ico")});
    writeTestFile(session.path(QStringLiteral("bilder/text.txt")), "x");
    QTRY_COMPARE(rows(*form.File1), (QStringList{"a.ico", "b.ico", "c.ico"}));
    QCOMPARE(form.File1->fileName(), QStringLiteral("c.ico"));
    QVERIFY(QFile::remove(session.path(QStringLiteral("bilder/b.ico"))));
    QTRY_COMPARE(rows(*form.File1), (QStringList{"a.ico", "c.ico"}));
    QCOMPARE(form.File1->fileName(), QStringLiteral("c.ico"));
    QVERIFY(QFile::remove(session.path(QStringLiteral("bilder/c.ico"))));
    QTRY_COMPARE(rows(*form.File1), QStringList{"a.ico"});
    QCOMPARE(form.File1->fileName(), QString());
    QCOMPARE(form.Text1->text(), QStringLiteral("c.ico"));

    // The next folder is followed in turn.
    session.openFolder(session.folder());
    session.writeIcons(QString(), {QStringLiteral("e.ico")});
    QTRY_COMPARE(rows(*form.File1), QStringList{"e.ico"});
}

void TestPictureChooser::removingARowKeepsNamesAndDirectoriesPaired() {
    Session session;
    QList<common::PictureRef> pictures;
    QStringList names;
    for (int i = 0; i < 9; ++i) {
        const QString folder = QStringLiteral("mapp%1").arg(i);
        const QString name = QStringLiteral("bild%1.ico").arg(i);
        session.writeIcons(folder, {name});
        pictures.append({name, session.path(folder)});
    }
    session.writeIni(iniBytes({3, 3, 3, -1, -1, -1}, pictures));
    QVERIFY(session.start());
    Form1 &form = *session.form;

    clickRow(*form.List1, 5);
    QCOMPARE(form.selectedRow, 5);
    const std::uint32_t shownBefore = form.Image1->picture().handle();
    QVERIFY(shownBefore != 0);

    // The double click previews its row first, then removes it; the preview stays.
    doubleClickRow(*form.List1, 2);
    QCOMPARE(form.selectedRow, 2);
    QVERIFY(form.Image1->picture().handle() != 0);
    QVERIFY(form.Image1->picture().handle() != shownBefore);
    QCOMPARE(form.chosenCount, 8);
    pictures.removeAt(2);
    QCOMPARE(form.List1->count(), 8);
    for (int row = 0; row < 8; ++row) {
        QCOMPARE(form.List1->rowText(row), pictures[row].fileName);
        QCOMPARE(form.List2->rowText(row), pictures[row].directory);
    }
    QCOMPARE(form.List1->selectedRow(), -1);

    // With no row selected a double click beside the rows removes nothing.
    doubleClickAt(form.List1->viewport(), QPoint(10, form.List1->viewport()->height() - 5));
    QCOMPARE(form.List1->count(), 8);
    QCOMPARE(form.List2->count(), 8);
    QCOMPARE(form.chosenCount, 8);

    // Clicking a row previews the picture from that row's own directory.
    clickRow(*form.List1, 6);
    QCOMPARE(form.Image1->picture().pixmap().toImage().pixelColor(5, 5),
             common::Picture::load(common::picturePath(pictures[6]))
                 .pixmap()
                 .toImage()
                 .pixelColor(5, 5));
    QVERIFY(session.recorded.messages.warnings.isEmpty());
}

void TestPictureChooser::browsingMovesTheFileList() {
    Session session;
    session.writeIcons(QString(), {QStringLiteral("hem.ico")});
    session.writeIcons(QStringLiteral("bilder"),
                       {QStringLiteral("KATT.ICO"), QStringLiteral("hund.ico")});
    writeTestFile(session.path(QStringLiteral("bilder/notera.txt")), "x");
    session.writeIni(iniBytes({3, 3, 3, -1, -1, -1}, ninePictures(QStringLiteral("/b"))));
    QVERIFY(session.start());
    Form1 &form = *session.form;

    // Both lists start at the current directory.
    QCOMPARE(form.Dir1->path(), session.folder());
    QCOMPARE(form.File1->path(), session.folder());
    QCOMPARE(rows(*form.File1), QStringList{"hem.ico"});
    session.clickFile(QStringLiteral("hem.ico"));
    const std::uint32_t shown = form.Image1->picture().handle();

    doubleClickRow(*form.Dir1, rowOf(*form.Dir1, QStringLiteral("bilder")));
    QCOMPARE(form.Dir1->path(), session.path(QStringLiteral("bilder")));
    QCOMPARE(form.File1->path(), form.Dir1->path());
    QCOMPARE(rows(*form.File1), (QStringList{"hund.ico", "KATT.ICO"}));
    QCOMPARE(form.Text1->text(), QStringLiteral("hem.ico"));
    QCOMPARE(form.Image1->picture().handle(), shown);

    session.clickFile(QStringLiteral("KATT.ICO"));
    QCOMPARE(form.Text1->text(), QStringLiteral("KATT.ICO"));
    QVERIFY(form.Image1->picture().handle() != shown);
    QVERIFY(session.recorded.messages.warnings.isEmpty());
}

// Started from the menu, the tool works in a hidden folder (~/.local/share/tavrin): browsed away
// from it, the supervisor finds the way back from the home folder, which shows of its hidden
// folders only the one on that way.
void TestPictureChooser::theStartFolderIsReachedAgainThroughHiddenFolders() {
    Session session;
    const QString home = session.path(QStringLiteral("hem"));
    const QString start = home + QStringLiteral("/.local/share/tavrin");
    for (const QString &folder :
         {start, home + QStringLiteral("/.cache"), home + QStringLiteral("/Bilder")})
        QVERIFY(QDir().mkpath(folder));
    writeTestFile(start + u'/' + iniName,
                  iniBytes({3, 3, 3, -1, -1, -1}, ninePictures(QStringLiteral("/b"))));
    QVERIFY(QDir::setCurrent(start));
    QVERIFY(session.start());
    Form1 &form = *session.form;

    session.openFolder(home);
    QCOMPARE(rows(*form.Dir1).sliced(form.Dir1->currentRow() + 1),
             (QStringList{".local", "Bilder"}));
    for (const char *step : {".local", "share", "tavrin"})
        doubleClickRow(*form.Dir1, rowOf(*form.Dir1, QLatin1String(step)));
    QCOMPARE(form.Dir1->path(), start);
    QCOMPARE(form.File1->path(), start);
}

QTEST_MAIN(TestPictureChooser)
#include "tst_picturechooser.moc"
