#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using TMD5Digest = std::array<std::uint8_t, 16>;

// MD5 message digest; streams its input, so a key or block of any length is hashed.
class TCrMD5 {
public:
    TCrMD5() { Reset(); }

    void Reset();
    void Update(const void* data, std::size_t size);
    TMD5Digest Final();

    static TMD5Digest HashKey(std::string_view key);
    static TMD5Digest HashBlock(const void* data, std::size_t size);
    // Reads the file in blocks of 4,096 bytes; raises Exception when it cannot be read.
    static TMD5Digest HashFile(const std::string& fileName);

private:
    void Transform(const std::uint8_t* block);

    std::uint32_t state_[4];
    std::uint64_t length_ = 0;
    std::uint8_t buffer_[64];
    std::size_t buffered_ = 0;
};

std::string DigestToHex(const TMD5Digest& digest);
