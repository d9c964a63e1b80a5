// The tamper check of electronic small-blackboard photos. A checkable JPEG carries an APP5
// segment "DCPMI" with two SHA-256 check values: one of the image data (SOS through EOI) and
// one of the Exif shooting date. The check answers with the integers of the verification
// library it stands in for, and turns them into the status record the views show.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velview {

// Where the parts of the DCPMI segment lie, from the start of its data (after the length).
namespace dcpmi {
constexpr std::string_view kIdentifier{"DCPMI\0", 6};
constexpr std::size_t kVersionAt = 6;      // big-endian 16-bit
constexpr std::uint16_t kVersion = 0x0110;
constexpr std::size_t kCodeAt = 8;         // "S-JIS"
constexpr std::size_t kImageValueAt = 718; // 64 hexadecimal digits and a NUL
constexpr std::size_t kDateValueAt = 783;  // 64 hexadecimal digits and a NUL
constexpr std::size_t kDataSize = 848;
}  // namespace dcpmi

struct DcpmiSegment {
    bool present = false;     // an APP5 with the identifier was found
    bool wellFormed = false;  // long enough, and both values are 64 hexadecimal digits
    std::uint16_t version = 0;
    std::string imageValue, dateValue;  // lower-cased
};

// The first DCPMI segment before the start of scan (the walk is bounded by the bytes held).
DcpmiSegment ReadDcpmi(std::string_view jpeg);
// SHA-256 of the bytes from the first SOS marker through the EOI marker, both included.
std::optional<std::string> ImageCheckValue(std::string_view jpeg);

// Results as the verification library gives them for a JPEG.
constexpr int kHashOk = 1;
constexpr int kImageDiffers = 0;
constexpr int kDateDiffers = -1;
constexpr int kSegmentMalformed = -2;
constexpr int kNotCheckable = -100;  // no DCPMI segment, no Exif date, not a JPEG

// The check of JPEG bytes. The date value is accepted for the DateTimeOriginal text with or
// without its terminating NUL, since writers differ in that.
int CheckJpegHash(std::string_view jpeg);
int CheckJpegHashFile(const std::filesystem::path& file);

// The bytes of the JPEG with a DCPMI segment for its image and shooting date (an existing one
// is replaced). Throws std::runtime_error when the JPEG has no image data or no Exif date.
std::string SignJpeg(std::string_view jpeg);

// The status record of a photo file.
struct AuthenticityStatus {
    std::uint8_t kind = 0;       // 0 JPEG, 1 SVG
    bool abnormal = false;
    std::uint8_t category = 0;   // JPEG: 1 for statuses 1-3; SVG: 0-4 by status
    bool notCheckable = false;
    int status = 4;              // the status number; 0 = not tampered
};
int JpegStatusOf(int result);
int SvgStatusOf(int result);
AuthenticityStatus JpegStatusRecord(int status);
AuthenticityStatus SvgStatusRecord(int status, bool verifiable);
// Files ending ".svg" (any case) are checked as SVG photos, all others as JPEG.
AuthenticityStatus Authenticity(const std::filesystem::path& file);
// The meaning of a status in words.
std::string AuthenticityText(const AuthenticityStatus& s);

}  // namespace velview
