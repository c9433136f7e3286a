#include "common/FileLocations.h"

#include "common/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

const QString kShareFolder = QStringLiteral("/../share/quillordic");
const QString kSampleName = QStringLiteral("Tarnowe_Medical_Dic.txt");
const QString kDatabaseName = QStringLiteral("/quillordic.sqlite");

// Whether this user may create files in `folder`: the system's own answer, which
// also knows read-only mounts and access lists.
bool CanWriteIn(const QString& folder) { return ::access(QFile::encodeName(folder).constData(), W_OK) == 0; }

// A relative XDG variable is invalid and ignored, as the base directory rules say, and
// so is one naming another user's folder.
QString ConfigSettingsFolder(const LocationEnvironment& environment) {
    const QString base = XdgFolder(environment.xdgConfigHome, environment.home + QStringLiteral("/.config"));
    return QDir::cleanPath(base + QStringLiteral("/QuillorDic"));
}

}  // namespace

LocationEnvironment CurrentLocationEnvironment() {
    return {qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("XDG_STATE_HOME"), HomeFolder(),
            qEnvironmentVariable("XDG_DATA_HOME")};
}

QString DataFolder(const LocationEnvironment& environment) {
    const QString base = XdgFolder(environment.xdgDataHome, environment.home + QStringLiteral("/.local/share"));
    return QDir::cleanPath(base + QStringLiteral("/QuillorDic"));
}

QString StateFolder(const LocationEnvironment& environment) {
    const QString base = XdgFolder(environment.xdgStateHome, environment.home + QStringLiteral("/.local/state"));
    return QDir::cleanPath(base + QStringLiteral("/QuillorDic"));
}

QString RunningExecutable() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(); }

FileLocations LocateFiles(const QString& executable, const LocationEnvironment& environment) {
    const QFileInfo program(executable);
    const QString folder = program.absolutePath();
    const QString sibling = folder + QLatin1Char('/') + program.completeBaseName();
    const QString share = QDir::cleanPath(folder + kShareFolder);

    FileLocations found;
    found.stateFolder = StateFolder(environment);
    // The guide beside the executable comes first; when there is none, the installed
    // one is named, even when missing, as the message says what was looked for.
    const QString guideBesideProgram = sibling + QStringLiteral(".mht");
    const QString installedGuide = share + QStringLiteral("/QuillorDic.mht");
    found.guide = installedGuide;
    for (const QString& guide : {guideBesideProgram, installedGuide})
        if (QFileInfo::exists(guide)) {
            found.guide = guide;
            break;
        }

    const QString besideProgram = sibling + QStringLiteral(".ini");
    const QString configFolder = ConfigSettingsFolder(environment);
    const QString inConfig = configFolder + QStringLiteral("/QuillorDic.ini");
    // A package's folder is the system's even where root could write it: nothing of
    // a user's goes there, so the settings move to the configuration folder.
    const bool installed = found.guide != guideBesideProgram && QFileInfo(share).isDir();
    const bool settingsBesideProgram = QFileInfo::exists(besideProgram);
    if (settingsBesideProgram || (!installed && CanWriteIn(folder))) {
        found.settings = besideProgram;
        found.keptEditsFolder = folder;
        found.database = folder + kDatabaseName;
    } else {
        found.settings = inConfig;
        found.settingsFolderToCreate = configFolder;
        found.keptEditsFolder = StateFolder(environment);
        found.databaseFolderToCreate = DataFolder(environment);
        found.database = found.databaseFolderToCreate + kDatabaseName;
    }

    const QString sampleBesideProgram = folder + QLatin1Char('/') + kSampleName;
    found.sample = sampleBesideProgram;
    bool sampleThere = false;
    for (const QString& sample : {sampleBesideProgram, share + QLatin1Char('/') + kSampleName})
        if (QFileInfo(sample).isFile()) {
            found.sample = sample;
            sampleThere = true;
            break;
        }
    // Only the settings file this start reads counts: one in the other place is never read.
    const bool settingsThere = found.settings == besideProgram ? settingsBesideProgram : QFileInfo::exists(inConfig);
    if (sampleThere && !settingsThere) found.firstStartSample = found.sample;
    return found;
}
