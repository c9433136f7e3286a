#pragma once
// The options dialog: its memo is the store of the ignored-word list, its edit box
// carries the hit limit while the dialog is open.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmOption : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOption(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;

    void Button1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
};
