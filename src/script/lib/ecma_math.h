// The Math object: constants, functions and the pseudo-random generator.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "script/core/ecma_type_object.h"

namespace kestrel {

// A floating-point failure of a Math function (an argument outside its domain). It is
// a host error, not a script error: scripts cannot catch it and the run ends.
class EMathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
inline constexpr const char* kInvalidOperation = "invalid floating-point operation";
inline constexpr const char* kDivisionByZero = "floating-point division by zero";

// The process-wide generator every engine draws from.
class TJRandom {
public:
    // seed := seed * 134775813 + 1 (mod 2^32).
    static std::uint32_t Next() noexcept;
    // Next() * 2^-32.
    static double NextDouble() noexcept;
    // The upper 32 bits of Next() * N; 0 for N <= 0.
    static std::int32_t NextBelow(std::int32_t n) noexcept;
    static void SetSeed(std::uint32_t seed) noexcept;
    // Reseeds from the clock, or from the clock a test put in its place.
    static void Reseed() noexcept;
    static std::uint32_t (*Clock)();
};

class TJMathObject : public TJObject {
public:
    // Reseeds the generator.
    TJMathObject(TJBaseEngine* engine, const TJValueList* param);

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
};

}  // namespace kestrel
