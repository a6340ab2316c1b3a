#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "rulmek/zmatrix.h"
#include "test_print.h"

namespace {

constexpr float kMax = 3.4028235e38f;

void expectNear(const float* a, const float* b, int count, float tol = 1e-5f) {
    for (int i = 0; i < count; ++i) {
        EXPECT_NEAR(a[i], b[i], tol) << "entry " << i;
    }
}

TEST(ZMatrixTest, BoolConstructorGivesZeroOrIdentity) {
    EXPECT_EQ(ZMatrix2X2(true), ZMatrix2X2(0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(ZMatrix2X2(false), ZMatrix2X2(1.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(ZMatrix2X2(), ZMatrix2X2(true));
    EXPECT_EQ(ZMatrix3X3(), ZMatrix3X3::ZERO);
    EXPECT_EQ(ZMatrix3X3(false), ZMatrix3X3::IDENTITY);
    EXPECT_EQ(ZMatrix4X4(false), ZMatrix4X4::IDENTITY);
    EXPECT_EQ(ZMatrix4X4::IDENTITY(3, 3), 1.0f);
    EXPECT_EQ(ZMatrix4X4::IDENTITY(3, 2), 0.0f);
}

TEST(ZMatrixTest, ArrayAndVectorConstructorsHonourTheirFlags) {
    const float a[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    const ZMatrix2X2 rows(a, true);
    const ZMatrix2X2 cols(a, false);
    EXPECT_EQ(rows(0, 1), 2.0f);
    EXPECT_EQ(cols(0, 1), 3.0f);
    EXPECT_EQ(cols, rows.Transpose());

    const ZVector3 u(1.0f, 2.0f, 3.0f);
    const ZVector3 v(4.0f, 5.0f, 6.0f);
    const ZVector3 w(7.0f, 8.0f, 9.0f);
    const ZMatrix3X3 byColumns(u, v, w, true);
    const ZMatrix3X3 byRows(u, v, w, false);
    EXPECT_EQ(byColumns.GetColumn(1), v);
    EXPECT_EQ(byRows.GetRow(1), v);
    EXPECT_EQ(byRows(2, 0), 7.0f);
    EXPECT_EQ(byColumns(2, 0), 3.0f);

    const ZVector2 pair[2] = {ZVector2(1.0f, 2.0f), ZVector2(3.0f, 4.0f)};
    EXPECT_EQ(ZMatrix2X2(pair, true), ZMatrix2X2(1.0f, 3.0f, 2.0f, 4.0f));

    EXPECT_EQ(ZMatrix2X2(2.0f, 3.0f), ZMatrix2X2(2.0f, 0.0f, 0.0f, 3.0f));
    EXPECT_EQ(ZMatrix3X3(u, v)(2, 1), 15.0f);
    EXPECT_EQ(ZMatrix2X2(ZVector2(1.0f, 2.0f), ZVector2(3.0f, 4.0f))(1, 0), 6.0f);
}

TEST(ZMatrixTest, RotationsAndAngles) {
    const float quarter = std::numbers::pi_v<float> / 2.0f;
    const ZMatrix2X2 r(quarter);
    const ZVector2 turned = r * ZVector2(1.0f, 0.0f);
    EXPECT_NEAR(turned.X(), 0.0f, 1e-6f);
    EXPECT_NEAR(turned.Y(), 1.0f, 1e-6f);
    float angle = 0.0f;
    r.ToAngle(angle);
    EXPECT_FLOAT_EQ(angle, quarter);

    const ZMatrix3X3 rz(ZVector3::UNIT_Z, quarter);
    const ZVector3 y = rz * ZVector3::UNIT_X;
    EXPECT_NEAR(y.X(), 0.0f, 1e-6f);
    EXPECT_NEAR(y.Y(), 1.0f, 1e-6f);
    EXPECT_NEAR(rz.Determinant(), 1.0f, 1e-6f);
}

TEST(ZMatrixTest, DivisionByZeroGivesLargestFloatInEveryForm) {
    const ZMatrix2X2 q2 = ZMatrix2X2(false) / 0.0f;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(static_cast<const float*>(q2)[i], kMax);
    }
    ZMatrix3X3 c3(false);
    c3 /= 0.0f;
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(static_cast<const float*>(c3)[i], kMax);
    }
    ZMatrix4X4 c4(true);
    c4 /= 0.0f;
    const ZMatrix4X4 q4 = ZMatrix4X4(false) / 0.0f;
    EXPECT_EQ(c4, q4);
    EXPECT_EQ(q4(3, 1), kMax);
    EXPECT_EQ(ZMatrix2X2(2.0f, 4.0f, 6.0f, 8.0f) / 2.0f, ZMatrix2X2(1.0f, 2.0f, 3.0f, 4.0f));
}

TEST(ZMatrixTest, InverseIsZeroAtTheThreshold) {
    // det = 1e-7: not a huge matrix but the zero matrix.
    EXPECT_EQ(ZMatrix2X2(1e-7f, 0.0f, 0.0f, 1.0f).Inverse(), ZMatrix2X2());
    EXPECT_EQ(ZMatrix3X3(1e-7f, 1.0f, 1.0f).Inverse(), ZMatrix3X3::ZERO);
    ZMatrix4X4 nearly(false);
    nearly(2, 2) = 1e-7f;
    EXPECT_EQ(nearly.Inverse(), ZMatrix4X4::ZERO);
    // Just above the threshold it inverts.
    const ZMatrix2X2 small(2e-6f, 0.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(small.Inverse()(0, 0), 5e5f);

    const ZMatrix2X2 m(4.0f, 7.0f, 2.0f, 6.0f);
    expectNear(m * m.Inverse(), ZMatrix2X2(false), 4);
}

TEST(ZMatrixTest, InverseAndAdjointOfFullMatrices) {
    const ZMatrix3X3 m3(2.0f, 0.0f, 1.0f, 1.0f, 3.0f, 2.0f, 1.0f, 1.0f, 2.0f);
    EXPECT_NEAR(m3.Determinant(), 6.0f, 1e-5f);
    expectNear(m3 * m3.Inverse(), ZMatrix3X3::IDENTITY, 9);

    const ZMatrix4X4 m4(2.0f, 1.0f, 0.0f, 0.0f, 1.0f, 3.0f, 1.0f, 0.0f, 0.0f, 1.0f, 4.0f, 1.0f,
                        1.0f, 0.0f, 1.0f, 5.0f);
    const float det = m4.Determinant();
    EXPECT_NE(det, 0.0f);
    expectNear(m4 * m4.Adjoint(), ZMatrix4X4::IDENTITY * det, 16, 1e-3f);
    expectNear(m4.Inverse() * m4, ZMatrix4X4::IDENTITY, 16);
}

TEST(ZMatrixTest, ProductsTransposesAndForms) {
    const ZMatrix2X2 a(1.0f, 2.0f, 3.0f, 4.0f);
    const ZMatrix2X2 b(5.0f, 6.0f, 7.0f, 8.0f);
    EXPECT_EQ(a * b, ZMatrix2X2(19.0f, 22.0f, 43.0f, 50.0f));
    EXPECT_EQ(a.TransposeTimes(b), a.Transpose() * b);
    EXPECT_EQ(a.TimesTranspose(b), a * b.Transpose());
    EXPECT_EQ(a * ZVector2(1.0f, 1.0f), ZVector2(3.0f, 7.0f));
    EXPECT_EQ(a.QForm(ZVector2(1.0f, 0.0f), ZVector2(0.0f, 1.0f)), 2.0f);

    const ZMatrix3X3 m(1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f);
    const ZVector3 d(1.0f, 10.0f, 100.0f);
    EXPECT_EQ(m.TimesDiagonal(d), m * ZMatrix3X3(1.0f, 10.0f, 100.0f));
    EXPECT_EQ(m.DiagonalTimes(d), ZMatrix3X3(1.0f, 10.0f, 100.0f) * m);
}

TEST(ZMatrixTest, ColumnMajorOutputPutsTranslationAtThreeSevenEleven) {
    ZMatrix4X4 m(false);
    m.SetRow(3, ZVector4(10.0f, 20.0f, 30.0f, 1.0f));
    float out[16];
    m.GetColumnMajor(out);
    EXPECT_EQ(out[3], 10.0f);
    EXPECT_EQ(out[7], 20.0f);
    EXPECT_EQ(out[11], 30.0f);
    EXPECT_EQ(out[15], 1.0f);

    const ZMatrix3X3 m3(1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f);
    float out3[9];
    m3.GetColumnMajor(out3);
    EXPECT_EQ(out3[1], 4.0f); // out[c * N + r] = (r, c): (1, 0)
    EXPECT_EQ(out3[5], 8.0f); // (2, 1)
}

TEST(ZMatrixTest, RotationTranslationConstructorGivesOpenGLLayout) {
    const float r[9] = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f};
    const float t[3] = {10.0f, 20.0f, 30.0f};
    const ZMatrix4X4 m(r, t);
    EXPECT_EQ(m.GetRow(0), ZVector4(1.0f, 4.0f, 7.0f, 0.0f));
    EXPECT_EQ(m.GetRow(2), ZVector4(3.0f, 6.0f, 9.0f, 0.0f));
    EXPECT_EQ(m.GetRow(3), ZVector4(10.0f, 20.0f, 30.0f, 1.0f));
    EXPECT_EQ(m.GetRow3(3), ZVector3(10.0f, 20.0f, 30.0f));
}

TEST(ZMatrixTest, OpenGLArraysMultiplyInReverse) {
    // OpenGL arrays of P and Q copied as is; A * B then reads back in OpenGL as Q * P.
    const float p[16] = {1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1};
    const float q[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1, 0, 0, 5, 0, 1};
    const ZMatrix4X4 a(p, true);
    const ZMatrix4X4 b(q, true);
    const ZMatrix4X4 ab = a * b;
    // Q * P in the column-major sense: the ordinary product of the transposes.
    const ZMatrix4X4 qp = ZMatrix4X4(q, false) * ZMatrix4X4(p, false);
    float qpColumnMajor[16];
    qp.GetColumnMajor(qpColumnMajor);
    expectNear(ab, qpColumnMajor, 16);
}

TEST(ZMatrixTest, FreeOperatorsUseTheUpperLeftBlock) {
    ZMatrix4X4 m(false);
    m(0, 1) = 2.0f;
    m.SetRow(3, ZVector4(100.0f, 200.0f, 300.0f, 1.0f));
    EXPECT_EQ(ZVector3(1.0f, 1.0f, 1.0f) * m, ZVector3(1.0f, 3.0f, 1.0f));

    ZMatrix3X3 r(2.0f, 3.0f, 4.0f);
    const ZMatrix4X4 out = m * r;
    EXPECT_EQ(out.GetRow(0), ZVector4(2.0f, 6.0f, 0.0f, 0.0f));
    EXPECT_EQ(out.GetRow(2), ZVector4(0.0f, 0.0f, 4.0f, 0.0f));
    EXPECT_EQ(out.GetRow(3), m.GetRow(3));
}

TEST(ZMatrixTest, ComparisonsOrderBytes) {
    ZMatrix2X2 neg(false);
    neg(0, 0) = -1.0f;
    EXPECT_TRUE(neg > ZMatrix2X2(false));
    EXPECT_FALSE(neg < ZMatrix2X2(false));
    EXPECT_NE(ZMatrix2X2(-0.0f, 0.0f, 0.0f, 0.0f), ZMatrix2X2());
    EXPECT_TRUE(ZMatrix3X3::IDENTITY >= ZMatrix3X3::IDENTITY);
    EXPECT_TRUE(ZMatrix3X3::ZERO < ZMatrix3X3::IDENTITY);
}

} // namespace
