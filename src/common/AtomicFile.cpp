#include "common/AtomicFile.h"

#include "common/Errors.h"

#include <QSaveFile>
#include <QString>

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
    // A file that cannot be renamed over (a read-only folder) is not written in place
    // either: that would bring back the half-written file this exists to prevent.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) throw CannotCreateFileError(path);
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size || !file.commit()) {
        file.cancelWriting();
        throw CannotCreateFileError(path);
    }
}
