#pragma once
// X's CLIPBOARD, watched over a connection of its own, open only while the watch is
// on. Qt's own clipboard would wait on the owner's answer (up to seconds a request,
// and it asks for the owner's formats before the text), and an owner that never
// answers would freeze the window: here each change of owner is asked once, for
// UTF8_STRING only, the answer comes in through the event loop, and an owner silent
// past a deadline is forgotten.

#include "app/ClipboardWatch.h"

#include <QObject>

#include <cstdint>

class QSocketNotifier;
class QTimer;
struct xcb_connection_t;

class XClipboardWatch : public QObject {
public:
    // An owner that is a window of Qt's own connection is left to Qt, which tells of
    // this program's own copies as they are made.
    XClipboardWatch(ClipboardWatch::MayAsk mayAsk, ClipboardWatch::Heard heard, QObject* parent = nullptr);
    ~XClipboardWatch() override;

    // Whether the connection is up and tells the changes of owner; when it cannot be,
    // a warning said why.
    bool IsOpen() const { return connection_ != nullptr; }

private:
    bool Open();
    void Close();
    void ReadEvents();
    void OwnerChanged(std::uint32_t owner, std::uint32_t selectionTime);
    void AnswerCame(std::uint32_t requestor, std::uint32_t property);
    void Forget();
    bool IsQtsWindow(std::uint32_t window) const;

    ClipboardWatch::MayAsk mayAsk_;
    ClipboardWatch::Heard heard_;

    xcb_connection_t* connection_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* deadline_ = nullptr;  // a request the owner leaves unanswered is forgotten
    std::uint32_t root_ = 0;
    std::uint32_t watcher_ = 0;    // told of each change of owner
    std::uint32_t requestor_ = 0;  // a window for the one request under way, or 0
    std::uint8_t xfixesEvent_ = 0;
    std::uint32_t clipboard_ = 0, utf8String_ = 0, incr_ = 0, property_ = 0;
    std::uint32_t qtIdBase_ = 0, qtIdMask_ = 0;  // the window ids of Qt's own connection
};
