// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as text, in the program's one number locale: a decimal comma,
// independent of the machine's locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmor {

// A field's text as a number: blanks around it ignored, a decimal comma or a
// dot, an optional exponent ("1E-3", "1e+3"). Empty text, other text, and
// numbers beyond the double range give nothing.
std::optional<double> ParseNumber(std::string_view text);

// A whole-number field: parsed as a number, rounded to the nearest whole
// (halves to even), and within the 32-bit range.
std::optional<std::int32_t> ParseWhole(std::string_view text);

// The general form: up to 15 significant digits, no trailing zeros, decimal
// comma, fixed notation for 1E-4 <= |x| < 1E15 and "1,5E-05" style otherwise;
// never grouped, never "-0".
std::string GeneralForm(double x);

// A number first rounded to single precision and shown with up to 7
// significant digits (the program's single-precision text).
std::string SingleForm(double x);

// Whole numbers as text ("-3", "20").
std::string WholeText(long long n);

// Truncation toward zero.
double Fix(double x);

// Fix(x * 10^k) / 10^k: x truncated toward zero to k decimals.
double TruncDecimals(double x, int k);

// The numeric print form of a picture: a blank before a non-negative number.
std::string NumericPrintForm(double x);

// Numbers the automation driver prints: a dot, up to 15 significant digits.
std::string DotForm(double x);

}  // namespace velmor
