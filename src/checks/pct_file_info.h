// The file information of a photo: kind, size, pixel count, shooting and file times and the
// tamper status, with the texts the file views show.
#pragma once

#include <filesystem>
#include <string>

#include "checks/authenticity.h"

namespace velview {

struct TPctFileInfo {
    std::string sizeText;
    std::string pixelText;      // "4000 × 3000 （1200万画素）", "（約…）" when not whole
    double shootingTime = 0;    // Exif DateTimeOriginal, 0 when absent
    double fileTime = 0;        // last-write time (local)
    std::string typeName;       // "JPEG イメージファイル", else "XYZファイル"
    AuthenticityStatus authenticity;
    int width = 0, height = 0;
    bool filled = false;
};

// Gathers the information of a file; `filled` stays false when the file cannot be read.
TPctFileInfo GatherFileInfo(const std::filesystem::path& file, bool withAuthenticity = true);

// "%d × %d " and the pixel count in units of 10000 ("（約1229万画素）"), the count left out at
// 1 or less; empty without dimensions.
std::string PixelText(int width, int height);
// "yyyy/mm/dd hh:nn:ss"; an absent shooting time reads "---- ※Exifがありません".
std::string ShootingTimeText(double dateTime);
std::string DateTimeText(double dateTime);

}  // namespace velview
