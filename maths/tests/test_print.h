// Readable failure messages: without these, GoogleTest prints the values through their
// conversion to float* and shows an address.
#pragma once

#include <ostream>

#include "rulmek/zmatrix.h"
#include "rulmek/zvector.h"

inline void PrintTo(const ZVector2& v, std::ostream* os) {
    *os << "(" << v.X() << ", " << v.Y() << ")";
}

inline void PrintTo(const ZVector3& v, std::ostream* os) {
    *os << "(" << v.X() << ", " << v.Y() << ", " << v.Z() << ")";
}

inline void PrintTo(const ZVector4& v, std::ostream* os) {
    *os << "(" << v.X() << ", " << v.Y() << ", " << v.Z() << ", " << v.W() << ")";
}

template <int N> inline void printEntries(const float* m, std::ostream* os) {
    *os << "[";
    for (int i = 0; i < N * N; ++i) {
        *os << (i == 0 ? "" : (i % N == 0 ? "; " : ", ")) << m[i];
    }
    *os << "]";
}

inline void PrintTo(const ZMatrix2X2& m, std::ostream* os) {
    printEntries<2>(m, os);
}
inline void PrintTo(const ZMatrix3X3& m, std::ostream* os) {
    printEntries<3>(m, os);
}
inline void PrintTo(const ZMatrix4X4& m, std::ostream* os) {
    printEntries<4>(m, os);
}
