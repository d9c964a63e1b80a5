#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "imaging/exif_info.h"
#include "jpeg_builder.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using namespace velview::test;

TEST(ExifReader, StructureCases) {
    const std::string thumb = "\xFF\xD8" + Sof(160, 120) + "\xFF\xD9";
    Tiff loop = CameraTiff(true, false, "2020:01:02 03:04:05", 10, 10, thumb);
    // IFD1's next offset points back at IFD1 itself.
    const std::uint32_t ifd1 = static_cast<std::uint32_t>(loop.data.size() - thumb.size() - (2 + 24 + 4));
    loop.PatchU32(ifd1 + 2 + 24, ifd1);
    Tiff noWidth = CameraTiff(false, true, "2020:01:02 03:04:05", 4000, 3000);
    Tiff withWidth;
    withWidth.le = true;
    withWidth.Header();
    withWidth.Ifd({{256, 3, 1, 640, true}, {257, 3, 1, 480, true}}, 0);
    Tiff huge;
    huge.le = true;
    huge.Header();
    huge.U16(0xFFFF);  // 65535 entries claimed in a block of a few bytes

    struct Case {
        const char* what;
        std::string jpeg;
        bool exif;
        const char* order;
        int w, h;
        const char* date;
        bool dateValid;
        int thumbW;
    } cases[] = {
        {"MM with SHORT dimensions, no ImageWidth in IFD0",
         Jpeg({ExifApp1(noWidth), Sof(4000, 3000)}), true, "MM", 4000, 3000, "2020:01:02 03:04:05", true, 0},
        {"II with SHORT dimensions", Jpeg({ExifApp1(CameraTiff(true, true, "2020:01:02 03:04:05", 320, 240))}), true,
         "II", 320, 240, "2020:01:02 03:04:05", true, 0},
        {"ImageWidth in IFD0 wins", Jpeg({ExifApp1(withWidth)}), true, "II", 640, 480, "", false, 0},
        {"XMP before Exif: the Exif one is used",
         Jpeg({Segment(0xFFE1, "http://ns.adobe.com/xap/1.0/\0<x/>"), ExifApp1(CameraTiff(true, false, "2021:02:03 04:05:06", 8, 6, thumb))}),
         true, "II", 8, 6, "2021:02:03 04:05:06", true, 160},
        {"two Exif segments: the first counts",
         Jpeg({ExifApp1(CameraTiff(true, false, "2001:01:01 00:00:00", 1, 1)), ExifApp1(CameraTiff(false, false, "2002:02:02 00:00:00", 2, 2))}),
         true, "II", 1, 1, "2001:01:01 00:00:00", true, 0},
        {"30 February", Jpeg({ExifApp1(CameraTiff(true, false, "2020:02:30 10:00:00", 5, 5))}), true, "II", 5, 5,
         "2020:02:30 10:00:00", false, 0},
        {"blank date", Jpeg({ExifApp1(CameraTiff(true, false, "    :  :     :  :  ", 5, 5))}), true, "II", 5, 5,
         "    :  :     :  :  ", false, 0},
        {"IFD loop: no Exif at all", Jpeg({ExifApp1(loop)}), false, "", 0, 0, "", false, 0},
        {"entry count beyond the block", Jpeg({ExifApp1(huge)}), false, "", 0, 0, "", false, 0},
        {"APP1 too short for a TIFF header", Jpeg({Segment(0xFFE1, std::string("Exif\0\0II", 8))}), false, "", 0, 0,
         "", false, 0},
        {"data ends before SOS", std::string("\xFF\xD8", 2) + ExifApp1(noWidth).substr(0, 30), false, "", 0, 0, "",
         false, 0},
        {"not a JPEG", "GIF89a", false, "", 0, 0, "", false, 0},
    };
    TExifInfo exif;  // reused, as the thumbnail maker does
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        exif.LoadFromBytes(c.jpeg);
        EXPECT_EQ(exif.HasExif(), c.exif) << exif.Error();
        EXPECT_EQ(exif.HasExif() ? (exif.LittleEndian() ? "II" : "MM") : "", std::string(c.order));
        EXPECT_EQ(exif.PixelWidth(), c.w);
        EXPECT_EQ(exif.PixelHeight(), c.h);
        EXPECT_EQ(exif.DateTimeOriginalText(), c.date);
        EXPECT_EQ(exif.DateTimeOriginal() > 0, c.dateValid);
        EXPECT_EQ(exif.ThumbnailSize().width, c.thumbW);
    }
    exif.LoadFromBytes(Jpeg({ExifApp1(CameraTiff(true, false, "2020:01:02 03:04:05", 1, 1)), Sof(4000, 3000)}));
    EXPECT_EQ(exif.FrameSize().width, 4000);
    EXPECT_EQ(exif.FrameSize().height, 3000);
    EXPECT_NEAR(exif.DateTimeOriginal(), 43832.0 + (3 * 3600 + 4 * 60 + 5) / 86400.0, 1e-9);
    exif.LoadFromBytes("\xFF\xD8\xFF\xE1\x00\x00");
    EXPECT_EQ(exif.Error(), "Invalid Marker format.");
}

TEST(ExifReader, FilesAreReadOnlyUpToTheirHeader) {
    test::ScratchDir dir;
    std::string big = Jpeg({ExifApp1(CameraTiff(false, false, "2020:01:02 03:04:05", 10, 10)), Sof(10, 10)});
    big += std::string(1 << 20, 'x');  // image data that is never read
    test::WriteBytes(dir / "a.jpg", big);
    TExifInfo exif;
    exif.LoadFromFile(dir / "a.jpg");
    EXPECT_TRUE(exif.HasExif());
    EXPECT_EQ(GetJpegSize(dir / "a.jpg").width, 10);
    exif.LoadFromFile(dir / "missing.jpg");
    EXPECT_FALSE(exif.HasExif());
    exif.LoadFromFile(dir.path());  // a folder
    EXPECT_FALSE(exif.HasExif());
}

// The real files agree with an independent reader, except where our reading rules differ.
TEST(ExifReader, RealFilesAgreeWithTheIndependentTruth) {
    const fs::path root = fs::path(VELVIEW_SOURCE_DIR) / ".." / "shared" / "testdata" / "jpeg-real";
    if (!fs::exists(root / "truth.csv")) GTEST_SKIP() << "no ../shared/testdata";
    // Where our rules legitimately differ from the independent reader:
    const std::map<std::string, std::string> kDiffer = {
        // The thumbnail is uncompressed TIFF strips; only JPEG thumbnails are read.
        {"exif-samples/exif-org/kodak-dc210.jpg", "thumb"},
        {"exif-samples/exif-org/sony-d700.jpg", "thumb"},
        // The Exif IFD pointer is typed ASCII; the value field is used whatever its type.
        {"exif-samples/tests/30-type_error.jpg", "exififd"},
    };
    std::ifstream in(root / "truth.csv");
    std::string line;
    std::getline(in, line);
    std::vector<std::string> cols;
    {
        std::stringstream ss(line);
        for (std::string c; std::getline(ss, c, ',');) cols.push_back(c);
    }
    auto col = [&](const std::string& name) {
        for (std::size_t i = 0; i < cols.size(); ++i)
            if (cols[i] == name) return i;
        return std::size_t(0);
    };
    int files = 0;
    TExifInfo exif;
    while (std::getline(in, line)) {
        std::vector<std::string> v;
        std::string cell;
        bool quoted = false;
        for (char ch : line) {
            if (ch == '"') quoted = !quoted;
            else if (ch == ',' && !quoted) { v.push_back(cell); cell.clear(); }
            else cell += ch;
        }
        v.push_back(cell);
        const std::string path = v[col("path")];
        SCOPED_TRACE(path);
        ++files;
        exif.LoadFromFile(root / path);
        const auto differ = kDiffer.find(path);
        const bool hasExif = v[col("has_exif")] == "1";
        EXPECT_EQ(exif.HasExif(), hasExif) << exif.Error();
        auto num = [&](const char* name) { return v[col(name)].empty() ? 0 : std::stoi(v[col(name)]); };
        const JpegFrameSize frame = exif.FrameSize().ok() ? exif.FrameSize() : GetJpegSize(root / path);
        EXPECT_EQ(frame.width, num("sof_width"));
        EXPECT_EQ(frame.height, num("sof_height"));
        if (!hasExif || !exif.HasExif()) continue;
        EXPECT_EQ(exif.LittleEndian() ? "II" : "MM", v[col("byte_order")]);
        if (differ != kDiffer.end() && differ->second == "exififd") continue;
        EXPECT_EQ(exif.PixelWidth(), num("width_ifd0") ? num("width_ifd0") : num("pixel_x_exif"));
        EXPECT_EQ(exif.PixelHeight(), num("height_ifd0") ? num("height_ifd0") : num("pixel_y_exif"));
        EXPECT_EQ(exif.DateTimeOriginalText(), v[col("datetime_original")]);
        if (differ != kDiffer.end() && differ->second == "thumb") continue;
        EXPECT_EQ(exif.ThumbnailSize().width, num("thumb_width"));
        EXPECT_EQ(exif.ThumbnailSize().height, num("thumb_height"));
    }
    EXPECT_EQ(files, 73);
}

}  // namespace
}  // namespace velview
