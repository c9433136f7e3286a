#pragma once
// One connection to the database file, with a name of its own (several stores may be
// open in one process, on the same file), its statements prepared once and kept, and
// each one's error kept for the caller to judge.

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

class StoreConnection {
public:
    StoreConnection(const QString& path, int busyTimeoutMs);
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    // Whether the file could be opened at all; LastError says why not.
    bool IsOpen() const noexcept { return open_; }

    // Runs `sql` with `values` bound in order, handing each row to `row`. False on an error.
    bool Read(const QString& sql, const QVariantList& values,
              const std::function<void(const QSqlQuery&)>& row);
    // Runs `sql` with `values` bound in order: the rows it changed, or nullopt on an error.
    std::optional<std::int64_t> Write(const QString& sql, const QVariantList& values);
    // The rowid of the last row inserted on this connection.
    std::int64_t LastInsertId() const;
    // The one value of a statement of one row and column (a PRAGMA); nullopt on an
    // error or no row.
    std::optional<QVariant> Value(const QString& sql);

    // BEGIN IMMEDIATE: the write lock at once (waiting out the busy timeout), so a
    // transaction that reads before it writes cannot fail halfway on a lock.
    bool Begin();
    bool Commit();
    void Rollback();

    const QSqlError& LastError() const noexcept { return lastError_; }

private:
    QSqlQuery* Prepared(const QString& sql);
    bool Run(QSqlQuery& query, const QVariantList& values);

    QString name_;
    bool open_ = false;
    std::map<QString, QSqlQuery> statements_;
    QSqlError lastError_;
    std::int64_t lastInsertId_ = 0;
};

// What an error means to the store.
bool IsDamageError(const QSqlError& error);
// A short reason for the user, in Japanese.
QString FailureReason(const QSqlError& error);
