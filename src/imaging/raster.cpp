#include "imaging/raster.h"

#include <algorithm>
#include <cmath>

namespace velview {

void Raster::Allocate(int w, int h, std::uint8_t fill) {
    width = w;
    height = h;
    rgb.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, fill);
}

namespace {

// One axis of an area-averaging shrink: for every target index the covered source range
// with fractional weights at its ends.
struct Span {
    int first, last;          // source indexes covered
    float firstW, lastW;      // weights of the end pixels (inner ones weigh 1)
    float norm;               // 1 / total weight
};

std::vector<Span> AreaSpans(int src, int dst) {
    std::vector<Span> spans(static_cast<std::size_t>(dst));
    const double scale = static_cast<double>(src) / dst;
    for (int i = 0; i < dst; ++i) {
        const double a = i * scale, b = (i + 1) * scale;
        Span s;
        s.first = static_cast<int>(std::floor(a));
        s.last = std::min(src - 1, static_cast<int>(std::ceil(b)) - 1);
        s.firstW = static_cast<float>(std::min(b, s.first + 1.0) - a);
        s.lastW = s.last > s.first ? static_cast<float>(b - s.last) : s.firstW;
        const double total = s.last > s.first ? double(s.firstW) + s.lastW + (s.last - s.first - 1) : double(s.firstW);
        s.norm = static_cast<float>(1.0 / total);
        spans[static_cast<std::size_t>(i)] = s;
    }
    return spans;
}

Raster Shrink(const Raster& src, int w, int h) {
    const auto xs = AreaSpans(src.width, w);
    const auto ys = AreaSpans(src.height, h);
    // Rows first into a float buffer of the target width, then columns.
    std::vector<float> rows(static_cast<std::size_t>(src.height) * static_cast<std::size_t>(w) * 3);
    for (int y = 0; y < src.height; ++y) {
        const std::uint8_t* in = &src.rgb[static_cast<std::size_t>(y) * src.width * 3];
        float* out = &rows[static_cast<std::size_t>(y) * w * 3];
        for (int x = 0; x < w; ++x) {
            const Span& s = xs[static_cast<std::size_t>(x)];
            for (int c = 0; c < 3; ++c) {
                float sum = static_cast<float>(in[s.first * 3 + c]) * s.firstW;
                for (int k = s.first + 1; k < s.last; ++k) sum += static_cast<float>(in[k * 3 + c]);
                if (s.last > s.first) sum += static_cast<float>(in[s.last * 3 + c]) * s.lastW;
                out[x * 3 + c] = sum * s.norm;
            }
        }
    }
    Raster dst;
    dst.Allocate(w, h);
    for (int y = 0; y < h; ++y) {
        const Span& s = ys[static_cast<std::size_t>(y)];
        std::uint8_t* out = &dst.rgb[static_cast<std::size_t>(y) * w * 3];
        for (int i = 0; i < w * 3; ++i) {
            float sum = rows[static_cast<std::size_t>(s.first) * w * 3 + i] * s.firstW;
            for (int k = s.first + 1; k < s.last; ++k) sum += rows[static_cast<std::size_t>(k) * w * 3 + i];
            if (s.last > s.first) sum += rows[static_cast<std::size_t>(s.last) * w * 3 + i] * s.lastW;
            out[i] = static_cast<std::uint8_t>(std::clamp(sum * s.norm + 0.5f, 0.0f, 255.0f));
        }
    }
    return dst;
}

Raster Bilinear(const Raster& src, int w, int h) {
    Raster dst;
    dst.Allocate(w, h);
    for (int y = 0; y < h; ++y) {
        const double fy = std::max(0.0, (y + 0.5) * src.height / h - 0.5);
        const int y0 = std::min(src.height - 1, static_cast<int>(fy));
        const int y1 = std::min(src.height - 1, y0 + 1);
        const double wy = fy - y0;
        for (int x = 0; x < w; ++x) {
            const double fx = std::max(0.0, (x + 0.5) * src.width / w - 0.5);
            const int x0 = std::min(src.width - 1, static_cast<int>(fx));
            const int x1 = std::min(src.width - 1, x0 + 1);
            const double wx = fx - x0;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int xx, int yy) { return src.rgb[(static_cast<std::size_t>(yy) * src.width + xx) * 3 + c]; };
                const double v = (at(x0, y0) * (1 - wx) + at(x1, y0) * wx) * (1 - wy) +
                                 (at(x0, y1) * (1 - wx) + at(x1, y1) * wx) * wy;
                dst.rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] = static_cast<std::uint8_t>(v + 0.5);
            }
        }
    }
    return dst;
}

}  // namespace

Raster Resize(const Raster& src, int w, int h) {
    if (src.Empty() || w <= 0 || h <= 0) return {};
    if (w == src.width && h == src.height) return src;
    if (w <= src.width && h <= src.height) return Shrink(src, w, h);
    if (w >= src.width && h >= src.height) return Bilinear(src, w, h);
    // Shrinking one way and growing the other: shrink first, then grow.
    Raster mid = Shrink(src, std::min(w, src.width), std::min(h, src.height));
    return Bilinear(mid, w, h);
}

void QuantizeTo16Bit(Raster& r) {
    for (std::size_t i = 0; i < r.rgb.size(); i += 3) {
        r.rgb[i] = static_cast<std::uint8_t>((r.rgb[i] & 0xF8) | (r.rgb[i] >> 5));
        r.rgb[i + 1] = static_cast<std::uint8_t>((r.rgb[i + 1] & 0xFC) | (r.rgb[i + 1] >> 6));
        r.rgb[i + 2] = static_cast<std::uint8_t>((r.rgb[i + 2] & 0xF8) | (r.rgb[i + 2] >> 5));
    }
}

}  // namespace velview
