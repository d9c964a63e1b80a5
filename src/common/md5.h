// MD5 (RFC 1321), for the digests that bind inspection results to photo files.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/block_digest.h"

namespace velview {

class Md5 : public BlockDigest<Md5, false> {
public:
    Md5();
    using BlockDigest::Update;
    void Update(std::string_view s) { Update(s.data(), s.size()); }
    std::array<std::uint8_t, 16> Final();
    // 32 lower-case hexadecimal digits.
    std::string FinalHex();

    void Block(const std::uint8_t* p);

private:
    std::uint32_t a_, b_, c_, d_;
};

std::string Md5Hex(std::string_view data);
// The digest of a regular file, read in blocks. Throws IoError when it cannot be read.
std::string Md5OfFile(const std::filesystem::path& file);

}  // namespace velview
