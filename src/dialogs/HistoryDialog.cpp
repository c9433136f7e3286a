#include "dialogs/HistoryDialog.h"

#include "common/ErrorBoundary.h"
#include "dialogs/CentreOverParent.h"
#include "dialogs/FilterBoxKeys.h"
#include "dialogs/HistoryModel.h"
#include "dialogs/ListDialogCommon.h"
#include "ui/Fonts.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

HistoryDialog::HistoryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("履歴"));
    setFont(DesignFont(12));

    auto* layout = new QVBoxLayout(this);
    filter_ = AddFilterRow(this, layout);
    list_ = NewListView(this, "HistoryList", QStringLiteral("履歴"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    model_ = new HistoryModel(this);
    list_->setModel(model_);
    list_->horizontalHeader()->resizeSection(HistoryModel::TimeColumn, LocalTimeColumnWidth(list_->fontMetrics()));
    layout->addWidget(list_);

    connect(filter_, &QLineEdit::textChanged, this, Guarded(this, &HistoryDialog::ApplyFilter));
    connect(list_, &QTableView::activated, this,
            [this](const QModelIndex& index) { RunGuarded([&] { ChooseRow(index.row()); }); });
    new FilterBoxKeys(filter_, list_, [this] { ChooseCurrentRow(); });

    resize(420, 480);
}

void HistoryDialog::SetSteps(std::vector<HistoryStep> newestFirst) {
    // The list is given again as records are read: a reader going down it keeps the place.
    const HistoryStep* current = model_->StepAt(list_->currentIndex().row());
    const std::int64_t currentId = current ? current->id : 0;
    model_->SetSteps(std::move(newestFirst));
    for (int row = 0; currentId != 0 && row < model_->rowCount(); ++row)
        if (model_->StepAt(row)->id == currentId)
            return list_->setCurrentIndex(model_->index(row, HistoryModel::HeadwordColumn));
    MakeFirstRowCurrent();
}

void HistoryDialog::ApplyFilter() {
    model_->SetFilter(filter_->text());
    MakeFirstRowCurrent();
}

void HistoryDialog::MakeFirstRowCurrent() {
    if (model_->rowCount() > 0) list_->setCurrentIndex(model_->index(0, HistoryModel::HeadwordColumn));
}

void HistoryDialog::ChooseCurrentRow() {
    const QModelIndex current = list_->currentIndex();
    ChooseRow(current.isValid() ? current.row() : 0);
}

void HistoryDialog::ChooseRow(int row) {
    // A copy: the window may hand the list new steps while it takes this one.
    if (const HistoryStep* step = model_->StepAt(row)) emit StepChosen(HistoryStep(*step));
}

void HistoryDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) RunGuarded([this] { CentreOverParent(this); });
    QDialog::showEvent(event);
}
