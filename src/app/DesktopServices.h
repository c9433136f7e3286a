#pragma once
// The desktop's answers to the core's questions and links: the message box and the
// default link handler, installed at start-up.

#include <QMessageBox>

void InstallDesktopServices();

// The message box a question with these flags shows: its buttons, its icon and its
// default button.
struct AskBoxLayout {
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};
AskBoxLayout AskBoxLayoutOf(int flags);

// The answer's number for the button pressed.
int AnswerOf(QMessageBox::StandardButton button);
