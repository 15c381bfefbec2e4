#include "CryptMd5.h"

#include "Errors.h"
#include "Handles.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

constexpr std::uint32_t Rotate(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

} // namespace

void TCrMD5::Reset() noexcept {
    state_[0] = 0x67452301;
    state_[1] = 0xEFCDAB89;
    state_[2] = 0x98BADCFE;
    state_[3] = 0x10325476;
    length_ = 0;
}

void TCrMD5::Transform(const std::uint8_t* block) noexcept {
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = std::uint32_t(block[i * 4]) | std::uint32_t(block[i * 4 + 1]) << 8 |
               std::uint32_t(block[i * 4 + 2]) << 16 | std::uint32_t(block[i * 4 + 3]) << 24;
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const std::uint32_t next = d;
        d = c;
        c = b;
        b = b + Rotate(a + f + sines[i] + m[g], shifts[i]);
        a = next;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void TCrMD5::Update(const void* data, std::size_t size) noexcept {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t used = static_cast<std::size_t>(length_ % 64);
    length_ += size;
    while (size > 0) {
        const std::size_t take = std::min<std::size_t>(64 - used, size);
        std::memcpy(buffer_ + used, bytes, take);
        used += take;
        bytes += take;
        size -= take;
        if (used == 64) {
            Transform(buffer_);
            used = 0;
        }
    }
}

TMD5Digest TCrMD5::Final() noexcept {
    const std::uint64_t bits = length_ * 8;
    const std::uint8_t mark = 0x80;
    Update(&mark, 1);
    const std::uint8_t zero = 0;
    while (length_ % 64 != 56)
        Update(&zero, 1);
    std::uint8_t tail[8];
    for (int i = 0; i < 8; ++i)
        tail[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Update(tail, 8);
    TMD5Digest digest;
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (8 * (i % 4)));
    Reset();
    return digest;
}

TMD5Digest TCrMD5::HashKey(const std::string& key) noexcept {
    return HashBlock(key.data(), key.size());
}

TMD5Digest TCrMD5::HashBlock(const void* data, std::size_t size) noexcept {
    TCrMD5 md5;
    md5.Update(data, size);
    return md5.Final();
}

TMD5Digest TCrMD5::HashFile(const std::string& fileName) {
    // The system's file calls rather than a stream: glzemb links this unit, and the streams would
    // bring the C++ library's locales into every program on the desktop.
    const UniqueHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw Exception("Cannot open file " + fileName + ".");
    TCrMD5 md5;
    char block[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), block, sizeof block, &read, nullptr))
            throw Exception("Cannot read file " + fileName + ".");
        if (read == 0)
            break;
        md5.Update(block, read);
    }
    return md5.Final();
}

std::string TCrMD5::ToHex(const TMD5Digest& digest) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t b : digest) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}
