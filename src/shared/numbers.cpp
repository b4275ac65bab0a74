// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace velmor {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Accepts [+-] digits [sep digits] [(e|E) [+-] digits], at least one mantissa
// digit, and rewrites it with a dot so from_chars can read it.
std::optional<std::string> Normalise(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  s = s.substr(b, e - b);
  if (s.empty()) return std::nullopt;
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') {
    if (s[i] == '-') out.push_back('-');
    ++i;
  }
  int mantissaDigits = 0;
  while (i < s.size() && IsDigit(s[i])) {
    out.push_back(s[i++]);
    ++mantissaDigits;
  }
  if (i < s.size() && (s[i] == ',' || s[i] == '.')) {
    out.push_back('.');
    ++i;
    while (i < s.size() && IsDigit(s[i])) {
      out.push_back(s[i++]);
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    out.push_back('e');
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.push_back(s[i++]);
    int expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
      out.push_back(s[i++]);
      ++expDigits;
    }
    if (expDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  return out;
}

// Up to 15 significant digits like printf's %.15g, but independent of the C
// library's locale (the toolkit sets it from the environment).
std::string Digits15(double x) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  const auto norm = Normalise(text);
  if (!norm) return std::nullopt;
  double value = 0.0;
  const char* first = norm->data();
  const char* last = first + norm->size();
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ptr != last) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Beyond the double range: an underflow toward zero is still a (tiny)
    // number, an overflow is not. The wider type tells which it was.
    long double wide = 0;
    const auto [wptr, wec] = std::from_chars(first, last, wide);
    if (wec != std::errc() || wptr != last) return std::nullopt;
    value = static_cast<double>(wide);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
  }
  if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int32_t> ParseWhole(std::string_view text) {
  const auto v = ParseNumber(text);
  if (!v) return std::nullopt;
  const double r = std::nearbyint(*v);
  if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(r);
}

std::string GeneralForm(double x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
  if (x == 0.0) return "0";
  std::string s = Digits15(x);
  for (char& c : s) {
    if (c == '.') c = ',';
    if (c == 'e') c = 'E';
  }
  // "%.15G" rounds to 15 digits; a value that rounds to zero never occurs
  // here because x != 0, but guard "-0" all the same.
  if (s == "-0") return "0";
  return s;
}

std::string SingleForm(double x) {
  const float f = static_cast<float>(x);
  if (f == 0.0f) return "0";
  char buf[64];
  const auto [end, ec] =
      std::to_chars(buf, buf + sizeof buf, static_cast<double>(f), std::chars_format::general, 7);
  if (ec != std::errc()) return "0";
  std::string s(buf, end);
  for (char& c : s) {
    if (c == '.') c = ',';
    if (c == 'e') c = 'E';
  }
  return s;
}

std::string WholeText(long long n) {
  return std::to_string(n);
}

double Fix(double x) {
  return std::trunc(x);
}

double TruncDecimals(double x, int k) {
  const double f = std::pow(10.0, k);
  return Fix(x * f) / f;
}

std::string NumericPrintForm(double x) {
  std::string s = GeneralForm(x);
  if (!s.empty() && s[0] != '-') s.insert(s.begin(), ' ');
  return s;
}

std::string DotForm(double x) {
  if (x == 0.0) return "0";
  return Digits15(x);
}

}  // namespace velmor
