#include "common/InstanceAddress.h"

#include "common/FileLocations.h"
#include "common/UserFolders.h"

#include <QDir>
#include <QFile>

#include <sys/un.h>
#include <unistd.h>

namespace {

// Whether a socket at `path` can be bound at all: the system keeps its name in a
// fixed field.
bool FitsSocketName(const QString& path) {
    return static_cast<std::size_t>(QFile::encodeName(path).size()) < sizeof(sockaddr_un{}.sun_path);
}

}  // namespace

InstanceEnvironment CurrentInstanceEnvironment() {
    return {qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), StateFolder(CurrentLocationEnvironment())};
}

std::optional<InstanceAddress> FindInstanceAddress(const QString& settingsFile, const InstanceEnvironment& environment) {
    const QString name = QStringLiteral("/org.quillordic.QuillorDic.") + ShortPathHash(QDir::cleanPath(settingsFile));
    const QString ownTemp = environment.tempFolder.isEmpty()
                                ? QString()
                                : environment.tempFolder + QStringLiteral("/QuillorDic-%1").arg(::geteuid());
    struct Candidate {
        QString folder;
        bool ours;  // a folder the program makes (and may tighten), not one it is given
    };
    const Candidate candidates[] = {{environment.runtimeFolder, false}, {ownTemp, true}, {environment.stateFolder, true}};
    for (const auto& [folder, ours] : candidates) {
        if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !FitsSocketName(folder + name))
            continue;
        // The runtime folder is the desktop's: it must be private as it stands.
        if (ours ? MakePrivateFolder(folder).has_value() : !IsPrivateFolder(folder)) continue;
        const QString socket = QDir::cleanPath(folder) + name;
        return InstanceAddress{socket, socket + QStringLiteral(".lock")};
    }
    return std::nullopt;
}
