// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "supervisor/form1.h"

#include "base/error.h"
#include "controls/accessibility.h"
#include "settings/exercisesettings.h"
#include "toolkit/picture.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace supervisor {

namespace {

constexpr int pictureCount = 9;
constexpr int smallestIndex = 1;
constexpr int largestIndex = 2;

common::Int16 labelNumber(const QLabel *label) {
    bool ok = false;
    const int value = label->text().toInt(&ok);
    if (!ok)
        throw common::Error(QStringLiteral("\"%1\" är inget heltal.").arg(label->text()));
    return common::toInt16(value);
}

common::Int16 flag(const std::array<common::Option3D *, 2> &pair) {
    return pair[0]->isChecked() ? -1 : 0;
}

void select(const std::array<common::Option3D *, 2> &pair, common::Int16 value) {
    pair[value == -1 ? 0 : 1]->setChecked(true);
}

// The preview of a picture that can't be shown: an empty box, crossed out.
common::Picture unshownPicture() {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(192, 0, 0), 2));
    painter.drawLine(QPointF(2, 2), QPointF(30, 30));
    painter.drawLine(QPointF(30, 2), QPointF(2, 30));
    painter.end();
    return common::Picture::fromImage(image);
}

} // namespace

Form1::Form1(common::Services services)
    : m_services(services) {
    common::installAccessibility();
    layOutWindow();
    layOutChooser();
    layOutNumbers();
    layOutSwitches();
    orderTabs();
    nameControls();
    connectEvents();
}

void Form1::connectEvents() {
    connect(Dir1, &common::DirListBox::pathChanged, this, guarded(&Form1::followDirectory));
    connect(File1, &common::FileListBox::rowClicked, this, guarded(&Form1::previewFile));
    connect(File1, &common::FileListBox::rowDoubleClicked, this, guarded(&Form1::addFile));
    connect(File1, &common::FileListBox::enterPressed, this, guarded(&Form1::addSelectedFile));
    connect(Command3D1, &common::Command3D::clicked, this, guarded(&Form1::addFile));
    connect(List1, &common::ListBox::rowClicked, this, guarded(&Form1::previewChosen));
    connect(List1, &common::ListBox::rowDoubleClicked, this, guarded(&Form1::removeChosen));
    connect(List1, &common::ListBox::deletePressed, this, guarded(&Form1::removeChosen));
    for (std::size_t i = 0; i < VScroll1.size(); ++i)
        connect(VScroll1[i], &common::VScrollBar::valueChanged, this,
                guarded(&Form1::changeValue, common::Int16(i)));
    connect(Command3D2, &common::Command3D::clicked, this, guarded(&Form1::save));
    connect(Command3D3, &common::Command3D::clicked, this, guarded(&Form1::cancel));
}

void Form1::load() {
    Form2.showBackdrop();
    hamta();
    chosenCount = common::toInt16(List1->count());
}

bool Form1::start() {
    if (!common::guarded(m_services.errors, [this] { load(); }))
        return false;
    Form2.showInFront(*this);
    // Said over the window it is about, once that is on the screen.
    if (!m_firstFileNotice.isEmpty())
        m_services.messages.information(std::exchange(m_firstFileNotice, {}));
    return true;
}

void Form1::closeEvent(QCloseEvent *event) {
    Form2.close();
    event->accept();
    emit unloaded();
}

void Form1::hamta() {
    const bool missing = !QFileInfo::exists(common::settingsFileName());
    if (missing || common::isEmptySettingsFile(common::settingsFileName())) {
        // A first settings file: the window keeps its design values until "Spara" writes one.
        m_firstFileNotice =
            (missing ? QStringLiteral("Inställningsfilen %1 finns inte ännu. Välj nio bilder och "
                                      "klicka på \"Spara\", så skapas den.")
                     : QStringLiteral("Inställningsfilen %1 är tom. Välj nio bilder och klicka på "
                                      "\"Spara\", så fylls den i."))
                .arg(QFileInfo(common::settingsFileName()).absoluteFilePath());
        return;
    }
    const common::ExerciseSettings settings = common::readExerciseSettings();
    // A number the bars can't hold fails the start; said here, the error names the setting.
    const std::array<common::Int16, 3> numbers{settings.taskCount, settings.smallestNumber,
                                               settings.largestNumber};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] < VScroll1[i]->minimum() || numbers[i] > VScroll1[i]->maximum())
            throw common::settingsItemError(
                common::settingsItemLabel(int(i) + 1), int(i) + 1,
                QFileInfo(common::settingsFileName()).absoluteFilePath(),
                QStringLiteral("talet %1 är utanför %2–%3. Ändra det i filen till ett tal från "
                               "%2 till %3")
                    .arg(numbers[i])
                    .arg(VScroll1[i]->minimum())
                    .arg(VScroll1[i]->maximum()));
    }

    Label3[0]->setText(QString::number(settings.taskCount));
    VScroll1[0]->setValue(settings.taskCount);
    // With the largest bar at the top first, a stored smallest number above 3 is not pushed
    // down to the largest bar's start value.
    VScroll1[largestIndex]->setValue(VScroll1[largestIndex]->maximum());
    Label3[smallestIndex]->setText(QString::number(settings.smallestNumber));
    VScroll1[smallestIndex]->setValue(settings.smallestNumber);
    Label3[largestIndex]->setText(QString::number(settings.largestNumber));
    VScroll1[largestIndex]->setValue(settings.largestNumber);

    select(Option3D1, settings.soundOn);
    select(Option3D2, settings.doneButtonVisible);
    select(SSOption1, settings.quitButtonVisible);

    for (const common::PictureRef &picture : settings.pictures) {
        List1->append(picture.fileName);
        List2->append(picture.directory);
    }
}

void Form1::changeValue(common::Int16 index) {
    common::VScrollBar *bar = VScroll1[std::size_t(index)];
    switch (index) {
    case 0:
        Label3[0]->setText(QString::number(bar->value()));
        break;
    case smallestIndex:
        // Above the largest: one step down, which runs this handling again until it fits.
        if (bar->value() <= VScroll1[largestIndex]->value())
            Label3[smallestIndex]->setText(QString::number(bar->value()));
        else
            bar->setValue(common::sub16(bar->value(), 1));
        break;
    case largestIndex:
        if (bar->value() >= VScroll1[smallestIndex]->value())
            Label3[largestIndex]->setText(QString::number(bar->value()));
        else
            bar->setValue(common::add16(bar->value(), 1));
        break;
    default:
        break;
    }
}

void Form1::save() {
    if (List1->count() != pictureCount) {
        m_services.messages.warning(QStringLiteral("Du måste välja 9 st. bilder ur listan "));
        return;
    }
    common::ExerciseSettings settings;
    settings.taskCount = labelNumber(Label3[0]);
    settings.smallestNumber = labelNumber(Label3[smallestIndex]);
    settings.largestNumber = labelNumber(Label3[largestIndex]);
    settings.soundOn = flag(Option3D1);
    settings.doneButtonVisible = flag(Option3D2);
    settings.quitButtonVisible = flag(SSOption1);
    for (int row = 0; row < pictureCount; ++row)
        settings.pictures[std::size_t(row)] = {List1->rowText(row), List2->rowText(row)};
    try {
        common::writeExerciseSettings(settings);
    } catch (const common::Error &e) {
        // The old file is still whole and the edits are still here: the supervisor may retry.
        m_services.messages.warning(e.message() +
                                    QStringLiteral(" Dina val finns kvar i fönstret, så du kan "
                                                   "rätta felet och klicka på \"Spara\" igen."));
        return;
    }
    cancel();
}

void Form1::cancel() {
    m_services.end.end();
}

void Form1::followDirectory() {
    File1->setPath(Dir1->path());
}

void Form1::previewFile() {
    Text1->setText(File1->fileName());
    preview(common::picturePath(Dir1->path(), Text1->text()));
}

void Form1::addFile() {
    if (chosenCount < pictureCount)
        addpicture();
}

// Enter on a file does what a double click on it does: its click, then the adding.
void Form1::addSelectedFile() {
    previewFile();
    addFile();
}

void Form1::addpicture() {
    const common::Int16 n = chosenCount;
    bool found = false;
    if (n > 0) {
        for (int row = 0; row < n; ++row) {
            if (Text1->text() == List1->rowText(row))
                found = true;
        }
        if (Text1->text().isEmpty())
            found = true;
    }
    if (found)
        return;

    const QString directory = Dir1->path();
    const QString path = common::picturePath(directory, Text1->text());
    if (!common::isStorableText(Text1->text()) || !common::isStorableText(directory)) {
        m_services.messages.warning(
            QStringLiteral("%1 kan inte väljas: inställningsfilen kan inte spara ett namn eller en "
                           "katalog med citattecken (\") eller radbrytning.")
                .arg(path));
        return;
    }
    try {
        common::Picture::load(path);
    } catch (const common::Error &e) {
        m_services.messages.warning(e.message());
        return;
    }

    List1->append(Text1->text());
    List2->append(directory);
    chosenCount = common::add16(chosenCount, 1);
}

void Form1::previewChosen() {
    selectedRow = common::toInt16(List1->selectedRow());
    if (selectedRow < 0)
        return;
    preview(common::picturePath(List2->rowText(selectedRow), List1->rowText(selectedRow)));
}

void Form1::removeChosen() {
    selectedRow = common::toInt16(List1->selectedRow());
    if (selectedRow < 0)
        return; // nothing chosen to remove; the two lists stay paired
    List1->removeRow(selectedRow);
    List2->removeRow(selectedRow);
    chosenCount = common::sub16(chosenCount, 1);
}

// A picture that can't be shown is no reason to lose the supervisor's edits, nor to stop the
// click: the preview says so without a message box, which would swallow the second click of a
// double click that removes the picture's row.
void Form1::preview(const QString &path) {
    QString reason;
    try {
        Image1->setPicture(common::Picture::load(path));
    } catch (const common::Error &e) {
        Image1->setPicture(unshownPicture());
        reason = e.message();
    }
    Image1->setToolTip(reason);
    previewReason->setText(reason);
    previewReason->setFocusPolicy(reason.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
    Image1->setAccessibleName(
        QStringLiteral("Förhandsvisning: %1")
            .arg(reason.isEmpty() ? QFileInfo(path).fileName() : QStringLiteral("kan inte visas")));
    Image1->setAccessibleDescription(reason);
}

} // namespace supervisor
