// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/form1.h"

#include "controls/accessibility.h"
#include "settings/exercisesettings.h"
#include "toolkit/colour.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <utility>

// The window icon and the stop sign are built into the program.
static void initResources() {
    Q_INIT_RESOURCE(exercise);
}

namespace exercise {

namespace {

QString settingsPath() {
    return QFileInfo(common::settingsFileName()).absoluteFilePath();
}

// The folder as the adult finds it: by its full path, as the one the menu uses when it is, and
// with the key that shows a hidden folder in a file manager.
QString folderText(const QString &folder) {
    QStringList notes;
    const QString menuFolder =
        QFileInfo(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  QStringLiteral("/tavrin"))
            .canonicalFilePath();
    if (!menuFolder.isEmpty() && menuFolder == QFileInfo(folder).canonicalFilePath())
        notes << QStringLiteral("den mapp som menyn använder");
    if (folder.contains(QLatin1String("/.")))
        notes << QStringLiteral("den är dold, men Ctrl+H visar dolda mappar i filhanteraren");
    return notes.isEmpty()
               ? folder
               : QStringLiteral("%1 (%2)").arg(folder, notes.join(QStringLiteral("; ")));
}

// What the adult can do about a start error. The settings tool starts without a file, but not
// with a broken one.
enum class Remedy { SettingsFile, Picture };

common::Error withAdvice(const common::Error &error, Remedy remedy) {
    const QString folder = QDir::currentPath();
    QString advice;
    if (remedy == Remedy::Picture)
        advice = QStringLiteral("Lägg tillbaka bilden, eller välj en annan med "
                                "Varnelkontor (tavrinset) i mappen %1.");
    else if (!QFileInfo::exists(common::settingsFileName()))
        advice = QStringLiteral("Starta Varnelkontor (tavrinset) i mappen %1, välj nio bilder och "
                                "klicka på \"Spara\".");
    else if (error.item() != 0)
        advice = QStringLiteral("Rätta filen, eller ta bort den och gör om inställningarna med "
                                "Varnelkontor (tavrinset) i mappen %1.");
    if (advice.isEmpty())
        return error;
    return common::Error(error.message() + u' ' + advice.arg(folderText(folder)), error.item());
}

} // namespace

Form1::Form1(common::Services services)
    : m_services(services) {
    initResources();
    common::installAccessibility();
    layOutWindow();
    layOutTarget();
    layOutGauge();
    layOutPalette();
    layOutSlots();
    layOutKeys();
    connectEvents();
}

void Form1::connectEvents() {
    for (int i = 0; i < 10; ++i) {
        connect(Image2[i], &common::Image::clicked, this, whenQuiet(&Form1::pickAt, i));
        connect(Picture1[i], &common::PictureBox::clicked, this, whenQuiet(&Form1::pickAt, i));
    }
    // The frame panel places and checks just like the slot picture inside it.
    for (int i = 0; i < 9; ++i) {
        connect(Image3[i], &common::Image::clicked, this, whenQuiet(&Form1::placeAt, i));
        connect(Panel3D4[i], &common::Panel3D::clicked, this, whenQuiet(&Form1::placeAt, i));
    }
    connect(Command3D1, &common::Command3D::clicked, this, whenQuiet(&Form1::checkanswer));
    connect(Command3D2, &common::Command3D::clicked, this, whenQuiet(&Form1::quit));
    connect(Timer1, &common::Timer::tick, this, guarded(&Form1::tick));
}

void Form1::load() {
    Form2.showBackdrop();
    readsettings();
    picked = 9;
    previousPicked = 9;
    pacingCounter = 10;
    try {
        newtask();
    } catch (const common::Error &) {
        // Only a range too wide for 16 bits fails the draw.
        throw withAdvice(
            common::settingsItemError(
                QStringLiteral("Post 2 och 3 (Minsta tavrin och Högsta tavrin)"), 2, settingsPath(),
                QStringLiteral(
                    "talen %1 och %2 ger inget tal att dra, eftersom avståndet mellan dem "
                    "inte ryms i ett 16-bitars heltal")
                    .arg(smallestNumber)
                    .arg(largestNumber)),
            Remedy::SettingsFile);
    }
    if (doneButtonVisible == 0)
        Command3D1->hide();
    if (quitButtonVisible == 0)
        Command3D2->hide();
    Picture2->setPicture(Image2[9]->picture());
    // A hand-written file may ask for no tasks at all: the gauge then starts empty.
    const common::Int16 tasks = std::max<common::Int16>(taskCount, 0);
    Gauge1->setMaximum(tasks);
    Gauge1->setValue(tasks);
}

bool Form1::start() {
    if (!common::guarded(m_services.errors, [this] { load(); }))
        return false;
    Form2.showInFront(*this);
    // Never on "Sluta": a child's first touch of the space bar picks a picture.
    m_paletteKeys->focus(0);
    Timer1->setEnabled(true);
    return true;
}

void Form1::readsettings() {
    common::ExerciseSettings settings;
    try {
        settings = common::readExerciseSettings();
    } catch (const common::Error &e) {
        throw withAdvice(e, Remedy::SettingsFile);
    }
    taskCount = settings.taskCount;
    smallestNumber = settings.smallestNumber;
    largestNumber = settings.largestNumber;
    soundOn = settings.soundOn;
    doneButtonVisible = settings.doneButtonVisible;
    quitButtonVisible = settings.quitButtonVisible;
    for (int i = 0; i < 9; ++i) {
        const QFileInfo file(settings.pictures[i].fileName);
        const QString name =
            file.completeBaseName().isEmpty() ? file.fileName() : file.completeBaseName();
        Picture1[i]->setAccessibleName(name);
        Image2[i]->setAccessibleName(name);
        try {
            Image2[i]->setPicture(common::Picture::load(common::picturePath(settings.pictures[i])));
        } catch (const common::Error &e) {
            throw withAdvice(common::settingsItemError(common::pictureItemsLabel(i), 7 + 2 * i,
                                                       settingsPath(), e.message()),
                             Remedy::Picture);
        }
    }
}

void Form1::newtask() {
    m_services.random.reseed();
    const float r = m_services.random.next();
    const common::Int16 base = common::sub16(smallestNumber, 1);
    const common::Int16 span = common::sub16(largestNumber, base);
    // Single precision throughout, as the draw has always been made.
    const float number = std::floor(float(span) * r + 1.0f) + float(base);
    targetNumber = common::floorToInt16(number);
    Label1->setText(QString::number(targetNumber));

    const float r2 = m_services.random.next();
    const int k = common::floorToInt16(r2 * 9.0f + 1.0f) - 1;
    Image1->setPicture(Image2[k]->picture());
    nameTask();
    // Ready for the next pick.
    m_paletteKeys->focus(0);
}

void Form1::pickpicture() {
    Picture2->setPicture(Image2[picked]->picture());
    // The previous frame first, so picking the highlighted position again keeps its highlight.
    Picture1[previousPicked]->setBackground(common::systemWindowBackground);
    Picture1[previousPicked]->setChecked(false);
    Picture1[picked]->setBackground(common::cyan);
    Picture1[picked]->setChecked(true);
    previousPicked = picked;
}

void Form1::pickAt(int position) {
    picked = common::Int16(position);
    pickpicture();
}

// The hand's picture goes into the slot and the hand is empty again; without "KLAR" every
// placement is checked at once.
void Form1::placeAt(int slot) {
    Image3[slot]->setPicture(Picture2->picture());
    Picture2->setPicture(Picture1[0]->picture());
    Picture1[picked]->setBackground(common::systemWindowBackground);
    Picture1[picked]->setChecked(false);
    picked = 9;
    previousPicked = 9;
    nameSlot(slot);
    if (doneButtonVisible == 0)
        checkanswer();
}

void Form1::quit() {
    m_services.end.end();
}

void Form1::clearslots() {
    for (int i = 0; i < 9; ++i) {
        Image3[i]->setPicture(Picture1[0]->picture());
        nameSlot(i);
    }
}

QString Form1::pictureName(const common::Picture &picture) const {
    if (picture.isEmpty())
        return QStringLiteral("tom");
    for (int i = 0; i < 9; ++i)
        if (Image2[i]->picture() == picture)
            return Picture1[i]->accessibleName();
    return QString();
}

void Form1::nameSlot(int slot) {
    const QString holds = pictureName(Image3[slot]->picture());
    Image3[slot]->setAccessibleName(holds);
    Panel3D4[slot]->setAccessibleName(QStringLiteral("Ruta %1: %2").arg(slot + 1).arg(holds));
}

void Form1::nameTask() {
    Label1->setAccessibleName(QStringLiteral("Tavrin %1").arg(targetNumber));
    Image1->setAccessibleName(pictureName(Image1->picture()));
    Panel3D1->setAccessibleName(
        QStringLiteral("Tavrin %1: %2").arg(targetNumber).arg(Image1->accessibleName()));
}

void Form1::checkanswer() {
    wrongFound = 0;
    matchCount = 0;
    for (int i = 0; i < 9 && wrongFound == 0; ++i) {
        const common::Picture slot = Image3[i]->picture();
        if (slot == Image1->picture())
            matchCount = common::add16(matchCount, 1);
        else
            wrongFound = slot == Picture1[0]->picture() ? 0 : 1;
    }
    if (wrongFound == 0 && matchCount == targetNumber) {
        // A right answer counts once: checking it again while its praise is still due only
        // restarts the wait. An empty gauge (no tasks set) has nothing left to count down.
        const bool praiseDue = pacingCounter >= 1 && pacingCounter <= 5;
        if (!praiseDue && Gauge1->value() > 0)
            Gauge1->setValue(common::sub16(Gauge1->value(), 1));
        pacingCounter = 1;
    } else if (soundOn == -1 && doneButtonVisible == -1) {
        playsound(QStringLiteral("horn.wav"));
    }
}

void Form1::bort() {}

void Form1::playsound(const QString &name) {
    // Synchronous, and a missing file plays nothing: both are the player's own behaviour.
    m_services.sound.play(name);
    // Presses held meanwhile, and then the close, wait for the rest of the event that played
    // the sound, like a click would.
    for (std::function<void()> &press : std::exchange(m_held, {}))
        QMetaObject::invokeMethod(this, std::move(press), Qt::QueuedConnection);
    if (m_closePending) {
        m_closePending = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void Form1::tick() {
    if (pacingCounter > 0)
        pacingCounter = common::add16(pacingCounter, 1);
    if (pacingCounter > 5 && pacingCounter < 10) {
        pacingCounter = 0;
        if (soundOn == -1)
            playsound(QStringLiteral("wow.wav"));
        clearslots();
        newtask();
        if (Gauge1->value() == 0)
            m_services.end.end();
    } else if (pacingCounter > 9) {
        pacingCounter = 0;
        if (soundOn == -1)
            playsound(QStringLiteral("xmusic.wav"));
    }
}

void Form1::closeEvent(QCloseEvent *event) {
    // The window handles nothing while a sound plays; the frame's close comes after it.
    if (m_services.sound.isPlaying()) {
        m_closePending = true;
        event->ignore();
        return;
    }
    // Closing through the frame unloads the window, its timer and the backdrop.
    common::guarded(m_services.errors, [this] {
        Timer1->setEnabled(false);
        Form2.close();
    });
    event->accept();
    emit unloaded();
}

} // namespace exercise
