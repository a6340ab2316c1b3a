#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "rulmek/zcalculator.h"

namespace {

double evaluate(const char* text) {
    ZCalculator calc;
    calc.setString(text);
    return calc.Engine();
}

TEST(ZCalculatorTest, ArithmeticAndFunctions) {
    EXPECT_EQ(evaluate("2+3*4"), 14.0);
    EXPECT_EQ(evaluate("-(2+3)"), -5.0);
    EXPECT_EQ(evaluate("sqrt(16)"), 4.0);
    EXPECT_EQ(evaluate("10 - 4 - 3"), 3.0);
    EXPECT_EQ(evaluate("1.5*4"), 6.0);
    EXPECT_EQ(evaluate("2*(3+4)"), 14.0);
    EXPECT_EQ(evaluate("EXP(0)+Cos(0)"), 2.0);
    EXPECT_NEAR(evaluate("sin(pi/2)"), 1.0, 1e-12);
    EXPECT_EQ(evaluate("foo(3)"), 0.0);
    // The text is lower-cased and pi is the single-precision value.
    EXPECT_DOUBLE_EQ(evaluate("PI*2"), 6.283185005187988);
}

TEST(ZCalculatorTest, ErrorsEvaluateToOneWhereTheyOccur) {
    EXPECT_EQ(evaluate("6/0"), 1.0);
    EXPECT_EQ(evaluate("1+6/0"), 2.0); // the failing term counts 1.0
    EXPECT_EQ(evaluate("(2+3"), 1.0);
    EXPECT_EQ(evaluate("sqrt(16"), 1.0);
    EXPECT_EQ(evaluate("*"), 1.0);
    EXPECT_EQ(evaluate(""), 1.0);
    ZCalculator noText;
    EXPECT_EQ(noText.Engine(), 1.0);
}

TEST(ZCalculatorTest, StatementsAndSeparators) {
    EXPECT_EQ(evaluate("1+2"), 3.0);
    EXPECT_EQ(evaluate("1+2;"), 1.0); // the end after a separator starts a failing statement
    EXPECT_EQ(evaluate("a;a+1"), 1.0);
    EXPECT_EQ(evaluate("1;;;5"), 5.0);
    EXPECT_EQ(evaluate("x=4"), 4.0);              // "=" only separates
    EXPECT_EQ(evaluate("2,3"), 3.0);              // so does any unknown character
    EXPECT_EQ(evaluate("7 \xe4\xbd\xa0 8"), 8.0); // bytes above 127 are separators too
}

TEST(ZCalculatorTest, VariablesAndTheirTable) {
    ZCalculator calc;
    calc.AddMap("Rate", 2.5);
    calc.SetMap("rate", 4.0); // exact match with the stored lower-case name
    calc.setString("rate*2");
    EXPECT_EQ(calc.Engine(), 8.0);
    calc.SetMap("RATE", 1.0);      // no exact match: a second entry, found after the first
    EXPECT_EQ(calc.Engine(), 1.0); // the cursor is at the end: a failing statement
    calc.setString("rate*2");
    EXPECT_EQ(calc.Engine(), 8.0);

    // A caller's text is never written to, so a literal is fine and stays as it was.
    const std::string text = "Q+1";
    calc.setString(text.c_str());
    EXPECT_EQ(calc.Engine(), 1.0);
    EXPECT_EQ(text, "Q+1");
}

// A subclass supplies values through the one virtual hook.
class FixedTable : public ZCalculator {
protected:
    double findTable(const char* name) override { return std::string(name) == "x" ? 3.0 : 0.0; }
};

TEST(ZCalculatorTest, SubclassSuppliesVariables) {
    FixedTable calc;
    calc.setString("x*x+y");
    EXPECT_EQ(calc.Engine(), 9.0);
}

TEST(ZCalculatorTest, LongNumbersAndNamesAreTruncated) {
    // 60 digits: only the first 49 are kept.
    const std::string digits(60, '1');
    const double expected = std::stod(std::string(49, '1'));
    EXPECT_DOUBLE_EQ(evaluate(digits.c_str()), expected);

    ZCalculator calc;
    const std::string name(80, 'v');
    calc.SetMap(std::string(49, 'v').c_str(), 6.0);
    calc.setString((name + "+1").c_str());
    EXPECT_EQ(calc.Engine(), 7.0);
}

TEST(ZCalculatorTest, RepeatedEnginesStayAtTheEnd) {
    ZCalculator calc;
    calc.setString("((((");
    EXPECT_EQ(calc.Engine(), 1.0);
    EXPECT_EQ(calc.Engine(), 1.0);
    calc.setString("-");
    EXPECT_EQ(calc.Engine(), -1.0);
}

TEST(ZCalculatorTest, DeepNestingIsBounded) {
    const std::string deep = std::string(100000, '(') + "1";
    EXPECT_EQ(evaluate(deep.c_str()), 1.0);
    // Past the bound the remaining signs are read as further terms; all that matters is that
    // the evaluation ends with a number.
    const std::string signs = std::string(100000, '-') + "2";
    EXPECT_TRUE(std::isfinite(evaluate(signs.c_str())));
    // Within the bound nesting works as usual.
    EXPECT_EQ(evaluate("-(-(-(3)))"), -3.0);
}

} // namespace
