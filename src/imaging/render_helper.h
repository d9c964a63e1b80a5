// Renditions that run in a helper process (the first page of a PDF, the first frame of an
// MP4): the libraries involved parse complex files, so they run with memory and time limits
// in a process of their own, and a file that hangs or crashes them costs only that process.
#pragma once

#include <filesystem>
#include <string>

#include "imaging/raster.h"

namespace velview {

enum class RenditionKind { PdfPage, VideoFrame };

struct RenditionLimits {
    int maxWidth = 1280, maxHeight = 1280;  // the rendition fits inside this size
    int seconds = 20;                       // wall time before the helper is stopped
    std::uint64_t memoryBytes = std::uint64_t(1) << 30;
};

// The rendition as a picture; throws ImageError naming why it could not be made.
Raster RenderInHelper(RenditionKind kind, const std::filesystem::path& file, const RenditionLimits& limits = {});

// Where the helper program lies: beside this program, or set explicitly (tests, tools).
std::filesystem::path RenderHelperPath();
void SetRenderHelperPath(std::filesystem::path path);

}  // namespace velview
