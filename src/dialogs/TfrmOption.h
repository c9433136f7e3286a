#pragma once
// The options dialog: the ignored-word list in its memo and the hit limit in its edit
// box, while it is open.

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmOption : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOption(QWidget* parent = nullptr);

    struct Values {
        std::int32_t hitLimit;  // most raw hits a one-key search may have
        QString ignoredWords;         // one word per line, as the user wrote them
    };
    // Shows the values and returns them as the dialog holds them when it closes.
    Values Edit(const Values& values);

    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;

    void Button1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
};
