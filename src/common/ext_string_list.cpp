#include "common/ext_string_list.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

#include "common/byte_order.h"
#include "common/text_encoding.h"

namespace velview {
namespace {

void AppendLe32(std::string& out, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

// Stored bytes are rotated right by two bits; reading rotates them back to the left.
unsigned char RotateRight2(unsigned char b) { return static_cast<unsigned char>((b >> 2) | (b << 6)); }
unsigned char RotateLeft2(unsigned char b) { return static_cast<unsigned char>((b << 2) | (b >> 6)); }

}  // namespace

EncodedFormatError::EncodedFormatError(const std::string& file, std::size_t offset, const std::string& what)
    : IoError(file + ": not a valid settings file: byte offset " + std::to_string(offset) + ": " + what),
      offset_(offset) {}

std::string_view TrimControl(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

bool ParseSettingsInteger(std::string_view text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string_view rest = text.substr(i);
    bool hex = false;
    if (!rest.empty() && rest[0] == '$') {
        hex = true;
        rest.remove_prefix(1);
    } else if (rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        hex = true;
        rest.remove_prefix(2);
    }
    if (rest.empty()) return false;
    if (hex) {
        if (rest.size() > 8) return false;
        std::uint32_t u = 0;
        auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), u, 16);
        if (ec != std::errc() || p != rest.data() + rest.size()) return false;
        // Hexadecimal text names the 32-bit pattern, so "$FFFFFFFF" is -1.
        std::int32_t s = static_cast<std::int32_t>(u);
        value = negative ? static_cast<int>(0u - static_cast<std::uint32_t>(s)) : s;
        return true;
    }
    std::int64_t v = 0;
    auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v, 10);
    if (ec != std::errc() || p != rest.data() + rest.size()) return false;
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

std::vector<std::string> DecodeLineList(std::string_view b, const std::string& file) {
    if (b.size() < 5) throw EncodedFormatError(file, b.size(), "file ends inside the header (5 bytes needed)");
    const bool rotated = b[0] != 0;
    const auto count = static_cast<std::int32_t>(LoadLe32(b, 1));
    if (count < 0) throw EncodedFormatError(file, 1, "negative line count " + std::to_string(count));
    // Each line needs at least its 4-byte length and a terminator, so the count is bounded
    // by the bytes held before anything is reserved.
    std::size_t pos = 5;
    if (static_cast<std::uint64_t>(count) > (b.size() - pos) / 5)
        throw EncodedFormatError(file, 1, "line count " + std::to_string(count) + " exceeds the file size");
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (std::int32_t n = 0; n < count; ++n) {
        if (b.size() - pos < 4)
            throw EncodedFormatError(file, pos, "file ends before the length of line " + std::to_string(n + 1));
        const auto len = static_cast<std::int32_t>(LoadLe32(b, pos));
        if (len < 1)
            throw EncodedFormatError(file, pos, "invalid length " + std::to_string(len) + " of line " +
                                                    std::to_string(n + 1));
        pos += 4;
        if (static_cast<std::size_t>(len) > b.size() - pos)
            throw EncodedFormatError(file, pos - 4, "length " + std::to_string(len) + " of line " +
                                                        std::to_string(n + 1) + " exceeds the bytes left (" +
                                                        std::to_string(b.size() - pos) + ")");
        std::string_view raw = b.substr(pos, static_cast<std::size_t>(len));
        pos += static_cast<std::size_t>(len);
        // The stored terminator is not rotated, so the cut at the first 0 byte is made on the
        // decoded bytes.
        std::string line;
        line.reserve(raw.size());
        for (char c : raw) {
            auto u = static_cast<unsigned char>(c);
            if (rotated) u = RotateLeft2(u);
            if (u == 0) break;
            line += static_cast<char>(u);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string EncodeLineList(const std::vector<std::string>& lines, unsigned char mode) {
    std::size_t total = 5;
    for (const auto& l : lines) total += 5 + l.size();
    std::string out;
    out.reserve(total);
    out += static_cast<char>(mode);
    AppendLe32(out, static_cast<std::int32_t>(lines.size()));
    for (const auto& l : lines) {
        AppendLe32(out, static_cast<std::int32_t>(l.size() + 1));
        for (char c : l) out += mode ? static_cast<char>(RotateRight2(static_cast<unsigned char>(c))) : c;
        out += '\0';
    }
    return out;
}

std::vector<std::string> EncodeLinesCp932(const std::vector<std::string>& lines, const std::string& file) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto enc = text::EncodeCp932(lines[i]);
        if (!enc.ok())
            throw IoError(file + ": line " + std::to_string(i + 1) + ": " +
                          text::DescribeCharAt(lines[i], enc.badOffsets.front()) +
                          " cannot be stored in CP932");
        out.push_back(std::move(enc.bytes));
    }
    return out;
}

std::vector<std::string> DecodeLinesCp932(const std::vector<std::string>& lines,
                                          std::vector<std::string>& problems) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto dec = text::DecodeCp932(lines[i]);
        for (std::size_t off : dec.badOffsets) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "line %zu, byte %zu: 0x%02X is not valid CP932", i + 1, off + 1,
                          static_cast<unsigned char>(lines[i][off]));
            problems.emplace_back(buf);
        }
        out.push_back(std::move(dec.utf8));
    }
    return out;
}

// ---------------------------------------------------------------------------------------

TExtStringList& TExtStringList::operator=(const TExtStringList& other) {
    if (this != &other) {
        lines_ = other.lines_;
        verifyAfterSave = other.verifyAfterSave;
        Changed();
    }
    return *this;
}

void TExtStringList::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    Changed();
}

void TExtStringList::SetLine(int i, std::string line) {
    if (i < 0 || i >= Count()) return;
    lines_[static_cast<std::size_t>(i)] = std::move(line);
    Changed();
}

void TExtStringList::Add(std::string line) {
    lines_.push_back(std::move(line));
    Changed();
}

void TExtStringList::Insert(int i, std::string line) {
    if (i < 0) i = 0;
    if (i > Count()) i = Count();
    lines_.insert(lines_.begin() + i, std::move(line));
    Changed();
}

void TExtStringList::Delete(int i) {
    if (i < 0 || i >= Count()) return;
    lines_.erase(lines_.begin() + i);
    Changed();
}

void TExtStringList::Clear() {
    if (lines_.empty()) return;
    lines_.clear();
    Changed();
}

int TExtStringList::IndexOf(std::string_view line) const {
    for (int i = 0; i < Count(); ++i)
        if (text::EqualsAsciiNoCase(lines_[static_cast<std::size_t>(i)], line)) return i;
    return -1;
}

std::string_view TExtStringList::KeyOf(std::string_view line) {
    std::size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
}

std::string_view TExtStringList::ValueOf(std::string_view line) {
    std::size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

int TExtStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& l = lines_[static_cast<std::size_t>(i)];
        if (l.find('=') != std::string::npos && text::EqualsAsciiNoCase(KeyOf(l), name)) return i;
    }
    return -1;
}

std::string TExtStringList::Text(std::string_view lineEnd) const {
    std::string out;
    for (const auto& l : lines_) {
        out += l;
        out += lineEnd;
    }
    return out;
}

void TExtStringList::SetText(std::string_view text) { SetLines(SplitLines(text)); }

std::string TExtStringList::ReadString(std::string_view name, std::string_view def) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string(def) : std::string(ValueOf(lines_[static_cast<std::size_t>(i)]));
}

bool TExtStringList::ReadBool(std::string_view name) const { return ReadString(name) == "True"; }

bool TExtStringList::ReadBool(std::string_view name, bool def) const {
    std::string v = ReadString(name);
    return v.empty() ? def : v == "True";
}

int TExtStringList::ReadInteger(std::string_view name, int def) const {
    int i = IndexOfName(name);
    if (i < 0) return def;
    int v = 0;
    return ParseSettingsInteger(ValueOf(lines_[static_cast<std::size_t>(i)]), v) ? v : def;
}

double TExtStringList::ReadReal(std::string_view name) const {
    const std::string value = ReadString(name);
    std::string s(TrimControl(value));
    double d = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
    return (ec == std::errc() && p == s.data() + s.size() && !s.empty()) ? d : 0.0;
}

void TExtStringList::ReadInto(std::string_view name, bool& target) const {
    if (IndexOfName(name) >= 0) target = ReadBool(name);
}

void TExtStringList::ReadInto(std::string_view name, int& target) const { target = ReadInteger(name, target); }

bool TExtStringList::ReadInto(std::string_view name, std::string& target) const {
    int i = IndexOfName(name);
    if (i < 0) return false;
    target = std::string(ValueOf(lines_[static_cast<std::size_t>(i)]));
    return true;
}

void TExtStringList::WriteString(std::string_view name, std::string_view value) {
    std::string line = std::string(name) + "=" + std::string(value);
    int i = IndexOfName(name);
    if (i >= 0) {
        if (lines_[static_cast<std::size_t>(i)] == line) return;
        SetLine(i, std::move(line));
    } else {
        Add(std::move(line));
    }
}

void TExtStringList::WriteBool(std::string_view name, bool value) { WriteString(name, value ? "True" : "False"); }

void TExtStringList::WriteInteger(std::string_view name, int value) { WriteString(name, std::to_string(value)); }

void TExtStringList::WriteHex(std::string_view name, unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%8.8x", value);
    WriteString(name, buf);
}

void TExtStringList::WriteReal(std::string_view name, double value) {
    // Fifteen significant digits in the shortest form: what a double holds exactly enough
    // to read back, without the six-digit loss of a bare "%g".
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    WriteString(name, buf);
}

std::vector<std::string> TExtStringList::LoadEncoded(const std::filesystem::path& file) {
    Clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    std::string bytes = ReadRegularFile(file);
    std::vector<std::string> problems;
    SetLines(DecodeLinesCp932(DecodeLineList(bytes, file.string()), problems));
    return problems;
}

void TExtStringList::SaveEncoded(const std::filesystem::path& file, unsigned char mode) {
    const std::string bytes = EncodeLineList(EncodeLinesCp932(lines_, file.string()), mode);
    WriteFileAtomic(file, bytes);
    if (!verifyAfterSave) return;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    while (!TestFile(file)) {
        if (Clock::now() - start > std::chrono::milliseconds(60000))
            throw IoError(file.string() + ": the saved file still does not read back after 60 s");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::error_code ec;
        std::filesystem::remove(file, ec);
        WriteFileAtomic(file, bytes);
    }
}

std::vector<std::string> TExtStringList::LoadPlain(const std::filesystem::path& file) {
    Clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    std::vector<std::string> problems;
    SetLines(DecodeLinesCp932(SplitLines(ReadRegularFile(file)), problems));
    return problems;
}

void TExtStringList::SavePlain(const std::filesystem::path& file) const {
    std::string bytes;
    for (auto& l : EncodeLinesCp932(lines_, file.string())) {
        bytes += l;
        bytes += "\r\n";
    }
    WriteFileAtomic(file, bytes);
}

bool TExtStringList::TestFile(const std::filesystem::path& file) {
    try {
        if (!IsRegularFile(file)) return false;
        DecodeLineList(ReadRegularFile(file), file.string());
        return true;
    } catch (const IoError&) {
        return false;
    }
}

}  // namespace velview
