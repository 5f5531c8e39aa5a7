// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "benchmarks/resulttable.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <map>
#include <optional>

class Desktop;
class MonitorRecorder;

// How many times each benchmark repeats; the defaults keep a whole run to a few minutes.
struct BenchOptions {
    int startRuns = 10;
    int memoryRounds = 2;
    int idleSeconds = 10;
    int pacingTrials = 10;
    int scaleRounds = 5;
    QString resultsPath = QStringLiteral("results.md");
};

// What the passes at each screen size share: the table, and each program's median peak memory by
// screen, for the growth from one screen to the next.
struct BenchResults {
    ResultTable table;
    std::map<QString, std::map<int, double>> peakMiB; // program, screen width: MiB
    QList<QSize> screens;

    // The rows for the growth in peak memory from the first screen to the last.
    void addGrowthRows();
};

// What a program looks like once its window is on the screen and painted.
struct ProgramLook {
    QString name;
    QString executable;
    QStringList arguments;
    QString folder;
    QColor background;
    // A point of a child widget, relative to the client area, and its colour once painted.
    QPoint childPoint;
    QColor childColour;
};

// The benchmarks, run as Qt Test functions on the private desktop so that a failed step is
// reported where it happened. Each one interleaves the programs with the bare reference so that
// the machine's noise falls on all of them alike.
class Benchmarks final : public QObject {
    Q_OBJECT

public:
    Benchmarks(Desktop &desktop, BenchOptions options, QSize screen, BenchResults &results);

private slots:
    void initTestCase();
    void startUp();
    void memoryAndIdle();
    void pacing();
    void scale();

private:
    using Clock = std::chrono::steady_clock;

    void prepareExerciseFolder(const QString &folder, bool sound);
    QList<const ProgramLook *> allLooks() const;
    // One row per program with its ratios to both floors; with a budget, a ratio to the floor
    // with backdrop and text that the two programs must keep to.
    void addComparedRows(const QString &benchmark, std::map<QString, QList<double>> &values,
                         const std::function<QString(double)> &format, int decimals,
                         std::optional<double> budget);
    // "1920 x 1080"
    QString screenName() const;
    // Waits until the program's window is painted; the moment of the screenshot that showed it.
    std::optional<Clock::time_point> waitUntilPainted(const ProgramLook &look, int milliseconds,
                                                      QPoint *origin = nullptr);
    void waitUntilGone(const ProgramLook &look);
    // The onset of the tone after the click, in milliseconds, or nothing when it wasn't heard.
    std::optional<double> onsetAfter(const MonitorRecorder &recorder, Clock::time_point click,
                                     double hz, int waitMs);

    Desktop &m_desktop;
    BenchOptions m_options;
    QSize m_screen;
    BenchResults &m_results;
    ResultTable &m_table;
    QTemporaryDir m_root;
    ProgramLook m_bare;
    ProgramLook m_designFloor;
    ProgramLook m_exercise;
    ProgramLook m_supervisor;
    QString m_loudFolder;
    QList<double> m_grabMs;
};
