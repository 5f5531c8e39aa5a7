// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulsesoundplayer.h"
#include "sound/soundlibraries.h"
#include "sound/wavefile.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(TestWave)

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
    // clang-format off
    QTest::newRow("8-bit mono")    << TestWave{.sampleRate = 8000, .bits = 8} << common::SoundLibraries::sampleS16NE;
    QTest::newRow("16-bit mono")   << TestWave{} << common::SoundLibraries::sampleS16NE;
    QTest::newRow("24-bit stereo") << TestWave{.sampleRate = 48000, .bits = 24, .channels = 2} << common::SoundLibraries::sampleS32NE;
    QTest::newRow("32-bit stereo") << TestWave{.sampleRate = 44100, .bits = 32, .channels = 2} << common::SoundLibraries::sampleS32NE;
    QTest::newRow("extensible 16-bit stereo") << TestWave{.sampleRate = 44100, .channels = 2, .extensible = true} << common::SoundLibraries::sampleS16NE;
    QTest::newRow("extensible 24-bit mono")   << TestWave{.sampleRate = 96000, .bits = 24, .extensible = true} << common::SoundLibraries::sampleS32NE;
    // clang-format on
}

void TestSound::everyUncompressedLayoutOpens() {
    QFETCH(TestWave, wave);
    QFETCH(int, format);
    const QString path = m_dir.filePath(QStringLiteral("ton.wav"));
    writeTestWave(path, wave);
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

    QTest::newRow("missing") << QByteArray();
    QTest::newRow("junk") << QByteArray(5000, 'x');
    QTest::newRow("broken header") << QByteArray("RIFF\x10\0\0\0WAVEjunk", 16);
    QTest::newRow("mu-law") << muLaw;
    QTest::newRow("no samples") << empty;
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

// Neither a file that plays nothing nor a missing audio output holds the program.
void TestSound::nothingToPlayReturnsAtOnce() {
    const QString junk = m_dir.filePath(QStringLiteral("skräp.wav"));
    writeTestFile(junk, QByteArray(5000, 'x'));
    const QString tone = m_dir.filePath(QStringLiteral("wow.wav"));
    writeTestTone(tone, 440, 2.0);
    common::PulseSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.play(m_dir.filePath(QStringLiteral("xmusic.wav")));
    player.play(junk);
    player.play(m_dir.path());
    player.play(tone);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
