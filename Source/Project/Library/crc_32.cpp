#include "crc_32.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) != 0 ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> crcTable = MakeTable();

} // namespace

std::uint32_t CRC32(std::string_view s) noexcept {
    std::uint32_t crc = 0;
    for (const char ch : s)
        crc = (crc >> 8) ^ crcTable[(crc ^ static_cast<unsigned char>(ch)) & 0xFF];
    return crc;
}
