#pragma once
// One window per user. A start first looks for this user's running QuillorDic and, when
// it finds one, hands it the command line's requests and ends; otherwise it becomes the
// window and listens for later starts. The channel is a local socket only this user can
// reach: the socket itself is the user's alone, and the window also checks the id of
// the process at the other end, as the start checks the window's.

#include "app/InstanceRequest.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class QLocalServer;
class QLocalSocket;
class TForm1;
struct CommandLine;

// Where this user's window listens: in $XDG_RUNTIME_DIR (the user's own folder, emptied
// at logout) when there is one, else in the temporary folder; named after the
// application id and the user's id.
QString InstanceSocketPath();

// What a command line asks of a window that runs already: open FILE, then search TEXT;
// with neither, only come to the front.
std::vector<InstanceRequest> RequestsOf(const CommandLine& line);

// Receives the requests of later starts, once it listens.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    // Listens at `socketPath`, first removing what a crashed window may have left there.
    // False when it cannot: the program then runs on its own.
    bool Listen(const QString& socketPath);

signals:
    void RequestArrived(const InstanceRequest& request);

private:
    void AcceptConnections();
    void Read(QLocalSocket* socket, RequestReader& reader);
    QLocalServer* server_;
    int openConnections_ = 0;
};

class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Before the application object: hands `requests` to the running window. The exit
    // status when one runs (0 once it took them all; 1, said on stderr, when it refused
    // or did not answer), nothing when this start is to be the window.
    std::optional<int> HandOver(const std::vector<InstanceRequest>& requests, const QString& programName);

    // After the application object: listens for later starts, and lets the next start
    // look. A start waiting meanwhile finds this one then, its request kept until the
    // window can run it.
    void Listen();
    // Passes each request that arrives to the window.
    void DeliverTo(TForm1& form);

private:
    QString socketPath_;
    int lockFile_ = -1;  // held from the look for a window until this one listens
    InstanceServer* server_ = nullptr;  // the application object's, gone with it
    void ReleaseLock();
};
