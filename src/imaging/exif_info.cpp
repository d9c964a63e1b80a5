#include "imaging/exif_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>

#include "common/byte_order.h"
#include "common/date_time.h"

namespace velview {
namespace {

constexpr std::uint16_t kSOI = 0xFFD8;
constexpr std::uint16_t kSOS = 0xFFDA;
constexpr std::uint16_t kAPP1 = 0xFFE1;
// Files whose header segments together exceed this are not walked further.
constexpr std::size_t kMaxHeader = std::size_t(16) << 20;

std::uint16_t U16(std::string_view b, std::size_t at, bool le) {
    const auto b0 = static_cast<unsigned char>(b[at]), b1 = static_cast<unsigned char>(b[at + 1]);
    return static_cast<std::uint16_t>(le ? (b1 << 8) | b0 : (b0 << 8) | b1);
}

std::uint32_t U32(std::string_view b, std::size_t at, bool le) {
    const std::uint32_t hi = U16(b, at, le), lo = U16(b, at + 2, le);
    return le ? (lo << 16) | hi : (hi << 16) | lo;
}

bool IsSof(std::uint16_t code) {
    return code >= 0xFFC0 && code <= 0xFFCF && code != 0xFFC4 && code != 0xFFC8 && code != 0xFFCC;
}

// Reads the start of a JPEG file up to the end of its SOS segment header, walking the
// segments by their lengths. Only the header is ever read, never the compressed data.
std::string ReadHeader(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw EJpegFormat("cannot open the file");
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw EJpegFormat("not a regular file");
    const std::size_t size = static_cast<std::size_t>(st.st_size);
    std::string buf;
    auto ensure = [&](std::size_t upTo) {
        if (upTo > size || upTo > kMaxHeader) throw EJpegFormat("Invalid Marker format.");
        if (upTo <= buf.size()) return;
        // Read ahead generously: most headers fit in the first read.
        const std::size_t want = std::min(size, std::max(upTo, buf.size() + 65536));
        const std::size_t have = buf.size();
        buf.resize(want);
        std::size_t got = have;
        while (got < want) {
            const ssize_t n = ::pread(fd, buf.data() + got, want - got, static_cast<off_t>(got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        buf.resize(got);
        if (got < upTo) throw EJpegFormat("Invalid Marker format.");
    };
    if (size < 2) throw EJpegFormat("This is not JPEG.");
    ensure(2);
    if (LoadBe16(buf, 0) != kSOI) throw EJpegFormat("This is not JPEG.");
    std::size_t pos = 2;
    for (;;) {
        ensure(pos + 4);
        const std::uint16_t code = LoadBe16(buf, pos);
        const std::uint16_t len = LoadBe16(buf, pos + 2);
        if (len == 0) throw EJpegFormat("Invalid Marker format.");
        const std::size_t next = pos + 2 + len;
        ensure(next);
        pos = next;
        if (code == kSOS) break;
    }
    buf.resize(pos);
    return buf;
}

bool ParseDigits(std::string_view s, int& v) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

std::uint32_t TIfdEntry::IntValue() const {
    if (type == 3) return littleEndian ? (value & 0xFFFF) : (value >> 16);
    return value;
}

const TIfdEntry* TIfdFormat::Find(std::uint16_t tag) const {
    for (const TIfdEntry& e : entries)
        if (e.tag == tag) return &e;
    return nullptr;
}

void TExifInfo::Clear() {
    header_.clear();
    segments_.clear();
    tiffBase_ = tiffSize_ = 0;
    littleEndian_ = false;
    chain_.clear();
    exifIfd_ = {};
    exifIndex_ = -1;
    hasExifIfd_ = false;
    frame_ = {};
    error_.clear();
}

void TExifInfo::LoadFromFile(const std::filesystem::path& file) {
    Clear();
    try {
        header_ = ReadHeader(file);
        Parse();
    } catch (const std::exception& e) {
        const std::string why = e.what();
        Clear();
        error_ = why;
    }
}

void TExifInfo::LoadFromBytes(std::string bytes) {
    Clear();
    try {
        header_ = std::move(bytes);
        Parse();
    } catch (const std::exception& e) {
        const std::string why = e.what();
        Clear();
        error_ = why;
    }
}

TIfdFormat TExifInfo::ReadIfd(std::size_t base, std::uint32_t offset, std::size_t limit, bool le) const {
    // Every count is bounded by the bytes actually held, never trusted as a size.
    const std::size_t at = base + offset;
    if (offset > limit || at + 2 > limit) throw ETiffFormat("Invalid TIFF format.");
    const std::uint16_t n = U16(header_, at, le);
    if (at + 2 + std::size_t(n) * 12 + 4 > limit) throw ETiffFormat("Invalid TIFF format.");
    TIfdFormat ifd;
    ifd.entries.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t e = at + 2 + i * 12;
        ifd.entries.push_back({U16(header_, e, le), U16(header_, e + 2, le), U32(header_, e + 4, le),
                               U32(header_, e + 8, le), le});
    }
    ifd.next = U32(header_, at + 2 + std::size_t(n) * 12, le);
    return ifd;
}

void TExifInfo::ParseTiff(std::size_t base, std::size_t size) {
    if (size != 0 && size < 6) throw ETiffFormat("Invalid TIFF format.");
    const std::size_t limit = header_.size();
    if (base + 8 > limit) throw ETiffFormat("Invalid TIFF format.");
    const bool le = header_.compare(base, 2, "MM") != 0;
    std::vector<TIfdFormat> chain;
    std::uint32_t offset = U32(header_, base + 4, le);
    while (offset != 0) {
        if (size != 0 && (offset < 8 || offset > size - 6)) throw ETiffFormat("Invalid TIFF format.");
        TIfdFormat ifd = ReadIfd(base, offset, limit, le);
        // A next-IFD offset met before means the chain loops.
        for (const TIfdFormat& prev : chain)
            if (prev.next == ifd.next) throw ETiffFormat("Invalid TIFF format.");
        offset = ifd.next;
        chain.push_back(std::move(ifd));
    }
    // Only the first Exif block is used; later ones are parsed (a damaged one still makes
    // the file unreadable) but not kept.
    if (exifIndex_ >= 0) return;
    tiffBase_ = base;
    tiffSize_ = size;
    littleEndian_ = le;
    chain_ = std::move(chain);
    exifIndex_ = 0;
}

void TExifInfo::Parse() {
    const std::string_view h = header_;
    if (h.size() < 2 || LoadBe16(h, 0) != kSOI) throw EJpegFormat("This is not JPEG.");
    std::size_t pos = 2;
    for (;;) {
        if (pos + 4 > h.size()) throw EJpegFormat("Invalid Marker format.");
        const std::uint16_t code = LoadBe16(h, pos);
        const std::uint16_t len = LoadBe16(h, pos + 2);
        if (len == 0) throw EJpegFormat("Invalid Marker format.");
        const std::size_t next = pos + 2 + len;
        if (next > h.size()) throw EJpegFormat("Invalid Marker format.");
        segments_.push_back(code);
        const std::size_t content = pos + 4;
        const std::size_t contentLen = len >= 2 ? len - 2u : 0u;
        if (code == kAPP1 && contentLen >= 4 && h.substr(content, 4) == "Exif") {
            // Too short for "Exif\0\0" and a TIFF header: no Exif in this segment.
            if (contentLen >= 6 + 8) ParseTiff(content + 6, static_cast<std::uint16_t>(len - 10));
        } else if (IsSof(code) && contentLen >= 5 && !frame_.ok()) {
            frame_ = {LoadBe16(h, content + 3), LoadBe16(h, content + 1)};
        }
        pos = next;
        if (code == kSOS) break;
    }
    if (exifIndex_ < 0) return;
    if (const TIfdEntry* p = FindMainEntry(exif_tag::ExifIFDPointer)) {
        if (tiffBase_ + p->value <= header_.size()) {
            exifIfd_ = ReadIfd(tiffBase_, p->value, header_.size(), littleEndian_);
            hasExifIfd_ = true;
            exifIndex_ = 1;
        }
    }
}

const TIfdEntry* TExifInfo::FindMainEntry(std::uint16_t tag) const {
    return (exifIndex_ >= 0 && !chain_.empty()) ? chain_[0].Find(tag) : nullptr;
}

const TIfdEntry* TExifInfo::FindExifEntry(std::uint16_t tag) const {
    return hasExifIfd_ ? exifIfd_.Find(tag) : nullptr;
}

std::string TExifInfo::ReadEntryText(const TIfdEntry* e) const {
    if (!e || exifIndex_ < 0) return {};
    const std::size_t at = tiffBase_ + e->value;
    if (e->value > header_.size() || at > header_.size() || e->count > header_.size() - at) return {};
    std::string s = header_.substr(at, e->count);
    const std::size_t nul = s.find('\0');
    if (nul != std::string::npos) s.resize(nul);
    return s;
}

std::string TExifInfo::DateTimeOriginalText() const { return ReadEntryText(FindExifEntry(exif_tag::DateTimeOriginal)); }

double TExifInfo::DateTimeOriginal() const {
    const std::string t = DateTimeOriginalText();
    auto part = [&](std::size_t from, std::size_t n) {
        return from < t.size() ? std::string_view(t).substr(from, n) : std::string_view();
    };
    int y, mo, d, h, mi, s;
    if (!ParseDigits(part(0, 4), y) || !ParseDigits(part(5, 2), mo) || !ParseDigits(part(8, 2), d) ||
        !ParseDigits(part(11, 2), h) || !ParseDigits(part(14, 2), mi) || !ParseDigits(part(17, 2), s))
        return 0;
    const double date = EncodeDate(y, mo, d);
    const double time = EncodeTime(h, mi, s);
    return (date == 0 || time < 0) ? 0 : date + time;
}

int TExifInfo::PixelWidth() const {
    if (const TIfdEntry* e = FindMainEntry(exif_tag::ImageWidth)) return static_cast<int>(e->IntValue());
    if (const TIfdEntry* e = FindExifEntry(exif_tag::PixelXDimension)) return static_cast<int>(e->IntValue());
    return 0;
}

int TExifInfo::PixelHeight() const {
    if (const TIfdEntry* e = FindMainEntry(exif_tag::ImageLength)) return static_cast<int>(e->IntValue());
    if (const TIfdEntry* e = FindExifEntry(exif_tag::PixelYDimension)) return static_cast<int>(e->IntValue());
    return 0;
}

std::string_view TExifInfo::ThumbnailBytes() const {
    if (exifIndex_ < 0 || chain_.size() < 2) return {};
    const TIfdEntry* e = chain_[1].Find(exif_tag::JPEGInterchangeFormat);
    if (!e) return {};
    const std::size_t at = tiffBase_ + e->value;
    // The thumbnail lies inside the Exif block: never read past it.
    const std::size_t end = std::min(header_.size(), tiffBase_ + tiffSize_ + 2);
    if (e->value >= header_.size() || at >= end) return {};
    return std::string_view(header_).substr(at, end - at);
}

JpegFrameSize TExifInfo::ThumbnailSize() const { return ReadJpegFrameSize(ThumbnailBytes()); }

JpegFrameSize ReadJpegFrameSize(std::string_view b) {
    if (b.size() < 4 || LoadBe16(b, 0) != kSOI) return {};
    std::size_t pos = 2;
    while (pos + 4 <= b.size()) {
        const std::uint16_t code = LoadBe16(b, pos);
        if ((code >> 8) != 0xFF) return {};
        const std::uint16_t len = LoadBe16(b, pos + 2);
        if (len < 2) return {};
        if (IsSof(code)) {
            if (pos + 9 > b.size()) return {};
            return {LoadBe16(b, pos + 7), LoadBe16(b, pos + 5)};
        }
        if (code == kSOS) return {};
        pos += 2 + len;
    }
    return {};
}

JpegFrameSize GetJpegSize(const std::filesystem::path& file) {
    try {
        return ReadJpegFrameSize(ReadHeader(file));
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace velview
