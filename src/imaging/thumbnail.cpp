#include "imaging/thumbnail.h"

#include <cmath>

#include "common/file_io.h"
#include "common/text_encoding.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_loader.h"

namespace velview {
namespace {

bool IsJpegFile(const std::filesystem::path& p) {
    const std::string ext = p.extension().string();
    return text::EqualsAsciiNoCase(ext, ".jpg") || text::EqualsAsciiNoCase(ext, ".jpeg") ||
           text::EqualsAsciiNoCase(ext, ".jpe");
}

bool SameOrientation(int w1, int h1, int w2, int h2) {
    const double a = static_cast<double>(w1) / h1, b = static_cast<double>(w2) / h2;
    return (a >= 1 && b >= 1) || (a <= 1 && b <= 1);
}

int RoundHalfAway(double v) { return static_cast<int>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5)); }

}  // namespace

int ThumbnailQuality(int mode) {
    switch (mode) {
        case 2: return 95;
        case 3: return 75;
        case 4: return 50;
        default: return 0;
    }
}

void TThumbNail::FinalSize(int w, int h, int& outW, int& outH) const {
    outW = targetWidth;
    outH = targetHeight;
    if (exactSize || w <= 0 || h <= 0) return;
    if (static_cast<double>(targetWidth) / targetHeight >= static_cast<double>(w) / h)
        outW = std::max(1, RoundHalfAway(static_cast<double>(targetHeight) * w / h));
    else
        outH = std::max(1, RoundHalfAway(static_cast<double>(targetWidth) * h / w));
}

bool TThumbNail::TryExifThumbnail(const std::filesystem::path& file) {
    exif_.LoadFromFile(file);
    if (!exif_.HasExif()) return false;
    const int pw = exif_.PixelWidth(), ph = exif_.PixelHeight();
    if (pw <= 0 || ph <= 0) return false;
    const std::string_view bytes = exif_.ThumbnailBytes();
    if (bytes.empty()) return false;
    Raster thumb;
    try {
        // The thumbnail lies inside the Exif block, so its size is bounded by that block.
        thumb = DecodeJpeg(bytes, 1, DecodeLimits{1'000'000});
    } catch (const JpegError&) {
        return false;
    }
    const bool bigEnough = exactSize ? (thumb.width >= targetWidth && thumb.height >= targetHeight)
                                     : (thumb.width >= targetWidth || thumb.height >= targetHeight);
    if (!bigEnough) return false;
    // A camera thumbnail not turned like the photo (the photo was rotated afterwards).
    int mw = pw, mh = ph;
    if (checkTrueSize) {
        const JpegFrameSize frame = exif_.FrameSize();
        if (frame.ok()) {
            mw = frame.width;
            mh = frame.height;
        }
    }
    if (!SameOrientation(thumb.width, thumb.height, mw, mh)) return false;
    return MakeFromRaster(thumb, pw, ph, true);
}

bool TThumbNail::MakeFromFile(const std::filesystem::path& file) {
    result_ = {};
    resultJpeg_.clear();
    sourceWidth_ = sourceHeight_ = 0;
    fromExif_ = false;
    error_.clear();
    try {
        if (!IsRegularFile(file)) {
            error_ = "not a readable file";
            return false;
        }
        if (!IsJpegFile(file)) {
            // Other registered pictures are loaded whole and shrunk.
            Picture pic;
            if (LoadPictureFile(file, pic, false) != 0) {
                error_ = "no thumbnail for this file (not loadable)";
                return false;
            }
            return MakeFromRaster(pic.raster, pic.Width(), pic.Height(), false);
        }
        if (useExifThumbnails && TryExifThumbnail(file)) return true;
        const std::string bytes = ReadRegularFile(file, std::uint64_t(1) << 30);
        int w = 0, h = 0;
        if (!JpegHeaderSize(bytes, w, h) || w <= 0 || h <= 0) throw JpegError("damaged JPEG header");
        // Decode at the smallest scale that still covers the target: at most three halvings.
        int denom = 1;
        while (denom < 8 && (w / (denom * 2)) >= targetWidth && (h / (denom * 2)) >= targetHeight) denom *= 2;
        return MakeFromRaster(DecodeJpeg(bytes, denom), w, h, false);
    } catch (const std::exception& e) {
        result_ = {};
        error_ = e.what();
        return false;
    }
}

bool TThumbNail::MakeFromRaster(const Raster& picture, int srcW, int srcH, bool fromExif) {
    result_ = {};
    resultJpeg_.clear();
    sourceWidth_ = sourceHeight_ = 0;
    if (picture.Empty()) return false;
    sourceWidth_ = srcW > 0 ? srcW : picture.width;
    sourceHeight_ = srcH > 0 ? srcH : picture.height;
    fromExif_ = fromExif;
    // One area-averaging resize straight to the final size: it keeps every source pixel's
    // share at any reduction, so no intermediate working bitmap is needed.
    int fw = 0, fh = 0;
    FinalSize(sourceWidth_, sourceHeight_, fw, fh);
    result_ = Resize(picture, fw, fh);
    if (outputMode == 0) QuantizeTo16Bit(result_);
    return !result_.Empty();
}

const std::string& TThumbNail::ResultJpeg() {
    if (resultJpeg_.empty() && !result_.Empty())
        resultJpeg_ = EncodeJpeg(result_, ThumbnailQuality(outputMode) ? ThumbnailQuality(outputMode) : 95);
    return resultJpeg_;
}

}  // namespace velview
