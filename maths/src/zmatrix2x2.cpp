#include <cmath>
#include <cstring>

#include "rulmek/zmatrix.h"
#include "zmatrixdetail.h"

using namespace rulmek_detail;

ZMatrix2X2::ZMatrix2X2(bool zero) {
    if (zero) {
        MakeZero();
    } else {
        MakeIdentity();
    }
}

ZMatrix2X2::ZMatrix2X2(float m00, float m01, float m10, float m11)
    : m_afEntry{m00, m01, m10, m11} {}

ZMatrix2X2::ZMatrix2X2(const float entry[4], bool rowMajor) {
    if (rowMajor) {
        std::memcpy(m_afEntry, entry, sizeof(m_afEntry));
    } else {
        transpose<2>(entry, m_afEntry);
    }
}

ZMatrix2X2::ZMatrix2X2(const ZVector2& u, const ZVector2& v, bool columns) {
    const ZVector2 vectors[2] = {u, v};
    *this = ZMatrix2X2(vectors, columns);
}

ZMatrix2X2::ZMatrix2X2(const ZVector2* v, bool columns) {
    for (int i = 0; i < 2; ++i) {
        if (columns) {
            SetColumn(i, v[i]);
        } else {
            SetRow(i, v[i]);
        }
    }
}

ZMatrix2X2::ZMatrix2X2(float d0, float d1) {
    MakeDiagonal(d0, d1);
}

ZMatrix2X2::ZMatrix2X2(float angle) {
    FromAngle(angle);
}

ZMatrix2X2::ZMatrix2X2(const ZVector2& u, const ZVector2& v) {
    MakeTensorProduct(u, v);
}

void ZMatrix2X2::MakeZero() {
    fill<2>(m_afEntry, 0.0f);
}

void ZMatrix2X2::MakeIdentity() {
    identity<2>(m_afEntry);
}

void ZMatrix2X2::MakeDiagonal(float d0, float d1) {
    m_afEntry[0] = d0;
    m_afEntry[1] = 0.0f;
    m_afEntry[2] = 0.0f;
    m_afEntry[3] = d1;
}

void ZMatrix2X2::FromAngle(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    m_afEntry[0] = c;
    m_afEntry[1] = -s;
    m_afEntry[2] = s;
    m_afEntry[3] = c;
}

void ZMatrix2X2::ToAngle(float& angle) const {
    angle = std::atan2(m_afEntry[2], m_afEntry[0]);
}

void ZMatrix2X2::MakeTensorProduct(const ZVector2& u, const ZVector2& v) {
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            m_afEntry[r * 2 + c] = u[r] * v[c];
        }
    }
}

void ZMatrix2X2::SetRow(int row, const ZVector2& v) {
    m_afEntry[2 * row] = v[0];
    m_afEntry[2 * row + 1] = v[1];
}

ZVector2 ZMatrix2X2::GetRow(int row) const {
    return ZVector2(m_afEntry[2 * row], m_afEntry[2 * row + 1]);
}

void ZMatrix2X2::SetColumn(int col, const ZVector2& v) {
    m_afEntry[col] = v[0];
    m_afEntry[2 + col] = v[1];
}

ZVector2 ZMatrix2X2::GetColumn(int col) const {
    return ZVector2(m_afEntry[col], m_afEntry[2 + col]);
}

void ZMatrix2X2::GetColumnMajor(float* out) const {
    transpose<2>(m_afEntry, out);
}

int ZMatrix2X2::CompareArrays(const ZMatrix2X2& m) const {
    return compareBytes(m_afEntry, m.m_afEntry, 4);
}

bool ZMatrix2X2::operator==(const ZMatrix2X2& m) const {
    return CompareArrays(m) == 0;
}
bool ZMatrix2X2::operator!=(const ZMatrix2X2& m) const {
    return CompareArrays(m) != 0;
}
bool ZMatrix2X2::operator<(const ZMatrix2X2& m) const {
    return CompareArrays(m) < 0;
}
bool ZMatrix2X2::operator<=(const ZMatrix2X2& m) const {
    return CompareArrays(m) <= 0;
}
bool ZMatrix2X2::operator>(const ZMatrix2X2& m) const {
    return CompareArrays(m) > 0;
}
bool ZMatrix2X2::operator>=(const ZMatrix2X2& m) const {
    return CompareArrays(m) >= 0;
}

ZMatrix2X2 ZMatrix2X2::operator+(const ZMatrix2X2& m) const {
    ZMatrix2X2 result(*this);
    return result += m;
}

ZMatrix2X2 ZMatrix2X2::operator-(const ZMatrix2X2& m) const {
    ZMatrix2X2 result(*this);
    return result -= m;
}

ZMatrix2X2 ZMatrix2X2::operator*(const ZMatrix2X2& m) const {
    ZMatrix2X2 result;
    multiply<2>(m_afEntry, m.m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix2X2 ZMatrix2X2::operator*(float s) const {
    ZMatrix2X2 result(*this);
    return result *= s;
}

ZMatrix2X2 ZMatrix2X2::operator/(float s) const {
    ZMatrix2X2 result(*this);
    return result /= s;
}

ZMatrix2X2 ZMatrix2X2::operator-() const {
    return *this * -1.0f;
}

ZMatrix2X2& ZMatrix2X2::operator+=(const ZMatrix2X2& m) {
    addInPlace<2>(m_afEntry, m.m_afEntry, 1.0f);
    return *this;
}

ZMatrix2X2& ZMatrix2X2::operator-=(const ZMatrix2X2& m) {
    addInPlace<2>(m_afEntry, m.m_afEntry, -1.0f);
    return *this;
}

ZMatrix2X2& ZMatrix2X2::operator*=(float s) {
    for (float& e : m_afEntry) {
        e *= s;
    }
    return *this;
}

ZMatrix2X2& ZMatrix2X2::operator/=(float s) {
    divideInPlace<4>(m_afEntry, s);
    return *this;
}

ZVector2 ZMatrix2X2::operator*(const ZVector2& v) const {
    ZVector2 result;
    multiplyVector<2>(m_afEntry, v, result);
    return result;
}

ZMatrix2X2 ZMatrix2X2::Transpose() const {
    ZMatrix2X2 result;
    transpose<2>(m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix2X2 ZMatrix2X2::TransposeTimes(const ZMatrix2X2& m) const {
    return Transpose() * m;
}

ZMatrix2X2 ZMatrix2X2::TimesTranspose(const ZMatrix2X2& m) const {
    return *this * m.Transpose();
}

ZMatrix2X2 ZMatrix2X2::Inverse() const {
    ZMatrix2X2 result;
    inverse<2>(m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix2X2 ZMatrix2X2::Adjoint() const {
    ZMatrix2X2 result;
    adjugate<2>(m_afEntry, result.m_afEntry);
    return result;
}

float ZMatrix2X2::Determinant() const {
    return determinant<2>(m_afEntry);
}

float ZMatrix2X2::QForm(const ZVector2& u, const ZVector2& v) const {
    return quadraticForm<2>(m_afEntry, u, v);
}
