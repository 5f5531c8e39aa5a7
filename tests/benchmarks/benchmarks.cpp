// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchmarks/benchmarks.h"

#include "benchmarks/paintcounter.h"
#include "benchmarks/procstats.h"
#include "benchmarks/xtestpointer.h"
#include "e2e/exercisescreen.h"
#include "services/silentsoundplayer.h"
#include "services/systemservices.h"
#include "settings/exercisesettings.h"
#include "supervisor/form1.h"
#include "support/desktop.h"
#include "support/monitorrecorder.h"
#include "support/testfiles.h"
#include "toolkit/application.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QTest>
#include <QThread>

#include <array>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <map>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

const QColor lightYellow(255, 255, 128);
const QColor white(255, 255, 255);

using namespace exercisescreen;

constexpr double cueSeconds = 0.3;

int nearestIcon(const QColor &colour) {
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < int(iconColours.size()); ++i) {
        const QColor &c = iconColours[std::size_t(i)];
        const int d = std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                      std::abs(c.blue() - colour.blue());
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Lets events run until nothing has painted for a while; the moment the last paint had ended.
std::optional<Clock::time_point> lastPaint(const PaintCounter &paints, Clock::time_point start) {
    std::optional<Clock::time_point> last;
    while (Clock::now() - start < std::chrono::seconds(60)) {
        const int before = paints.count();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const Clock::time_point now = Clock::now();
        if (paints.count() != before)
            last = now;
        if (last && now - *last > std::chrono::milliseconds(150))
            return last;
        QThread::usleep(200);
    }
    return last;
}

// Lets pending events run for a moment, so that a measurement starts from a quiet window.
void settle() {
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 150)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QString ms(double value, int decimals = 0) {
    return QStringLiteral("%1 ms").arg(value, 0, 'f', decimals);
}

// 100000 as "100,000".
QString count(int value) {
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

// The middle of the screen, where all four programs centre their window, and where on the screen
// it lies. A whole 3840 x 2160 screen takes longer to grab than a program takes to start, and
// the X server that serves the grab is the one the program waits for.
QImage middleOfScreen(QPoint *offset) {
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect middle(screen->geometry().center() - QPoint(450, 350), QSize(900, 700));
    *offset = middle.topLeft();
    return screen->grabWindow(0, middle.x(), middle.y(), middle.width(), middle.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QString ratio(double value, double floor) {
    return floor > 0 ? QStringLiteral("%1x").arg(value / floor, 0, 'f', 2) : QStringLiteral("–");
}

} // namespace

Benchmarks::Benchmarks(Desktop &desktop, BenchOptions options, QSize screen, BenchResults &results)
    : m_desktop(desktop)
    , m_options(std::move(options))
    , m_screen(screen)
    , m_results(results)
    , m_table(results.table) {}

QString Benchmarks::screenName() const {
    return QStringLiteral("%1 x %2").arg(m_screen.width()).arg(m_screen.height());
}

void Benchmarks::initTestCase() {
    QVERIFY(m_root.isValid());
    const QString quiet = m_root.filePath(QStringLiteral("quiet"));
    m_loudFolder = m_root.filePath(QStringLiteral("loud"));
    prepareExerciseFolder(quiet, false);
    prepareExerciseFolder(m_loudFolder, true);

    m_bare = {QStringLiteral("bare Qt window"),
              QStringLiteral(TAVRIN_BARE),
              {},
              quiet,
              windowBackground,
              QPoint(254, 105),
              lightYellow};
    m_designFloor = m_bare;
    m_designFloor.name = QStringLiteral("bare + backdrop + text");
    m_designFloor.arguments = QStringList{QStringLiteral("--design")};
    m_exercise = {QStringLiteral("tavrin (sound off)"),
                  QStringLiteral(TAVRIN_EXERCISE),
                  {},
                  quiet,
                  windowBackground,
                  QPoint(254, 105),
                  lightYellow};
    // The supervisor's file list is empty there (the icons are in a subfolder), so white.
    m_supervisor = {QStringLiteral("tavrinset"),
                    QStringLiteral(TAVRIN_SUPERVISOR),
                    {},
                    quiet,
                    lightYellow,
                    QPoint(280, 130),
                    white};
}

void Benchmarks::prepareExerciseFolder(const QString &folder, bool sound) {
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/bilder")));
    common::ExerciseSettings settings;
    // Always the number 1, so that one target picture in a slot is a right answer. The sound
    // runs have enough tasks to last all trials; the others keep to what tavrinset's bars can
    // hold.
    settings.taskCount = sound ? 99 : 9;
    settings.smallestNumber = 1;
    settings.largestNumber = 1;
    settings.soundOn = sound ? -1 : 0;
    settings.doneButtonVisible = -1;
    settings.quitButtonVisible = -1;
    for (int i = 0; i < 9; ++i) {
        const QString name = QStringLiteral("bild%1.ico").arg(i);
        writeTestIcon(folder + QStringLiteral("/bilder/") + name, iconColours[std::size_t(i)]);
        settings.pictures[std::size_t(i)] =
            common::PictureRef{name, folder + QStringLiteral("/bilder")};
    }
    common::writeExerciseSettings(settings, folder + QStringLiteral("/tavrin.ini"));
    writeTestTone(folder + QStringLiteral("/xmusic.wav"), introHz, cueSeconds);
    writeTestTone(folder + QStringLiteral("/horn.wav"), hornHz, cueSeconds);
    writeTestTone(folder + QStringLiteral("/wow.wav"), praiseHz, cueSeconds);
}

std::optional<Benchmarks::Clock::time_point>
Benchmarks::waitUntilPainted(const ProgramLook &look, int milliseconds, QPoint *origin) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < deadline) {
        const Clock::time_point before = Clock::now();
        QPoint offset;
        const QImage screen = middleOfScreen(&offset);
        m_grabMs << msBetween(before, Clock::now());
        if (const auto client = findClientOrigin(screen, look.background)) {
            const QPoint child = *client + look.childPoint;
            if (screen.rect().contains(child) &&
                sameColour(screen.pixelColor(child), look.childColour)) {
                if (origin)
                    *origin = *client + offset;
                // The grab shows the screen as it was when it began.
                return before;
            }
        }
        QCoreApplication::processEvents();
        QThread::usleep(1000);
    }
    // What the screen showed instead, to see what went wrong.
    Desktop::screenshot().save(QFileInfo(m_options.resultsPath).absolutePath() +
                               QStringLiteral("/not-painted-%1.png").arg(look.name));
    return std::nullopt;
}

void Benchmarks::waitUntilGone(const ProgramLook &look) {
    waitUntil(
        [&look] {
            QPoint offset;
            return !findClientOrigin(middleOfScreen(&offset), look.background);
        },
        5000);
    QTest::qWait(200);
}

void Benchmarks::startUp() {
    const QList<const ProgramLook *> looks = allLooks();
    std::map<QString, QList<double>> wall;
    std::map<QString, QList<double>> cpu;
    for (int run = 0; run < m_options.startRuns; ++run) {
        for (qsizetype k = 0; k < looks.size(); ++k) {
            // Each round starts with another program, so none always follows the same one.
            const ProgramLook &look = *looks.at((run + k) % looks.size());
            {
                const Clock::time_point start = Clock::now();
                ProgramRun program(look.executable, look.folder, look.arguments);
                const auto painted = waitUntilPainted(look, 15000);
                const auto cpuTime = preciseCpuTimeMs(long(program.processId()));
                QVERIFY2(painted && cpuTime,
                         qPrintable(look.name + QStringLiteral(" showed no window: ") +
                                    program.standardError()));
                wall[look.name] << msBetween(start, *painted);
                cpu[look.name] << *cpuTime;
            }
            waitUntilGone(look);
        }
    }
    addComparedRows(
        QStringLiteral("1. Start-up until painted, wall time, %1").arg(screenName()), wall,
        [](double v) { return ms(v); }, 0, 1.2);
    addComparedRows(
        QStringLiteral("1. Start-up until painted, CPU time, %1").arg(screenName()), cpu,
        [](double v) { return ms(v); }, 0, std::nullopt);
    m_table.note(
        QStringLiteral("Start-up at %1: %2 runs of each program, interleaved; wall time "
                       "from starting the process until a screenshot of the middle of "
                       "the screen, where every program centres its window, shows the "
                       "window's background and a painted child (a screenshot takes %3 "
                       "ms, median, which bounds the resolution); CPU time of all its threads "
                       "at that moment, from /proc/PID/task/*/schedstat, which the load "
                       "of other processes on the machine disturbs less.")
            .arg(screenName())
            .arg(m_options.startRuns)
            .arg(median(m_grabMs), 0, 'f', 1));
}

void Benchmarks::memoryAndIdle() {
    const QList<const ProgramLook *> looks = allLooks();
    std::map<QString, QList<double>> peaks;
    std::map<QString, QList<double>> idle;
    for (int round = 0; round < m_options.memoryRounds; ++round) {
        for (qsizetype k = 0; k < looks.size(); ++k) {
            const ProgramLook &look = *looks.at((round + k) % looks.size());
            {
                ProgramRun program(look.executable, look.folder, look.arguments);
                const long pid = long(program.processId());
                QVERIFY2(waitUntilPainted(look, 15000),
                         qPrintable(look.name + QStringLiteral(" showed no window: ") +
                                    program.standardError()));
                QTest::qWait(1000);
                const auto cpuBefore = cpuTimeMs(pid);
                const Clock::time_point from = Clock::now();
                QTest::qWait(m_options.idleSeconds * 1000);
                const auto cpuAfter = cpuTimeMs(pid);
                const Clock::time_point to = Clock::now();
                const auto peak = peakResidentKiB(pid);
                QVERIFY2(program.isRunning() && cpuBefore && cpuAfter && peak,
                         qPrintable(look.name + QStringLiteral(" ended early")));
                peaks[look.name] << double(*peak) / 1024.0;
                idle[look.name] << 100.0 * (*cpuAfter - *cpuBefore) / msBetween(from, to);
            }
            waitUntilGone(look);
        }
    }
    addComparedRows(
        QStringLiteral("2. Peak resident set (VmHWM), %1").arg(screenName()), peaks,
        [](double v) { return QStringLiteral("%1 MiB").arg(v, 0, 'f', 1); }, 1, 1.1);
    for (const ProgramLook *look : looks)
        m_results.peakMiB[look->name][m_screen.width()] = median(peaks[look->name]);
    for (const ProgramLook *look : looks) {
        const double value = median(idle[look->name]);
        const bool budgeted = look == &m_exercise;
        m_table.add({QStringLiteral("3. Idle CPU over %1 s, %2")
                         .arg(m_options.idleSeconds)
                         .arg(screenName()),
                     look->name, QStringLiteral("%1 %").arg(value, 0, 'f', 2),
                     spread(idle[look->name], 2), QStringLiteral("–"), QStringLiteral("–"),
                     QStringLiteral("–"),
                     budgeted ? QStringLiteral("< 0.5 % of a core") : QStringLiteral("–"),
                     budgeted ? verdict(value < 0.5) : QStringLiteral("–")});
    }
    m_table.note(QStringLiteral("Memory and idle CPU at %1: %2 rounds, each program alone; VmHWM "
                                "after start-up and %3 s of running; idle CPU is utime + stime "
                                "from /proc/PID/stat over the last %4 s (10 ms clock ticks).")
                     .arg(screenName())
                     .arg(m_options.memoryRounds)
                     .arg(m_options.idleSeconds + 1)
                     .arg(m_options.idleSeconds));
}

QList<const ProgramLook *> Benchmarks::allLooks() const {
    return {&m_bare, &m_designFloor, &m_exercise, &m_supervisor};
}

void Benchmarks::addComparedRows(const QString &benchmark, std::map<QString, QList<double>> &values,
                                 const std::function<QString(double)> &format, int decimals,
                                 std::optional<double> budget) {
    const double floor = median(values[m_bare.name]);
    const double designFloor = median(values[m_designFloor.name]);
    for (const ProgramLook *look : allLooks()) {
        const double value = median(values[look->name]);
        const bool program = look == &m_exercise || look == &m_supervisor;
        m_table.add(
            {benchmark, look->name, format(value), spread(values[look->name], decimals),
             look == &m_bare ? QStringLiteral("–") : format(floor),
             look == &m_bare ? QStringLiteral("floor") : ratio(value, floor),
             program ? ratio(value, designFloor) : QStringLiteral("–"),
             budget && program ? QStringLiteral("≤ %1x bare + backdrop + text").arg(*budget)
                               : QStringLiteral("–"),
             budget && program ? verdict(value <= *budget * designFloor) : QStringLiteral("–")});
    }
}

std::optional<double> Benchmarks::onsetAfter(const MonitorRecorder &recorder,
                                             Clock::time_point click, double hz, int waitMs) {
    QTest::qWait(waitMs);
    const QByteArray samples = recorder.samples();
    qsizetype from = recorder.indexAt(click - std::chrono::milliseconds(20));
    // The tones play at an amplitude of 12000; the first sample past a tenth of that is the
    // onset, once the 10 ms from there are mostly the expected tone.
    while (const auto onset = firstLoudSample(samples, from, 1200)) {
        const qsizetype window = MonitorRecorder::sampleRate / 100;
        const double wanted = tonePower(samples, *onset, window, hz);
        bool loudest = true;
        for (double other : {introHz, hornHz, praiseHz}) {
            if (other != hz && tonePower(samples, *onset, window, other) > wanted)
                loudest = false;
        }
        if (loudest)
            return msBetween(click, recorder.timeOf(*onset));
        from = *onset + window;
    }
    return std::nullopt;
}

void Benchmarks::pacing() {
    XTestPointer pointer;
    QVERIFY2(pointer.isValid(), "no connection to the X server for the pointer");
    const auto click = [&pointer](QPoint at) {
        pointer.moveTo(at);
        // A random pause, so that the clicks fall anywhere between two of the program's 50 ms
        // ticks, as a child's would, and not always at the same point of the period.
        QTest::qWait(50 + int(QRandomGenerator::global()->bounded(50)));
        return pointer.click();
    };
    MonitorRecorder recorder(m_desktop.pulse().monitorName());
    QVERIFY2(recorder.start(), "parec recorded nothing from the sink's monitor");

    const Clock::time_point start = Clock::now();
    ProgramRun program(m_exercise.executable, m_loudFolder);
    QPoint origin;
    QVERIFY2(waitUntilPainted(m_exercise, 15000, &origin),
             qPrintable(QStringLiteral("tavrin showed no window: ") + program.standardError()));
    // The intro plays on the first tick and holds the window until it has ended.
    const auto intro = onsetAfter(recorder, start, introHz, 1500);
    QVERIFY2(intro, "the intro was not heard");
    QTest::qWait(int(cueSeconds * 1000) + 300);

    QList<double> praise;
    QList<double> horn;
    for (int trial = 0; trial < m_options.pacingTrials; ++trial) {
        // A wrong check: all slots are blank and the number is 1.
        const Clock::time_point wrongCheck = click(origin + doneButton);
        const auto hornOnset = onsetAfter(recorder, wrongCheck, hornHz, 700);
        QVERIFY2(hornOnset, "the horn was not heard after a wrong check");
        horn << *hornOnset;

        // A right check: the target picture in one slot.
        const QImage screen = Desktop::screenshot();
        const int target = nearestIcon(screen.pixelColor(origin + targetPicture));
        click(origin + palettePicture(target));
        QTest::qWait(50);
        click(origin + slotPicture(trial % 9));
        QTest::qWait(50);
        const Clock::time_point rightCheck = click(origin + doneButton);
        const auto praiseOnset = onsetAfter(recorder, rightCheck, praiseHz, 900);
        QVERIFY2(praiseOnset, "the praise was not heard after a right check");
        praise << *praiseOnset;
        QTest::qWait(300);
    }
    recorder.stop();
    const auto peak = peakResidentKiB(long(program.processId()));
    QVERIFY2(peak, "tavrin ended during the trials");

    const double praiseMedian = median(praise);
    const double hornMedian = median(horn);
    m_table.add({QStringLiteral("4. Right check → praise onset"), QStringLiteral("tavrin"),
                 ms(praiseMedian), spread(praise), QStringLiteral("–"), QStringLiteral("–"),
                 QStringLiteral("–"), QStringLiteral("250 ± 30 ms"),
                 verdict(std::abs(praiseMedian - 250) <= 30)});
    m_table.add({QStringLiteral("4. Wrong check → horn onset"), QStringLiteral("tavrin"),
                 ms(hornMedian), spread(horn), QStringLiteral("–"), QStringLiteral("–"),
                 QStringLiteral("–"), QStringLiteral("≤ 100 ms"), verdict(hornMedian <= 100)});
    // With sound on the program also holds the sound library's buffers and its server connection.
    m_table.add({QStringLiteral("2. Peak resident set (VmHWM), after the pacing trials, %1")
                     .arg(screenName()),
                 QStringLiteral("tavrin (sound on)"),
                 QStringLiteral("%1 MiB").arg(double(*peak) / 1024.0, 0, 'f', 1),
                 QStringLiteral("–"), QStringLiteral("–"), QStringLiteral("–"), QStringLiteral("–"),
                 QStringLiteral("–"), QStringLiteral("–")});
    m_table.note(QStringLiteral("Pacing: %1 right and %1 wrong checks by clicks on \"KLAR\", "
                                "alternating; onset is the first sample of the cue's own tone on "
                                "the null sink's monitor, recorded with parec and placed on the "
                                "clock by the earliest-arriving block.")
                     .arg(m_options.pacingTrials));
}

void Benchmarks::scale() {
    const std::array<int, 3> sizes{1000, 10000, 100000};
    const QString base = m_root.filePath(QStringLiteral("scale"));
    for (int size : sizes) {
        const QByteArray folder = QStringLiteral("%1/%2").arg(base).arg(size).toLocal8Bit();
        QVERIFY(QDir().mkpath(QString::fromLocal8Bit(folder)));
        for (int i = 0; i < size; ++i) {
            // A tenth of them icons, the rest files the pattern leaves out.
            const QByteArray name =
                folder + (i % 10 == 0 ? QByteArray("/bild%1.ico") : QByteArray("/data%1.txt"))
                             .replace("%1", QByteArray::number(i));
            const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
    }

    // The real window, in this process, with the program's own style and fonts.
    common::setupApplication(*qApp, QStringLiteral("tavrinset"));
    common::SilentSoundPlayer sound;
    common::SystemServices system(QStringLiteral("tavrinset"), sound);
    supervisor::Form1 form(system.services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const PaintCounter paints(form.File1->viewport());

    std::map<int, QList<double>> window;
    std::map<int, QList<double>> fileList;
    std::map<int, QList<double>> scan;
    for (int round = 0; round < m_options.scaleRounds; ++round) {
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            const int size = sizes[(std::size_t(round) + k) % sizes.size()];
            const QString folder = QStringLiteral("%1/%2").arg(base).arg(size);

            // Entering the folder in the directory list; the file list follows it.
            form.Dir1->setPath(base);
            settle();
            Clock::time_point start = Clock::now();
            form.Dir1->setPath(folder);
            auto painted = lastPaint(paints, start);
            QVERIFY(painted);
            QCOMPARE(form.File1->count(), size / 10);
            window[size] << msBetween(start, *painted);

            // The file list alone.
            form.File1->setPath(base);
            settle();
            start = Clock::now();
            form.File1->setPath(folder);
            painted = lastPaint(paints, start);
            QVERIFY(painted);
            QCOMPARE(form.File1->count(), size / 10);
            fileList[size] << msBetween(start, *painted);

            // Reading the directory alone, as the file list asks for it.
            start = Clock::now();
            const QStringList names = QDir(folder).entryList(
                QStringList{QStringLiteral("*.ico")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
            scan[size] << msBetween(start, Clock::now());
            QCOMPARE(names.size(), size / 10);
        }
    }
    form.hide();

    const auto rows = [this, &sizes](const QString &what, std::map<int, QList<double>> &times,
                                     bool budgeted) {
        for (int size : sizes) {
            const double value = median(times[size]);
            const bool last = size == sizes.back();
            m_table.add({QStringLiteral("5. %1, %2 files").arg(what, count(size)),
                         QStringLiteral("tavrinset"),
                         QStringLiteral("%1 (%2 µs/file)")
                             .arg(ms(value, 1))
                             .arg(1000.0 * value / size, 0, 'f', 2),
                         spread(times[size], 1), QStringLiteral("–"), QStringLiteral("–"),
                         QStringLiteral("–"),
                         budgeted && last ? QStringLiteral("< 500 ms") : QStringLiteral("–"),
                         budgeted && last ? verdict(value < 500) : QStringLiteral("–")});
        }
        if (budgeted) {
            // Linear growth has an exponent of 1; a fixed cost on top makes it smaller.
            const double exponent =
                std::log(median(times[sizes.back()]) / median(times[sizes.front()])) /
                std::log(double(sizes.back()) / sizes.front());
            m_table.add({QStringLiteral("5. %1, growth 1,000 → 100,000").arg(what),
                         QStringLiteral("tavrinset"),
                         QStringLiteral("exponent %1").arg(exponent, 0, 'f', 2),
                         QStringLiteral("–"), QStringLiteral("–"), QStringLiteral("–"),
                         QStringLiteral("–"), QStringLiteral("≤ 1.05 (linear)"),
                         verdict(exponent <= 1.05)});
        }
    };
    rows(QStringLiteral("Dir1 enters folder until File1 painted"), window, true);
    rows(QStringLiteral("File1 alone until painted"), fileList, false);
    rows(QStringLiteral("QDir::entryList alone"), scan, false);
    m_table.note(QStringLiteral("Scale: the real supervisor window in the driver's process, %1 "
                                "rounds; folders of empty files, a tenth of them .ico, in the page "
                                "cache; time from setting the path until the list's last paint.")
                     .arg(m_options.scaleRounds));
}

void BenchResults::addGrowthRows() {
    if (screens.size() < 2)
        return;
    const int from = screens.front().width();
    const int to = screens.back().width();
    const QString benchmark = QStringLiteral("2. Peak resident set, growth %1 x %2 → %3 x %4")
                                  .arg(from)
                                  .arg(screens.front().height())
                                  .arg(to)
                                  .arg(screens.back().height());
    for (auto &[program, byScreen] : peakMiB) {
        if (!byScreen.contains(from) || !byScreen.contains(to))
            continue;
        const double growth = byScreen[to] - byScreen[from];
        const bool budgeted = !program.startsWith(QStringLiteral("bare"));
        table.add({benchmark, program, QStringLiteral("%1 MiB").arg(growth, 0, 'f', 1),
                   QStringLiteral("–"), QStringLiteral("–"), QStringLiteral("–"),
                   QStringLiteral("–"), budgeted ? QStringLiteral("≤ 2 MiB") : QStringLiteral("–"),
                   budgeted ? verdict(growth <= 2.0) : QStringLiteral("–")});
    }
}
