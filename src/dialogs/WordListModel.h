#pragma once
// The word list's rows, read from the database a page at a time: the count comes
// first and a page of entries only when the view shows one of its rows, the last few
// pages kept. A list of 100,000 entries therefore opens as fast as one of ten, and a
// change of filter or order costs a count and one page.

#include "session/ReadingStore.h"
#include "store/UserDatabase.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

class WordListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { HeadwordColumn, TranslationColumn, AddedColumn, NoteColumn, ColumnCount };
    static constexpr int kPageRows = 100;  // a few screens: each page read stays well under a millisecond
    static constexpr std::size_t kKeptPages = 8;

    // `database` may be null or unavailable: the list is then empty.
    explicit WordListModel(UserDatabase* database, QObject* parent = nullptr);

    bool HasDatabase() const;
    // Entries holding `text` in their headword, translation or note.
    void SetFilter(const QString& text);
    // Reads the count and the entries again, as the database holds them now.
    void Reload();
    // The entry on a row; nullptr off the rows or when the database did not give it.
    const WordEntry* EntryAt(int row) const;
    // The ids of rows first..last, read in one go where they are not kept.
    std::vector<std::int64_t> IdsOfRows(int first, int last) const;
    // Deletes the entries, in one transaction, and reads the list again.
    bool DeleteWords(const std::vector<std::int64_t>& ids);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void sort(int column, Qt::SortOrder order) override;

private:
    struct Page {
        int number = 0;
        std::uint64_t lastUse = 0;
        std::vector<WordEntry> entries;
    };
    Page& PageOf(int row) const;
    // The kept entry of a row, read with its page when needed.
    WordEntry* Entry(int row) const;
    void Recount();

    UserDatabase* database_;
    QString filter_;
    WordOrder order_ = WordOrder::Added;
    bool descending_ = true;
    int rows_ = 0;
    mutable std::vector<Page> pages_;
    mutable std::uint64_t uses_ = 0;
};
