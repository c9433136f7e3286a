#include "store/StoredHeadword.h"

#include "common/Sjis.h"

StoredHeadword StoreHeadword(std::string_view bytes) {
    StoredHeadword stored;
    stored.text = Sjis::ToQString(bytes);
    const Sjis::Encoded again = Sjis::FromQString(stored.text);
    if (!again.lossless || again.bytes != bytes)
        stored.bytes = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return stored;
}

std::string RestoreHeadword(const QString& text, const QByteArray& bytes) {
    if (!bytes.isEmpty()) return bytes.toStdString();
    return Sjis::FromQString(text).bytes;
}
