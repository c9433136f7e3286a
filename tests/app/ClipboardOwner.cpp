// Another program on the X display, for the clipboard test: told on stdin, it takes the
// input focus ("focus"), types Ctrl+K and Ctrl+C into the window that has the focus
// and waits for that window to own the clipboard ("copy"), or takes the CLIPBOARD
// itself ("take"). It writes the target of every request it gets to LOG, one name a
// line, and answers UTF8_STRING (and TARGETS) with TEXT, or nothing at all with
// --silent. It says "focused", "copied", "owning" and "lost" on stdout, and ends when
// it loses the clipboard or its stdin closes.
// Usage: ClipboardOwner LOG (TEXT | --silent)
#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using Owned = std::unique_ptr<Reply, FreeReply>;

xcb_connection_t* x = nullptr;
xcb_window_t window = 0;

[[noreturn]] void Die(const char* why) {
    std::fprintf(stderr, "ClipboardOwner: %s\n", why);
    std::exit(2);
}

void Say(const char* what) {
    std::printf("%s\n", what);
    std::fflush(stdout);
}

xcb_atom_t Atom(const char* name) {
    Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    if (!reply) Die("no atom");
    return reply->atom;
}

std::string AtomName(xcb_atom_t atom) {
    Owned<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(x, xcb_get_atom_name(x, atom), nullptr));
    if (!reply) return "?";
    return std::string(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
}

xcb_keycode_t KeycodeOf(xcb_keysym_t symbol) {
    const xcb_setup_t* setup = xcb_get_setup(x);
    const std::uint8_t count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    Owned<xcb_get_keyboard_mapping_reply_t> map(
        xcb_get_keyboard_mapping_reply(x, xcb_get_keyboard_mapping(x, setup->min_keycode, count), nullptr));
    if (!map) Die("no keyboard map");
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(map.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(map.get());
    for (int i = 0; i < length; ++i)
        if (symbols[i] == symbol) return static_cast<xcb_keycode_t>(setup->min_keycode + i / map->keysyms_per_keycode);
    Die("no key for a letter");
}

// A key typed with Ctrl into `target`, as the server would pass it on.
void CtrlKey(xcb_window_t root, xcb_window_t target, char letter) {
    xcb_key_press_event_t key{};
    key.detail = KeycodeOf(static_cast<xcb_keysym_t>(letter));
    key.root = root;
    key.event = target;
    key.same_screen = 1;
    key.state = XCB_MOD_MASK_CONTROL;
    for (const auto& [type, mask] : {std::pair{XCB_KEY_PRESS, XCB_EVENT_MASK_KEY_PRESS},
                                    std::pair{XCB_KEY_RELEASE, XCB_EVENT_MASK_KEY_RELEASE}}) {
        key.response_type = static_cast<std::uint8_t>(type);
        xcb_send_event(x, 1, target, mask, reinterpret_cast<const char*>(&key));
    }
    xcb_flush(x);
}

// Waits for the first event of `type` on the window; any other event before it is
// handed to `other`.
template <typename Other>
Owned<xcb_generic_event_t> WaitFor(std::uint8_t type, Other other) {
    while (Owned<xcb_generic_event_t> event{xcb_wait_for_event(x)}) {
        if ((event->response_type & 0x7F) == type) return event;
        other(event.get());
    }
    Die("the X connection ended");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) Die("usage: ClipboardOwner LOG (TEXT | --silent)");
    const std::string text = argv[2];
    const bool silent = text == "--silent";
    std::FILE* log = std::fopen(argv[1], "a");
    if (!log) Die("cannot write the log");

    int screenNumber = 0;
    x = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(x)) Die("cannot connect to X");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (; screenNumber > 0; --screenNumber) xcb_screen_next(&screens);
    const xcb_screen_t* screen = screens.data;
    const xcb_atom_t clipboard = Atom("CLIPBOARD"), utf8 = Atom("UTF8_STRING"), targets = Atom("TARGETS"),
                     stamp = Atom("CLIPBOARD_OWNER_STAMP");

    window = xcb_generate_id(x);
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 40, 40, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_EVENT_MASK, &mask);
    xcb_map_window(x, window);
    xcb_flush(x);
    const auto ignore = [](xcb_generic_event_t*) {};
    WaitFor(XCB_MAP_NOTIFY, ignore);

    const auto answer = [&](const xcb_selection_request_event_t* request) {
        std::fprintf(log, "%s\n", AtomName(request->target).c_str());
        std::fflush(log);
        if (silent) return;
        const xcb_atom_t property = request->property != XCB_NONE ? request->property : request->target;
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request->time;
        notify.requestor = request->requestor;
        notify.selection = request->selection;
        notify.target = request->target;
        notify.property = property;
        if (request->target == utf8) {
            xcb_change_property(x, XCB_PROP_MODE_REPLACE, request->requestor, property, utf8, 8,
                                static_cast<std::uint32_t>(text.size()), text.data());
        } else if (request->target == targets) {
            const xcb_atom_t offered[] = {targets, utf8};
            xcb_change_property(x, XCB_PROP_MODE_REPLACE, request->requestor, property, XCB_ATOM_ATOM, 32, 2, offered);
        } else {
            notify.property = XCB_NONE;
        }
        xcb_send_event(x, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
        xcb_flush(x);
    };
    const auto handle = [&](xcb_generic_event_t* event) {
        switch (event->response_type & 0x7F) {
        case XCB_SELECTION_REQUEST: answer(reinterpret_cast<xcb_selection_request_event_t*>(event)); break;
        case XCB_SELECTION_CLEAR:
            Say("lost");
            std::exit(0);
        }
    };

    std::string command;
    pollfd fds[] = {{xcb_get_file_descriptor(x), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        while (Owned<xcb_generic_event_t> event{xcb_poll_for_event(x)}) handle(event.get());
        if (xcb_connection_has_error(x)) Die("the X connection ended");
        if (::poll(fds, 2, -1) < 0) continue;
        if (!(fds[1].revents & (POLLIN | POLLHUP))) continue;
        char c = 0;
        if (::read(STDIN_FILENO, &c, 1) != 1) return 0;
        if (c != '\n') {
            command += c;
            continue;
        }
        if (command == "focus") {
            xcb_set_input_focus(x, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
            Owned<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
            if (!focus || focus->focus != window) Die("the focus was not taken");
            Say("focused");
        } else if (command == "copy") {
            // Ctrl+K, Ctrl+C into the window that has the focus: it copies its search box.
            Owned<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
            if (!focus || focus->focus == window || focus->focus <= XCB_INPUT_FOCUS_POINTER_ROOT)
                Die("no other window has the focus");
            CtrlKey(screen->root, focus->focus, 'k');
            CtrlKey(screen->root, focus->focus, 'c');
            for (int tries = 0;; ++tries) {
                Owned<xcb_get_selection_owner_reply_t> owner(
                    xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, clipboard), nullptr));
                if (owner && owner->owner != XCB_NONE && owner->owner != window) break;
                if (tries == 300) Die("the focused window copied nothing");
                ::usleep(100'000);
            }
            Say("copied");
        } else if (command == "take") {
            // A timestamp of the server's, as the conventions want it instead of CurrentTime.
            xcb_change_property(x, XCB_PROP_MODE_APPEND, window, stamp, XCB_ATOM_STRING, 8, 0, nullptr);
            xcb_flush(x);
            const Owned<xcb_generic_event_t> stamped = WaitFor(XCB_PROPERTY_NOTIFY, handle);
            const xcb_timestamp_t time = reinterpret_cast<xcb_property_notify_event_t*>(stamped.get())->time;
            xcb_set_selection_owner(x, window, clipboard, time);
            Owned<xcb_get_selection_owner_reply_t> owner(
                xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, clipboard), nullptr));
            if (!owner || owner->owner != window) Die("the clipboard was not taken");
            Say("owning");
        }
        command.clear();
    }
}
