// Decoders of the raster formats besides JPEG: BMP (own code), PNG (libpng), TIFF first page
// (libtiff). Every decoder checks the stated size against the limits before allocating.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "imaging/graphic_info.h"
#include "imaging/jpeg_codec.h"
#include "imaging/raster.h"

namespace velview {

class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DecodedImage {
    Raster raster;
    int mmWidth = 0, mmHeight = 0;  // physical size in 0.01 mm, 0 when the file states none
    int colourDepth = 6;             // 1 monochrome, 3 16/256 colours, 6 true colour
};

DecodedImage DecodeBmp(std::string_view bytes, const DecodeLimits& limits = {});
DecodedImage DecodePng(std::string_view bytes, const DecodeLimits& limits = {});
DecodedImage DecodeTiff(const std::filesystem::path& file, const DecodeLimits& limits = {});

// Decodes a raster file of a registered kind (JPEG, BMP, PNG, TIFF). Throws ImageError or
// JpegError when it cannot; kinds without a decoder throw ImageError.
DecodedImage DecodeImageFile(const std::filesystem::path& file, GraphicKind kind, const DecodeLimits& limits = {});

}  // namespace velview
