// The settings file: read at start-up, written when the window closes.
#include "app/MainWindow.h"

#include "app/Actions.h"

#include "common/StoredPath.h"
#include "common/AtomicFile.h"
#include "common/IniFile.h"
#include "common/SettingsFile.h"
#include "common/Sjis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>

namespace {

// A stored window value counts when it is greater than 300 and within the screen.
bool Fits(int value, int screenExtent) { return value > 300 && value <= screenExtent; }

}  // namespace

void TForm1::LoadSettings() {
    const StoredSettings stored = ReadSettings(files_.settings.toStdString());
    session_.SetView(stored.view);
    const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize();
    QRect placement(pos(), size());
    if (Fits(stored.top, screen.height())) placement.moveTop(stored.top);
    if (Fits(stored.left, screen.width())) placement.moveLeft(stored.left);
    if (Fits(stored.height, screen.height())) placement.setHeight(stored.height);
    if (Fits(stored.width, screen.width())) placement.setWidth(stored.width);
    move(placement.topLeft());
    resize(placement.size());

    if (stored.notSeparateWord) ui_.chkNotSeparateWord->setChecked(*stored.notSeparateWord);
    if (stored.searchWithAnd) ui_.chkSearchWithAnd->setChecked(*stored.searchWithAnd);
    if (stored.notPartMatch) ui_.chkNotPartMatch->setChecked(*stored.notPartMatch);
    if (stored.dispSentence) ui_.chkDispSentence->setChecked(*stored.dispSentence);
    SelectScope(static_cast<RecordField>(stored.selectCondition));
    if (stored.maxOfSelection) session_.SetHitLimit(*stored.maxOfSelection);

    ui_.cmbSubStr->clear();
    ui_.cmbSubStr->setEditText(QString());
    for (const std::string& entry : stored.history) {
        ui_.cmbSubStr->addItem(Sjis::ToQString(entry));
        ui_.cmbSubStr->setCurrentIndex(0);
    }
    if (stored.dataFileName) session_.SetDataFile(PathFromStored(*stored.dataFileName));
    session_.Desktop() = stored.desktop;
    Act(Command::ClipboardLookup)->setChecked(stored.desktop.clipboardLookup);
    FollowClipboardLookup();
    SetPageZoom(stored.desktop.pageZoomPercent);
    SetTextZoom(stored.desktop.textZoomPercent);
}

void TForm1::LoadIgnoredWords() {
    if (const auto words = ReadIgnoredWords(files_.settings.toStdString())) session_.SetIgnoredWords(*words);
}

void TForm1::SaveSettings() {
    SettingsToSave settings;
    // While compact, the size to come back to is the full layout's.
    const bool full = !compact_;
    settings.top = y();
    settings.left = x();
    settings.width = full ? width() : normalWidth_;
    settings.height = full ? height() : normalHeight_;
    settings.notSeparateWord = ui_.chkNotSeparateWord->isChecked();
    settings.searchWithAnd = ui_.chkSearchWithAnd->isChecked();
    settings.notPartMatch = ui_.chkNotPartMatch->isChecked();
    settings.dispSentence = ui_.chkDispSentence->isChecked();
    settings.selectCondition = static_cast<int>(SelectedScope());
    settings.maxOfSelection = session_.HitLimit();
    settings.desktop = session_.Desktop();
    // A search the code page cannot spell is left out rather than kept with "?".
    for (int i = 0; i < ui_.cmbSubStr->count(); ++i)
        if (const Sjis::Encoded entry = Sjis::FromQString(ui_.cmbSubStr->itemText(i)); entry.lossless)
            settings.history.push_back(entry.bytes);
    settings.dataFileName = StoredPath(session_.DataFile());
    settings.ignoredWordLines = session_.IgnoredWords();
    MakeSettingsFolder();
    WriteSettings(files_.settings.toStdString(), settings);
}

void TForm1::MakeSettingsFolder() {
    // The user's configuration folder may not be there before the first save.
    if (!files_.settingsFolderToCreate.isEmpty() && QFileInfo(files_.settings).path() == files_.settingsFolderToCreate)
        MakeFolderForFile(files_.settings.toStdString(), files_.settingsFolderToCreate.toStdString());
}
