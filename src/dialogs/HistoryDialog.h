#pragma once
// The history list: every step kept for the open data file, newest first, narrowed as
// the user types. A step chosen (Return, a double-click) is shown by the window and
// the list stays open for the next one.

#include "session/ReadingStore.h"

#include <QDialog>

#include <vector>

class HistoryModel;
class QLineEdit;
class QTableView;

class HistoryDialog final : public QDialog {
    Q_OBJECT
public:
    explicit HistoryDialog(QWidget* parent = nullptr);

    void SetSteps(std::vector<HistoryStep> newestFirst);

signals:
    void StepChosen(const HistoryStep& step);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ApplyFilter();
    void ChooseRow(int row);
    void ChooseCurrentRow();
    void MakeFirstRowCurrent();

    HistoryModel* model_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QTableView* list_ = nullptr;
};
