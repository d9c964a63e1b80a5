// Thumbnails of photo files: the Exif thumbnail where it is big enough and turned like the
// photo, else the picture decoded at a reduced scale and shrunk.
#pragma once

#include <filesystem>
#include <string>

#include "imaging/exif_info.h"
#include "imaging/raster.h"

namespace velview {

class TThumbNail {
public:
    // 0: 16-bit bitmap; 1: 24-bit bitmap; 2, 3, 4: JPEG of quality 95, 75, 50.
    int outputMode = 0;
    int targetWidth = 128;
    int targetHeight = 96;
    // The result has exactly the target size instead of keeping the aspect ratio inside it.
    bool exactSize = false;
    bool useExifThumbnails = true;
    // Take the main image's size from its frame header rather than from Exif.
    bool checkTrueSize = true;

    // The thumbnail of a file; false (and an empty result) on any failure.
    bool MakeFromFile(const std::filesystem::path& file);
    // The thumbnail of a picture in memory; `sourceWidth/Height` stand for its full size (the
    // Exif pixel size of an Exif thumbnail, or the size before a scaled decode).
    bool MakeFromRaster(const Raster& picture, int sourceWidth, int sourceHeight, bool fromExif);

    const Raster& Result() const { return result_; }
    // The result as JPEG bytes (JPEG modes), encoded on first request.
    const std::string& ResultJpeg();
    int SourceWidth() const { return sourceWidth_; }
    int SourceHeight() const { return sourceHeight_; }
    bool FromExif() const { return fromExif_; }
    // Why the last call failed.
    const std::string& Error() const { return error_; }

    // The size a picture of w × h takes in the target (the target itself with exactSize).
    void FinalSize(int w, int h, int& outW, int& outH) const;

private:
    bool TryExifThumbnail(const std::filesystem::path& file);
    Raster result_;
    std::string resultJpeg_;
    int sourceWidth_ = 0, sourceHeight_ = 0;
    bool fromExif_ = false;
    std::string error_;
    TExifInfo exif_;  // one reader for every file
};

// The JPEG quality of an output mode (0 for the bitmap modes).
int ThumbnailQuality(int outputMode);

}  // namespace velview
