#include <gtest/gtest.h>

#include "checks/authenticity.h"
#include "common/sha256.h"
#include "imaging/jpeg_codec.h"
#include "jpeg_builder.h"
#include "test_support.h"

namespace velview {
namespace {

using namespace velview::test;

std::string CameraJpeg() {
    Raster r;
    r.Allocate(64, 48);
    for (std::size_t i = 0; i < r.rgb.size(); ++i) r.rgb[i] = static_cast<std::uint8_t>(i * 7);
    const std::string main = EncodeJpeg(r, 85);
    return main.substr(0, 2) + ExifApp1(CameraTiff(false, false, "2023:05:17 10:20:30", 64, 48)) + main.substr(2);
}

// Flips one byte of the entropy-coded data without making or breaking a marker.
std::string AlterImageByte(std::string jpeg) {
    const std::size_t sos = jpeg.find("\xFF\xDA");
    for (std::size_t i = sos + 20; i + 1 < jpeg.size(); ++i) {
        const auto b = static_cast<unsigned char>(jpeg[i]);
        if (b < 0xF0 && static_cast<unsigned char>(jpeg[i - 1]) != 0xFF) {
            jpeg[i] = static_cast<char>(b ^ 0x01);
            return jpeg;
        }
    }
    return jpeg;
}

TEST(Sha256, KnownDigests) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(Authenticity, SignedPhotosVerifyAndChangesAreFound) {
    const std::string plain = CameraJpeg();
    const std::string signedJpeg = SignJpeg(plain);
    std::string otherDate = signedJpeg;
    otherDate.replace(otherDate.find("2023:05:17"), 10, "2023:05:18");
    std::string lying = signedJpeg;  // the DCPMI segment claims more bytes than the file has
    const std::size_t app5 = lying.find("\xFF\xE5");
    lying[app5 + 2] = static_cast<char>(0xFF);
    std::string shortSegment = signedJpeg;
    shortSegment[app5 + 2] = 0;
    shortSegment[app5 + 3] = 40;  // too short for the values: the walk then breaks off later
    std::string badHex = signedJpeg;
    badHex[app5 + 4 + dcpmi::kImageValueAt] = 'g';

    struct Case {
        const char* what;
        std::string jpeg;
        int result;
        int status;
    } cases[] = {
        {"signed", signedJpeg, kHashOk, 0},
        {"one image byte changed", AlterImageByte(signedJpeg), kImageDiffers, 1},
        {"shooting date changed", otherDate, kDateDiffers, 2},
        {"not a hex value", badHex, kSegmentMalformed, 3},
        {"an ordinary camera photo", plain, kNotCheckable, 4},
        {"segment longer than the file", lying, kNotCheckable, 4},
        {"truncated file", signedJpeg.substr(0, signedJpeg.size() / 2), kSegmentMalformed, 3},
        {"nothing", "", kNotCheckable, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CheckJpegHash(c.jpeg), c.result);
        EXPECT_EQ(JpegStatusOf(c.result), c.status);
    }
    (void)CheckJpegHash(shortSegment);  // must simply not crash
    // Signing twice replaces the segment; the picture itself is untouched.
    const std::string twice = SignJpeg(signedJpeg);
    EXPECT_EQ(twice, signedJpeg);
    EXPECT_EQ(ImageCheckValue(plain), ImageCheckValue(signedJpeg));
    EXPECT_EQ(DecodeJpeg(signedJpeg).rgb, DecodeJpeg(plain).rgb);
    EXPECT_THROW(SignJpeg(EncodeJpeg([] { Raster r; r.Allocate(8, 8); return r; }(), 80)), std::runtime_error);
}

TEST(Authenticity, StatusRecordsAndSvgPhotos) {
    struct Case {
        int status;
        bool abnormal, notCheckable;
        int category;
    } jpeg[] = {{0, false, false, 0}, {1, true, false, 1}, {3, true, false, 1}, {4, false, true, 0}};
    for (const auto& c : jpeg) {
        const AuthenticityStatus s = JpegStatusRecord(c.status);
        EXPECT_EQ(s.abnormal, c.abnormal) << c.status;
        EXPECT_EQ(s.notCheckable, c.notCheckable) << c.status;
        EXPECT_EQ(s.category, c.category) << c.status;
    }
    struct SvgCase {
        int result, status, category;
    } svg[] = {{1, 0, 0}, {0, 1, 1}, {-23, 6, 1}, {-44, 11, 1}, {-101, 13, 2}, {-307, 22, 3}, {-999, 23, 4}};
    for (const auto& c : svg) {
        EXPECT_EQ(SvgStatusOf(c.result), c.status) << c.result;
        EXPECT_EQ(SvgStatusRecord(c.status, true).category, c.category) << c.result;
    }
    // An SVG photo that cannot be verified is not checkable, not tampered.
    const AuthenticityStatus unverifiable = SvgStatusRecord(23, false);
    EXPECT_FALSE(unverifiable.abnormal);
    EXPECT_TRUE(unverifiable.notCheckable);

    ScratchDir dir;
    WriteBytes(dir / "a.jpg", SignJpeg(CameraJpeg()));
    WriteBytes(dir / "b.JPG", CameraJpeg());
    WriteBytes(dir / "c.svg", "<svg/>");
    EXPECT_EQ(Authenticity(dir / "a.jpg").status, 0);
    EXPECT_TRUE(Authenticity(dir / "b.JPG").notCheckable);
    EXPECT_EQ(Authenticity(dir / "c.svg").kind, 1);
    EXPECT_FALSE(Authenticity(dir / "c.svg").abnormal);
    EXPECT_TRUE(Authenticity(dir / "missing.jpg").notCheckable);
}

}  // namespace
}  // namespace velview
