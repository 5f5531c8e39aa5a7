// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The settings tool's window: its controls, made and placed as its design has them.
#include "supervisor/form1.h"

#include "controls/focusring.h"
#include "toolkit/application.h"
#include "toolkit/colour.h"
#include "toolkit/fonts.h"
#include "toolkit/units.h"

#include <algorithm>
#include <utility>

namespace supervisor {

namespace {

using common::place;
using common::setColours;

const QString sansSerif = QStringLiteral("MS Sans Serif");

// A caption on the window: left and top aligned, cut off rather than wrapped.
void setUpLabel(QLabel *label, const QString &caption, int left, int top, int width, int height) {
    label->setText(caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(common::designFont(sansSerif, 12, true));
    setColours(label, common::lightYellow, common::systemWindowText);
    place(label, left, top, width, height);
}

void setUpOption(common::Option3D *option, double points, common::ColourValue text, int left,
                 int top, int width, int height) {
    place(option, left, top, width, height);
    option->setCaptionFont(common::designFont(sansSerif, points, true));
    common::setTextColour(option, text);
}

// Both captions of a pair in one size: the size that fits the longer one.
void matchCaptions(const std::array<common::Option3D *, 2> &pair) {
    const int pixelSize = std::min(pair[0]->font().pixelSize(), pair[1]->font().pixelSize());
    for (common::Option3D *option : pair) {
        QFont font = option->captionFont();
        font.setPixelSize(pixelSize);
        option->setCaptionFont(font);
    }
}

} // namespace

void Form1::layOutWindow() {
    setWindowTitle(QStringLiteral("Varnelkontor"));
    // A fixed frame with close, minimise and maximise boxes: the window is its design's size or,
    // maximised, the screen's (common::fixFrame).
    common::fixFrame(*this, common::twipsToPixels(designSize));
    setFont(common::designFont(sansSerif, 8.25, true));
    setColours(this, common::lightYellow, common::black);
}

// The picture chooser.
void Form1::layOutChooser() {
    Label2 = new QLabel(this);
    setUpLabel(Label2, QStringLiteral("Välj 9st. bilder"), 960, 240, 2295, 375);
    Dir1 = new common::DirListBox(this);
    place(Dir1, 960, 600, 2175, 2790);
    Dir1->setFont(common::designFont(sansSerif, 9.75, true));
    setColours(Dir1, common::white, common::black);

    Text1 = new QLineEdit(this);
    place(Text1, 3120, 120, 2160, 495);
    Text1->setFont(common::designFont(sansSerif, 12, true));
    Text1->hide();

    File1 = new common::FileListBox(this);
    place(File1, 3120, 600, 2175, 2730);
    File1->setFont(common::designFont(sansSerif, 12, true));
    setColours(File1, common::systemWindowBackground, common::systemWindowText);
    File1->setPattern(QStringLiteral("*.ico"));
    File1->setPath(Dir1->path());

    Label1 = new QLabel(this);
    setUpLabel(Label1, QStringLiteral("Valda bilder"), 5640, 240, 1815, 375);
    List1 = new common::ListBox(this);
    place(List1, 5640, 600, 2175, 2730);
    List1->setFont(common::designFont(sansSerif, 12, true));
    setColours(List1, common::systemWindowBackground, common::black);

    Image1 = new common::Image(this);
    place(Image1, 8040, 600, 540, 540);
    Image1->setSunkenBorder(true);
    // Selectable, so the keyboard reaches it after the list of chosen pictures.
    previewReason = new QLabel(this);
    place(previewReason, 7920, 1200, 1455, 2130);
    previewReason->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    previewReason->setWordWrap(true);
    previewReason->setFont(common::designFont(sansSerif, 8.25, false));
    setColours(previewReason, common::lightYellow, common::systemWindowText);
    previewReason->setTextInteractionFlags(Qt::TextSelectableByKeyboard |
                                           Qt::TextSelectableByMouse);
    previewReason->setFocusPolicy(Qt::NoFocus); // a stop of Tab only while it says something
    new common::FocusRing(previewReason);

    List2 = new common::ListBox(this);
    place(List2, 8040, 1320, 855, 615);
    setColours(List2, common::systemWindowBackground, common::black);
    List2->hide();

    Command3D1 = new common::Command3D(QStringLiteral("Lägg till"), this);
    place(Command3D1, 7200, 2040, 2175, 495);
    Command3D1->setFont(common::designFont(sansSerif, 12, true));
    common::setTextColour(Command3D1, common::systemWindowText);
    Command3D1->hide(); // lies over List1; adding is by double click only
}

// The three numbers.
void Form1::layOutNumbers() {
    for (QLabel *&label : Label4)
        label = new QLabel(this);
    for (QLabel *&value : Label3)
        value = new QLabel(this);
    for (common::VScrollBar *&bar : VScroll1)
        bar = new common::VScrollBar(this);

    setUpLabel(Label4[3], QStringLiteral("Mellan vilka tavrinor:"), 4560, 3720, 2415, 375);
    setUpLabel(Label4[0], QStringLiteral("Antal övningar"), 960, 4080, 1815, 375);
    setUpLabel(Label4[1], QStringLiteral("Minsta tavrin"), 3840, 4080, 1815, 375);
    setUpLabel(Label4[2], QStringLiteral("Högsta tavrin"), 6000, 4080, 1815, 375);
    const std::array<int, 3> groupLeft{960, 3840, 6000};
    for (std::size_t i = 0; i < Label3.size(); ++i) {
        QLabel *value = Label3[i];
        value->setText(QStringLiteral("3"));
        value->setAlignment(Qt::AlignCenter);
        value->setFont(common::designFont(QStringLiteral("Times New Roman"), 30, false));
        value->setFrameStyle(QFrame::Box | QFrame::Plain);
        value->setLineWidth(1);
        setColours(value, common::systemWindowBackground, common::systemWindowText);
        place(value, groupLeft[i], 4440, 735, 855);

        common::VScrollBar *bar = VScroll1[i];
        place(bar, groupLeft[i] + 750, 4440, 255, 855);
        common::setBackgroundColour(bar, common::systemButtonFace);
        bar->setRange(1, 9);
        bar->setSteps(1, 1);
        bar->setValue(3);
    }
}

// The switches and the two buttons.
void Form1::layOutSwitches() {
    Label6 = new QLabel(this);
    setUpLabel(Label6, QStringLiteral("Ljud"), 960, 5640, 855, 375);
    Panel3D2 = new common::Panel3D(this);
    place(Panel3D2, 960, 6000, 1215, 735);
    setColours(Panel3D2, common::systemButtonFace, common::systemWindowText);
    Option3D1 = {new common::Option3D(QStringLiteral("På"), Panel3D2),
                 new common::Option3D(QStringLiteral("Av"), Panel3D2)};
    setUpOption(Option3D1[0], 24, common::systemWindowText, 120, 120, 615, 255);
    setUpOption(Option3D1[1], 24, common::systemWindowText, 120, 360, 615, 255);
    matchCaptions(Option3D1);
    Option3D1[1]->setChecked(true);

    Label7 = {new QLabel(this), new QLabel(this)};
    setUpLabel(Label7[0], QStringLiteral("KLAR-knapp"), 2760, 5640, 1575, 375);
    Panel3D1 = new common::Panel3D(this);
    place(Panel3D1, 2760, 6000, 1215, 750);
    setColours(Panel3D1, common::systemButtonFace, common::systemWindowText);
    Option3D2 = {new common::Option3D(QStringLiteral("Synlig"), Panel3D1),
                 new common::Option3D(QStringLiteral("Osynlig"), Panel3D1)};
    setUpOption(Option3D2[0], 24, common::systemWindowText, 120, 120, 975, 255);
    setUpOption(Option3D2[1], 24, common::systemWindowText, 120, 360, 855, 255);
    matchCaptions(Option3D2);
    Option3D2[0]->setChecked(true);

    setUpLabel(Label7[1], QStringLiteral("STOPP-knapp"), 4560, 5640, 1935, 375);
    SSPanel1 = new common::Panel3D(this);
    place(SSPanel1, 4560, 6000, 1215, 735);
    setColours(SSPanel1, common::lightGrey, common::black);
    SSOption1 = {new common::Option3D(QStringLiteral("Synlig"), SSPanel1),
                 new common::Option3D(QStringLiteral("Osynlig"), SSPanel1)};
    setUpOption(SSOption1[0], 8.25, common::black, 120, 120, 975, 255);
    setUpOption(SSOption1[1], 8.25, common::black, 120, 360, 975, 255);
    matchCaptions(SSOption1);
    SSOption1[0]->setChecked(true);

    Command3D2 = new common::Command3D(QStringLiteral("Spara"), this);
    Command3D3 = new common::Command3D(QStringLiteral("Avbryt"), this);
    for (common::Command3D *button : {Command3D2, Command3D3}) {
        button->setFont(common::designFont(sansSerif, 12, true));
        common::setTextColour(button, common::systemWindowText);
    }
    place(Command3D2, 8160, 5160, 1215, 735);
    place(Command3D3, 8160, 6000, 1215, 735);
}

void Form1::orderTabs() {
    const std::array<QWidget *, 15> tabOrder{
        Dir1,         File1,        List1,        previewReason, VScroll1[0],
        Option3D1[0], Option3D1[1], Command3D2,   Command3D3,    Option3D2[0],
        Option3D2[1], SSOption1[0], SSOption1[1], VScroll1[1],   VScroll1[2]};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Form1::nameControls() {
    setAccessibleName(windowTitle());
    Label2->setBuddy(Dir1);
    Label1->setBuddy(List1);
    Dir1->setAccessibleName(QStringLiteral("Välj 9st. bilder: mappar"));
    File1->setAccessibleName(QStringLiteral("Välj 9st. bilder: filer"));
    List1->setAccessibleName(Label1->text());
    Image1->setAccessibleName(QStringLiteral("Förhandsvisning"));
    for (std::size_t i = 0; i < VScroll1.size(); ++i) {
        Label4[i]->setBuddy(VScroll1[i]);
        VScroll1[i]->setAccessibleName(Label4[i]->text());
    }
    const std::array<std::pair<QLabel *, QWidget *>, 3> panels{
        {{Label6, Panel3D2}, {Label7[0], Panel3D1}, {Label7[1], SSPanel1}}};
    const std::array<const std::array<common::Option3D *, 2> *, 3> pairs{&Option3D1, &Option3D2,
                                                                         &SSOption1};
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const auto [caption, panel] = panels[i];
        caption->setBuddy(panel);
        panel->setAccessibleName(caption->text());
        // The two "Synlig" are told apart by the caption above their panel.
        for (common::Option3D *option : *pairs[i])
            option->setAccessibleName(caption->text() + QStringLiteral(": ") + option->text());
    }
}

} // namespace supervisor
