#include "store/StoreOpening.h"

#include "common/UserFolders.h"
#include "store/DamagedFile.h"
#include "store/StoreSchema.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

enum class Outcome { Ready, Damaged, Newer, Failed };

struct Attempt {
    Outcome outcome = Outcome::Failed;
    std::unique_ptr<StoreConnection> connection;
    QString reason;  // why it failed
};

Attempt Fail(std::unique_ptr<StoreConnection> connection) {
    const QSqlError error = connection->LastError();
    // The connection goes first: a damaged file is moved once nothing holds it.
    connection.reset();
    if (IsDamageError(error)) return {Outcome::Damaged, nullptr, {}};
    return {Outcome::Failed, nullptr, FailureReason(error)};
}

// A new file is made whole under a name of its own and only then linked in place
// (never over a file another program made meanwhile), so no program opens one half
// made, nor takes one still empty for a damaged one. The reason when it could not be made.
std::optional<QString> CreateNewFile(const QString& path, int busyTimeoutMs) {
    static QAtomicInteger<quint64> counter;
    const QString made =
        path + QStringLiteral(".new-%1-%2").arg(::getpid()).arg(counter.fetchAndAddRelaxed(1));
    std::optional<QString> reason;
    {
        StoreConnection connection(made, busyTimeoutMs);
        if (!connection.IsOpen() || !connection.Value(QStringLiteral("PRAGMA journal_mode = WAL")) ||
            !Migrate(connection))
            reason = FailureReason(connection.LastError());
    }
    // The history is the user's alone, also beside a portable copy in a shared folder;
    // SQLite gives its journal files the database's mode.
    if (!reason) QFile::setPermissions(made, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!reason && ::link(QFile::encodeName(made).constData(), QFile::encodeName(path).constData()) != 0 &&
        errno != EEXIST) {
        // A stick formatted FAT has no links: a rename, which never replaces a file here.
        const int linkError = errno;
        if ((linkError != EPERM && linkError != EOPNOTSUPP && linkError != ENOSYS) ||
            (!QFile::rename(made, path) && !QFile::exists(path)))
            reason = QString::fromLocal8Bit(std::strerror(linkError));
    }
    for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(made + QLatin1String(suffix));
    return reason;
}

Attempt TryOpen(const QString& path, int busyTimeoutMs) {
    const QFileInfo file(path);
    if (!file.exists()) {
        if (const std::optional<QString> reason = CreateNewFile(path, busyTimeoutMs))
            return {Outcome::Failed, nullptr, *reason};
    } else if (file.size() == 0) {
        // None we wrote (ours are linked in whole), though SQLite would take it for a new database.
        return {Outcome::Damaged, nullptr, {}};
    }

    auto connection = std::make_unique<StoreConnection>(path, busyTimeoutMs);
    if (!connection->IsOpen()) return Fail(std::move(connection));
    const std::optional<QVariant> check = connection->Value(QStringLiteral("PRAGMA quick_check"));
    if (!check) return Fail(std::move(connection));
    if (check->toString() != QLatin1String("ok")) return {Outcome::Damaged, nullptr, {}};
    const std::optional<QVariant> version = connection->Value(QStringLiteral("PRAGMA user_version"));
    if (!version) return Fail(std::move(connection));
    // A newer program's file is left exactly as it is: not even its journal mode changes.
    if (version->toInt() > CurrentStoreVersion()) return {Outcome::Newer, nullptr, {}};
    if (!connection->Value(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !connection->Write(QStringLiteral("PRAGMA synchronous = NORMAL"), {}) ||
        // 100,000 entries and their indexes fit in memory, rather than in SQLite's default 2 MB.
        !connection->Write(QStringLiteral("PRAGMA cache_size = -32768"), {}) ||
        !Migrate(*connection))
        return Fail(std::move(connection));
    return {Outcome::Ready, std::move(connection), {}};
}

OpenedStore Unavailable(const QString& reason) { return {nullptr, UnavailableNotice(reason)}; }

}  // namespace

QString UnavailableNotice(const QString& reason) {
    return QStringLiteral("履歴と単語帳を保存できません（%1）。履歴なしで続けます").arg(reason);
}

OpenedStore OpenStoreFile(const QString& path, int busyTimeoutMs) {
    // A folder that is there is the user's choice (a portable copy's own folder, which
    // others may have to run it from); a new one is made for the user alone.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        if (const auto why = MakePrivateFolder(folder))
            return Unavailable(QStringLiteral("フォルダーを作れません: %1").arg(QString::fromStdString(*why)));

    Attempt attempt = TryOpen(path, busyTimeoutMs);
    QString notice;
    if (attempt.outcome == Outcome::Damaged) {
        QString error;
        const std::optional<QString> aside = MoveDamagedFileAside(path, QDateTime::currentDateTime(), error);
        if (!aside)
            return Unavailable(QStringLiteral("壊れたファイル %1 を移せません: %2").arg(path, error));
        notice = QStringLiteral("履歴と単語帳のファイルが壊れていたため %1 に移し、新しく作りました").arg(*aside);
        attempt = TryOpen(path, busyTimeoutMs);
    }
    if (attempt.outcome == Outcome::Ready) return {std::move(attempt.connection), notice};
    QString reason = attempt.reason;
    if (attempt.outcome == Outcome::Newer)
        reason = QStringLiteral("%1 は新しい版の QuillorDic のファイルです").arg(path);
    else if (attempt.outcome == Outcome::Damaged)
        reason = QStringLiteral("新しいファイル %1 も読めません").arg(path);
    OpenedStore unavailable = Unavailable(reason);
    // A file moved aside is named even when the new one could not be made.
    if (!notice.isEmpty()) unavailable.notice = notice + QLatin1Char('\n') + unavailable.notice;
    return unavailable;
}
