// What a later start may send to the running window, and what the window hears of it:
// the window reads these bytes from any process of its user.
#include "common/InstanceRequest.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using Kind = InstanceRequest::Kind;
const QByteArray kMagic("QuillorDic 1\n");

// A message as it travels: its length in four bytes, most significant first.
QByteArray Framed(const QByteArray& message) {
    const auto n = static_cast<quint32>(message.size());
    QByteArray prefix;
    for (int shift = 24; shift >= 0; shift -= 8) prefix.append(static_cast<char>((n >> shift) & 0xFF));
    return prefix + message;
}

RequestReader::State Read(const QByteArray& bytes) {
    RequestReader reader;
    return reader.Feed(bytes);
}

TEST(InstanceRequest, IsHeardOnlyInItsOwnWords) {
    const struct {
        QByteArray message;
        std::optional<InstanceRequest> heard;
    } cases[] = {
        {kMagic + "search\n\nheart", InstanceRequest{Kind::Search, "heart", ""}},
        {kMagic + "search\n\n", InstanceRequest{Kind::Search, "", ""}},  // the search itself says what is missing
        {kMagic + "lookup\n\nbacilli", InstanceRequest{Kind::Lookup, "bacilli", ""}},
        {kMagic + "search\nabc-12_3:4\n" + QString("心臓 a\nb").toUtf8(),
         InstanceRequest{Kind::Search, QString("心臓 a\nb"), "abc-12_3:4"}},
        {kMagic + "open\n\n/home/u/辞書〜 ¥/my dic.txt", InstanceRequest{Kind::Open, "/home/u/辞書〜 ¥/my dic.txt", ""}},
        {kMagic + "show\n\n", InstanceRequest{Kind::Show, "", ""}},
        {"QuillorDic 2\nsearch\n\nheart", std::nullopt},
        {"quillordic 1\nsearch\n\nheart", std::nullopt},
        {kMagic + "find\n\nheart", std::nullopt},
        {kMagic + "search\nheart", std::nullopt},  // no token line
        {kMagic + "search\nto ken\nheart", std::nullopt},
        {kMagic + "open\n\nmy dic.txt", std::nullopt},  // where from?
        {kMagic + "open\n\n", std::nullopt},
        {kMagic + "show\n\nheart", std::nullopt},
        {kMagic + "search\n\nhe\xff\xfe" "art", std::nullopt},  // no UTF-8
        {kMagic + "search\n\nhe" + QByteArray(1, '\0') + "art", std::nullopt},
    };
    for (const auto& [message, heard] : cases) {
        SCOPED_TRACE(message.toStdString());
        RequestReader reader;
        EXPECT_EQ(reader.Feed(Framed(message)), heard ? RequestReader::State::Done : RequestReader::State::Refused);
        if (!heard) continue;
        EXPECT_EQ(reader.Request(), *heard);
        EXPECT_EQ(EncodeRequest(*heard), Framed(message));  // what a start sends is what is heard
    }
}

TEST(InstanceRequest, FrameHoldsOneRequestOfAtMost64KB) {
    const QByteArray header = Framed(kMagic + "search\n\n");
    const QByteArray largest = header + QByteArray(kMaxRequestBytes - (header.size() - 4), 'x');
    EXPECT_EQ(Read(Framed(largest.mid(4))), RequestReader::State::Done);
    // Refused as soon as the length says more, without waiting for the bytes.
    EXPECT_EQ(Read(Framed(largest.mid(4) + 'x').left(4)), RequestReader::State::Refused);
    EXPECT_EQ(Read(QByteArray(4, '\0')), RequestReader::State::Refused);
    EXPECT_EQ(Read(Framed(kMagic + "show\n\n") + 'x'), RequestReader::State::Refused);
    EXPECT_EQ(Read("lung, please\n"), RequestReader::State::Refused);

    RequestReader pieces;
    const QByteArray whole = Framed(kMagic + "search\n\nheart");
    for (qsizetype i = 0; i + 1 < whole.size(); ++i) EXPECT_EQ(pieces.Feed(whole.mid(i, 1)), RequestReader::State::NeedMore);
    EXPECT_EQ(pieces.Feed(whole.right(1)), RequestReader::State::Done);
    EXPECT_EQ(pieces.Feed("x"), RequestReader::State::Refused);  // nothing after it
}

TEST(InstanceRequest, StartSendsNothingTheWindowWouldRefuseAndDropsATokenBeforeTheRequest) {
    EXPECT_TRUE(EncodeRequest({Kind::Open, "dic.txt", ""}).isEmpty());
    EXPECT_TRUE(EncodeRequest({Kind::Search, QString(kMaxRequestBytes, 'x'), ""}).isEmpty());
    EXPECT_TRUE(EncodeRequest({Kind::Search, "heart", "not a token"}).isEmpty());

    // The token only brings the window forward: a request it would stop travels without it.
    const QString longest(kMaxRequestBytes - (kMagic.size() + 8), 'x');  // "search\n" "\n" take 8
    const QString token(40, 'T');
    const struct {
        InstanceRequest request;
        QString tokenSent;  // what arrives of the token; the request itself arrives whole
    } cases[] = {
        {{Kind::Search, "heart", "abc"}, "abc"},
        {{Kind::Search, "heart", "not a token"}, ""},
        {{Kind::Search, "heart", "トークン"}, ""},
        {{Kind::Search, longest, token}, ""},  // the token would take it over the limit
        {{Kind::Search, longest, ""}, ""},
        {{Kind::Open, "/a b/dic.txt", token}, token},
    };
    for (const auto& [request, tokenSent] : cases) {
        SCOPED_TRACE(request.activationToken.toStdString());
        RequestReader reader;
        ASSERT_EQ(reader.Feed(EncodeRequestForStart(request)), RequestReader::State::Done);
        EXPECT_EQ(reader.Request(), (InstanceRequest{request.kind, request.argument, tokenSent}));
    }
    EXPECT_TRUE(EncodeRequestForStart({Kind::Search, longest + 'x', ""}).isEmpty());
    EXPECT_TRUE(EncodeRequestForStart({Kind::Open, "dic.txt", "abc"}).isEmpty());
}

}  // namespace
