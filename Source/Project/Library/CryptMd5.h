#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using TMD5Digest = std::array<std::uint8_t, 16>;

// MD5 message digest (RFC 1321). Streaming, so a message of any length can be hashed.
class TCrMD5 {
public:
    TCrMD5() noexcept { Reset(); }

    void Reset() noexcept;
    void Update(const void* data, std::size_t size) noexcept;
    // Pads, returns the digest and starts over.
    TMD5Digest Final() noexcept;

    static TMD5Digest HashKey(const std::string& key) noexcept;
    static TMD5Digest HashBlock(const void* data, std::size_t size) noexcept;
    // Reads the file in blocks of 4,096 bytes; raises Exception when it cannot be read.
    static TMD5Digest HashFile(const std::string& fileName);

    // Lower-case hexadecimal of a digest.
    static std::string ToHex(const TMD5Digest& digest);

private:
    void Transform(const std::uint8_t* block) noexcept;

    std::uint32_t state_[4];
    std::uint64_t length_;
    std::uint8_t buffer_[64];
};
