#pragma once
// The desktop's clipboard, watched only while 表示 → クリップボードを検索 is on: while
// off, nothing here asks the clipboard anything. Each new copy is handed over once,
// another program's text read only after `mayAsk` allowed it. This program's own
// copies are read from its own data as Qt tells of them. Under X a connection of its
// own asks another program, once and without waiting on it (XClipboardWatch);
// elsewhere Qt's clipboard tells.

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class XClipboardWatch;

class ClipboardWatch : public QObject {
public:
    // Whether the owner of a new copy may be asked for its text now: checked at every
    // change, before any request.
    using MayAsk = std::function<bool()>;
    // A new copy's text; `ownCopy` when this program made it, read here without asking
    // anyone. A text too long to be a word comes as an empty one.
    using Heard = std::function<void(const QString& text, bool ownCopy)>;

    ClipboardWatch(MayAsk mayAsk, Heard heard, QObject* parent = nullptr);
    ~ClipboardWatch() override;

    void SetWatching(bool on);
    bool IsWatching() const;

private:
    void QtClipboardChanged();
    // This program's own copy, from its own clipboard data: no request leaves the process.
    void ReadOwnCopy() const;  // while Qt owns the clipboard

    MayAsk mayAsk_;
    Heard heard_;
    std::unique_ptr<XClipboardWatch> x_;
    QMetaObject::Connection qtChanged_;
};
