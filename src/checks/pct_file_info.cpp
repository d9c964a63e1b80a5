#include "checks/pct_file_info.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "common/date_time.h"
#include "common/file_io.h"
#include "common/text_encoding.h"
#include "imaging/exif_info.h"
#include "imaging/graphic_info.h"
#include "imaging/picture_loader.h"
#include "imaging/svg_photo.h"

namespace velview {
namespace fs = std::filesystem;

std::string PixelText(int w, int h) {
    if (w <= 0 || h <= 0) return {};
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d × %d ", w, h);
    std::string s = buf;
    const long long pixels = static_cast<long long>(w) * h;
    const long long units = (pixels + 5000) / 10000;  // halves away from zero
    if (units > 1) s += std::string("（") + (pixels % 10000 ? "約" : "") + std::to_string(units) + "万画素）";
    return s;
}

std::string DateTimeText(double t) {
    if (t <= 0) return {};
    int y, m, d;
    DecodeDate(t, y, m, d);
    const double frac = t - std::floor(t);
    const long secs = std::lround(frac * 86400.0);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02ld:%02ld:%02ld", y, m, d, secs / 3600, (secs / 60) % 60, secs % 60);
    return buf;
}

std::string ShootingTimeText(double t) { return t > 0 ? DateTimeText(t) : "---- ※Exifがありません"; }

TPctFileInfo GatherFileInfo(const fs::path& file, bool withAuthenticity) {
    TPctFileInfo info;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return info;
    info.sizeText = FileSizeText(static_cast<std::uint64_t>(st.st_size));
    std::tm local{};
    const std::time_t mt = st.st_mtim.tv_sec;
    localtime_r(&mt, &local);
    info.fileTime = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                    (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    const TGraphicInfo& g = TGraphicInfo::Instance();
    info.typeName = g.Description(file);
    if (info.typeName.empty()) {
        std::string ext = file.extension().string();
        if (!ext.empty()) ext.erase(0, 1);
        for (char& c : ext)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        info.typeName = ext + "ファイル";
    }
    // JPEG and SVG photos answer from their headers; other pictures are loaded.
    TExifInfo exif;
    if (g.IsOneOf(file, {GraphicKind::Jpeg})) {
        exif.LoadFromFile(file);
        const JpegFrameSize f = exif.FrameSize().ok() ? exif.FrameSize() : GetJpegSize(file);
        info.width = f.width;
        info.height = f.height;
    } else if (g.IsOneOf(file, {GraphicKind::Svg})) {
        if (auto photo = ExtractSvgPhotoJpegFromFile(file)) {
            exif.LoadFromBytes(*photo);
            const JpegFrameSize f = ReadJpegFrameSize(*photo);
            info.width = f.width;
            info.height = f.height;
        }
    } else if (!g.IsOneOf(file, {GraphicKind::Pdf})) {
        TPctProperty props;
        if (LoadPictureWithProperties(file, nullptr, false, props) == 0) {
            info.width = props.pixelWidth;
            info.height = props.pixelHeight;
        }
    }
    info.shootingTime = exif.DateTimeOriginal();
    info.pixelText = g.IsOneOf(file, {GraphicKind::Pdf}) ? std::string() : PixelText(info.width, info.height);
    if (withAuthenticity) info.authenticity = Authenticity(file);
    info.filled = true;
    return info;
}

}  // namespace velview
