#include "store/DamagedFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char* const kCompanions[] = {"-wal", "-shm"};

bool AnyExists(const QString& base) {
    if (QFileInfo::exists(base)) return true;
    for (const char* suffix : kCompanions)
        if (QFileInfo::exists(base + QLatin1String(suffix))) return true;
    return false;
}

QString FreeName(const QString& path, const QDateTime& now) {
    const QString base = path + QStringLiteral(".damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int number = 2; AnyExists(name); ++number) name = base + QStringLiteral("-%1").arg(number);
    return name;
}

// rename(2) itself: QFile::rename copies across file systems and would not fail
// the way a move must fail here, all or nothing.
bool Rename(const QString& from, const QString& to, QString& error) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

}  // namespace

std::optional<QString> MoveDamagedFileAside(const QString& path, const QDateTime& now, QString& error) {
    const QString aside = FreeName(path, now);
    if (!Rename(path, aside, error)) return std::nullopt;
    for (const char* suffix : kCompanions) {
        const QString companion = path + QLatin1String(suffix);
        if (QFileInfo::exists(companion) && !Rename(companion, aside + QLatin1String(suffix), error))
            return std::nullopt;
    }
    return aside;
}
