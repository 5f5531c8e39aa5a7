// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backdrop/form2.h"
#include "base/int16.h"
#include "controls/command3d.h"
#include "controls/focusgrid.h"
#include "controls/gauge.h"
#include "controls/image.h"
#include "controls/panel3d.h"
#include "controls/picturebox.h"
#include "controls/timer.h"
#include "services/services.h"

#include <QLabel>
#include <QSize>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

namespace exercise {

// The child's exercise window. Its controls and window variables are public, as on the designed
// form, so the tests can watch them; only the window's own procedures change them.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    // The window's client area as designed, in twips.
    static constexpr QSize designSize{9615, 6900};

    explicit Form1(common::Services services);

    // The start sequence: the backdrop first, then the settings and the first task. Throws
    // common::Error when the settings or a palette picture can't be read.
    void load();
    // Runs load() through the error report; when it succeeds, shows the window centred in front
    // of the backdrop and starts ticking. False when the start failed: the window stays hidden.
    bool start();

    void readsettings();
    void newtask();
    void pickpicture();
    void clearslots();
    void checkanswer();
    void bort();
    void playsound(const QString &name);
    // One tick of Timer1: the intro, and the praise five ticks after a right answer.
    void tick();

    common::Form2 Form2;

    common::Command3D *Command3D2 = nullptr;
    common::Panel3D *Panel3D1 = nullptr;
    QLabel *Label1 = nullptr;
    common::Image *Image1 = nullptr;
    common::Timer *Timer1 = nullptr;
    common::Panel3D *Panel3D3 = nullptr;
    common::Gauge *Gauge1 = nullptr;
    common::Panel3D *Panel3D2 = nullptr;
    std::array<common::PictureBox *, 10> Picture1{};
    std::array<common::Image *, 10> Image2{};
    common::PictureBox *Picture2 = nullptr;
    common::Command3D *Command3D1 = nullptr;
    std::array<common::Panel3D *, 9> Panel3D4{};
    std::array<common::Image *, 9> Image3{};

    common::Int16 wrongFound = 0;
    common::Int16 matchCount = 0;
    common::Int16 targetNumber = 0;
    common::Int16 smallestNumber = 0;
    common::Int16 largestNumber = 0;
    common::Int16 taskCount = 0;
    common::Int16 picked = 0;
    common::Int16 previousPicked = 0;
    common::Int16 soundOn = 0;
    common::Int16 doneButtonVisible = 0;
    common::Int16 pacingCounter = 0;
    common::Int16 quitButtonVisible = 0;

signals:
    // The window was closed through its frame and has taken the backdrop with it.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The controls where the design has them (form1layout.cpp).
    void layOutWindow();
    void layOutTarget();
    void layOutGauge();
    void layOutPalette();
    void layOutSlots();
    // The keyboard's way through the window and the names a screen reader gives the controls.
    void layOutKeys();
    void connectEvents();
    // A slot that runs a procedure of this window through the error report.
    template <typename... Arguments> auto guarded(Arguments... arguments) {
        return common::guardedSlot(m_services.errors, this, arguments...);
    }
    // A guarded slot for a press of a control. The window handles nothing while a cue plays: a
    // click or a key waits in the queue by itself, and a press that comes by another way (a
    // screen reader's action) is held here and runs once the cue has finished.
    template <typename... Arguments> auto whenQuiet(Arguments... arguments) {
        return [this, slot = guarded(arguments...)] {
            if (m_services.sound.isPlaying())
                m_held.push_back(slot);
            else
                slot();
        };
    }

    // What a click on the palette, a slot or the quit button does.
    void pickAt(int position);
    void placeAt(int slot);
    void quit();

    // What a screen reader says of a picture of the palette, and of a slot.
    QString pictureName(const common::Picture &picture) const;
    void nameSlot(int slot);
    void nameTask();

    common::Services m_services;
    // The palette, one stop of the Tab key with the arrows inside (the slots are another).
    common::FocusGrid *m_paletteKeys = nullptr;
    // Presses held while a cue played, in their order.
    std::vector<std::function<void()>> m_held;
    // A close asked for while a sound played; it is carried out once the sound has finished.
    bool m_closePending = false;
};

} // namespace exercise
