// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsfile.h"

#include "base/error.h"
#include "base/systemcause.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

// All that a load reads of the file, and so all that a save needs to keep of the old one: the
// record is tiny.
constexpr qsizetype readLimit = 1 << 20;
// How long a load or save waits for another of our programs to finish with the file. A holder
// keeps the lock for the milliseconds of one read or write; one that keeps it longer is stuck.
constexpr int lockPatienceMs = 10000;

QString shownPath(const QString &path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute.startsWith(u'/'))
        return absolute;
    // The current folder has been removed meanwhile; the kernel still knows where it was.
    const QString deleted = QStringLiteral(" (deleted)");
    QString folder = QFile::symLinkTarget(QStringLiteral("/proc/self/cwd"));
    if (folder.endsWith(deleted))
        folder.chop(deleted.size());
    return folder.isEmpty() ? absolute : folder + u'/' + absolute;
}

// Closes a file descriptor at the end of the scope.
class Descriptor final {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() { ::close(m_fd); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

private:
    int m_fd = -1;
};

// Takes the advisory lock on the open file: shared for a load, exclusive for a save, so that no
// load sees a save half done and no two saves mix. 0, or the errno that stopped it; EWOULDBLOCK
// when the lock stayed taken past the patience. A file system without locks is used without.
int lockFile(int fd, int operation) {
    const QDeadlineTimer deadline(lockPatienceMs);
    for (int pauseMs = 1;; pauseMs = std::min(pauseMs * 2, 8)) {
        if (::flock(fd, operation | LOCK_NB) == 0)
            return 0;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error == ENOLCK || error == EOPNOTSUPP || error == EINVAL)
            return 0;
        if (error != EWOULDBLOCK || deadline.hasExpired())
            return error;
        ::usleep(useconds_t(pauseMs) * 1000);
    }
}

// Past a file-size limit the kernel sends SIGXFSZ, which would end the program with the edits
// unsaved; ignored, the write fails with EFBIG and the old bytes can be put back.
class FileSizeSignalIgnored final {
public:
    FileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, &m_previous);
    }
    ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &m_previous, nullptr); }
    FileSizeSignalIgnored(const FileSizeSignalIgnored &) = delete;
    FileSizeSignalIgnored &operator=(const FileSizeSignalIgnored &) = delete;

private:
    struct sigaction m_previous {};
};

// Writes all of bytes at offset: 0, or the errno that stopped it. reached, when given, counts
// the bytes that reached the file either way.
int writeAt(int fd, QByteArrayView bytes, qsizetype offset, qsizetype *reached = nullptr) {
    qsizetype scratch = 0;
    qsizetype &written = reached ? *reached : scratch;
    written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + written, std::size_t(bytes.size() - written),
                                   off_t(offset + written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        written += n;
    }
    return 0;
}

// Reads from the start up to limit bytes or the end: 0, or the errno that stopped it.
int readFromStart(int fd, QByteArray &bytes, qsizetype limit) {
    bytes.clear();
    while (bytes.size() < limit) {
        const qsizetype before = bytes.size();
        const qsizetype chunk = std::min<qsizetype>(limit - before, 1 << 16);
        bytes.resize(before + chunk);
        const ssize_t n = ::pread(fd, bytes.data() + before, std::size_t(chunk), off_t(before));
        const int error = errno;
        bytes.resize(before + std::max<ssize_t>(n, 0));
        if (n < 0 && error == EINTR)
            continue;
        if (n < 0)
            return error;
        if (n == 0)
            break;
    }
    return 0;
}

// Where a new file goes: along the symbolic links that the last part of path names, to the
// name where they end.
QString followLinks(const QString &path) {
    QString current = shownPath(path);
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(QFile::encodeName(current).constData(), target, sizeof target);
        if (n <= 0 || std::size_t(n) == sizeof target)
            break; // not a link
        const QString next = QFile::decodeName(QByteArray(target, n));
        current = next.startsWith(u'/') ? next : QFileInfo(current).path() + u'/' + next;
    }
    return current;
}

const QString keptOld = QStringLiteral("Den tidigare filen är kvar oförändrad.");

// outcome: what became of the old file, or empty when there was none.
Error notSaved(const QString &shown, const QString &cause, const QString &outcome) {
    return Error(QStringLiteral("Inställningsfilen %1 sparades inte: %2.%3")
                     .arg(shown, cause, outcome.isEmpty() ? QString() : u' ' + outcome));
}

// cutShort: the undo could put back only the part of the old file that a load reads.
QString restoreOutcome(int undoError, bool cutShort = false) {
    if (undoError != 0)
        return QStringLiteral("Den tidigare filen kunde inte återställas (%1), så den kan vara "
                              "trasig: kontrollera den innan övningen startas.")
            .arg(systemCause(undoError));
    if (cutShort)
        return QStringLiteral("Den tidigare filen är återställd så långt programmen läser den "
                              "(den första megabyten); resten av den, som programmen aldrig "
                              "läser, är borta.");
    return keptOld;
}

QString createCause(int error, const QString &folder) {
    if (error == EACCES || error == EPERM)
        return QStringLiteral("du har inte behörighet att skapa filer i mappen %1").arg(folder);
    if (error == ENOENT)
        return QStringLiteral("mappen %1 finns inte").arg(folder);
    return systemCause(error);
}

// A hidden name beside target, for a file system that can't make a file without a name.
int openNamedTemporary(const QString &target, QByteArray &name) {
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name =
            QFile::encodeName(QStringLiteral("%1/.%2.%3")
                                  .arg(info.path(), info.fileName())
                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')));
        const int fd =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void syncFolder(const QString &folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Makes the first file whole or not at all: the bytes go to a file without a name, or with a
// hidden temporary one, and only once they are on the disk does it get its name, in one step that
// never replaces a file. A crash before then leaves no settings file. Returns false when another
// save gave the name a file meanwhile; that file is then rewritten like any other.
bool createFile(const QString &shown, const QString &target, const QByteArray &bytes) {
    const QString named =
        target == shown ? shown : QStringLiteral("%1 (en länk till %2)").arg(shown, target);
    const QString folder = QFileInfo(target).path();
    const QByteArray name = QFile::encodeName(target);
    const auto failed = [&named](const QString &cause) {
        return Error(
            QStringLiteral("Inställningsfilen %1 kunde inte skapas: %2.").arg(named, cause));
    };
    // Without a name first; where the file system can't, or can't name it afterwards, with one.
    for (const bool anonymous : {true, false}) {
        QByteArray temporary;
        const int fd = anonymous ? ::open(QFile::encodeName(folder).constData(),
                                          O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)
                                 : openNamedTemporary(target, temporary);
        if (fd < 0) {
            const int error = errno;
            if (anonymous && (error == EOPNOTSUPP || error == EISDIR || error == EINVAL))
                continue;
            throw failed(createCause(error, folder));
        }
        const Descriptor file(fd);
        int error = writeAt(fd, bytes, 0);
        if (error == 0 && ::fsync(fd) != 0)
            error = errno;
        if (error == 0) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            const int linked = anonymous ? ::linkat(AT_FDCWD, self.constData(), AT_FDCWD,
                                                    name.constData(), AT_SYMLINK_FOLLOW)
                                         : ::link(temporary.constData(), name.constData());
            error = linked == 0 ? 0 : errno;
        }
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
        if (error == EEXIST)
            return false;
        if (error == 0) {
            syncFolder(folder);
            return true;
        }
        // No /proc to name the file by, or a file system that refuses: the named way remains.
        if (anonymous && (error == ENOENT || error == EOPNOTSUPP || error == EPERM ||
                          error == EXDEV || error == EINVAL))
            continue;
        throw failed(systemCause(error));
    }
    throw failed(systemCause(EOPNOTSUPP));
}

// Rewrites the open file in place, under the exclusive lock, and puts the old bytes back when a
// step fails. A crash in the middle could still leave it mixed; replacing it by a renamed copy
// would not, but would give it a new inode and the saving user as its owner, which breaks the
// file for whoever shares it.
void rewriteInPlace(const QString &shown, int fd, const QByteArray &bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        throw notSaved(shown, systemCause(errno), keptOld);
    if (!S_ISREG(status.st_mode))
        throw notSaved(shown, QStringLiteral("det är ingen vanlig fil"), QString());
    if (const int error = lockFile(fd, LOCK_EX); error != 0)
        throw notSaved(shown, systemCause(error), keptOld);
    if (::fstat(fd, &status) != 0)
        throw notSaved(shown, systemCause(errno), keptOld);
    // As much as a load reads: the new bytes are no more, so an undo of their writing needs no
    // more either. Only the end of a larger file, which no load reads, can't be put back.
    QByteArray old;
    if (const int error = readFromStart(fd, old, readLimit); error != 0)
        throw notSaved(shown, QStringLiteral("den gick inte att läsa: %1").arg(systemCause(error)),
                       keptOld);

    const qsizetype oldSize = std::max<qsizetype>(qsizetype(status.st_size), old.size());
    const qsizetype newSize = bytes.size();
    const QByteArrayView fresh(bytes);
    // The part past the old end goes first: a full disk or a file-size limit then stops the
    // save before any old byte has changed.
    if (newSize > oldSize) {
        if (const int error = writeAt(fd, fresh.sliced(oldSize), oldSize); error != 0) {
            const int undo = ::ftruncate(fd, off_t(oldSize)) == 0 ? 0 : errno;
            throw notSaved(shown, systemCause(error), restoreOutcome(undo));
        }
    }
    qsizetype overwritten = 0;
    bool shortened = false;
    int error = writeAt(fd, fresh.first(std::min(oldSize, newSize)), 0, &overwritten);
    if (error == 0 && newSize < oldSize) {
        shortened = ::ftruncate(fd, off_t(newSize)) == 0;
        error = shortened ? 0 : errno;
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error == 0)
        return;

    const bool cutShort = shortened && old.size() < oldSize;
    int undo = writeAt(fd, QByteArrayView(old).first(shortened ? old.size() : overwritten), 0);
    if (undo == 0 && ::ftruncate(fd, off_t(cutShort ? old.size() : oldSize)) != 0)
        undo = errno;
    if (undo == 0 && ::fsync(fd) != 0)
        undo = errno;
    throw notSaved(shown, systemCause(error), restoreOutcome(undo, cutShort));
}

} // namespace

QByteArray readSettingsBytes(const QString &path) {
    const QString shown = shownPath(path);
    // Non-blocking, so a named pipe in the file's place can't hold the start up.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT && QFileInfo(path).isSymLink())
            throw Error(QStringLiteral("Inställningsfilen %1 är en länk till %2, som inte finns.")
                            .arg(shown, followLinks(path)));
        if (error == ENOENT)
            throw Error(QStringLiteral("Inställningsfilen %1 finns inte.").arg(shown));
        const QString cause = error == EACCES || error == EPERM
                                  ? QStringLiteral("du har inte behörighet att läsa den")
                                  : systemCause(error);
        throw Error(QStringLiteral("Inställningsfilen %1 kan inte läsas: %2.").arg(shown, cause));
    }
    const Descriptor file(fd);
    struct stat status {};
    if (::fstat(fd, &status) == 0 && !S_ISREG(status.st_mode))
        throw Error((S_ISDIR(status.st_mode)
                         ? QStringLiteral("Inställningsfilen %1 är en mapp, ingen fil.")
                         : QStringLiteral("Inställningsfilen %1 är ingen vanlig fil."))
                        .arg(shown));
    QByteArray bytes;
    int error = lockFile(fd, LOCK_SH);
    if (error == 0)
        error = readFromStart(fd, bytes, readLimit);
    if (error != 0)
        throw Error(QStringLiteral("Inställningsfilen %1 kan inte läsas: %2.")
                        .arg(shown, systemCause(error)));
    return bytes;
}

void saveSettingsBytes(const QString &path, const QByteArray &bytes) {
    const QString shown = shownPath(path);
    const FileSizeSignalIgnored quiet;
    if (bytes.size() > readLimit)
        throw notSaved(shown,
                       QStringLiteral("den skulle bli större än den första megabyten, som är allt "
                                      "programmen läser av den"),
                       QFileInfo(path).isFile() ? keptOld : QString());
    // A first save of another program may give the name a file between the open and the create;
    // that file is then rewritten like any other.
    for (int round = 0;; ++round) {
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0 && errno == ENOENT && round < 3) {
            if (createFile(shown, followLinks(path), bytes))
                return;
            continue;
        }
        if (fd < 0) {
            const int error = errno;
            const QString cause = error == EACCES || error == EPERM
                                      ? QStringLiteral("du har inte behörighet att skriva i den")
                                      : systemCause(error);
            throw notSaved(shown, cause, QFileInfo(path).isFile() ? keptOld : QString());
        }
        const Descriptor file(fd);
        rewriteInPlace(shown, fd, bytes);
        return;
    }
}

} // namespace common
