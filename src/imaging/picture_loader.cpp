#include "imaging/picture_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>

#include "common/date_time.h"
#include "common/file_io.h"
#include "common/runtime_folder.h"
#include "imaging/image_decoders.h"
#include "imaging/render_helper.h"
#include "imaging/svg_photo.h"

namespace velview {
namespace fs = std::filesystem;

Placeholder MakePlaceholder(PlaceholderKind kind, const fs::path& file) {
    Placeholder p;
    p.kind = kind;
    switch (kind) {
        case PlaceholderKind::Missing:
            p.lines = {"画像ファイルが", "存在しません。"};
            break;
        case PlaceholderKind::Broken: {
            std::string ext = file.extension().string();
            for (char& c : ext)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            p.extension = ext;
            char first[64];
            std::snprintf(first, sizeof first, "この %-5s形式", ext.c_str());
            p.lines = {first, "の画像は壊れて", "いるか、ご使用", "の環境では表示", "できません。"};
            break;
        }
        case PlaceholderKind::NoPreview:
            p.lines = {"このファイルは", "プレビュー表示", "できません。"};
            break;
        case PlaceholderKind::PdfNotRenderable:
            p.lines = {"このファイルを開", "くことのできるア", "プリケーションが", "見つかりません。"};
            break;
        case PlaceholderKind::None:
            break;
    }
    return p;
}

int LoadPictureFile(const fs::path& file, Picture& pic, bool placeholderWanted) {
    pic = Picture{};
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        if (placeholderWanted) pic.placeholder = MakePlaceholder(PlaceholderKind::Missing, file);
        return 1;
    }
    const GraphicFormat* format = TGraphicInfo::Instance().ForFile(file);
    pic.picture = format ? format->picture : true;
    PlaceholderKind fallback = PlaceholderKind::Broken;
    try {
        if (!format) throw ImageError("unregistered file type");
        switch (format->kind) {
            case GraphicKind::Jpeg:
            case GraphicKind::Bitmap:
            case GraphicKind::Png:
            case GraphicKind::Tiff: {
                DecodedImage d = DecodeImageFile(file, format->kind);
                pic.raster = std::move(d.raster);
                pic.mmWidth = d.mmWidth;
                pic.mmHeight = d.mmHeight;
                pic.colourDepth = d.colourDepth;
                break;
            }
            case GraphicKind::Svg: {
                // The photo embedded in an SVG photo file is its picture.
                auto jpeg = ExtractSvgPhotoJpegFromFile(file);
                if (!jpeg) {
                    fallback = PlaceholderKind::NoPreview;
                    throw ImageError("the SVG file holds no photo");
                }
                pic.raster = DecodeJpeg(*jpeg);
                break;
            }
            case GraphicKind::Pdf:
                fallback = PlaceholderKind::PdfNotRenderable;
                pic.raster = RenderInHelper(RenditionKind::PdfPage, file);
                break;
            case GraphicKind::Mp4:
                // The still of a video is its first frame.
                pic.raster = RenderInHelper(RenditionKind::VideoFrame, file);
                break;
            default:
                // Formats this build does not render show that they cannot be previewed.
                fallback = PlaceholderKind::NoPreview;
                throw ImageError("no preview for this kind of file");
        }
        if (pic.raster.Empty()) throw ImageError("empty picture");
        return 0;
    } catch (const std::exception&) {
        pic.raster = {};
        if (placeholderWanted) pic.placeholder = MakePlaceholder(fallback, file);
        return 2;
    }
}

std::string FileSizeText(std::uint64_t size) {
    // Numbers with thousands separators, as the file views show them.
    auto grouped = [](double v, int decimals) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
        const std::string digits = buf;
        const std::size_t dot = digits.find('.');
        const std::size_t whole = dot == std::string::npos ? digits.size() : dot;
        std::string out;
        for (std::size_t i = 0; i < whole; ++i) {
            if (i > 0 && (whole - i) % 3 == 0) out += ',';
            out += digits[i];
        }
        return out + digits.substr(whole);
    };
    const double kKiB = 1024.0, kMiB = kKiB * 1024, kGiB = kMiB * 1024;
    const double v = static_cast<double>(size);
    if (v < kKiB) return grouped(v, 0) + " ﾊﾞｲﾄ";
    if (v < kMiB) return grouped(v / kKiB, 1) + " KB";
    if (v < kGiB) return grouped(v / kMiB, 1) + " MB";
    return grouped(v / kGiB, 2) + " GB";
}

std::string PaperText(int code) {
    if (code == -1) return {};
    static const char* kA[] = {"A0", "A1", "A2", "A3", "A4"};
    static const char* kB[] = {"B1", "B2", "B3", "B4", "B5"};
    if (code >= 0 && code <= 4) return std::string(kA[code]) + " 縦";
    if (code >= 9 && code <= 13) return std::string(kB[code - 9]) + " 縦";
    if (code >= 64 && code <= 68) return std::string(kA[code - 64]) + " 横";
    if (code >= 73 && code <= 77) return std::string(kB[code - 73]) + " 横";
    return "フリー";
}

int LoadPictureWithProperties(const fs::path& file, Picture* picture, bool placeholderWanted, TPctProperty& p,
                              bool skipLoading) {
    p = TPctProperty{};
    struct stat st {};
    const bool exists = ::stat(file.c_str(), &st) == 0;
    if (exists) {
        p.size = static_cast<std::uint64_t>(st.st_size);
        std::tm local{};
        const std::time_t t = st.st_mtim.tv_sec;
        localtime_r(&t, &local);
        p.date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                 (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        p.dateText = buf;
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
        p.timeText = buf;
        p.sizeText = FileSizeText(p.size);
    }
    p.formatText = TGraphicInfo::Instance().Description(file);
    const bool registered = TGraphicInfo::Instance().ForFile(file) != nullptr;
    Picture local;
    Picture& pic = picture ? *picture : local;
    int result = 0;
    if (skipLoading || !registered) {
        pic = Picture{};
        if (placeholderWanted) pic.placeholder = MakePlaceholder(exists ? PlaceholderKind::NoPreview : PlaceholderKind::Missing, file);
        result = exists ? 0 : 1;
    } else {
        result = LoadPictureFile(file, pic, placeholderWanted);
    }
    p.width = p.pixelWidth = pic.Width();
    p.height = p.pixelHeight = pic.Height();
    p.mmWidth = pic.mmWidth;
    p.mmHeight = pic.mmHeight;
    char dim[64];
    if (p.mmWidth > 0 && p.mmHeight > 0)
        std::snprintf(dim, sizeof dim, "%d * %d mm", p.mmWidth / 100, p.mmHeight / 100);
    else
        std::snprintf(dim, sizeof dim, "%d × %d ", p.pixelWidth, p.pixelHeight);
    p.dimensionText = dim;
    p.paperText = PaperText(p.paperCode);
    return result;
}

void LimitRasterSize(double width, double height, double scale, int& outW, int& outH) {
    auto round = [](double v) { return static_cast<int>(v < 0 ? v - 0.5000004 : v + 0.5000004); };
    double s = scale;
    if (width * s > 4096 || height * s > 4096) {
        const double longer = std::max(width, height);
        double limit = 4096;
        s = limit / longer;
        // Very small sources: step the limit down while the scale stays huge and the area
        // would still exceed about twelve million pixels.
        while (s > 256 && limit > 256 && !(std::sqrt(12000000.0 / (width * height)) > s)) {
            limit -= 256;
            s = limit / longer;
        }
    }
    outW = round(width * s);
    outH = round(height * s);
}

fs::path MakeTempFileName(const std::string& prefixIn, const std::string& extIn) {
    const std::string prefix = prefixIn.empty() ? "VelView" : prefixIn;
    std::string ext = extIn.empty() ? ".tmp" : extIn;
    if (ext[0] != '.') ext = "." + ext;
    const fs::path folder = RuntimeFolder::Instance().SubFolder("tmp");
    static std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 256; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(rng()));
        const fs::path p = folder / (prefix + name + ext);
        const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return p;
        }
        if (errno != EEXIST) throw IoError(p.string() + ": cannot create a temporary file: " + ErrnoText(errno));
    }
    throw IoError(folder.string() + ": no free temporary file name");
}

}  // namespace velview
