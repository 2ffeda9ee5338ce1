// Crypt3: DES on arrays of bits, as the original algorithm is written, with the
// salt exchanging entries of the expansion table.
#include "script/lib/crypt3.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kestrel {

namespace {

using Bits64 = std::array<std::uint8_t, 64>;

constexpr std::size_t kKeyBytes = 8;
constexpr std::size_t kSaltChars = 2;
constexpr int kRounds = 16;
constexpr int kIterations = 25;
constexpr int kOutputChars = 11;

constexpr std::uint8_t kInitialPermutation[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4, 62, 54, 46, 38, 30, 22, 14, 6,
    64, 56, 48, 40, 32, 24, 16, 8, 57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};
constexpr std::uint8_t kFinalPermutation[64] = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31, 38, 6, 46, 14, 54, 22, 62, 30,
    37, 5, 45, 13, 53, 21, 61, 29, 36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};
constexpr std::uint8_t kKeyChoiceC[28] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                                          10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36};
constexpr std::uint8_t kKeyChoiceD[28] = {63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                                          14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};
constexpr std::uint8_t kShifts[kRounds] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};
constexpr std::uint8_t kRoundChoiceC[24] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10,
                                            23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2};
constexpr std::uint8_t kRoundChoiceD[24] = {41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
                                            44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
constexpr std::uint8_t kExpansion[48] = {32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
                                         12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
                                         22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};
constexpr std::uint8_t kSBoxes[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,  0, 15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5,  3,  8,  4,  1,  14, 8,  13, 6, 2, 11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2,  4,  9,  1,  7,  5,  11, 3, 14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7, 2,  13, 12, 0, 5,  10, 3,  13, 4,  7,  15, 2,
     8,  14, 12, 0,  1,  10, 6,  9,  11, 5, 0,  14, 7,  11, 10, 4, 13, 1,  5,  8,  12, 6,
     9,  3,  2,  15, 13, 8,  10, 1,  3,  15, 4, 2,  11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6,  3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,  13, 7,  0,  9,  3,  4,
     6,  10, 2,  8,  5,  14, 12, 11, 15, 1,  13, 6,  4,  9,  8,  15, 3,  0,  11, 1,  2,  12,
     5,  10, 14, 7,  1,  10, 13, 0,  6,  9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3,  0,  6,  9,  10, 1,  2, 8,  5,  11, 12, 4, 15, 13, 8,  11, 5,  6,  15,
     0,  3,  4,  7,  2,  12, 1,  10, 14, 9, 10, 6,  9,  0,  12, 11, 7,  13, 15, 1,  3,  14,
     5,  2,  8,  4,  3,  15, 0,  6,  10, 1, 13, 8,  9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5,  3,  15, 13, 0, 14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5,  0,  15, 10, 3,  9,  8,  6,  4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0,  14, 11, 8,  12, 7,  1,  14, 2,  13, 6,  15, 0, 9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11, 10, 15, 4,  2,  7,  12,
     9,  5,  6,  1,  13, 14, 0,  11, 3,  8,  9,  14, 15, 5,  2,  8,  12, 3,  7,  0,  4,  10,
     1,  13, 11, 6,  4,  3,  2,  12, 9,  5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0,  8,  13, 3,  12, 9,  7,  5,  10, 6,  1,  13, 0,  11, 7,  4,  9,
     1,  10, 14, 3,  5,  12, 2,  15, 8,  6,  1,  4,  11, 13, 12, 3,  7,  14, 10, 15, 6,  8,
     0,  5,  9,  2,  6,  11, 13, 8,  1,  4,  10, 7,  9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2,  8,  4,  6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,  1,  15, 13, 8,  10, 3,
     7,  4,  12, 5,  6,  11, 0,  14, 9,  2,  7,  11, 4,  1,  9,  12, 14, 2,  0,  6,  10, 13,
     15, 3,  5,  8,  2,  1,  14, 7,  4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11}};
constexpr std::uint8_t kPermutation[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                           2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

using KeySchedule = std::array<std::array<std::uint8_t, 48>, kRounds>;

KeySchedule MakeKeySchedule(const Bits64& key) {
    std::array<std::uint8_t, 28> c, d;
    for (int i = 0; i < 28; ++i) {
        c[i] = key[kKeyChoiceC[i] - 1];
        d[i] = key[kKeyChoiceD[i] - 1];
    }
    KeySchedule schedule;
    for (int round = 0; round < kRounds; ++round) {
        std::rotate(c.begin(), c.begin() + kShifts[round], c.end());
        std::rotate(d.begin(), d.begin() + kShifts[round], d.end());
        for (int j = 0; j < 24; ++j) {
            schedule[round][j] = c[kRoundChoiceC[j] - 1];
            schedule[round][j + 24] = d[kRoundChoiceD[j] - 28 - 1];
        }
    }
    return schedule;
}

void Encrypt(Bits64& block, const KeySchedule& schedule, const std::uint8_t (&expansion)[48]) {
    Bits64 lr;
    for (int j = 0; j < 64; ++j) lr[j] = block[kInitialPermutation[j] - 1];
    std::uint8_t* left = lr.data();
    std::uint8_t* right = lr.data() + 32;
    for (int round = 0; round < kRounds; ++round) {
        std::uint8_t saved[32], expanded[48], f[32];
        std::copy(right, right + 32, saved);
        for (int j = 0; j < 48; ++j) expanded[j] = right[expansion[j] - 1] ^ schedule[round][j];
        for (int box = 0; box < 8; ++box) {
            const std::uint8_t* b = expanded + 6 * box;
            const int index = (b[0] << 5) | (b[5] << 4) | (b[1] << 3) | (b[2] << 2) | (b[3] << 1) | b[4];
            const int k = kSBoxes[box][index];
            for (int bit = 0; bit < 4; ++bit) f[4 * box + bit] = (k >> (3 - bit)) & 1;
        }
        for (int j = 0; j < 32; ++j) right[j] = left[j] ^ f[kPermutation[j] - 1];
        std::copy(saved, saved + 32, left);
    }
    std::swap_ranges(left, left + 32, right);
    for (int j = 0; j < 64; ++j) block[j] = lr[kFinalPermutation[j] - 1];
}

// The 6-bit value of a salt character ("." 0, "/" 1, "0"-"9" 2-11, "A"-"Z" 12-37, "a"-"z" 38-63).
int SaltValue(unsigned char c) {
    if (c > 'Z') c -= 6;
    if (c > '9') c -= 7;
    return static_cast<unsigned char>(c - '.');
}

char OutputChar(int value) {
    int c = value + '.';
    if (c > '9') c += 7;
    if (c > 'Z') c += 6;
    return static_cast<char>(c);
}

}  // namespace

std::string Crypt3(std::string_view key, std::string_view salt) {
    Bits64 keyBits{};
    for (std::size_t byte = 0; byte < std::min(key.size(), kKeyBytes); ++byte)
        for (int bit = 0; bit < 7; ++bit)
            keyBits[8 * byte + bit] = (static_cast<unsigned char>(key[byte]) >> (6 - bit)) & 1;
    const KeySchedule schedule = MakeKeySchedule(keyBits);

    std::string out;
    std::uint8_t expansion[48];
    std::copy(std::begin(kExpansion), std::end(kExpansion), expansion);
    for (std::size_t i = 0; i < kSaltChars; ++i) {
        const unsigned char c = i < salt.size() ? static_cast<unsigned char>(salt[i]) : '.';
        out += static_cast<char>(c);
        const int value = SaltValue(c);
        for (int j = 0; j < 6; ++j)
            if ((value >> j) & 1) std::swap(expansion[6 * i + j], expansion[6 * i + j + 24]);
    }

    Bits64 block{};
    for (int i = 0; i < kIterations; ++i) Encrypt(block, schedule, expansion);
    // 66 bits as 11 characters: the last two bits are zero.
    std::array<std::uint8_t, 66> bits{};
    std::copy(block.begin(), block.end(), bits.begin());
    for (int i = 0; i < kOutputChars; ++i) {
        int value = 0;
        for (int j = 0; j < 6; ++j) value = (value << 1) | bits[6 * i + j];
        out += OutputChar(value);
    }
    return out;
}

}  // namespace kestrel
