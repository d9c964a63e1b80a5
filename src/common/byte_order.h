// Reading fixed-size integers from byte buffers in a stated byte order. Callers check the
// bounds; these only assemble the bytes.
#pragma once

#include <cstdint>
#include <string_view>

namespace velview {

inline std::uint16_t LoadLe16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
inline std::uint32_t LoadLe32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(LoadLe16(b, at)) | static_cast<std::uint32_t>(LoadLe16(b, at + 2)) << 16;
}
inline std::uint16_t LoadBe16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]));
}

}  // namespace velview
