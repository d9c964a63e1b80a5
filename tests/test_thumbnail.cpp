#include <gtest/gtest.h>

#include "imaging/jpeg_codec.h"
#include "imaging/thumbnail.h"
#include "jpeg_builder.h"
#include "test_support.h"

namespace velview {
namespace {

using namespace velview::test;
using velview::test::ScratchDir;
using velview::test::WriteBytes;

Raster Picture(int w, int h) {
    Raster r;
    r.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &r.rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 255 / w);
            p[1] = static_cast<std::uint8_t>(y * 255 / h);
            p[2] = 128;
        }
    return r;
}

// A JPEG of w × h with an Exif block naming exifW × exifH and an embedded thumbnail of
// thumbW × thumbH (none when thumbW is 0).
std::string Photo(int w, int h, int exifW, int exifH, int thumbW, int thumbH) {
    const std::string main = EncodeJpeg(Picture(w, h), 80);
    const std::string thumb = thumbW ? EncodeJpeg(Picture(thumbW, thumbH), 80) : "";
    const std::string app1 = ExifApp1(CameraTiff(true, false, "2023:05:17 10:00:00", exifW, exifH, thumb));
    return main.substr(0, 2) + app1 + main.substr(2);
}

TEST(Thumbnail, ExifThumbnailOrFullDecodeByTheRules) {
    ScratchDir dir;
    struct Case {
        const char* what;
        int w, h, exifW, exifH, thumbW, thumbH, targetW, targetH;
        bool fromExif;
        int resultW, resultH;
    } cases[] = {
        {"camera photo: the Exif thumbnail serves", 4000, 3000, 4000, 3000, 160, 120, 120, 90, true, 120, 90},
        {"turned to portrait, landscape thumbnail left: full decode", 3000, 4000, 4000, 3000, 160, 120, 120, 90,
         false, 68, 90},
        {"Exif thumbnail too small: full decode", 640, 480, 640, 480, 80, 60, 160, 120, false, 160, 120},
        {"panorama keeps its shape", 3000, 1000, 3000, 1000, 0, 0, 120, 90, false, 120, 40},
    };
    TThumbNail t;  // one maker for every file
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = dir / "photo.jpg";
        WriteBytes(file, Photo(c.w, c.h, c.exifW, c.exifH, c.thumbW, c.thumbH));
        t.targetWidth = c.targetW;
        t.targetHeight = c.targetH;
        ASSERT_TRUE(t.MakeFromFile(file)) << t.Error();
        EXPECT_EQ(t.FromExif(), c.fromExif);
        EXPECT_EQ(t.Result().width, c.resultW);
        EXPECT_EQ(t.Result().height, c.resultH);
        EXPECT_EQ(t.SourceWidth(), c.fromExif ? c.exifW : c.w);
    }
    // Exact size: the result has the target size whatever the shape.
    t.exactSize = true;
    ASSERT_TRUE(t.MakeFromFile(dir / "photo.jpg"));
    EXPECT_EQ(t.Result().width, 120);
    EXPECT_EQ(t.Result().height, 90);
}

TEST(Thumbnail, ColoursSurviveAndJpegOutputModes) {
    ScratchDir dir;
    Raster red;
    red.Allocate(800, 600);
    for (std::size_t i = 0; i < red.rgb.size(); i += 3) red.rgb[i + 1] = red.rgb[i + 2] = 0;
    WriteBytes(dir / "red.jpg", EncodeJpeg(red, 90));
    TThumbNail t;
    t.outputMode = 4;
    t.targetWidth = 80;
    t.targetHeight = 60;
    ASSERT_TRUE(t.MakeFromFile(dir / "red.jpg"));
    const Raster& r = t.Result();
    ASSERT_EQ(r.width, 80);
    EXPECT_GT(r.rgb[0], 230);
    EXPECT_LT(r.rgb[1], 30);
    const std::string& jpeg = t.ResultJpeg();
    int w = 0, h = 0;
    ASSERT_TRUE(JpegHeaderSize(jpeg, w, h));
    EXPECT_EQ(w, 80);
    EXPECT_EQ(ThumbnailQuality(2), 95);
}

TEST(Thumbnail, BrokenFilesFailWithoutHarm) {
    ScratchDir dir;
    const std::string good = EncodeJpeg(Picture(640, 480), 80);
    // A frame header that claims 60000 × 60000 pixels over a few bytes of data.
    std::string bomb = good;
    const std::size_t sof = bomb.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    bomb[sof + 5] = static_cast<char>(0xEA);
    bomb[sof + 6] = 0x60;
    bomb[sof + 7] = static_cast<char>(0xEA);
    bomb[sof + 8] = 0x60;
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated.jpg", good.substr(0, good.size() / 2)},
        {"bomb.jpg", bomb},
        {"empty.jpg", ""},
        {"notes.txt", "text"},
    };
    TThumbNail t;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir / c.name, c.bytes);
        EXPECT_FALSE(t.MakeFromFile(dir / c.name));
        EXPECT_TRUE(t.Result().Empty());
        EXPECT_FALSE(t.Error().empty());
    }
    EXPECT_FALSE(t.MakeFromFile(dir / "missing.jpg"));
    EXPECT_THROW(DecodeJpeg(bomb, 1), JpegError);
}

TEST(Raster, AreaAveragingKeepsTheMean) {
    Raster stripes;
    stripes.Allocate(4, 2);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            for (int c = 0; c < 3; ++c) stripes.rgb[(static_cast<std::size_t>(y) * 4 + x) * 3 + c] = (x % 2) ? 255 : 0;
    const Raster half = Resize(stripes, 2, 1);
    EXPECT_EQ(half.rgb[0], 128);  // black and white stripes average to grey
    const Raster third = Resize(stripes, 3, 2);
    EXPECT_EQ(third.width, 3);
    const Raster up = Resize(stripes, 8, 4);
    EXPECT_EQ(up.height, 4);
    EXPECT_TRUE(Resize(Raster{}, 2, 2).Empty());
}

}  // namespace
}  // namespace velview
