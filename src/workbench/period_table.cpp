// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/period_table.h"

#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_report.h"

namespace velmor {

std::string PeriodTableCsv(const SharedPool& P) {
  std::string out = kPeriodTableHeader;
  out += '\n';
  const int received = P.PeriodNumber - 1;
  for (int i = 1; i <= received && i <= 20; ++i) {
    out += WholeText(i);
    for (double v : {P.Tn2(i), P.Xn2(i), P.Yn2(i), P.Tk1(i - 1), P.Xk1(i - 1), P.Yk1(i - 1),
                     P.Xk2(i), P.Yk2(i), P.An(i)}) {
      out += ',' + DotForm(v);
    }
    // The derived columns need the end of the period; a value that cannot
    // be computed stays empty rather than becoming a wrong number.
    std::string derived = ",,,";
    if (i < received) {
      try {
        const double dT = Chk(P.Tk1(i) - P.Tk1(i - 1));
        const double v = CheckedDiv(P.Nv0, dT);
        const double v1 = Chk((ComputedFrequency(P, P.Qn1(i), P.Qn2(i)) +
                               ComputedFrequency(P, P.Qn1(i + 1), P.Qn2(i + 1))) /
                              2);
        derived = ',' + DotForm(dT) + ',' + DotForm(v) + ',' + DotForm(v1);
      } catch (const ComputeFault&) {
      }
    }
    out += derived;
    out += '\n';
  }
  return out;
}

}  // namespace velmor
