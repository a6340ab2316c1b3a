#include <cmath>
#include <cstring>

#include "rulmek/zmatrix.h"
#include "zmatrixdetail.h"

using namespace rulmek_detail;

const ZMatrix4X4 ZMatrix4X4::ZERO(true);
const ZMatrix4X4 ZMatrix4X4::IDENTITY(false);

ZMatrix4X4::ZMatrix4X4(bool zero) {
    if (zero) {
        MakeZero();
    } else {
        MakeIdentity();
    }
}

ZMatrix4X4::ZMatrix4X4(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                       float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                       float m32, float m33)
    : m_afEntry{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33} {}

ZMatrix4X4::ZMatrix4X4(const float entry[16], bool rowMajor) {
    if (rowMajor) {
        std::memcpy(m_afEntry, entry, sizeof(m_afEntry));
    } else {
        transpose<4>(entry, m_afEntry);
    }
}

ZMatrix4X4::ZMatrix4X4(const float* rotation, const float* translation) {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m_afEntry[r * 4 + c] = rotation[c * 3 + r];
        }
        m_afEntry[r * 4 + 3] = 0.0f;
        m_afEntry[12 + r] = translation[r];
    }
    m_afEntry[15] = 1.0f;
}

void ZMatrix4X4::MakeZero() {
    fill<4>(m_afEntry, 0.0f);
}

void ZMatrix4X4::MakeIdentity() {
    identity<4>(m_afEntry);
}

void ZMatrix4X4::SetRow(int row, const ZVector4& v) {
    setRow<4>(m_afEntry, row, v);
}

ZVector4 ZMatrix4X4::GetRow(int row) const {
    return ZVector4(&m_afEntry[4 * row]);
}

void ZMatrix4X4::SetRow3(int row, const ZVector3& v) {
    setRow<3>(&m_afEntry[4 * row], 0, v);
}

ZVector3 ZMatrix4X4::GetRow3(int row) const {
    return ZVector3(&m_afEntry[4 * row]);
}

void ZMatrix4X4::SetColumn(int col, const ZVector4& v) {
    setColumn<4>(m_afEntry, col, v);
}

ZVector4 ZMatrix4X4::GetColumn(int col) const {
    ZVector4 result;
    getColumn<4>(m_afEntry, col, result);
    return result;
}

void ZMatrix4X4::GetColumnMajor(float* out) const {
    transpose<4>(m_afEntry, out);
}

ZVector3 operator*(const ZVector3& v, const ZMatrix4X4& m) {
    ZVector3 result;
    for (int c = 0; c < 3; ++c) {
        result[c] = v[0] * m(0, c) + v[1] * m(1, c) + v[2] * m(2, c);
    }
    return result;
}

ZMatrix4X4 operator*(ZMatrix4X4& m, ZMatrix3X3& r) {
    ZMatrix4X4 result(m);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            result(row, col) =
                m(row, 0) * r(0, col) + m(row, 1) * r(1, col) + m(row, 2) * r(2, col);
        }
    }
    return result;
}

int ZMatrix4X4::CompareArrays(const ZMatrix4X4& m) const {
    return compareBytes(m_afEntry, m.m_afEntry, 16);
}

bool ZMatrix4X4::operator==(const ZMatrix4X4& m) const {
    return CompareArrays(m) == 0;
}
bool ZMatrix4X4::operator!=(const ZMatrix4X4& m) const {
    return CompareArrays(m) != 0;
}
bool ZMatrix4X4::operator<(const ZMatrix4X4& m) const {
    return CompareArrays(m) < 0;
}
bool ZMatrix4X4::operator<=(const ZMatrix4X4& m) const {
    return CompareArrays(m) <= 0;
}
bool ZMatrix4X4::operator>(const ZMatrix4X4& m) const {
    return CompareArrays(m) > 0;
}
bool ZMatrix4X4::operator>=(const ZMatrix4X4& m) const {
    return CompareArrays(m) >= 0;
}

ZMatrix4X4 ZMatrix4X4::operator+(const ZMatrix4X4& m) const {
    ZMatrix4X4 result(*this);
    return result += m;
}

ZMatrix4X4 ZMatrix4X4::operator-(const ZMatrix4X4& m) const {
    ZMatrix4X4 result(*this);
    return result -= m;
}

ZMatrix4X4 ZMatrix4X4::operator*(const ZMatrix4X4& m) const {
    ZMatrix4X4 result;
    multiply<4>(m_afEntry, m.m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix4X4 ZMatrix4X4::operator*(float s) const {
    ZMatrix4X4 result(*this);
    return result *= s;
}

ZMatrix4X4 ZMatrix4X4::operator/(float s) const {
    ZMatrix4X4 result(*this);
    return result /= s;
}

ZMatrix4X4 ZMatrix4X4::operator-() const {
    return *this * -1.0f;
}

ZMatrix4X4& ZMatrix4X4::operator+=(const ZMatrix4X4& m) {
    addInPlace<4>(m_afEntry, m.m_afEntry, 1.0f);
    return *this;
}

ZMatrix4X4& ZMatrix4X4::operator-=(const ZMatrix4X4& m) {
    addInPlace<4>(m_afEntry, m.m_afEntry, -1.0f);
    return *this;
}

ZMatrix4X4& ZMatrix4X4::operator*=(float s) {
    for (float& e : m_afEntry) {
        e *= s;
    }
    return *this;
}

ZMatrix4X4& ZMatrix4X4::operator/=(float s) {
    divideInPlace<16>(m_afEntry, s);
    return *this;
}

ZVector4 ZMatrix4X4::operator*(const ZVector4& v) const {
    ZVector4 result;
    multiplyVector<4>(m_afEntry, v, result);
    return result;
}

ZMatrix4X4 ZMatrix4X4::Transpose() const {
    ZMatrix4X4 result;
    transpose<4>(m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix4X4 ZMatrix4X4::TransposeTimes(const ZMatrix4X4& m) const {
    return Transpose() * m;
}

ZMatrix4X4 ZMatrix4X4::TimesTranspose(const ZMatrix4X4& m) const {
    return *this * m.Transpose();
}

ZMatrix4X4 ZMatrix4X4::Inverse() const {
    ZMatrix4X4 result;
    inverse<4>(m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix4X4 ZMatrix4X4::Adjoint() const {
    ZMatrix4X4 result;
    adjugate<4>(m_afEntry, result.m_afEntry);
    return result;
}

float ZMatrix4X4::Determinant() const {
    return determinant<4>(m_afEntry);
}

float ZMatrix4X4::QForm(const ZVector4& u, const ZVector4& v) const {
    return quadraticForm<4>(m_afEntry, u, v);
}
