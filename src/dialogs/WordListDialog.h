#pragma once
// The word list: the user's entries, narrowed by a filter, sorted by a header click,
// with notes the user writes in place and entries deleted by 削除 or the Delete key.
// An entry chosen (Return, a double-click outside the note) is shown by the window.

#include "session/ReadingStore.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class UserDatabase;
class WordListModel;

class WordListDialog final : public QDialog {
    Q_OBJECT
public:
    // `database` may be null or unavailable: the list is then empty and says why.
    explicit WordListDialog(UserDatabase* database, QWidget* parent = nullptr);

    // Reads the list again: entries were added or removed elsewhere, or imported.
    void Reload();

signals:
    void EntryChosen(const WordEntry& entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ApplyFilter();
    void Activate(const QModelIndex& index);
    void ChooseCurrentRow();
    void DeleteSelectedRows();
    void SelectRow(int row);
    void ShowCount();
    void EnableDelete();

    WordListModel* model_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QTimer* filterPause_ = nullptr;
    QTableView* list_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* delete_ = nullptr;
};
