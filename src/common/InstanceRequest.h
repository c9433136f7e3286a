#pragma once
// What a second start of the program asks of the one already running, and how it
// travels. Qt Core only: the running window reads these bytes from any process of its
// user, so what it accepts is kept in one small, testable place.
//
// On the wire a request is a 4-byte big-endian length followed by that many bytes:
//     "QuillorDic 1\n" KIND "\n" TOKEN "\n" ARGUMENT
// KIND is "show" (no argument), "open" (an absolute path), "search" or "lookup" (the
// text, any length but within the limit, empty allowed); TOKEN is the desktop's activation token
// (printable ASCII, possibly empty); ARGUMENT is UTF-8 without NUL and runs to the end.
// The running side answers one byte, kAccepted or kRefused, and closes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

struct InstanceRequest {
    enum class Kind { Show, Open, Search, Lookup };
    Kind kind = Kind::Show;
    QString argument;         // Open: the data file's absolute path; Search, Lookup: the text
    QString activationToken;  // lets the window come to the front on Wayland; may be empty

    bool operator==(const InstanceRequest&) const = default;
};

// The largest message, its length prefix not counted.
inline constexpr qsizetype kMaxRequestBytes = 64 * 1024;
inline constexpr char kAccepted = '+';
inline constexpr char kRefused = '-';

// The framed bytes to send; empty when the request is not one the other side would
// accept (too long, a relative path, a NUL).
QByteArray EncodeRequest(const InstanceRequest& request);

// What a start sends for `request`: as EncodeRequest, but an activation token that
// would stop the request (characters a token cannot hold, or bytes over the limit) is
// left out, since it only helps the window to the front. Empty when the request
// cannot travel even so.
QByteArray EncodeRequestForStart(const InstanceRequest& request);

// The message (without its length prefix) as a request; nothing when it breaks a rule.
std::optional<InstanceRequest> DecodeRequest(QByteArrayView message);

// Reads one framed request as its bytes arrive in pieces. It refuses as soon as the
// length prefix announces more than kMaxRequestBytes, without waiting for them.
class RequestReader {
public:
    enum class State { NeedMore, Done, Refused };
    State Feed(QByteArrayView bytes);
    State Current() const { return state_; }
    const InstanceRequest& Request() const { return request_; }

private:
    State state_ = State::NeedMore;
    QByteArray buffer_;
    InstanceRequest request_;
};
