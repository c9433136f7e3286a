// Reading records: showing one in the browser view, the usage guide, printing,
// stepping record by record along the headword index, and clicks in the text views.
#include "app/MainWindow.h"

#include "common/Errors.h"
#include "textview/TEditorEx.h"
#include "browser/BrowserView.h"
#include "view/GuideFile.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabWidget>

void TForm1::ShowRecord(std::int64_t n, bool markKeys) { ShowStep(RecordStep{{}, {}, n, markKeys, {}, {}, false}); }

void TForm1::ShowStep(const RecordStep& step) {
    if (step.reach) OpenStore();  // a step shown before the load's history was read is kept too
    const std::int64_t n = step.line.value_or(-1);
    SetStatusText(StatusPanel::Position, QString::fromStdString(DictionarySession::RecordPositionText(n)));
    ui_.WebBrowser1->LoadHtml(session_.RecordPage(n, step.markKeys));
    session_.RecordShown(step);
    FollowShownRecord();
}

void TForm1::U1Click() {
    // A file that is no guide would show as a blank page: it is as good as missing.
    if (!IsGuideArchive(files_.guide.toStdString())) {
        SetStatusText(StatusPanel::Message, QFileInfo(files_.guide).fileName() + QStringLiteral(" が見つかりません"));
        return;
    }
    // The guide must be seen: leave the text page of edit mode first.
    if (ui_.PageControl1->currentWidget() != ui_.TabSheet1 && ui_.PageControl1->isVisible()) ui_.PageControl1->setCurrentWidget(ui_.TabSheet1);
    ui_.WebBrowser1->OpenFile(files_.guide);
    RecordPageLeft();
    ui_.WebBrowser1->setFocus(Qt::OtherFocusReason);
}

void TForm1::Print1Click() {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) throw QuillorError("印刷できません。既定のプリンタが設定されていません");
    ui_.WebBrowser1->PrintTo(std::make_shared<QPrinter>(defaultPrinter));
}

void TForm1::EditorEx1Click() {
    // The selection's row, its visible row and its line: one number, for rows never wrap.
    const std::int64_t row = ui_.EditorEx1->SelectionStartRow();
    SetStatusText(StatusPanel::Position, QStringLiteral("No.%1(%1)%1").arg(row));
}

