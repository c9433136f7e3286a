#include "dictionary/KeptEdits.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/UserFolders.h"
#include "textmodel/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file name holds 255 bytes: the data file's name is cut to leave room for the hash,
// the number, the ending and the temporary name the writer makes beside it.
constexpr qsizetype kMostNameBytes = 150;
constexpr int kMostKept = 99;  // per data file and folder

// `name` cut to at most kMostNameBytes in the file system's encoding, at a whole character.
QString ShortName(const QString& name) {
    QString cut = name;
    while (QFile::encodeName(cut).size() > kMostNameBytes) cut.chop(cut.size() >= 2 && cut.back().isLowSurrogate() ? 2 : 1);
    return cut;
}

bool Exists(const QString& file) {
    struct stat status {};
    return ::lstat(QFile::encodeName(file).constData(), &status) == 0;
}

// The time of kept edits that are this user's own regular file; nothing for what
// someone else put at the name (a folder others can write) or nothing at all.
std::optional<std::tuple<long long, long>> OwnFileTime(const QString& file) {
    struct stat status {};
    if (::lstat(QFile::encodeName(file).constData(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != ::geteuid())
        return std::nullopt;
    return std::tuple{static_cast<long long>(status.st_mtim.tv_sec), status.st_mtim.tv_nsec};
}

}  // namespace

QString KeptEditsFile(const QString& folder, const QString& dataFile, int number) {
    const QString full = dataFile.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(dataFile).absoluteFilePath());
    const QString name = full.isEmpty() ? QStringLiteral("QuillorDic") : ShortName(QFileInfo(full).fileName());
    const QString numbered = number > 1 ? QStringLiteral(".%1").arg(number) : QString();
    return QDir::cleanPath(folder) + QLatin1Char('/') + name + QLatin1Char('.') + ShortPathHash(full) + numbered +
           QStringLiteral(".unsaved");
}

QString KeepEdits(const QStringList& folders, const QString& privateFolder, const QString& dataFile,
                  const TextLines& lines, const QString& replacing) {
    std::optional<QuillorError> lastFailure;
    for (const QString& folder : folders) {
        QString file = KeptEditsFile(folder, dataFile);
        for (int number = 2; file != replacing && Exists(file); ++number)
            file = number <= kMostKept ? KeptEditsFile(folder, dataFile, number) : QString();
        try {
            // Every name taken by edits left for later: the next folder keeps these.
            if (file.isEmpty()) throw CannotCreateFileError(KeptEditsFile(folder, dataFile, kMostKept).toStdString(), std::strerror(EEXIST));
            if (QDir::cleanPath(folder) == QDir::cleanPath(privateFolder))
                if (const std::optional<std::string> why = MakePrivateFolder(folder))
                    throw CannotCreateFileError(file.toStdString(), *why);
            WritePrivateFileAtomically(file.toStdString(), [&](const ByteSink& sink) { lines.WriteTo(sink); });
            return file;
        } catch (const QuillorError& failure) {
            lastFailure = failure;
        }
    }
    if (lastFailure) throw *lastFailure;
    throw CannotCreateFileError(KeptEditsFile(QStringLiteral("."), dataFile).toStdString(), std::strerror(ENOENT));
}

std::optional<QString> FindKeptEdits(const QStringList& folders, const QString& dataFile) {
    std::optional<QString> newest;
    std::tuple<long long, long> newestTime{};
    for (const QString& folder : folders)
        for (int number = 1; number <= kMostKept; ++number) {
            const QString file = KeptEditsFile(folder, dataFile, number);
            // Numbers freed by edits since resolved leave gaps: every one is looked at.
            const auto time = OwnFileTime(file);
            if (!time) continue;
            if (!newest || *time > newestTime) {
                newest = file;
                newestTime = *time;
            }
        }
    return newest;
}
