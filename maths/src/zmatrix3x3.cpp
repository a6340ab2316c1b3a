#include <cmath>
#include <cstring>

#include "rulmek/zmatrix.h"
#include "zmatrixdetail.h"

using namespace rulmek_detail;

const ZMatrix3X3 ZMatrix3X3::ZERO(true);
const ZMatrix3X3 ZMatrix3X3::IDENTITY(false);

ZMatrix3X3::ZMatrix3X3(bool zero) {
    if (zero) {
        MakeZero();
    } else {
        MakeIdentity();
    }
}

ZMatrix3X3::ZMatrix3X3(float m00, float m01, float m02, float m10, float m11, float m12, float m20,
                       float m21, float m22)
    : m_afEntry{m00, m01, m02, m10, m11, m12, m20, m21, m22} {}

ZMatrix3X3::ZMatrix3X3(const float entry[9], bool rowMajor) {
    if (rowMajor) {
        std::memcpy(m_afEntry, entry, sizeof(m_afEntry));
    } else {
        transpose<3>(entry, m_afEntry);
    }
}

ZMatrix3X3::ZMatrix3X3(const ZVector3& u, const ZVector3& v, const ZVector3& w, bool columns) {
    const ZVector3 vectors[3] = {u, v, w};
    *this = ZMatrix3X3(vectors, columns);
}

ZMatrix3X3::ZMatrix3X3(const ZVector3* v, bool columns) {
    for (int i = 0; i < 3; ++i) {
        if (columns) {
            SetColumn(i, v[i]);
        } else {
            SetRow(i, v[i]);
        }
    }
}

ZMatrix3X3::ZMatrix3X3(float d0, float d1, float d2) {
    MakeDiagonal(d0, d1, d2);
}

ZMatrix3X3::ZMatrix3X3(const ZVector3& axis, float angle) {
    FromAxisAngle(axis, angle);
}

ZMatrix3X3::ZMatrix3X3(const ZVector3& u, const ZVector3& v) {
    MakeTensorProduct(u, v);
}

ZMatrix3X3& ZMatrix3X3::MakeZero() {
    fill<3>(m_afEntry, 0.0f);
    return *this;
}

ZMatrix3X3& ZMatrix3X3::MakeIdentity() {
    identity<3>(m_afEntry);
    return *this;
}

ZMatrix3X3& ZMatrix3X3::MakeDiagonal(float d0, float d1, float d2) {
    fill<3>(m_afEntry, 0.0f);
    m_afEntry[0] = d0;
    m_afEntry[4] = d1;
    m_afEntry[8] = d2;
    return *this;
}

// Rotation by angle (radians) about the unit axis, counter-clockwise looking down the axis.
ZMatrix3X3& ZMatrix3X3::FromAxisAngle(const ZVector3& axis, float angle) {
    const float cs = std::cos(angle);
    const float sn = std::sin(angle);
    const float omc = 1.0f - cs;
    const float x = axis[0];
    const float y = axis[1];
    const float z = axis[2];
    m_afEntry[0] = x * x * omc + cs;
    m_afEntry[1] = x * y * omc - z * sn;
    m_afEntry[2] = x * z * omc + y * sn;
    m_afEntry[3] = x * y * omc + z * sn;
    m_afEntry[4] = y * y * omc + cs;
    m_afEntry[5] = y * z * omc - x * sn;
    m_afEntry[6] = x * z * omc - y * sn;
    m_afEntry[7] = y * z * omc + x * sn;
    m_afEntry[8] = z * z * omc + cs;
    return *this;
}

ZMatrix3X3& ZMatrix3X3::MakeTensorProduct(const ZVector3& u, const ZVector3& v) {
    tensorProduct<3>(u, v, m_afEntry);
    return *this;
}

void ZMatrix3X3::SetRow(int row, const ZVector3& v) {
    setRow<3>(m_afEntry, row, v);
}

ZVector3 ZMatrix3X3::GetRow(int row) const {
    return ZVector3(&m_afEntry[3 * row]);
}

void ZMatrix3X3::SetColumn(int col, const ZVector3& v) {
    setColumn<3>(m_afEntry, col, v);
}

ZVector3 ZMatrix3X3::GetColumn(int col) const {
    ZVector3 result;
    getColumn<3>(m_afEntry, col, result);
    return result;
}

void ZMatrix3X3::GetColumnMajor(float* out) const {
    transpose<3>(m_afEntry, out);
}

ZMatrix3X3 ZMatrix3X3::TimesDiagonal(const ZVector3& diag) const {
    ZMatrix3X3 result(*this);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            result.m_afEntry[r * 3 + c] *= diag[c];
        }
    }
    return result;
}

ZMatrix3X3 ZMatrix3X3::DiagonalTimes(const ZVector3& diag) const {
    ZMatrix3X3 result(*this);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            result.m_afEntry[r * 3 + c] *= diag[r];
        }
    }
    return result;
}

int ZMatrix3X3::CompareArrays(const ZMatrix3X3& m) const {
    return compareBytes(m_afEntry, m.m_afEntry, 9);
}

bool ZMatrix3X3::operator==(const ZMatrix3X3& m) const {
    return CompareArrays(m) == 0;
}
bool ZMatrix3X3::operator!=(const ZMatrix3X3& m) const {
    return CompareArrays(m) != 0;
}
bool ZMatrix3X3::operator<(const ZMatrix3X3& m) const {
    return CompareArrays(m) < 0;
}
bool ZMatrix3X3::operator<=(const ZMatrix3X3& m) const {
    return CompareArrays(m) <= 0;
}
bool ZMatrix3X3::operator>(const ZMatrix3X3& m) const {
    return CompareArrays(m) > 0;
}
bool ZMatrix3X3::operator>=(const ZMatrix3X3& m) const {
    return CompareArrays(m) >= 0;
}

ZMatrix3X3 ZMatrix3X3::operator+(const ZMatrix3X3& m) const {
    ZMatrix3X3 result(*this);
    return result += m;
}

ZMatrix3X3 ZMatrix3X3::operator-(const ZMatrix3X3& m) const {
    ZMatrix3X3 result(*this);
    return result -= m;
}

ZMatrix3X3 ZMatrix3X3::operator*(const ZMatrix3X3& m) const {
    ZMatrix3X3 result;
    multiply<3>(m_afEntry, m.m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix3X3 ZMatrix3X3::operator*(float s) const {
    ZMatrix3X3 result(*this);
    return result *= s;
}

ZMatrix3X3 ZMatrix3X3::operator/(float s) const {
    ZMatrix3X3 result(*this);
    return result /= s;
}

ZMatrix3X3 ZMatrix3X3::operator-() const {
    return *this * -1.0f;
}

ZMatrix3X3& ZMatrix3X3::operator+=(const ZMatrix3X3& m) {
    addInPlace<3>(m_afEntry, m.m_afEntry, 1.0f);
    return *this;
}

ZMatrix3X3& ZMatrix3X3::operator-=(const ZMatrix3X3& m) {
    addInPlace<3>(m_afEntry, m.m_afEntry, -1.0f);
    return *this;
}

ZMatrix3X3& ZMatrix3X3::operator*=(float s) {
    for (float& e : m_afEntry) {
        e *= s;
    }
    return *this;
}

ZMatrix3X3& ZMatrix3X3::operator/=(float s) {
    divideInPlace<9>(m_afEntry, s);
    return *this;
}

ZVector3 ZMatrix3X3::operator*(const ZVector3& v) const {
    ZVector3 result;
    multiplyVector<3>(m_afEntry, v, result);
    return result;
}

ZMatrix3X3 ZMatrix3X3::Transpose() const {
    ZMatrix3X3 result;
    transpose<3>(m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix3X3 ZMatrix3X3::TransposeTimes(const ZMatrix3X3& m) const {
    return Transpose() * m;
}

ZMatrix3X3 ZMatrix3X3::TimesTranspose(const ZMatrix3X3& m) const {
    return *this * m.Transpose();
}

ZMatrix3X3 ZMatrix3X3::Inverse() const {
    ZMatrix3X3 result;
    inverse<3>(m_afEntry, result.m_afEntry);
    return result;
}

ZMatrix3X3 ZMatrix3X3::Adjoint() const {
    ZMatrix3X3 result;
    adjugate<3>(m_afEntry, result.m_afEntry);
    return result;
}

float ZMatrix3X3::Determinant() const {
    return determinant<3>(m_afEntry);
}

float ZMatrix3X3::QForm(const ZVector3& u, const ZVector3& v) const {
    return quadraticForm<3>(m_afEntry, u, v);
}
