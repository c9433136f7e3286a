// Full-text search from the search box, its history, and stepping through the
// results of the last search with the hit navigator and the search index.
#include "app/MainWindow.h"

#include "app/RecordNavigator.h"
#include "app/WaitCursor.h"
#include "common/Sjis.h"
#include "textview/TEditorEx.h"

#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>

namespace {

// What the search writes into the window as it runs: the status panels and the hit counter.
class WindowSearchSink : public SearchSink {
public:
    WindowSearchSink(std::function<void(StatusPanel, const QString&)> setStatus, const MainWindowUi& ui)
        : setStatus_(std::move(setStatus)), ui_(ui) {}

    void SetStatus(StatusPanel panel, std::string_view text) override {
        setStatus_(panel, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void RepaintStatus() override { ui_.StatusBar1->repaint(); }
    void ResetHitCounter() override {
        ui_.edtNowNo->setText(QString::fromStdString(HitCounterText(1)));
        ui_.edtSearchHit->setText(QString::fromStdString(HitCounterText(0)));
    }

private:
    std::function<void(StatusPanel, const QString&)> setStatus_;
    const MainWindowUi& ui_;
};

// Blanks are the space and the control characters; the ideographic space stays.
QString TrimmedOfBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20) ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20) --end;
    return text.mid(begin, end - begin);
}

}  // namespace

void TForm1::SpeedButton1Click() {
    // A large dictionary takes a moment, the first time for its search text too.
    const WaitCursor wait;
    HideCompletions();
    const QString typed = ui_.cmbSubStr->currentText();
    SearchOptions options;
    options.multiKey = ui_.chkNotSeparateWord->isChecked();
    options.andMatch = !ui_.chkSearchWithAnd->isChecked();  // checked means OR
    options.wordMatch = ui_.chkNotPartMatch->isChecked();
    options.scope = SelectedScope();

    WindowSearchSink sink([this](StatusPanel panel, const QString& text) { SetStatusText(panel, text); }, ui_);
    if (!session_.RunSearch(typed, options, sink)) return;

    AddToHistory(TrimmedOfBlanks(typed));
    SetStatusText(StatusPanel::Position, QString::fromStdString(HitAllText(session_.Search().HitAll())));
    ui_.edtSearchHit->setText(QString::fromStdString(HitCounterText(session_.Search().ResultCount())));
    navigator_->ShowFirstResult();
}

void TForm1::cmbSubStrKeyPress(QChar key) {
    if (key != QChar(13)) return;
    const QString text = TrimmedOfBlanks(ui_.cmbSubStr->currentText());
    if (!text.isEmpty()) AddToHistory(text);
}

void TForm1::AddToHistory(const QString& text) {
    std::vector<std::u16string> items;
    for (int i = 0; i < ui_.cmbSubStr->count(); ++i) items.push_back(ui_.cmbSubStr->itemText(i).toStdU16String());
    const QString editText = ui_.cmbSubStr->currentText();
    if (const std::optional<std::size_t> found = FindInHistory(items, text.toStdU16String())) {
        ui_.cmbSubStr->removeItem(static_cast<int>(*found));
        ui_.cmbSubStr->insertItem(0, text);
        ui_.cmbSubStr->setCurrentIndex(0);
        return;
    }
    const int selected = ui_.cmbSubStr->currentIndex();
    ui_.cmbSubStr->insertItem(0, text);
    // The first item of an empty list would select itself; the selection stays as it was.
    ui_.cmbSubStr->setCurrentIndex(selected < 0 ? -1 : selected + 1);
    ui_.cmbSubStr->setEditText(editText);
}
