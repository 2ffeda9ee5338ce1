// Small integer helpers.
#pragma once

namespace tinctor {

// Clamps V into [Lo, Hi]; when Lo is not below Hi the result is Lo.
template <typename T>
constexpr T Clamp(T v, T lo, T hi) {
    if (!(lo < hi)) return lo;
    if (v < lo) return lo;
    if (hi < v) return hi;
    return v;
}

}  // namespace tinctor
