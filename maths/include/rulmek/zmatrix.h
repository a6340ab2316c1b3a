// Single-precision square matrices stored row by row: entry (r, c) is element r * N + c.
// Plain values: no base class, no virtual function, nothing but the entries.
#pragma once

#include "rulmek/zvector.h"

class ZMatrix2X2 {
public:
    // true gives the zero matrix, false the identity.
    ZMatrix2X2(bool zero = true);
    // A lone array would otherwise convert to the bool above and give a zero matrix.
    ZMatrix2X2(const float*) = delete;
    ZMatrix2X2(const ZMatrix2X2& m) = default;
    ZMatrix2X2(float m00, float m01, float m10, float m11);
    // rowMajor false: the array is column-major and is transposed on the way in.
    ZMatrix2X2(const float entry[4], bool rowMajor);
    // columns true: u and v become the columns; false: the rows.
    ZMatrix2X2(const ZVector2& u, const ZVector2& v, bool columns);
    ZMatrix2X2(const ZVector2* v, bool columns);
    ZMatrix2X2(float d0, float d1);
    ZMatrix2X2(float angle);
    ZMatrix2X2(const ZVector2& u, const ZVector2& v);
    ZMatrix2X2& operator=(const ZMatrix2X2& m) = default;

    void MakeZero();
    void MakeIdentity();
    void MakeDiagonal(float d0, float d1);
    void FromAngle(float angle);
    void ToAngle(float& angle) const;
    void MakeTensorProduct(const ZVector2& u, const ZVector2& v);

    operator const float*() const { return m_afEntry; }
    operator float*() { return m_afEntry; }
    const float* operator[](int row) const { return &m_afEntry[2 * row]; }
    float* operator[](int row) { return &m_afEntry[2 * row]; }
    float operator()(int row, int col) const { return m_afEntry[2 * row + col]; }
    float& operator()(int row, int col) { return m_afEntry[2 * row + col]; }
    void SetRow(int row, const ZVector2& v);
    ZVector2 GetRow(int row) const;
    void SetColumn(int col, const ZVector2& v);
    ZVector2 GetColumn(int col) const;
    void GetColumnMajor(float* out) const;

    bool operator==(const ZMatrix2X2& m) const;
    bool operator!=(const ZMatrix2X2& m) const;
    bool operator<(const ZMatrix2X2& m) const;
    bool operator<=(const ZMatrix2X2& m) const;
    bool operator>(const ZMatrix2X2& m) const;
    bool operator>=(const ZMatrix2X2& m) const;

    ZMatrix2X2 operator+(const ZMatrix2X2& m) const;
    ZMatrix2X2 operator-(const ZMatrix2X2& m) const;
    ZMatrix2X2 operator*(const ZMatrix2X2& m) const;
    ZMatrix2X2 operator*(float s) const;
    ZMatrix2X2 operator/(float s) const;
    ZMatrix2X2 operator-() const;
    ZMatrix2X2& operator+=(const ZMatrix2X2& m);
    ZMatrix2X2& operator-=(const ZMatrix2X2& m);
    ZMatrix2X2& operator*=(float s);
    ZMatrix2X2& operator/=(float s);
    ZVector2 operator*(const ZVector2& v) const;

    ZMatrix2X2 Transpose() const;
    ZMatrix2X2 TransposeTimes(const ZMatrix2X2& m) const;
    ZMatrix2X2 TimesTranspose(const ZMatrix2X2& m) const;
    ZMatrix2X2 Inverse() const;
    ZMatrix2X2 Adjoint() const;
    float Determinant() const;
    float QForm(const ZVector2& u, const ZVector2& v) const;

private:
    int CompareArrays(const ZMatrix2X2& m) const;

    float m_afEntry[4];
};

class ZMatrix3X3 {
public:
    ZMatrix3X3(bool zero = true);
    // A lone array would otherwise convert to the bool above and give a zero matrix.
    ZMatrix3X3(const float*) = delete;
    ZMatrix3X3(const ZMatrix3X3& m) = default;
    ZMatrix3X3(float m00, float m01, float m02, float m10, float m11, float m12, float m20,
               float m21, float m22);
    ZMatrix3X3(const float entry[9], bool rowMajor);
    ZMatrix3X3(const ZVector3& u, const ZVector3& v, const ZVector3& w, bool columns);
    ZMatrix3X3(const ZVector3* v, bool columns);
    ZMatrix3X3(float d0, float d1, float d2);
    ZMatrix3X3(const ZVector3& axis, float angle);
    ZMatrix3X3(const ZVector3& u, const ZVector3& v);
    ZMatrix3X3& operator=(const ZMatrix3X3& m) = default;

    ZMatrix3X3& MakeZero();
    ZMatrix3X3& MakeIdentity();
    ZMatrix3X3& MakeDiagonal(float d0, float d1, float d2);
    ZMatrix3X3& FromAxisAngle(const ZVector3& axis, float angle);
    ZMatrix3X3& MakeTensorProduct(const ZVector3& u, const ZVector3& v);

    operator const float*() const { return m_afEntry; }
    operator float*() { return m_afEntry; }
    const float* operator[](int row) const { return &m_afEntry[3 * row]; }
    float* operator[](int row) { return &m_afEntry[3 * row]; }
    float operator()(int row, int col) const { return m_afEntry[3 * row + col]; }
    float& operator()(int row, int col) { return m_afEntry[3 * row + col]; }
    void SetRow(int row, const ZVector3& v);
    ZVector3 GetRow(int row) const;
    void SetColumn(int col, const ZVector3& v);
    ZVector3 GetColumn(int col) const;
    void GetColumnMajor(float* out) const;

    bool operator==(const ZMatrix3X3& m) const;
    bool operator!=(const ZMatrix3X3& m) const;
    bool operator<(const ZMatrix3X3& m) const;
    bool operator<=(const ZMatrix3X3& m) const;
    bool operator>(const ZMatrix3X3& m) const;
    bool operator>=(const ZMatrix3X3& m) const;

    ZMatrix3X3 operator+(const ZMatrix3X3& m) const;
    ZMatrix3X3 operator-(const ZMatrix3X3& m) const;
    ZMatrix3X3 operator*(const ZMatrix3X3& m) const;
    ZMatrix3X3 operator*(float s) const;
    ZMatrix3X3 operator/(float s) const;
    ZMatrix3X3 operator-() const;
    ZMatrix3X3& operator+=(const ZMatrix3X3& m);
    ZMatrix3X3& operator-=(const ZMatrix3X3& m);
    ZMatrix3X3& operator*=(float s);
    ZMatrix3X3& operator/=(float s);
    ZVector3 operator*(const ZVector3& v) const;

    ZMatrix3X3 Transpose() const;
    ZMatrix3X3 TransposeTimes(const ZMatrix3X3& m) const;
    ZMatrix3X3 TimesTranspose(const ZMatrix3X3& m) const;
    ZMatrix3X3 Inverse() const;
    ZMatrix3X3 Adjoint() const;
    float Determinant() const;
    float QForm(const ZVector3& u, const ZVector3& v) const;
    ZMatrix3X3 TimesDiagonal(const ZVector3& diag) const;
    ZMatrix3X3 DiagonalTimes(const ZVector3& diag) const;

    static const ZMatrix3X3 ZERO;
    static const ZMatrix3X3 IDENTITY;

private:
    int CompareArrays(const ZMatrix3X3& m) const;

    float m_afEntry[9];
};

class ZMatrix4X4 {
public:
    ZMatrix4X4(bool zero = true);
    // A lone array would otherwise convert to the bool above and give a zero matrix.
    ZMatrix4X4(const float*) = delete;
    ZMatrix4X4(const ZMatrix4X4& m) = default;
    ZMatrix4X4(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
               float m13, float m20, float m21, float m22, float m23, float m30, float m31,
               float m32, float m33);
    ZMatrix4X4(const float entry[16], bool rowMajor);
    // rotation: 9 floats of a row-major 3x3 R; translation: 3 floats. Rows 0..2 become the
    // columns of R (so an OpenGL-style array comes out), row 3 is (t0, t1, t2, 1).
    ZMatrix4X4(const float* rotation, const float* translation);
    ZMatrix4X4& operator=(const ZMatrix4X4& m) = default;

    void MakeZero();
    void MakeIdentity();

    operator const float*() const { return m_afEntry; }
    operator float*() { return m_afEntry; }
    const float* operator[](int row) const { return &m_afEntry[4 * row]; }
    float* operator[](int row) { return &m_afEntry[4 * row]; }
    float operator()(int row, int col) const { return m_afEntry[4 * row + col]; }
    float& operator()(int row, int col) { return m_afEntry[4 * row + col]; }
    void SetRow(int row, const ZVector4& v);
    ZVector4 GetRow(int row) const;
    void SetRow3(int row, const ZVector3& v);
    ZVector3 GetRow3(int row) const;
    void SetColumn(int col, const ZVector4& v);
    ZVector4 GetColumn(int col) const;
    void GetColumnMajor(float* out) const;

    bool operator==(const ZMatrix4X4& m) const;
    bool operator!=(const ZMatrix4X4& m) const;
    bool operator<(const ZMatrix4X4& m) const;
    bool operator<=(const ZMatrix4X4& m) const;
    bool operator>(const ZMatrix4X4& m) const;
    bool operator>=(const ZMatrix4X4& m) const;

    ZMatrix4X4 operator+(const ZMatrix4X4& m) const;
    ZMatrix4X4 operator-(const ZMatrix4X4& m) const;
    ZMatrix4X4 operator*(const ZMatrix4X4& m) const;
    ZMatrix4X4 operator*(float s) const;
    ZMatrix4X4 operator/(float s) const;
    ZMatrix4X4 operator-() const;
    ZMatrix4X4& operator+=(const ZMatrix4X4& m);
    ZMatrix4X4& operator-=(const ZMatrix4X4& m);
    ZMatrix4X4& operator*=(float s);
    ZMatrix4X4& operator/=(float s);
    ZVector4 operator*(const ZVector4& v) const;

    ZMatrix4X4 Transpose() const;
    ZMatrix4X4 TransposeTimes(const ZMatrix4X4& m) const;
    ZMatrix4X4 TimesTranspose(const ZMatrix4X4& m) const;
    ZMatrix4X4 Inverse() const;
    ZMatrix4X4 Adjoint() const;
    float Determinant() const;
    float QForm(const ZVector4& u, const ZVector4& v) const;

    static const ZMatrix4X4 ZERO;
    static const ZMatrix4X4 IDENTITY;

private:
    int CompareArrays(const ZMatrix4X4& m) const;

    float m_afEntry[16];
};

// Row vector times the upper-left 3x3 of m; the translation row is ignored.
ZVector3 operator*(const ZVector3& v, const ZMatrix4X4& m);

// A copy of m whose upper-left 3x3 is replaced by (upper-left 3x3 of m) * r.
ZMatrix4X4 operator*(ZMatrix4X4& m, ZMatrix3X3& r);
