// The coder works on whole groups in tight loops: three bytes to four characters
// and back, the decoder's table marking every byte outside the alphabet.
#include "util/Base64.h"

#include <array>
#include <cstdint>

namespace tinctor {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kSkip = 0xFF, kPad = 0xFE;

constexpr std::array<std::uint8_t, 256> MakeDecodeTable() {
    std::array<std::uint8_t, 256> t{};
    for (auto& v : t) v = kSkip;
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
    t['='] = kPad;
    return t;
}
constexpr auto kDecode = MakeDecodeTable();

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out(Base64EncodedSize(bytes.size()), '=');
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    char* o = out.data();
    std::size_t n = bytes.size();
    for (; n >= 3; n -= 3, p += 3, o += 4) {
        const std::uint32_t v = (std::uint32_t(p[0]) << 16) | (p[1] << 8) | p[2];
        o[0] = kAlphabet[v >> 18];
        o[1] = kAlphabet[(v >> 12) & 63];
        o[2] = kAlphabet[(v >> 6) & 63];
        o[3] = kAlphabet[v & 63];
    }
    if (n) {
        const std::uint32_t v = (std::uint32_t(p[0]) << 16) | (n == 2 ? p[1] << 8 : 0);
        o[0] = kAlphabet[v >> 18];
        o[1] = kAlphabet[(v >> 12) & 63];
        if (n == 2) o[2] = kAlphabet[(v >> 6) & 63];
    }
    return out;
}

std::string Base64Decode(std::string_view text) {
    std::string out;
    out.resize(text.size() / 4 * 3 + 3);
    char* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    std::uint32_t group = 0;
    int held = 0;
    // Quick path: four alphabet characters in a row.
    while (p < end) {
        if (held == 0 && end - p >= 4) {
            const std::uint8_t a = kDecode[p[0]], b = kDecode[p[1]], c = kDecode[p[2]], d = kDecode[p[3]];
            if ((a | b | c | d) < 64) {
                const std::uint32_t v = (std::uint32_t(a) << 18) | (b << 12) | (c << 6) | d;
                o[0] = static_cast<char>(v >> 16);
                o[1] = static_cast<char>(v >> 8);
                o[2] = static_cast<char>(v);
                o += 3;
                p += 4;
                continue;
            }
        }
        const std::uint8_t v = kDecode[*p++];
        if (v == kPad) break;
        if (v == kSkip) continue;
        group = (group << 6) | v;
        if (++held == 4) {
            o[0] = static_cast<char>(group >> 16);
            o[1] = static_cast<char>(group >> 8);
            o[2] = static_cast<char>(group);
            o += 3;
            held = 0;
            group = 0;
        }
    }
    if (held >= 2) {
        group <<= 6 * (4 - held);
        *o++ = static_cast<char>(group >> 16);
        if (held == 3) *o++ = static_cast<char>(group >> 8);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

}  // namespace tinctor
