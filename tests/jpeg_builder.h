// Builders of JPEG bytes with chosen Exif structures, shared by the image tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velview::test {

// Builds the bytes of small JPEG headers with chosen Exif structures.
struct Tiff {
    bool le = true;
    std::string data;  // from the TIFF header on

    void U16(std::uint32_t v) {
        const char a = static_cast<char>(v & 0xFF), b = static_cast<char>((v >> 8) & 0xFF);
        data += le ? std::string{a, b} : std::string{b, a};
    }
    void U32(std::uint32_t v) {
        if (le) { U16(v & 0xFFFF); U16(v >> 16); }
        else { U16(v >> 16); U16(v & 0xFFFF); }
    }
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count, value;
        bool shortValue = false;  // SHORT stored left-justified in the value field
    };
    // Writes an IFD at the current end; returns its offset.
    std::uint32_t Ifd(const std::vector<Entry>& entries, std::uint32_t next) {
        const auto at = static_cast<std::uint32_t>(data.size());
        U16(static_cast<std::uint32_t>(entries.size()));
        for (const Entry& e : entries) {
            U16(e.tag);
            U16(e.type);
            U32(e.count);
            if (e.shortValue) {
                U16(e.value);
                U16(0);
            } else {
                U32(e.value);
            }
        }
        U32(next);
        return at;
    }
    void Header() {
        data = le ? "II" : "MM";
        U16(42);
        U32(8);
    }
    void PatchU32(std::size_t at, std::uint32_t v) {
        Tiff t;
        t.le = le;
        t.U32(v);
        data.replace(at, 4, t.data);
    }
};

inline std::string Segment(std::uint16_t code, const std::string& content) {
    const auto len = static_cast<std::uint16_t>(content.size() + 2);
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), static_cast<char>(len >> 8),
                       static_cast<char>(len & 0xFF)} +
           content;
}

inline std::string Sof(int w, int h) {
    std::string c{8, static_cast<char>(h >> 8), static_cast<char>(h & 0xFF), static_cast<char>(w >> 8),
                  static_cast<char>(w & 0xFF), 1, 1, 0x11, 0};
    return Segment(0xFFC0, c);
}

inline std::string Jpeg(const std::vector<std::string>& segments) {
    std::string j = "\xFF\xD8";
    for (const auto& s : segments) j += s;
    j += Segment(0xFFDA, std::string("\x01\x01\x00\x00\x3f\x00", 6));
    j += "compressed\xFF\xD9";
    return j;
}

inline std::string ExifApp1(const Tiff& t) { return Segment(0xFFE1, std::string("Exif\0\0", 6) + t.data); }

// A camera-like Exif block: IFD0 with only the Exif pointer, the Exif IFD with the date and
// pixel dimensions (SHORT or LONG), IFD1 pointing at a thumbnail.
inline Tiff CameraTiff(bool le, bool shortDims, const std::string& date, int w, int h, const std::string& thumb = "") {
    Tiff t;
    t.le = le;
    t.Header();
    const std::uint32_t ifd0 = t.Ifd({{34665, 4, 1, 0}}, 0);
    const std::uint32_t exif = t.Ifd({{36867, 2, 20, 0},
                                      {40962, static_cast<std::uint16_t>(shortDims ? 3 : 4), 1, static_cast<std::uint32_t>(w), shortDims},
                                      {40963, static_cast<std::uint16_t>(shortDims ? 3 : 4), 1, static_cast<std::uint32_t>(h), shortDims}},
                                     0);
    t.PatchU32(ifd0 + 2 + 8, exif);
    const auto dateAt = static_cast<std::uint32_t>(t.data.size());
    t.data += date;
    t.data += '\0';
    t.PatchU32(exif + 2 + 8, dateAt);
    if (!thumb.empty()) {
        const std::uint32_t ifd1 = t.Ifd({{513, 4, 1, 0}, {514, 4, 1, static_cast<std::uint32_t>(thumb.size())}}, 0);
        t.PatchU32(ifd0 + 2 + 12, ifd1);  // IFD0's next-IFD offset
        const auto thumbAt = static_cast<std::uint32_t>(t.data.size());
        t.data += thumb;
        t.PatchU32(ifd1 + 2 + 8, thumbAt);
    }
    return t;
}

}  // namespace velview::test
