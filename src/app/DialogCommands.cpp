// The three dialogs: options, data information and version.
#include "app/MainWindow.h"

#include "common/StringHelpers.h"
#include "common/SystemHelpers.h"
#include "dialogs/TfrmInfomation.h"
#include "dialogs/TfrmOption.h"
#include "dialogs/TfrmVersion.h"
#include "textview/TEditorEx.h"
#include "ui/Fonts.h"

#include <QFileInfo>
#include <QLineEdit>

void TForm1::O1Click() {
    const TfrmOption::Values values = ui_.frmOption->Edit({session_.HitLimit(), session_.IgnoredWordsText()});
    session_.SetHitLimit(values.hitLimit);
    session_.SetIgnoredWordsText(values.ignoredWords);
}

void TForm1::SpeedButton9Click() {
    const QString dataFile = session_.DataFile();
    if (!QFileInfo(dataFile).isFile()) {
        SetStatusText(StatusPanel::Message, QStringLiteral("データファイルが指定されていません"));
        return;
    }
    const std::string path = dataFile.toStdString();
    const std::string shortened = ShortenPath(path, WidthIn(font()), ui_.frmInfomation->edtFilename->width());
    ui_.frmInfomation->ShowFacts(QString::fromStdString(shortened), dataFile, QString::number(GetFileSizeBytes(path)),
                             QString::fromStdString(FileUpdateText(path)),
                             QString::number(session_.HeadwordIndex().LineCount()));
    ui_.frmInfomation->exec();
}

void TForm1::V1Click() { ui_.frmVersion->exec(); }
