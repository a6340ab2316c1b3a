// Size-generic matrix algebra on row-major float arrays, shared by the three matrix classes.
#pragma once

#include <cmath>
#include <cstring>

#include "zmathdetail.h"

namespace rulmek_detail {

template <int N> inline void fill(float* m, float value) {
    for (int i = 0; i < N * N; ++i) {
        m[i] = value;
    }
}

template <int N> inline void identity(float* m) {
    fill<N>(m, 0.0f);
    for (int i = 0; i < N; ++i) {
        m[i * N + i] = 1.0f;
    }
}

template <int N> inline void transpose(const float* m, float* out) {
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c < N; ++c) {
            out[c * N + r] = m[r * N + c];
        }
    }
}

// out = a * b; out must not alias a or b.
template <int N> inline void multiply(const float* a, const float* b, float* out) {
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c < N; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < N; ++k) {
                sum += a[r * N + k] * b[k * N + c];
            }
            out[r * N + c] = sum;
        }
    }
}

// out = a * v for a column vector v.
template <int N> inline void multiplyVector(const float* a, const float* v, float* out) {
    for (int r = 0; r < N; ++r) {
        out[r] = dot<N>(&a[r * N], v);
    }
}

template <int N> inline void addInPlace(float* m, const float* b, float sign) {
    for (int i = 0; i < N * N; ++i) {
        m[i] += sign * b[i];
    }
}

template <int N> float determinant(const float* m);

// Determinant of m without row skipRow and column skipCol.
template <int N> inline float minorDeterminant(const float* m, int skipRow, int skipCol) {
    float sub[(N - 1) * (N - 1)] = {};
    int k = 0;
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c < N; ++c) {
            if (r != skipRow && c != skipCol) {
                sub[k++] = m[r * N + c];
            }
        }
    }
    return determinant<N - 1>(sub);
}

template <int N> float determinant(const float* m) {
    if constexpr (N == 1) {
        return m[0];
    } else if constexpr (N == 2) {
        return m[0] * m[3] - m[2] * m[1];
    } else {
        float sum = 0.0f;
        for (int c = 0; c < N; ++c) {
            const float cofactor = minorDeterminant<N>(m, 0, c);
            sum += (c % 2 == 0 ? m[c] : -m[c]) * cofactor;
        }
        return sum;
    }
}

// The adjugate: entry (r, c) is the cofactor of entry (c, r).
template <int N> inline void adjugate(const float* m, float* out) {
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c < N; ++c) {
            const float minor = minorDeterminant<N>(m, c, r);
            out[r * N + c] = ((r + c) % 2 == 0) ? minor : -minor;
        }
    }
}

// A nearly singular matrix inverts to the zero matrix rather than to a huge one.
template <int N> inline void inverse(const float* m, float* out) {
    const float det = determinant<N>(m);
    if (std::fabs(det) <= ZERO_TOLERANCE) {
        fill<N>(out, 0.0f);
        return;
    }
    adjugate<N>(m, out);
    const float inv = 1.0f / det;
    for (int i = 0; i < N * N; ++i) {
        out[i] *= inv;
    }
}

// u^T * m * v.
template <int N> inline float quadraticForm(const float* m, const float* u, const float* v) {
    float mv[N];
    multiplyVector<N>(m, v, mv);
    return dot<N>(u, mv);
}

} // namespace rulmek_detail

namespace rulmek_detail {

template <int N> inline void setRow(float* m, int row, const float* v) {
    for (int c = 0; c < N; ++c) {
        m[row * N + c] = v[c];
    }
}

template <int N> inline void setColumn(float* m, int col, const float* v) {
    for (int r = 0; r < N; ++r) {
        m[r * N + col] = v[r];
    }
}

template <int N> inline void getColumn(const float* m, int col, float* out) {
    for (int r = 0; r < N; ++r) {
        out[r] = m[r * N + col];
    }
}

template <int N> inline void tensorProduct(const float* u, const float* v, float* m) {
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c < N; ++c) {
            m[r * N + c] = u[r] * v[c];
        }
    }
}

} // namespace rulmek_detail
