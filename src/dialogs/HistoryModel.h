#pragma once
// The history list's rows: the steps as the store gave them (newest first), each
// headword decoded once, and the rows that hold the filter's text.

#include "session/ReadingStore.h"

#include <QAbstractTableModel>

#include <vector>

class HistoryModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, HeadwordColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void SetSteps(std::vector<HistoryStep> newestFirst);
    // Rows whose headword holds `text`, case aside; every row for an empty text.
    void SetFilter(const QString& text);
    // The step on a row; nullptr off the rows.
    const HistoryStep* StepAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void Narrow();

    std::vector<HistoryStep> steps_;
    std::vector<QString> headwords_;  // steps_'s headwords, decoded
    std::vector<int> shown_;          // indexes into steps_ of the rows
    QString filter_;
};
