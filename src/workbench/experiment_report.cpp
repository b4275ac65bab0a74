// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_report.h"

#include <cmath>
#include <string>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/report_page.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

std::string G(double x) {
  return GeneralForm(Chk(x));
}
std::string W(int i) {
  return WholeText(i);
}

}  // namespace

double ComputedFrequency(const SharedPool& P, double qn1, double qn2) {
  const double K = P.DegPerRad;
  // v0 * (1 - cos(Qn1/K) * V1 / Vs) / (1 - cos(Qn2/K) * V2 / Vs), in the
  // order written.
  const double num = Chk(1 - CheckedDiv(Chk(std::cos(CheckedDiv(qn1, K)) * P.V1), P.Vs));
  const double den = Chk(1 - CheckedDiv(Chk(std::cos(CheckedDiv(qn2, K)) * P.V2), P.Vs));
  return CheckedDiv(Chk(P.v0 * num), den);
}

double F6(const SharedPool& P, double x) {
  return CheckedDiv(Fix(Chk(Chk(x) * P.Million)), P.Million);
}

double F2(double x) {
  return Fix(Chk(Chk(x) * 100)) / 100;
}

void PrintReportHeader(Canvas& page, SharedPool& P) {
  page.Cls();
  P.ReportText = "        1- приемник  2- источник  i - нимер условного периода\n";
  page.PrintAt(0, kReportLegendY, P.ReportText);
  std::string& r = P.ReportText;
  r = " Tn2(i)- время начала передачи сигнала i-го периода\n";
  r += " Tk1(i)- время конца приема сигнала i-го периода\n";
  r += " Tn1(i)- время при приеме сигнала i-го периода, когда источник \n";
  r += "                     начал передачу сигнала следующего периода\n";
  r += " Xn2(i)- коорд. источника в начале передачи сигнала i-го периода\n";
  r += " Xn1(i)- коорд. приемника в начале передачи сигнала i+1-го периода\n";
  r += " Xk2(i)- коорд. источника в тот момент времени, когда сигнал от \n";
  r += "                           начала i-го периода достиг приемника\n";
  r += " Xk1(i)- координата приемника в конце приема сигнала i-го периода\n";
  r += " QV1= " + G(F2(P.QV1)) + " - угол между скоростью приемника и осью X\n";
  r += " Qn1(i) - угол между лучом зрения с источника и скоростью приемника \n";
  r += " QV2= " + G(F2(P.QV2)) + " - угол между скоростью источника и осью X\n";
  r += " Qn2(i) - угол между лучом зрения с источника и скоростью источника \n";
  r += " T00=  " + G(P.T00) + "    - условный период колебаний\n";
  r += " v0=  " + G(P.v0) + "     - частота передатчика \n";
  r += " Nv0=  " + G(P.Nv0) + "  - периодов передатчика в условном периоде \n";
  page.PrintAt(0, kReportTextY, r);
}

void PrintPeriodReport(Canvas& page, SharedPool& P) {
  const int p = P.PeriodNumber;
  const int last = p - 1;  // the last received period: its end is still to come
  for (int i = 1; i <= last; ++i) {
    const bool ended = i < last;
    double v = 0;
    if (ended) {
      P.dT(i) = Chk(P.Tk1(i) - P.Tk1(i - 1));
      v = CheckedDiv(P.Nv0, P.dT(i));
    }
    P.v1n(i) = ComputedFrequency(P, P.Qn1(i), P.Qn2(i));
    if (ended) {
      P.v1k(i) = ComputedFrequency(P, P.Qn1(i + 1), P.Qn2(i + 1));
      P.v1(i) = Chk((P.v1n(i) + P.v1k(i)) / 2);
    }
    const std::string si = W(i), sp = W(i - 1);
    // A line that needs the end of the period stays empty: the whole block,
    // printed at the same place once the end is received, covers this one.
    std::string& r = P.ReportText;
    r = "             обрабатываем сигналы условного периода № " + si + "\n";
    r += " координаты и время источника и приемника для начала и конца\n";
    r += " Tn2(" + si + ") = " + G(F6(P, P.Tn2(i))) + "        Xn2(" + si +
         ") = " + G(F6(P, P.Xn2(i))) + "        Yn2(" + si + ") = " + G(F6(P, P.Yn2(i))) + "\n";
    if (ended) {
      r += " Tk2(" + si + ") = " + G(F6(P, P.Tk1(i))) + "       Xk2(" + si +
           ") = " + G(F6(P, P.Xk2(i))) + "         Yk2(" + si + ") = " + G(F6(P, P.Yk2(i)));
    }
    r += "\n";
    r += " Tk1(" + sp + ") = " + G(F6(P, P.Tk1(i - 1))) + "        Xk1(" + sp +
         ") = " + G(F6(P, P.Xk1(i - 1))) + "        Yk1(" + sp + ") = " + G(F6(P, P.Yk1(i - 1))) +
         "\n";
    if (ended) {
      r += " Tk1(" + si + ") = " + G(F6(P, P.Tk1(i))) + "        Xk1(" + si +
           ") = " + G(F6(P, P.Xk1(i))) + "        Yk1(" + si + ") = " + G(F6(P, P.Yk1(i)));
    }
    r += "\n\n";
    r += " угол луча зрения в начале приема условного периода = " + G(P.An(i)) + "\n";
    r += " отклонение скорости приемника Qn1(" + si + ") = " + G(P.Qn1(i)) + "\n";
    r += " отклонение скорости источника  Qn2(" + si + ") = " + G(P.Qn2(i)) + "\n\n";
    if (ended) {
      r += " наблюдаемый условный период на приемнике и реальная частота \n";
      r += " dT= Tk1(" + si + ") - Tk1(" + sp + ") = " + G(P.dT(i)) + "\n";
      r += " v(" + si + ") = Nv0/dT= " + G(v) + "\n\n";
    } else {
      r += "\n\n\n\n";
    }
    r += " расчетная реальная частота принимаемого сигнала  \n";
    r += " частота в начале условного периода v1n(" + si + ") = " + G(P.v1n(i)) + "\n";
    if (ended) {
      r += " частота в конце условного периода   v1k(" + si + ") = " + G(P.v1k(i)) + "\n";
      r += "                        v1(" + si + ") = (v1n(i) + v1k(i)) / 2  = " + G(P.v1(i)) +
           "\n\n";
    }
    page.PrintAt(0, 591 - 10 * (i - 1), r);
  }
  // The last received period's row has its angle only.
  std::string& r = P.ReportText;
  r = "№ периода      угол       наблюдаемая частота     расчетная частота \n";
  for (int n = 1; n <= last; ++n) {
    r += "   " + W(n) + "         " + G(F2(P.An(n)));
    if (n < last) {
      r += "         " + G(CheckedDiv(P.Nv0, P.dT(n))) + "        " + G(P.v1(n));
    }
    r += "\n";
  }
  page.PrintAt(0, 591 - 10 * (last > 0 ? last : 0), r);
}

}  // namespace velmor
