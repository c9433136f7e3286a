// The window's end of the one-window socket, and a later start's: what is served, what
// is never taken from another window, and how long a start waits for a window that
// cannot answer.
#include "app/SingleInstance.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

sockaddr_un AddressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return address;
}

// A client of its own, written as a plain program would write it.
int Connect(const QString& path) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(path);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

// A socket bound at `path` that takes no connection: listening with its one place in
// the queue taken (a window stopped or swamped), or not listening at all (a crashed one's).
int Squat(const QString& path, bool listening) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(path);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return -1;
    if (!listening) return socket;
    ::listen(socket, 0);
    for (int i = 0; i < 4; ++i) {  // fill the queue: later connects would block
        const int filler = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) ::close(filler);
    }
    return socket;
}

const QByteArray kSearch = EncodeRequest({InstanceRequest::Kind::Search, QStringLiteral("heart"), QString()});

}  // namespace

class InstanceServerTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString SocketPath() const { return dir.filePath(QStringLiteral("window")); }

private slots:
    void aRequestIsServedWhenItsSenderOnlyEndedItsSending() {
        InstanceServer server;
        QCOMPARE(server.Listen(SocketPath()), InstanceServer::ListenResult::Listening);
        QSignalSpy arrived(&server, &InstanceServer::RequestArrived);

        // Sent, then a half-close: the start still waits for the answer.
        const int halfClosed = Connect(SocketPath());
        QVERIFY(halfClosed >= 0);
        QCOMPARE(::write(halfClosed, kSearch.constData(), kSearch.size()), kSearch.size());
        ::shutdown(halfClosed, SHUT_WR);
        QTRY_COMPARE(arrived.size(), 1);
        // The answer leaves through the window's event loop: waited for without blocking it.
        char answer = 0;
        QVERIFY(QTest::qWaitFor([&] { return ::recv(halfClosed, &answer, 1, MSG_DONTWAIT) == 1; }, 5'000));
        QCOMPARE(answer, kAccepted);
        ::close(halfClosed);

        // Sent, then gone: the start has told its user the request failed.
        const int gone = Connect(SocketPath());
        QCOMPARE(::write(gone, kSearch.constData(), kSearch.size()), kSearch.size());
        ::close(gone);
        QTest::qWait(200);
        QCOMPARE(arrived.size(), 1);
    }

    void aSocketThatStillAnswersIsNeverTakenOver() {
        {
            InstanceServer first;
            QCOMPARE(first.Listen(SocketPath()), InstanceServer::ListenResult::Listening);
            InstanceServer late;  // a start that waited past the lock
            QCOMPARE(late.Listen(SocketPath()), InstanceServer::ListenResult::AnotherWindow);
            const int client = Connect(SocketPath());
            QVERIFY(client >= 0);  // still the first window's
            ::close(client);
        }
        QVERIFY(!QFileInfo::exists(SocketPath()));  // the window took its socket along

        // A window stopped with its queue full is there all the same.
        const int stopped = Squat(SocketPath(), true);
        QVERIFY(stopped >= 0);
        InstanceServer late;
        QCOMPARE(late.Listen(SocketPath()), InstanceServer::ListenResult::AnotherWindow);
        QVERIFY(QFileInfo::exists(SocketPath()));
        ::close(stopped);
        QFile::remove(SocketPath());

        // A crashed window's socket answers no one, and is taken over.
        const int crashed = Squat(SocketPath(), false);
        ::close(crashed);
        InstanceServer next;
        QCOMPARE(next.Listen(SocketPath()), InstanceServer::ListenResult::Listening);
    }

    void aStartGivesUpOnAWindowThatCannotTakeItsConnection() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString settings = dir.filePath(QStringLiteral("QuillorDic.ini"));
        const std::optional<InstanceAddress> address = FindInstanceAddress(settings, CurrentInstanceEnvironment());
        QVERIFY(address && QFileInfo(address->socket).path() == dir.path());
        const int stopped = Squat(address->socket, true);
        QVERIFY(stopped >= 0);

        SingleInstance start(settings);
        // The start neither hangs nor becomes a second window: it says so and fails.
        QCOMPARE(start.HandOver({{InstanceRequest::Kind::Show, QString(), QString()}}, QStringLiteral("quillordic")),
                 std::optional<int>(1));
        ::close(stopped);
    }
};

QTEST_GUILESS_MAIN(InstanceServerTest)

#include "InstanceServerTest.moc"
