// Slicing-by-8: eight tables per checksum, so each step takes eight bytes with
// independent lookups; both registers advance over the same bytes in one loop.
#include "util/Crc.h"

#include <array>
#include <cstring>

namespace tinctor {

namespace {

constexpr int kSlices = 8;
constexpr std::uint16_t kPoly16 = 0x8408;
constexpr std::uint32_t kPoly32 = 0xEDB88320;

template <class T, T Poly>
struct TSliceTables {
    std::array<std::array<T, 256>, kSlices> t{};
    constexpr TSliceTables() {
        for (unsigned n = 0; n < 256; ++n) {
            T c = static_cast<T>(n);
            for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<T>((c >> 1) ^ Poly) : static_cast<T>(c >> 1);
            t[0][n] = c;
        }
        // Table k: the byte followed by k zero bytes.
        for (int k = 1; k < kSlices; ++k)
            for (unsigned n = 0; n < 256; ++n)
                t[k][n] = static_cast<T>((t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF]);
    }
};

constexpr TSliceTables<std::uint16_t, kPoly16> kTables16;
constexpr TSliceTables<std::uint32_t, kPoly32> kTables32;

}  // namespace

void TCrc16And32::Update(std::string_view bytes) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    std::uint32_t c16 = crc16_, c32 = crc32_;
    const auto& a = kTables16.t;
    const auto& b = kTables32.t;
    while (n >= kSlices) {
        const std::uint32_t lo = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
        const std::uint32_t x16 = c16 ^ (p[0] | (p[1] << 8));
        c16 = a[7][x16 & 0xFF] ^ a[6][x16 >> 8] ^ a[5][p[2]] ^ a[4][p[3]] ^ a[3][p[4]] ^ a[2][p[5]] ^ a[1][p[6]] ^
              a[0][p[7]];
        const std::uint32_t x32 = c32 ^ lo;
        c32 = b[7][x32 & 0xFF] ^ b[6][(x32 >> 8) & 0xFF] ^ b[5][(x32 >> 16) & 0xFF] ^ b[4][x32 >> 24] ^ b[3][p[4]] ^
              b[2][p[5]] ^ b[1][p[6]] ^ b[0][p[7]];
        p += kSlices;
        n -= kSlices;
    }
    for (; n; --n, ++p) {
        c16 = (c16 >> 8) ^ a[0][(c16 ^ *p) & 0xFF];
        c32 = (c32 >> 8) ^ b[0][(c32 ^ *p) & 0xFF];
    }
    crc16_ = static_cast<std::uint16_t>(c16);
    crc32_ = c32;
}

}  // namespace tinctor
