// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulsesoundplayer.h"
#include "sound/soundlibraries.h"
#include "sound/wavefile.h"
#include "support/testfiles.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(TestWave)

namespace {

// A mono .wav of 32-bit float samples (format tag 3) at 12000 of 32768, half a second long.
QByteArray floatWave(int sampleRate) {
    const int frames = sampleRate / 2;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + frames * 4);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(3) << quint16(1) << quint32(sampleRate) << quint32(sampleRate * 4)
        << quint16(4) << quint16(32);
    out.writeRawData("data", 4);
    out << quint32(frames * 4);
    for (int i = 0; i < frames; ++i)
        out << float(12000.0 / 32768.0 * std::sin(2 * M_PI * 440 * i / sampleRate));
    return bytes;
}

// An output that plays what it is given in real time from the first write and reports 300 ms of
// latency on top, as a Bluetooth headset does.
namespace slowoutput {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds latency{300};
pa_sample_spec spec{};
Clock::time_point end;

pa_simple *open(const char *, const char *, int, const char *, const char *,
                const pa_sample_spec *sampleSpec, const pa_channel_map *, const pa_buffer_attr *,
                int *) {
    spec = *sampleSpec;
    end = Clock::now();
    return reinterpret_cast<pa_simple *>(&spec);
}
int write(pa_simple *, const void *, std::size_t bytes, int *) {
    const std::size_t sample = spec.format == common::SoundLibraries::sampleS16NE ? 2 : 4;
    end = std::max(end, Clock::now()) +
          std::chrono::microseconds(bytes / (sample * spec.channels) * 1'000'000 / spec.rate);
    return 0;
}
std::uint64_t reportedLatency(pa_simple *, int *) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(end + latency - Clock::now());
    return std::uint64_t(std::max<std::int64_t>(left.count(), 0));
}
void close(pa_simple *) {}

} // namespace slowoutput

} // namespace

// Runs with PULSE_SERVER pointing nowhere: the machine has no audio output.
class TestSound final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyUncompressedLayoutOpens_data();
    void everyUncompressedLayoutOpens();
    void whatIsNoPlayableWaveIsRefused_data();
    void whatIsNoPlayableWaveIsRefused();
    void nothingToPlayReturnsAtOnce();
    void cueHoldsForItsSamplesAndTheOutputsLatency_data();
    void cueHoldsForItsSamplesAndTheOutputsLatency();

private:
    const common::SoundLibraries *m_libraries = nullptr;
    QTemporaryDir m_dir;
};

void TestSound::initTestCase() {
    m_libraries = common::SoundLibraries::get();
    QVERIFY2(m_libraries, "libsndfile.so.1 or libpulse-simple.so.0 is missing");
}

void TestSound::everyUncompressedLayoutOpens_data() {
    QTest::addColumn<TestWave>("wave");
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("bytes"); // written instead of the wave when not empty
    // clang-format off
    QTest::newRow("8-bit mono")    << TestWave{.sampleRate = 8000, .bits = 8} << common::SoundLibraries::sampleS16NE << QByteArray();
    QTest::newRow("16-bit mono")   << TestWave{} << common::SoundLibraries::sampleS16NE << QByteArray();
    QTest::newRow("24-bit stereo") << TestWave{.sampleRate = 48000, .bits = 24, .channels = 2} << common::SoundLibraries::sampleS32NE << QByteArray();
    QTest::newRow("32-bit stereo") << TestWave{.sampleRate = 44100, .bits = 32, .channels = 2} << common::SoundLibraries::sampleS32NE << QByteArray();
    QTest::newRow("extensible 16-bit stereo") << TestWave{.sampleRate = 44100, .channels = 2, .extensible = true} << common::SoundLibraries::sampleS16NE << QByteArray();
    QTest::newRow("extensible 24-bit mono")   << TestWave{.sampleRate = 96000, .bits = 24, .extensible = true} << common::SoundLibraries::sampleS32NE << QByteArray();
    QTest::newRow("32-bit float mono") << TestWave{.sampleRate = 16000, .bits = 32} << common::SoundLibraries::sampleFloat32NE << floatWave(16000);
    // clang-format on
}

void TestSound::everyUncompressedLayoutOpens() {
    QFETCH(TestWave, wave);
    QFETCH(int, format);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("ton.wav"));
    if (bytes.isEmpty())
        writeTestWave(path, wave);
    else
        writeTestFile(path, bytes);
    const auto file = common::WaveFile::open(*m_libraries, path);
    QVERIFY(file);
    QCOMPARE(file->sampleSpec().format, format);
    QCOMPARE(int(file->sampleSpec().rate), wave.sampleRate);
    QCOMPARE(int(file->sampleSpec().channels), wave.channels);
    QCOMPARE(file->duration().count(), 500);

    // Every frame comes out, at the level it was written: 12000 of 32767 at every width.
    const QByteArray samples = file->read(wave.sampleRate);
    QCOMPARE(samples.size(), qsizetype(wave.sampleRate / 2 * file->bytesPerFrame()));
    const bool narrow = format == common::SoundLibraries::sampleS16NE;
    double peak = 0;
    for (qsizetype i = 0; i < samples.size() / (narrow ? 2 : 4); ++i) {
        const auto *data = samples.constData();
        const double v = narrow ? reinterpret_cast<const qint16 *>(data)[i] / 32768.0
                         : format == common::SoundLibraries::sampleFloat32NE
                             ? double(reinterpret_cast<const float *>(data)[i])
                             : reinterpret_cast<const qint32 *>(data)[i] / 2147483648.0;
        peak = std::max(peak, std::abs(v));
    }
    QVERIFY2(std::abs(peak - 12000.0 / 32768.0) < 0.02, qPrintable(QString::number(peak)));
    QVERIFY(file->read(1).isEmpty());
}

void TestSound::whatIsNoPlayableWaveIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString path = m_dir.filePath(QStringLiteral("mall.wav"));
    writeTestWave(path, TestWave{.sampleRate = 8000, .bits = 8});
    QByteArray muLaw = readTestFile(path);
    muLaw[20] = 7; // the format tag: compressed, not plain samples
    writeTestWave(path, TestWave{.seconds = 0});
    const QByteArray empty = readTestFile(path);
    writeTestWave(path, TestWave{.seconds = 0.025, .sampleRate = 8000});
    QByteArray oneHertz = readTestFile(path);
    oneHertz.replace(24, 8, QByteArray("\x01\0\0\0\x02\0\0\0", 8)); // 400 bytes, "200 s" long

    QTest::newRow("missing") << QByteArray();
    QTest::newRow("junk") << QByteArray(5000, 'x');
    QTest::newRow("broken header") << QByteArray("RIFF\x10\0\0\0WAVEjunk", 16);
    QTest::newRow("mu-law") << muLaw;
    QTest::newRow("no samples") << empty;
    QTest::newRow("1 Hz") << oneHertz;
}

void TestSound::whatIsNoPlayableWaveIsRefused() {
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("horn.wav"));
    QFile::remove(path);
    if (!bytes.isEmpty())
        writeTestFile(path, bytes);
    QVERIFY(!common::WaveFile::open(*m_libraries, path));
    QVERIFY(!common::WaveFile::open(*m_libraries, m_dir.path()));
}

// Neither a file that plays nothing, nor a named pipe under a cue's name, nor a missing audio
// output holds the program.
void TestSound::nothingToPlayReturnsAtOnce() {
    const QString junk = m_dir.filePath(QStringLiteral("skräp.wav"));
    writeTestFile(junk, QByteArray(5000, 'x'));
    const QString tone = m_dir.filePath(QStringLiteral("wow.wav"));
    writeTestTone(tone, 440, 2.0);
    const QByteArray pipe = QFile::encodeName(m_dir.filePath(QStringLiteral("horn.wav")));
    QFile::remove(QFile::decodeName(pipe));
    QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
    // A reader blocked on the pipe is let go after 5 s, so the check fails instead of hanging.
    std::atomic<bool> over = false;
    std::thread writer([&over, &pipe] {
        const auto letGo = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!over) {
            if (std::chrono::steady_clock::now() >= letGo) {
                const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0)
                    ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    common::PulseSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.play(m_dir.filePath(QStringLiteral("xmusic.wav")));
    player.play(junk);
    player.play(m_dir.path());
    player.play(QFile::decodeName(pipe));
    player.play(tone);
    const qint64 elapsed = clock.elapsed();
    over = true;
    writer.join();
    QVERIFY2(elapsed < 1500, qPrintable(QString::number(elapsed)));
}

// The hold is the samples the file holds, played in real time, and then the latency the output
// reports, however long: a header that claims more samples changes nothing.
void TestSound::cueHoldsForItsSamplesAndTheOutputsLatency_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString path = m_dir.filePath(QStringLiteral("mall.wav"));
    writeTestWave(path, TestWave{.seconds = 0.2});
    const QByteArray plain = readTestFile(path);
    QByteArray claimsMore = plain;
    claimsMore.replace(40, 4, QByteArray("\xf0\xff\xff\x7f", 4)); // the data chunk: 2 GiB
    QTest::newRow("0.2 s") << plain;
    QTest::newRow("0.2 s, the header claims 2 GiB") << claimsMore;
}

void TestSound::cueHoldsForItsSamplesAndTheOutputsLatency() {
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("wow.wav"));
    writeTestFile(path, bytes);
    // The player's playing thread may let go of its cue, and so use these, after the player is
    // gone: they stay for the whole run, as the real ones do.
    static const common::SoundLibraries *const output = [this] {
        auto *slow = new common::SoundLibraries(*m_libraries);
        slow->simpleNew = slowoutput::open;
        slow->simpleWrite = slowoutput::write;
        slow->simpleLatency = slowoutput::reportedLatency;
        slow->simpleFree = slowoutput::close;
        return slow;
    }();
    common::PulseSoundPlayer player(output);
    QElapsedTimer clock;
    clock.start();
    player.play(path);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 490 && elapsed < 2000, qPrintable(QString::number(elapsed)));
}

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
