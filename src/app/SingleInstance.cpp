#include "app/SingleInstance.h"

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "common/ErrorBoundary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kAnswerWithinMs = 10'000;   // a window busy loading a large dictionary answers late
constexpr int kRequestWithinMs = 5'000;   // a start that never finishes its request is let go
constexpr int kLockWithinMs = 10'000;     // a start that hangs before it listens holds no one for good
constexpr int kMostConnections = 16;      // later starts talking to the window at once

// Whether the start at the other end has stopped waiting (a window busy for longer than
// it waits): it has told its user that the request failed, so the request must not run
// late.
bool PeerGaveUp(int socket) {
    pollfd peer{socket, POLLRDHUP, 0};
    return ::poll(&peer, 1, 0) == 1 && (peer.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

// Whether the process at the other end of `socket` runs as this user.
bool PeerIsThisUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

// A connection to this user's window, or -1 when none listens there.
int ConnectToWindow(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return -1;
    // Someone else's socket in a shared temporary folder is no window of ours.
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || !PeerIsThisUser(socket)) {
        ::close(socket);
        return -1;
    }
    return socket;
}

// Sends one framed request and waits for the window's answer: whether it took it.
bool SendRequest(int socket, const QByteArray& framed) {
    for (qsizetype sent = 0; sent < framed.size();) {
        const ssize_t written = ::send(socket, framed.constData() + sent, static_cast<std::size_t>(framed.size() - sent),
                                       MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        sent += written;
    }
    pollfd answer{socket, POLLIN, 0};
    int ready = 0;
    do ready = ::poll(&answer, 1, kAnswerWithinMs);
    while (ready < 0 && errno == EINTR);
    char reply = 0;
    return ready == 1 && ::read(socket, &reply, 1) == 1 && reply == kAccepted;
}

void Say(const QString& programName, const char* text) {
    std::fprintf(stderr, "%s: %s\n", programName.toLocal8Bit().constData(), text);
}

}  // namespace

QString InstanceSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
    return folder + QStringLiteral("/org.quillordic.QuillorDic.%1").arg(::geteuid());
}

std::vector<InstanceRequest> RequestsOf(const CommandLine& line) {
    QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    // The token only helps the window to the front: one that cannot travel is left out
    // rather than costing the request.
    if (EncodeRequest({InstanceRequest::Kind::Show, QString(), token}).isEmpty()) token.clear();
    std::vector<InstanceRequest> requests;
    // The running window has a working folder of its own.
    if (!line.file.isEmpty())
        requests.push_back({InstanceRequest::Kind::Open, QFileInfo(line.file).absoluteFilePath(), token});
    if (line.searchText) requests.push_back({InstanceRequest::Kind::Search, *line.searchText, token});
    if (requests.empty()) requests.push_back({InstanceRequest::Kind::Show, QString(), token});
    return requests;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, Guarded(this, &InstanceServer::AcceptConnections));
}

bool InstanceServer::Listen(const QString& socketPath) {
    // Only called when no window answered there: what is left is a crashed one's.
    QLocalServer::removeServer(socketPath);
    if (server_->listen(socketPath)) return true;
    qWarning("QuillorDic: later starts cannot reach this window: %s", qPrintable(server_->errorString()));
    return false;
}

void InstanceServer::AcceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A flood of connections that never send must not use up the descriptors the
        // window needs for its files.
        if (openConnections_ >= kMostConnections || !PeerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            continue;
        }
        ++openConnections_;
        connect(socket, &QObject::destroyed, this, [this] { --openConnections_; });
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

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() { ReleaseLock(); }

void SingleInstance::ReleaseLock() {
    if (lockFile_ >= 0) ::close(lockFile_);  // closing it unlocks it
    lockFile_ = -1;
}

std::optional<int> SingleInstance::HandOver(const std::vector<InstanceRequest>& requests, const QString& programName) {
    socketPath_ = InstanceSocketPath();
    // Two starts at the same moment must not both become the window: the look for one
    // and the listening of the new one happen under a lock, which the system lets go
    // of should this process end in between.
    lockFile_ = ::open(QFile::encodeName(socketPath_ + QStringLiteral(".lock")).constData(),
                       O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFile_ >= 0) {
        int waitedMs = 0;
        while (::flock(lockFile_, LOCK_EX | LOCK_NB) != 0 && waitedMs < kLockWithinMs) {
            ::usleep(10'000);
            waitedMs += 10;
        }
    }
    bool first = true;
    for (const InstanceRequest& request : requests) {
        const int socket = ConnectToWindow(socketPath_);
        if (socket < 0 && first) return std::nullopt;  // none runs: this start is the window
        first = false;
        ReleaseLock();
        const QByteArray framed = EncodeRequest(request);
        const bool taken = socket >= 0 && !framed.isEmpty() && SendRequest(socket, framed);
        if (socket >= 0) ::close(socket);
        if (!taken) {
            Say(programName, "QuillorDic runs already, but did not take the request");
            return 1;
        }
    }
    return 0;
}

void SingleInstance::Listen() {
    if (socketPath_.isEmpty()) socketPath_ = InstanceSocketPath();
    server_ = new InstanceServer(qApp);
    server_->Listen(socketPath_);
    ReleaseLock();
}

void SingleInstance::DeliverTo(TForm1& form) {
    if (!server_) return;
    QObject::connect(server_, &InstanceServer::RequestArrived, &form,
                     [&form](const InstanceRequest& request) { RunGuarded([&] { form.HandleRequest(request); }); });
}
