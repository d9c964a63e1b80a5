#include "imaging/svg_photo.h"

#include "common/file_io.h"

namespace velview {

std::optional<std::string> DecodeBase64(std::string_view t) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::string out;
    out.reserve(t.size() * 3 / 4);
    std::uint32_t acc = 0;
    int bits = 0;
    for (char c : t) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') break;
        const int v = value(c);
        if (v < 0) return std::nullopt;
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

std::optional<std::string> ExtractSvgPhotoJpeg(std::string_view svg) {
    // The photo is the first image whose data is a base64 JPEG: data:image/jpeg;base64,…
    static constexpr std::string_view kMarkers[] = {"data:image/jpeg;base64,", "data:image/jpg;base64,"};
    std::size_t best = std::string_view::npos, len = 0;
    for (std::string_view m : kMarkers) {
        const std::size_t at = svg.find(m);
        if (at < best) {
            best = at;
            len = m.size();
        }
    }
    if (best == std::string_view::npos) return std::nullopt;
    const std::size_t start = best + len;
    const std::size_t end = svg.find_first_of("\"'<", start);
    if (end == std::string_view::npos) return std::nullopt;
    auto jpeg = DecodeBase64(svg.substr(start, end - start));
    if (!jpeg || jpeg->size() < 4 || static_cast<unsigned char>((*jpeg)[0]) != 0xFF ||
        static_cast<unsigned char>((*jpeg)[1]) != 0xD8)
        return std::nullopt;
    return jpeg;
}

std::optional<std::string> ExtractSvgPhotoJpegFromFile(const std::filesystem::path& file) {
    try {
        return ExtractSvgPhotoJpeg(ReadRegularFile(file, std::uint64_t(512) << 20));
    } catch (const IoError&) {
        return std::nullopt;
    }
}

}  // namespace velview
