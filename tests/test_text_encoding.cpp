#include <gtest/gtest.h>

#include "common/text_encoding.h"

namespace velview::text {
namespace {

struct RoundTrip {
    const char* what;
    const char* utf8;
    const char* cp932;
};

// Bytes checked against glibc's converter by hand; each row covers one class of character.
const RoundTrip kRoundTrips[] = {
    {"ascii, with backslash and tilde kept as such", "a\\b~c", "a\\b~c"},
    {"full-width kana and kanji", "写真タイトル", "\x8e\xca\x90\x5e\x83\x5e\x83\x43\x83\x67\x83\x8b"},
    {"half-width kana", "ｱｲｳ", "\xb1\xb2\xb3"},
    {"NEC row 13 (circled digit, roman numeral)", "①Ⅱ", "\x87\x40\x87\x55"},
    {"IBM extension kanji", "髙", "\xfb\xfc"},
    {"full-width tilde and minus sign", "～－", "\x81\x60\x81\x7c"},
    {"user-defined area", "\xee\x80\x80", "\xf0\x40"},
};

TEST(TextEncoding, RoundTripsEveryCharacterClass) {
    for (const auto& c : kRoundTrips) {
        SCOPED_TRACE(c.what);
        auto enc = EncodeCp932(c.utf8);
        EXPECT_TRUE(enc.ok());
        EXPECT_EQ(enc.bytes, c.cp932);
        auto dec = DecodeCp932(c.cp932);
        EXPECT_TRUE(dec.ok());
        EXPECT_EQ(dec.utf8, c.utf8);
        EXPECT_EQ(Cp932Length(c.utf8), std::string(c.cp932).size());
    }
}

TEST(TextEncoding, DecodesNecSelectedIbmExtensionsAndOneWayMappings) {
    // The NEC-selected copy of an IBM extension decodes to the same kanji as the IBM code.
    EXPECT_EQ(DecodeCp932("\xed\x40").utf8, "纊");
    EXPECT_EQ(EncodeCp932("纊").bytes, "\xfa\x5c");
    // Text from other systems: the wave dash and yen sign still reach a CP932 file.
    EXPECT_EQ(EncodeCp932("\xe3\x80\x9c").bytes, "\x81\x60");  // U+301C
    EXPECT_EQ(EncodeCp932("\xc2\xa5").bytes, "\x5c");          // U+00A5
}

TEST(TextEncoding, ReportsUndecodableBytesByOffset) {
    // 0x80 and 0xA0 are unassigned; 0x81 0x20 is a lead byte with an invalid trail byte, which
    // must not swallow the blank; a lead byte at the very end is incomplete.
    auto dec = DecodeCp932(std::string("a\x80" "b\xa0" "\x81 c\x82", 8));
    EXPECT_EQ(dec.badOffsets, (std::vector<std::size_t>{1, 3, 4, 7}));
    EXPECT_EQ(dec.utf8, "a\xef\xbf\xbd" "b\xef\xbf\xbd\xef\xbf\xbd c\xef\xbf\xbd");
}

TEST(TextEncoding, ReportsUnencodableCharactersByOffset) {
    // An emoji and a Korean syllable have no CP932 code; an invalid UTF-8 byte is a fault too.
    std::string in = "A😀あ한\xff";
    auto enc = EncodeCp932(in);
    EXPECT_EQ(enc.badOffsets, (std::vector<std::size_t>{1, 8, 11}));
    EXPECT_EQ(enc.bytes, "A?\x82\xa0??");
    EXPECT_EQ(DescribeCharAt(in, 1), "U+1F600 '😀'");
    EXPECT_EQ(DescribeCharAt(in, 11), "byte 0xFF (not UTF-8)");
}

TEST(TextEncoding, MeasuresAndCutsWithoutSplittingCharacters) {
    struct Case {
        const char* text;
        std::size_t max;
        const char* cut;
    } cases[] = {
        {"ab写真", 3, "ab"},      // the kanji would straddle the limit
        {"ab写真", 4, "ab写"},
        {"ｱｲｳ写", 4, "ｱｲｳ"},      // half-width kana are one byte each
        {"写真", 0, ""},
        {"abc", 10, "abc"},
        {"a😀b", 3, "a😀"},       // an unencodable character counts two bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CutToCp932Bytes(c.text, c.max), c.cut);
        EXPECT_LE(Cp932Length(CutToCp932Bytes(c.text, c.max)), c.max);
    }
    EXPECT_EQ(Cp932Length("a😀b"), 4u);
}

TEST(TextEncoding, Utf8ValidationAndCaseFolding) {
    std::size_t bad = 99;
    EXPECT_TRUE(IsValidUtf8("写真 ok"));
    EXPECT_FALSE(IsValidUtf8("ab\xc0\xaf", &bad));  // overlong form of "/"
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80", &bad));  // a surrogate
    EXPECT_TRUE(EqualsAsciiNoCase("PhotoDir", "PHOTODIR"));
    EXPECT_FALSE(EqualsAsciiNoCase("Ａ", "ａ"));  // only ASCII letters fold
}

}  // namespace
}  // namespace velview::text
