// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backdrop/form2.h"
#include "base/int16.h"
#include "controls/command3d.h"
#include "controls/dirlistbox.h"
#include "controls/filelistbox.h"
#include "controls/image.h"
#include "controls/listbox.h"
#include "controls/option3d.h"
#include "controls/panel3d.h"
#include "controls/vscrollbar.h"
#include "services/services.h"

#include <QLabel>
#include <QLineEdit>
#include <QSize>
#include <QWidget>

#include <array>

namespace supervisor {

// The supervisor's window: the settings of tavrin.ini in its controls, edited and saved back.
// Its controls and window variables are public, as on the designed form, so the tests can watch
// them; only the window's own procedures change them.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    // The window's client area as designed, in twips.
    static constexpr QSize designSize{9435, 6780};

    explicit Form1(common::Services services);

    // The start work, before the window is shown: the backdrop first, then the settings file.
    // Throws common::Error when the file can't be read.
    void load();
    // Runs load() through the error report; when it succeeds, shows the window centred in front
    // of the backdrop and, without a settings file yet, says so over it. False when the start
    // failed: the window stays hidden.
    bool start();

    common::Form2 Form2;

    // The controls, by the names of the window's design.
    QLabel *Label2 = nullptr;
    common::DirListBox *Dir1 = nullptr;
    QLineEdit *Text1 = nullptr;
    common::FileListBox *File1 = nullptr;
    QLabel *Label1 = nullptr;
    common::ListBox *List1 = nullptr;
    common::Image *Image1 = nullptr;
    common::ListBox *List2 = nullptr;
    common::Command3D *Command3D1 = nullptr;
    std::array<QLabel *, 4> Label4{};
    std::array<QLabel *, 3> Label3{};
    std::array<common::VScrollBar *, 3> VScroll1{};
    QLabel *Label6 = nullptr;
    common::Panel3D *Panel3D2 = nullptr;
    std::array<common::Option3D *, 2> Option3D1{};
    std::array<QLabel *, 2> Label7{};
    common::Panel3D *Panel3D1 = nullptr;
    std::array<common::Option3D *, 2> Option3D2{};
    common::Panel3D *SSPanel1 = nullptr;
    std::array<common::Option3D *, 2> SSOption1{};
    common::Command3D *Command3D2 = nullptr;
    common::Command3D *Command3D3 = nullptr;
    // Under the preview: why the picture can't be shown, as text the keyboard and a screen
    // reader reach; empty while the picture shows.
    QLabel *previewReason = nullptr;

    // The rows of List1 (and List2), and the row of List1 last clicked, -1 for none.
    common::Int16 chosenCount = 0;
    common::Int16 selectedRow = -1;

signals:
    // The window was closed through its frame and has taken the backdrop with it.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The controls where the design has them (form1layout.cpp).
    void layOutWindow();
    void layOutChooser();
    void layOutNumbers();
    void layOutSwitches();
    void orderTabs();
    // The names a screen reader gives the controls, each tied to its caption.
    void nameControls();
    void connectEvents();
    // A slot that runs a procedure of this window through the error report.
    template <typename... Arguments> auto guarded(Arguments... arguments) {
        return common::guardedSlot(m_services.errors, this, arguments...);
    }

    void hamta();
    void changeValue(common::Int16 index);
    void save();
    void cancel();

    void followDirectory();
    void previewFile();
    void addFile();
    void addSelectedFile();
    void addpicture();
    void previewChosen();
    void removeChosen();
    void preview(const QString &path);

    common::Services m_services;
    // What start() tells once the window shows, when there is no settings file to load yet.
    QString m_firstFileNotice;
};

} // namespace supervisor
