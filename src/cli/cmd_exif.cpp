// velview-cli exif: the Exif structure of JPEG files, one process for thousands of files.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "common/text_encoding.h"
#include "imaging/exif_info.h"

namespace velview::cli {
namespace fs = std::filesystem;

namespace {

bool IsJpegName(const fs::path& p) {
    const std::string ext = p.extension().string();
    return text::EqualsAsciiNoCase(ext, ".jpg") || text::EqualsAsciiNoCase(ext, ".jpeg");
}

// Files named on the command line, and the JPEG files below named folders, sorted.
std::vector<fs::path> CollectFiles(const std::vector<std::string>& names, std::vector<std::string>& errors) {
    std::vector<fs::path> out;
    for (const std::string& n : names) {
        std::error_code ec;
        if (fs::is_directory(n, ec)) {
            std::vector<fs::path> found;
            for (fs::recursive_directory_iterator it(n, fs::directory_options::skip_permission_denied, ec), end;
                 !ec && it != end; it.increment(ec))
                if (it->is_regular_file(ec) && IsJpegName(it->path())) found.push_back(it->path());
            std::sort(found.begin(), found.end());
            out.insert(out.end(), found.begin(), found.end());
        } else if (fs::exists(n, ec)) {
            out.emplace_back(n);
        } else {
            errors.push_back(n + ": no such file or folder");
        }
    }
    return out;
}

}  // namespace

int ExifCommand(const Args& args) {
    bool json = false;
    std::vector<std::string> names;
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else names.push_back(a);
    }
    if (names.empty()) {
        Error("usage: velview-cli exif FILE|DIR... [--json]");
        return 2;
    }
    std::vector<std::string> errors;
    const std::vector<fs::path> files = CollectFiles(names, errors);
    for (const auto& e : errors) Error(e);

    TExifInfo exif;  // one reader for every file
    JsonWriter w;
    std::string text;
    if (json) w.BeginArray();
    for (const fs::path& f : files) {
        exif.LoadFromFile(f);
        const JpegFrameSize frame = exif.FrameSize().ok() ? exif.FrameSize() : GetJpegSize(f);
        const JpegFrameSize thumb = exif.ThumbnailSize();
        const std::string order = exif.HasExif() ? (exif.LittleEndian() ? "II" : "MM") : "";
        const std::string date = exif.DateTimeOriginalText();
        if (json) {
            w.BeginObject()
                .Field("file", f.string())
                .Field("has_exif", exif.HasExif())
                .Field("byte_order", order)
                .Field("datetime_original", date)
                .Field("datetime_value_valid", exif.DateTimeOriginal() > 0)
                .Field("pixel_width", exif.PixelWidth())
                .Field("pixel_height", exif.PixelHeight())
                .Field("true_width", frame.width)
                .Field("true_height", frame.height)
                .Field("thumbnail_width", thumb.width)
                .Field("thumbnail_height", thumb.height)
                .Field("error", exif.Error())
                .EndObject();
        } else {
            char line[160];
            std::snprintf(line, sizeof line, "\t%s\t%s\t%dx%d\t%dx%d\t%dx%d\t%s\n", exif.HasExif() ? "exif" : "-",
                          order.empty() ? "-" : order.c_str(), exif.PixelWidth(), exif.PixelHeight(), frame.width,
                          frame.height, thumb.width, thumb.height, date.empty() ? "-" : date.c_str());
            text += f.string() + line;
        }
    }
    if (json) {
        w.EndArray();
        text = w.Text() + "\n";
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return errors.empty() ? 0 : 2;
}

}  // namespace velview::cli
