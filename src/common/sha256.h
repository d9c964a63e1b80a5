// SHA-256 (FIPS 180-4), for the tamper-detection check values of electronic blackboard photos.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/block_digest.h"

namespace velview {

class Sha256 : public BlockDigest<Sha256, true> {
public:
    Sha256();
    using BlockDigest::Update;
    void Update(std::string_view s) { Update(s.data(), s.size()); }
    std::array<std::uint8_t, 32> Final();
    // 64 lower-case hexadecimal digits.
    std::string FinalHex();

    void Block(const std::uint8_t* p);

private:
    std::uint32_t h_[8];
};

std::string Sha256Hex(std::string_view data);

}  // namespace velview
