// An in-memory picture: 8-bit RGB pixels, row by row, and the resampling the thumbnails and
// views need.
#pragma once

#include <cstdint>
#include <vector>

namespace velview {

struct Raster {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes

    bool Empty() const { return width <= 0 || height <= 0; }
    void Allocate(int w, int h, std::uint8_t fill = 255);
};

// Resizes to w × h: area averaging when shrinking (each target pixel the mean of the source
// pixels it covers), bilinear when enlarging.
Raster Resize(const Raster& src, int w, int h);

// Reduces the colours to what a 16-bit (5-6-5) bitmap holds.
void QuantizeTo16Bit(Raster& r);

}  // namespace velview
