#pragma once
// The about box: a borderless panel with the program's name, its version, a title and
// the maker's notice, under a strip that fills while it is shown. It closes by itself
// after 12 seconds, or at once on a click on any line but the link at the bottom.

#include <QDialog>

class QLabel;
class QTimer;
class TGauge;

class TfrmVersion : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVersion(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;  // the program's name
    QLabel* Label2 = nullptr;  // the version line
    QLabel* Label4 = nullptr;  // the descriptive title
    QLabel* Label3 = nullptr;  // the maker's notice, a link
    QLabel* Label5 = nullptr;  // hidden; the percentage as text
    TGauge* Gauge1 = nullptr;
    QTimer* Timer1 = nullptr;  // closes the dialog
    QTimer* Timer2 = nullptr;  // moves the strip

    // Called as the dialog appears: version line, timers, counter and strip afresh.
    void FormShow();
    void Timer1Timer();
    void Timer2Timer();
    void Label1Click();
    void Label3Click();

    // Ticks of the progress timer since the dialog was last shown.
    int ProgressCount() const { return progressCount_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A click on a line, or Return or Space on the link line, acted on.
    bool LabelClicked(QObject* watched, QEvent* event);
    int progressCount_ = 0;
};
