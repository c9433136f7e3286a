#include "common/InstanceRequest.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

constexpr QByteArrayView kMagic("QuillorDic 1\n");
constexpr qsizetype kPrefixBytes = 4;

struct KindName {
    InstanceRequest::Kind kind;
    QByteArrayView name;
};
constexpr std::array<KindName, 4> kKinds{{{InstanceRequest::Kind::Show, "show"},
                                          {InstanceRequest::Kind::Open, "open"},
                                          {InstanceRequest::Kind::Search, "search"},
                                          {InstanceRequest::Kind::Lookup, "lookup"}}};

// A token goes into the environment of the window's process: no blanks, no controls.
bool IsToken(QByteArrayView token) {
    return std::all_of(token.begin(), token.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

// A search or lookup text is anything; a path must say where from the root, since the two
// processes need not share a working folder; "show" carries nothing.
bool FitsKind(InstanceRequest::Kind kind, const QString& argument) {
    if (argument.contains(QChar(0))) return false;
    switch (kind) {
    case InstanceRequest::Kind::Show: return argument.isEmpty();
    case InstanceRequest::Kind::Open: return argument.startsWith(QLatin1Char('/'));
    case InstanceRequest::Kind::Search:
    case InstanceRequest::Kind::Lookup: return true;
    }
    return false;
}

std::optional<QByteArrayView> TakeLine(QByteArrayView& rest) {
    const qsizetype end = rest.indexOf('\n');
    if (end < 0) return std::nullopt;
    const QByteArrayView line = rest.first(end);
    rest = rest.sliced(end + 1);
    return line;
}

}  // namespace

QByteArray EncodeRequest(const InstanceRequest& request) {
    const QByteArray token = request.activationToken.toLatin1();
    if (!IsToken(token) || QString::fromLatin1(token) != request.activationToken) return {};
    if (!FitsKind(request.kind, request.argument)) return {};
    const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](const KindName& k) { return k.kind == request.kind; });
    QByteArray message = kMagic.toByteArray() + kind->name.toByteArray() + '\n' + token + '\n' + request.argument.toUtf8();
    if (message.size() > kMaxRequestBytes) return {};
    const auto length = static_cast<quint32>(message.size());
    QByteArray framed(kPrefixBytes, '\0');
    for (int i = 0; i < kPrefixBytes; ++i) framed[i] = static_cast<char>(length >> (8 * (kPrefixBytes - 1 - i)));
    return framed + message;
}

QByteArray EncodeRequestForStart(const InstanceRequest& request) {
    QByteArray framed = EncodeRequest(request);
    if (framed.isEmpty() && !request.activationToken.isEmpty())
        framed = EncodeRequest({request.kind, request.argument, QString()});
    return framed;
}

std::optional<InstanceRequest> DecodeRequest(QByteArrayView message) {
    if (message.size() > kMaxRequestBytes || !message.startsWith(kMagic)) return std::nullopt;
    QByteArrayView rest = message.sliced(kMagic.size());
    const std::optional<QByteArrayView> kindName = TakeLine(rest);
    const std::optional<QByteArrayView> token = TakeLine(rest);
    if (!kindName || !token || !IsToken(*token)) return std::nullopt;
    const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](const KindName& k) { return k.name == *kindName; });
    if (kind == kKinds.end()) return std::nullopt;

    // Strict UTF-8: a text that only decodes with replacements is not what was sent.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    InstanceRequest request{kind->kind, utf8(rest), QString::fromLatin1(*token)};
    if (utf8.hasError() || !FitsKind(request.kind, request.argument)) return std::nullopt;
    return request;
}

RequestReader::State RequestReader::Feed(QByteArrayView bytes) {
    if (state_ == State::Refused || bytes.isEmpty()) return state_;
    // Anything after a whole request is no part of the protocol.
    if (state_ == State::Done) return state_ = State::Refused;
    buffer_.append(bytes);
    if (buffer_.size() < kPrefixBytes) return state_;
    quint32 length = 0;
    for (int i = 0; i < kPrefixBytes; ++i) length = (length << 8) | static_cast<unsigned char>(buffer_[i]);
    if (length == 0 || length > kMaxRequestBytes || buffer_.size() > kPrefixBytes + qsizetype(length))
        return state_ = State::Refused;
    if (buffer_.size() < kPrefixBytes + qsizetype(length)) return state_;
    const std::optional<InstanceRequest> request = DecodeRequest(QByteArrayView(buffer_).sliced(kPrefixBytes));
    buffer_.clear();
    if (!request) return state_ = State::Refused;
    request_ = *request;
    return state_ = State::Done;
}
