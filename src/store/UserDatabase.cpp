#include "store/UserDatabase.h"

#include "store/StoreConnection.h"
#include "store/StoreOpening.h"
#include "store/StoredHeadword.h"
#include "store/WordQuery.h"

#include <QDateTime>
#include <QSqlQuery>

#include <functional>

namespace {

constexpr int kStepsKeptPerFile = 10'000;

// A null QString would be bound as NULL, which the text columns refuse.
QVariant Text(const QString& text) { return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text); }

QVariant Blob(const QByteArray& bytes) { return bytes.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(bytes); }

std::int64_t NowOr(std::int64_t time) { return time != 0 ? time : QDateTime::currentMSecsSinceEpoch(); }

StepReach ReachOf(int value) {
    // A number a later version added reads as the plainest way a record came to be shown.
    return value >= static_cast<int>(StepReach::Lookup) && value <= static_cast<int>(StepReach::WordList)
               ? static_cast<StepReach>(value)
               : StepReach::Index;
}

const QString kStepColumns =
    QStringLiteral("SELECT id, time, data_file, line, headword, headword_bytes, line_hash, reach FROM steps");

HistoryStep StepOf(const QSqlQuery& row) {
    HistoryStep step;
    step.id = row.value(0).toLongLong();
    step.time = row.value(1).toLongLong();
    step.dataFile = row.value(2).toString();
    step.line = row.value(3).toLongLong();
    step.headword = RestoreHeadword(row.value(4).toString(), row.value(5).toByteArray());
    step.lineHash = static_cast<std::uint64_t>(row.value(6).toLongLong());
    step.reach = ReachOf(row.value(7).toInt());
    return step;
}

const QString kWordColumns = QStringLiteral(
    "SELECT id, headword, translation, examples, note, added, data_file, line, headword_bytes FROM words");
constexpr int kWordColumnCount = 9;
// How far along the sort's index a filter's page is looked for before the whole table is
// read: a filter one entry in twenty passes fills it there.
constexpr std::int64_t kNearStartFactor = 20;

WordEntry WordOf(const QSqlQuery& row) {
    WordEntry entry;
    entry.id = row.value(0).toLongLong();
    entry.headword = row.value(1).toString();
    entry.translation = row.value(2).toString();
    entry.examples = row.value(3).toString();
    entry.note = row.value(4).toString();
    entry.added = row.value(5).toLongLong();
    entry.dataFile = row.value(6).toString();
    entry.line = row.value(7).toLongLong();
    entry.headwordBytes = row.value(8).toByteArray().toStdString();
    return entry;
}

QVariantList WordValues(const WordEntry& entry) {
    return {Text(entry.headword), Text(entry.translation), Text(entry.examples), Text(entry.note),
            QVariant::fromValue<qlonglong>(NowOr(entry.added)), Text(entry.dataFile),
            QVariant::fromValue<qlonglong>(entry.line),
            Blob(QByteArray(entry.headwordBytes.data(), static_cast<qsizetype>(entry.headwordBytes.size())))};
}

const QString kInsertWord = QStringLiteral(
    "INSERT INTO words (headword, translation, examples, note, added, data_file, line, headword_bytes) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (headword, translation) DO NOTHING");

}  // namespace

struct UserDatabase::State {
    QString path;
    std::unique_ptr<StoreConnection> connection;  // null once the store is unavailable
    QString notice;
    // How many entries the last filter matched, until anything is written here or
    // elsewhere (the database's data version tells of another program's writes).
    struct FilterCount {
        QString filter;
        std::int64_t dataVersion = 0;
        std::int64_t count = 0;
    };
    std::optional<FilterCount> lastFilterCount;

    // The store stops for good: a file that failed once is not trusted to half-work.
    void Stop() {
        if (!connection) return;
        const QString stopped = UnavailableNotice(FailureReason(connection->LastError()));
        notice = notice.isEmpty() ? stopped : notice + QLatin1Char('\n') + stopped;
        connection.reset();
    }

    // Runs `writes` in one transaction; on any failure nothing of it lands and the store stops.
    bool InTransaction(const std::function<bool()>& writes) {
        if (!connection) return false;
        lastFilterCount.reset();
        if (connection->Begin() && writes() && connection->Commit()) return true;
        if (connection) connection->Rollback();
        Stop();
        return false;
    }

    std::optional<std::int64_t> Write(const QString& sql, const QVariantList& values) {
        if (!connection) return std::nullopt;
        lastFilterCount.reset();
        const std::optional<std::int64_t> changed = connection->Write(sql, values);
        if (!changed) Stop();
        return changed;
    }

    template <typename Item, typename Convert>
    std::vector<Item> ReadAll(const QString& sql, const QVariantList& values, Convert convert) {
        std::vector<Item> items;
        if (!connection) return items;
        if (!connection->Read(sql, values, [&](const QSqlQuery& row) { items.push_back(convert(row)); })) {
            items.clear();
            Stop();
        }
        return items;
    }

    std::optional<std::int64_t> Number(const QString& sql, const QVariantList& values) {
        std::vector<std::int64_t> numbers =
            ReadAll<std::int64_t>(sql, values, [](const QSqlQuery& row) { return row.value(0).toLongLong(); });
        if (numbers.empty()) return std::nullopt;
        return numbers.front();
    }
};

UserDatabase::UserDatabase(std::unique_ptr<State> state) : state_(std::move(state)) {}

UserDatabase::~UserDatabase() = default;

std::unique_ptr<UserDatabase> UserDatabase::Open(const QString& path, int busyTimeoutMs) {
    auto state = std::make_unique<State>();
    state->path = path;
    OpenedStore opened = OpenStoreFile(path, busyTimeoutMs);
    state->connection = std::move(opened.connection);
    state->notice = opened.notice;
    return std::unique_ptr<UserDatabase>(new UserDatabase(std::move(state)));
}

bool UserDatabase::Available() const noexcept { return state_->connection != nullptr; }

const QString& UserDatabase::Path() const noexcept { return state_->path; }

QString UserDatabase::TakeNotice() { return std::exchange(state_->notice, QString()); }

// --- history ---

std::vector<HistoryStep> UserDatabase::Trail(const QString& dataFile) {
    return state_->ReadAll<HistoryStep>(kStepColumns + QStringLiteral(" WHERE data_file = ? AND in_trail = 1 ORDER BY id"),
                                        {Text(dataFile)}, StepOf);
}

std::vector<HistoryStep> UserDatabase::History(const QString& dataFile) {
    return state_->ReadAll<HistoryStep>(kStepColumns + QStringLiteral(" WHERE data_file = ? ORDER BY id DESC"),
                                        {Text(dataFile)}, StepOf);
}

std::int64_t UserDatabase::AddStep(const HistoryStep& step) {
    const StoredHeadword headword = StoreHeadword(step.headword);
    std::int64_t id = 0;
    state_->InTransaction([&] {
        StoreConnection& connection = *state_->connection;
        if (!connection.Write(QStringLiteral("INSERT INTO steps (time, data_file, line, headword, headword_bytes, "
                                             "line_hash, reach, in_trail) VALUES (?, ?, ?, ?, ?, ?, ?, 1)"),
                              {QVariant::fromValue<qlonglong>(NowOr(step.time)), Text(step.dataFile),
                               QVariant::fromValue<qlonglong>(step.line), Text(headword.text), Blob(headword.bytes),
                               QVariant::fromValue<qlonglong>(static_cast<qlonglong>(step.lineHash)),
                               static_cast<int>(step.reach)}))
            return false;
        id = connection.LastInsertId();
        std::int64_t count = 0;
        if (!connection.Read(QStringLiteral("SELECT count FROM step_counts WHERE data_file = ?"), {Text(step.dataFile)},
                             [&](const QSqlQuery& row) { count = row.value(0).toLongLong(); }))
            return false;
        if (count <= kStepsKeptPerFile) return true;
        // The oldest beyond the newest 10,000, read off the index from its old end.
        return connection
            .Write(QStringLiteral("DELETE FROM steps WHERE id IN (SELECT id FROM steps WHERE data_file = ? "
                                  "ORDER BY id LIMIT ?)"),
                   {Text(step.dataFile), QVariant::fromValue<qlonglong>(count - kStepsKeptPerFile)})
            .has_value();
    });
    return Available() ? id : 0;
}

void UserDatabase::LeaveTrail(const std::vector<std::int64_t>& ids) {
    if (ids.empty()) return;
    state_->InTransaction([&] {
        for (const std::int64_t id : ids)
            if (!state_->connection->Write(QStringLiteral("UPDATE steps SET in_trail = 0 WHERE id = ?"),
                                           {QVariant::fromValue<qlonglong>(id)}))
                return false;
        return true;
    });
}

// --- word list ---

bool UserDatabase::HasWord(const QString& headword, const QString& translation) {
    return state_
        ->Number(QStringLiteral("SELECT count(*) FROM words WHERE headword = ? AND translation = ?"),
                 {Text(headword), Text(translation)})
        .value_or(0) > 0;
}

bool UserDatabase::AddWord(const WordEntry& entry) { return state_->Write(kInsertWord, WordValues(entry)).value_or(0) == 1; }

bool UserDatabase::RemoveWord(const QString& headword, const QString& translation) {
    return state_->Write(QStringLiteral("DELETE FROM words WHERE headword = ? AND translation = ?"),
                         {Text(headword), Text(translation)})
               .value_or(0) == 1;
}

std::int64_t UserDatabase::CountWords(const QString& filter) {
    if (filter.isEmpty()) return state_->Number(QStringLiteral("SELECT count(*) FROM words"), {}).value_or(0);
    // The list asks for the count and its pages of one filter one after another: the
    // count, a pass over every entry, is made once.
    const std::int64_t version = state_->Number(QStringLiteral("PRAGMA data_version"), {}).value_or(-1);
    const std::optional<State::FilterCount>& last = state_->lastFilterCount;
    if (last && last->filter == filter && last->dataVersion == version) return last->count;
    const QString pattern = ContainsPattern(filter);
    const std::optional<std::int64_t> count =
        state_->Number(QStringLiteral("SELECT count(*) FROM words") + FilterClause(true), {pattern, pattern, pattern});
    if (!count) return 0;
    state_->lastFilterCount = State::FilterCount{filter, version, *count};
    return *count;
}

std::vector<WordEntry> UserDatabase::Words(const QString& filter, WordOrder order, bool descending,
                                           std::int64_t offset, std::int64_t count) {
    if (count <= 0) return {};
    offset = std::max<std::int64_t>(offset, 0);
    const auto number = [](std::int64_t value) { return QVariant::fromValue<qlonglong>(value); };
    if (filter.isEmpty())
        return state_->ReadAll<WordEntry>(kWordColumns + OrderClause(order, descending, false) +
                                              QStringLiteral(" LIMIT ? OFFSET ?"),
                                          {number(count), number(offset)}, WordOf);
    const QString pattern = ContainsPattern(filter);
    // A filter many entries pass fills its page near the start of the sort's index: the
    // page is looked for among the first entries in order, a few milliseconds at most.
    const std::int64_t nearStart = kNearStartFactor * (offset + count);
    std::vector<WordEntry> page = state_->ReadAll<WordEntry>(
        QStringLiteral("SELECT * FROM (") + kWordColumns + OrderClause(order, descending, false) +
            QStringLiteral(" LIMIT ?)") + FilterClause(true) + OrderClause(order, descending, false) +
            QStringLiteral(" LIMIT ? OFFSET ?"),
        {number(nearStart), pattern, pattern, pattern, number(count), number(offset)}, WordOf);
    if (static_cast<std::int64_t>(page.size()) == count || !Available()) return page;
    // Else one pass over the table finds the page and counts every entry that passes,
    // which the list asks for next.
    const std::int64_t version = state_->Number(QStringLiteral("PRAGMA data_version"), {}).value_or(-1);
    std::optional<std::int64_t> passing;
    page = state_->ReadAll<WordEntry>(
        kWordColumns.left(kWordColumns.indexOf(QStringLiteral(" FROM"))) + QStringLiteral(", count(*) OVER () FROM words") +
            FilterClause(true) + OrderClause(order, descending, true) + QStringLiteral(" LIMIT ? OFFSET ?"),
        {pattern, pattern, pattern, number(count), number(offset)}, [&](const QSqlQuery& row) {
            passing = row.value(kWordColumnCount).toLongLong();
            return WordOf(row);
        });
    if (passing) state_->lastFilterCount = State::FilterCount{filter, version, *passing};
    return page;
}

bool UserDatabase::SetNote(std::int64_t id, const QString& note) {
    return state_->Write(QStringLiteral("UPDATE words SET note = ? WHERE id = ?"),
                         {Text(note), QVariant::fromValue<qlonglong>(id)})
               .value_or(0) == 1;
}

bool UserDatabase::DeleteWords(const std::vector<std::int64_t>& ids) {
    if (ids.empty()) return Available();
    return state_->InTransaction([&] {
        for (const std::int64_t id : ids)
            if (!state_->connection->Write(QStringLiteral("DELETE FROM words WHERE id = ?"),
                                           {QVariant::fromValue<qlonglong>(id)}))
                return false;
        return true;
    });
}

std::vector<WordEntry> UserDatabase::AllWords() {
    return state_->ReadAll<WordEntry>(kWordColumns + QStringLiteral(" ORDER BY added, id"), {}, WordOf);
}

std::optional<WordMergeOutcome> UserDatabase::MergeWords(const std::vector<WordEntry>& entries) {
    WordMergeOutcome outcome;
    const bool merged = state_->InTransaction([&] {
        StoreConnection& connection = *state_->connection;
        for (const WordEntry& entry : entries) {
            std::optional<std::int64_t> id;
            bool noteEmpty = false;
            if (!connection.Read(QStringLiteral("SELECT id, note FROM words WHERE headword = ? AND translation = ?"),
                                 {Text(entry.headword), Text(entry.translation)}, [&](const QSqlQuery& row) {
                                     id = row.value(0).toLongLong();
                                     noteEmpty = row.value(1).toString().isEmpty();
                                 }))
                return false;
            if (!id) {
                if (!connection.Write(kInsertWord, WordValues(entry))) return false;
                ++outcome.added;
            } else if (noteEmpty && !entry.note.isEmpty()) {
                if (!connection.Write(QStringLiteral("UPDATE words SET note = ? WHERE id = ?"),
                                      {Text(entry.note), QVariant::fromValue<qlonglong>(*id)}))
                    return false;
                ++outcome.notesTaken;
            } else {
                ++outcome.alreadyThere;
            }
        }
        return true;
    });
    if (!merged) return std::nullopt;
    return outcome;
}
