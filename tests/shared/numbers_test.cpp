// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace velmor {
namespace {

TEST(ParseNumber, AcceptsCommaDotExponentAndBlanks) {
  EXPECT_EQ(ParseNumber("86,60254"), 86.60254);
  EXPECT_EQ(ParseNumber("86.60254"), 86.60254);
  EXPECT_EQ(ParseNumber("  -5 "), -5.0);
  EXPECT_EQ(ParseNumber("+5"), 5.0);
  EXPECT_EQ(ParseNumber("1E-3"), 1e-3);
  EXPECT_EQ(ParseNumber("1e+3"), 1e3);
  EXPECT_EQ(ParseNumber("2,5E2"), 250.0);
  EXPECT_EQ(ParseNumber(",5"), 0.5);
  EXPECT_EQ(ParseNumber("5,"), 5.0);
  EXPECT_EQ(ParseNumber("1E308"), 1e308);
  EXPECT_EQ(ParseNumber("-1E308"), -1e308);
  // A number too small for a normal double is still a (tiny) number.
  ASSERT_TRUE(ParseNumber("1E-320").has_value());
  EXPECT_GT(*ParseNumber("1E-320"), 0.0);
}

TEST(ParseNumber, RefusesEverythingElse) {
  for (const char* bad :
       {"",    "   ", "abc",      "1,2,3", "1.2.3",  "1E",   "E5",  "-",     ",",   "1E+", "NaN",
        "nan", "inf", "Infinity", "1E309", "-1E400", "0x10", "5 5", "1 000", "12a", "--5"}) {
    EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
  }
}

TEST(ParseWhole, RoundsHalfToEvenWithin32Bits) {
  EXPECT_EQ(ParseWhole("20"), 20);
  EXPECT_EQ(ParseWhole("2,5"), 2);
  EXPECT_EQ(ParseWhole("3,5"), 4);
  EXPECT_EQ(ParseWhole("-2,5"), -2);
  EXPECT_EQ(ParseWhole("2147483647"), 2147483647);
  EXPECT_EQ(ParseWhole("-2147483648"), -2147483647 - 1);
  EXPECT_FALSE(ParseWhole("2147483648").has_value());
  EXPECT_FALSE(ParseWhole("1E308").has_value());
  EXPECT_FALSE(ParseWhole("x").has_value());
}

TEST(GeneralForm, FifteenDigitsDecimalCommaNoGrouping) {
  EXPECT_EQ(GeneralForm(4.99999998411290), "4,9999999841129");
  EXPECT_EQ(GeneralForm(0.2), "0,2");
  EXPECT_EQ(GeneralForm(-3), "-3");
  EXPECT_EQ(GeneralForm(1e-5), "1E-05");
  EXPECT_EQ(GeneralForm(1.5e-5), "1,5E-05");
  EXPECT_EQ(GeneralForm(1e15), "1E+15");
  EXPECT_EQ(GeneralForm(1234567890123456.0), "1,23456789012346E+15");
  EXPECT_EQ(GeneralForm(299790000), "299790000");
  EXPECT_EQ(GeneralForm(1e-4), "0,0001");
  EXPECT_EQ(GeneralForm(999999999999999.0), "999999999999999");
  EXPECT_EQ(GeneralForm(-0.0), "0");
  EXPECT_EQ(GeneralForm(1.0 / 3), "0,333333333333333");
  EXPECT_EQ(GeneralForm(1e300), "1E+300");
}

TEST(GeneralForm, DoesNotDependOnTheMachineLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  for (const char* loc : {"ru_RU.UTF-8", "de_DE.UTF-8", "C.UTF-8"}) {
    if (!std::setlocale(LC_ALL, loc)) continue;
    EXPECT_EQ(GeneralForm(1234.5), "1234,5") << loc;
    EXPECT_EQ(ParseNumber("1234,5"), 1234.5) << loc;
    EXPECT_EQ(ParseNumber("1234.5"), 1234.5) << loc;
  }
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(Fix, TruncatesTowardZero) {
  EXPECT_EQ(Fix(2.9), 2.0);
  EXPECT_EQ(Fix(-2.9), -2.0);
  EXPECT_EQ(TruncDecimals(53.7946, 2), 53.79);
  EXPECT_EQ(TruncDecimals(-53.7946, 1), -53.7);
  EXPECT_EQ(GeneralForm(TruncDecimals(-115.2491234567, 6)), "-115,249123");
}

TEST(NumericPrintForm, BlankBeforeNonNegative) {
  EXPECT_EQ(NumericPrintForm(5), " 5");
  EXPECT_EQ(NumericPrintForm(0), " 0");
  EXPECT_EQ(NumericPrintForm(-3), "-3");
  EXPECT_EQ(NumericPrintForm(0.25), " 0,25");
}

TEST(DotForm, DotAndFifteenDigits) {
  EXPECT_EQ(DotForm(599.9), "599.9");
  EXPECT_EQ(DotForm(-0.3), "-0.3");
  EXPECT_EQ(DotForm(0), "0");
}

}  // namespace
}  // namespace velmor
