// The two checksums scripts ask for, computed together in one table-driven pass:
// CRC-16 with the reflected CCITT polynomial (0x8408, initial 0xFFFF, no final
// inversion) and the standard CRC-32 (0xEDB88320, initial and final inversion).
#pragma once

#include <cstdint>
#include <string_view>

namespace tinctor {

class TCrc16And32 {
public:
    static constexpr std::uint16_t kInitial16 = 0xFFFF;
    static constexpr std::uint32_t kInitial32 = 0xFFFFFFFF;

    // Feeds more bytes; the checksums cover everything fed since the last Reset.
    void Update(std::string_view bytes) noexcept;
    void Reset() noexcept {
        crc16_ = kInitial16;
        crc32_ = kInitial32;
    }
    std::uint16_t Crc16() const noexcept { return crc16_; }
    std::uint32_t Crc32() const noexcept { return crc32_ ^ kInitial32; }

private:
    std::uint16_t crc16_ = kInitial16;
    std::uint32_t crc32_ = kInitial32;  // the running register, not yet inverted
};

}  // namespace tinctor
