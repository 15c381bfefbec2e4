#include "crc_32.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        table[i] = value;
    }
    return table;
}

constexpr auto table = MakeTable();

} // namespace

std::uint32_t CRC32(std::string_view text) noexcept {
    std::uint32_t crc = 0;
    for (const unsigned char b : text)
        crc = (crc >> 8) ^ table[(crc ^ b) & 0xFF];
    return crc;
}
