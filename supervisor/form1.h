#pragma once

#include "command3d.h"
#include "dirlistbox.h"
#include "filelistbox.h"
#include "form2.h"
#include "image.h"
#include "int16.h"
#include "listbox.h"
#include "option3d.h"
#include "panel3d.h"
#include "services.h"
#include "vscrollbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <array>

namespace supervisor {

// The supervisor's window: the settings of tavrin.ini in its controls, edited and saved back.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    explicit Form1(common::Services services, QWidget *parent = nullptr);

    // The start work, before the window is shown: the backdrop first, then the settings file.
    void load();
    // Shows the window centred on the screen, in front of the backdrop.
    void showOverBackdrop();

    common::Int16 chosenCount() const { return m_chosenCount; }
    common::Int16 selectedRow() const { return m_selectedRow; }
    const common::Form2 &backdrop() const { return m_backdrop; }

    // The controls, by the names of the window's design. Containers come before what they hold.
    QLabel Label2{this};
    common::DirListBox Dir1{this};
    QLineEdit Text1{this};
    common::FileListBox File1{this};
    QLabel Label1{this};
    common::ListBox List1{this};
    common::Image Image1{this};
    common::ListBox List2{this};
    common::Command3D Command3D1{QStringLiteral("Lägg till"), this};
    std::array<QLabel, 4> Label4{QLabel(this), QLabel(this), QLabel(this), QLabel(this)};
    std::array<QLabel, 3> Label3{QLabel(this), QLabel(this), QLabel(this)};
    std::array<common::VScrollBar, 3> VScroll1{common::VScrollBar(this), common::VScrollBar(this),
                                               common::VScrollBar(this)};
    QLabel Label6{this};
    common::Panel3D Panel3D2{this};
    std::array<common::Option3D, 2> Option3D1{common::Option3D(QStringLiteral("På"), &Panel3D2),
                                              common::Option3D(QStringLiteral("Av"), &Panel3D2)};
    std::array<QLabel, 2> Label7{QLabel(this), QLabel(this)};
    common::Panel3D Panel3D1{this};
    std::array<common::Option3D, 2> Option3D2{
        common::Option3D(QStringLiteral("Synlig"), &Panel3D1),
        common::Option3D(QStringLiteral("Osynlig"), &Panel3D1)};
    common::Panel3D SSPanel1{this};
    std::array<common::Option3D, 2> SSOption1{
        common::Option3D(QStringLiteral("Synlig"), &SSPanel1),
        common::Option3D(QStringLiteral("Osynlig"), &SSPanel1)};
    common::Command3D Command3D2{QStringLiteral("Spara"), this};
    common::Command3D Command3D3{QStringLiteral("Avbryt"), this};

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void layOut();
    void connectEvents();
    template <typename Handler> void handle(Handler handler) {
        common::guarded(m_services.errors, handler);
    }

    void hamta();
    void changeValue(common::Int16 index);
    void save();
    void cancel();

    void followDirectory();
    void previewFile();
    void addFile();
    void addpicture();
    void previewChosen();
    void removeChosen();
    void preview(const QString &path);

    common::Services m_services;
    common::Form2 m_backdrop;
    common::Int16 m_chosenCount = 0;
    common::Int16 m_selectedRow = -1;
};

} // namespace supervisor
