#pragma once
// What the application object needs before the first form exists: its title, the
// font substitutions, the desktop's message box and link handler and the Japanese
// texts of Qt's own dialogs and buttons.

#include <QString>

void PrepareApplication();

// The data file the start-up is going to load, guessed before the window exists: the
// one named on the command line, else the one the settings remember, else the first
// start's sample. The guess only decides what is read ahead.
QString DataFileToLoadAtStart(const QString& namedOnCommandLine);

// A request to end (SIGTERM, SIGHUP, SIGINT: a session logout, `kill`, Ctrl+C in a
// terminal) closes the windows as their close boxes would, so the settings are saved.
// Installed before the first form, so no such request can end the program unsaved.
void CloseOnTermination();
// Whether such a request came already, for instance while the first record page was
// loading: the windows are closed then, and the program must not wait for more.
bool TerminationRequested();
