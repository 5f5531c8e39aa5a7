#include "exercise/form1.h"

#include "settings/exercisesettings.h"
#include "toolkit/fonts.h"
#include "toolkit/units.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <algorithm>
#include <cmath>

// The window icon and the stop sign are built into the program.
static void initResources() {
    Q_INIT_RESOURCE(exercise);
}

namespace exercise {

namespace {

using common::twipsRect;

constexpr common::ColourValue highlight = 0xFFFF00; // cyan: blue and green full
constexpr common::ColourValue white = 0xFFFFFF;

constexpr std::array<int, 3> paletteColumns{480, 1560, 2640};
constexpr std::array<int, 3> paletteRows{480, 1440, 2400};
constexpr std::array<int, 3> slotColumns{4785, 5865, 6945};
constexpr std::array<int, 3> slotRows{495, 1455, 2415};

QString settingsPath() {
    return QFileInfo(common::settingsFileName()).absoluteFilePath();
}

// What the adult can do about a start error. The settings tool starts without a file, but not
// with a broken one.
enum class Remedy { SettingsFile, Picture };

common::Error withAdvice(const common::Error &error, Remedy remedy) {
    const QString folder = QDir::currentPath();
    QString advice;
    if (remedy == Remedy::Picture)
        advice = QStringLiteral("Lägg tillbaka bilden, eller välj en annan med "
                                "inställningsprogrammet tavrinset i mappen %1.");
    else if (!QFileInfo::exists(common::settingsFileName()))
        advice = QStringLiteral("Starta inställningsprogrammet tavrinset i mappen %1, välj nio "
                                "bilder och klicka på \"Spara\".");
    else if (error.item() != 0)
        advice = QStringLiteral("Rätta filen, eller ta bort den och gör om inställningarna med "
                                "inställningsprogrammet tavrinset i mappen %1.");
    if (advice.isEmpty())
        return error;
    return common::Error(error.message() + u' ' + advice.arg(folder), error.item());
}

} // namespace

Form1::Form1(common::Services services)
    : m_services(services) {
    initResources();
    buildControls();
    connectEvents();
}

void Form1::buildControls() {
    setWindowTitle(QStringLiteral("Tavrinor och  objekt"));
    setWindowIcon(QIcon(QStringLiteral(":/apple.ico")));
    // No layout: the controls keep their places whatever size the window gets.
    resize(common::twipsToPixels(9615), common::twipsToPixels(6900));
    common::setBackgroundColour(this, 0x00FFFF80);
    common::setTextColour(this, common::systemWindowText);
    setFont(common::designFont(QStringLiteral("MS Sans Serif"), 8.25, true));

    Command3D2 = new common::Command3D(QStringLiteral("Sluta"), this);
    Command3D2->setGeometry(twipsRect(8580, 30, 915, 1200));
    Command3D2->setFont(common::designFont(QStringLiteral("MS Sans Serif"), 9.75, true));
    common::setTextColour(Command3D2, common::systemWindowText);
    Command3D2->setPicture(common::Picture::load(QStringLiteral(":/stop.ico")));

    buildTarget();

    Timer1 = new common::Timer(m_services.sound, this);
    Timer1->setInterval(50);

    // The gauge that counts the tasks down.
    Panel3D3 = new common::Panel3D(this);
    Panel3D3->setGeometry(twipsRect(8550, 1425, 990, 5430));
    Panel3D3->setBackground(common::systemButtonFace);
    Gauge1 = new common::Gauge(Panel3D3);
    Gauge1->setGeometry(twipsRect(120, 135, 690, 5115));
    Gauge1->setBarColour(0x0000FF);
    Gauge1->setBackground(0xC0C0C0);

    Panel3D2 = new common::Panel3D(this);
    Panel3D2->setGeometry(twipsRect(60, 1425, 8430, 5415));
    Panel3D2->setBackground(0x0080FFFF);
    buildPalette();
    buildSlots();
}

// The target: the number to reach and the picture to count.
void Form1::buildTarget() {
    Panel3D1 = new common::Panel3D(this);
    Panel3D1->setGeometry(twipsRect(3060, 60, 2895, 1335));
    Panel3D1->setBackground(white);

    Label1 = new QLabel(QStringLiteral("5"), Panel3D1);
    Label1->setGeometry(twipsRect(480, 120, 870, 1140));
    Label1->setFont(common::designFont(QStringLiteral("Arial Rounded MT Bold"), 48, true));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    common::setBackgroundColour(Label1, white);
    common::setTextColour(Label1, common::systemWindowText);

    Image1 = new common::Image(Panel3D1);
    Image1->setGeometry(twipsRect(1440, 120, 960, 960));
    Image1->setStretch(true);
}

// The palette the child picks from, and the hand that holds the pick.
void Form1::buildPalette() {
    for (int i = 0; i < 9; ++i) {
        Picture1[i] = new common::PictureBox(Panel3D2);
        Picture1[i]->setGeometry(twipsRect(paletteColumns[i % 3], paletteRows[i / 3], 975, 855));
        Picture1[i]->setBackground(i == 0 ? white : common::systemWindowBackground);
        Image2[i] = new common::Image(Picture1[i]);
        Image2[i]->setGeometry(Picture1[i]->insideRect(twipsRect(240, 180, 480, 480)));
    }
    // Palette position 9 holds nothing: it stands for an empty hand and can't be clicked.
    Picture1[9] = new common::PictureBox(Panel3D2);
    Picture1[9]->setGeometry(twipsRect(465, 3585, 735, 630));
    Picture1[9]->hide();
    Image2[9] = new common::Image(Picture1[9]);
    Image2[9]->setGeometry(Picture1[9]->insideRect(twipsRect(0, 0, 480, 480)));

    // The hand; the child sees the pick only by the highlighted frame.
    Picture2 = new common::PictureBox(Panel3D2);
    Picture2->setGeometry(twipsRect(4035, 1770, 555, 585));
    Picture2->hide();
}

// The answer slots and the button that has them checked.
void Form1::buildSlots() {
    Command3D1 = new common::Command3D(QStringLiteral("KLAR"), Panel3D2);
    Command3D1->setGeometry(twipsRect(2745, 3720, 2775, 1335));
    Command3D1->setFont(common::designFont(QStringLiteral("Arial"), 18, true));
    common::setTextColour(Command3D1, common::systemWindowText);

    for (int i = 0; i < 9; ++i) {
        Panel3D4[i] = new common::Panel3D(Panel3D2);
        Panel3D4[i]->setGeometry(twipsRect(slotColumns[i % 3], slotRows[i / 3], 975, 855));
        Panel3D4[i]->setBackground(common::systemButtonFace);
        Image3[i] = new common::Image(Panel3D4[i]);
        Image3[i]->setGeometry(twipsRect(210, 195, 555, 480));
    }
}

void Form1::connectEvents() {
    for (int i = 0; i < 10; ++i) {
        connect(Image2[i], &common::Image::clicked, this, guarded(&Form1::pickAt, i));
        connect(Picture1[i], &common::PictureBox::clicked, this, guarded(&Form1::pickAt, i));
    }
    // The frame panel places and checks just like the slot picture inside it.
    for (int i = 0; i < 9; ++i) {
        connect(Image3[i], &common::Image::clicked, this, guarded(&Form1::placeAt, i));
        connect(Panel3D4[i], &common::Panel3D::clicked, this, guarded(&Form1::placeAt, i));
    }
    connect(Command3D1, &common::Command3D::clicked, this, guarded(&Form1::checkanswer));
    connect(Command3D2, &common::Command3D::clicked, this, guarded(&Form1::quit));
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
}

void Form1::pickpicture() {
    Picture2->setPicture(Image2[picked]->picture());
    // The previous frame first, so picking the highlighted position again keeps its highlight.
    Picture1[previousPicked]->setBackground(common::systemWindowBackground);
    Picture1[picked]->setBackground(highlight);
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
    picked = 9;
    previousPicked = 9;
    if (doneButtonVisible == 0)
        checkanswer();
}

void Form1::quit() {
    m_services.end.end();
}

void Form1::clearslots() {
    for (common::Image *slot : Image3)
        slot->setPicture(Picture1[0]->picture());
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
    // The close waits for the rest of the event that played the sound, like a click would.
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
