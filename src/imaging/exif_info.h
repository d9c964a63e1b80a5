// The structure reader of JPEG files: walks the segments up to the start of scan, parses the
// first Exif APP1 (byte order, IFD chain, Exif IFD) and answers the shooting date, the pixel
// size, the embedded thumbnail and the frame size, without decoding the image.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

// Structure errors; contained by TExifInfo::LoadFromFile.
class EJpegFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class ETiffFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TIfdEntry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint32_t value = 0;  // the value/offset field read in the file's byte order
    bool littleEndian = false;
    // SHORT values: the first 16-bit unit of the field in file order; otherwise the field.
    std::uint32_t IntValue() const;
};

struct TIfdFormat {
    std::vector<TIfdEntry> entries;
    std::uint32_t next = 0;
    const TIfdEntry* Find(std::uint16_t tag) const;
};

namespace exif_tag {
constexpr std::uint16_t ImageWidth = 256;
constexpr std::uint16_t ImageLength = 257;
constexpr std::uint16_t JPEGInterchangeFormat = 513;
constexpr std::uint16_t JPEGInterchangeFormatLength = 514;
constexpr std::uint16_t Orientation = 274;
constexpr std::uint16_t ExifIFDPointer = 34665;
constexpr std::uint16_t DateTimeOriginal = 36867;
constexpr std::uint16_t PixelXDimension = 40962;
constexpr std::uint16_t PixelYDimension = 40963;
}  // namespace exif_tag

// A frame size from a JPEG SOF segment.
struct JpegFrameSize {
    int width = 0, height = 0;
    bool ok() const { return width > 0 && height > 0; }
};

class TExifInfo {
public:
    // Parses the file; never raises. A file without usable Exif leaves HasExif false.
    void LoadFromFile(const std::filesystem::path& file);
    // The same on bytes already in memory (the start of a JPEG file at least up to its SOS).
    void LoadFromBytes(std::string bytes);

    bool HasExif() const { return exifIndex_ >= 0; }
    bool LittleEndian() const { return littleEndian_; }
    const TIfdEntry* FindMainEntry(std::uint16_t tag) const;
    const TIfdEntry* FindExifEntry(std::uint16_t tag) const;
    // An entry's text: `count` bytes at its offset, cut at the first NUL; empty on any error.
    std::string ReadEntryText(const TIfdEntry* entry) const;

    std::string DateTimeOriginalText() const;
    // Days since 30 December 1899 with the time as the fraction; 0 when absent or invalid.
    double DateTimeOriginal() const;
    int PixelWidth() const;
    int PixelHeight() const;

    // The embedded thumbnail (IFD1 "JPEGInterchangeFormat") as the bytes from its offset to
    // the end of the Exif block; empty when there is none.
    std::string_view ThumbnailBytes() const;
    // The frame size of the embedded thumbnail, read from its own SOF segment.
    JpegFrameSize ThumbnailSize() const;
    // The frame size of the main image from the file's SOF segment (the true pixel size).
    JpegFrameSize FrameSize() const { return frame_; }
    // The segment codes in file order, for diagnostics.
    const std::vector<std::uint16_t>& Segments() const { return segments_; }
    // Why the file has no Exif (empty when it has, or when it simply carries none).
    const std::string& Error() const { return error_; }

private:
    void Clear();
    void Parse();
    void ParseTiff(std::size_t base, std::size_t size);
    TIfdFormat ReadIfd(std::size_t base, std::uint32_t offset, std::size_t limit, bool le) const;

    std::string header_;  // the file from its start to the end of the SOS segment header
    std::vector<std::uint16_t> segments_;
    // The Exif block in use: its TIFF base in header_ and its stated size.
    std::size_t tiffBase_ = 0;
    std::size_t tiffSize_ = 0;
    bool littleEndian_ = false;
    std::vector<TIfdFormat> chain_;
    TIfdFormat exifIfd_;
    int exifIndex_ = -1;  // -1: no Exif segment; 0: segment without Exif IFD; 1: with
    bool hasExifIfd_ = false;
    JpegFrameSize frame_;
    std::string error_;
};

// The frame size of JPEG bytes (SOF0-SOF15 except DHT, JPG, DAC), walking the segments.
JpegFrameSize ReadJpegFrameSize(std::string_view jpeg);
// The same for a file, reading only its header segments.
JpegFrameSize GetJpegSize(const std::filesystem::path& file);

}  // namespace velview
