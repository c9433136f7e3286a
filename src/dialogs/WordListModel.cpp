#include "dialogs/WordListModel.h"

#include "dialogs/ListDialogCommon.h"

#include <algorithm>
#include <climits>

namespace {

constexpr WordOrder kColumnOrders[] = {WordOrder::Headword, WordOrder::Translation, WordOrder::Added,
                                       WordOrder::Note};

// A translation may run to several lines; the list shows it on one.
QString OnOneLine(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.remove(QLatin1Char('\r'));
    return text;
}

}  // namespace

WordListModel::WordListModel(UserDatabase* database, QObject* parent) : QAbstractTableModel(parent), database_(database) {
    Recount();
}

bool WordListModel::HasDatabase() const { return database_ && database_->Available(); }

void WordListModel::Recount() {
    pages_.clear();
    rows_ = 0;
    if (!HasDatabase()) return;
    // The first page is read before the count: a page that is not full is the whole
    // list, and a narrow filter then costs one pass over the entries, not two.
    Page& first = pages_.emplace_back();
    first.entries = database_->Words(filter_, order_, descending_, 0, kPageRows);
    const std::int64_t count = first.entries.size() < std::size_t{kPageRows} ? std::int64_t(first.entries.size())
                                                                              : database_->CountWords(filter_);
    rows_ = static_cast<int>(std::clamp<std::int64_t>(count, 0, INT_MAX));
}

void WordListModel::Reload() {
    beginResetModel();
    Recount();
    endResetModel();
}

void WordListModel::SetFilter(const QString& text) {
    if (text == filter_) return;
    filter_ = text;
    Reload();
}

void WordListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    order_ = kColumnOrders[column];
    descending_ = order == Qt::DescendingOrder;
    Reload();
}

WordListModel::Page& WordListModel::PageOf(int row) const {
    const int number = row / kPageRows;
    auto kept = std::find_if(pages_.begin(), pages_.end(), [number](const Page& page) { return page.number == number; });
    if (kept == pages_.end()) {
        if (pages_.size() < kKeptPages) {
            kept = pages_.emplace(pages_.end());
        } else {
            kept = std::min_element(pages_.begin(), pages_.end(),
                                    [](const Page& a, const Page& b) { return a.lastUse < b.lastUse; });
        }
        kept->number = number;
        kept->entries = database_->Words(filter_, order_, descending_, std::int64_t{number} * kPageRows, kPageRows);
    }
    kept->lastUse = ++uses_;
    return *kept;
}

const WordEntry* WordListModel::EntryAt(int row) const { return Entry(row); }

WordEntry* WordListModel::Entry(int row) const {
    if (row < 0 || row >= rows_ || !HasDatabase()) return nullptr;
    Page& page = PageOf(row);
    const std::size_t within = static_cast<std::size_t>(row % kPageRows);
    // Fewer than counted when another program removed entries meanwhile.
    return within < page.entries.size() ? &page.entries[within] : nullptr;
}

std::vector<std::int64_t> WordListModel::IdsOfRows(int first, int last) const {
    std::vector<std::int64_t> ids;
    first = std::max(first, 0);
    last = std::min(last, rows_ - 1);
    if (first > last || !HasDatabase()) return ids;
    if (last - first < kPageRows) {
        for (int row = first; row <= last; ++row)
            if (const WordEntry* entry = EntryAt(row)) ids.push_back(entry->id);
        return ids;
    }
    // A long selection (Ctrl+A over the whole list) in one read, not a page at a time.
    for (const WordEntry& entry : database_->Words(filter_, order_, descending_, first, last - first + 1))
        ids.push_back(entry.id);
    return ids;
}

bool WordListModel::DeleteWords(const std::vector<std::int64_t>& ids) {
    if (!HasDatabase()) return false;
    const bool deleted = database_->DeleteWords(ids);
    Reload();
    return deleted;
}

int WordListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int WordListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant WordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole) return {};
    const WordEntry* entry = EntryAt(index.row());
    if (!entry) return {};
    switch (index.column()) {
    case HeadwordColumn:
        return entry->headword;
    case TranslationColumn:
        // The whole translation in the tooltip, where the cell shows its start.
        return role == Qt::ToolTipRole ? entry->translation : OnOneLine(entry->translation);
    case AddedColumn:
        return role == Qt::ToolTipRole ? QVariant() : QVariant(LocalTimeText(entry->added));
    case NoteColumn:
        return role == Qt::ToolTipRole ? QVariant() : QVariant(entry->note);
    default:
        return {};
    }
}

QVariant WordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    // A first click on the date shows the newest entries first.
    if (role == Qt::InitialSortOrderRole) return section == AddedColumn ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (role != Qt::DisplayRole) return {};
    switch (section) {
    case HeadwordColumn: return QStringLiteral("見出し語");
    case TranslationColumn: return QStringLiteral("訳語");
    case AddedColumn: return QStringLiteral("登録日時");
    case NoteColumn: return QStringLiteral("メモ");
    default: return {};
    }
}

Qt::ItemFlags WordListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == NoteColumn && EntryAt(index.row())) flags |= Qt::ItemIsEditable;
    return flags;
}

bool WordListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != NoteColumn) return false;
    WordEntry* entry = Entry(index.row());
    if (!entry) return false;
    const QString note = value.toString();
    if (note == entry->note) return true;
    if (!database_->SetNote(entry->id, note)) return false;
    if (order_ == WordOrder::Note || !filter_.isEmpty()) {
        // The entry may stand elsewhere in the order now, or hold the filter no more.
        Reload();
        return true;
    }
    entry->note = note;
    emit dataChanged(index, index);
    return true;
}
