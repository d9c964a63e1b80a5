// libFuzzer target for the JPEG/Exif structure reader: any bytes must load without a crash,
// a hang or a read outside what was given.
#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/exif_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velview::TExifInfo exif;
    exif.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));
    // Touch every answer, so their bounds are exercised too.
    (void)exif.PixelWidth();
    (void)exif.PixelHeight();
    (void)exif.DateTimeOriginal();
    (void)exif.ThumbnailSize();
    (void)exif.FrameSize();
    (void)velview::ReadJpegFrameSize(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
