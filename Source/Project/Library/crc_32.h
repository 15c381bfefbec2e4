#pragma once

#include <cstdint>
#include <string_view>

// CRC-32 over the reflected polynomial EDB88320 with initial value 0 and no final
// inversion: the key digest of every name-keyed collection ("abc" gives CA6598D0).
std::uint32_t CRC32(std::string_view text) noexcept;
