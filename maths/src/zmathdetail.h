// Shared internals of the vector and matrix sources; not installed.
#pragma once

#include <cmath>
#include <cstring>

namespace rulmek_detail {

// Tolerance for "zero" used by Normalize and Inverse.
inline constexpr float ZERO_TOLERANCE = 1e-6f;
// What a division by zero yields: the largest finite float.
inline constexpr float MAX_REAL = 3.4028235e38f;

// Orders storage as unsigned bytes in memory order, so the result is a total order on bit
// patterns (0.0 and -0.0 differ) rather than a numeric one.
inline int compareBytes(const float* a, const float* b, int count) {
    const int r = std::memcmp(a, b, sizeof(float) * static_cast<unsigned>(count));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

template <int N> inline void divideInPlace(float* v, float s) {
    if (s == 0.0f) {
        for (int i = 0; i < N; ++i) {
            v[i] = MAX_REAL;
        }
        return;
    }
    const float inv = 1.0f / s;
    for (int i = 0; i < N; ++i) {
        v[i] *= inv;
    }
}

template <int N> inline float dot(const float* a, const float* b) {
    float sum = 0.0f;
    for (int i = 0; i < N; ++i) {
        sum += a[i] * b[i];
    }
    return sum;
}

// Scales v to unit length and returns the old length; a vector no longer than the tolerance
// becomes zero and 0 is returned.
template <int N> inline float normalize(float* v) {
    const float length = std::sqrt(dot<N>(v, v));
    if (length > ZERO_TOLERANCE) {
        const float inv = 1.0f / length;
        for (int i = 0; i < N; ++i) {
            v[i] *= inv;
        }
        return length;
    }
    for (int i = 0; i < N; ++i) {
        v[i] = 0.0f;
    }
    return 0.0f;
}

} // namespace rulmek_detail
