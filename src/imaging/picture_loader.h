// Loading any picture of a delivery: never fails, but gives a placeholder for a missing,
// broken or unpreviewable file; and the picture properties of the file-information views.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "imaging/graphic_info.h"
#include "imaging/raster.h"

namespace velview {

enum class PlaceholderKind { None, Missing, Broken, NoPreview, PdfNotRenderable };

// A placeholder as a description the GUI draws: its kind and its lines of text.
struct Placeholder {
    PlaceholderKind kind = PlaceholderKind::None;
    std::vector<std::string> lines;
    std::string extension;  // upper-cased, with the dot (broken-file placeholder)
};
Placeholder MakePlaceholder(PlaceholderKind kind, const std::filesystem::path& file = {});

struct Picture {
    Raster raster;                 // empty for a placeholder
    Placeholder placeholder;
    int mmWidth = 0, mmHeight = 0; // physical size in 0.01 mm (0 when none)
    int colourDepth = 6;
    bool picture = true;           // the registry's picture flag
    bool IsPlaceholder() const { return placeholder.kind != PlaceholderKind::None; }
    int Width() const { return raster.width; }
    int Height() const { return raster.height; }
};

// 0 loaded, 1 file missing, 2 load failed (broken file, no decoder). With placeholders
// wanted, the picture then holds the matching placeholder.
int LoadPictureFile(const std::filesystem::path& file, Picture& picture, bool placeholderWanted);

struct TPctProperty {
    double date = 0;          // last-write time (local), days since 30 December 1899
    std::uint64_t size = 0;
    int width = 0, height = 0;
    int pixelWidth = 0, pixelHeight = 0;
    int mmWidth = 0, mmHeight = 0;
    int paperCode = -1;
    std::string dateText;      // "yyyy/mm/dd"
    std::string timeText;      // "hh:mm:ss"
    std::string sizeText;      // "123 ﾊﾞｲﾄ", "1.5 KB", "2.0 MB", "1.25 GB"
    std::string dimensionText; // "210 * 297 mm" or "4000 × 3000 "
    std::string formatText;    // the registry description
    std::string description;
    std::string paperText;
};

// Loads (unless skipLoading, or the format is unregistered, which give the no-preview
// placeholder) and fills the properties. `picture` may be null when only properties are wanted.
int LoadPictureWithProperties(const std::filesystem::path& file, Picture* picture, bool placeholderWanted,
                              TPctProperty& properties, bool skipLoading = false);

// "1,234 ﾊﾞｲﾄ" … "1.25 GB" as the properties show a file size.
std::string FileSizeText(std::uint64_t size);
std::string PaperText(int paperCode);

// The pixel size of a vector drawing of w × h at a scale, limited to 4096 on the longer side.
void LimitRasterSize(double width, double height, double scale, int& outWidth, int& outHeight);

// A new, empty file in the private runtime folder: prefix (default "VelView") and extension
// (default ".tmp"); never a predictable shared path.
std::filesystem::path MakeTempFileName(const std::string& prefix = "", const std::string& extension = "");

}  // namespace velview
