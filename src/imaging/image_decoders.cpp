#include "imaging/image_decoders.h"

#include <png.h>
#include <tiffio.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "common/byte_order.h"
#include "common/file_io.h"

namespace velview {
namespace {

void CheckPixels(std::uint64_t w, std::uint64_t h, const DecodeLimits& limits) {
    if (w == 0 || h == 0) throw ImageError("the picture has no pixels");
    if (w > 65535 || h > 65535 || w * h > limits.maxPixels) throw ImageError("the picture is too large to decode");
}

int DepthCode(int bits) { return bits <= 1 ? 1 : bits <= 8 ? 3 : 6; }

// Pixels per metre to the size in 0.01 mm of `pixels` pixels.
int HundredthsOfMm(int pixels, double pixelsPerMetre) {
    return pixelsPerMetre > 0 ? static_cast<int>(std::lround(pixels / pixelsPerMetre * 100000.0)) : 0;
}

}  // namespace

DecodedImage DecodeBmp(std::string_view b, const DecodeLimits& limits) {
    if (b.size() < 54 || b.substr(0, 2) != "BM") throw ImageError("not a BMP file");
    const std::uint32_t dataOffset = LoadLe32(b, 10);
    const std::uint32_t headerSize = LoadLe32(b, 14);
    if (headerSize < 40 || 14 + std::uint64_t(headerSize) > b.size()) throw ImageError("unsupported BMP header");
    const auto width = static_cast<std::int32_t>(LoadLe32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(LoadLe32(b, 22));
    const int bits = LoadLe16(b, 28);
    const std::uint32_t compression = LoadLe32(b, 30);
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0) throw ImageError("BMP without pixels");
    CheckPixels(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), limits);
    if (!(compression == 0 || (compression == 3 && (bits == 16 || bits == 32))))
        throw ImageError("compressed BMP files are not supported");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw ImageError("unsupported BMP colour depth");
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    if (dataOffset > b.size() || stride * height > b.size() - dataOffset) throw ImageError("BMP data ends early");
    // The palette follows the header; masks follow a 40-byte header for bit fields.
    const std::size_t paletteAt = 14 + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);
    std::uint32_t colours = LoadLe32(b, 46);
    if (bits <= 8 && (colours == 0 || colours > (1u << bits))) colours = 1u << bits;
    if (bits <= 8 && paletteAt + colours * 4ull > b.size()) throw ImageError("BMP palette ends early");
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == 3) {
        // The masks follow a 40-byte header, and lie inside the longer headers, at offset 54.
        for (int i = 0; i < 3; ++i) masks[i] = LoadLe32(b, 54 + i * 4);
    }
    auto channel = [](std::uint32_t v, std::uint32_t mask) -> std::uint8_t {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        const std::uint32_t max = mask >> shift;
        return static_cast<std::uint8_t>(((v & mask) >> shift) * 255 / max);
    };
    DecodedImage out;
    out.raster.Allocate(width, static_cast<int>(height));
    out.colourDepth = DepthCode(bits);
    out.mmWidth = HundredthsOfMm(width, static_cast<std::int32_t>(LoadLe32(b, 38)));
    out.mmHeight = HundredthsOfMm(static_cast<int>(height), static_cast<std::int32_t>(LoadLe32(b, 42)));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::string_view row = b.substr(dataOffset + (topDown ? y : height - 1 - y) * stride, stride);
        std::uint8_t* px = &out.raster.rgb[static_cast<std::size_t>(y) * width * 3];
        for (std::int32_t x = 0; x < width; ++x, px += 3) {
            if (bits <= 8) {
                const unsigned byte = static_cast<unsigned char>(row[static_cast<std::size_t>(x) * bits / 8]);
                const unsigned shift = 8 - bits - (static_cast<unsigned>(x) * bits) % 8;
                const unsigned index = (byte >> shift) & ((1u << bits) - 1);
                const std::size_t p = paletteAt + std::min(index, colours - 1) * 4;
                px[0] = static_cast<std::uint8_t>(b[p + 2]);
                px[1] = static_cast<std::uint8_t>(b[p + 1]);
                px[2] = static_cast<std::uint8_t>(b[p]);
            } else if (bits == 24) {
                px[0] = static_cast<std::uint8_t>(row[x * 3 + 2]);
                px[1] = static_cast<std::uint8_t>(row[x * 3 + 1]);
                px[2] = static_cast<std::uint8_t>(row[x * 3]);
            } else {
                const std::uint32_t v = bits == 16 ? LoadLe16(row, static_cast<std::size_t>(x) * 2) : LoadLe32(row, static_cast<std::size_t>(x) * 4);
                for (int c = 0; c < 3; ++c) px[c] = channel(v, masks[c]);
            }
        }
    }
    return out;
}

DecodedImage DecodePng(std::string_view bytes, const DecodeLimits& limits) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw ImageError(std::string("damaged PNG: ") + image.message);
    struct Free {
        png_image* i;
        ~Free() { png_image_free(i); }
    } guard{&image};
    CheckPixels(image.width, image.height, limits);
    const bool paletted = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    image.format = PNG_FORMAT_RGB;
    DecodedImage out;
    out.raster.Allocate(static_cast<int>(image.width), static_cast<int>(image.height));
    // A transparent picture is shown on white.
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, out.raster.rgb.data(), 0, nullptr))
        throw ImageError(std::string("damaged PNG: ") + image.message);
    out.colourDepth = paletted ? 3 : 6;
    return out;
}

DecodedImage DecodeTiff(const std::filesystem::path& file, const DecodeLimits& limits) {
    // libtiff would print its complaints; a damaged file is reported by the result instead.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    if (!IsRegularFile(file)) throw ImageError("not a regular file");
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(file.c_str(), "r"), TIFFClose);
    if (!tif) throw ImageError("damaged TIFF");
    std::uint32_t w = 0, h = 0;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h);
    CheckPixels(w, h, limits);
    std::uint16_t bits = 8, samples = 1;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    std::vector<std::uint32_t> rgba(static_cast<std::size_t>(w) * h);
    if (!TIFFReadRGBAImageOriented(tif.get(), w, h, rgba.data(), ORIENTATION_TOPLEFT, 0))
        throw ImageError("damaged TIFF");
    DecodedImage out;
    out.raster.Allocate(static_cast<int>(w), static_cast<int>(h));
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        const std::uint32_t p = rgba[i];
        const unsigned a = TIFFGetA(p);
        // Transparent parts are shown on white.
        out.raster.rgb[i * 3] = static_cast<std::uint8_t>((TIFFGetR(p) * a + 255 * (255 - a)) / 255);
        out.raster.rgb[i * 3 + 1] = static_cast<std::uint8_t>((TIFFGetG(p) * a + 255 * (255 - a)) / 255);
        out.raster.rgb[i * 3 + 2] = static_cast<std::uint8_t>((TIFFGetB(p) * a + 255 * (255 - a)) / 255);
    }
    out.colourDepth = DepthCode(bits * samples);
    float xres = 0, yres = 0;
    std::uint16_t unit = RESUNIT_INCH;
    if (TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &xres) && TIFFGetField(tif.get(), TIFFTAG_YRESOLUTION, &yres)) {
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_RESOLUTIONUNIT, &unit);
        const double perMetre = unit == RESUNIT_CENTIMETER ? 100.0 : unit == RESUNIT_INCH ? 1000.0 / 25.4 : 0;
        out.mmWidth = HundredthsOfMm(static_cast<int>(w), xres * perMetre);
        out.mmHeight = HundredthsOfMm(static_cast<int>(h), yres * perMetre);
    }
    return out;
}

DecodedImage DecodeImageFile(const std::filesystem::path& file, GraphicKind kind, const DecodeLimits& limits) {
    switch (kind) {
        case GraphicKind::Jpeg: {
            DecodedImage out;
            out.raster = DecodeJpeg(ReadRegularFile(file, std::uint64_t(1) << 30), 1, limits);
            return out;
        }
        case GraphicKind::Bitmap: return DecodeBmp(ReadRegularFile(file, std::uint64_t(1) << 30), limits);
        case GraphicKind::Png: return DecodePng(ReadRegularFile(file, std::uint64_t(1) << 30), limits);
        case GraphicKind::Tiff: return DecodeTiff(file, limits);
        default: throw ImageError("no decoder for this kind of file");
    }
}

}  // namespace velview
