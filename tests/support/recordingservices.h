#pragma once

#include "services/services.h"
#include "support/fixedrandom.h"
#include "toolkit/blockingcall.h"

#include <QStringList>

#include <functional>

// Plays nothing, but holds the window like a real sound does while whilePlaying runs.
class RecordingSound final : public common::SoundPlayer {
public:
    void play(const QString &fileName) override {
        const common::BlockingCall blocking;
        played << fileName;
        if (whilePlaying)
            whilePlaying(fileName);
    }
    QStringList played;
    std::function<void(const QString &)> whilePlaying;
};

class RecordingMessageBox final : public common::MessageBox {
public:
    void warning(const QString &text) override { warnings << text; }
    void information(const QString &text) override { notices << text; }
    QStringList warnings;
    QStringList notices;
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
