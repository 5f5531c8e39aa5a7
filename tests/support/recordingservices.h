// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/services.h"
#include "support/fixedrandom.h"

#include <QStringList>

#include <functional>

// Plays nothing, but holds the window like a real sound does while whilePlaying runs.
class RecordingSound final : public common::SoundPlayer {
public:
    QStringList played;
    std::function<void(const QString &)> whilePlaying;

private:
    void playToEnd(const QString &fileName) override {
        played << fileName;
        if (whilePlaying)
            whilePlaying(fileName);
    }
};

class RecordingMessageBox final : public common::MessageBox {
public:
    void warning(const QString &text) override;
    void information(const QString &text) override;

    // On, as the real one: each message shows an application-modal box and returns once the
    // box is answered. The person answers it after the input already on its way (queued
    // events), which the box's own event loop delivers and which the window system holds back
    // from the blocked windows. Off, a message returns at once.
    bool modal = true;
    QStringList warnings;
    QStringList notices;

private:
    // icon: a QMessageBox::Icon.
    void block(int icon, const QString &text);
};

class RecordingEnd final : public common::ProgramEnd {
public:
    void end() override { ++endCount; }
    int endCount = 0;
};

class RecordingErrorReporter final : public common::ErrorReporter {
public:
    void report(const QString &message) override { errors << message; }
    QStringList errors;
};

// Every service a window needs, recording what the window did with them.
class RecordingServices final {
public:
    common::Services services();

    RecordingSound sound;
    FixedRandom random;
    RecordingMessageBox messages;
    RecordingEnd end;
    RecordingErrorReporter errors;
};
