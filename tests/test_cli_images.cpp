#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/jpeg_codec.h"
#include "jpeg_builder.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunCli;
using test::ScratchDir;
using test::WriteBytes;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

TEST(CliImages, ExifJsonOfTheSamplePhotos) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    auto r = RunCli({"exif", (kSamples / "r5-sjis" / "PHOTO" / "PIC").string(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "P0000001.JPG\",\"has_exif\":true,\"byte_order\":\""));
    EXPECT_TRUE(Has(r.out, "\"thumbnail_width\":160"));
    EXPECT_TRUE(Has(r.out, "P0000005.JPG\",\"has_exif\":false"));
    auto missing = RunCli({"exif", "/nonexistent.jpg"});
    EXPECT_EQ(missing.exitCode, 2);
}

TEST(CliImages, ThumbsWritesOnePerPhoto) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    auto r = RunCli({"thumbs", (kSamples / "ed3").string(), "--size", "80x60", "--out", (dir / "out").string(), "--jobs", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "5 of 5 thumbnails")) << r.out;  // four photos and a drawing
    int w = 0, h = 0;
    ASSERT_TRUE(JpegHeaderSize(ReadBytes(dir / "out" / "PIC" / "P0000001.jpg"), w, h));
    EXPECT_TRUE((w == 80 && h <= 60) || (h == 60 && w <= 80)) << w << "x" << h;
    EXPECT_EQ(RunCli({"thumbs", (kSamples / "ed3").string(), "--size", "0x0", "--out", (dir / "o").string()}).exitCode, 2);
}

TEST(CliImages, SignVerifyAndDuplicates) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    const fs::path photo = kSamples / "r5-sjis" / "PHOTO" / "PIC" / "P0000001.JPG";
    ASSERT_EQ(RunCli({"tamper", "sign", photo.string(), "--out", (dir / "s.jpg").string()}).exitCode, 0);
    std::string altered = ReadBytes(dir / "s.jpg");
    altered[altered.size() - 20] = static_cast<char>(altered[altered.size() - 20] ^ 0x01);
    WriteBytes(dir / "t.jpg", altered);
    auto v = RunCli({"verify", (dir / "s.jpg").string(), (dir / "t.jpg").string(), photo.string(), "--json"});
    EXPECT_EQ(v.exitCode, 1);  // one tampered photo
    EXPECT_TRUE(Has(v.out, "s.jpg\",\"status\":0,"));
    EXPECT_TRUE(Has(v.out, "t.jpg\",\"status\":1,"));
    EXPECT_TRUE(Has(v.out, "P0000001.JPG\",\"status\":4,"));
    EXPECT_EQ(RunCli({"tamper", "sign", (kSamples / "r5-sjis" / "PHOTO" / "PIC" / "P0000005.JPG").string(), "--out",
                      (dir / "u.jpg").string()})
                  .exitCode,
              2);  // no Exif date to sign

    // A copy of a delivery with one photo duplicated.
    fs::copy(kSamples / "r5-clean", dir / "d", fs::copy_options::recursive);
    fs::copy_file(dir / "d" / "PHOTO" / "PIC" / "P0000002.JPG", dir / "d" / "PHOTO" / "PIC" / "P0000004.JPG",
                  fs::copy_options::overwrite_existing);
    auto d = test::RunCliIn(dir, {"duplicates", (dir / "d").string(), "--json"});
    EXPECT_EQ(d.exitCode, 1) << d.err;
    EXPECT_TRUE(Has(d.out, "\"mode\":\"bytes\""));
    EXPECT_TRUE(Has(d.out, "{\"line\":\"1,3\""));
}

}  // namespace
}  // namespace velview
