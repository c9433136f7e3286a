// The settings file: read at start-up, written when the window closes.
#include "app/MainWindow.h"

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
    const StoredSettings stored = ReadSettings(IniFileName.toStdString());
    session_.SetView(stored.view);
    const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize();
    QRect placement(pos(), size());
    if (Fits(stored.top, screen.height())) placement.moveTop(stored.top);
    if (Fits(stored.left, screen.width())) placement.moveLeft(stored.left);
    if (Fits(stored.height, screen.height())) placement.setHeight(stored.height);
    if (Fits(stored.width, screen.width())) placement.setWidth(stored.width);
    move(placement.topLeft());
    resize(placement.size());

    if (stored.notSeparateWord) chkNotSeparateWord->setChecked(*stored.notSeparateWord);
    if (stored.searchWithAnd) chkSearchWithAnd->setChecked(*stored.searchWithAnd);
    if (stored.notPartMatch) chkNotPartMatch->setChecked(*stored.notPartMatch);
    if (stored.dispSentence) chkDispSentence->setChecked(*stored.dispSentence);
    SelectScope(static_cast<RecordField>(stored.selectCondition));
    if (stored.maxOfSelection) session_.SetHitLimit(*stored.maxOfSelection);

    cmbSubStr->clear();
    cmbSubStr->setEditText(QString());
    for (const std::string& entry : stored.history) {
        cmbSubStr->addItem(Sjis::ToQString(entry));
        cmbSubStr->setCurrentIndex(0);
    }
    if (stored.dataFileName) session_.SetDataFile(PathFromStored(*stored.dataFileName));
    session_.Desktop() = stored.desktop;
    ClipboardLookup1->setChecked(stored.desktop.clipboardLookup);
    FollowClipboardLookup();
    SetPageZoom(stored.desktop.pageZoomPercent);
    SetTextZoom(stored.desktop.textZoomPercent);
}

void TForm1::LoadIgnoredWords() {
    if (const auto words = ReadIgnoredWords(IniFileName.toStdString())) session_.SetIgnoredWords(*words);
}

void TForm1::SaveSettings() {
    SettingsToSave settings;
    // While compact, the size to come back to is the full layout's.
    const bool full = !compact_;
    settings.top = y();
    settings.left = x();
    settings.width = full ? width() : normalWidth_;
    settings.height = full ? height() : normalHeight_;
    settings.notSeparateWord = chkNotSeparateWord->isChecked();
    settings.searchWithAnd = chkSearchWithAnd->isChecked();
    settings.notPartMatch = chkNotPartMatch->isChecked();
    settings.dispSentence = chkDispSentence->isChecked();
    settings.selectCondition = static_cast<int>(SelectedScope());
    settings.maxOfSelection = session_.HitLimit();
    settings.desktop = session_.Desktop();
    // A search the code page cannot spell is left out rather than kept with "?".
    for (int i = 0; i < cmbSubStr->count(); ++i)
        if (const Sjis::Encoded entry = Sjis::FromQString(cmbSubStr->itemText(i)); entry.lossless)
            settings.history.push_back(entry.bytes);
    settings.dataFileName = StoredPath(session_.DataFile());
    settings.ignoredWordLines = session_.IgnoredWords();
    MakeSettingsFolder();
    WriteSettings(IniFileName.toStdString(), settings);
}

void TForm1::MakeSettingsFolder() {
    // The user's configuration folder may not be there before the first save.
    if (!SettingsFolderToCreate.isEmpty() && QFileInfo(IniFileName).path() == SettingsFolderToCreate)
        MakeFolderForFile(IniFileName.toStdString(), SettingsFolderToCreate.toStdString());
}
