// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Arithmetic that faults where the program's arithmetic faults: division by
// zero (0/0 too), square root or fractional power of a negative number, and
// any result that overflows to infinity or is not a number. The plain
// operators stay in use for everything that cannot fault.
#include <cmath>

#include "shared/faults.h"

namespace velmor {

// A value about to be stored or shown: infinity and NaN are faults.
inline double Chk(double x) {
  if (!std::isfinite(x)) RaiseComputeFault("overflow");
  return x;
}

// The other operations, checked at each step, for formulas where an overflow
// inside an expression must fault even when a later step would bring the
// value back into range.
inline double CheckedMul(double a, double b) {
  return Chk(a * b);
}
inline double CheckedAdd(double a, double b) {
  return Chk(a + b);
}
inline double CheckedSub(double a, double b) {
  return Chk(a - b);
}
inline double CheckedSquare(double a) {
  return Chk(a * a);
}

inline double CheckedDiv(double a, double b) {
  if (b == 0.0) RaiseComputeFault("division by zero");
  return Chk(a / b);
}

inline double CheckedSqrt(double x) {
  if (!(x >= 0.0)) RaiseComputeFault("square root of a negative number");
  return Chk(std::sqrt(x));
}

// General power x^y: a negative base with a non-whole exponent, or 0 to a
// negative power, is a fault.
inline double CheckedPow(double x, double y) {
  if (x < 0.0 && y != std::trunc(y)) RaiseComputeFault("power of a negative number");
  if (x == 0.0 && y < 0.0) RaiseComputeFault("division by zero");
  return Chk(std::pow(Chk(x), Chk(y)));
}

inline double CheckedAtan(double x) {
  return std::atan(Chk(x));
}
inline double CheckedSin(double x) {
  return std::sin(Chk(x));
}
inline double CheckedCos(double x) {
  return std::cos(Chk(x));
}
inline double CheckedExp(double x) {
  return Chk(std::exp(Chk(x)));
}

inline double CheckedLog(double x) {
  if (!(x > 0.0)) RaiseComputeFault("logarithm of a non-positive number");
  return Chk(std::log(x));
}

// A double turned into a 32-bit whole number (rounding half to even, as the
// program's whole-number conversion does); out of range is an overflow fault.
int ToWhole32(double x);

}  // namespace velmor
