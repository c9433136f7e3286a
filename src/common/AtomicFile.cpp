#include "common/AtomicFile.h"

#include "common/Errors.h"

#include <QSaveFile>
#include <QString>

#include <sys/stat.h>

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteFileAtomically(path, [bytes](const ByteSink& sink) { sink(bytes); });
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink& sink)>& produce) {
    // A read-only file (its owner may not write) is not replaced, not even by root,
    // who could: the user marked it so.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && !(status.st_mode & S_IWUSR))
        throw CannotCreateFileError(path);
    QSaveFile file(QString::fromStdString(path));
    // A file that cannot be renamed over (a read-only folder) is not written in place
    // either: that would bring back the half-written file this exists to prevent.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) throw CannotCreateFileError(path);
    bool written = true;
    produce([&](std::string_view bytes) {
        const auto size = static_cast<qint64>(bytes.size());
        written = written && file.write(bytes.data(), size) == size;
        return written;
    });
    if (!written || !file.commit()) {
        file.cancelWriting();
        throw CannotCreateFileError(path);
    }
}
