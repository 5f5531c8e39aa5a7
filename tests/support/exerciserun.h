// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/form1.h"
#include "settings/exercisesettings.h"
#include "support/recordingservices.h"

#include <QTemporaryDir>

#include <array>
#include <memory>
#include <vector>

// One run of the exercise window with recording services, in a temporary current directory that
// holds nine real icons. The settings start as three tasks from 1 to 9 with sound and both
// buttons on; palette position 7 is loaded from the same file as position 3. The random values
// draw target 3 with the picture of position 3.
class ExerciseRun final {
public:
    ExerciseRun();
    ~ExerciseRun();
    ExerciseRun(const ExerciseRun &) = delete;
    ExerciseRun &operator=(const ExerciseRun &) = delete;

    // Writes tavrin.ini from settings and runs the start sequence of a new window.
    void load();
    void writeSettings();
    exercise::Form1 &form();
    QString dirPath() const { return m_dir.path(); }

    // The child's moves, as mouse clicks on the controls.
    void pick(int position);      // on the palette picture
    void pickFrame(int position); // on the margin of its frame
    void place(int slot);         // on the slot picture
    void placeFrame(int slot);    // on the margin of the slot's frame panel
    void pressDone();
    void pressQuit();
    void tick(int count = 1);
    // Fills the nine slots from the palette; -1 leaves a slot blank.
    void arrange(const std::array<int, 9> &positions);
    std::uint32_t slotHandle(int slot);
    std::uint32_t paletteHandle(int position);

    common::ExerciseSettings settings;
    RecordingServices services;
    // A real player instead of the recording one, when set before the window is made.
    common::SoundPlayer *soundPlayer = nullptr;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<exercise::Form1> m_form;
};
