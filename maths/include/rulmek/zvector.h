// Single-precision vectors: positions (ZVector2), colours (ZVector3) and colours with alpha
// (ZVector4). Plain values: no base class, no virtual function, nothing but the components.
#pragma once

class ZVector2 {
public:
    // Left uninitialised on purpose: these are filled right after construction everywhere.
    ZVector2() = default;
    constexpr ZVector2(float x, float y) : m_afTuple{x, y} {}
    explicit ZVector2(const float* tuple);
    ZVector2(const ZVector2& v) = default;
    ZVector2& operator=(const ZVector2& v) = default;

    float X() const { return m_afTuple[0]; }
    float& X() { return m_afTuple[0]; }
    float Y() const { return m_afTuple[1]; }
    float& Y() { return m_afTuple[1]; }

    // No bounds check: the index is the caller's responsibility.
    float operator[](int i) const { return m_afTuple[i]; }
    float& operator[](int i) { return m_afTuple[i]; }
    operator float*() { return m_afTuple; }
    operator const float*() const { return m_afTuple; }

    bool operator==(const ZVector2& v) const;
    bool operator!=(const ZVector2& v) const;
    bool operator<(const ZVector2& v) const;
    bool operator<=(const ZVector2& v) const;
    bool operator>(const ZVector2& v) const;
    bool operator>=(const ZVector2& v) const;

    ZVector2 operator+(const ZVector2& v) const;
    ZVector2 operator-(const ZVector2& v) const;
    ZVector2 operator*(float s) const;
    ZVector2 operator/(float s) const;
    ZVector2 operator-() const;
    ZVector2& operator+=(const ZVector2& v);
    ZVector2& operator-=(const ZVector2& v);
    ZVector2& operator*=(float s);
    ZVector2& operator/=(float s);

    float Length() const;
    float SquaredLength() const;
    float Dot(const ZVector2& v) const;
    float Normalize();

    ZVector2 Perp() const;
    ZVector2 UnitPerp() const;
    float DotPerp(const ZVector2& v) const;

    static const ZVector2 ZERO;
    static const ZVector2 UNIT_X;
    static const ZVector2 UNIT_Y;
    static const ZVector2 ONE;

private:
    int CompareArrays(const ZVector2& v) const;

    float m_afTuple[2];
};

// The arithmetic every drag and hit test does per point, inline so that it
// costs no call.
inline ZVector2 ZVector2::operator+(const ZVector2& v) const {
    return ZVector2(m_afTuple[0] + v.m_afTuple[0], m_afTuple[1] + v.m_afTuple[1]);
}

inline ZVector2 ZVector2::operator-(const ZVector2& v) const {
    return ZVector2(m_afTuple[0] - v.m_afTuple[0], m_afTuple[1] - v.m_afTuple[1]);
}

inline ZVector2 ZVector2::operator*(float s) const {
    return ZVector2(s * m_afTuple[0], s * m_afTuple[1]);
}

inline ZVector2 ZVector2::operator-() const {
    return ZVector2(-m_afTuple[0], -m_afTuple[1]);
}

inline ZVector2& ZVector2::operator+=(const ZVector2& v) {
    m_afTuple[0] += v.m_afTuple[0];
    m_afTuple[1] += v.m_afTuple[1];
    return *this;
}

inline ZVector2& ZVector2::operator-=(const ZVector2& v) {
    m_afTuple[0] -= v.m_afTuple[0];
    m_afTuple[1] -= v.m_afTuple[1];
    return *this;
}

inline ZVector2& ZVector2::operator*=(float s) {
    m_afTuple[0] *= s;
    m_afTuple[1] *= s;
    return *this;
}

class ZVector3 {
public:
    ZVector3() = default;
    constexpr ZVector3(float x, float y, float z) : m_afTuple{x, y, z} {}
    explicit ZVector3(const float* tuple);
    ZVector3(const ZVector3& v) = default;
    ZVector3& operator=(const ZVector3& v) = default;

    float X() const { return m_afTuple[0]; }
    float& X() { return m_afTuple[0]; }
    float Y() const { return m_afTuple[1]; }
    float& Y() { return m_afTuple[1]; }
    float Z() const { return m_afTuple[2]; }
    float& Z() { return m_afTuple[2]; }

    float operator[](int i) const { return m_afTuple[i]; }
    float& operator[](int i) { return m_afTuple[i]; }
    operator float*() { return m_afTuple; }
    operator const float*() const { return m_afTuple; }

    bool operator==(const ZVector3& v) const;
    bool operator!=(const ZVector3& v) const;
    // Component-wise: true when every component is strictly less than v's.
    bool operator<(const ZVector3& v) const;
    bool operator<=(const ZVector3& v) const;
    // Component-wise: true when any component is strictly greater than v's.
    bool operator>(const ZVector3& v) const;
    bool operator>=(const ZVector3& v) const;

    ZVector3 operator+(const ZVector3& v) const;
    ZVector3 operator-(const ZVector3& v) const;
    ZVector3 operator*(float s) const;
    ZVector3 operator/(float s) const;
    ZVector3 operator-() const;
    ZVector3& operator+=(const ZVector3& v);
    ZVector3& operator-=(const ZVector3& v);
    ZVector3& operator*=(float s);
    ZVector3& operator/=(float s);

    float Length() const;
    float SquaredLength() const;
    float Dot(const ZVector3& v) const;
    float Normalize();

    ZVector3 Cross(const ZVector3& v) const;
    ZVector3 UnitCross(const ZVector3& v) const;

    static const ZVector3 ZERO;
    static const ZVector3 UNIT_X;
    static const ZVector3 UNIT_Y;
    static const ZVector3 UNIT_Z;
    static const ZVector3 ONE;

private:
    int CompareArrays(const ZVector3& v) const;

    float m_afTuple[3];
};

class ZVector4 {
public:
    ZVector4() = default;
    constexpr ZVector4(float x, float y, float z, float w) : m_afTuple{x, y, z, w} {}
    constexpr explicit ZVector4(float s) : m_afTuple{s, s, s, s} {}
    explicit ZVector4(const float* tuple);
    ZVector4(const ZVector4& v) = default;
    ZVector4& operator=(const ZVector4& v) = default;

    void Set(float x, float y, float z, float w);
    void Set(float s);

    float X() const { return m_afTuple[0]; }
    float& X() { return m_afTuple[0]; }
    float Y() const { return m_afTuple[1]; }
    float& Y() { return m_afTuple[1]; }
    float Z() const { return m_afTuple[2]; }
    float& Z() { return m_afTuple[2]; }
    float W() const { return m_afTuple[3]; }
    float& W() { return m_afTuple[3]; }

    float operator[](int i) const { return m_afTuple[i]; }
    float& operator[](int i) { return m_afTuple[i]; }
    operator float*() { return m_afTuple; }
    operator const float*() const { return m_afTuple; }

    bool operator==(const ZVector4& v) const;
    bool operator!=(const ZVector4& v) const;
    bool operator<(const ZVector4& v) const;
    bool operator<=(const ZVector4& v) const;
    bool operator>(const ZVector4& v) const;
    bool operator>=(const ZVector4& v) const;

    ZVector4 operator+(const ZVector4& v) const;
    ZVector4 operator-(const ZVector4& v) const;
    ZVector4 operator*(float s) const;
    ZVector4 operator/(float s) const;
    ZVector4 operator-() const;
    ZVector4& operator+=(const ZVector4& v);
    ZVector4& operator-=(const ZVector4& v);
    ZVector4& operator*=(float s);
    ZVector4& operator/=(float s);
    ZVector4& operator*=(const ZVector4& v);

    float Length() const;
    float SquaredLength() const;
    float Dot(const ZVector4& v) const;
    float Normalize();

    static const ZVector4 ONE;

private:
    int CompareArrays(const ZVector4& v) const;

    float m_afTuple[4];
};
