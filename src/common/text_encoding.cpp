#include "common/text_encoding.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <cstdio>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace velview::text {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// Both directions are tabulated once from glibc's CP932 converter, so the mapping is exactly
// the system's (NEC and IBM extensions, one-way mappings such as U+301C) while conversion of
// long texts stays a table look-up per character with an exact position for every fault.
// The two directions are built separately on first use: readers that only decode never
// pay for the (larger) encoding table.
struct Cp932Tables {
    std::array<char32_t, 256> single{};     // single-byte codes
    std::vector<char32_t> dbl;              // indexed by (lead << 8) | trail
    std::vector<std::uint16_t> encode;      // BMP code point -> CP932 code; 0 = none
};

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts the whole input; returns the output bytes, or false when iconv refuses it.
    bool Convert(const char* in, std::size_t inLen, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[16];
        char* inPtr = const_cast<char*>(in);
        char* outPtr = buf;
        std::size_t outLeft = sizeof buf;
        std::size_t rc = iconv(cd_, &inPtr, &inLen, &outPtr, &outLeft);
        if (rc == static_cast<std::size_t>(-1) || inLen != 0) return false;
        out.assign(buf, sizeof buf - outLeft);
        return true;
    }

private:
    iconv_t cd_;
};

char32_t DecodeUtf8Whole(const std::string& s) {
    std::size_t pos = 0;
    char32_t cp = 0;
    if (!NextCodePoint(s, pos, cp) || pos != s.size()) return kInvalid;
    return cp;
}

std::unique_ptr<Cp932Tables> BuildDecodeTables() {
    auto t = std::make_unique<Cp932Tables>();
    Iconv toUtf8("UTF-8", "CP932");
    std::string out;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        t->single[b] = (!IsCp932LeadByte(static_cast<unsigned char>(b)) && toUtf8.Convert(&in, 1, out))
                           ? DecodeUtf8Whole(out)
                           : kInvalid;
    }
    t->dbl.assign(65536, kInvalid);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            if (toUtf8.Convert(in, 2, out)) t->dbl[(lead << 8) | trail] = DecodeUtf8Whole(out);
        }
    }
    return t;
}

std::vector<std::uint16_t> BuildEncodeTable() {
    Iconv fromUtf8("CP932", "UTF-8");
    std::vector<std::uint16_t> encode(65536, 0);
    std::string utf8, out;
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        utf8.clear();
        AppendUtf8(utf8, cp);
        if (!fromUtf8.Convert(utf8.data(), utf8.size(), out)) continue;
        if (out.size() == 1)
            encode[cp] = static_cast<unsigned char>(out[0]);
        else if (out.size() == 2)
            encode[cp] = static_cast<std::uint16_t>((static_cast<unsigned char>(out[0]) << 8) |
                                                    static_cast<unsigned char>(out[1]));
    }
    return encode;
}

const Cp932Tables& Tables() {
    static std::once_flag once;
    static std::unique_ptr<Cp932Tables> tables;
    std::call_once(once, [] { tables = BuildDecodeTables(); });
    return *tables;
}

const std::vector<std::uint16_t>& EncodeTable() {
    static std::once_flag once;
    static std::vector<std::uint16_t> table;
    std::call_once(once, [] { table = BuildEncodeTable(); });
    return table;
}

// CP932 code of a code point: 0x00XX single byte, 0xLLTT double byte, -1 when none.
int EncodeOne(const std::vector<std::uint16_t>& encode, char32_t cp) {
    if (cp == 0) return 0;
    if (cp >= 0x10000) return -1;
    std::uint16_t code = encode[cp];
    return code == 0 ? -1 : code;
}

}  // namespace

bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& cp) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        cp = b0;
        ++pos;
        return true;
    }
    int len = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else { ++pos; return false; }
    if (pos + len > s.size()) { ++pos; return false; }
    for (int i = 1; i < len; ++i) {
        unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) { ++pos; return false; }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++pos; return false; }
    pos += len;
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {
// Writes the UTF-8 form of a code point at p; returns the byte after it.
char* PutUtf8(char* p, char32_t cp) {
    if (cp < 0x80) {
        *p++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *p++ = static_cast<char>(0xC0 | (cp >> 6));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // CP932 holds only BMP characters.
        *p++ = static_cast<char>(0xE0 | (cp >> 12));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return p;
}
}  // namespace

Cp932Decoded DecodeCp932(std::string_view in) {
    const Cp932Tables& t = Tables();
    Cp932Decoded r;
    const auto* b = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    // First the exact output size, so the buffer is written once and never over-allocated.
    std::size_t size = 0;
    for (std::size_t k = 0; k < n;) {
        if (b[k] < 0x80) {
            ++size;
            ++k;
            continue;
        }
        char32_t cp = kInvalid;
        std::size_t len = 1;
        if (IsCp932LeadByte(b[k])) {
            if (k + 1 < n && (cp = t.dbl[(b[k] << 8) | b[k + 1]]) != kInvalid) len = 2;
        } else {
            cp = t.single[b[k]];
        }
        size += (cp == kInvalid || cp >= 0x800) ? 3 : (cp >= 0x80 ? 2 : 1);
        k += len;
    }
    r.utf8.resize(size);
    char* out = r.utf8.data();
    std::size_t i = 0;
    while (i < n) {
        if (b[i] < 0x80) {  // runs of ASCII are the same in both
            std::size_t j = i;
            while (j < n && b[j] < 0x80) ++j;
            std::memcpy(out, b + i, j - i);
            out += j - i;
            i = j;
            continue;
        }
        char32_t cp = kInvalid;
        std::size_t len = 1;
        if (IsCp932LeadByte(b[i])) {
            if (i + 1 < n) {
                cp = t.dbl[(b[i] << 8) | b[i + 1]];
                if (cp != kInvalid) len = 2;
            }
        } else {
            cp = t.single[b[i]];
        }
        if (cp == kInvalid) {
            r.badOffsets.push_back(i);
            cp = kReplacement;
        }
        out = PutUtf8(out, cp);
        i += len;
    }
    r.utf8.resize(static_cast<std::size_t>(out - r.utf8.data()));
    return r;
}

Cp932Encoded EncodeCp932(std::string_view in) {
    const auto& t = EncodeTable();
    Cp932Encoded r;
    r.bytes.reserve(in.size());
    std::size_t pos = 0;
    while (pos < in.size()) {
        unsigned char b = static_cast<unsigned char>(in[pos]);
        if (b < 0x80) {
            r.bytes += static_cast<char>(b);
            ++pos;
            continue;
        }
        std::size_t start = pos;
        char32_t cp = 0;
        int code = NextCodePoint(in, pos, cp) ? EncodeOne(t, cp) : -1;
        if (code < 0) {
            r.badOffsets.push_back(start);
            r.bytes += '?';
        } else if (code > 0xFF) {
            r.bytes += static_cast<char>(code >> 8);
            r.bytes += static_cast<char>(code & 0xFF);
        } else {
            r.bytes += static_cast<char>(code);
        }
    }
    return r;
}

namespace {
// CP932 length of the character at pos (advancing pos), by the counting rule of Cp932Length.
std::size_t CharLength(const std::vector<std::uint16_t>& t, std::string_view s, std::size_t& pos) {
    if (static_cast<unsigned char>(s[pos]) < 0x80) {
        ++pos;
        return 1;
    }
    char32_t cp = 0;
    if (!NextCodePoint(s, pos, cp)) return 1;
    int code = EncodeOne(t, cp);
    return (code < 0 || code > 0xFF) ? 2 : 1;
}
}  // namespace

std::size_t Cp932Length(std::string_view s) {
    const auto& t = EncodeTable();
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < s.size();) n += CharLength(t, s, pos);
    return n;
}

std::string CutToCp932Bytes(std::string_view s, std::size_t maxBytes) {
    const auto& t = EncodeTable();
    std::size_t n = 0;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t next = pos;
        std::size_t len = CharLength(t, s, next);
        if (n + len > maxBytes) break;
        n += len;
        pos = next;
    }
    return std::string(s.substr(0, pos));
}

bool IsValidUtf8(std::string_view s, std::size_t* badOffset) {
    for (std::size_t pos = 0; pos < s.size();) {
        std::size_t start = pos;
        char32_t cp = 0;
        if (!NextCodePoint(s, pos, cp)) {
            if (badOffset) *badOffset = start;
            return false;
        }
    }
    return true;
}

std::string DescribeCharAt(std::string_view s, std::size_t offset) {
    if (offset >= s.size()) return "end of text";
    std::size_t pos = offset;
    char32_t cp = 0;
    char buf[32];
    if (!NextCodePoint(s, pos, cp)) {
        std::snprintf(buf, sizeof buf, "byte 0x%02X (not UTF-8)", static_cast<unsigned char>(s[offset]));
        return buf;
    }
    std::snprintf(buf, sizeof buf, "U+%04X '", static_cast<unsigned>(cp));
    return std::string(buf) + std::string(s.substr(offset, pos - offset)) + "'";
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace velview::text
