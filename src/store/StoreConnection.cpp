#include "store/StoreConnection.h"

#include <QAtomicInteger>
#include <QSqlDatabase>

namespace {

// SQLite's primary result codes (the driver reports them as its native codes).
enum SqliteCode {
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kNotADatabase = 26,
};

int PrimaryCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xFF) : -1;
}

QString UniqueConnectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("quillor-store-%1").arg(counter.fetchAndAddRelaxed(1));
}

}  // namespace

StoreConnection::StoreConnection(const QString& path, int busyTimeoutMs) : name_(UniqueConnectionName()) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    open_ = db.open();
    if (!open_) lastError_ = db.lastError();
}

StoreConnection::~StoreConnection() {
    statements_.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QSqlQuery* StoreConnection::Prepared(const QString& sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) return &found->second;
    QSqlQuery query(QSqlDatabase::database(name_, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        lastError_ = query.lastError();
        return nullptr;
    }
    return &statements_.emplace(sql, std::move(query)).first->second;
}

bool StoreConnection::Run(QSqlQuery& query, const QVariantList& values) {
    int position = 0;
    for (const QVariant& value : values) query.bindValue(position++, value);
    if (query.exec()) return true;
    lastError_ = query.lastError();
    query.finish();
    return false;
}

bool StoreConnection::Read(const QString& sql, const QVariantList& values,
                           const std::function<void(const QSqlQuery&)>& row) {
    QSqlQuery* query = Prepared(sql);
    if (!query || !Run(*query, values)) return false;
    while (query->next()) row(*query);
    // A statement left active would hold its read snapshot (and the WAL's checkpoint) open.
    const bool ok = !query->lastError().isValid();
    if (!ok) lastError_ = query->lastError();
    query->finish();
    return ok;
}

std::optional<std::int64_t> StoreConnection::Write(const QString& sql, const QVariantList& values) {
    QSqlQuery* query = Prepared(sql);
    if (!query || !Run(*query, values)) return std::nullopt;
    const std::int64_t changed = query->numRowsAffected();
    lastInsertId_ = query->lastInsertId().toLongLong();
    query->finish();
    return changed;
}

std::int64_t StoreConnection::LastInsertId() const { return lastInsertId_; }

std::optional<QVariant> StoreConnection::Value(const QString& sql) {
    std::optional<QVariant> value;
    if (!Read(sql, {}, [&](const QSqlQuery& query) {
            if (!value) value = query.value(0);
        }))
        return std::nullopt;
    return value;
}

bool StoreConnection::Begin() { return Write(QStringLiteral("BEGIN IMMEDIATE"), {}).has_value(); }

bool StoreConnection::Commit() { return Write(QStringLiteral("COMMIT"), {}).has_value(); }

void StoreConnection::Rollback() {
    // Keeps the error that led here: the rollback's own (none, or "no transaction") says less.
    const QSqlError cause = lastError_;
    Write(QStringLiteral("ROLLBACK"), {});
    lastError_ = cause;
}

bool IsDamageError(const QSqlError& error) {
    const int code = PrimaryCode(error);
    return code == kCorrupt || code == kNotADatabase;
}

QString FailureReason(const QSqlError& error) {
    switch (PrimaryCode(error)) {
    case kBusy:
    case kLocked:
        return QStringLiteral("ほかのプログラムが使用中です");
    case kReadOnly:
        return QStringLiteral("書き込みできません");
    case kFull:
        return QStringLiteral("ディスクに空きがありません");
    case kCantOpen:
        return QStringLiteral("ファイルを開けません");
    case kIoError:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    default:
        break;
    }
    const QString text = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("不明なエラー") : text;
}
