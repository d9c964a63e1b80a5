#include <gtest/gtest.h>

#include "imaging/edit_controller.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_loader.h"
#include "imaging/svg_photo.h"
#include "imaging/thumbnail.h"
#include "test_support.h"

namespace velview {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

// A picture whose left half is dark and right half light, so a turn is visible.
std::string HalfAndHalf(int w, int h) {
    Raster r;
    r.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                r.rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] = x < w / 2 ? 20 : 230;
    return EncodeJpeg(r, 92);
}

std::string Base64(const std::string& in) {
    static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
        out += {k[v >> 18], k[(v >> 12) & 63], k[(v >> 6) & 63], k[v & 63]};
    }
    if (i + 1 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16;
        out += {k[v >> 18], k[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8;
        out += {k[v >> 18], k[(v >> 12) & 63], k[(v >> 6) & 63], '='};
    }
    return out;
}

TEST(EditPipeline, RotationLosslessWhereTheBlocksAllowIt) {
    ScratchDir dir;
    struct Case {
        int w, h;
        bool lossless;
    } cases[] = {{64, 32, true}, {60, 30, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w);
        const auto file = dir / "p.jpg";
        WriteBytes(file, HalfAndHalf(c.w, c.h));
        const std::string before = ReadBytes(file);
        TEditControler e;
        e.SetSourceFile(file);
        EXPECT_FALSE(e.Edited());
        EXPECT_EQ(e.ResultFile(), file);
        e.Rotate(true);
        ASSERT_TRUE(e.Edited()) << e.Error();
        EXPECT_EQ(e.Rotation(), 90);
        EXPECT_EQ(e.LastRotationLossless(), c.lossless);
        const Raster turned = DecodeJpeg(ReadBytes(e.ResultFile()));
        EXPECT_EQ(turned.width, c.h);
        EXPECT_EQ(turned.height, c.w);
        // Turned clockwise, the dark left half is now on top.
        EXPECT_LT(turned.rgb[(static_cast<std::size_t>(2) * turned.width + turned.width / 2) * 3], 80);
        EXPECT_GT(turned.rgb[(static_cast<std::size_t>(turned.height - 3) * turned.width + turned.width / 2) * 3], 180);
        e.Rotate(false);
        EXPECT_FALSE(e.Edited());
        EXPECT_EQ(ReadBytes(file), before);  // the delivered photo is never touched
    }
}

TEST(EditPipeline, BrightnessStepsMoveTheLuminance) {
    ScratchDir dir;
    WriteBytes(dir / "p.jpg", HalfAndHalf(64, 32));
    TEditControler e;
    e.SetSourceFile(dir / "p.jpg");
    e.SetBrightness(-2);  // caption "+2": brighter
    ASSERT_TRUE(e.Edited());
    const int bright = DecodeJpeg(ReadBytes(e.ResultFile())).rgb[3];
    e.SetBrightness(2);   // caption "-2": darker
    const int dark = DecodeJpeg(ReadBytes(e.ResultFile())).rgb[3];
    EXPECT_GT(bright, 30);
    EXPECT_LT(dark, 15);
    e.SetBrightness(0);
    EXPECT_FALSE(e.Edited());
    EXPECT_LT(TEditControler::GammaExponent(-5), 1.0);
    EXPECT_GT(TEditControler::GammaExponent(3), 1.0);
    e.SetSourceFile(dir / "missing.jpg");
    e.SetBrightness(-1);
    EXPECT_FALSE(e.Edited());
}

TEST(SvgPhoto, TheEmbeddedPhotoIsThePicture) {
    ScratchDir dir;
    const std::string photo = HalfAndHalf(48, 16);
    const std::string svg = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
                            "xmlns:xlink=\"http://www.w3.org/1999/xlink\"><image width=\"48\" height=\"16\" "
                            "xlink:href=\"data:image/jpeg;base64," +
                            Base64(photo).insert(20, "\n  ") + "\"/><rect width=\"10\" height=\"5\"/></svg>";
    WriteBytes(dir / "board.SVG", svg);
    auto jpeg = ExtractSvgPhotoJpeg(svg);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(*jpeg, photo);
    EXPECT_FALSE(ExtractSvgPhotoJpeg("<svg><rect/></svg>"));
    EXPECT_FALSE(DecodeBase64("ab$c"));

    Picture p;
    ASSERT_EQ(LoadPictureFile(dir / "board.SVG", p, true), 0);
    EXPECT_EQ(p.Width(), 48);
    TThumbNail t;
    t.targetWidth = 24;
    t.targetHeight = 24;
    ASSERT_TRUE(t.MakeFromFile(dir / "board.SVG")) << t.Error();
    EXPECT_EQ(t.Result().width, 24);
    EXPECT_EQ(t.Result().height, 8);
    TEditControler e;
    e.SetSourceFile(dir / "board.SVG");
    EXPECT_TRUE(e.Edited());  // an SVG photo is shown through its exported JPEG
    EXPECT_EQ(ReadBytes(e.ResultFile()), photo);

    WriteBytes(dir / "plain.svg", "<svg><rect/></svg>");
    EXPECT_EQ(LoadPictureFile(dir / "plain.svg", p, true), 2);
    EXPECT_EQ(p.placeholder.kind, PlaceholderKind::NoPreview);
}

}  // namespace
}  // namespace velview
