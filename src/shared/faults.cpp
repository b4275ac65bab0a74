// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/faults.h"

#include <cmath>

#include "shared/checked_math.h"

namespace velmor {

void RaiseComputeFault(const char* what) {
  throw ComputeFault(what);
}
void RaiseInputFault(const char* what) {
  throw InputFault(what);
}

int ToWhole32(double x) {
  Chk(x);
  const double r = std::nearbyint(x);
  if (r < -2147483648.0 || r > 2147483647.0) RaiseComputeFault("overflow");
  return static_cast<int>(r);
}

}  // namespace velmor
