#include "rulmek/zvector.h"

#include <cmath>
#include <cstring>

#include "zmathdetail.h"

using namespace rulmek_detail;

// ---------------------------------------------------------------- ZVector2

const ZVector2 ZVector2::ZERO(0.0f, 0.0f);
const ZVector2 ZVector2::UNIT_X(1.0f, 0.0f);
const ZVector2 ZVector2::UNIT_Y(0.0f, 1.0f);
const ZVector2 ZVector2::ONE(1.0f, 1.0f);

ZVector2::ZVector2(const float* tuple) {
    std::memcpy(m_afTuple, tuple, sizeof(m_afTuple));
}

int ZVector2::CompareArrays(const ZVector2& v) const {
    return compareBytes(m_afTuple, v.m_afTuple, 2);
}

bool ZVector2::operator==(const ZVector2& v) const {
    return CompareArrays(v) == 0;
}
bool ZVector2::operator!=(const ZVector2& v) const {
    return CompareArrays(v) != 0;
}
bool ZVector2::operator<(const ZVector2& v) const {
    return CompareArrays(v) < 0;
}
bool ZVector2::operator<=(const ZVector2& v) const {
    return CompareArrays(v) <= 0;
}
bool ZVector2::operator>(const ZVector2& v) const {
    return CompareArrays(v) > 0;
}
bool ZVector2::operator>=(const ZVector2& v) const {
    return CompareArrays(v) >= 0;
}

ZVector2 ZVector2::operator/(float s) const {
    ZVector2 result(*this);
    divideInPlace<2>(result.m_afTuple, s);
    return result;
}

ZVector2& ZVector2::operator/=(float s) {
    divideInPlace<2>(m_afTuple, s);
    return *this;
}

float ZVector2::Length() const {
    return std::sqrt(SquaredLength());
}
float ZVector2::SquaredLength() const {
    return dot<2>(m_afTuple, m_afTuple);
}
float ZVector2::Dot(const ZVector2& v) const {
    return dot<2>(m_afTuple, v.m_afTuple);
}
float ZVector2::Normalize() {
    return normalize<2>(m_afTuple);
}

ZVector2 ZVector2::Perp() const {
    return ZVector2(m_afTuple[1], -m_afTuple[0]);
}

ZVector2 ZVector2::UnitPerp() const {
    ZVector2 perp = Perp();
    perp.Normalize();
    return perp;
}

float ZVector2::DotPerp(const ZVector2& v) const {
    return m_afTuple[0] * v.m_afTuple[1] - m_afTuple[1] * v.m_afTuple[0];
}

// ---------------------------------------------------------------- ZVector3

const ZVector3 ZVector3::ZERO(0.0f, 0.0f, 0.0f);
const ZVector3 ZVector3::UNIT_X(1.0f, 0.0f, 0.0f);
const ZVector3 ZVector3::UNIT_Y(0.0f, 1.0f, 0.0f);
const ZVector3 ZVector3::UNIT_Z(0.0f, 0.0f, 1.0f);
const ZVector3 ZVector3::ONE(1.0f, 1.0f, 1.0f);

ZVector3::ZVector3(const float* tuple) {
    std::memcpy(m_afTuple, tuple, sizeof(m_afTuple));
}

int ZVector3::CompareArrays(const ZVector3& v) const {
    return compareBytes(m_afTuple, v.m_afTuple, 3);
}

bool ZVector3::operator==(const ZVector3& v) const {
    return CompareArrays(v) == 0;
}
bool ZVector3::operator!=(const ZVector3& v) const {
    return CompareArrays(v) != 0;
}

bool ZVector3::operator<(const ZVector3& v) const {
    return m_afTuple[0] < v.m_afTuple[0] && m_afTuple[1] < v.m_afTuple[1] &&
           m_afTuple[2] < v.m_afTuple[2];
}

bool ZVector3::operator<=(const ZVector3& v) const {
    return CompareArrays(v) <= 0;
}

bool ZVector3::operator>(const ZVector3& v) const {
    return m_afTuple[0] > v.m_afTuple[0] || m_afTuple[1] > v.m_afTuple[1] ||
           m_afTuple[2] > v.m_afTuple[2];
}

bool ZVector3::operator>=(const ZVector3& v) const {
    return CompareArrays(v) >= 0;
}

ZVector3 ZVector3::operator+(const ZVector3& v) const {
    return ZVector3(m_afTuple[0] + v.m_afTuple[0], m_afTuple[1] + v.m_afTuple[1],
                    m_afTuple[2] + v.m_afTuple[2]);
}

ZVector3 ZVector3::operator-(const ZVector3& v) const {
    return ZVector3(m_afTuple[0] - v.m_afTuple[0], m_afTuple[1] - v.m_afTuple[1],
                    m_afTuple[2] - v.m_afTuple[2]);
}

ZVector3 ZVector3::operator*(float s) const {
    return ZVector3(s * m_afTuple[0], s * m_afTuple[1], s * m_afTuple[2]);
}

ZVector3 ZVector3::operator/(float s) const {
    ZVector3 result(*this);
    divideInPlace<3>(result.m_afTuple, s);
    return result;
}

ZVector3 ZVector3::operator-() const {
    return ZVector3(-m_afTuple[0], -m_afTuple[1], -m_afTuple[2]);
}

ZVector3& ZVector3::operator+=(const ZVector3& v) {
    for (int i = 0; i < 3; ++i) {
        m_afTuple[i] += v.m_afTuple[i];
    }
    return *this;
}

ZVector3& ZVector3::operator-=(const ZVector3& v) {
    for (int i = 0; i < 3; ++i) {
        m_afTuple[i] -= v.m_afTuple[i];
    }
    return *this;
}

ZVector3& ZVector3::operator*=(float s) {
    for (float& c : m_afTuple) {
        c *= s;
    }
    return *this;
}

ZVector3& ZVector3::operator/=(float s) {
    divideInPlace<3>(m_afTuple, s);
    return *this;
}

float ZVector3::Length() const {
    return std::sqrt(SquaredLength());
}
float ZVector3::SquaredLength() const {
    return dot<3>(m_afTuple, m_afTuple);
}
float ZVector3::Dot(const ZVector3& v) const {
    return dot<3>(m_afTuple, v.m_afTuple);
}
float ZVector3::Normalize() {
    return normalize<3>(m_afTuple);
}

ZVector3 ZVector3::Cross(const ZVector3& v) const {
    const float* a = m_afTuple;
    const float* b = v.m_afTuple;
    return ZVector3(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                    a[0] * b[1] - a[1] * b[0]);
}

ZVector3 ZVector3::UnitCross(const ZVector3& v) const {
    ZVector3 cross = Cross(v);
    cross.Normalize();
    return cross;
}

// ---------------------------------------------------------------- ZVector4

const ZVector4 ZVector4::ONE(1.0f, 1.0f, 1.0f, 1.0f);

ZVector4::ZVector4(const float* tuple) {
    std::memcpy(m_afTuple, tuple, sizeof(m_afTuple));
}

void ZVector4::Set(float x, float y, float z, float w) {
    m_afTuple[0] = x;
    m_afTuple[1] = y;
    m_afTuple[2] = z;
    m_afTuple[3] = w;
}

void ZVector4::Set(float s) {
    Set(s, s, s, s);
}

int ZVector4::CompareArrays(const ZVector4& v) const {
    return compareBytes(m_afTuple, v.m_afTuple, 4);
}

bool ZVector4::operator==(const ZVector4& v) const {
    return CompareArrays(v) == 0;
}
bool ZVector4::operator!=(const ZVector4& v) const {
    return CompareArrays(v) != 0;
}
bool ZVector4::operator<(const ZVector4& v) const {
    return CompareArrays(v) < 0;
}
bool ZVector4::operator<=(const ZVector4& v) const {
    return CompareArrays(v) <= 0;
}
bool ZVector4::operator>(const ZVector4& v) const {
    return CompareArrays(v) > 0;
}
bool ZVector4::operator>=(const ZVector4& v) const {
    return CompareArrays(v) >= 0;
}

ZVector4 ZVector4::operator+(const ZVector4& v) const {
    ZVector4 result(*this);
    return result += v;
}

ZVector4 ZVector4::operator-(const ZVector4& v) const {
    ZVector4 result(*this);
    return result -= v;
}

ZVector4 ZVector4::operator*(float s) const {
    ZVector4 result(*this);
    return result *= s;
}

ZVector4 ZVector4::operator/(float s) const {
    ZVector4 result(*this);
    return result /= s;
}

ZVector4 ZVector4::operator-() const {
    return ZVector4(-m_afTuple[0], -m_afTuple[1], -m_afTuple[2], -m_afTuple[3]);
}

ZVector4& ZVector4::operator+=(const ZVector4& v) {
    for (int i = 0; i < 4; ++i) {
        m_afTuple[i] += v.m_afTuple[i];
    }
    return *this;
}

ZVector4& ZVector4::operator-=(const ZVector4& v) {
    for (int i = 0; i < 4; ++i) {
        m_afTuple[i] -= v.m_afTuple[i];
    }
    return *this;
}

ZVector4& ZVector4::operator*=(float s) {
    for (float& c : m_afTuple) {
        c *= s;
    }
    return *this;
}

ZVector4& ZVector4::operator/=(float s) {
    divideInPlace<4>(m_afTuple, s);
    return *this;
}

ZVector4& ZVector4::operator*=(const ZVector4& v) {
    for (int i = 0; i < 4; ++i) {
        m_afTuple[i] *= v.m_afTuple[i];
    }
    return *this;
}

float ZVector4::Length() const {
    return std::sqrt(SquaredLength());
}
float ZVector4::SquaredLength() const {
    return dot<4>(m_afTuple, m_afTuple);
}
float ZVector4::Dot(const ZVector4& v) const {
    return dot<4>(m_afTuple, v.m_afTuple);
}
float ZVector4::Normalize() {
    return normalize<4>(m_afTuple);
}
