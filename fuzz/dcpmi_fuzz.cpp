// libFuzzer target for the tamper check: the APP5 "DCPMI" parser, the walk to the end of
// the image data and the whole check must survive any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "checks/authenticity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)velview::ReadDcpmi(bytes);
    (void)velview::ImageCheckValue(bytes);
    (void)velview::CheckJpegHash(bytes);
    return 0;
}
