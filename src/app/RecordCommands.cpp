// Reading records: showing one in the browser view, the usage guide, printing,
// stepping record by record along the headword index, and clicks in the text views.
#include "app/MainWindow.h"

#include "common/Errors.h"
#include "textview/TEditorEx.h"
#include "view/BrowserView.h"
#include "view/GuideFile.h"
#include "view/PageStyles.h"
#include "view/RecordMarkup.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabWidget>

void TForm1::ShowRecord(std::int64_t n, bool markKeys) {
    SetStatusText(StatusPanel::Position, QStringLiteral("No.%1").arg(n + 1));
    const std::string line = EditorEx1->Line(n);  // raises for a line the text does not hold
    // The engine gets the fragments' style values in the form it reads; the record's
    // own text goes in as it is.
    const ViewStringTable strings = WithPlainStyles(ViewStrings);
    WebBrowser1->LoadHtml(BuildRecordPage(line, markKeys, MarkupState{strings, Search.Options().scope}));
}

void TForm1::U1Click() {
    // A file that is no guide would show as a blank page: it is as good as missing.
    if (!IsGuideArchive(HelpFileName.toStdString())) {
        SetStatusText(StatusPanel::Message, QFileInfo(HelpFileName).fileName() + QStringLiteral(" が見つかりません"));
        return;
    }
    // The guide must be seen: leave the text page of edit mode first.
    if (PageControl1->currentWidget() != TabSheet1 && PageControl1->isVisible()) PageControl1->setCurrentWidget(TabSheet1);
    WebBrowser1->OpenFile(HelpFileName);
    WebBrowser1->setFocus(Qt::OtherFocusReason);
}

void TForm1::Print1Click() {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) throw QuillorError("印刷できません。既定のプリンタが設定されていません");
    WebBrowser1->PrintTo(std::make_shared<QPrinter>(defaultPrinter));
}

// Previous, next, first and last record. The index gets the focus before each caret
// move, so that it scrolls to the new row.

bool TForm1::IsHeadwordIndexShowing() const { return !EditorEx2->isHidden(); }

namespace {

void FocusIfShowing(const TForm1& form) {
    if (form.IsHeadwordIndexShowing()) form.EditorEx2->TakeFocus();
}

}  // namespace

void TForm1::ShowPreviousRecord() {
    if (!IsHeadwordIndexShowing()) return ForwardBtnClick();
    EditorEx2->TakeFocus();
    const std::int64_t row = EditorEx2->CaretRow() - 1;
    if (row < 0) return;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(*this);
    ShowRecord(row, false);
}

void TForm1::ShowNextRecord() {
    if (!IsHeadwordIndexShowing()) return NextBtnClick();
    EditorEx2->TakeFocus();
    const std::int64_t row = EditorEx2->CaretRow() + 1;
    if (row > EditorEx2->LineCount() - 1) return;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(*this);
    ShowRecord(row, false);
}

void TForm1::ShowFirstRecord() {
    FocusIfShowing(*this);
    EditorEx2->SetCaretRow(0);
    FocusIfShowing(*this);
    ShowRecord(0, false);
}

void TForm1::ShowLastRecord() {
    FocusIfShowing(*this);
    const std::int64_t row = EditorEx2->LineCount() - 1;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(*this);
    ShowRecord(row, false);
}

void TForm1::EditorEx1Click() {
    const std::int64_t selectionStart = EditorEx1->SelectionStartRow();
    const std::int64_t row = EditorEx1->RowOfLine(selectionStart);
    const std::int64_t line = EditorEx1->LineOfRow(row);
    SetStatusText(StatusPanel::Position, QStringLiteral("No.%1(%2)%3").arg(selectionStart).arg(row).arg(line));
}

void TForm1::EditorEx2Click() {
    const std::int64_t row = EditorEx2->CaretRow();
    if (row < 0 || row > EditorEx2->LineCount() - 1) return;  // below the last row
    ShowRecord(row, false);
}
