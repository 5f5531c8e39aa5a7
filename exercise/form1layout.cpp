// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The exercise window's controls, made and placed as its design has them.
#include "exercise/form1.h"

#include "toolkit/colour.h"
#include "toolkit/fonts.h"
#include "toolkit/units.h"

#include <QIcon>

namespace exercise {

namespace {

using common::place;

constexpr std::array<int, 3> paletteColumns{480, 1560, 2640};
constexpr std::array<int, 3> paletteRows{480, 1440, 2400};
constexpr std::array<int, 3> slotColumns{4785, 5865, 6945};
constexpr std::array<int, 3> slotRows{495, 1455, 2415};

const QString sansSerif = QStringLiteral("MS Sans Serif");

} // namespace

void Form1::layOutWindow() {
    setWindowTitle(QStringLiteral("Tavrinor och  objekt"));
    setWindowIcon(QIcon(QStringLiteral(":/apple.ico")));
    // No layout: the controls keep their places whatever size the window gets.
    resize(common::twipsToPixels(designSize));
    common::setColours(this, common::lightCyan, common::systemWindowText);
    setFont(common::designFont(sansSerif, 8.25, true));

    Command3D2 = new common::Command3D(QStringLiteral("Sluta"), this);
    place(Command3D2, 8580, 30, 915, 1200);
    Command3D2->setFont(common::designFont(sansSerif, 9.75, true));
    common::setTextColour(Command3D2, common::systemWindowText);
    Command3D2->setPicture(common::Picture::load(QStringLiteral(":/stop.ico")));
}

// The target: the number to reach and the picture to count.
void Form1::layOutTarget() {
    Panel3D1 = new common::Panel3D(this);
    place(Panel3D1, 3060, 60, 2895, 1335);
    Panel3D1->setBackground(common::white);

    Label1 = new QLabel(QStringLiteral("5"), Panel3D1);
    place(Label1, 480, 120, 870, 1140);
    Label1->setFont(common::designFont(QStringLiteral("Arial Rounded MT Bold"), 48, true));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    common::setColours(Label1, common::white, common::systemWindowText);

    Image1 = new common::Image(Panel3D1);
    place(Image1, 1440, 120, 960, 960);
    Image1->setStretch(true);
}

// The timer that paces the run, and the gauge that counts the tasks down.
void Form1::layOutGauge() {
    Timer1 = new common::Timer(m_services.sound, this);
    Timer1->setInterval(50);

    Panel3D3 = new common::Panel3D(this);
    place(Panel3D3, 8550, 1425, 990, 5430);
    Panel3D3->setBackground(common::systemButtonFace);
    Gauge1 = new common::Gauge(Panel3D3);
    place(Gauge1, 120, 135, 690, 5115);
    Gauge1->setBarColour(common::red);
    Gauge1->setBackground(common::lightGrey);
}

// The palette the child picks from, and the hand that holds the pick.
void Form1::layOutPalette() {
    Panel3D2 = new common::Panel3D(this);
    place(Panel3D2, 60, 1425, 8430, 5415);
    Panel3D2->setBackground(common::lightYellow);

    for (int i = 0; i < 9; ++i) {
        Picture1[i] = new common::PictureBox(Panel3D2);
        place(Picture1[i], paletteColumns[i % 3], paletteRows[i / 3], 975, 855);
        Picture1[i]->setBackground(i == 0 ? common::white : common::systemWindowBackground);
        Image2[i] = new common::Image(Picture1[i]);
        Image2[i]->setGeometry(Picture1[i]->insideRect(common::twipsRect(240, 180, 480, 480)));
    }
    // Palette position 9 holds nothing: it stands for an empty hand and can't be clicked.
    Picture1[9] = new common::PictureBox(Panel3D2);
    place(Picture1[9], 465, 3585, 735, 630);
    Picture1[9]->hide();
    Image2[9] = new common::Image(Picture1[9]);
    Image2[9]->setGeometry(Picture1[9]->insideRect(common::twipsRect(0, 0, 480, 480)));

    // The hand; the child sees the pick only by the highlighted frame.
    Picture2 = new common::PictureBox(Panel3D2);
    place(Picture2, 4035, 1770, 555, 585);
    Picture2->hide();
}

// The answer slots and the button that has them checked.
void Form1::layOutSlots() {
    Command3D1 = new common::Command3D(QStringLiteral("KLAR"), Panel3D2);
    place(Command3D1, 2745, 3720, 2775, 1335);
    Command3D1->setFont(common::designFont(QStringLiteral("Arial"), 18, true));
    common::setTextColour(Command3D1, common::systemWindowText);

    for (int i = 0; i < 9; ++i) {
        Panel3D4[i] = new common::Panel3D(Panel3D2);
        place(Panel3D4[i], slotColumns[i % 3], slotRows[i / 3], 975, 855);
        Panel3D4[i]->setBackground(common::systemButtonFace);
        Image3[i] = new common::Image(Panel3D4[i]);
        place(Image3[i], 210, 195, 555, 480);
    }
}

// The keys: the palette and the slots are each one stop of Tab, with the arrows inside; then
// "KLAR" and "Sluta". Every control a child can press has a name a screen reader says.
void Form1::layOutKeys() {
    for (int i = 0; i < 9; ++i) {
        Picture1[i]->setAccessibleRole(QAccessible::RadioButton);
        Panel3D4[i]->setAccessibleRole(QAccessible::Button);
    }
    m_paletteKeys = new common::FocusGrid(
        std::vector<QWidget *>(Picture1.begin(), Picture1.begin() + 9), 3, this);
    new common::FocusGrid(std::vector<QWidget *>(Panel3D4.begin(), Panel3D4.end()), 3, this);
    const std::array<QWidget *, 20> tabOrder{
        Picture1[0], Picture1[1], Picture1[2], Picture1[3], Picture1[4], Picture1[5], Picture1[6],
        Picture1[7], Picture1[8], Panel3D4[0], Panel3D4[1], Panel3D4[2], Panel3D4[3], Panel3D4[4],
        Panel3D4[5], Panel3D4[6], Panel3D4[7], Panel3D4[8], Command3D1,  Command3D2};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    Panel3D1->setAccessibleName(QStringLiteral("Uppgift"));
    Panel3D2->setAccessibleName(QStringLiteral("Bilder och rutor"));
    Gauge1->setAccessibleName(QStringLiteral("Övningar kvar"));
    Picture2->setAccessibleName(QStringLiteral("Handen"));
    for (int i = 0; i < 9; ++i)
        nameSlot(i);
}

} // namespace exercise
