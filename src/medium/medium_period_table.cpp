// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_period_table.h"

#include "medium/medium_report.h"
#include "medium/medium_state.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"
#include "workbench/period_table.h"

namespace velmor {

std::string MediumPeriodTableCsv(const SharedPool& P, const MediumState& M) {
  std::string out = kPeriodTableHeader;
  out += '\n';
  const int n =
      M.ExperimentKind == kBundleKind ? BundleObservedPeriods(P) : PotentialObservedPeriods(P);
  for (int i = 1; i <= n; ++i) {
    try {
      const double dT = Chk(P.Tk1(i + 1) - P.Tk1(i));
      std::string row = WholeText(i);
      for (double v :
           {P.Tn2(i), P.Xn2(i), P.Yn2(i), P.Tk1(i), P.Xk1(i), P.Yk1(i), P.Xk2(i), P.Yk2(i),
            Chk(M.RecvAngle(i) * P.DegPerRad), dT, CheckedDiv(1, dT), P.v1(i)}) {
        row += ',' + DotForm(v);
      }
      out += row + '\n';
    } catch (const ComputeFault&) {
      // A period whose values cannot be computed is left out, not written
      // with a wrong number.
    }
  }
  return out;
}

}  // namespace velmor
