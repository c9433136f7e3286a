#include "dialogs/HistoryModel.h"

#include "common/Sjis.h"
#include "dialogs/ListDialogCommon.h"

void HistoryModel::SetSteps(std::vector<HistoryStep> newestFirst) {
    beginResetModel();
    steps_ = std::move(newestFirst);
    headwords_.clear();
    headwords_.reserve(steps_.size());
    for (const HistoryStep& step : steps_) headwords_.push_back(Sjis::ToQString(step.headword));
    Narrow();
    endResetModel();
}

void HistoryModel::SetFilter(const QString& text) {
    if (text == filter_) return;
    beginResetModel();
    filter_ = text;
    Narrow();
    endResetModel();
}

void HistoryModel::Narrow() {
    shown_.clear();
    shown_.reserve(steps_.size());
    for (int i = 0; i < static_cast<int>(steps_.size()); ++i)
        if (filter_.isEmpty() || headwords_[i].contains(filter_, Qt::CaseInsensitive)) shown_.push_back(i);
}

const HistoryStep* HistoryModel::StepAt(int row) const {
    if (row < 0 || row >= static_cast<int>(shown_.size())) return nullptr;
    return &steps_[shown_[row]];
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    const HistoryStep* step = StepAt(index.row());
    if (!step || role != Qt::DisplayRole) return {};
    if (index.column() == TimeColumn) return LocalTimeText(step->time);
    return headwords_[shown_[index.row()]];
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == TimeColumn ? QStringLiteral("日時") : QStringLiteral("見出し語");
}
