// Showing a record, the usage guide and printing: what the browser view does.
#include "app/MainWindow.h"

#include "common/Errors.h"
#include "textview/TEditorEx.h"
#include "view/BrowserView.h"
#include "view/RecordMarkup.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabWidget>

void TForm1::ShowRecord(std::int64_t n, bool markKeys) {
    SetStatusText(0, QStringLiteral("No.%1").arg(n + 1));
    const std::string line = EditorEx1->Line(n);  // raises for a line the text does not hold
    WebBrowser1->LoadHtml(BuildRecordPage(line, markKeys, MarkupState{ViewStrings, SearchScope}));
}

void TForm1::U1Click() {
    if (!QFileInfo::exists(HelpFileName)) {
        SetStatusText(2, QStringLiteral("VelkDic.mht が見つかりません"));
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
    QPrinter printer(defaultPrinter);
    WebBrowser1->PrintTo(printer);
}
