#include "controls/focusring.h"
#include "settings/error.h"
#include "settings/exercisesettings.h"
#include "supervisor/form1.h"
#include "support/listclicks.h"
#include "support/recordingservices.h"
#include "support/settingsprinter.h"
#include "support/supervisorsession.h"
#include "support/testfiles.h"
#include "toolkit/application.h"
#include "toolkit/colour.h"
#include "toolkit/fonts.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QDir>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <sys/resource.h>

using supervisor::Form1;

namespace {

const QString nineRowsMessage = QStringLiteral("Du måste välja 9 st. bilder ur listan ");

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

// The control whose focus ring is on the screen; null when none is.
QWidget *ringedControl(const QWidget &window) {
    QWidget *ringed = nullptr;
    for (common::FocusRing *ring : window.findChildren<common::FocusRing *>())
        if (ring->isVisible())
            ringed = ring->parentWidget();
    return ringed;
}

// The caption of each number label is its bar's value.
void verifyNumbers(const Form1 &form, int tasks, int smallest, int largest) {
    const std::array<int, 3> expected{tasks, smallest, largest};
    for (std::size_t i = 0; i < 3; ++i) {
        QCOMPARE(form.VScroll1[i]->value(), expected[i]);
        QCOMPARE(form.Label3[i]->text(), QString::number(expected[i]));
    }
}

} // namespace

class TestSupervisor final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void loadingShowsTheFileAndSavingUnchangedWritesItBack_data();
    void loadingShowsTheFileAndSavingUnchangedWritesItBack();
    void onlyMinusOneSelectsTheFirstOption();
    void aBrokenFileOrANumberTheBarsCantHoldEndsTheStart();
    void smallestStaysAtOrBelowLargest();
    void saveNeedsNineRowsAndWritesTheWindow();
    void aFailedSaveKeepsTheOldFileAndTheEdits();
    void cancelAndClosingWriteNothing();
    void doubleClickingAFileAddsItWhileFewerThanNine();
    void theDuplicateTestComparesNamesExactly();
    void emptyNameRules();
    void namesTheFileCantStoreAreRefused();
    void aPictureThatCantBeShownIsCrossedOutAndItsRowCanBeRemoved();
    void theKeysAddAndRemoveLikeDoubleClicks();
    void theFileListFollowsItsFolder();
    void removingARowKeepsNamesAndDirectoriesPaired();
    void browsingMovesTheFileList();
    void aMissingFileStartsFromTheDesignValues();
    void layoutMatchesTheDesign();
    void tabVisitsTheControlsInDesignOrder();
};

void TestSupervisor::initTestCase() {
    common::setupApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()),
                             QStringLiteral("tst_supervisor"));
}

void TestSupervisor::loadingShowsTheFileAndSavingUnchangedWritesItBack_data() {
    QTest::addColumn<QList<int>>("stored");
    QTest::addColumn<QList<int>>("shown");
    QTest::newRow("5 2 7") << QList<int>{5, 2, 7} << QList<int>{5, 2, 7};
    QTest::newRow("smallest above 3 survives") << QList<int>{4, 5, 7} << QList<int>{4, 5, 7};
    QTest::newRow("largest below smallest is raised") << QList<int>{3, 2, 1} << QList<int>{3, 2, 2};
    QTest::newRow("7 and 3 become 7 and 7") << QList<int>{9, 7, 3} << QList<int>{9, 7, 7};
    QTest::newRow("equal") << QList<int>{1, 6, 6} << QList<int>{1, 6, 6};
    QTest::newRow("whole range") << QList<int>{3, 1, 9} << QList<int>{3, 1, 9};
    QTest::newRow("top") << QList<int>{9, 9, 9} << QList<int>{9, 9, 9};
}

void TestSupervisor::loadingShowsTheFileAndSavingUnchangedWritesItBack() {
    QFETCH(QList<int>, stored);
    QFETCH(QList<int>, shown);
    Session session;
    QList<common::PictureRef> pictures = ninePictures(QStringLiteral("/data/bilder"));
    pictures[4] = {QStringLiteral("katt, svart.ico"), QStringLiteral("/andra bilder/")};
    const QByteArray original = iniBytes(stored + QList<int>{-1, -1, 0}, pictures);
    session.writeIni(original);
    QVERIFY(session.start());
    Form1 &form = *session.form;

    verifyNumbers(form, shown[0], shown[1], shown[2]);
    QVERIFY(form.Option3D1[0]->isChecked());
    QVERIFY(form.Option3D2[0]->isChecked());
    QVERIFY(form.SSOption1[1]->isChecked());
    QCOMPARE(form.List1->count(), 9);
    QCOMPARE(form.List2->count(), 9);
    for (int row = 0; row < 9; ++row) {
        QCOMPARE(form.List1->rowText(row), pictures[row].fileName);
        QCOMPARE(form.List2->rowText(row), pictures[row].directory);
    }
    QCOMPARE(form.chosenCount(), 9);
    QVERIFY(form.Form2.isVisible());
    QVERIFY(session.recorded.messages.warnings.isEmpty());
    QVERIFY(session.recorded.messages.notices.isEmpty());
    QVERIFY(session.recorded.errors.errors.isEmpty());

    session.save();
    QCOMPARE(session.recorded.end.endCount, 1);
    QCOMPARE(session.ini(), iniBytes(shown + QList<int>{-1, -1, 0}, pictures));
    if (stored == shown)
        QCOMPARE(session.ini(), original);
}

void TestSupervisor::onlyMinusOneSelectsTheFirstOption() {
    Session session;
    const QList<common::PictureRef> pictures = ninePictures(QStringLiteral("/b"));
    // The six numbers on one line, the way a hand-edited file may hold them.
    QByteArray bytes = "2, 3, 4, 1, 0, 5\r\n";
    bytes += iniBytes({}, pictures);
    session.writeIni(bytes);
    QVERIFY(session.start());
    Form1 &form = *session.form;
    verifyNumbers(form, 2, 3, 4);
    QVERIFY(form.Option3D1[1]->isChecked());
    QVERIFY(form.Option3D2[1]->isChecked());
    QVERIFY(form.SSOption1[1]->isChecked());
    QVERIFY(!form.Option3D1[0]->isChecked());

    session.save();
    QCOMPARE(session.ini(), iniBytes({2, 3, 4, 0, 0, 0}, pictures));
}

void TestSupervisor::aBrokenFileOrANumberTheBarsCantHoldEndsTheStart() {
    const QList<common::PictureRef> pictures = ninePictures(QStringLiteral("/b"));
    // Each error names the file and the setting, in Swedish.
    const QList<std::pair<QByteArray, QString>> broken{
        {iniBytes({12, 3, 4, -1, -1, -1}, pictures),
         "Post 1 (Antal övningar) i inställningsfilen %1: talet 12 är utanför 1–9."},
        {iniBytes({3, 0, 4, -1, -1, -1}, pictures),
         "Post 2 (Minsta tavrin) i inställningsfilen %1: talet 0 är utanför 1–9."},
        {iniBytes({3, 3, 40000, -1, -1, -1}, pictures),
         "Post 3 (Högsta tavrin) i inställningsfilen %1: talet 40000 ryms inte"},
        {iniBytes({3, 3, 4, -1, -1, -1}, pictures).left(60),
         "Inställningsfilen %1 tar slut före post 12 av 24 (Bild 3, mapp)."},
    };
    for (const auto &[bytes, message] : broken) {
        Session session;
        session.writeIni(bytes);
        QVERIFY(!session.start());
        QCOMPARE(session.recorded.errors.errors.size(), 1);
        QVERIFY2(session.recorded.errors.errors[0].contains(message.arg(session.path(iniName))),
                 qPrintable(session.recorded.errors.errors[0]));
        QVERIFY(!session.form->isVisible());
        QVERIFY(session.form->Form2.isVisible());
        QVERIFY(session.recorded.messages.notices.isEmpty());
        QCOMPARE(session.ini(), bytes);
    }
}

void TestSupervisor::smallestStaysAtOrBelowLargest() {
    Session session;
    session.writeIni(iniBytes({3, 2, 4, -1, -1, -1}, ninePictures(QStringLiteral("/b"))));
    QVERIFY(session.start());
    Form1 &form = *session.form;

    form.VScroll1[1]->setValue(8);
    verifyNumbers(form, 3, 4, 4);

    form.VScroll1[1]->setValue(6);
    verifyNumbers(form, 3, 4, 4); // stepped back down to the largest
    form.VScroll1[2]->setValue(7);
    form.VScroll1[1]->setValue(6);
    verifyNumbers(form, 3, 6, 7);
    form.VScroll1[2]->setValue(2);
    verifyNumbers(form, 3, 6, 6);

    // The number of tasks is free of the other two.
    form.VScroll1[0]->setValue(9);
    verifyNumbers(form, 9, 6, 6);
    form.VScroll1[0]->setValue(1);
    verifyNumbers(form, 1, 6, 6);

    // By the arrows: the upper arrow raises; smallest can't pass largest.
    QScrollBar *smallest = form.VScroll1[1]->bar();
    QTest::mouseClick(smallest, Qt::LeftButton, {}, QPoint(smallest->width() / 2, 2));
    verifyNumbers(form, 1, 6, 6);
    QScrollBar *largest = form.VScroll1[2]->bar();
    QTest::mouseClick(largest, Qt::LeftButton, {}, QPoint(largest->width() / 2, 2));
    verifyNumbers(form, 1, 6, 7);
    QTest::mouseClick(smallest, Qt::LeftButton, {}, QPoint(smallest->width() / 2, 2));
    verifyNumbers(form, 1, 7, 7);
    QTest::mouseClick(largest, Qt::LeftButton, {},
                      QPoint(largest->width() / 2, largest->height() - 3));
    verifyNumbers(form, 1, 7, 7);
    QVERIFY(session.recorded.errors.errors.isEmpty());

    session.save();
    QCOMPARE(session.ini().left(11), QByteArray("1\r\n7\r\n7\r\n-1"));
}

void TestSupervisor::saveNeedsNineRowsAndWritesTheWindow() {
    Session session;
    session.writeIcons(QStringLiteral("bilder"), {QStringLiteral("ny.ico")});
    const QList<common::PictureRef> pictures = session.writePictures(QStringLiteral("valda"));
    const QByteArray original = iniBytes({5, 2, 7, -1, -1, 0}, pictures);
    session.writeIni(original);
    QVERIFY(session.start());
    Form1 &form = *session.form;

    doubleClickRow(*form.List1, 0);
    QCOMPARE(form.List1->count(), 8);
    session.save();
    QCOMPARE(session.recorded.messages.warnings, QStringList{nineRowsMessage});
    QVERIFY(session.recorded.errors.errors.isEmpty());
    QCOMPARE(session.ini(), original);
    QCOMPARE(session.recorded.end.endCount, 0);
    QVERIFY(form.isVisible());
    QCOMPARE(form.List1->count(), 8);

    // The window's values, not the file's, are written.
    form.VScroll1[0]->setValue(8);
    form.VScroll1[2]->setValue(9);
    form.VScroll1[1]->setValue(4);
    QTest::mouseClick(form.Option3D1[1], Qt::LeftButton, {}, QPoint(5, 8));
    QTest::mouseClick(form.Option3D2[1], Qt::LeftButton, {}, QPoint(5, 8));
    QTest::mouseClick(form.SSOption1[0], Qt::LeftButton, {}, QPoint(5, 8));
    session.openFolder(session.path(QStringLiteral("bilder")));
    session.doubleClickFile(QStringLiteral("ny.ico"));
    QCOMPARE(form.List1->count(), 9);

    session.save();
    QCOMPARE(session.recorded.messages.warnings.size(), 1);
    QCOMPARE(session.recorded.end.endCount, 1);
    QList<common::PictureRef> saved = pictures.mid(1);
    saved.append({QStringLiteral("ny.ico"), session.path(QStringLiteral("bilder"))});
    QCOMPARE(session.ini(), iniBytes({8, 4, 9, 0, 0, -1}, saved));
}

void TestSupervisor::aFailedSaveKeepsTheOldFileAndTheEdits() {
    Session session;
    const QByteArray original = iniBytes({5, 2, 7, -1, -1, 0}, ninePictures(QStringLiteral("/b")));
    session.writeIni(original);
    QVERIFY(session.start());
    Form1 &form = *session.form;
    form.VScroll1[0]->setValue(9);

    // A limit on the size of written files makes the write fail even for root. The save
    // itself keeps the kernel's SIGXFSZ from ending the program.
    rlimit previous{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit tight = previous;
    tight.rlim_cur = 16;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    session.save();
    setrlimit(RLIMIT_FSIZE, &previous);

    QCOMPARE(session.recorded.messages.warnings,
             QStringList{QStringLiteral(
                             "Inställningsfilen %1 sparades inte: gränsen för hur stora filer som "
                             "får skrivas är nådd. Den tidigare filen är kvar oförändrad. Dina val "
                             "finns kvar i fönstret, så du kan rätta felet och klicka på \"Spara\" "
                             "igen.")
                             .arg(session.path(iniName))});
    QCOMPARE(session.recorded.end.endCount, 0);
    QVERIFY(session.recorded.errors.errors.isEmpty());
    QCOMPARE(session.ini(), original);
    QCOMPARE(QDir(session.folder()).entryList(QDir::Files), QStringList{iniName});
    QCOMPARE(form.Label3[0]->text(), QStringLiteral("9"));
    QVERIFY(form.isVisible());

    session.save();
    QCOMPARE(session.recorded.end.endCount, 1);
    QVERIFY(session.ini().startsWith("9\r\n2\r\n7\r\n"));
}

void TestSupervisor::cancelAndClosingWriteNothing() {
    const QByteArray original = iniBytes({5, 2, 7, -1, -1, 0}, ninePictures(QStringLiteral("/b")));
    {
        Session session;
        session.writeIni(original);
        QVERIFY(session.start());
        session.form->VScroll1[0]->setValue(1);
        QTest::mouseClick(session.form->Command3D3, Qt::LeftButton);
        QCOMPARE(session.recorded.end.endCount, 1);
        QCOMPARE(session.ini(), original);
    }
    {
        Session session;
        session.writeIni(original);
        QVERIFY(session.start());
        session.form->VScroll1[0]->setValue(1);
        QVERIFY(session.form->close());
        QVERIFY(!session.form->isVisible());
        QVERIFY(!session.form->Form2.isVisible());
        QCOMPARE(session.recorded.end.endCount, 0);
        QCOMPARE(session.ini(), original);
    }
}

void TestSupervisor::doubleClickingAFileAddsItWhileFewerThanNine() {
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
    QCOMPARE(form.chosenCount(), 9);

    doubleClickRow(*form.List1, 4);
    QCOMPARE(form.chosenCount(), 8);
    session.doubleClickFile(QStringLiteral("sol.ico"));
    QCOMPARE(form.List1->count(), 9);
    QCOMPARE(form.List2->count(), 9);
    QCOMPARE(form.List1->rowText(8), QStringLiteral("sol.ico"));
    QCOMPARE(form.List2->rowText(8), form.Dir1->path());
    QCOMPARE(form.chosenCount(), 9);
    QVERIFY2(session.recorded.messages.warnings.isEmpty(),
             qPrintable(session.recorded.messages.warnings.join(u'|')));

    // The hidden "Lägg till" adds like a double click.
    doubleClickRow(*form.List1, 8);
    session.clickFile(QStringLiteral("ny.ico"));
    form.Command3D1->click();
    QCOMPARE(form.List1->rowText(8), QStringLiteral("ny.ico"));
    QCOMPARE(form.chosenCount(), 9);
}

void TestSupervisor::theDuplicateTestComparesNamesExactly() {
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
    QCOMPARE(form.chosenCount(), 7);

    // The same name from another folder is the same picture.
    session.doubleClickFile(QStringLiteral("bild3.ico"));
    QCOMPARE(form.chosenCount(), 7);
    // Letter case and blanks count.
    session.doubleClickFile(QStringLiteral("BILD3.ico"));
    session.doubleClickFile(QStringLiteral(" bild3.ico"));
    QCOMPARE(form.chosenCount(), 9);
    QCOMPARE(form.List1->rowText(7), QStringLiteral("BILD3.ico"));
    QCOMPARE(form.List1->rowText(8), QStringLiteral(" bild3.ico"));
    QVERIFY(session.recorded.messages.warnings.isEmpty());
}

void TestSupervisor::emptyNameRules() {
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
        QCOMPARE(form.chosenCount(), 0);
        form.Command3D1->click();
        QCOMPARE(form.List1->count(), 0);
        QCOMPARE(form.List2->count(), 0);
        QCOMPARE(form.chosenCount(), 0);
        QCOMPARE(session.recorded.messages.warnings.size(), 1);
    }
}

void TestSupervisor::namesTheFileCantStoreAreRefused() {
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
    QCOMPARE(form.chosenCount(), 8);
    QCOMPARE(session.recorded.messages.warnings.size(), 1);
    QVERIFY(session.recorded.messages.warnings[0].contains(QStringLiteral("citattecken")));

    session.openFolder(session.path(QStringLiteral("mapp \"x\"")));
    session.doubleClickFile(QStringLiteral("vanlig.ico"));
    QCOMPARE(form.chosenCount(), 8);
    QCOMPARE(session.recorded.messages.warnings.size(), 2);
    QVERIFY(session.recorded.messages.warnings[1].contains(QStringLiteral("citattecken")));
}

void TestSupervisor::aPictureThatCantBeShownIsCrossedOutAndItsRowCanBeRemoved() {
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
    QCOMPARE(form.chosenCount(), 7);
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
    QCOMPARE(form.chosenCount(), 7);
    QCOMPARE(session.recorded.messages.warnings.size(), 1);
    QVERIFY(session.recorded.messages.warnings[0].contains(QStringLiteral("trasig.ico")));
    QVERIFY(clickQueued(*form.File1, rowOf(*form.File1, QStringLiteral("hel.ico")), 2));
    QCOMPARE(form.chosenCount(), 8);
    QCOMPARE(form.List1->rowText(7), QStringLiteral("hel.ico"));

    QVERIFY(session.recorded.errors.errors.isEmpty());
    QCOMPARE(session.recorded.end.endCount, 0);
    QCOMPARE(form.Label3[0]->text(), QStringLiteral("7"));
}

void TestSupervisor::theKeysAddAndRemoveLikeDoubleClicks() {
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
    QCOMPARE(form.chosenCount(), 9);

    // Delete and Backspace remove the selected row; with none selected they do nothing.
    form.List1->setFocus();
    QTest::keyClick(form.List1, Qt::Key_Delete);
    QCOMPARE(form.chosenCount(), 9);
    QTest::keyClick(form.List1, Qt::Key_Down);
    QCOMPARE(form.selectedRow(), 1);
    QTest::keyClick(form.List1, Qt::Key_Return); // Enter removes nothing
    QTest::keyClick(form.List1, Qt::Key_Delete);
    QCOMPARE(form.List1->count(), 8);
    QCOMPARE(form.List1->rowText(1), QStringLiteral("bild3.ico"));
    QCOMPARE(form.List2->rowText(1), session.path(QStringLiteral("valda")));
    QTest::keyClick(form.List1, Qt::Key_Up);
    QTest::keyClick(form.List1, Qt::Key_Backspace);
    QCOMPARE(form.chosenCount(), 7);

    // Enter adds the selected file: a name chosen already is refused silently, a new one added.
    form.File1->setFocus();
    QTest::keyClick(form.File1, Qt::Key_Return);
    QCOMPARE(form.chosenCount(), 8);
    QCOMPARE(form.List1->rowText(7), QStringLiteral("bild2.ico"));
    QTest::keyClick(form.File1, Qt::Key_Return);
    QCOMPARE(form.chosenCount(), 8);
    QTest::keyClick(form.File1, Qt::Key_Down);
    QTest::keyClick(form.File1, Qt::Key_Enter);
    QCOMPARE(form.chosenCount(), 9);
    QCOMPARE(form.List1->rowText(8), QStringLiteral("ny.ico"));
    QCOMPARE(form.List2->rowText(8), session.path(QStringLiteral("bilder")));
    QTest::keyClick(form.File1, Qt::Key_Delete); // no removing from the file list
    QCOMPARE(rows(*form.File1).size(), 3);
    QVERIFY(session.recorded.messages.warnings.isEmpty());
}

void TestSupervisor::theFileListFollowsItsFolder() {
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

void TestSupervisor::removingARowKeepsNamesAndDirectoriesPaired() {
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
    QCOMPARE(form.selectedRow(), 5);
    const std::uint32_t shownBefore = form.Image1->picture().handle();
    QVERIFY(shownBefore != 0);

    // The double click previews its row first, then removes it; the preview stays.
    doubleClickRow(*form.List1, 2);
    QCOMPARE(form.selectedRow(), 2);
    QVERIFY(form.Image1->picture().handle() != 0);
    QVERIFY(form.Image1->picture().handle() != shownBefore);
    QCOMPARE(form.chosenCount(), 8);
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
    QCOMPARE(form.chosenCount(), 8);

    // Clicking a row previews the picture from that row's own directory.
    clickRow(*form.List1, 6);
    QCOMPARE(form.Image1->picture().pixmap().toImage().pixelColor(5, 5),
             common::Picture::load(common::picturePath(pictures[6]))
                 .pixmap()
                 .toImage()
                 .pixelColor(5, 5));
    QVERIFY(session.recorded.messages.warnings.isEmpty());
}

void TestSupervisor::browsingMovesTheFileList() {
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

void TestSupervisor::aMissingFileStartsFromTheDesignValues() {
    Session session;
    QStringList names;
    for (int i = 0; i < 9; ++i)
        names << QStringLiteral("ikon%1.ico").arg(i);
    session.writeIcons(QStringLiteral("ikoner"), names);
    QVERIFY(session.start());
    Form1 &form = *session.form;

    QCOMPARE(session.recorded.messages.notices.size(), 1);
    QVERIFY(session.recorded.messages.notices[0].contains(QStringLiteral("Spara")));
    QVERIFY(session.recorded.errors.errors.isEmpty());
    verifyNumbers(form, 3, 3, 3);
    QVERIFY(form.Option3D1[1]->isChecked());
    QVERIFY(form.Option3D2[0]->isChecked());
    QVERIFY(form.SSOption1[0]->isChecked());
    QCOMPARE(form.List1->count(), 0);
    QCOMPARE(form.List2->count(), 0);
    QCOMPARE(form.chosenCount(), 0);

    session.save();
    QCOMPARE(session.recorded.messages.warnings, QStringList{nineRowsMessage});
    QVERIFY(!QFile::exists(session.path(iniName)));

    session.openFolder(session.path(QStringLiteral("ikoner")));
    for (const QString &name : names)
        session.doubleClickFile(name);
    QCOMPARE(form.chosenCount(), 9);
    session.save();
    QCOMPARE(session.recorded.end.endCount, 1);

    std::array<common::PictureRef, 9> pictures;
    for (std::size_t i = 0; i < 9; ++i)
        pictures[i] = {names[qsizetype(i)], session.path(QStringLiteral("ikoner"))};
    QCOMPARE(common::readExerciseSettings(session.path(iniName)), designValuesWith(pictures));
}

void TestSupervisor::layoutMatchesTheDesign() {
    Session session;
    QVERIFY(session.start());
    Form1 &f = *session.form;

    QCOMPARE(f.windowTitle(), QStringLiteral("Varnelkontor"));
    QCOMPARE(f.size(), QSize(629, 452));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QCOMPARE(f.palette().color(QPalette::Window), common::toQColor(0x0080FFFF));
    QCOMPARE(f.palette().color(QPalette::WindowText), common::toQColor(0));
    QCOMPARE(f.font().pixelSize(),
             common::designFont(QStringLiteral("MS Sans Serif"), 8.25, true).pixelSize());
    QVERIFY(f.font().bold());

    constexpr common::ColourValue none = 0xFFFFFFFF;
    constexpr common::ColourValue yellow = 0x0080FFFF;
    constexpr common::ColourValue face = common::systemButtonFace;
    constexpr common::ColourValue winText = common::systemWindowText;
    constexpr common::ColourValue winBack = common::systemWindowBackground;
    struct Row {
        const char *name;
        QWidget *widget;
        QWidget *container;
        QRect twips;
        bool visible;
        QString caption; // empty: not checked
        common::ColourValue background;
        common::ColourValue text;
        double points; // 0: the caption font is fitted to the control
    };
    // The start values of Label3 and the bars: aMissingFileStartsFromTheDesignValues.
    // clang-format off
    const std::vector<Row> table{
        {"Label2",       f.Label2,       &f,          {960, 240, 2295, 375},   true,  "Välj 9st. bilder",       yellow,     winText, 12},
        {"Dir1",         f.Dir1,         &f,          {960, 600, 2175, 2790},  true,  {},                       0x00FFFFFF, 0,       9.75},
        {"Text1",        f.Text1,        &f,          {3120, 120, 2160, 495},  false, {},                       none,       none,    12},
        {"File1",        f.File1,        &f,          {3120, 600, 2175, 2730}, true,  {},                       winBack,    winText, 12},
        {"Label1",       f.Label1,       &f,          {5640, 240, 1815, 375},  true,  "Valda bilder",           yellow,     winText, 12},
        {"List1",        f.List1,        &f,          {5640, 600, 2175, 2730}, true,  {},                       winBack,    0,       12},
        {"Image1",       f.Image1,       &f,          {8040, 600, 540, 540},   true,  {},                       none,       none,    8.25},
        {"List2",        f.List2,        &f,          {8040, 1320, 855, 615},  false, {},                       none,       none,    8.25},
        {"Command3D1",   f.Command3D1,   &f,          {7200, 2040, 2175, 495}, false, "Lägg till",              none,       winText, 12},
        {"Label4(3)",    f.Label4[3],    &f,          {4560, 3720, 2415, 375}, true,  "Mellan vilka tavrinor:", yellow,     winText, 12},
        {"Label4(0)",    f.Label4[0],    &f,          {960, 4080, 1815, 375},  true,  "Antal övningar",         yellow,     winText, 12},
        {"Label4(1)",    f.Label4[1],    &f,          {3840, 4080, 1815, 375}, true,  "Minsta tavrin",          yellow,     winText, 12},
        {"Label4(2)",    f.Label4[2],    &f,          {6000, 4080, 1815, 375}, true,  "Högsta tavrin",          yellow,     winText, 12},
        {"Label3(0)",    f.Label3[0],    &f,          {960, 4440, 735, 855},   true,  {},                       winBack,    winText, 30},
        {"Label3(1)",    f.Label3[1],    &f,          {3840, 4440, 735, 855},  true,  {},                       winBack,    winText, 30},
        {"Label3(2)",    f.Label3[2],    &f,          {6000, 4440, 735, 855},  true,  {},                       winBack,    winText, 30},
        {"VScroll1(0)",  f.VScroll1[0],  &f,          {1710, 4440, 255, 855},  true,  {},                       none,       none,    8.25},
        {"VScroll1(1)",  f.VScroll1[1],  &f,          {4590, 4440, 255, 855},  true,  {},                       none,       none,    8.25},
        {"VScroll1(2)",  f.VScroll1[2],  &f,          {6750, 4440, 255, 855},  true,  {},                       none,       none,    8.25},
        {"Label6",       f.Label6,       &f,          {960, 5640, 855, 375},   true,  "Ljud",                   yellow,     winText, 12},
        {"Panel3D2",     f.Panel3D2,     &f,          {960, 6000, 1215, 735},  true,  {},                       face,       winText, 8.25},
        {"Option3D1(0)", f.Option3D1[0], f.Panel3D2,  {120, 120, 615, 255},    true,  "På",                     none,       winText, 0},
        {"Option3D1(1)", f.Option3D1[1], f.Panel3D2,  {120, 360, 615, 255},    true,  "Av",                     none,       winText, 0},
        {"Label7(0)",    f.Label7[0],    &f,          {2760, 5640, 1575, 375}, true,  "KLAR-knapp",             yellow,     winText, 12},
        {"Panel3D1",     f.Panel3D1,     &f,          {2760, 6000, 1215, 750}, true,  {},                       face,       winText, 8.25},
        {"Option3D2(0)", f.Option3D2[0], f.Panel3D1,  {120, 120, 975, 255},    true,  "Synlig",                 none,       winText, 0},
        {"Option3D2(1)", f.Option3D2[1], f.Panel3D1,  {120, 360, 855, 255},    true,  "Osynlig",                none,       winText, 0},
        {"Label7(1)",    f.Label7[1],    &f,          {4560, 5640, 1935, 375}, true,  "STOPP-knapp",            yellow,     winText, 12},
        {"SSPanel1",     f.SSPanel1,     &f,          {4560, 6000, 1215, 735}, true,  {},                       0x00C0C0C0, 0,       8.25},
        {"SSOption1(0)", f.SSOption1[0], f.SSPanel1,  {120, 120, 975, 255},    true,  "Synlig",                 none,       0,       8.25},
        {"SSOption1(1)", f.SSOption1[1], f.SSPanel1,  {120, 360, 975, 255},    true,  "Osynlig",                none,       0,       8.25},
        {"Command3D2",   f.Command3D2,   &f,          {8160, 5160, 1215, 735}, true,  "Spara",                  none,       winText, 12},
        {"Command3D3",   f.Command3D3,   &f,          {8160, 6000, 1215, 735}, true,  "Avbryt",                 none,       winText, 12},
    };
    // clang-format on
    for (const Row &row : table) {
        const QString what = QString::fromLatin1(row.name);
        QWidget *widget = row.widget;
        QVERIFY2(widget->parentWidget() == row.container, qPrintable(what));
        QVERIFY2(widget->geometry() == common::twipsRect(row.twips.x(), row.twips.y(),
                                                         row.twips.width(), row.twips.height()),
                 qPrintable(what));
        QVERIFY2(widget->isVisible() == row.visible, qPrintable(what));
        if (!row.caption.isEmpty()) {
            const QString caption = widget->property("text").toString();
            QVERIFY2(caption == row.caption, qPrintable(what + u' ' + caption));
        }
        const QPalette colours = widget->palette();
        if (row.background != none) {
            QVERIFY2(colours.color(QPalette::Window) == common::toQColor(row.background),
                     qPrintable(what));
            QVERIFY2(colours.color(QPalette::Base) == common::toQColor(row.background),
                     qPrintable(what));
        }
        if (row.text != none) {
            QVERIFY2(colours.color(QPalette::WindowText) == common::toQColor(row.text),
                     qPrintable(what));
            QVERIFY2(colours.color(QPalette::Text) == common::toQColor(row.text), qPrintable(what));
        }
        const QFont font = widget->font();
        if (row.points > 0) {
            const bool serif = what.startsWith(QLatin1String("Label3"));
            const QFont design = common::designFont(serif ? QStringLiteral("Times New Roman")
                                                          : QStringLiteral("MS Sans Serif"),
                                                    row.points, !serif);
            QVERIFY2(font.family() == design.family(), qPrintable(what + u' ' + font.family()));
            QVERIFY2(
                font.pixelSize() == design.pixelSize(),
                qPrintable(what +
                           QStringLiteral(" %1 %2").arg(font.pixelSize()).arg(design.pixelSize())));
            QVERIFY2(font.bold() == design.bold(), qPrintable(what));
        } else {
            // 24 points don't fit a button 17 pixels high: the caption is shrunk to fit.
            QVERIFY2(QFontMetrics(font).height() <= widget->height(), qPrintable(what));
            QVERIFY2(font.bold(), qPrintable(what));
        }
    }

    // The number boxes and the lists have single-line borders; only the preview is sunken.
    for (const QFrame *frame : std::initializer_list<const QFrame *>{
             f.Label3[0], f.Label3[1], f.Label3[2], f.Dir1, f.File1, f.List1}) {
        QCOMPARE(frame->frameShape(), QFrame::Box);
        QCOMPARE(frame->frameShadow(), QFrame::Plain);
        QCOMPARE(frame->lineWidth(), 1);
    }
    QCOMPARE(f.Label3[0]->alignment(), Qt::AlignCenter);
    QVERIFY(!f.Image1->stretch());

    // The bars run from 1 to 9.
    for (const common::VScrollBar *bar : f.VScroll1) {
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), 9);
    }
    QCOMPARE(f.File1->pattern(), QStringLiteral("*.ico"));
}

void TestSupervisor::tabVisitsTheControlsInDesignOrder() {
    Session session;
    QVERIFY(session.start());
    Form1 &form = *session.form;
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Dir1->setFocus();
    QCOMPARE(QApplication::focusWidget(), form.Dir1);

    // An option pair is one stop, at its selected button; the arrow keys move inside the pair.
    // The lists and the bars show their focus with a ring; the buttons draw their own.
    const auto tabRound = [&form](std::size_t stops) {
        std::vector<QWidget *> visited;
        for (std::size_t i = 0; i < stops; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            visited.push_back(focus);
            QWidget *bar = qobject_cast<common::VScrollBar *>(focus->parentWidget());
            QWidget *ringed = qobject_cast<QAbstractItemView *>(focus) ? focus : bar;
            if (ringedControl(form) != ringed)
                visited.push_back(nullptr);
        }
        return visited;
    };
    std::vector<QWidget *> expected{form.File1,
                                    form.List1,
                                    form.VScroll1[0]->bar(),
                                    form.Option3D1[1],
                                    form.Command3D2,
                                    form.Command3D3,
                                    form.Option3D2[0],
                                    form.SSOption1[0],
                                    form.VScroll1[1]->bar(),
                                    form.VScroll1[2]->bar(),
                                    form.Dir1};
    QCOMPARE(tabRound(expected.size()), expected);

    form.Option3D1[0]->setChecked(true);
    form.SSOption1[1]->setChecked(true);
    expected[3] = form.Option3D1[0];
    expected[7] = form.SSOption1[1];
    QCOMPARE(tabRound(expected.size()), expected);
}

QTEST_MAIN(TestSupervisor)
#include "tst_supervisor.moc"
