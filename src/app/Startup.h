#pragma once
// What the application object needs before the first form exists: its title, the
// font substitutions, the desktop's message box and link handler and the Japanese
// texts of Qt's own dialogs and buttons.

class QWidget;

void PrepareApplication();

// A request to end (SIGTERM, SIGHUP, SIGINT: a session logout, `kill`, Ctrl+C in a
// terminal) closes the main window as its close box would, so the settings are saved.
void CloseOnTermination(QWidget* mainWindow);
