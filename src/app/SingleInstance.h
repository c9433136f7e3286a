#pragma once
// One window per settings file. A start first looks for its user's running QuillorDic
// of the same settings and, when it finds one, hands it the command line's requests
// and ends; otherwise it becomes the window and listens for later starts. The channel
// is a local socket in a folder only this user can enter (common/InstanceAddress),
// and the window also checks the id of the process at the other end, as the start
// checks the window's.

#include "common/InstanceAddress.h"
#include "common/InstanceRequest.h"

#include <QObject>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

#include <sys/types.h>

class QLocalSocket;
class QSocketNotifier;
class TForm1;

// Receives the requests of later starts, once it listens.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;  // removes its socket, unless another has taken its place

    enum class ListenResult { Listening, AnotherWindow, Failed };
    // Listens at `socketPath`. A socket there that still answers is another window's
    // and is left alone; one that does not is a crashed window's and is taken over.
    ListenResult Listen(const QString& socketPath);

signals:
    void RequestArrived(const InstanceRequest& request);

private:
    void AcceptConnections();
    void Read(QLocalSocket* socket, RequestReader& reader);
    int listening_ = -1;
    QSocketNotifier* incoming_ = nullptr;  // tells of connections waiting on listening_
    QString socketPath_;
    std::pair<dev_t, ino_t> socketFile_{};  // the socket file this window made
    int openConnections_ = 0;
};

class SingleInstance {
public:
    // The window's address for the settings file `settingsFile`.
    explicit SingleInstance(const QString& settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Before the window exists: hands `requests` to the running window. The exit
    // status when one runs (0 once it took them all; 1, said on stderr, when it refused
    // or did not answer in time), nothing when this start is to be the window.
    std::optional<int> HandOver(const std::vector<InstanceRequest>& requests, const QString& programName);

    // After the application object: listens for later starts, and lets the next start
    // look. A start waiting meanwhile finds this one then, its request kept until the
    // window can run it. False when another window listens there already (a start
    // that waited too long for the lock): this start is then to hand over after all.
    bool Listen();
    // Passes each request that arrives to the window.
    void DeliverTo(TForm1& form);

private:
    std::optional<InstanceAddress> address_;
    int lockFile_ = -1;  // held from the look for a window until this one listens
    InstanceServer* server_ = nullptr;  // the application object's, gone with it
    void TakeLock();
    void ReleaseLock();
};
