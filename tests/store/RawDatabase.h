#pragma once
// A plain connection to a database file beside the store's own: the tests' way to
// write what the program never writes (an old version's tables, a newer version, a
// lock held by another program).

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <gtest/gtest.h>

class RawDatabase {
public:
    explicit RawDatabase(const QString& path) : name_(QStringLiteral("raw-%1").arg(++count_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    ~RawDatabase() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    void Exec(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }

private:
    static inline int count_ = 0;
    QString name_;
};
