// The message buffering and padding that MD5 and SHA-256 share: 64-byte blocks, a 0x80 byte,
// zeros, and the message length in bits in the last 8 bytes (little- or big-endian).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace velview {

// `Block(const std::uint8_t*)` of the derived class processes one 64-byte block.
template <class Derived, bool BigEndianLength>
class BlockDigest {
public:
    void Update(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        length_ += size;
        while (size > 0) {
            const std::size_t take = std::min(size, 64 - used_);
            std::memcpy(buffer_ + used_, p, take);
            used_ += take;
            p += take;
            size -= take;
            if (used_ == 64) {
                static_cast<Derived*>(this)->Block(buffer_);
                used_ = 0;
            }
        }
    }

protected:
    // Appends the padding and the length; afterwards the state holds the digest.
    void Pad() {
        const std::uint64_t bits = length_ * 8;
        const std::uint8_t one = 0x80, zero = 0;
        Update(&one, 1);
        while (used_ != 56) Update(&zero, 1);
        std::uint8_t len[8];
        for (int i = 0; i < 8; ++i) len[i] = static_cast<std::uint8_t>(bits >> (BigEndianLength ? 56 - 8 * i : 8 * i));
        Update(len, 8);
    }

    static std::string Hex(const std::uint8_t* bytes, std::size_t n) {
        static const char kHex[] = "0123456789abcdef";
        std::string s;
        for (std::size_t i = 0; i < n; ++i) {
            s += kHex[bytes[i] >> 4];
            s += kHex[bytes[i] & 15];
        }
        return s;
    }

private:
    std::uint64_t length_ = 0;
    std::uint8_t buffer_[64] = {};
    std::size_t used_ = 0;
};

}  // namespace velview
