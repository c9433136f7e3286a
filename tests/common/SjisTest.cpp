#include "common/Sjis.h"

#include <gtest/gtest.h>

#include <QString>

#include <iconv.h>
#include <optional>
#include <random>

namespace {

// "医学" (medicine), "ｱｲ" (half-width katakana), "表" whose second byte is 0x5C.
const std::string kIgaku = "\x88\xE3\x8A\x77";
const std::string kHalfWidthAi = "\xB1\xB2";
const std::string kHyou = "\x95\x5C";

TEST(Sjis, DecodesAsciiKanjiAndHalfWidthKatakana) {
    EXPECT_EQ(Sjis::DecodeToUtf16("abc"), u"abc");
    EXPECT_EQ(Sjis::DecodeToUtf16(kIgaku), u"医学");
    EXPECT_EQ(Sjis::DecodeToUtf16(kHalfWidthAi), u"ｱｲ");
    EXPECT_EQ(Sjis::DecodeToUtf16(kHyou + "x"), u"表x");
    EXPECT_EQ(Sjis::DecodeToUtf16("\x81\x40\x81\x43"), u"　，");
}

TEST(Sjis, InvalidBytesShowAsReplacementWithoutHidingTheirNeighbours) {
    // A lone lead byte at the end of the text.
    EXPECT_EQ(Sjis::DecodeToUtf16("ab\x88"), u"ab\uFFFD");
    // A lead byte before an ASCII byte: the ASCII byte stays visible.
    EXPECT_EQ(Sjis::DecodeToUtf16("\x88" "a"), u"\uFFFD" u"a");
    // An unassigned pair: an ASCII second byte is read again, any other is swallowed.
    EXPECT_EQ(Sjis::DecodeToUtf16("\x85\x40z"), u"\uFFFD@z");
    EXPECT_EQ(Sjis::DecodeToUtf16("\x85\x90z"), u"\uFFFDz");
    EXPECT_EQ(Sjis::DecodeToUtf16(std::string("\0a", 2)), std::u16string(u"\0a", 2));
}

// The system's converter, asked of one character's bytes: what it makes of them
// taken whole, or nothing when it refuses them or wants more.
std::optional<std::u16string> SystemDecodes(std::string_view bytes) {
    static const iconv_t cd = iconv_open("UTF-32BE", "CP932");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string in(bytes);
    unsigned char out[8];
    char* inPtr = in.data();
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = in.size(), outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || sizeof out - outLeft != 4)
        return std::nullopt;
    const char32_t c = char32_t{out[0]} << 24 | char32_t{out[1]} << 16 | char32_t{out[2]} << 8 | out[3];
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    return std::u16string{static_cast<char16_t>(0xD7C0 + (c >> 10)), static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
}

// What the program shows for one character's bytes: the system's character; where the
// system refuses them (a lone lead byte included), U+FFFD, and a second byte that is
// ASCII is read again on its own. There is no other difference: 0x5C and 0x7E are the
// ASCII characters in both.
std::u16string Shown(std::string_view bytes) {
    if (const auto c = SystemDecodes(bytes)) return *c;
    if (bytes.size() == 2 && static_cast<unsigned char>(bytes[1]) < 0x80) return u"\uFFFD" + Shown(bytes.substr(1));
    return u"\uFFFD";
}

// Every byte alone, and every lead byte (0x81-0x9F, 0xE0-0xFC) with each byte after it.
std::vector<std::string> EveryByteAndPair() {
    std::vector<std::string> units;
    for (int b = 0; b < 256; ++b) units.emplace_back(1, static_cast<char>(b));
    for (int lead = 0x81; lead <= 0xFC; lead = lead == 0x9F ? 0xE0 : lead + 1)
        for (int trail = 0; trail < 256; ++trail) units.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    return units;
}

std::string Hex(std::string_view bytes) { return QByteArray(bytes.data(), bytes.size()).toHex(' ').toStdString(); }

TEST(Sjis, DecodesEveryByteAndEveryPairAsTheSystemsConverterDoes) {
    std::string wrong;
    int wrongCount = 0, characters = 0;
    for (const std::string& unit : EveryByteAndPair()) {
        const std::u16string expected = Shown(unit);
        characters += expected.find(u'\uFFFD') == std::u16string::npos;
        if (Sjis::DecodeToUtf16(unit) == expected && Sjis::ToQString(unit) == QString::fromStdU16String(expected))
            continue;
        if (++wrongCount <= 10)
            wrong += Hex(unit) + " shows " + Sjis::ToUtf8(unit) + ", not " +
                     QString::fromStdU16String(expected).toStdString() + "\n";
    }
    EXPECT_EQ(wrongCount, 0) << wrong;
    EXPECT_GT(characters, 9000) << "the system's converter knows the code page";
}

TEST(Sjis, EveryCharacterOfTheCodePageEncodesAndComesBack) {
    // Some characters have two pairs (the NEC and IBM rows): either will do.
    std::string wrong;
    for (const std::string& unit : EveryByteAndPair())
        if (const auto c = SystemDecodes(unit)) {
            const Sjis::Encoded encoded = Sjis::FromQString(QString::fromStdU16String(*c));
            if (!encoded.lossless || SystemDecodes(encoded.bytes) != c) wrong += Hex(unit) + "; ";
        }
    EXPECT_EQ(wrong, "");
}

TEST(Sjis, DecodingRandomBytesNeverFailsAndKeepsEveryAsciiByte) {
    std::mt19937 random(932);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const std::u16string text = Sjis::DecodeToUtf16(bytes);
        EXPECT_LE(text.size(), bytes.size());
        EXPECT_GE(text.size(), Sjis::CharCount(bytes));
    }
}

TEST(Sjis, EncodesInputAndTellsWhatCannotBeRepresented) {
    const Sjis::Encoded medicine = Sjis::EncodeUtf16(u"医学 abc");
    EXPECT_TRUE(medicine.lossless);
    EXPECT_EQ(medicine.bytes, kIgaku + " abc");

    const Sjis::Encoded emoji = Sjis::EncodeUtf16(u"a\U0001F600b");
    EXPECT_FALSE(emoji.lossless);
    EXPECT_EQ(emoji.bytes, "a?b");

    const Sjis::Encoded hangul = Sjis::EncodeUtf16(u"한");
    EXPECT_FALSE(hangul.lossless);

    EXPECT_EQ(Sjis::FromUtf8("表").bytes, kHyou);
    EXPECT_EQ(Sjis::ToUtf8(kIgaku), "医学");
}

TEST(Sjis, StepsAndCountsCharacters) {
    const std::string text = "a" + kIgaku + kHalfWidthAi + "\x88";
    EXPECT_EQ(Sjis::CharCount(text), 1u + 2u + 2u + 1u);
    EXPECT_EQ(Sjis::NextCharPos(text, 0), 1u);
    EXPECT_EQ(Sjis::NextCharPos(text, 1), 3u);
    EXPECT_EQ(Sjis::NextCharPos(text, text.size() - 1), text.size());  // lone lead byte
    EXPECT_EQ(Sjis::CharStartOf(text, 2), 1u);
    EXPECT_EQ(Sjis::CharStartOf(text, 5), 5u);
    EXPECT_EQ(Sjis::CharCount(""), 0u);
}

// Judged from the bytes just before it, a character's start must be the one a walk
// from the start of the text finds; the decoding step by step must give the whole
// decoding; and the characters as drawn start where its steps do.
TEST(Sjis, CharacterStartsAndDecodingStepsAgreeWithAWalkFromTheStart) {
    std::mt19937 random(5);
    const char bytes[] = {'a', ' ', 'A', '\x82', '\x81', '\x88', '\x9F', '\xE0', '\xFC', '\x40', '\x7F', '\xA0', '\xB1', '\xFD', '\x80'};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = random() % 24; i > 0; --i) text += bytes[random() % sizeof bytes];
        std::vector<std::size_t> startOf(text.size());
        std::u16string stepped;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t next = Sjis::NextCharPos(text, at);
            for (std::size_t i = at; i < next; ++i) startOf[i] = at;
            at = next;
        }
        for (std::size_t at = 0; at < text.size();) {
            const Sjis::DecodedChar decoded = Sjis::DecodeAt(text, at);
            stepped += decoded.unit;
            at += decoded.length;
        }
        for (std::size_t i = 0; i < text.size(); ++i) ASSERT_EQ(Sjis::CharStartOf(text, i), startOf[i]) << round;
        ASSERT_EQ(stepped, Sjis::DecodeToUtf16(text)) << round;
        // The characters as drawn: the steps of the decoding, from either end.
        std::vector<std::size_t> shownStartOf(text.size());
        for (std::size_t at = 0; at < text.size(); at = Sjis::NextShownChar(text, at))
            for (std::size_t i = at; i < Sjis::NextShownChar(text, at); ++i) shownStartOf[i] = at;
        for (std::size_t i = 0; i < text.size(); ++i) ASSERT_EQ(Sjis::ShownCharStart(text, i), shownStartOf[i]) << round;
    }
}

TEST(Sjis, SingleByteTextCountsHalfWidthKatakanaAsSingleByte) {
    EXPECT_TRUE(Sjis::IsSingleByteText(""));
    EXPECT_TRUE(Sjis::IsSingleByteText("heart-rate"));
    EXPECT_TRUE(Sjis::IsSingleByteText(kHalfWidthAi));
    EXPECT_FALSE(Sjis::IsSingleByteText("a" + kIgaku));
    EXPECT_FALSE(Sjis::IsSingleByteText("a\x88"));
}

TEST(Sjis, FindCharsRefusesMatchesOnASecondByte) {
    // 0x95 0x5C is one character; the backslash inside it is not a match.
    EXPECT_EQ(Sjis::FindChars(kHyou + "\\", "\\"), 2u);
    // 0x81 0x81 then "C": the bytes 0x81 0x43 are there, but no full-width comma.
    const std::string trap = "\x81\x81" "C";
    EXPECT_EQ(Sjis::FindChars(trap, "\x81\x43"), std::string::npos);
    EXPECT_EQ(Sjis::FindChars("x\x81\x43", "\x81\x43"), 1u);
    EXPECT_EQ(Sjis::FindChars("abab", "ab", 1), 2u);
    EXPECT_EQ(Sjis::FindChars("abc", ""), std::string::npos);
}

TEST(Sjis, FindCharsAgreesWithANaiveCharacterWalk) {
    std::mt19937 random(7);
    const std::string alphabet[] = {"a", "\\", "\x95\x5C", "\x81\x43", "C", "\x81\x81", "\xB1"};
    for (int round = 0; round < 3000; ++round) {
        std::string hay, needle;
        for (int i = random() % 12; i > 0; --i) hay += alphabet[random() % 7];
        for (int i = 1 + random() % 2; i > 0; --i) needle += alphabet[random() % 7];
        std::size_t expected = std::string::npos;
        for (std::size_t pos = 0; pos < hay.size(); pos = Sjis::NextCharPos(hay, pos))
            if (hay.compare(pos, needle.size(), needle) == 0) {
                expected = pos;
                break;
            }
        EXPECT_EQ(Sjis::FindChars(hay, needle), expected) << hay << " / " << needle;
    }
}

}  // namespace
