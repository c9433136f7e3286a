#include "common/StoredPath.h"

#include "common/SettingsFile.h"
#include "common/Sjis.h"

#include <QFileInfo>
#include <QUrl>

namespace {

constexpr QLatin1String kFileAddress("file:");

}  // namespace

std::string StoredPath(const QString& path) {
    const Sjis::Encoded bytes = Sjis::FromQString(path);
    if (bytes.lossless && Sjis::ToQString(bytes.bytes) == path && !path.startsWith(kFileAddress))
        return bytes.bytes;
    return QUrl::fromLocalFile(path).toEncoded().toStdString();
}

QString PathFromStored(const std::string& stored) {
    const QString text = Sjis::ToQString(stored);
    return text.startsWith(kFileAddress) ? QUrl::fromEncoded(QByteArray::fromStdString(stored)).toLocalFile() : text;
}

QString RememberedDataFile(const QString& iniFileName) {
    if (!QFileInfo(iniFileName).isFile()) return {};
    const StoredSettings stored = ReadSettings(iniFileName.toStdString());
    return stored.dataFileName ? PathFromStored(*stored.dataFileName) : QString();
}
