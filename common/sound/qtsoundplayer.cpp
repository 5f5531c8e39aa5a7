#include "sound/qtsoundplayer.h"

#include "toolkit/blockingcall.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

namespace common {

namespace {

// Room for loading the file and for the audio server's buffers on top of the sound itself.
constexpr std::chrono::milliseconds loadLimit{3000};
constexpr std::chrono::milliseconds playMargin{1000};

quint32 le32(const char *p) {
    return qFromLittleEndian<quint32>(p);
}
quint16 le16(const char *p) {
    return qFromLittleEndian<quint16>(p);
}

// Runs the loop until it is quit or the limit passes; user input stays queued meanwhile.
void waitFor(QEventLoop &loop, std::chrono::milliseconds limit) {
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(limit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

std::optional<std::chrono::milliseconds> QtSoundPlayer::wavDuration(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray header = file.read(12);
    if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            return std::nullopt;
        const quint32 size = le32(chunk.constData() + 4);
        if (chunk.startsWith("fmt ")) {
            const QByteArray format = file.read(size);
            if (format.size() < 16 || le16(format.constData()) != 1) // PCM only
                return std::nullopt;
            byteRate = le32(format.constData() + 8);
            if (size % 2)
                file.read(1);
        } else if (chunk.startsWith("data")) {
            if (byteRate == 0)
                return std::nullopt;
            const quint64 available = quint64(file.size() - file.pos());
            const quint64 bytes = std::min<quint64>(size, available);
            return std::chrono::milliseconds(bytes * 1000 / byteRate);
        } else if (!file.seek(file.pos() + size + (size % 2))) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void QtSoundPlayer::play(const QString &fileName) {
    const auto duration = wavDuration(fileName);
    if (!duration)
        return;
    // Without an output (no sound server) the effect claims to play but never finishes.
    if (QMediaDevices::audioOutputs().isEmpty() || QMediaDevices::defaultAudioOutput().isNull())
        return;

    const BlockingCall blocking;
    QSoundEffect effect;
    QEventLoop loop;
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&effect, &loop] {
        if (effect.status() != QSoundEffect::Loading)
            loop.quit();
    });
    effect.setSource(QUrl::fromLocalFile(fileName));
    if (effect.status() == QSoundEffect::Loading || effect.status() == QSoundEffect::Null)
        waitFor(loop, loadLimit);
    QObject::disconnect(&effect, nullptr, &loop, nullptr);
    if (effect.status() != QSoundEffect::Ready)
        return;

    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&effect, &loop] {
        if (!effect.isPlaying())
            loop.quit();
    });
    effect.play();
    waitFor(loop, *duration + playMargin);
    effect.stop();
}

} // namespace common
