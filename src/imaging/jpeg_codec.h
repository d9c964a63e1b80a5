// JPEG decoding (also at 1/2, 1/4 and 1/8 scale) and encoding through libjpeg-turbo, with
// limits so that no file can make it allocate without bound.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "imaging/raster.h"

namespace velview {

class JpegError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DecodeLimits {
    // A header claiming more pixels than this is refused before anything is allocated.
    std::uint64_t maxPixels = 150'000'000;
};

// The picture of JPEG bytes at 1/scaleDenom of its size (1, 2, 4 or 8). Throws JpegError for
// a damaged or truncated file and for one beyond the limits.
Raster DecodeJpeg(std::string_view jpeg, int scaleDenom = 1, const DecodeLimits& limits = {});
// The frame size stated by the JPEG header; false when it cannot be read.
bool JpegHeaderSize(std::string_view jpeg, int& width, int& height);
// JPEG bytes of the picture at a quality of 1-100.
std::string EncodeJpeg(const Raster& picture, int quality);

}  // namespace velview
