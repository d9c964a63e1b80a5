// The library's RGB rasters as Qt images.
#pragma once

#include <QImage>
#include <cstring>

#include "imaging/raster.h"

namespace velview::viewer {

// A copy of the raster (null for an empty one).
inline QImage ToQImage(const Raster& r) {
    if (r.Empty()) return {};
    QImage image(r.width, r.height, QImage::Format_RGB888);
    for (int y = 0; y < r.height; ++y)
        std::memcpy(image.scanLine(y), r.rgb.data() + std::size_t(y) * std::size_t(r.width) * 3, std::size_t(r.width) * 3);
    return image;
}

}  // namespace velview::viewer
