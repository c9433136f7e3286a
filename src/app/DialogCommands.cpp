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
    frmOption->Edit1->setText(QString::number(MaxOfSelection));
    frmOption->exec();
    // There is no Cancel: whatever the box holds when the dialog closes is taken.
    MaxOfSelection = StrToIntLoose(frmOption->Edit1->text().toStdString());
}

void TForm1::SpeedButton9Click() {
    if (!QFileInfo(DataFileName).isFile()) {
        SetStatusText(StatusPanel::Message, QStringLiteral("データファイルが指定されていません"));
        return;
    }
    const std::string path = DataFileName.toStdString();
    const std::string shortened = ShortenPath(path, WidthIn(font()), frmInfomation->edtFilename->width());
    frmInfomation->ShowFacts(QString::fromStdString(shortened), DataFileName,
                             QString::number(GetFileSizeBytes(path)),
                             QString::fromStdString(FileUpdateText(path)), QString::number(EditorEx2->LineCount()));
    frmInfomation->exec();
}

void TForm1::P1Click() { SpeedButton9Click(); }

void TForm1::V1Click() { frmVersion->exec(); }
