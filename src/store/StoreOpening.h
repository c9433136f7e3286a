#pragma once
// Opening the database file: its folder made private, the file checked as it is read,
// a damaged one moved aside for a new one, WAL mode set and the tables brought up to
// date. What cannot be opened leaves no connection and a notice that says why.

#include "store/StoreConnection.h"

#include <QString>

#include <memory>

struct OpenedStore {
    std::unique_ptr<StoreConnection> connection;  // null: the store is unavailable
    QString notice;                               // for the user, once; empty when all went well
};

OpenedStore OpenStoreFile(const QString& path, int busyTimeoutMs);

// The notice of a store that stopped: `reason` in the sentence the user reads.
QString UnavailableNotice(const QString& reason);
