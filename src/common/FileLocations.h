#pragma once
// Where the program finds its settings file, its usage guide and the sample
// dictionary. In the portable layout (the build folder, a one-folder install) each
// sits next to the executable and carries its name; installed from the package, the
// executable's folder belongs to the system, so the settings live in the user's
// configuration folder and the guide and the sample in share/quillordic beside bin/.
// Edits kept at a logout go to the user's state folder then, private to the user, and
// beside the settings file in the portable layout.

#include <QString>

struct LocationEnvironment {
    QString xdgConfigHome;  // $XDG_CONFIG_HOME; used only when an absolute path of the user's
    QString xdgStateHome;   // $XDG_STATE_HOME; the same
    QString home;           // $HOME, else the password database's
    QString xdgDataHome;    // $XDG_DATA_HOME; used only when an absolute path of the user's
};

struct FileLocations {
    QString settings;  // the settings file, which may not exist yet
    // The folder the first save creates; empty when the settings sit next to the
    // executable, whose folder is there already.
    QString settingsFolderToCreate;
    QString guide;  // the usage guide, named as looked for even when missing
    // The sample dictionary, which the open dialog proposes: beside the executable or
    // in share/quillordic; named beside the executable when it is in neither.
    QString sample;
    // The sample again when it is to be shown at the very first start: the settings
    // file does not exist yet and the sample is there; empty otherwise.
    QString firstStartSample;
    // The user's state folder, the program's own, made private to the user when used.
    QString stateFolder;
    // Where the edits unsaved at a logout are kept: the state folder, or beside the
    // settings file in the portable layout (with the state folder when that fails).
    QString keptEditsFolder;
    // The database of the history and the word list: in the user's data folder, or
    // beside the settings file in the portable layout.
    QString database;
    // Its folder, made private to the user, when it is the user's data folder; empty
    // beside the settings, where the folder stays as the user has it.
    QString databaseFolderToCreate;
};

LocationEnvironment CurrentLocationEnvironment();

// The program's own folder in the user's state folder ($XDG_STATE_HOME/QuillorDic,
// else ~/.local/state/QuillorDic).
QString StateFolder(const LocationEnvironment& environment);

// The program's own absolute path, as the application object will give it, but known
// before there is one: a start must know its settings file to find its window.
QString RunningExecutable();

// The program's own folder in the user's data folder ($XDG_DATA_HOME/QuillorDic, else
// ~/.local/share/QuillorDic).
QString DataFolder(const LocationEnvironment& environment);

// `executable` is the program's absolute path.
FileLocations LocateFiles(const QString& executable, const LocationEnvironment& environment);
