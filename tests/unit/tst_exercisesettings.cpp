// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "settings/exercisesettings.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// The same record with directories so long that the file grows past a 4 KiB page.
ExerciseSettings largeRecord() {
    ExerciseSettings s = workedExampleRecord();
    for (PictureRef &picture : s.pictures)
        picture.directory = u'/' + QString(600, u'x');
    return s;
}

ExerciseSettings changedRecord() {
    ExerciseSettings s = workedExampleRecord();
    s.taskCount = 9;
    s.pictures[0].fileName = QStringLiteral("älg.ico");
    return s;
}

QByteArray bytesOf(const ExerciseSettings &settings) {
    return common::formatExerciseSettings(settings, QStringLiteral("x"));
}

// The peak of this process's resident memory so far, in MiB.
long peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Ordinary users by number, so that no entry in /etc/passwd is needed: two teachers who share
// the group 3000 besides their own.
struct Account {
    uid_t uid = 0;
    gid_t group = 0;
};
constexpr Account anna{2001, 2001};
constexpr Account berit{2002, 2002};
constexpr gid_t sharedGroup = 3000;

struct Outcome {
    bool ranToEnd = false;
    QString message; // the common::Error it ended with
};

// Runs what in a child process as account, with umask 002 as in a shared group folder and a
// limit on the size of the files it writes. Needs root.
Outcome runAs(const Account &account, const std::function<void()> &what,
              rlim_t fileSizeLimit = RLIM_INFINITY) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {false, QStringLiteral("no pipe")};
    const pid_t child = fork();
    if (child == 0) {
        ::close(fds[0]);
        const gid_t groups[] = {account.group, sharedGroup};
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        QByteArray message = "the child could not become the user";
        int status = 2;
        if (setgroups(2, groups) == 0 &&
            setresgid(account.group, account.group, account.group) == 0 &&
            setresuid(account.uid, account.uid, account.uid) == 0 &&
            setrlimit(RLIMIT_FSIZE, &limit) == 0) {
            umask(002);
            message.clear();
            status = 0;
            try {
                what();
            } catch (const common::Error &e) {
                message = e.message().toUtf8();
                status = 1;
            }
        }
        if (::write(fds[1], message.constData(), std::size_t(message.size())) < 0)
            status = 3;
        _exit(status);
    }
    ::close(fds[1]);
    QByteArray message;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            message.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status))
        return {false, QStringLiteral("the child ended by signal %1").arg(WTERMSIG(status))};
    return {WEXITSTATUS(status) == 0, QString::fromUtf8(message)};
}

// The message of the common::Error that what ends with; empty when it ran to its end.
QString messageOf(const std::function<void()> &what) {
    try {
        what();
    } catch (const common::Error &e) {
        return e.message();
    }
    return {};
}

void setOwner(const QString &path, const Account &account, gid_t group, mode_t mode) {
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::lchown(name.constData(), account.uid, group), 0);
    QCOMPARE(::chmod(name.constData(), mode), 0);
}

// What a save must keep of a file besides its bytes.
struct Identity {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    ino_t inode = 0;
    nlink_t links = 0;
    bool operator==(const Identity &) const = default;
};

Identity identityOf(const QString &path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {status.st_uid, status.st_gid, mode_t(status.st_mode & 07777), status.st_ino,
            status.st_nlink};
}

char *toString(const Identity &identity) {
    return qstrdup(QStringLiteral("owner %1 group %2 mode %3 inode %4 links %5")
                       .arg(identity.owner)
                       .arg(identity.group)
                       .arg(identity.mode, 4, 8, QChar(u'0'))
                       .arg(identity.inode)
                       .arg(identity.links)
                       .toUtf8()
                       .constData());
}

// A message for the user: Swedish throughout, so none of the C library's or Qt's English.
void verifySwedish(const QString &message) {
    static const QStringList english{
        QStringLiteral("permission"), QStringLiteral("denied"),       QStringLiteral("no such"),
        QStringLiteral("not found"),  QStringLiteral("unsupported"),  QStringLiteral("no space"),
        QStringLiteral("error"),      QStringLiteral("input/output"), QStringLiteral("too large"),
        QStringLiteral("directory"),  QStringLiteral("read-only"),    QStringLiteral("unknown"),
        QStringLiteral("failed"),     QStringLiteral("cannot"),       QStringLiteral("invalid")};
    for (const QString &word : english)
        QVERIFY2(!message.contains(word, Qt::CaseInsensitive), qPrintable(message));
    QVERIFY2(message.front().isUpper() && message.endsWith(u'.'), qPrintable(message));
}

// A file system mounted for one test, unmounted at the end of it.
struct Mount {
    QByteArray where;
    Mount() = default;
    Mount(const Mount &) = delete;
    Mount &operator=(const Mount &) = delete;
    ~Mount() {
        if (!where.isEmpty())
            umount2(where.constData(), MNT_DETACH);
    }
};

enum SaveCase {
    sharedGroupFolder,
    readOnlyFolder,
    hardLink,
    symbolicLink,
    noWriteRight,
    diskFull,
    fileSizeLimit,
    fileSizeLimitMidway,
};

} // namespace

class TestExerciseSettings final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void writerProducesTheWorkedExampleByteForByte();
    void readerReturnsWhatTheWriterWrote();
    void concurrentSavesAndLoadsNeverTear();
    void aCrashDuringTheFirstSaveLeavesNoFileOrAWholeOne();
    void aSaveOverAHugeFileReadsNoMoreThanALoad();
    void quotedItemsKeepCommasAndSpaces();
    void numbersAtTheEdgesOf16BitsRoundTrip();
    void messagesAreSwedishAndNameTheFileAndItem_data();
    void messagesAreSwedishAndNameTheFileAndItem();
    void separatorsAndLineEndsReadAlike_data();
    void separatorsAndLineEndsReadAlike();
    void linesAfterTheLastItemAreIgnored();
    void unquotedStringsRunToTheSeparator();
    void olderWindowsTextKeepsSwedishLetters();
    void utf8WithByteOrderMarkReads();
    void writerWritesUtf8WithoutByteOrderMark();
    void writerRefusesTextTheFileCannotHold_data();
    void writerRefusesTextTheFileCannotHold();
    void savesAsOrdinaryUsersKeepTheFile_data();
    void savesAsOrdinaryUsersKeepTheFile();
    void picturePathJoinsWithoutNormalising();
    void readAndWriteUseTavrinIniInTheCurrentDirectory();

private:
    QTemporaryDir m_dir;
    bool m_root = false;
    bool m_canMount = false;
};

void TestExerciseSettings::initTestCase() {
    QVERIFY(m_dir.isValid());
    // The ordinary users get to the files through it.
    QCOMPARE(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    // Root that may become another user, as CI is; a container may forbid it.
    m_root = geteuid() == 0 && runAs(anna, [] {}).ranToEnd;
    // Mounts made here stay private to this process and go with it.
    m_canMount = m_root && unshare(CLONE_NEWNS) == 0 &&
                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

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
    QVERIFY(!common::isEmptySettingsFile(path));

    // Long folder names take the file past a few kilobytes; it reads whole all the same.
    common::writeExerciseSettings(largeRecord(), path);
    QVERIFY(QFileInfo(path).size() > 4096);
    QCOMPARE(common::readExerciseSettings(path), largeRecord());

    // A file with no item at all is one still to be made, as a crash can leave it.
    for (const QByteArray &empty :
         {QByteArray(), QByteArray(" \r\n\t\r\n"), QByteArray(4096, '\0')}) {
        writeTestFile(path, empty);
        QVERIFY(common::isEmptySettingsFile(path));
    }
}

// Two programs save over and over, one record or the other, while a third loads: every load
// reads one whole record, and every save lands.
void TestExerciseSettings::concurrentSavesAndLoadsNeverTear() {
    // In memory where there is a place for it: the saves then don't wait for a disk, and many
    // more of them meet.
    const QString shared = QStringLiteral("/dev/shm");
    QTemporaryDir dir(QFileInfo(shared).isWritable() ? shared + QStringLiteral("/tavrinXXXXXX")
                                                     : QString());
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    // Records of different lengths, the savers out of step: one grows the file as the other
    // shrinks it, and without turns a load would see a mix.
    std::array<ExerciseSettings, 4> records{workedExampleRecord(), largeRecord(),
                                            workedExampleRecord(), largeRecord()};
    records[2].taskCount = records[3].taskCount = 2;
    common::writeExerciseSettings(records[0], path);
    constexpr int saves = 20000;
    pid_t savers[2];
    for (int saver = 0; saver < 2; ++saver) {
        savers[saver] = fork();
        if (savers[saver] == 0) {
            int failed = 0;
            for (int i = 0; i < saves; ++i)
                failed +=
                    messageOf([&] {
                        common::writeExerciseSettings(records[2 * saver + (i + saver) % 2], path);
                    }).isEmpty()
                        ? 0
                        : 1;
            _exit(std::min(failed, 100));
        }
    }
    int loads = 0;
    int torn = 0;
    QString example;
    int running = 2;
    int failedSaves = 0;
    while (running > 0) {
        ExerciseSettings read;
        const QString message = messageOf([&] { read = common::readExerciseSettings(path); });
        ++loads;
        if (!message.isEmpty() ||
            std::find(records.begin(), records.end(), read) == records.end()) {
            ++torn;
            example = message;
        }
        int status = 0;
        for (pid_t ended; (ended = waitpid(-1, &status, WNOHANG)) > 0; --running)
            failedSaves += WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
    }
    QCOMPARE(failedSaves, 0);
    QVERIFY(loads > 0);
    QVERIFY2(torn == 0,
             qPrintable(
                 QStringLiteral("%1 of %2 loads torn, as: %3").arg(torn).arg(loads).arg(example)));
}

// The saving process is stopped at each of its system calls in turn and killed there: there is
// then no file, or the whole record.
void TestExerciseSettings::aCrashDuringTheFirstSaveLeavesNoFileOrAWholeOne() {
    const ExerciseSettings record = largeRecord();
    for (int stops = 0;; ++stops) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
        const pid_t child = fork();
        if (child == 0) {
            ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
            ::raise(SIGSTOP);
            _exit(messageOf([&] { common::writeExerciseSettings(record, path); }).isEmpty() ? 0
                                                                                            : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, WUNTRACED), child);
        QVERIFY(WIFSTOPPED(status));
        bool ended = false;
        for (int i = 0; i < stops && !ended; ++i) {
            if (::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr) != 0) {
                ::kill(child, SIGKILL);
                waitpid(child, &status, 0);
                QSKIP("This system does not let a process trace its child.");
            }
            QCOMPARE(waitpid(child, &status, 0), child);
            ended = WIFEXITED(status) || WIFSIGNALED(status);
        }
        if (!ended) {
            ::kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        if (QFileInfo::exists(path)) {
            ExerciseSettings read;
            const QString message = messageOf([&] { read = common::readExerciseSettings(path); });
            QVERIFY2(message.isEmpty(),
                     qPrintable(QStringLiteral("killed at stop %1: %2").arg(stops).arg(message)));
            QCOMPARE(read, record);
        }
        if (ended) {
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            QVERIFY(QFileInfo::exists(path));
            QVERIFY(stops > 4);
            return;
        }
    }
}

// Both programs accept a file far larger than its record, and the first megabyte is all that
// a load reads of it; a save keeps no more of it in memory.
void TestExerciseSettings::aSaveOverAHugeFileReadsNoMoreThanALoad() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    writeTestFile(path, workedExample);
    QCOMPARE(::truncate(QFile::encodeName(path).constData(), off_t(256) << 20), 0);
    QCOMPARE(common::readExerciseSettings(path), workedExampleRecord());
    const long before = peakMemoryMiB();
    common::writeExerciseSettings(changedRecord(), path);
    QVERIFY2(peakMemoryMiB() - before < 64,
             qPrintable(QStringLiteral("%1 MiB").arg(peakMemoryMiB() - before)));
    QCOMPARE(readTestFile(path), bytesOf(changedRecord()));
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

void TestExerciseSettings::messagesAreSwedishAndNameTheFileAndItem_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("cause");
    int count = 0;
    const auto read = [this, &count](const char *name, const QByteArray &bytes, const QString &item,
                                     const QString &cause) {
        const QString path = m_dir.filePath(QStringLiteral("läs%1/tavrin.ini").arg(++count));
        QDir().mkpath(QFileInfo(path).path());
        writeTestFile(path, bytes);
        QTest::newRow(name) << messageOf([&] { common::readExerciseSettings(path); }) << path
                            << item << cause;
    };
    const auto numbers = [](int item, const QByteArray &value) {
        QList<QByteArray> numbers{"5", "2", "7", "-1", "-1", "0"};
        numbers[item - 1] = value;
        return lines(numbersAndPictures(numbers));
    };
    read("letters", numbers(2, "fem"), "Post 2 (Minsta tavrin)", "\"fem\" är inget heltal");
    read("fraction", numbers(2, "2.5"), "Post 2 (Minsta tavrin)", "\"2.5\" är inget heltal");
    read("sign alone", numbers(4, "-"), "Post 4 (Ljud)", "\"-\" är inget heltal");
    read("trailing letters", numbers(5, "5x"), "Post 5 (KLAR-knapp)", "\"5x\" är inget heltal");
    read("empty item", numbers(2, ""), "Post 2 (Minsta tavrin)", "posten är tom");
    read("quoted number", numbers(3, "\"5\""), "Post 3 (Högsta tavrin)",
         "talet 5 står inom citattecken");
    read("32768", numbers(1, "32768"), "Post 1 (Antal övningar)", "talet 32768 ryms inte i ett 16");
    read("-32769", numbers(3, "-32769"), "Post 3 (Högsta tavrin)", "talet -32769 ryms inte");
    read("huge", numbers(6, "99999999999999999999"), "Post 6 (STOPP-knapp)", "ryms inte");
    read("short", lines(numbersAndPictures({"5", "2", "7", "-1", "-1", "0"}).mid(0, 20)),
         "post 21 av 24 (Bild 8, filnamn)", "tar slut före");
    read("empty file", "", "", "är tom");
    read("zero-filled", QByteArray(1 << 20, '\0'), "", "är tom");
    read("junk", numbers(1, QByteArray(1 << 19, '\x01')), "Post 1 (Antal övningar)",
         "\"" + QString(40, QChar(QChar::ReplacementCharacter)) + "…\" är inget heltal");
    read("long number", numbers(3, QByteArray(5000, '7')), "Post 3 (Högsta tavrin)",
         "talet " + QString(40, u'7') + "… ryms inte");

    const QString folder = m_dir.filePath(QStringLiteral("fel"));
    QDir().mkpath(folder + QStringLiteral("/tavrin.ini"));
    QTest::newRow("folder in the way")
        << messageOf([&] { common::readExerciseSettings(folder + "/tavrin.ini"); })
        << folder + "/tavrin.ini" << QString() << "är en mapp";
    const QString missing = m_dir.filePath(QStringLiteral("saknas/tavrin.ini"));
    QTest::newRow("missing file") << messageOf([&] { common::readExerciseSettings(missing); })
                                  << missing << QString() << "finns inte";
    const QString link = m_dir.filePath(QStringLiteral("länk.ini"));
    QVERIFY(QFile::link(missing, link));
    QTest::newRow("dangling link") << messageOf([&] { common::readExerciseSettings(link); }) << link
                                   << missing << "som inte finns";
    QTest::newRow("write, quote in a name") << messageOf([&] {
        ExerciseSettings s = workedExampleRecord();
        s.pictures[0].fileName = QStringLiteral("ka\"tt.ico");
        common::writeExerciseSettings(s, missing);
    }) << missing << "Post 7 (Bild 1, filnamn)"
                                            << "citattecken";
    QTest::newRow("write, folder gone")
        << messageOf([&] { common::writeExerciseSettings(workedExampleRecord(), missing); })
        << missing << QString() << "mappen " + QFileInfo(missing).path() + " finns inte";
    const QString gone = m_dir.filePath(QStringLiteral("borta"));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir().mkdir(gone) && QDir::setCurrent(gone) && QDir().rmdir(gone));
    const QString goneMessage =
        messageOf([] { common::writeExerciseSettings(workedExampleRecord()); });
    QVERIFY(QDir::setCurrent(previous));
    QTest::newRow("write, current folder gone")
        << goneMessage << gone + "/tavrin.ini" << QString() << "mappen " + gone + " finns inte";
    QTest::newRow("write, a folder in the way") << messageOf([&] {
        common::writeExerciseSettings(workedExampleRecord(), folder + "/tavrin.ini");
    }) << folder + "/tavrin.ini" << QString() << "där finns en mapp";
    if (!m_root)
        return;
    // Root may read and write anything, so these run as an ordinary user.
    const QString locked = m_dir.filePath(QStringLiteral("låst/tavrin.ini"));
    QDir().mkpath(QFileInfo(locked).path());
    writeTestFile(locked, workedExample);
    QCOMPARE(::chmod(QFile::encodeName(locked).constData(), 0600), 0);
    QCOMPARE(::chmod(QFile::encodeName(QFileInfo(locked).path()).constData(), 0755), 0);
    QTest::newRow("no right to read")
        << runAs(anna, [&] { common::readExerciseSettings(locked); }).message << locked << QString()
        << "du har inte behörighet att läsa den";
    const QString fresh = QFileInfo(locked).path() + QStringLiteral("/ny.ini");
    QTest::newRow("no right to create")
        << runAs(anna, [&] { common::writeExerciseSettings(workedExampleRecord(), fresh); }).message
        << fresh << QString() << "behörighet att skapa filer i mappen " + QFileInfo(fresh).path();
}

void TestExerciseSettings::messagesAreSwedishAndNameTheFileAndItem() {
    QFETCH(QString, message);
    QFETCH(QString, file);
    QFETCH(QString, item);
    QFETCH(QString, cause);
    QVERIFY2(!message.isEmpty(), "nothing failed");
    verifySwedish(message);
    QVERIFY2(message.contains(file), qPrintable(message));
    QVERIFY2(message.contains(item), qPrintable(message));
    QVERIFY2(message.contains(cause), qPrintable(message));
    QVERIFY2(message.size() < 2 * file.size() + 200, qPrintable(message));
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
    QTest::newRow("quote in name") << 0 << false << QStringLiteral("ka\"tt.ico");
    QTest::newRow("CR in directory") << 3 << true << QStringLiteral("/a\rb");
    QTest::newRow("LF in name") << 8 << false << QStringLiteral("a\nb.ico");
}

void TestExerciseSettings::writerRefusesTextTheFileCannotHold() {
    QFETCH(int, picture);
    QFETCH(bool, inDirectory);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tavrin.ini"));
    writeTestFile(path, workedExample);
    ExerciseSettings s = workedExampleRecord();
    (inDirectory ? s.pictures[picture].directory : s.pictures[picture].fileName) = text;
    QVERIFY_THROWS_EXCEPTION(common::Error, common::writeExerciseSettings(s, path));
    QCOMPARE(readTestFile(path), workedExample);
}

void TestExerciseSettings::savesAsOrdinaryUsersKeepTheFile_data() {
    QTest::addColumn<int>("saveCase");
    QTest::addColumn<QString>("cause"); // empty: the save succeeds
    QTest::newRow("second user in a shared group folder") << int(sharedGroupFolder) << QString();
    QTest::newRow("read-only folder, writable file") << int(readOnlyFolder) << QString();
    QTest::newRow("hard link") << int(hardLink) << QString();
    QTest::newRow("symbolic link") << int(symbolicLink) << QString();
    QTest::newRow("no right to write the file")
        << int(noWriteRight) << "du har inte behörighet att skriva i den";
    QTest::newRow("disk full") << int(diskFull) << "disken är full";
    QTest::newRow("file-size limit while growing") << int(fileSizeLimit) << "gränsen för hur stora";
    QTest::newRow("file-size limit midway") << int(fileSizeLimitMidway) << "gränsen för hur stora";
}

void TestExerciseSettings::savesAsOrdinaryUsersKeepTheFile() {
    QFETCH(int, saveCase);
    QFETCH(QString, cause);
    if (!m_root)
        QSKIP("Acting as two ordinary users needs root that may change its user.");
    QTemporaryDir dir(m_dir.filePath(QStringLiteral("sparaXXXXXX")));
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString folder = dir.filePath(QStringLiteral("förskola"));
    QVERIFY(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/tavrin.ini");
    Account saver = anna;
    ExerciseSettings before = workedExampleRecord();
    ExerciseSettings after = changedRecord();
    rlim_t limit = RLIM_INFINITY;
    Mount mounted;
    const auto writeOld = [&](const QString &file, gid_t group, mode_t mode) {
        writeTestFile(file, bytesOf(before));
        setOwner(file, anna, group, mode);
    };
    setOwner(folder, anna, anna.group, 0755);

    switch (saveCase) {
    case sharedGroupFolder:
        setOwner(folder, anna, sharedGroup, 02775);
        // The first save creates the file, in the folder's group and writable by the group.
        QVERIFY(runAs(anna, [&] { common::writeExerciseSettings(before, path); }).ranToEnd);
        QCOMPARE(identityOf(path).owner, anna.uid);
        QCOMPARE(identityOf(path).group, sharedGroup);
        QCOMPARE(identityOf(path).mode, mode_t(0664));
        saver = berit;
        break;
    case noWriteRight:
        setOwner(folder, anna, sharedGroup, 02775);
        writeOld(path, sharedGroup, 0644);
        saver = berit;
        break;
    case readOnlyFolder:
        writeOld(path, anna.group, 0644);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        break;
    case hardLink:
        writeOld(path, anna.group, 0644);
        QCOMPARE(::link(QFile::encodeName(path).constData(),
                        QFile::encodeName(dir.filePath(QStringLiteral("kopia.ini"))).constData()),
                 0);
        break;
    case symbolicLink:
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("delad"))));
        writeOld(dir.filePath(QStringLiteral("delad/tavrin.ini")), anna.group, 0644);
        QCOMPARE(::symlink("../delad/tavrin.ini", QFile::encodeName(path).constData()), 0);
        break;
    case diskFull: {
        if (!m_canMount)
            QSKIP("A small file system for a full disk needs mounting.");
        QCOMPARE(mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                       "size=16k,mode=0755,uid=2001,gid=2001"),
                 0);
        mounted.where = QFile::encodeName(folder);
        writeOld(path, anna.group, 0644);
        // The old file fills one page; the new one needs a second, and no page is left.
        QFile filler(folder + QStringLiteral("/fyllnad"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
        after = largeRecord();
        break;
    }
    case fileSizeLimit:
        writeOld(path, anna.group, 0644);
        after = largeRecord();
        limit = rlim_t(bytesOf(before).size() + 10);
        break;
    case fileSizeLimitMidway:
        // A limit below the old size stops the rewrite of the first bytes, after some of them.
        before = largeRecord();
        writeOld(path, anna.group, 0644);
        limit = 100;
        break;
    }
    const QString target = QFileInfo(path).canonicalFilePath();
    const QByteArray oldBytes = readTestFile(target);
    const Identity kept = identityOf(target);

    const Outcome outcome = runAs(
        saver, [&] { common::writeExerciseSettings(after, path); }, limit);

    QCOMPARE(identityOf(target), kept);
    if (cause.isEmpty()) {
        QVERIFY2(outcome.ranToEnd, qPrintable(outcome.message));
        QCOMPARE(readTestFile(target), bytesOf(after));
    } else {
        QVERIFY(!outcome.ranToEnd);
        verifySwedish(outcome.message);
        QVERIFY2(outcome.message.contains(path), qPrintable(outcome.message));
        QVERIFY2(outcome.message.contains(cause), qPrintable(outcome.message));
        QVERIFY2(outcome.message.contains(QStringLiteral("Den tidigare filen är kvar oförändrad")),
                 qPrintable(outcome.message));
        QCOMPARE(readTestFile(target), oldBytes);
    }
    if (saveCase == hardLink)
        QCOMPARE(readTestFile(dir.filePath(QStringLiteral("kopia.ini"))), bytesOf(after));
    if (saveCase == symbolicLink)
        QVERIFY(QFileInfo(path).isSymLink());
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
