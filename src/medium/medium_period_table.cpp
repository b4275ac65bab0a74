// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_period_table.h"

#include "medium/medium_report.h"
#include "medium/medium_state.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/period_table_header.h"
#include "shared/shared_pool.h"

namespace velmor {

std::string MediumPeriodTableCsv(const SharedPool& P, const MediumState& M) {
  std::string out = kPeriodTableHeader;
  out += '\n';
  const bool bundle = M.Run.kod == kBundleKind;
  const int n = bundle ? BundleObservedPeriods(P) : PotentialObservedPeriods(P);
  // The field of retarded potentials records no source position at a
  // reception: whatever those arrays hold is another run's.
  auto source = [&](double v) { return bundle ? DotForm(v) : std::string(); };
  for (int i = 1; i <= n; ++i) {
    try {
      const double dT = Chk(P.Tk1(i + 1) - P.Tk1(i));
      std::string row = WholeText(i);
      for (const std::string& v :
           {DotForm(P.Tn2(i)), DotForm(P.Xn2(i)), DotForm(P.Yn2(i)), DotForm(P.Tk1(i)),
            DotForm(P.Xk1(i)), DotForm(P.Yk1(i)), source(P.Xk2(i)), source(P.Yk2(i)),
            DotForm(Chk(M.RecvAngle(i) * P.DegPerRad)), DotForm(dT), DotForm(CheckedDiv(1, dT)),
            DotForm(P.v1(i))}) {
        row += ',' + v;
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
