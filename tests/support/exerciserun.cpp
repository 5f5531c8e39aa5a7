// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/exerciserun.h"

#include "support/testfiles.h"

#include <QDir>
#include <QTest>

ExerciseRun::ExerciseRun()
    : m_previousDir(QDir::currentPath()) {
    QDir::setCurrent(m_dir.path());
    const std::array<QColor, 9> colours{Qt::red,     Qt::green,     Qt::blue,
                                        Qt::yellow,  Qt::cyan,      Qt::magenta,
                                        Qt::darkRed, Qt::darkGreen, Qt::darkBlue};
    settings.taskCount = 3;
    settings.smallestNumber = 1;
    settings.largestNumber = 9;
    settings.soundOn = -1;
    settings.doneButtonVisible = -1;
    settings.quitButtonVisible = -1;
    for (int i = 0; i < 9; ++i) {
        const QString name = QStringLiteral("p%1.ico").arg(i);
        writeTestIcon(m_dir.filePath(name), colours[i]);
        settings.pictures[i] = {name, m_dir.path()};
    }
    settings.pictures[7].fileName = QStringLiteral("p3.ico");
    services.random.setValues({0.25f, 0.4f});
}

ExerciseRun::~ExerciseRun() {
    m_form.reset();
    QDir::setCurrent(m_previousDir);
}

void ExerciseRun::writeSettings() {
    common::writeExerciseSettings(settings, m_dir.filePath(QStringLiteral("tavrin.ini")));
}

exercise::Form1 &ExerciseRun::form() {
    if (!m_form) {
        const common::Services windowServices =
            soundPlayer ? common::Services{*soundPlayer, services.random, services.messages,
                                           services.end, services.errors}
                        : services.services();
        m_form = std::make_unique<exercise::Form1>(windowServices);
    }
    return *m_form;
}

void ExerciseRun::load() {
    writeSettings();
    m_form.reset();
    form().load();
}

void ExerciseRun::pick(int position) {
    QTest::mouseClick(form().Image2[position], Qt::LeftButton);
}

void ExerciseRun::pickFrame(int position) {
    QTest::mouseClick(form().Picture1[position], Qt::LeftButton, {}, QPoint(3, 3));
}

void ExerciseRun::place(int slot) {
    QTest::mouseClick(form().Image3[slot], Qt::LeftButton);
}

void ExerciseRun::placeFrame(int slot) {
    QTest::mouseClick(form().Panel3D4[slot], Qt::LeftButton, {}, QPoint(3, 3));
}

void ExerciseRun::pressDone() {
    QTest::mouseClick(form().Command3D1, Qt::LeftButton);
}

void ExerciseRun::pressQuit() {
    QTest::mouseClick(form().Command3D2, Qt::LeftButton);
}

void ExerciseRun::tick(int count) {
    for (int i = 0; i < count; ++i)
        emit form().Timer1->tick();
}

void ExerciseRun::arrange(const std::array<int, 9> &positions) {
    for (int slot = 0; slot < 9; ++slot) {
        if (positions[slot] >= 0)
            pick(positions[slot]);
        place(slot);
    }
}

std::uint32_t ExerciseRun::slotHandle(int slot) {
    return form().Image3[slot]->picture().handle();
}

std::uint32_t ExerciseRun::paletteHandle(int position) {
    return form().Image2[position]->picture().handle();
}
