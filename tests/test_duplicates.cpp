#include <gtest/gtest.h>

#include "checks/duplicates.h"
#include "checks/pct_file_info.h"
#include "data/pct_info.h"
#include "imaging/jpeg_codec.h"
#include "imaging/svg_photo.h"
#include "jpeg_builder.h"
#include "test_support.h"

namespace velview {
namespace {

using Lines = std::vector<std::string>;
using test::ScratchDir;
using test::WriteBytes;

std::string Jpeg(int seed, int w = 32, int h = 24) {
    Raster r;
    r.Allocate(w, h);
    for (std::size_t i = 0; i < r.rgb.size(); ++i) r.rgb[i] = static_cast<std::uint8_t>(i * seed);
    return EncodeJpeg(r, 80);
}

std::string Base64(const std::string& in) {
    static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned acc = 0;
    int bits = 0;
    for (unsigned char c : in) {
        acc = (acc << 8) | c;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            out += k[(acc >> bits) & 63];
        }
    }
    if (bits > 0) out += k[(acc << (6 - bits)) & 63];
    while (out.size() % 4) out += '=';
    return out;
}

// An SVG photo: blackboard first, then the photo layer, then annotations.
std::string SvgPhoto(const std::string& photo, const std::string& board) {
    auto image = [](const std::string& jpeg) {
        return "<image width=\"32\" height=\"24\" xlink:href=\"data:image/jpeg;base64," + Base64(jpeg) + "\"/>";
    };
    return "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
           "<g id=\"dcp_chalkboard_img\">" + image(board) + "</g><g id=\"dcp_org_img\">" + image(photo) +
           "</g><g id=\"dcp_annotation\"><text>note</text></g></svg>";
}

TEST(Duplicates, GroupsBySizeAndContent) {
    ScratchDir dir;
    const std::string a = Jpeg(3), b = Jpeg(5);
    std::string sameSize = a;  // same size, one byte different
    sameSize[sameSize.size() - 10] ^= 0x01;
    WriteBytes(dir / "P1.JPG", a);
    WriteBytes(dir / "P2.JPG", b);
    WriteBytes(dir / "P3.JPG", a);
    WriteBytes(dir / "P4.JPG", sameSize);
    WriteBytes(dir / "P5.JPG", a);
    WriteBytes(dir / "P6.JPG", b);
    WriteBytes(dir / "P7.svg", SvgPhoto(a, b));  // its photo layer equals P1
    WriteBytes(dir / "P8.SVG", SvgPhoto(a, Jpeg(9)));
    WriteBytes(dir / "notes.txt", a);           // not a photo type: takes no part
    const Lines names = {"P1.JPG", "P2.JPG", "p3.jpg", "P4.JPG", "P5.JPG", "P6.JPG", "P7.svg", "P8.SVG", "notes.txt", ""};
    struct Case {
        const char* what;
        bool multiple;
        Lines lines;
    } cases[] = {
        {"byte comparison", false, {"0,2,4,6,7", "1,5"}},
        {"digest comparison", true, {"0,2,4,6,7", "1,5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TComparisonFileList list;
        EXPECT_EQ(FindDuplicates(dir.path(), names, c.multiple, list), c.lines);
    }
    // A photo missing from this folder (another medium) simply takes no part; digests
    // still find the rest.
    TComparisonFileList list;
    Lines withMissing = names;
    withMissing[0] = "ONOTHER.JPG";
    EXPECT_EQ(FindDuplicates(dir.path(), withMissing, true, list), (Lines{"1,5", "2,4,6,7"}));
    // The list is reused: unchanged files are not read again for their digests.
    const auto before = list.BytesRead();
    FindDuplicates(dir.path(), withMissing, true, list);
    EXPECT_EQ(list.BytesRead(), before);

    TPctInfoList photos;
    photos.Items(7);
    ApplyDuplicateGroups(photos, {"0,2", "1,5"});
    EXPECT_EQ(photos.Items(2).duplicateGroup, 1);
    EXPECT_EQ(photos.Items(5).duplicateGroup, 2);
    EXPECT_EQ(photos.Items(3).duplicateGroup, 0);
}

TEST(SvgPhoto, LayersByTheirGroups) {
    const std::string photo = Jpeg(3), board = Jpeg(7);
    const std::string svg = SvgPhoto(photo, board);
    const SvgLayers layers = ReadSvgLayers(svg);
    ASSERT_TRUE(layers.parsed);
    ASSERT_TRUE(layers.photo);
    EXPECT_EQ(*layers.photo, photo);  // the photo layer, though the blackboard comes first
    EXPECT_EQ(*layers.chalkboard, board);
    EXPECT_FALSE(layers.annotation);  // text only
    EXPECT_EQ(*ExtractSvgPhotoJpeg(svg), photo);
    // Damaged documents are broken files: nothing, never a crash.
    EXPECT_FALSE(ReadSvgLayers(svg.substr(0, svg.size() / 2)).parsed);
    EXPECT_FALSE(ExtractSvgPhotoJpeg("<svg><image xlink:href=\"data:image/jpeg;base64,////\"/></svg>"));
    EXPECT_FALSE(ExtractSvgPhotoJpeg("<!DOCTYPE svg [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><svg>&x;</svg>"));
}

TEST(FileInfo, TextsAsTheViewsShowThem) {
    EXPECT_EQ(PixelText(4000, 3000), "4000 × 3000 （1200万画素）");
    EXPECT_EQ(PixelText(4032, 3024), "4032 × 3024 （約1219万画素）");
    EXPECT_EQ(PixelText(100, 100), "100 × 100 ");  // one unit or less: no count
    EXPECT_EQ(PixelText(0, 10), "");
    EXPECT_EQ(ShootingTimeText(0), "---- ※Exifがありません");

    ScratchDir dir;
    const std::string main = Jpeg(4, 64, 48);
    WriteBytes(dir / "a.JPG",
               main.substr(0, 2) + test::ExifApp1(test::CameraTiff(true, false, "2023:05:17 10:20:30", 64, 48)) + main.substr(2));
    WriteBytes(dir / "b.xyz", "data");
    const TPctFileInfo a = GatherFileInfo(dir / "a.JPG");
    ASSERT_TRUE(a.filled);
    EXPECT_EQ(a.typeName, "JPEG イメージファイル");
    EXPECT_EQ(a.pixelText, "64 × 48 ");
    EXPECT_EQ(ShootingTimeText(a.shootingTime), "2023/05/17 10:20:30");
    EXPECT_TRUE(a.authenticity.notCheckable);
    const TPctFileInfo b = GatherFileInfo(dir / "b.xyz");
    EXPECT_EQ(b.typeName, "XYZファイル");
    EXPECT_EQ(b.sizeText, "4 ﾊﾞｲﾄ");
    EXPECT_FALSE(GatherFileInfo(dir / "missing.JPG").filled);
}

}  // namespace
}  // namespace velview
