// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "instance/singleinstance.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace common {

namespace {

// A request starts with this byte; the token follows.
constexpr char request = 'R';
constexpr char taken = 'K';
constexpr std::size_t longestToken = 4096;
// The running copy answers from its event loop, which a modal box or a sound cue keeps turning;
// only a copy that hangs takes longer.
constexpr int answerMilliseconds = 15000;
// A copy that is just starting holds the name a moment before it listens; one that is ending
// lets it go a moment after it stops answering.
constexpr int claimAttempts = 40;
constexpr useconds_t claimPause = 50000;

struct Address {
    sockaddr_un address{};
    socklen_t length = 0;
};

// The folder's name for this user and program in the abstract namespace (a leading zero byte):
// the kernel frees it with the last descriptor, and no file system is involved.
std::optional<Address> folderAddress(const QByteArray &program) {
    struct stat folder {};
    if (::stat(".", &folder) != 0)
        return std::nullopt;
    const QByteArray name = "tavrin-instance/" + QByteArray::number(quint64(::getuid())) + '/' +
                            program + '/' + QByteArray::number(quint64(folder.st_dev)) + ':' +
                            QByteArray::number(quint64(folder.st_ino));
    Address result;
    if (std::size_t(name.size()) + 1 > sizeof result.address.sun_path)
        return std::nullopt;
    result.address.sun_family = AF_UNIX;
    std::memcpy(result.address.sun_path + 1, name.constData(), std::size_t(name.size()));
    result.length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + std::size_t(name.size()));
    return result;
}

// Anyone may bind a name in the abstract namespace: talk only to the same user.
bool peerIsThisUser(int socket) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           peer.uid == ::getuid();
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Alone: the folder's name is held by another user, or can't be asked; this start runs on its own.
enum class Handover { Taken, Unanswered, Gone, Alone };

// Asks the copy that holds the folder to come to the front.
Handover handOver(const Address &address) {
    Descriptor socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (socket.get() < 0)
        return Handover::Alone;
    if (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address.address),
                  address.length) != 0)
        return errno == ECONNREFUSED ? Handover::Gone : Handover::Alone;
    if (!peerIsThisUser(socket.get()))
        return Handover::Alone;
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (token.isEmpty())
        token = qgetenv("DESKTOP_STARTUP_ID");
    const QByteArray message = request + token.left(qsizetype(longestToken));
    if (::send(socket.get(), message.constData(), std::size_t(message.size()), MSG_NOSIGNAL) < 0)
        return Handover::Gone;
    pollfd answer{socket.get(), POLLIN, 0};
    int ready;
    do
        ready = ::poll(&answer, 1, answerMilliseconds);
    while (ready < 0 && errno == EINTR);
    if (ready == 0)
        return Handover::Unanswered;
    char reply = 0;
    // No answer before the connection closed: the copy ended on the way, and the folder is free.
    return ::recv(socket.get(), &reply, 1, 0) == 1 && reply == taken ? Handover::Taken
                                                                     : Handover::Gone;
}

} // namespace

SingleInstance::SingleInstance(const QByteArray &program) {
    const std::optional<Address> address = folderAddress(program);
    if (!address)
        return;
    for (int attempt = 0; attempt < claimAttempts; ++attempt) {
        if (attempt > 0)
            ::usleep(claimPause);
        Descriptor socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (socket.get() < 0)
            return;
        if (::bind(socket.get(), reinterpret_cast<const sockaddr *>(&address->address),
                   address->length) == 0) {
            if (::listen(socket.get(), 16) == 0)
                m_listener = socket.release();
            return;
        }
        if (errno != EADDRINUSE)
            return;
        switch (handOver(*address)) {
        case Handover::Taken:
            m_endStatus = 0;
            return;
        case Handover::Unanswered:
            std::fprintf(stderr, "%s: %s\n", program.constData(),
                         qUtf8Printable(QStringLiteral("%1 körs redan i mappen %2 men svarar inte. "
                                                       "Avsluta det först.")
                                            .arg(QString::fromUtf8(program), QDir::currentPath())));
            m_endStatus = 1;
            return;
        case Handover::Alone:
            return;
        case Handover::Gone:
            break;
        }
    }
}

SingleInstance::~SingleInstance() {
    delete m_listening;
    if (m_listener >= 0)
        ::close(m_listener);
}

void SingleInstance::listen(std::function<void(const QByteArray &)> startedAgain) {
    m_startedAgain = std::move(startedAgain);
    if (m_listener < 0 || m_listening)
        return;
    // The application may go before this object: the notifiers go with it.
    m_listening =
        new QSocketNotifier(m_listener, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(m_listening, &QSocketNotifier::activated, m_listening,
                     [this] { acceptStarts(); });
}

void SingleInstance::acceptStarts() {
    for (;;) {
        const int connection =
            ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0)
            return;
        if (!peerIsThisUser(connection)) {
            ::close(connection);
            continue;
        }
        // The request may follow the connection a moment later.
        auto *notifier = new QSocketNotifier(connection, QSocketNotifier::Read, m_listening);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                         [this, notifier] { answer(notifier); });
    }
}

void SingleInstance::answer(QSocketNotifier *notifier) {
    const int connection = int(notifier->socket());
    char message[longestToken + 1];
    const ssize_t length = ::recv(connection, message, sizeof message, 0);
    if (length < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    notifier->setEnabled(false);
    notifier->deleteLater();
    if (length > 0 && message[0] == request) {
        // Brought to the front first, so that the start that asked ends after it.
        if (m_startedAgain)
            m_startedAgain(QByteArray(message + 1, qsizetype(length - 1)));
        ::send(connection, &taken, 1, MSG_NOSIGNAL);
    }
    ::close(connection);
}

} // namespace common
