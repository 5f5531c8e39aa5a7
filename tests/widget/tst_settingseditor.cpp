// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "settings/exercisesettings.h"
#include "supervisor/form1.h"
#include "support/listclicks.h"
#include "support/settingsprinter.h"
#include "support/supervisorsession.h"
#include "toolkit/application.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <sys/resource.h>

using supervisor::Form1;

namespace {

const QString nineRowsMessage = QStringLiteral("Du måste välja 9 st. bilder ur listan ");

// The caption of each number label is its bar's value.
void verifyNumbers(const Form1 &form, int tasks, int smallest, int largest) {
    const std::array<int, 3> expected{tasks, smallest, largest};
    for (std::size_t i = 0; i < 3; ++i) {
        QCOMPARE(form.VScroll1[i]->value(), expected[i]);
        QCOMPARE(form.Label3[i]->text(), QString::number(expected[i]));
    }
}

} // namespace

class TestSettingsEditor final : public QObject {
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
    void aMissingFileStartsFromTheDesignValues();
};

void TestSettingsEditor::initTestCase() {
    common::setupApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()),
                             QStringLiteral("tst_settingseditor"));
}

void TestSettingsEditor::loadingShowsTheFileAndSavingUnchangedWritesItBack_data() {
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

void TestSettingsEditor::loadingShowsTheFileAndSavingUnchangedWritesItBack() {
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
    QCOMPARE(form.chosenCount, 9);
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

void TestSettingsEditor::onlyMinusOneSelectsTheFirstOption() {
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

void TestSettingsEditor::aBrokenFileOrANumberTheBarsCantHoldEndsTheStart() {
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

void TestSettingsEditor::smallestStaysAtOrBelowLargest() {
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

void TestSettingsEditor::saveNeedsNineRowsAndWritesTheWindow() {
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

void TestSettingsEditor::aFailedSaveKeepsTheOldFileAndTheEdits() {
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

void TestSettingsEditor::cancelAndClosingWriteNothing() {
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

void TestSettingsEditor::aMissingFileStartsFromTheDesignValues() {
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
    QCOMPARE(form.chosenCount, 0);

    session.save();
    QCOMPARE(session.recorded.messages.warnings, QStringList{nineRowsMessage});
    QVERIFY(!QFile::exists(session.path(iniName)));

    session.openFolder(session.path(QStringLiteral("ikoner")));
    for (const QString &name : names)
        session.doubleClickFile(name);
    QCOMPARE(form.chosenCount, 9);
    session.save();
    QCOMPARE(session.recorded.end.endCount, 1);

    std::array<common::PictureRef, 9> pictures;
    for (std::size_t i = 0; i < 9; ++i)
        pictures[i] = {names[qsizetype(i)], session.path(QStringLiteral("ikoner"))};
    QCOMPARE(common::readExerciseSettings(session.path(iniName)), designValuesWith(pictures));
}

QTEST_MAIN(TestSettingsEditor)
#include "tst_settingseditor.moc"
