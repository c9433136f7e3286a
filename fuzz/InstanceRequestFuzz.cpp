// Any bytes a process of the user's may write to the window's socket: either they are
// one whole request, which a start would have sent byte for byte the same, or they are
// refused (or still incomplete); nothing over the limit is ever taken, and how the
// bytes are cut into reads changes nothing.
#include "common/InstanceRequest.h"
#include "FuzzRules.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace fuzzrules;

// The length a frame announces: its first four bytes, most significant first.
quint64 AnnouncedLength(const QByteArray& framed) {
    quint64 length = 0;
    for (int i = 0; i < 4; ++i) length = (length << 8) | static_cast<unsigned char>(framed[i]);
    return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte chooses how the rest arrives: framed by the fuzzer (so it need
    // not learn the length prefix) or as raw bytes, and in reads of which length.
    const bool frameIt = (data[0] & 1) != 0;
    const qsizetype piece = 1 + (data[0] >> 1);
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    if (frameIt) {
        const auto n = static_cast<quint32>(bytes.size());
        QByteArray prefix;
        for (int shift = 24; shift >= 0; shift -= 8) prefix.append(static_cast<char>((n >> shift) & 0xFF));
        bytes.prepend(prefix);
    }

    RequestReader whole;
    const RequestReader::State state = whole.Feed(bytes);
    RequestReader pieces;
    RequestReader::State statePieces = RequestReader::State::NeedMore;
    for (qsizetype at = 0; at < bytes.size(); at += piece) statePieces = pieces.Feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    Expect(statePieces == state);

    if (state == RequestReader::State::Done) {
        Expect(bytes.size() >= 4 && bytes.size() <= 4 + kMaxRequestBytes);
        Expect(AnnouncedLength(bytes) == static_cast<quint64>(bytes.size() - 4));
        Expect(pieces.Request() == whole.Request());
        // What was heard is what a start sends for it, byte for byte.
        Expect(EncodeRequest(whole.Request()) == bytes);
        Expect(EncodeRequestForStart(whole.Request()) == bytes);
        Expect(!whole.Request().argument.contains(QChar(0)));
        if (whole.Request().kind == InstanceRequest::Kind::Open) Expect(whole.Request().argument.startsWith(QLatin1Char('/')));
        Expect(DecodeRequest(QByteArrayView(bytes).sliced(4)) == whole.Request());
    } else {
        // Refused bytes decode to nothing either; incomplete ones announce more than came.
        if (bytes.size() >= 4 && AnnouncedLength(bytes) == static_cast<quint64>(bytes.size() - 4))
            Expect(!DecodeRequest(QByteArrayView(bytes).sliced(4)).has_value());
        if (state == RequestReader::State::NeedMore)
            Expect(bytes.size() < 4 || (AnnouncedLength(bytes) <= static_cast<quint64>(kMaxRequestBytes) &&
                                        AnnouncedLength(bytes) > static_cast<quint64>(bytes.size() - 4)));
    }
    // Bytes taken once are followed by nothing: one more byte refuses the lot.
    if (state == RequestReader::State::Done) Expect(whole.Feed("x") == RequestReader::State::Refused);
    return 0;
}
