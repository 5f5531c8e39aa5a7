#include "settings/error.h"
#include "settings/exercisesettings.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using common::ExerciseSettings;
using common::PictureRef;

namespace {

const QByteArray workedExample = "5\r\n2\r\n7\r\n-1\r\n-1\r\n0\r\n"
                                 "\"katt.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"hund.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"boll.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"bil.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"fisk.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"hus.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"sol.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"blomma.ico\"\r\n\"C:\\BILDER\"\r\n"
                                 "\"gris.ico\"\r\n\"C:\\BILDER\"\r\n";

ExerciseSettings workedExampleRecord() {
    ExerciseSettings s;
    s.taskCount = 5;
    s.smallestNumber = 2;
    s.largestNumber = 7;
    s.soundOn = -1;
    s.doneButtonVisible = -1;
    s.quitButtonVisible = 0;
    const char *names[] = {"katt.ico", "hund.ico", "boll.ico",   "bil.ico", "fisk.ico",
                           "hus.ico",  "sol.ico",  "blomma.ico", "gris.ico"};
    for (int i = 0; i < 9; ++i)
        s.pictures[i] = PictureRef{QString::fromLatin1(names[i]), QStringLiteral("C:\\BILDER")};
    return s;
}

QByteArray lines(const QList<QByteArray> &items, const QByteArray &end = "\r\n") {
    QByteArray out;
    for (const QByteArray &item : items)
        out += item + end;
    return out;
}

QList<QByteArray> numbersAndPictures(const QList<QByteArray> &numbers) {
    QList<QByteArray> items = numbers;
    for (int i = 0; i < 9; ++i)
        items << "\"p" + QByteArray::number(i) + ".ico\""
              << "\"/d\"";
    return items;
}

} // namespace

class TestExerciseSettings final : public QObject {
    Q_OBJECT

private slots:
    void writerProducesTheWorkedExampleByteForByte();
    void readerReturnsWhatTheWriterWrote();
    void quotedItemsKeepCommasAndSpaces();
    void numbersAtTheEdgesOf16BitsRoundTrip();
    void numbersOutside16BitsFailTheRead_data();
    void numbersOutside16BitsFailTheRead();
    void itemsThatAreNotWholeNumbersFailTheRead_data();
    void itemsThatAreNotWholeNumbersFailTheRead();
    void shortFileNamesTheMissingItem();
    void missingFileNamesItsFullPath();
    void separatorsAndLineEndsReadAlike_data();
    void separatorsAndLineEndsReadAlike();
    void linesAfterTheLastItemAreIgnored();
    void unquotedStringsRunToTheSeparator();
    void olderWindowsTextKeepsSwedishLetters();
    void utf8WithByteOrderMarkReads();
    void writerWritesUtf8WithoutByteOrderMark();
    void writerRefusesTextTheFileCannotHold_data();
    void writerRefusesTextTheFileCannotHold();
    void failedWriteKeepsThePreviousFile();
    void picturePathJoinsWithoutNormalising();
    void readAndWriteUseTavrinIniInTheCurrentDirectory();
};

void TestExerciseSettings::writerProducesTheWorkedExampleByteForByte() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    common::writeExerciseSettings(workedExampleRecord(), path);
    QCOMPARE(readTestFile(path), workedExample);
}

void TestExerciseSettings::readerReturnsWhatTheWriterWrote() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    writeTestFile(path, workedExample);
    QCOMPARE(common::readExerciseSettings(path), workedExampleRecord());

    ExerciseSettings other = workedExampleRecord();
    other.taskCount = 12;
    other.soundOn = 1; // a hand-written flag is kept as read
    other.pictures[4] =
        PictureRef{QStringLiteral("fågel.ico"), QStringLiteral("/home/barn/Bilder")};
    other.pictures[8] = PictureRef{QString(), QString()};
    common::writeExerciseSettings(other, path);
    QCOMPARE(common::readExerciseSettings(path), other);
}

void TestExerciseSettings::quotedItemsKeepCommasAndSpaces() {
    ExerciseSettings s = workedExampleRecord();
    s.pictures[0].fileName = QStringLiteral("katt, svart.ico");
    s.pictures[1].fileName = QStringLiteral("  hund.ico ");
    s.pictures[2].directory = QStringLiteral("/mina bilder/,/");
    const QByteArray bytes = common::formatExerciseSettings(s, QStringLiteral("x"));
    QVERIFY(bytes.contains("\"katt, svart.ico\"\r\n"));
    QCOMPARE(common::parseExerciseSettings(bytes, QStringLiteral("x")), s);
}

void TestExerciseSettings::numbersAtTheEdgesOf16BitsRoundTrip() {
    ExerciseSettings s = workedExampleRecord();
    s.taskCount = -32768;
    s.smallestNumber = 32767;
    s.largestNumber = 0;
    const QByteArray bytes = common::formatExerciseSettings(s, QStringLiteral("x"));
    QVERIFY(bytes.startsWith("-32768\r\n32767\r\n0\r\n"));
    QCOMPARE(common::parseExerciseSettings(bytes, QStringLiteral("x")), s);
}

void TestExerciseSettings::numbersOutside16BitsFailTheRead_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("32768") << 1 << QByteArray("32768");
    QTest::newRow("-32769") << 3 << QByteArray("-32769");
    QTest::newRow("huge") << 6 << QByteArray("99999999999999999999999999");
}

void TestExerciseSettings::numbersOutside16BitsFailTheRead() {
    QFETCH(int, item);
    QFETCH(QByteArray, value);
    QList<QByteArray> numbers{"5", "2", "7", "-1", "-1", "0"};
    numbers[item - 1] = value;
    try {
        common::parseExerciseSettings(lines(numbersAndPictures(numbers)),
                                      QStringLiteral("/x/tavrin.ini"));
        QFAIL("the read did not fail");
    } catch (const common::Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Post %1 ").arg(item)),
                 qPrintable(e.message()));
        QVERIFY(e.message().contains(QStringLiteral("16-bitars")));
        QVERIFY(e.message().contains(QStringLiteral("/x/tavrin.ini")));
    }
}

void TestExerciseSettings::itemsThatAreNotWholeNumbersFailTheRead_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("letters") << QByteArray("fem");
    QTest::newRow("fraction") << QByteArray("2.5");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("sign alone") << QByteArray("-");
    QTest::newRow("quoted") << QByteArray("\"5\"");
    QTest::newRow("trailing letters") << QByteArray("5x");
}

void TestExerciseSettings::itemsThatAreNotWholeNumbersFailTheRead() {
    QFETCH(QByteArray, value);
    const QByteArray bytes = lines(numbersAndPictures({"5", value, "7", "-1", "-1", "0"}));
    try {
        common::parseExerciseSettings(bytes, QStringLiteral("/x/tavrin.ini"));
        QFAIL("the read did not fail");
    } catch (const common::Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Post 2 ")), qPrintable(e.message()));
        QVERIFY(e.message().contains(QStringLiteral("inget heltal")));
    }
}

void TestExerciseSettings::shortFileNamesTheMissingItem() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    QList<QByteArray> items = numbersAndPictures({"5", "2", "7", "-1", "-1", "0"});
    writeTestFile(path, lines(items.mid(0, 20)));
    try {
        common::readExerciseSettings(path);
        QFAIL("the read did not fail");
    } catch (const common::Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("före post 21 av 24")),
                 qPrintable(e.message()));
        QVERIFY(e.message().contains(QFileInfo(path).absoluteFilePath()));
    }
    writeTestFile(path, QByteArray());
    QVERIFY_THROWS_EXCEPTION(common::Error, common::readExerciseSettings(path));
}

void TestExerciseSettings::missingFileNamesItsFullPath() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    try {
        common::readExerciseSettings(path);
        QFAIL("the read did not fail");
    } catch (const common::Error &e) {
        QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        QVERIFY(e.message().contains(QStringLiteral("finns inte")));
    }
}

void TestExerciseSettings::separatorsAndLineEndsReadAlike_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QList<QByteArray> items = numbersAndPictures({"5", "2", "7", "-1", "-1", "0"});
    QTest::newRow("CR LF") << lines(items);
    QTest::newRow("LF") << lines(items, "\n");
    QTest::newRow("CR") << lines(items, "\r");
    QTest::newRow("no final line end") << lines(items).chopped(2);
    QTest::newRow("numbers on one line") << "5,2,7,-1,-1,0\r\n" + lines(items.mid(6));
    QTest::newRow("spaces before items")
        << "  5,  2, 7\r\n -1\r\n-1 \r\n0\r\n" + lines(items.mid(6));
    QTest::newRow("pairs on one line")
        << lines(items.mid(0, 6)) + "\"p0.ico\",\"/d\"\r\n" + lines(items.mid(8));
    QTest::newRow("a mark after the closing quote")
        << lines(items.mid(0, 6)) + "\"p0.ico\" ,\"/d\"x\r\n" + lines(items.mid(8));
}

void TestExerciseSettings::separatorsAndLineEndsReadAlike() {
    QFETCH(QByteArray, bytes);
    const ExerciseSettings s = common::parseExerciseSettings(bytes, QStringLiteral("x"));
    QCOMPARE(s.taskCount, 5);
    QCOMPARE(s.smallestNumber, 2);
    QCOMPARE(s.largestNumber, 7);
    QCOMPARE(s.soundOn, -1);
    QCOMPARE(s.doneButtonVisible, -1);
    QCOMPARE(s.quitButtonVisible, 0);
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(s.pictures[i].fileName, QStringLiteral("p%1.ico").arg(i));
        QCOMPARE(s.pictures[i].directory, QStringLiteral("/d"));
    }
}

void TestExerciseSettings::linesAfterTheLastItemAreIgnored() {
    const QByteArray bytes = workedExample + "42\r\nnot a number, \"at all\r\n\x01\x02";
    QCOMPARE(common::parseExerciseSettings(bytes, QStringLiteral("x")), workedExampleRecord());
}

void TestExerciseSettings::unquotedStringsRunToTheSeparator() {
    QList<QByteArray> items = numbersAndPictures({"5", "2", "7", "-1", "-1", "0"});
    items[6] = "katt.ico  ";
    items[7] = "/bilder,\"hund.ico\"";
    items.removeAt(8); // the pair above now holds the next name too
    const ExerciseSettings s = common::parseExerciseSettings(lines(items), QStringLiteral("x"));
    QCOMPARE(s.pictures[0].fileName, QStringLiteral("katt.ico"));
    QCOMPARE(s.pictures[0].directory, QStringLiteral("/bilder"));
    QCOMPARE(s.pictures[1].fileName, QStringLiteral("hund.ico"));
}

void TestExerciseSettings::olderWindowsTextKeepsSwedishLetters() {
    QByteArray bytes = lines(numbersAndPictures({"5", "2", "7", "-1", "-1", "0"}));
    bytes.replace("\"p0.ico\"", "\"\xE5\xE4\xF6\xC5\xC4\xD6.ico\""); // åäöÅÄÖ in Windows-1252
    bytes.replace("\"p1.ico\"", "\"\x80 \x96.ico\"");                // euro sign, en dash
    const ExerciseSettings s = common::parseExerciseSettings(bytes, QStringLiteral("x"));
    QCOMPARE(s.pictures[0].fileName, QStringLiteral("åäöÅÄÖ.ico"));
    QCOMPARE(s.pictures[1].fileName, QStringLiteral("€ –.ico"));
}

void TestExerciseSettings::utf8WithByteOrderMarkReads() {
    QByteArray bytes = "\xEF\xBB\xBF" + lines(numbersAndPictures({"5", "2", "7", "-1", "-1", "0"}));
    bytes.replace("\"p0.ico\"", QStringLiteral("\"älg.ico\"").toUtf8());
    const ExerciseSettings s = common::parseExerciseSettings(bytes, QStringLiteral("x"));
    QCOMPARE(s.taskCount, 5);
    QCOMPARE(s.pictures[0].fileName, QStringLiteral("älg.ico"));
}

void TestExerciseSettings::writerWritesUtf8WithoutByteOrderMark() {
    ExerciseSettings s = workedExampleRecord();
    s.pictures[0].fileName = QStringLiteral("åsna.ico");
    const QByteArray bytes = common::formatExerciseSettings(s, QStringLiteral("x"));
    QVERIFY(bytes.startsWith("5\r\n"));
    QVERIFY(bytes.contains("\"\xC3\xA5sna.ico\"\r\n"));
}

void TestExerciseSettings::writerRefusesTextTheFileCannotHold_data() {
    QTest::addColumn<int>("picture");
    QTest::addColumn<bool>("inDirectory");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("item");
    QTest::newRow("quote in name")
        << 0 << false << QStringLiteral("ka\"tt.ico") << QStringLiteral("post 7 ");
    QTest::newRow("CR in directory")
        << 3 << true << QStringLiteral("/a\rb") << QStringLiteral("post 14 ");
    QTest::newRow("LF in name") << 8 << false << QStringLiteral("a\nb.ico")
                                << QStringLiteral("post 23 ");
}

void TestExerciseSettings::writerRefusesTextTheFileCannotHold() {
    QFETCH(int, picture);
    QFETCH(bool, inDirectory);
    QFETCH(QString, text);
    QFETCH(QString, item);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    writeTestFile(path, workedExample);
    ExerciseSettings s = workedExampleRecord();
    (inDirectory ? s.pictures[picture].directory : s.pictures[picture].fileName) = text;
    try {
        common::writeExerciseSettings(s, path);
        QFAIL("the write did not fail");
    } catch (const common::Error &e) {
        QVERIFY2(e.message().contains(item), qPrintable(e.message()));
    }
    QCOMPARE(readTestFile(path), workedExample);
}

void TestExerciseSettings::failedWriteKeepsThePreviousFile() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("barn"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/tavrin.ini");
    writeTestFile(path, workedExample);
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));

    // Root writes anywhere, so the write is tried as an unprivileged user.
    const uid_t realUser = geteuid();
    const bool dropped = realUser == 0 && seteuid(65534) == 0;
    bool failed = false;
    QString message;
    try {
        ExerciseSettings changed = workedExampleRecord();
        changed.taskCount = 9;
        common::writeExerciseSettings(changed, path);
    } catch (const common::Error &e) {
        failed = true;
        message = e.message();
    }
    if (dropped)
        QVERIFY(seteuid(realUser) == 0);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(failed);
    QVERIFY2(message.contains(path), qPrintable(message));
    QCOMPARE(readTestFile(path), workedExample);
}

void TestExerciseSettings::picturePathJoinsWithoutNormalising() {
    QCOMPARE(common::picturePath(QStringLiteral("/home/barn"), QStringLiteral("katt.ico")),
             QStringLiteral("/home/barn/katt.ico"));
    QCOMPARE(common::picturePath(PictureRef{QStringLiteral("katt.ico"), QStringLiteral("/")}),
             QStringLiteral("//katt.ico"));
    QCOMPARE(common::picturePath(QStringLiteral("/a/"), QStringLiteral("b.ico")),
             QStringLiteral("/a//b.ico"));
}

void TestExerciseSettings::readAndWriteUseTavrinIniInTheCurrentDirectory() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    common::writeExerciseSettings(workedExampleRecord());
    const ExerciseSettings read = common::readExerciseSettings();
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(readTestFile(dir.filePath(QStringLiteral("tavrin.ini"))), workedExample);
    QCOMPARE(read, workedExampleRecord());
}

QTEST_GUILESS_MAIN(TestExerciseSettings)
#include "tst_exercisesettings.moc"
