#include "store/StoredHeadword.h"

#include "common/Sjis.h"

namespace {

// Most headwords are English: their bytes are their text, without a trip through iconv.
bool IsAscii(std::string_view bytes) {
    for (const char byte : bytes)
        if (static_cast<unsigned char>(byte) >= 0x80) return false;
    return true;
}

}  // namespace

StoredHeadword StoreHeadword(std::string_view bytes) {
    StoredHeadword stored;
    if (IsAscii(bytes)) {
        stored.text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
        return stored;
    }
    stored.text = Sjis::ToQString(bytes);
    const Sjis::Encoded again = Sjis::FromQString(stored.text);
    if (!again.lossless || again.bytes != bytes)
        stored.bytes = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return stored;
}

std::string RestoreHeadword(const QString& text, const QByteArray& bytes) {
    if (!bytes.isEmpty()) return bytes.toStdString();
    bool ascii = true;
    for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii) return text.toLatin1().toStdString();
    return Sjis::FromQString(text).bytes;
}
