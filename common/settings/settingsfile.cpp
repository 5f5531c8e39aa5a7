// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsfile.h"

#include "base/error.h"
#include "base/systemcause.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

constexpr qsizetype readLimit = 1 << 20;

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

QString restoreOutcome(int undoError) {
    if (undoError == 0)
        return keptOld;
    return QStringLiteral("Den tidigare filen kunde inte återställas (%1), så den kan vara "
                          "trasig: kontrollera den innan övningen startas.")
        .arg(systemCause(undoError));
}

void createFile(const QString &shown, const QString &target, const QByteArray &bytes) {
    const QString named =
        target == shown ? shown : QStringLiteral("%1 (en länk till %2)").arg(shown, target);
    const QByteArray name = QFile::encodeName(target);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const int error = errno;
        const QString folder = QFileInfo(target).path();
        QString cause = systemCause(error);
        if (error == EACCES || error == EPERM)
            cause =
                QStringLiteral("du har inte behörighet att skapa filer i mappen %1").arg(folder);
        else if (error == ENOENT)
            cause = QStringLiteral("mappen %1 finns inte").arg(folder);
        throw Error(
            QStringLiteral("Inställningsfilen %1 kunde inte skapas: %2.").arg(named, cause));
    }
    const Descriptor file(fd);
    int error = writeAt(fd, bytes, 0);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error != 0) {
        // A cut-off first file would only fail the next start.
        ::unlink(name.constData());
        throw Error(QStringLiteral("Inställningsfilen %1 kunde inte skapas: %2.")
                        .arg(named, systemCause(error)));
    }
}

// Rewrites the open file in place and puts the old bytes back when a step fails. A crash in
// the middle could still leave it mixed; replacing it by a renamed copy would not, but would
// give it a new inode and the saving user as its owner, which breaks the file for whoever
// shares it.
void rewriteInPlace(const QString &shown, int fd, const QByteArray &bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        throw notSaved(shown, systemCause(errno), keptOld);
    if (!S_ISREG(status.st_mode))
        throw notSaved(shown, QStringLiteral("det är ingen vanlig fil"), QString());
    QByteArray old;
    if (const int error = readFromStart(fd, old, std::numeric_limits<qsizetype>::max()); error != 0)
        throw notSaved(shown, QStringLiteral("den gick inte att läsa: %1").arg(systemCause(error)),
                       keptOld);

    const qsizetype oldSize = old.size();
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

    int undo = writeAt(fd, QByteArrayView(old).first(shortened ? oldSize : overwritten), 0);
    if (undo == 0 && ::ftruncate(fd, off_t(oldSize)) != 0)
        undo = errno;
    if (undo == 0 && ::fsync(fd) != 0)
        undo = errno;
    throw notSaved(shown, systemCause(error), restoreOutcome(undo));
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
    if (const int error = readFromStart(fd, bytes, readLimit); error != 0)
        throw Error(QStringLiteral("Inställningsfilen %1 kan inte läsas: %2.")
                        .arg(shown, systemCause(error)));
    return bytes;
}

void saveSettingsBytes(const QString &path, const QByteArray &bytes) {
    const QString shown = shownPath(path);
    const FileSizeSignalIgnored quiet;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
        createFile(shown, followLinks(path), bytes);
        return;
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
}

} // namespace common
