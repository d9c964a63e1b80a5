#include "checks/authenticity.h"

#include <stdexcept>

#include "common/byte_order.h"
#include "common/file_io.h"
#include "common/sha256.h"
#include "common/text_encoding.h"
#include "imaging/exif_info.h"
#include "imaging/svg_photo.h"

namespace velview {
namespace {

constexpr std::uint16_t kSOI = 0xFFD8, kSOS = 0xFFDA, kEOI = 0xFFD9, kAPP5 = 0xFFE5;

bool IsHex64(std::string_view s) {
    if (s.size() != 64) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

std::string Lower(std::string_view s) {
    std::string o(s);
    for (char& c : o) c = text::AsciiLower(c);
    return o;
}

// Calls `each(code, segmentStart, segmentEnd)` for every segment before the first SOS;
// returns the offset of that SOS marker, or npos when the walk breaks off.
template <class F>
std::size_t WalkSegments(std::string_view b, F each) {
    if (b.size() < 4 || LoadBe16(b, 0) != kSOI) return std::string_view::npos;
    std::size_t pos = 2;
    while (pos + 4 <= b.size()) {
        const std::uint16_t code = LoadBe16(b, pos);
        if ((code >> 8) != 0xFF) return std::string_view::npos;
        if (code == kSOS) return pos;
        const std::uint16_t len = LoadBe16(b, pos + 2);
        if (len < 2 || pos + 2 + len > b.size()) return std::string_view::npos;
        each(code, pos, pos + 2 + len);
        pos += 2 + len;
    }
    return std::string_view::npos;
}

std::string DateText(std::string_view jpeg) {
    TExifInfo exif;
    exif.LoadFromBytes(std::string(jpeg));
    return exif.DateTimeOriginalText();
}

std::string BuildSegment(const std::string& imageValue, const std::string& dateValue) {
    std::string data(dcpmi::kDataSize, '\0');
    data.replace(0, dcpmi::kIdentifier.size(), dcpmi::kIdentifier);
    data[dcpmi::kVersionAt] = static_cast<char>(dcpmi::kVersion >> 8);
    data[dcpmi::kVersionAt + 1] = static_cast<char>(dcpmi::kVersion & 0xFF);
    data.replace(dcpmi::kCodeAt, 5, "S-JIS");
    data.replace(dcpmi::kImageValueAt, 64, imageValue);
    data.replace(dcpmi::kDateValueAt, 64, dateValue);
    const auto len = static_cast<std::uint16_t>(data.size() + 2);
    return std::string{static_cast<char>(0xFF), static_cast<char>(0xE5), static_cast<char>(len >> 8),
                       static_cast<char>(len & 0xFF)} +
           data;
}

}  // namespace

DcpmiSegment ReadDcpmi(std::string_view b) {
    DcpmiSegment seg;
    WalkSegments(b, [&](std::uint16_t code, std::size_t start, std::size_t end) {
        if (seg.present || code != kAPP5) return;
        const std::string_view data = b.substr(start + 4, end - start - 4);
        if (data.substr(0, 5) != "DCPMI") return;
        seg.present = true;
        if (data.size() < dcpmi::kDateValueAt + 64) return;  // too short for its values
        seg.version = LoadBe16(data, dcpmi::kVersionAt);
        const std::string_view image = data.substr(dcpmi::kImageValueAt, 64);
        const std::string_view date = data.substr(dcpmi::kDateValueAt, 64);
        if (!IsHex64(image) || !IsHex64(date)) return;
        seg.imageValue = Lower(image);
        seg.dateValue = Lower(date);
        seg.wellFormed = true;
    });
    return seg;
}

std::optional<std::string> ImageCheckValue(std::string_view b) {
    const std::size_t sos = WalkSegments(b, [](std::uint16_t, std::size_t, std::size_t) {});
    if (sos == std::string_view::npos) return std::nullopt;
    // Through the scans: entropy-coded data never holds a marker (0xFF is stuffed), and the
    // segments between progressive scans are skipped by their lengths.
    std::size_t pos = sos;
    while (pos + 4 <= b.size()) {
        const std::uint16_t len = LoadBe16(b, pos + 2);
        if (len < 2 || pos + 2 + len > b.size()) return std::nullopt;
        std::size_t i = pos + 2 + len;
        for (;;) {
            while (i < b.size() && static_cast<unsigned char>(b[i]) != 0xFF) ++i;
            if (i + 1 >= b.size()) return std::nullopt;  // no EOI
            const auto m = static_cast<unsigned char>(b[i + 1]);
            if (m == 0x00 || (m >= 0xD0 && m <= 0xD7) || m == 0xFF) {
                i += (m == 0xFF) ? 1 : 2;
                continue;
            }
            break;
        }
        const std::uint16_t marker = LoadBe16(b, i);
        if (marker == kEOI) {
            Sha256 h;
            h.Update(b.data() + sos, i + 2 - sos);
            return h.FinalHex();
        }
        pos = i;  // another segment (DHT, SOS of the next scan …)
    }
    return std::nullopt;
}

int CheckJpegHash(std::string_view jpeg) {
    const DcpmiSegment seg = ReadDcpmi(jpeg);
    if (!seg.present) return kNotCheckable;
    if (!seg.wellFormed) return kSegmentMalformed;
    const std::string date = DateText(jpeg);
    if (date.empty()) return kNotCheckable;
    const auto image = ImageCheckValue(jpeg);
    if (!image) return kSegmentMalformed;
    if (*image != seg.imageValue) return kImageDiffers;
    const bool dateOk = Sha256Hex(date) == seg.dateValue || Sha256Hex(date + '\0') == seg.dateValue;
    return dateOk ? kHashOk : kDateDiffers;
}

int CheckJpegHashFile(const std::filesystem::path& file) {
    try {
        return CheckJpegHash(ReadRegularFile(file, std::uint64_t(1) << 30));
    } catch (const IoError&) {
        return kNotCheckable;
    }
}

std::string SignJpeg(std::string_view jpeg) {
    const auto image = ImageCheckValue(jpeg);
    if (!image) throw std::runtime_error("the JPEG has no complete image data");
    const std::string date = DateText(jpeg);
    if (date.empty()) throw std::runtime_error("the JPEG has no Exif shooting date");
    // Keep every segment but an old DCPMI one; the new one follows the APP segments.
    std::string head = "\xFF\xD8";
    std::size_t insertAt = std::string::npos;
    const std::size_t sos = WalkSegments(jpeg, [&](std::uint16_t code, std::size_t start, std::size_t end) {
        const bool app = code >= 0xFFE0 && code <= 0xFFEF;
        if (code == kAPP5 && jpeg.substr(start + 4, 5) == "DCPMI") return;
        if (!app && insertAt == std::string::npos) insertAt = head.size();
        head.append(jpeg.substr(start, end - start));
    });
    if (sos == std::string_view::npos) throw std::runtime_error("the JPEG structure is damaged");
    if (insertAt == std::string::npos) insertAt = head.size();
    head.insert(insertAt, BuildSegment(*image, Sha256Hex(date)));
    return head + std::string(jpeg.substr(sos));
}

int JpegStatusOf(int r) {
    switch (r) {
        case 0: return 1;
        case 1: return 0;
        case -1: return 2;
        case -2: return 3;
        default: return 4;
    }
}

int SvgStatusOf(int r) {
    if (r == 0) return 1;
    if (r == 1) return 0;
    if (r == -1) return 2;
    if (r == -2) return 3;
    if (r >= -25 && r <= -21) return 4 + (-21 - r);
    if (r >= -45 && r <= -42) return 9 + (-42 - r);
    switch (r) {
        case -101: return 13;
        case -201: return 14;
        case -203: return 15;
        case -204: return 16;
        case -206: return 17;
        case -301: return 18;
        case -303: return 19;
        case -304: return 20;
        case -305: return 21;
        case -307: return 22;
        default: return 23;
    }
}

AuthenticityStatus JpegStatusRecord(int status) {
    AuthenticityStatus s;
    s.kind = 0;
    s.status = status;
    s.abnormal = status >= 1 && status <= 3;
    s.category = s.abnormal ? 1 : 0;
    s.notCheckable = status == 4;
    return s;
}

AuthenticityStatus SvgStatusRecord(int status, bool verifiable) {
    AuthenticityStatus s;
    s.kind = 1;
    s.status = status;
    s.category = status == 0 ? 0 : status <= 12 ? 1 : status == 13 ? 2 : status <= 22 ? 3 : 4;
    // An SVG photo that cannot be verified here is not checkable; taking it for tampered
    // would flag honest photos.
    s.notCheckable = !verifiable;
    s.abnormal = verifiable && status != 0;
    return s;
}

AuthenticityStatus Authenticity(const std::filesystem::path& file) {
    if (text::EqualsAsciiNoCase(file.extension().string(), ".svg")) {
        // The photo layer's own check values can be verified; the combined SVG value cannot.
        const auto photo = ExtractSvgPhotoJpegFromFile(file);
        const int r = photo ? CheckJpegHash(*photo) : kNotCheckable;
        if (r == kNotCheckable) return SvgStatusRecord(23, false);
        return SvgStatusRecord(SvgStatusOf(r), true);
    }
    return JpegStatusRecord(JpegStatusOf(CheckJpegHashFile(file)));
}

std::string AuthenticityText(const AuthenticityStatus& s) {
    if (s.notCheckable) return "検証できません（改竄検知データなし）";
    if (!s.abnormal) return "改竄なし";
    switch (s.status) {
        case 1: return "画像が改竄されています";
        case 2: return "撮影日時が改竄されています";
        case 3: return "改竄検知データが壊れています";
        default: return "改竄の疑いがあります";
    }
}

}  // namespace velview
