// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "settings/exercisesettings.h"
#include "support/starterfiles.h"
#include "support/testfiles.h"
#include "toolkit/picture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using common::ExerciseSettings;

namespace {

const QString seedScript = QStringLiteral(TAVRIN_SEED_SCRIPT);
const QString starterDir = QStringLiteral(TAVRIN_STARTER_DIR);

struct Run {
    int exitCode = -1;
    QString output;
};

Run seed(const QStringList &arguments, const QString &program = seedScript) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.output = QString::fromLocal8Bit(process.readAll());
    return run;
}

ExerciseSettings starterRecord(const QString &folder) {
    ExerciseSettings s;
    s.taskCount = 5;
    s.smallestNumber = 1;
    s.largestNumber = 5;
    s.soundOn = -1;
    s.doneButtonVisible = -1;
    s.quitButtonVisible = -1;
    for (int i = 0; i < 9; ++i)
        s.pictures[i] = {starterPictures.at(i), folder};
    return s;
}

// Restores the working directory a test case changed, whatever way it leaves.
class CurrentDirGuard {
public:
    CurrentDirGuard()
        : m_saved(QDir::currentPath()) {}
    ~CurrentDirGuard() { QDir::setCurrent(m_saved); }

private:
    QString m_saved;
};

} // namespace

class TestSeedFolder final : public QObject {
    Q_OBJECT

private slots:
    void starterSettingsReadBackAsDesigned();
    void seededFolderWorksAsCurrentDirectory();
    void existingSettingsAreLeftAlone();
    void emptyFolderIsSeededWithoutOverwriting();
    void unstorablePathIsRefused_data();
    void unstorablePathIsRefused();
    void missingStarterFileWritesNothing();
};

void TestSeedFolder::starterSettingsReadBackAsDesigned() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    // A comma, spaces and Swedish letters all fit inside the quoted directory item.
    const QString target = temp.filePath(QStringLiteral("Förskolan, Lilla gruppen/övning"));
    const Run run = seed({target});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));

    const QString folder = QFileInfo(target).canonicalFilePath();
    const QString iniPath = folder + "/tavrin.ini";
    const ExerciseSettings expected = starterRecord(folder);
    QCOMPARE(common::readExerciseSettings(iniPath), expected);
    // Byte for byte what the programs' own writer would have produced.
    QCOMPARE(readTestFile(iniPath), common::formatExerciseSettings(expected, iniPath));

    for (const common::PictureRef &picture : expected.pictures) {
        const QString path = common::picturePath(picture);
        try {
            const common::Picture loaded = common::Picture::load(path);
            QCOMPARE(loaded.size(), QSize(32, 32));
            QCOMPARE(readTestFile(path), readTestFile(starterDir + '/' + picture.fileName));
        } catch (const common::Error &error) {
            QFAIL(qPrintable(error.message()));
        }
    }
    for (const QString &sound : starterSounds)
        QCOMPARE(readTestFile(folder + '/' + sound), readTestFile(starterDir + '/' + sound));
}

void TestSeedFolder::seededFolderWorksAsCurrentDirectory() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    // Seed through a relative name, the way `make run` names its folder.
    CurrentDirGuard guard;
    QVERIFY(QDir::setCurrent(temp.path()));
    const Run run = seed({QStringLiteral("build/run")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));

    QVERIFY(QDir::setCurrent(QStringLiteral("build/run")));
    const ExerciseSettings settings = common::readExerciseSettings();
    for (const common::PictureRef &picture : settings.pictures) {
        QVERIFY2(QDir::isAbsolutePath(picture.directory), qPrintable(picture.directory));
        QCOMPARE(QFileInfo(picture.directory).canonicalFilePath(), QDir::current().canonicalPath());
        try {
            common::Picture::load(common::picturePath(picture));
        } catch (const common::Error &error) {
            QFAIL(qPrintable(error.message()));
        }
    }
    for (const QString &sound : starterSounds)
        QVERIFY2(QFileInfo::exists(sound), qPrintable(sound));
}

void TestSeedFolder::existingSettingsAreLeftAlone() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString folder = temp.filePath(QStringLiteral("run"));
    QVERIFY(seed({folder}).exitCode == 0);

    // What a supervisor might leave behind: other settings, a sound taken away on purpose.
    ExerciseSettings saved = starterRecord(folder);
    saved.taskCount = 9;
    saved.soundOn = 0;
    saved.pictures[0] = {QStringLiteral("katt.ico"), QStringLiteral("/home/barn/bilder")};
    common::writeExerciseSettings(saved, folder + "/tavrin.ini");
    const QByteArray savedBytes = readTestFile(folder + "/tavrin.ini");
    QVERIFY(QFile::remove(folder + "/xmusic.wav"));

    const Run again = seed({folder});
    QVERIFY2(again.exitCode == 0, qPrintable(again.output));
    QCOMPARE(readTestFile(folder + "/tavrin.ini"), savedBytes);
    QVERIFY(!QFileInfo::exists(folder + "/xmusic.wav"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 9 + 3 + 1 - 1);
}

void TestSeedFolder::emptyFolderIsSeededWithoutOverwriting() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    // A folder the adult made by hand, already holding a picture of their own under a starter name.
    writeTestIcon(temp.filePath(QStringLiteral("hjarta.ico")), Qt::blue);
    const QByteArray own = readTestFile(temp.filePath(QStringLiteral("hjarta.ico")));

    const Run run = seed({temp.path()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QCOMPARE(readTestFile(temp.filePath(QStringLiteral("hjarta.ico"))), own);
    const QString folder = QDir(temp.path()).canonicalPath();
    QCOMPARE(common::readExerciseSettings(temp.filePath(QStringLiteral("tavrin.ini"))),
             starterRecord(folder));
    // No temporary file is left next to the settings.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 9 + 3 + 1);
}

void TestSeedFolder::unstorablePathIsRefused_data() {
    // printf formats, so a byte that is not UTF-8 can reach the script unchanged.
    QTest::addColumn<QString>("name");
    QTest::newRow("double quote") << QStringLiteral("barnens \"egna\" bilder");
    QTest::newRow("line feed") << QStringLiteral("rad\\nbrytning");
    QTest::newRow("carriage return") << QStringLiteral("rad\\rbrytning");
    QTest::newRow("not UTF-8") << QStringLiteral("f\\366rskola");
}

void TestSeedFolder::unstorablePathIsRefused() {
    QFETCH(QString, name);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const Run run = seed({QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$(printf \"$1\")\""),
                          seedScript, temp.path() + '/' + name},
                         QStringLiteral("bash"));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.output.contains(QStringLiteral("cannot store")), qPrintable(run.output));
    QVERIFY(QDir(temp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void TestSeedFolder::missingStarterFileWritesNothing() {
    QTemporaryDir source;
    QTemporaryDir target;
    QVERIFY(source.isValid() && target.isValid());
    for (const QString &file : starterPictures)
        QVERIFY(QFile::copy(starterDir + '/' + file, source.filePath(file)));
    // The sounds are missing: a folder without them would start silently, so refuse it.
    const Run run = seed({target.path(), source.path()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.output.contains(QStringLiteral("xmusic.wav")), qPrintable(run.output));
    QVERIFY(!QFileInfo::exists(target.filePath(QStringLiteral("tavrin.ini"))));
}

QTEST_MAIN(TestSeedFolder)
#include "tst_seedfolder.moc"
