// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/focusring.h"
#include "supervisor/form1.h"
#include "support/accessibletable.h"
#include "support/supervisorsession.h"
#include "support/testfiles.h"
#include "toolkit/application.h"
#include "toolkit/colour.h"
#include "toolkit/fonts.h"
#include "toolkit/units.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <optional>

using supervisor::Form1;

namespace {

// The control whose focus ring is on the screen; null when none is.
QWidget *ringedControl(const QWidget &window) {
    QWidget *ringed = nullptr;
    for (common::FocusRing *ring : window.findChildren<common::FocusRing *>())
        if (ring->isVisible())
            ringed = ring->parentWidget();
    return ringed;
}

} // namespace

class TestSupervisorWindow final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void layoutMatchesTheDesign();
    void tabVisitsTheControlsInDesignOrder();
    void screenReaderNamesEveryControl();
};

void TestSupervisorWindow::initTestCase() {
    common::setupApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()),
                             QStringLiteral("tst_supervisorwindow"));
}

void TestSupervisorWindow::layoutMatchesTheDesign() {
    Session session;
    QVERIFY(session.start());
    Form1 &f = *session.form;

    QCOMPARE(f.windowTitle(), QStringLiteral("Varnelkontor"));
    QCOMPARE(f.size(), QSize(629, 452));
    QCOMPARE(f.minimumSize(), f.size());
    QVERIFY(f.windowFlags() & Qt::WindowMaximizeButtonHint);
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
    // The start values of Label3 and the bars: tst_settingseditor's
    // aMissingFileStartsFromTheDesignValues.
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

void TestSupervisorWindow::tabVisitsTheControlsInDesignOrder() {
    Session session;
    QVERIFY(session.start());
    Form1 &form = *session.form;
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Dir1->setFocus();
    QCOMPARE(QApplication::focusWidget(), form.Dir1);

    // An option pair is one stop, at its selected button; the arrow keys move inside the pair.
    // Every stop shows its focus with a ring, a value bar's around the whole bar.
    const auto tabRound = [&form](std::size_t stops) {
        std::vector<QWidget *> visited;
        for (std::size_t i = 0; i < stops; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            visited.push_back(focus);
            QWidget *bar = qobject_cast<common::VScrollBar *>(focus->parentWidget());
            QWidget *ringed = bar ? bar : focus;
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

void TestSupervisorWindow::screenReaderNamesEveryControl() {
    Session session;
    session.writeIni(iniBytes({2, 4, 7, -1, 0, -1}, session.writePictures(QStringLiteral("b"))));
    QVERIFY(session.start());
    Form1 &f = *session.form;
    // clang-format off
    const std::vector<AccessibleRow> table{
        {&f,              QAccessible::Window,      "Varnelkontor",              {}, {}},
        {f.Dir1,          QAccessible::List,        "Välj 9st. bilder: mappar",  {}, {}},
        {f.File1,         QAccessible::List,        "Välj 9st. bilder: filer",   {}, {}},
        {f.List1,         QAccessible::List,        "Valda bilder",              {}, {}},
        {f.Image1,        QAccessible::Graphic,     "Förhandsvisning",           {}, {}},
        // The bars are drawn mirrored; the value is the number shown all the same.
        {f.VScroll1[0]->bar(), QAccessible::Slider, "Antal övningar",            2,  {}},
        {f.VScroll1[1]->bar(), QAccessible::Slider, "Minsta tavrin",             4,  {}},
        {f.VScroll1[2]->bar(), QAccessible::Slider, "Högsta tavrin",             7,  {}},
        {f.Panel3D2,      QAccessible::Grouping,    "Ljud",                      {}, {}},
        {f.Option3D1[0],  QAccessible::RadioButton, "Ljud: På",                  {}, true},
        {f.Option3D1[1],  QAccessible::RadioButton, "Ljud: Av",                  {}, false},
        {f.Option3D2[0],  QAccessible::RadioButton, "KLAR-knapp: Synlig",        {}, false},
        {f.Option3D2[1],  QAccessible::RadioButton, "KLAR-knapp: Osynlig",       {}, true},
        {f.SSOption1[0],  QAccessible::RadioButton, "STOPP-knapp: Synlig",       {}, true},
        {f.SSOption1[1],  QAccessible::RadioButton, "STOPP-knapp: Osynlig",      {}, false},
        {f.Command3D2,    QAccessible::Button,      "Spara",                     {}, {}},
        {f.Command3D3,    QAccessible::Button,      "Avbryt",                    {}, {}},
    };
    // clang-format on
    verifyAccessible(table);
    if (QTest::currentTestFailed())
        return;

    // "Increase" raises the number shown, and the window follows as after a click.
    QAccessibleInterface *largest = QAccessible::queryAccessibleInterface(f.VScroll1[2]->bar());
    largest->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    QCOMPARE(f.Label3[2]->text(), QStringLiteral("8"));
    QCOMPARE(largest->valueInterface()->currentValue().toInt(), 8);
    QAccessibleInterface *smallest = QAccessible::queryAccessibleInterface(f.VScroll1[1]->bar());
    smallest->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    QCOMPARE(f.Label3[1]->text(), QStringLiteral("3"));
    smallest->valueInterface()->setCurrentValue(9); // above the largest: it stops there
    QCOMPARE(f.Label3[1]->text(), QStringLiteral("8"));

    // A picture that can't be shown says why, in text the keyboard reaches.
    writeTestFile(session.path(QStringLiteral("b/trasig.ico")), "inte en bild");
    session.openFolder(session.path(QStringLiteral("b")));
    session.clickFile(QStringLiteral("trasig.ico"));
    QVERIFY(f.previewReason->text().contains(QStringLiteral("trasig.ico")));
    QVERIFY(f.previewReason->isVisible());
    QCOMPARE(f.previewReason->focusPolicy(), Qt::StrongFocus);
    QAccessibleInterface *preview = QAccessible::queryAccessibleInterface(f.Image1);
    QCOMPARE(preview->text(QAccessible::Description), f.previewReason->text());
    session.clickFile(QStringLiteral("bild1.ico"));
    QVERIFY(f.previewReason->text().isEmpty());
    QCOMPARE(f.previewReason->focusPolicy(), Qt::NoFocus);
    QCOMPARE(preview->text(QAccessible::Name), QStringLiteral("Förhandsvisning: bild1.ico"));
}

QTEST_MAIN(TestSupervisorWindow)
#include "tst_supervisorwindow.moc"
