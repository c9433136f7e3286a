// Full-text search from the search box, its history, and stepping through the
// results of the last search with the hit navigator and the search index.
#include "app/MainWindow.h"

#include "app/WaitCursor.h"
#include "common/Sjis.h"
#include "dialogs/TfrmOption.h"
#include "textview/TEditorEx.h"

#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>

namespace {

// What the search writes into the window as it runs.
class WindowSearchSink : public SearchSink {
public:
    explicit WindowSearchSink(TForm1& form) : form_(form) {}

    void SetStatus(StatusPanel panel, std::string_view text) override {
        form_.SetStatusText(panel, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void RepaintStatus() override { form_.StatusBar1->repaint(); }
    void ResetHitCounter() override {
        form_.CurrentHit = 1;
        form_.edtNowNo->setText(QString::fromStdString(HitCounterText(1)));
        form_.edtSearchHit->setText(QString::fromStdString(HitCounterText(0)));
    }

private:
    TForm1& form_;
};

// Code page 932 bytes of the user's text; a character the code page cannot hold
// becomes a NUL byte, which matches nothing.
std::string SearchBytes(const QString& text) { return Sjis::FromQString(text, '\0').bytes; }

// Blanks are the space and the control characters; the ideographic space stays.
QString TrimmedOfBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20) ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20) --end;
    return text.mid(begin, end - begin);
}

}  // namespace

std::vector<std::string> TForm1::IgnoredWords() const {
    std::vector<std::string> words;
    for (const QString& line : frmOption->Memo1->toPlainText().split(QLatin1Char('\n'))) {
        // A word the code page cannot hold is left out: a key holding such a character
        // matches nothing, and another such word must not pass for it.
        const Sjis::Encoded word = Sjis::FromQString(line);
        if (word.lossless) words.push_back(word.bytes);
    }
    return words;
}

void TForm1::SpeedButton1Click() {
    // A large dictionary takes a moment, the first time for its search text too.
    const WaitCursor wait;
    SearchRequestInput request;
    const QString typed = cmbSubStr->currentText();
    request.typedText = typed.toStdString();
    request.bytes = SearchBytes(typed);
    request.options.multiKey = chkNotSeparateWord->isChecked();
    request.options.andMatch = !chkSearchWithAnd->isChecked();  // checked means OR
    request.options.wordMatch = chkNotPartMatch->isChecked();
    request.options.scope = SelectedScope();
    request.ignoredWords = IgnoredWords();
    request.maxOfSelection = MaxOfSelection;

    WindowSearchSink sink(*this);
    if (!Search.Run(request, EditorEx1->Lines(), ViewStrings, sink)) return;

    FillSearchIndex();
    EditorEx1->SetFindString(ViewStrings[ViewSlot::Key0]);
    AddToHistory(TrimmedOfBlanks(typed));
    SetStatusText(StatusPanel::Position, QString::fromStdString(HitAllText(Search.HitAll())));
    edtSearchHit->setText(QString::fromStdString(HitCounterText(Search.ResultCount())));
    edtNowNo->setText(QString::fromStdString(HitCounterText(1)));

    // The focus first, so that the visible index scrolls to its new caret row.
    const std::int64_t line = Search.Hits().Results().front().line;
    FocusVisibleIndex();
    EditorEx2->SetCaretRow(line);
    EditorEx3->SetCaretRow(0);
    ShowRecord(line, true);
}

void TForm1::FillSearchIndex() { EditorEx3->SetWholeText(Search.Hits().SearchIndexText()); }

void TForm1::cmbSubStrKeyPress(QChar key) {
    if (key != QChar(13)) return;
    const QString text = TrimmedOfBlanks(cmbSubStr->currentText());
    if (!text.isEmpty()) AddToHistory(text);
}

void TForm1::AddToHistory(const QString& text) {
    std::vector<std::u16string> items;
    for (int i = 0; i < cmbSubStr->count(); ++i) items.push_back(cmbSubStr->itemText(i).toStdU16String());
    const QString editText = cmbSubStr->currentText();
    if (const std::optional<std::size_t> found = FindInHistory(items, text.toStdU16String())) {
        cmbSubStr->removeItem(static_cast<int>(*found));
        cmbSubStr->insertItem(0, text);
        cmbSubStr->setCurrentIndex(0);
        return;
    }
    const int selected = cmbSubStr->currentIndex();
    cmbSubStr->insertItem(0, text);
    // The first item of an empty list would select itself; the selection stays as it was.
    cmbSubStr->setCurrentIndex(selected < 0 ? -1 : selected + 1);
    cmbSubStr->setEditText(editText);
}

void TForm1::NextBtnClick() {
    const std::int64_t n = CurrentHit;
    if (static_cast<std::int64_t>(Search.Hits().Count()) < n + 1) return;
    CurrentHit = n + 1;
    edtNowNo->setText(QString::number(CurrentHit));
    ShowCurrentHit();
}

void TForm1::ForwardBtnClick() {
    const std::int64_t n = CurrentHit;
    if (n - 1 <= 0) return;
    CurrentHit = n - 1;
    edtNowNo->setText(QString::number(CurrentHit));
    ShowCurrentHit();
}

void TForm1::ShowCurrentHit() {
    // The focus first, so that the visible index scrolls to its new caret row, from
    // wherever the key or click came.
    FocusVisibleIndex();
    std::int64_t line = 0;
    if (Search.ResultCount() != 0) {
        const std::int64_t row = CurrentHit - 1;
        line = LineOfSearchIndexLine(EditorEx3->Line(row));
        EditorEx3->SetCaretRow(row);
    } else {
        line = EditorEx2->CaretRow();
        // The empty place after the last row, or no row at all: no record to show.
        if (line >= EditorEx2->LineCount()) return;
    }
    EditorEx2->SetCaretRow(line);
    ShowRecord(line, true);
}

TEditorEx* TForm1::VisibleIndex() const {
    // In the compact layout neither list shows.
    if (IsHeadwordIndexShowing()) return EditorEx2;
    return EditorEx3->isHidden() ? nullptr : EditorEx3;
}

void TForm1::FocusVisibleIndex() {
    if (TEditorEx* index = VisibleIndex()) index->TakeFocus();
}

void TForm1::EditorEx3Click() {
    const std::int64_t row = EditorEx3->CaretRow();
    if (row < 0 || row >= EditorEx3->LineCount()) return;
    CurrentHit = row + 1;
    edtNowNo->setText(QString::number(CurrentHit));
    ShowRecord(LineOfSearchIndexLine(EditorEx3->Line(row)), true);
}

void TForm1::SpeedButton2Click() {
    const bool showSearchIndex = SpeedButton2->text() == QStringLiteral("インデックス");
    SpeedButton2->setText(showSearchIndex ? QStringLiteral("検索インデックス") : QStringLiteral("インデックス"));
    EditorEx2->setVisible(!showSearchIndex);
    EditorEx3->setVisible(showSearchIndex);
    // The caret of the index now showing may have moved while it was hidden.
    if (TEditorEx* index = VisibleIndex()) {
        index->TakeFocus();
        index->ShowCaretRow();
    }
}
