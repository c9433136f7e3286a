#pragma once
// The window's extra system command: the window manager's own menu is out of reach,
// so the tool bar panel's context menu carries the item "ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ(&D)".
// Choosing it posts a system command with id 100; an application-wide event filter
// sees every posted event and makes the desktop shortcut when that command passes.

#include <QEvent>

class QWidget;

class SystemCommandEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 274);
    static constexpr int kDesktopShortcut = 100;

    explicit SystemCommandEvent(int commandId) : QEvent(kType), commandId_(commandId) {}
    int CommandId() const { return commandId_; }

private:
    int commandId_;
};

// Adds the menu item to `panel` and installs the filter; the command is posted to the
// panel's window.
void InstallAppMessage(QWidget* panel);
