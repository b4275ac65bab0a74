// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_formulas.h"

#include "shared/checked_math.h"

namespace velmor {

double MediumDoppler(double v0, double Q1, double Q2, double V1, double V2, double c1, double c2,
                     double c, bool relativistic) {
  const double up = Chk(1 - CheckedDiv(Chk(CheckedCos(Q1) * V1), c1));
  const double down = Chk(1 - CheckedDiv(Chk(CheckedCos(Q2) * V2), c2));
  double v = CheckedDiv(Chk(v0 * up), down);
  if (relativistic) {
    const double c2s = Chk(c * c);
    const double g2 = CheckedSqrt(Chk(1 - CheckedDiv(Chk(V2 * V2), c2s)));
    const double g1 = CheckedSqrt(Chk(1 - CheckedDiv(Chk(V1 * V1), c2s)));
    v = CheckedDiv(Chk(v * g2), g1);
  }
  return v;
}

}  // namespace velmor
