// Conversion between the in-memory text form (UTF-8) and CP932, the encoding of every
// file this program exchanges with the outside: delivery data, CSV, settings files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velview::text {

// Result of decoding CP932 bytes. Undecodable bytes become U+FFFD in `utf8`; their byte
// offsets in the input are listed in `badOffsets`, so a caller can name the place.
struct Cp932Decoded {
    std::string utf8;
    std::vector<std::size_t> badOffsets;
    bool ok() const { return badOffsets.empty(); }
};

// Result of encoding UTF-8 text. A character CP932 cannot hold (or a byte that is not valid
// UTF-8) becomes "?" in `bytes`; its byte offset in the UTF-8 input is listed in `badOffsets`.
struct Cp932Encoded {
    std::string bytes;
    std::vector<std::size_t> badOffsets;
    bool ok() const { return badOffsets.empty(); }
};

Cp932Decoded DecodeCp932(std::string_view cp932);
Cp932Encoded EncodeCp932(std::string_view utf8);

// The number of bytes the text takes in CP932. A character CP932 cannot hold counts as two
// bytes (it would need a double-byte slot); invalid UTF-8 bytes count one each.
std::size_t Cp932Length(std::string_view utf8);

// The longest leading part of the text whose CP932 length is at most maxBytes; a character
// is never split, so a double-byte character that would straddle the limit is left out.
std::string CutToCp932Bytes(std::string_view utf8, std::size_t maxBytes);

// True for the first byte of a CP932 double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when the text is valid UTF-8; otherwise *badOffset (when given) is the first bad byte.
bool IsValidUtf8(std::string_view s, std::size_t* badOffset = nullptr);

// Reads one code point at `pos`, advancing `pos`. Returns false (and advances one byte)
// when the bytes there are not valid UTF-8.
bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& cp);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

// "U+3042 'あ'" style description of the character at a byte offset, for error messages.
std::string DescribeCharAt(std::string_view utf8, std::size_t offset);

// ASCII-only case folding and comparison, as used for keys and section names.
char AsciiLower(char c);
bool EqualsAsciiNoCase(std::string_view a, std::string_view b);

}  // namespace velview::text
