#include "app/ClipboardWatch.h"

#include "app/XClipboardWatch.h"
#include "common/ErrorBoundary.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

ClipboardWatch::ClipboardWatch(MayAsk mayAsk, Heard heard, QObject* parent)
    : QObject(parent), mayAsk_(std::move(mayAsk)), heard_(std::move(heard)) {}

ClipboardWatch::~ClipboardWatch() = default;

void ClipboardWatch::SetWatching(bool on) {
    if (on == IsWatching()) return;
    if (!on) {
        x_.reset();
        disconnect(qtChanged_);
        qtChanged_ = {};
        return;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        x_ = std::make_unique<XClipboardWatch>(mayAsk_, heard_);
        // Qt's own clipboard would wait on a silent owner: without the watch, none is asked.
        if (!x_->IsOpen()) x_.reset();
    }
    qtChanged_ = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                         Guarded(this, &ClipboardWatch::QtClipboardChanged));
}

bool ClipboardWatch::IsWatching() const { return static_cast<bool>(qtChanged_); }

void ClipboardWatch::QtClipboardChanged() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    // Qt tells of an own copy as it is made, before a clipboard keeper can take it over.
    if (clipboard->ownsClipboard()) return ReadOwnCopy();
    if (QGuiApplication::platformName() == QLatin1String("xcb") || !mayAsk_()) return;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    if (data && data->hasText()) heard_(data->text(), false);
}

void ClipboardWatch::ReadOwnCopy() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    // Should another program have taken the clipboard meanwhile, Qt hands out its
    // stand-in for that program's data, which would ask the program for every format.
    if (!data || data->inherits("QInternalMimeData") || !data->hasText()) return;
    heard_(data->text(), true);
}
