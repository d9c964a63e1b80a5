#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <tiffio.h>

#include <cstring>

#include "imaging/graphic_info.h"
#include "imaging/image_decoders.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_loader.h"
#include "test_support.h"

namespace velview {
namespace {

using test::ScratchDir;
using test::WriteBytes;

std::string Le32(std::uint32_t v) { return {char(v & 255), char((v >> 8) & 255), char((v >> 16) & 255), char(v >> 24)}; }
std::string Le16(std::uint16_t v) { return {char(v & 255), char(v >> 8)}; }

// A bottom-up BMP of w × h: 24-bit, or 8-bit with a two-colour palette.
std::string Bmp(int w, int h, int bits) {
    const int stride = ((w * bits + 31) / 32) * 4;
    const int palette = bits == 8 ? 2 * 4 : 0;
    std::string b = "BM" + Le32(54 + palette + stride * h) + Le32(0) + Le32(54 + palette);
    b += Le32(40) + Le32(w) + Le32(h) + Le16(1) + Le16(static_cast<std::uint16_t>(bits)) + Le32(0) + Le32(stride * h) +
         Le32(3780) + Le32(3780) + Le32(bits == 8 ? 2 : 0) + Le32(0);
    if (bits == 8) b += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red, blue (BGR0)
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            if (bits == 24) row += (y == h - 1) ? std::string("\x00\xFF\x00", 3) : std::string("\xFF\x00\x00", 3);
            else row += static_cast<char>(x % 2);
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        b += row;
    }
    return b;
}

std::string Png(int w, int h) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h * 3, 200);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, px.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&image, out.data(), &size, 0, px.data(), 0, nullptr);
    out.resize(size);
    return out;
}

// A TIFF of two pages of different sizes.
void TwoPageTiff(const std::filesystem::path& file) {
    TIFF* t = TIFFOpen(file.c_str(), "w");
    ASSERT_NE(t, nullptr);
    for (int page = 0; page < 2; ++page) {
        const std::uint32_t w = page ? 10 : 30, h = page ? 10 : 20;
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, 100.0f);
        TIFFSetField(t, TIFFTAG_YRESOLUTION, 100.0f);
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        std::vector<std::uint8_t> row(w * 3, static_cast<std::uint8_t>(page ? 0 : 255));
        for (std::uint32_t y = 0; y < h; ++y) TIFFWriteScanline(t, row.data(), y, 0);
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
}

TEST(GraphicInfo, KeysDescriptionsAndFlags) {
    TGraphicInfo& g = TGraphicInfo::Instance();
    struct Case {
        const char* file;
        const char* key;
        const char* description;
        bool picture;
    } cases[] = {
        {"a.JPG", "jpg", "JPEG イメージファイル", true}, {"b.jpeg", "jpeg", "JPEG イメージファイル", true},
        {"c.rk2", "rk0", "略図データファイル", false},     {"d.KZ1", "kz0", "構造図データファイル", false},
        {"e.tif", "tif", "TIFF ファイル", true},           {"f.dwg", "dwg", "CAD 図面ファイル", false},
        {"g.xyz", "xyz", "", false},                        {"noext", "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(TGraphicInfo::Key(c.file), c.key);
        EXPECT_EQ(g.Description(c.file), c.description);
        EXPECT_EQ(g.PictureFlag(c.file), c.picture);
    }
    EXPECT_TRUE(g.IsOneOf("x.Mp4", {GraphicKind::Mp4}));
    EXPECT_EQ(g.FilterText({GraphicKind::Tiff}), "*.TIF;*.TIFF");
}

TEST(PictureLoader, DecodersAndPlaceholders) {
    ScratchDir dir;
    WriteBytes(dir / "zero.jpg", "");
    WriteBytes(dir / "24.bmp", Bmp(5, 3, 24));
    WriteBytes(dir / "8.bmp", Bmp(4, 2, 8));
    WriteBytes(dir / "cut.bmp", Bmp(5, 3, 24).substr(0, 70));
    WriteBytes(dir / "p.png", Png(7, 5));
    TwoPageTiff(dir / "two.tif");
    WriteBytes(dir / "ok.jpg", EncodeJpeg([] { Raster r; r.Allocate(16, 8, 10); return r; }(), 90));
    WriteBytes(dir / "d.pdf", "%PDF-1.4");
    WriteBytes(dir / "drawing.dxf", "0\nSECTION");
    struct Case {
        const char* file;
        int result;
        int w, h;
        PlaceholderKind placeholder;
    } cases[] = {
        {"missing.jpg", 1, 0, 0, PlaceholderKind::Missing},
        {"zero.jpg", 2, 0, 0, PlaceholderKind::Broken},
        {"ok.jpg", 0, 16, 8, PlaceholderKind::None},
        {"24.bmp", 0, 5, 3, PlaceholderKind::None},
        {"8.bmp", 0, 4, 2, PlaceholderKind::None},
        {"cut.bmp", 2, 0, 0, PlaceholderKind::Broken},
        {"p.png", 0, 7, 5, PlaceholderKind::None},
        {"two.tif", 0, 30, 20, PlaceholderKind::None},  // the first page
        {"d.pdf", 2, 0, 0, PlaceholderKind::PdfNotRenderable},
        {"drawing.dxf", 2, 0, 0, PlaceholderKind::NoPreview},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Picture p;
        EXPECT_EQ(LoadPictureFile(dir / c.file, p, true), c.result);
        EXPECT_EQ(p.Width(), c.w);
        EXPECT_EQ(p.Height(), c.h);
        EXPECT_EQ(p.placeholder.kind, c.placeholder);
    }
    Picture p;
    LoadPictureFile(dir / "zero.jpg", p, true);
    EXPECT_EQ(p.placeholder.lines.front(), "この .JPG 形式");
    ASSERT_EQ(LoadPictureFile(dir / "24.bmp", p, false), 0);
    EXPECT_EQ(p.raster.rgb[0], 0);    // the top row is the last one stored: green
    EXPECT_EQ(p.raster.rgb[1], 255);
    EXPECT_EQ(p.raster.rgb[3 * 5 * 3 - 3], 0);  // bottom row: blue
    EXPECT_EQ(p.raster.rgb[3 * 5 * 3 - 1], 255);
    ASSERT_EQ(LoadPictureFile(dir / "8.bmp", p, false), 0);
    EXPECT_EQ(p.raster.rgb[0], 255);  // palette entry 0: red
    EXPECT_EQ(p.raster.rgb[5], 255);  // palette entry 1: blue
    EXPECT_EQ(p.colourDepth, 3);
    ASSERT_EQ(LoadPictureFile(dir / "two.tif", p, false), 0);
    EXPECT_EQ(p.mmWidth, 762);  // 30 pixels at 100 dpi
    EXPECT_EQ(p.raster.rgb[0], 255);
}

TEST(PictureLoader, StatedSizesBeyondTheLimitsAreRefused) {
    std::string huge = Bmp(2, 2, 24);
    huge.replace(18, 4, Le32(60000));
    huge.replace(22, 4, Le32(60000));
    EXPECT_THROW(DecodeBmp(huge), ImageError);
    EXPECT_THROW(DecodeBmp("BM"), ImageError);
    EXPECT_THROW(DecodePng("\x89PNG\r\n\x1a\n"), ImageError);
}

TEST(PictureLoader, PropertiesAndTheirTexts) {
    ScratchDir dir;
    WriteBytes(dir / "24.bmp", Bmp(5, 3, 24));
    TPctProperty props;
    Picture p;
    EXPECT_EQ(LoadPictureWithProperties(dir / "24.bmp", &p, true, props), 0);
    EXPECT_EQ(props.size, 102u);
    EXPECT_EQ(props.sizeText, "102 ﾊﾞｲﾄ");
    EXPECT_EQ(props.formatText, "ビットマップ");
    // 3780 pixels per metre: a physical size, shown in whole millimetres.
    EXPECT_EQ(props.mmWidth, 132);
    EXPECT_EQ(props.mmHeight, 79);
    EXPECT_EQ(props.dimensionText, "1 * 0 mm");
    EXPECT_EQ(props.pixelWidth, 5);
    EXPECT_EQ(props.dateText.size(), 10u);
    EXPECT_EQ(props.timeText.size(), 8u);
    EXPECT_EQ(LoadPictureWithProperties(dir / "24.bmp", &p, true, props, true), 0);
    EXPECT_EQ(p.placeholder.kind, PlaceholderKind::NoPreview);
    EXPECT_EQ(props.size, 102u);  // the file is still described

    EXPECT_EQ(FileSizeText(1023), "1,023 ﾊﾞｲﾄ");
    EXPECT_EQ(FileSizeText(1536), "1.5 KB");
    EXPECT_EQ(FileSizeText(5 * 1024 * 1024), "5.0 MB");
    EXPECT_EQ(FileSizeText(3ull << 30), "3.00 GB");
    EXPECT_EQ(PaperText(4), "A4 縦");
    EXPECT_EQ(PaperText(77), "B5 横");
    EXPECT_EQ(PaperText(30), "フリー");
    EXPECT_EQ(PaperText(-1), "");
}

TEST(PictureLoader, RasterLimitAndTemporaryFiles) {
    int w = 0, h = 0;
    LimitRasterSize(8000, 6000, 1.0, w, h);
    EXPECT_EQ(w, 4096);
    EXPECT_EQ(h, 3072);
    LimitRasterSize(200, 100, 2.0, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 200);
    const auto a = MakeTempFileName("Vel", ".jpg");
    const auto b = MakeTempFileName("Vel", ".jpg");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.extension(), ".jpg");
    EXPECT_EQ(a.filename().string().rfind("Vel", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(a.parent_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);  // a private folder
    EXPECT_EQ(MakeTempFileName().extension(), ".tmp");
}

}  // namespace
}  // namespace velview
