// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/dirlistbox.h"
#include "controls/filelistbox.h"
#include "controls/listbox.h"
#include "controls/option3d.h"
#include "controls/panel3d.h"
#include "controls/vscrollbar.h"
#include "base/error.h"
#include "support/listclicks.h"
#include "support/testfiles.h"
#include "toolkit/application.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList rows(const QListWidget &list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts;
}

void makeFolder(const QString &path) {
    QVERIFY2(QDir().mkpath(path), qPrintable(path));
}

} // namespace

class TestChooserControls final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listKeepsOrderAndRefusesRowsThatDontExist();
    void listClicksPreviewFirstThenDoubleClick();
    void listClickBesideTheRowsClearsTheSelection();
    void valueBarRaisesTowardsTheTopAndRefusesValuesOutsideItsRange();
    void valueBarRunsNestedChangesFromCode();
    void optionButtonsOfOnePanelExcludeEachOtherOnly();
    void optionCaptionShrinksToFitItsButton();
    void fileListMatchesThePatternIgnoringCaseAndSorts();
    void fileListCopesWithMissingAndCrowdedFolders();
    void dirListShowsThePathDownAndTheSubfolders();
    void dirListOpensByDoubleClickOrEnter();
    void dirListShowsTheCurrentNameAtAnyDepth();
};

void TestChooserControls::initTestCase() {
    common::setupApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()),
                             QStringLiteral("tst_choosercontrols"));
}

void TestChooserControls::listKeepsOrderAndRefusesRowsThatDontExist() {
    common::ListBox list;
    for (const char *name : {"katt.ico", "hund.ico", "boll.ico"})
        list.append(QString::fromLatin1(name));
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.rowText(0), QStringLiteral("katt.ico"));
    QCOMPARE(list.rowText(2), QStringLiteral("boll.ico"));
    QCOMPARE(list.selectedRow(), -1);

    list.setCurrentRow(1);
    QCOMPARE(list.selectedRow(), 1);
    list.removeRow(1);
    QCOMPARE(rows(list), (QStringList{"katt.ico", "boll.ico"}));
    QCOMPARE(list.selectedRow(), -1);

    QVERIFY_THROWS_EXCEPTION(common::Error, list.rowText(2));
    QVERIFY_THROWS_EXCEPTION(common::Error, list.rowText(-1));
    QVERIFY_THROWS_EXCEPTION(common::Error, list.removeRow(-1));
    QVERIFY_THROWS_EXCEPTION(common::Error, list.removeRow(2));
    QCOMPARE(list.count(), 2);
}

void TestChooserControls::listClicksPreviewFirstThenDoubleClick() {
    common::ListBox list;
    list.resize(150, 200);
    for (const char *name : {"a", "b", "c"})
        list.append(QString::fromLatin1(name));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    QStringList events;
    connect(&list, &common::ListBox::rowClicked, &list,
            [&] { events << QStringLiteral("click %1").arg(list.selectedRow()); });
    connect(&list, &common::ListBox::rowDoubleClicked, &list,
            [&] { events << QStringLiteral("double %1").arg(list.selectedRow()); });

    clickRow(list, 1);
    doubleClickRow(list, 2);
    QCOMPARE(events, (QStringList{"click 1", "click 2", "double 2"}));

    // Moving the selection with the keys is a choice of a row as well.
    events.clear();
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(events, QStringList{"click 1"});

    // So is dragging it to a row with the button held, and Enter then takes that row.
    connect(&list, &common::ListBox::enterPressed, &list,
            [&] { events << QStringLiteral("enter %1").arg(list.selectedRow()); });
    events.clear();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, rowCentre(list, 0));
    QMouseEvent drag(QEvent::MouseMove, QPointF(rowCentre(list, 2)),
                     QPointF(list.viewport()->mapToGlobal(rowCentre(list, 2))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &drag);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, rowCentre(list, 2));
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(events, (QStringList{"click 2", "enter 2"}));
}

void TestChooserControls::listClickBesideTheRowsClearsTheSelection() {
    common::ListBox list;
    list.resize(150, 200);
    list.append(QStringLiteral("a"));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &common::ListBox::rowClicked);
    QSignalSpy doubles(&list, &common::ListBox::rowDoubleClicked);

    clickRow(list, 0);
    QCOMPARE(list.selectedRow(), 0);
    doubleClickAt(list.viewport(), QPoint(20, 150));
    QCOMPARE(list.selectedRow(), -1);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(doubles.size(), 0);
}

void TestChooserControls::valueBarRaisesTowardsTheTopAndRefusesValuesOutsideItsRange() {
    common::VScrollBar bar;
    bar.setRange(1, 9);
    bar.setSteps(1, 1);
    bar.setValue(3);
    bar.resize(17, 57);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QScrollBar *inner = bar.bar();

    // The upper arrow raises the number, the lower one lowers it.
    QTest::mouseClick(inner, Qt::LeftButton, {}, QPoint(8, 2));
    QCOMPARE(bar.value(), 4);
    QTest::mouseClick(inner, Qt::LeftButton, {}, QPoint(8, 54));
    QCOMPARE(bar.value(), 3);

    // A click above the thumb moves a page of one towards the top.
    QStyleOptionSlider option;
    option.initFrom(inner);
    option.orientation = Qt::Vertical;
    option.minimum = inner->minimum();
    option.maximum = inner->maximum();
    option.sliderPosition = inner->sliderPosition();
    option.sliderValue = inner->value();
    option.singleStep = inner->singleStep();
    option.pageStep = inner->pageStep();
    const QRect above = inner->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                       QStyle::SC_ScrollBarSubPage, inner);
    QVERIFY(!above.isEmpty());
    QTest::mouseClick(inner, Qt::LeftButton, {}, above.center());
    QCOMPARE(bar.value(), 4);

    inner->setFocus();
    QTest::keyClick(inner, Qt::Key_Up);
    QCOMPARE(bar.value(), 5);
    QTest::keyClick(inner, Qt::Key_Down);
    QCOMPARE(bar.value(), 4);

    bar.setValue(9);
    QTest::mouseClick(inner, Qt::LeftButton, {}, QPoint(8, 2));
    QCOMPARE(bar.value(), 9);
    bar.setValue(1);
    QCOMPARE(bar.value(), 1);

    QSignalSpy changes(&bar, &common::VScrollBar::valueChanged);
    QVERIFY_THROWS_EXCEPTION(common::Error, bar.setValue(0));
    QVERIFY_THROWS_EXCEPTION(common::Error, bar.setValue(10));
    QCOMPARE(bar.value(), 1);
    QCOMPARE(changes.size(), 0);
    bar.setValue(1); // no change, no event
    QCOMPARE(changes.size(), 0);
}

void TestChooserControls::valueBarRunsNestedChangesFromCode() {
    common::VScrollBar bar;
    bar.setRange(1, 9);
    bar.setValue(3);
    // A handler that pulls every value above 5 back one step at a time.
    QList<int> seen;
    int depth = 0;
    int deepest = 0;
    connect(&bar, &common::VScrollBar::valueChanged, &bar, [&](common::Int16 value) {
        seen << value;
        ++depth;
        deepest = std::max(deepest, depth);
        if (bar.value() > 5)
            bar.setValue(common::Int16(bar.value() - 1));
        --depth;
    });
    bar.setValue(8);
    QCOMPARE(seen, (QList<int>{8, 7, 6, 5}));
    QCOMPARE(deepest, 4);
    QCOMPARE(bar.value(), 5);
}

void TestChooserControls::optionButtonsOfOnePanelExcludeEachOtherOnly() {
    QWidget window;
    common::Panel3D first(&window);
    common::Panel3D second(&window);
    common::Option3D on(QStringLiteral("På"), &first);
    common::Option3D off(QStringLiteral("Av"), &first);
    common::Option3D shown(QStringLiteral("Synlig"), &second);
    common::Option3D hidden(QStringLiteral("Osynlig"), &second);
    first.setGeometry(0, 0, 80, 50);
    second.setGeometry(100, 0, 80, 50);
    for (common::Option3D *option : {&on, &shown})
        option->setGeometry(8, 8, 65, 17);
    for (common::Option3D *option : {&off, &hidden})
        option->setGeometry(8, 24, 65, 17);
    off.setChecked(true);
    shown.setChecked(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(&on, Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(on.isChecked());
    QVERIFY(!off.isChecked());
    QVERIFY(shown.isChecked());
    QVERIFY(!hidden.isChecked());

    hidden.setChecked(true);
    QVERIFY(!shown.isChecked());
    QVERIFY(on.isChecked());
}

void TestChooserControls::optionCaptionShrinksToFitItsButton() {
    common::Option3D option(QStringLiteral("Osynlig"));
    option.resize(57, 17);
    QFont big(QStringLiteral("MS Sans Serif"));
    big.setPixelSize(32);
    big.setBold(true);
    option.setCaptionFont(big);
    QCOMPARE(option.captionFont().pixelSize(), 32);
    const QFontMetrics metrics(option.font());
    QVERIFY2(metrics.height() <= 17, qPrintable(QString::number(metrics.height())));
    QVERIFY(option.font().pixelSize() < 32);
    QVERIFY(option.font().bold());

    // A font that fits already is kept as it is.
    QFont small = big;
    small.setPixelSize(11);
    option.resize(120, 17);
    option.setCaptionFont(small);
    QCOMPARE(option.font().pixelSize(), 11);
}

void TestChooserControls::fileListMatchesThePatternIgnoringCaseAndSorts() {
    QTemporaryDir dir;
    for (const char *name :
         {"KATT.ICO", "boll.ico", "Hund.Ico", "anteckning.txt", "ico", "a.ico.bak"})
        writeTestFile(dir.filePath(QString::fromLatin1(name)), "x");
    makeFolder(dir.filePath(QStringLiteral("mapp.ico")));

    common::FileListBox list;
    list.setPattern(QStringLiteral("*.ico"));
    list.setPath(dir.path());
    QCOMPARE(rows(list), (QStringList{"boll.ico", "Hund.Ico", "KATT.ICO"}));
    QCOMPARE(list.fileName(), QString());
    list.setCurrentRow(2);
    QCOMPARE(list.fileName(), QStringLiteral("KATT.ICO"));

    // A new directory starts with nothing selected.
    QTemporaryDir other;
    writeTestFile(other.filePath(QStringLiteral("sol.ico")), "x");
    list.setPath(other.path());
    QCOMPARE(rows(list), QStringList{"sol.ico"});
    QCOMPARE(list.fileName(), QString());
}

void TestChooserControls::fileListCopesWithMissingAndCrowdedFolders() {
    QTemporaryDir dir;
    common::FileListBox list;
    list.setPattern(QStringLiteral("*.ico"));
    list.setPath(dir.filePath(QStringLiteral("finns-inte")));
    QCOMPARE(list.count(), 0);

    for (int i = 0; i < 10000; ++i) {
        QFile file(dir.filePath(
            QStringLiteral("bild%1.%2").arg(i, 5, 10, QChar(u'0')).arg(i % 2 ? "ico" : "png")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    list.setPath(dir.path());
    QCOMPARE(list.count(), 5000);
    QCOMPARE(list.item(0)->text(), QStringLiteral("bild00001.ico"));
    QCOMPARE(list.item(4999)->text(), QStringLiteral("bild09999.ico"));
}

void TestChooserControls::dirListShowsThePathDownAndTheSubfolders() {
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    for (const char *name : {"bilder/Djur", "bilder/annat", "bilder/Bilar", "bilder/.dold"})
        makeFolder(base + u'/' + QString::fromLatin1(name));
    writeTestFile(base + QStringLiteral("/bilder/fil.ico"), "x");

    common::DirListBox list;
    list.setPath(base + QStringLiteral("/bilder/"));
    QCOMPARE(list.path(), base + QStringLiteral("/bilder"));

    QStringList expected{QStringLiteral("/")};
    expected << (base + QStringLiteral("/bilder")).split(u'/', Qt::SkipEmptyParts);
    const int current = int(expected.size()) - 1;
    expected << QStringLiteral("annat") << QStringLiteral("Bilar") << QStringLiteral("Djur");
    QCOMPARE(rows(list), expected);
    QCOMPARE(list.currentRow(), current);
    QCOMPARE(list.entryPath(0), QStringLiteral("/"));
    QCOMPARE(list.entryPath(current), base + QStringLiteral("/bilder"));
    QCOMPARE(list.entryPath(current + 2), base + QStringLiteral("/bilder/Bilar"));

    // The root lists its own subfolders below it.
    list.setPath(QStringLiteral("/"));
    QCOMPARE(list.path(), QStringLiteral("/"));
    QCOMPARE(list.item(0)->text(), QStringLiteral("/"));
    QVERIFY(rows(list).contains(QStringLiteral("tmp")));

    // A folder that isn't there (or can't be read) shows the way down and nothing else.
    list.setPath(base + QStringLiteral("/borta"));
    QCOMPARE(list.path(), base + QStringLiteral("/borta"));
    QCOMPARE(list.item(list.count() - 1)->text(), QStringLiteral("borta"));

    // A new list starts at the current directory.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(base + QStringLiteral("/bilder/Djur")));
    common::DirListBox fresh;
    QDir::setCurrent(before);
    QCOMPARE(fresh.path(), base + QStringLiteral("/bilder/Djur"));
}

void TestChooserControls::dirListOpensByDoubleClickOrEnter() {
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    makeFolder(base + QStringLiteral("/bilder/djur"));
    makeFolder(base + QStringLiteral("/aaa")); // opening "bilder" moves it up a row
    common::DirListBox list;
    list.resize(200, 400);
    list.setPath(base);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy changes(&list, &common::DirListBox::pathChanged);

    // A single click only marks an entry.
    const int bilder = int(rows(list).indexOf(QStringLiteral("bilder")));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(list, bilder));
    QCOMPARE(list.path(), base);
    QCOMPARE(changes.size(), 0);

    doubleClickRow(list, bilder);
    QCOMPARE(list.path(), base + QStringLiteral("/bilder"));
    QCOMPARE(changes.size(), 1);
    // The opened folder is the marked entry, whatever entry now lies under the pointer.
    QCOMPARE(list.currentRow(), int(rows(list).lastIndexOf(QStringLiteral("bilder"))));
    QCOMPARE(list.selectedItems().size(), 1);

    list.setFocus();
    list.setCurrentRow(int(rows(list).indexOf(QStringLiteral("djur"))));
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(list.path(), base + QStringLiteral("/bilder/djur"));
    QCOMPARE(changes.size(), 2);

    // Back up to a folder on the way down.
    list.setCurrentRow(int(rows(list).lastIndexOf(QStringLiteral("bilder"))));
    QTest::keyClick(&list, Qt::Key_Enter);
    QCOMPARE(list.path(), base + QStringLiteral("/bilder"));
    QCOMPARE(changes.size(), 3);

    // Opening the folder that is open already changes nothing.
    list.setPath(base + QStringLiteral("/bilder"));
    QCOMPARE(changes.size(), 3);
}

void TestChooserControls::dirListShowsTheCurrentNameAtAnyDepth() {
    QTemporaryDir dir;
    QString deep = QDir(dir.path()).canonicalPath();
    for (int level = 0; level < 12; ++level)
        deep += QStringLiteral("/mapp%1").arg(level);
    deep += QStringLiteral("/bilder från hösten med ett mycket långt namn");
    makeFolder(deep + QStringLiteral("/under"));
    // The size of the settings tool's list.
    common::DirListBox list;
    list.resize(145, 186);
    list.setPath(deep);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    // The selected entry's name is drawn in the right half of its row, not pushed out of sight.
    const QRect row = list.visualItemRect(list.currentItem());
    const QImage shown = list.viewport()->grab().toImage();
    const QColor text = list.palette().color(QPalette::HighlightedText);
    int textPixels = 0;
    for (int x = row.center().x(); x < row.right(); ++x)
        for (int y = row.top(); y <= row.bottom(); ++y)
            textPixels += qGray(shown.pixel(x, y)) > 200 && qGray(text.rgb()) > 200 ? 1 : 0;
    QVERIFY2(textPixels > 10, qPrintable(QString::number(textPixels)));
    QCOMPARE(list.currentItem()->toolTip(), deep);
    QVERIFY(!list.horizontalScrollBar()->isVisible());
}

QTEST_MAIN(TestChooserControls)
#include "tst_choosercontrols.moc"
