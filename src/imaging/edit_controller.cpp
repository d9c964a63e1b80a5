#include "imaging/edit_controller.h"

#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "common/file_io.h"
#include "common/text_encoding.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_loader.h"
#include "imaging/svg_photo.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

Raster RotateRaster(const Raster& src, int quarters) {
    quarters = ((quarters % 4) + 4) % 4;
    if (quarters == 0) return src;
    Raster dst;
    const bool swap = quarters % 2 == 1;
    dst.Allocate(swap ? src.height : src.width, swap ? src.width : src.height);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            int nx = x, ny = y;
            if (quarters == 1) { nx = src.height - 1 - y; ny = x; }
            else if (quarters == 2) { nx = src.width - 1 - x; ny = src.height - 1 - y; }
            else { nx = y; ny = src.width - 1 - x; }
            const std::size_t from = (static_cast<std::size_t>(y) * src.width + x) * 3;
            const std::size_t to = (static_cast<std::size_t>(ny) * dst.width + nx) * 3;
            std::copy_n(&src.rgb[from], 3, &dst.rgb[to]);
        }
    return dst;
}

bool IsSvg(const fs::path& p) { return text::EqualsAsciiNoCase(p.extension().string(), ".svg"); }

}  // namespace

std::string RotateJpegLossless(std::string_view jpeg, int quarterTurns) {
    static const int kOps[4] = {TJXOP_NONE, TJXOP_ROT90, TJXOP_ROT180, TJXOP_ROT270};
    tjhandle h = tjInitTransform();
    if (!h) throw JpegError("cannot start the lossless transform");
    tjtransform t{};
    t.op = kOps[((quarterTurns % 4) + 4) % 4];
    // Refuse instead of dropping the partial blocks at the edges.
    t.options = TJXOPT_PERFECT;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int rc = tjTransform(h, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()),
                               1, &out, &outSize, &t, 0);
    std::string result;
    if (rc == 0 && out) result.assign(reinterpret_cast<const char*>(out), outSize);
    const std::string why = rc == 0 ? std::string() : tjGetErrorStr2(h);
    tjFree(out);
    tjDestroy(h);
    if (rc != 0) throw JpegError("lossless rotation failed: " + why);
    return result;
}

std::string RotateJpegReencoded(std::string_view jpeg, int quarterTurns, int quality) {
    return EncodeJpeg(RotateRaster(DecodeJpeg(jpeg), quarterTurns), quality);
}

std::string AdjustJpegLuminance(std::string_view jpeg, double exponent, int quality) {
    Raster r = DecodeJpeg(jpeg);
    std::uint8_t lut[256];
    for (int i = 0; i < 256; ++i) lut[i] = static_cast<std::uint8_t>(std::lround(255.0 * std::pow(i / 255.0, exponent)));
    for (std::size_t i = 0; i < r.rgb.size(); i += 3) {
        const double R = r.rgb[i], G = r.rgb[i + 1], B = r.rgb[i + 2];
        // BT.601 luminance and colour differences, as JPEG stores them.
        const double y = 0.299 * R + 0.587 * G + 0.114 * B;
        const double cb = -0.168736 * R - 0.331264 * G + 0.5 * B;
        const double cr = 0.5 * R - 0.418688 * G - 0.081312 * B;
        const double ny = lut[static_cast<int>(std::clamp(std::lround(y), 0L, 255L))];
        auto clamp8 = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
        r.rgb[i] = clamp8(ny + 1.402 * cr);
        r.rgb[i + 1] = clamp8(ny - 0.344136 * cb - 0.714136 * cr);
        r.rgb[i + 2] = clamp8(ny + 1.772 * cb);
    }
    return EncodeJpeg(r, quality);
}

double TEditControler::GammaExponent(int step) {
    // The step's gamma value (step × 0.5: -2.5 … 1.5) as an exponent of the luminance:
    // negative values brighten, positive ones darken.
    return std::pow(2.0, step * 0.5 * 0.4);
}

TEditControler::TEditControler() : tempA_(MakeTempFileName("Vel", ".jpg")), tempB_(MakeTempFileName("Vel", ".jpg")) {}

TEditControler::~TEditControler() {
    ::unlink(tempA_.c_str());
    ::unlink(tempB_.c_str());
}

void TEditControler::SetSourceFile(const fs::path& file) {
    source_ = file;
    rotation_ = 0;
    brightness_ = 0;
    parts_ = {true, true, true};
    losslessKnown_ = -1;
    Run();
}

void TEditControler::Rotate(bool clockwise) { SetRotation(rotation_ + (clockwise ? 90 : -90)); }

void TEditControler::SetRotation(int angle) {
    rotation_ = (((angle / 90) % 4 + 4) % 4) * 90;
    Run();
}

void TEditControler::SetBrightness(int step) {
    brightness_ = std::clamp(step, -5, 3);
    Run();
}

void TEditControler::SetPartVisible(int index, bool on) {
    if (index < 0 || index > 2) return;
    parts_[static_cast<std::size_t>(index)] = on;
    Run();
}

bool TEditControler::IsPartVisible(int index) const {
    return index < 0 || index > 2 || parts_[static_cast<std::size_t>(index)];
}

void TEditControler::Run() {
    edited_ = false;
    lastLossless_ = false;
    error_.clear();
    if (!IsRegularFile(source_)) return;
    try {
        std::string working;
        bool isJpeg = TGraphicInfo::Instance().IsOneOf(source_, {GraphicKind::Jpeg});
        if (IsSvg(source_)) {
            // The photo of an SVG photo file; the blackboard and annotation parts are vector
            // content that the GUI composes over it.
            auto jpeg = ExtractSvgPhotoJpegFromFile(source_);
            if (!jpeg) throw JpegError("the SVG file holds no photo");
            working = std::move(*jpeg);
            WriteFileAtomic(tempB_, working, 0600);
            result_ = tempB_;
            edited_ = true;
            isJpeg = true;
        }
        if (!isJpeg) return;  // the steps below work on JPEG files only
        if (rotation_ != 0 || brightness_ != 0)
            if (working.empty()) working = ReadRegularFile(source_, std::uint64_t(1) << 30);
        if (rotation_ != 0) {
            if (losslessKnown_ < 0) {
                int w = 0, h = 0;
                losslessKnown_ = JpegHeaderSize(working, w, h) && w % 16 == 0 && h % 16 == 0 ? 1 : 0;
            }
            std::string rotated;
            if (losslessKnown_ == 1) {
                try {
                    rotated = RotateJpegLossless(working, rotation_ / 90);
                    lastLossless_ = true;
                } catch (const JpegError&) {
                }
            }
            if (rotated.empty()) rotated = RotateJpegReencoded(working, rotation_ / 90, 75);
            working = std::move(rotated);
            WriteFileAtomic(tempA_, working, 0600);
            result_ = tempA_;
            edited_ = true;
        }
        if (brightness_ != 0) {
            working = AdjustJpegLuminance(working, GammaExponent(brightness_), 95);
            WriteFileAtomic(tempA_, working, 0600);
            result_ = tempA_;
            edited_ = true;
        }
    } catch (const std::exception& e) {
        // A failed step leaves what the steps before it made.
        error_ = e.what();
    }
}

}  // namespace velview
