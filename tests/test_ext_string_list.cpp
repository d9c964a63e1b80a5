#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/ext_string_list.h"
#include "test_support.h"

namespace velview {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

std::string Le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    return s;
}

TEST(ExtStringList, TypedReadsFollowTheirFallbacks) {
    TExtStringList l;
    l.SetLines({"Int=42", "Neg=-7", "Hex=$0000001f", "HexAll=$ffffffff", "Huge=4294967296", "Bad=12a",
                "Empty=", "T=True", "t=true", "Real=2.5", "Eq=a=b=c", "Dup=first", "DUP=second"});
    struct IntCase {
        const char* key;
        int orDefault, orZero, orNone;
    } ints[] = {
        {"Int", 42, 42, 42},          {"Neg", -7, -7, -7},
        {"Hex", 31, 31, 31},          {"HexAll", -1, -1, -1},
        {"Huge", -5, 0, kNoInteger},  // decimal beyond 32 bits is no number
        {"Bad", -5, 0, kNoInteger},   {"Empty", -5, 0, kNoInteger},
        {"Missing", -5, 0, kNoInteger},
    };
    for (const auto& c : ints) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(l.ReadInteger(c.key, -5), c.orDefault);
        EXPECT_EQ(l.ReadIntegerOrZero(c.key), c.orZero);
        EXPECT_EQ(l.ReadIntegerOrNone(c.key), c.orNone);
    }
    EXPECT_EQ(kNoInteger, 0x1FFFFFFF);

    // Only the exact text "True" is true; the two-argument form defaults on empty values.
    EXPECT_TRUE(l.ReadBool("T"));
    EXPECT_FALSE(l.ReadBool("Int"));
    EXPECT_TRUE(l.ReadBool("Empty", true));
    EXPECT_TRUE(l.ReadBool("Missing", true));
    EXPECT_FALSE(l.ReadBool("Real", true));

    // Keys ignore case and the first match wins; further "=" belong to the value.
    EXPECT_EQ(l.ReadString("dup"), "first");
    EXPECT_EQ(l.ReadString("eq"), "a=b=c");
    EXPECT_EQ(l.ReadString("missing", "def"), "def");
    EXPECT_DOUBLE_EQ(l.ReadReal("Real"), 2.5);
    EXPECT_DOUBLE_EQ(l.ReadReal("Bad"), 0.0);

    int target = 9;
    l.ReadInto("Missing", target);
    EXPECT_EQ(target, 9);
    l.ReadInto("Int", target);
    EXPECT_EQ(target, 42);
    bool flag = true;
    l.ReadInto("Missing", flag);
    EXPECT_TRUE(flag);
    std::string s = "keep";
    EXPECT_FALSE(l.ReadInto("Missing", s));
    EXPECT_EQ(s, "keep");
    EXPECT_TRUE(l.ReadInto("Empty", s));
    EXPECT_EQ(s, "");
}

TEST(ExtStringList, WritesUseTheStoredForms) {
    TExtStringList l;
    int changes = 0;
    l.OnChange = [&] { ++changes; };
    l.WriteBool("B", false);
    l.WriteInteger("I", -12);
    l.WriteHex("H", 0x1fu);
    l.WriteReal("R", 0.1);
    l.WriteReal("Big", 1234567.5);
    l.WriteString("E", "");
    l.WriteString("i", "replaced");  // replaces the value, keeps the line's place
    EXPECT_EQ(l.Lines(), (std::vector<std::string>{"B=False", "i=replaced", "H=$0000001f", "R=0.1",
                                                   "Big=1234567.5", "E="}));
    EXPECT_EQ(changes, 7);
    l.WriteString("E", "");  // writing the same line again is no change
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(l.ReadInteger("H", 0), 31);
}

TEST(ExtStringList, EncodedFileRoundTripAndRotation) {
    ScratchDir dir;
    TExtStringList l;
    l.SetLines({"A", "名前=写真", ""});
    l.SaveEncoded(dir / "rot.tin", 1);
    l.SaveEncoded(dir / "plain.tin", 0);

    // Rotated right by two bits: "A" (0x41) is stored as 0x50; terminators are not rotated.
    const std::string rot = ReadBytes(dir / "rot.tin");
    EXPECT_EQ(rot.substr(0, 11), std::string("\x01", 1) + Le32(3) + Le32(2) + std::string("\x50\x00", 2));
    EXPECT_EQ(ReadBytes(dir / "plain.tin").substr(5, 6), Le32(2) + std::string("A\0", 2));

    for (const char* f : {"rot.tin", "plain.tin"}) {
        TExtStringList back;
        EXPECT_TRUE(back.LoadEncoded(dir / f).empty());
        EXPECT_EQ(back.Lines(), l.Lines()) << f;
        EXPECT_TRUE(TExtStringList::TestFile(dir / f));
    }
    TExtStringList missing;
    missing.SetLines({"x"});
    EXPECT_TRUE(missing.LoadEncoded(dir / "none.tin").empty());
    EXPECT_EQ(missing.Count(), 0);
    EXPECT_FALSE(TExtStringList::TestFile(dir / "none.tin"));
}

TEST(ExtStringList, EmbeddedZeroCutsTheLineAndBadBytesAreReported) {
    ScratchDir dir;
    // Mode 0, two lines: "ab\0cd" (cut at the 0 byte) and a CP932 line with an unassigned byte.
    WriteBytes(dir / "z.tin", std::string("\x00", 1) + Le32(2) + Le32(6) + std::string("ab\0cd\0", 6) + Le32(4) +
                                  std::string("\x82\xa0\x80\0", 4));
    TExtStringList l;
    auto problems = l.LoadEncoded(dir / "z.tin");
    EXPECT_EQ(l.Lines(), (std::vector<std::string>{"ab", "あ\xef\xbf\xbd"}));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "line 2, byte 3: 0x80 is not valid CP932");
}

TEST(ExtStringList, MalformedEncodedFilesAreErrorsWithTheirOffset) {
    ScratchDir dir;
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t offset;
    } cases[] = {
        {"empty file", "", 0},
        {"short header", std::string("\x01\x01\x00", 3), 3},
        {"negative count", std::string("\x00", 1) + Le32(-1), 1},
        {"count beyond the file (2 GB of lines in a small file)", std::string("\x00", 1) + Le32(0x7fffffff), 1},
        {"length below one", std::string("\x00", 1) + Le32(1) + Le32(0) + "xxxx", 5},
        {"length beyond the bytes left", std::string("\x00", 1) + Le32(1) + Le32(0x7ffffff0) + "abc", 5},
        {"second line cut off", std::string("\x00", 1) + Le32(2) + Le32(2) + std::string("a\0", 2) + "xyzw", 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir / "bad.tin", c.bytes);
        TExtStringList l;
        try {
            l.LoadEncoded(dir / "bad.tin");
            ADD_FAILURE() << "no error";
        } catch (const EncodedFormatError& e) {
            EXPECT_EQ(e.offset(), c.offset) << e.what();
            EXPECT_NE(std::string(e.what()).find("byte offset " + std::to_string(c.offset)), std::string::npos);
        }
        EXPECT_FALSE(TExtStringList::TestFile(dir / "bad.tin"));
    }
}

TEST(ExtStringList, SaveRefusesCharactersCp932CannotHold) {
    ScratchDir dir;
    TExtStringList l;
    l.SetLines({"ok", "Name=😀"});
    l.verifyAfterSave = true;
    try {
        l.SaveEncoded(dir / "e.tin", 1);
        ADD_FAILURE() << "saved";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("line 2: U+1F600"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "e.tin"));
}

TEST(ExtStringList, NonRegularFilesAreRefusedWithoutBlocking) {
    ScratchDir dir;
    const auto fifo = dir / "fifo.tin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TExtStringList l;
    EXPECT_THROW(l.LoadEncoded(fifo), IoError);
    EXPECT_FALSE(TExtStringList::TestFile(fifo));
    EXPECT_THROW(l.LoadEncoded(dir.path()), IoError);  // a folder
}

}  // namespace
}  // namespace velview
