#pragma once
// Where the window of one settings file listens for later starts. Two portable copies
// with settings files of their own are two programs to their user, so the address is
// keyed by the settings file. It lies in a folder only this user can enter, wherever
// that can be found: another user must not be able to take its name first, nor plant
// anything there.

#include <QString>

#include <optional>

struct InstanceEnvironment {
    QString runtimeFolder;  // $XDG_RUNTIME_DIR: used only when absolute, the user's and 0700
    QString tempFolder;     // the temporary folder, where a folder of the user's own is made
    QString stateFolder;    // the user's state folder: the last resort, in the home folder
};

InstanceEnvironment CurrentInstanceEnvironment();

struct InstanceAddress {
    QString socket;  // the window's socket
    QString lock;    // held by a start from its look for a window until it listens
};

// The address for `settingsFile` (an absolute path), in the first private folder the
// environment offers: $XDG_RUNTIME_DIR, else <temp>/QuillorDic-<uid>, else the state
// folder. Nothing when none can be had: the program then runs on its own.
std::optional<InstanceAddress> FindInstanceAddress(const QString& settingsFile, const InstanceEnvironment& environment);
