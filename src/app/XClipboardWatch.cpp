#include "app/XClipboardWatch.h"

#include "common/ErrorBoundary.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kAnswerWithinMs = 2'000;  // an owner that takes longer is asked no more
// A word is at most 255 characters (255 bytes in code page 932), a character at most
// four bytes in UTF-8: the answer is read that far, and a longer one is no word.
constexpr std::uint32_t kMostAnswerWords = 256;  // in 32-bit units: 1024 bytes

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using Owned = std::unique_ptr<Reply, FreeReply>;

xcb_screen_t* ScreenNumber(xcb_connection_t* connection, int number) {
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; screens.rem > 0; xcb_screen_next(&screens), --number)
        if (number == 0) return screens.data;
    return nullptr;
}

}  // namespace

XClipboardWatch::XClipboardWatch(ClipboardWatch::MayAsk mayAsk, ClipboardWatch::Heard heard, QObject* parent)
    : QObject(parent), mayAsk_(std::move(mayAsk)), heard_(std::move(heard)) {
    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
    deadline_->setInterval(kAnswerWithinMs);
    connect(deadline_, &QTimer::timeout, this, Guarded([this] {
                Forget();
                ReadEvents();  // what the connection read while it wrote waits in its queue
            }));
    if (!Open()) Close();
}

XClipboardWatch::~XClipboardWatch() { Close(); }

bool XClipboardWatch::Open() {
    const auto refused = [](const char* why) {
        qWarning("QuillorDic: クリップボードを監視できません: %s", why);
        return false;
    };
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return refused("Qt の X 接続がありません");
    // A copy made in this program is owned by a window of Qt's connection, and only
    // those windows have ids in its range: this program is never asked.
    const xcb_setup_t* qtSetup = xcb_get_setup(x11->connection());
    qtIdBase_ = qtSetup->resource_id_base;
    qtIdMask_ = qtSetup->resource_id_mask;

    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_)) return refused("X に接続できません");
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection_, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present) return refused("X に XFIXES 拡張がありません");
    xfixesEvent_ = xfixes->first_event;
    // The extension answers nothing before its version is asked.
    Owned<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
        connection_, xcb_xfixes_query_version(connection_, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));
    if (!version || version->major_version < 1) return refused("X の XFIXES 拡張が古すぎます");
    const xcb_screen_t* screen = ScreenNumber(connection_, screenNumber);
    if (!screen) return refused("X の画面がありません");
    root_ = screen->root;

    const std::initializer_list<std::pair<const char*, std::uint32_t*>> atoms = {
        {"CLIPBOARD", &clipboard_}, {"UTF8_STRING", &utf8String_}, {"INCR", &incr_},
        {"QUILLORDIC_CLIPBOARD", &property_}};
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const auto& [name, atom] : atoms)
        cookies.push_back(xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
    auto cookie = cookies.begin();
    for (const auto& [name, atom] : atoms) {
        Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, *cookie++, nullptr));
        if (!reply) return refused("X のアトムを得られません");
        *atom = reply->atom;
    }

    watcher_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, watcher_, root_, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    // The owner gone counts too: an answer still awaited will not come.
    xcb_xfixes_select_selection_input(connection_, watcher_, clipboard_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection_);
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, Guarded(this, &XClipboardWatch::ReadEvents));
    ReadEvents();  // events the replies above read already wait in the connection's queue
    return true;
}

void XClipboardWatch::Close() {
    deadline_->stop();
    requestor_ = 0;
    // Closed from its own handler too, when the server went away.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    // The server destroys the connection's windows with it.
    if (connection_) xcb_disconnect(connection_);
    connection_ = nullptr;
}

void XClipboardWatch::ReadEvents() {
    while (connection_) {
        Owned<xcb_generic_event_t> event(xcb_poll_for_event(connection_));
        if (!event) break;
        const std::uint8_t type = event->response_type & 0x7F;
        if (type == xfixesEvent_ + XCB_XFIXES_SELECTION_NOTIFY) {
            const auto* change = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event.get());
            if (change->selection == clipboard_) OwnerChanged(change->owner, change->selection_timestamp);
        } else if (type == XCB_SELECTION_NOTIFY) {
            const auto* answer = reinterpret_cast<const xcb_selection_notify_event_t*>(event.get());
            AnswerCame(answer->requestor, answer->property);
        }
        // An error is an owner's late answer to a window gone already, or the like.
    }
    if (!connection_) return;
    if (xcb_connection_has_error(connection_)) {
        qWarning("QuillorDic: クリップボードの監視を終えます: X との接続が切れました");
        return Close();
    }
    xcb_flush(connection_);
}

void XClipboardWatch::OwnerChanged(std::uint32_t owner, std::uint32_t selectionTime) {
    Forget();  // an answer still awaited would be the last owner's
    if (owner == XCB_NONE || IsQtsWindow(owner) || !mayAsk_()) return;
    // A window per request: a late answer finds it gone, and cannot pass for the next one.
    requestor_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, requestor_, root_, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_convert_selection(connection_, requestor_, clipboard_, utf8String_, property_, selectionTime);
    xcb_flush(connection_);
    deadline_->start();
}

void XClipboardWatch::AnswerCame(std::uint32_t requestor, std::uint32_t property) {
    if (requestor_ == 0 || requestor != requestor_) return;  // to a request forgotten
    if (property == XCB_NONE) return Forget();                // no text there
    const Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, requestor_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, kMostAnswerWords),
        nullptr));
    // Left unread, an answer in pieces (INCR) goes with the window: its owner is told no more.
    Forget();
    if (!reply) return;
    if (reply->type == incr_ || reply->bytes_after > 0) return heard_(QString(), false);
    if (reply->type != utf8String_ || reply->format != 8) return;
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    heard_(QString::fromUtf8(bytes, xcb_get_property_value_length(reply.get())), false);
}

void XClipboardWatch::Forget() {
    deadline_->stop();
    if (requestor_ == 0 || !connection_) return;
    xcb_destroy_window(connection_, requestor_);
    xcb_flush(connection_);
    requestor_ = 0;
}

bool XClipboardWatch::IsQtsWindow(std::uint32_t window) const { return (window & ~qtIdMask_) == qtIdBase_; }
