// SHA-256 (FIPS 180-4), for the tamper-detection check values of electronic blackboard photos.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velview {

class Sha256 {
public:
    Sha256();
    void Update(const void* data, std::size_t size);
    void Update(std::string_view s) { Update(s.data(), s.size()); }
    std::array<std::uint8_t, 32> Final();
    // 64 lower-case hexadecimal digits.
    std::string FinalHex();

private:
    void Block(const std::uint8_t* p);
    std::uint32_t h_[8];
    std::uint64_t length_ = 0;
    std::uint8_t buffer_[64];
    std::size_t used_ = 0;
};

std::string Sha256Hex(std::string_view data);

}  // namespace velview
