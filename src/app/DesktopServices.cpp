#include "app/DesktopServices.h"

#include "common/SystemHelpers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include <algorithm>
#include <vector>

AskBoxLayout AskBoxLayoutOf(int flags) {
    AskBoxLayout layout;
    std::vector<QMessageBox::StandardButton> order;
    switch (flags & 0xF) {
    case AskFlags::OkCancel: order = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case 2: order = {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}; break;
    case AskFlags::YesNoCancel: order = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    case AskFlags::YesNo: order = {QMessageBox::Yes, QMessageBox::No}; break;
    case 5: order = {QMessageBox::Retry, QMessageBox::Cancel}; break;
    default: order = {QMessageBox::Ok}; break;
    }
    for (const QMessageBox::StandardButton button : order) layout.buttons |= button;
    switch (flags & 0xF0) {
    case AskFlags::IconError: layout.icon = QMessageBox::Critical; break;
    case AskFlags::IconQuestion: layout.icon = QMessageBox::Question; break;
    case AskFlags::IconWarning: layout.icon = QMessageBox::Warning; break;
    case AskFlags::IconInformation: layout.icon = QMessageBox::Information; break;
    default: break;
    }
    const std::size_t defaultIndex = (flags & 0xF00) >> 8;
    layout.defaultButton = order.at(std::min(defaultIndex, order.size() - 1));
    return layout;
}

int AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok: return AskAnswer::Ok;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return AskAnswer::Yes;
    case QMessageBox::No: return AskAnswer::No;
    default: return AskAnswer::Cancel;  // Cancel, and a box closed by Escape or its frame
    }
}

void InstallDesktopServices() {
    SetAskUserHandler([](std::string_view text, std::string_view caption, int flags) {
        const AskBoxLayout layout = AskBoxLayoutOf(flags);
        QMessageBox box(layout.icon, QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), layout.buttons,
                        QApplication::activeWindow());
        box.setObjectName(QStringLiteral("AskUser"));
        box.setDefaultButton(layout.defaultButton);
        box.exec();
        const auto* clicked = box.clickedButton();
        return AnswerOf(clicked ? box.standardButton(box.clickedButton()) : QMessageBox::Cancel);
    });
    SetOpenLinkHandler([](std::string_view link) {
        if (link.empty()) return;  // nothing to open; the desktop would only complain
        QDesktopServices::openUrl(
            QUrl::fromUserInput(QString::fromUtf8(link.data(), static_cast<qsizetype>(link.size()))));
    });
}
