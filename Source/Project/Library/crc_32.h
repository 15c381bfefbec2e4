#pragma once

#include <cstdint>
#include <string_view>

// Table-driven CRC over the reflected polynomial EDB88320, started at 0 and not inverted at
// the end, so it differs from the archive-format CRC-32 ("abc" gives CA6598D0).
std::uint32_t CRC32(std::string_view s) noexcept;
