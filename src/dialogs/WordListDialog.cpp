#include "dialogs/WordListDialog.h"

#include "common/ErrorBoundary.h"
#include "dialogs/CentreOverParent.h"
#include "dialogs/FilterBoxKeys.h"
#include "dialogs/ListDialogCommon.h"
#include "dialogs/WordListModel.h"
#include "ui/Fonts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// Typing pauses this long before the list is counted and read again, so a word typed
// fast costs one query, not one per letter.
constexpr int kFilterPauseMs = 150;

QPushButton* AddButton(QWidget* parent, QBoxLayout* row, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);  // Return belongs to the list, not to a button
    row->addWidget(button);
    return button;
}

}  // namespace

WordListDialog::WordListDialog(UserDatabase* database, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWordList"));
    setWindowTitle(QStringLiteral("単語帳"));
    setFont(DesignFont(12));

    auto* layout = new QVBoxLayout(this);
    filter_ = AddFilterRow(this, layout);
    list_ = NewListView(this, "WordList", QStringLiteral("単語帳"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    model_ = new WordListModel(database, this);
    list_->setModel(model_);
    QHeaderView* header = list_->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(WordListModel::TranslationColumn, QHeaderView::Stretch);
    // The CJK font's average is a full-width character's: a Latin letter measures better.
    const int letter = list_->fontMetrics().horizontalAdvance(QLatin1Char('n'));
    header->resizeSection(WordListModel::HeadwordColumn, letter * 22);
    header->resizeSection(WordListModel::AddedColumn, LocalTimeColumnWidth(list_->fontMetrics()));
    header->resizeSection(WordListModel::NoteColumn, letter * 20);
    // Newest first, as the model starts.
    header->setSortIndicator(WordListModel::AddedColumn, Qt::DescendingOrder);
    list_->setSortingEnabled(true);
    list_->installEventFilter(this);
    layout->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("Count"));
    buttons->addWidget(count_, 1);
    delete_ = AddButton(this, buttons, "Delete", QStringLiteral("削除(&D)"));
    QPushButton* close = AddButton(this, buttons, "Close", QStringLiteral("閉じる"));
    layout->addLayout(buttons);

    filterPause_ = new QTimer(this);
    filterPause_->setSingleShot(true);
    filterPause_->setInterval(kFilterPauseMs);
    connect(filterPause_, &QTimer::timeout, this, Guarded(this, &WordListDialog::ApplyFilter));
    connect(filter_, &QLineEdit::textChanged, filterPause_, qOverload<>(&QTimer::start));
    new FilterBoxKeys(filter_, list_, [this] { ChooseCurrentRow(); });
    connect(list_, &QTableView::activated, this,
            [this](const QModelIndex& index) { RunGuarded([&] { Activate(index); }); });
    connect(header, &QHeaderView::sortIndicatorChanged, this, Guarded([this] { SelectRow(0); }));
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded(this, &WordListDialog::EnableDelete));
    connect(model_, &QAbstractItemModel::modelReset, this, Guarded(this, &WordListDialog::ShowCount));
    connect(delete_, &QPushButton::clicked, this, Guarded(this, &WordListDialog::DeleteSelectedRows));
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    filter_->setEnabled(model_->HasDatabase());
    ShowCount();
    EnableDelete();
    SelectRow(0);
    resize(720, 480);
}

void WordListDialog::Reload() {
    const int current = list_->currentIndex().row();
    model_->Reload();
    SelectRow(std::max(current, 0));
}

void WordListDialog::ApplyFilter() {
    filterPause_->stop();
    model_->SetFilter(filter_->text());
    SelectRow(0);
}

void WordListDialog::ShowCount() {
    if (!model_->HasDatabase()) {
        count_->setText(QStringLiteral("単語帳のデータベースを使えません"));
        return;
    }
    count_->setText(QStringLiteral("%1 語").arg(QLocale::system().toString(model_->rowCount())));
}

void WordListDialog::EnableDelete() { delete_->setEnabled(list_->selectionModel()->hasSelection()); }

// The row made current and selected alone; the last row when `row` is past it.
void WordListDialog::SelectRow(int row) {
    row = std::min(row, model_->rowCount() - 1);
    if (row < 0) return;
    list_->selectionModel()->setCurrentIndex(model_->index(row, WordListModel::HeadwordColumn),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void WordListDialog::Activate(const QModelIndex& index) {
    if (index.column() == WordListModel::NoteColumn) {
        list_->edit(index);
        return;
    }
    // A copy: the window may have the list read again while it takes this one.
    if (const WordEntry* entry = model_->EntryAt(index.row())) emit EntryChosen(WordEntry(*entry));
}

void WordListDialog::ChooseCurrentRow() {
    if (filterPause_->isActive()) ApplyFilter();  // what the box holds, not what it held
    const QModelIndex current = list_->currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    if (const WordEntry* entry = model_->EntryAt(row)) emit EntryChosen(WordEntry(*entry));
}

void WordListDialog::DeleteSelectedRows() {
    const QItemSelection selection = list_->selectionModel()->selection();
    std::vector<std::int64_t> ids;
    int firstRow = INT_MAX;
    for (const QItemSelectionRange& range : selection) {
        const std::vector<std::int64_t> rangeIds = model_->IdsOfRows(range.top(), range.bottom());
        ids.insert(ids.end(), rangeIds.begin(), rangeIds.end());
        firstRow = std::min(firstRow, range.top());
    }
    if (ids.empty()) return;
    model_->DeleteWords(ids);
    // The row that followed the first deleted one takes its place.
    SelectRow(firstRow);
}

bool WordListDialog::eventFilter(QObject* watched, QEvent* event) {
    // A note being written has the key to itself: its editor, not the list, receives it.
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RunGuarded([this] { DeleteSelectedRows(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void WordListDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) RunGuarded([this] { CentreOverParent(this); });
    QDialog::showEvent(event);
}
