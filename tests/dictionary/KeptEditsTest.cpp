// Edits kept at a logout: each data file's apart from every other's, whatever its name,
// and none that the user left for later replaced or hidden by newer ones.
#include "dictionary/KeptEdits.h"

#include "TempDir.h"
#include "textmodel/TextLines.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString Q(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

TextLines Lines(const std::string& text) {
    TextLines lines;
    lines.SetWholeText(text);
    return lines;
}

std::string Bytes(const QString& file) { return TempDir::Read(QFile::encodeName(file).toStdString()); }

TEST(KeptEdits, EachDataFileKeepsItsOwnWhateverItsName) {
    TempDir dir;
    const QString state = Q(dir.path() / "state");
    const QString longName = QString(120, QChar(0x8F9E)) + QStringLiteral("〜¥.txt");  // 辞…: 3 bytes each
    const QString files[] = {QStringLiteral("/a/dic.txt"), QStringLiteral("/b/dic.txt"), QStringLiteral("/c/") + longName,
                             QString()};  // no file loaded
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QString kept = KeepEdits({state}, state, file, Lines(file.toStdString() + "\r\n"));
        EXPECT_LE(QFile::encodeName(QFileInfo(kept).fileName()).size(), 200);
        EXPECT_EQ(FindKeptEdits({state}, file), kept);
    }
    for (const QString& file : files) EXPECT_EQ(Bytes(*FindKeptEdits({state}, file)), file.toStdString() + "\r\n");
    EXPECT_FALSE(FindKeptEdits({state}, QStringLiteral("/d/dic.txt")).has_value());
}

TEST(KeptEdits, EditsLeftForLaterAreNeitherReplacedNorHidden) {
    TempDir dir;
    const QString state = Q(dir.path() / "state");
    const QString beside = Q(dir.path() / "beside");
    QDir().mkpath(beside);
    const QString data = QStringLiteral("/srv/dic.txt");

    const QString first = KeepEdits({beside, state}, state, data, Lines("first"));
    const QString second = KeepEdits({beside, state}, state, data, Lines("second"));
    EXPECT_NE(second, first);
    EXPECT_EQ(Bytes(first), "first");
    // The edits the view holds are kept again in their own place.
    EXPECT_EQ(KeepEdits({beside, state}, state, data, Lines("first, again"), first), first);
    EXPECT_EQ(Bytes(first), "first, again");
    EXPECT_EQ(Bytes(second), "second");

    // Once the first is resolved, the second is still found.
    QFile::remove(first);
    EXPECT_EQ(FindKeptEdits({beside, state}, data), second);

    // Every number taken beside the settings: the state folder keeps the next ones.
    for (int number = 1; number <= 99; ++number) {
        QFile file(KeptEditsFile(beside, data, number));
        if (!file.exists()) ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString overflow = KeepEdits({beside, state}, state, data, Lines("newest"));
    EXPECT_EQ(QFileInfo(overflow).path(), state);
    EXPECT_EQ(Bytes(second), "second");
}

}  // namespace
