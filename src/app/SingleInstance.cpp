#include "app/SingleInstance.h"

#include "app/MainWindow.h"
#include "common/ErrorBoundary.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kAnswerWithin = 10s;      // a window busy loading a large dictionary answers late
constexpr int kRequestWithinMs = 5'000;  // a start that never finishes its request is let go
constexpr auto kLockWithin = 10s;        // a start that hangs before it listens holds no one for good
constexpr auto kRetryEvery = 10ms;
constexpr int kMostConnections = 16;     // later starts talking to the window at once
constexpr int kBusyListenMs = 200;       // a window out of descriptors listens again after this

// Milliseconds left until `deadline`, for poll.
int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Whether the start at the other end has stopped waiting (a window busy for longer than
// it waits): it has told its user that the request failed, so the request must not run
// late. A start that only ended its sending (a half-close) still waits for the answer.
bool PeerGaveUp(int socket) {
    pollfd peer{socket, 0, 0};
    return ::poll(&peer, 1, 0) == 1 && (peer.revents & (POLLHUP | POLLERR)) != 0;
}

// Whether the process at the other end of `socket` runs as this user.
bool PeerIsThisUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

std::optional<sockaddr_un> AddressOf(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return address;
}

struct Connection {
    enum class Result { Connected, NoWindow, NoAnswer };
    Result result = Result::NoWindow;
    int socket = -1;
};

// A connection to this user's window at `path`. A window that cannot take one now (it
// is stopped, or its queue is full) is asked again until `deadline` rather than waited
// on without end.
Connection ConnectToWindow(const QString& path, Clock::time_point deadline) {
    const std::optional<sockaddr_un> address = AddressOf(path);
    if (!address) return {};
    for (;;) {
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (socket < 0) return {};
        if (::connect(socket, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0) {
            if (PeerIsThisUser(socket)) return {Connection::Result::Connected, socket};
            ::close(socket);
            return {};  // no window of ours
        }
        const int error = errno;
        ::close(socket);
        if (error != EAGAIN && error != EINTR) return {};  // none listens there
        if (Clock::now() >= deadline) return {Connection::Result::NoAnswer, -1};
        std::this_thread::sleep_for(kRetryEvery);
    }
}

// Sends one framed request and waits for the window's answer: whether it took it
// before `deadline`.
bool SendRequest(int socket, const QByteArray& framed, Clock::time_point deadline) {
    for (qsizetype sent = 0; sent < framed.size();) {
        const ssize_t written = ::send(socket, framed.constData() + sent, static_cast<std::size_t>(framed.size() - sent),
                                       MSG_NOSIGNAL);
        if (written > 0) {
            sent += written;
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd room{socket, POLLOUT, 0};
        if (::poll(&room, 1, RemainingMs(deadline)) == 0) return false;
    }
    for (;;) {
        pollfd answer{socket, POLLIN, 0};
        const int ready = ::poll(&answer, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        char reply = 0;
        return ready == 1 && ::read(socket, &reply, 1) == 1 && reply == kAccepted;
    }
}

void Say(const QString& programName, const char* text) {
    std::fprintf(stderr, "%s: %s\n", programName.toLocal8Bit().constData(), text);
}

// A bound, listening socket at `path`, or -1 with errno set.
int BindListeningSocket(const QString& path) {
    const std::optional<sockaddr_un> address = AddressOf(path);
    if (!address) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) return -1;
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::chmod(address->sun_path, 0700) != 0 || ::listen(socket, SOMAXCONN) != 0) {
        const int error = errno;
        ::close(socket);
        errno = error;
        return -1;
    }
    return socket;
}

}  // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {}

InstanceServer::~InstanceServer() {
    if (listening_ < 0) return;
    ::close(listening_);
    // Only the socket this window made: one that took its place is another's.
    struct stat status {};
    const QByteArray path = QFile::encodeName(socketPath_);
    if (::lstat(path.constData(), &status) == 0 && status.st_dev == socketFile_.first &&
        status.st_ino == socketFile_.second)
        ::unlink(path.constData());
}

InstanceServer::ListenResult InstanceServer::Listen(const QString& socketPath) {
    int socket = BindListeningSocket(socketPath);
    if (socket < 0 && errno == EADDRINUSE) {
        // A window that still answers there keeps its socket, even a stopped one; one
        // that does not is gone, and its socket is taken over.
        const Connection window = ConnectToWindow(socketPath, Clock::now() + kRetryEvery * 10);
        if (window.socket >= 0) ::close(window.socket);
        if (window.result != Connection::Result::NoWindow) return ListenResult::AnotherWindow;
        ::unlink(QFile::encodeName(socketPath).constData());
        socket = BindListeningSocket(socketPath);
    }
    if (socket < 0) {
        qWarning("QuillorDic: later starts cannot reach this window: %s", std::strerror(errno));
        return ListenResult::Failed;
    }
    listening_ = socket;
    socketPath_ = socketPath;
    struct stat status {};
    if (::lstat(QFile::encodeName(socketPath).constData(), &status) == 0) socketFile_ = {status.st_dev, status.st_ino};
    incoming_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(incoming_, &QSocketNotifier::activated, this, Guarded(this, &InstanceServer::AcceptConnections));
    return ListenResult::Listening;
}

void InstanceServer::AcceptConnections() {
    for (;;) {
        const int accepted = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (accepted < 0) {
            // Out of descriptors, the connection stays queued and the socket readable:
            // the window listens again a moment later rather than spin on it.
            if (errno == EMFILE || errno == ENFILE) {
                incoming_->setEnabled(false);
                QTimer::singleShot(kBusyListenMs, incoming_, [notifier = incoming_] { notifier->setEnabled(true); });
            }
            return;
        }
        // A flood of connections that never send must not use up the descriptors the
        // window needs for its files.
        if (openConnections_ >= kMostConnections || !PeerIsThisUser(accepted)) {
            ::close(accepted);
            continue;
        }
        auto* socket = new QLocalSocket(this);
        if (!socket->setSocketDescriptor(accepted)) {
            ::close(accepted);
            delete socket;
            continue;
        }
        ++openConnections_;
        connect(socket, &QObject::destroyed, this, [this] { --openConnections_; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto reader = std::make_shared<RequestReader>();
        connect(socket, &QLocalSocket::readyRead, socket, Guarded([this, socket, reader] { Read(socket, *reader); }));
        QTimer::singleShot(kRequestWithinMs, socket, Guarded([socket] { socket->abort(); }));
        if (socket->bytesAvailable() > 0) Read(socket, *reader);
    }
}

void InstanceServer::Read(QLocalSocket* socket, RequestReader& reader) {
    const QByteArray bytes = socket->readAll();
    if (reader.Current() != RequestReader::State::NeedMore) return;  // answered already
    const RequestReader::State state = reader.Feed(bytes);
    if (state == RequestReader::State::NeedMore) return;
    const bool accepted =
        state == RequestReader::State::Done && !PeerGaveUp(static_cast<int>(socket->socketDescriptor()));
    socket->write(accepted ? &kAccepted : &kRefused, 1);
    socket->disconnectFromServer();  // once the answer is out
    if (accepted) emit RequestArrived(reader.Request());
}

SingleInstance::SingleInstance(const QString& settingsFile)
    : address_(FindInstanceAddress(settingsFile, CurrentInstanceEnvironment())) {}

SingleInstance::~SingleInstance() { ReleaseLock(); }

void SingleInstance::TakeLock() {
    if (lockFile_ >= 0 || !address_) return;
    // Two starts at the same moment must not both become the window: the look for one
    // and the listening of the new one happen under a lock, which the system lets go
    // of should this process end in between.
    lockFile_ = ::open(QFile::encodeName(address_->lock).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFile_ < 0) return;
    const auto deadline = Clock::now() + kLockWithin;
    while (::flock(lockFile_, LOCK_EX | LOCK_NB) != 0 && Clock::now() < deadline) std::this_thread::sleep_for(kRetryEvery);
}

void SingleInstance::ReleaseLock() {
    if (lockFile_ >= 0) ::close(lockFile_);  // closing it unlocks it
    lockFile_ = -1;
}

std::optional<int> SingleInstance::HandOver(const std::vector<InstanceRequest>& requests, const QString& programName) {
    if (!address_) return std::nullopt;  // no private place to meet: this start runs on its own
    TakeLock();
    bool first = true;
    for (const InstanceRequest& request : requests) {
        const auto deadline = Clock::now() + kAnswerWithin;
        const Connection window = ConnectToWindow(address_->socket, deadline);
        if (window.result == Connection::Result::NoWindow && first) return std::nullopt;  // this start is the window
        first = false;
        ReleaseLock();  // a window is there: later starts need not wait for this one
        const QByteArray framed = EncodeRequestForStart(request);
        const bool taken = window.socket >= 0 && !framed.isEmpty() && SendRequest(window.socket, framed, deadline);
        if (window.socket >= 0) ::close(window.socket);
        if (!taken) {
            Say(programName, window.result == Connection::Result::NoAnswer
                                 ? "QuillorDic runs already, but does not answer"
                                 : "QuillorDic runs already, but did not take the request");
            return 1;
        }
    }
    return 0;
}

bool SingleInstance::Listen() {
    if (!address_) return true;
    server_ = new InstanceServer(qApp);
    const InstanceServer::ListenResult result = server_->Listen(address_->socket);
    if (result == InstanceServer::ListenResult::AnotherWindow) {
        delete server_;
        server_ = nullptr;
        return false;  // the lock still held: the hand-over comes next
    }
    if (result == InstanceServer::ListenResult::Failed) {
        delete server_;
        server_ = nullptr;
    }
    ReleaseLock();
    return true;
}

void SingleInstance::DeliverTo(TForm1& form) {
    if (!server_) return;
    QObject::connect(server_, &InstanceServer::RequestArrived, &form,
                     [&form](const InstanceRequest& request) { RunGuarded([&] { form.HandleRequest(request); }); });
}
