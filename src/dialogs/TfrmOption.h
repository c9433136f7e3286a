#pragma once
// The options dialog: its memo is the store of the ignored-word list.

#include <QDialog>

class QPlainTextEdit;

class TfrmOption : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOption(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
};
