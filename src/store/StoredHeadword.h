#pragma once
// A headword's code page 932 bytes as the database keeps them: readable UTF-8 text,
// and the bytes themselves only where that text does not give them back (invalid
// bytes shown as U+FFFD, a character of several spellings), so nothing is lost.

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

struct StoredHeadword {
    QString text;
    QByteArray bytes;  // empty unless the text alone does not give the bytes back
};

StoredHeadword StoreHeadword(std::string_view bytes);

// The bytes again: `bytes` when kept, else the text encoded. A null `bytes` (the
// column was NULL) means the text alone.
std::string RestoreHeadword(const QString& text, const QByteArray& bytes);
