// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_report.h"

#include <algorithm>
#include <string>

#include "medium/medium_run.h"
#include "medium/medium_state.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/report_page.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr double kBlockTop = 591;
constexpr double kBlockHeight = 7;
constexpr int kLastPeriod = 20;

const char* const kLegend = "        1- приемник  2- источник  i - нимер условного периода\n";

// A value truncated toward zero to k decimals, in the general form.
std::string F(double x, int k) {
  return GeneralForm(Chk(TruncDecimals(Chk(x), k)));
}
std::string G(double x) {
  return GeneralForm(Chk(x));
}
std::string W(int n) {
  return WholeText(n);
}
// An angle in radians as degrees, to two decimals.
std::string Deg2(const SharedPool& P, double radians) {
  return F(Chk(radians * P.DegPerRad), 2);
}

double BlockY(int i) {
  return kBlockTop - kBlockHeight * (i - 1);
}

// For each observed period 1 … n its dT and computed frequencies stored and
// its block printed; then the summary table, `head` and a row a period.
template <class Block, class Row>
void PrintPeriods(Canvas& page, SharedPool& P, MediumState& M, int n, bool localSpeeds,
                  bool relativistic, Block block, std::string head, Row row) {
  for (int i = 1; i <= n; ++i) {
    const double dT = Chk(P.Tk1(i + 1) - P.Tk1(i));
    M.StoredDT(i) = dT;
    StorePeriodFrequencies(P, M, i, localSpeeds, relativistic);
    page.PrintAt(0, BlockY(i), block(i, dT));
  }
  for (int k = 1; k <= n; ++k) head += row(k);
  page.PrintAt(0, BlockY(n + 1), head);
}

// Receptions i and i + 1 recorded: observed period i, 1 … n.
int Clamp(int n) {
  return std::clamp(n, 0, kLastPeriod - 1);
}

}  // namespace

int BundleObservedPeriods(const SharedPool& P) {
  return Clamp(P.PeriodNumber - 2);
}

int PotentialObservedPeriods(const SharedPool& P) {
  return Clamp(P.PeriodNumber - 1);
}

void PrintBundleHeader(Canvas& page, const SharedPool& P, const MediumState& M) {
  page.Cls();
  page.PrintAt(0, kReportLegendY, kLegend);
  std::string r;
  r += " Tn2(i)- время передачи сигнала начала i-го условного периода по часам ИСО\n";
  r += " Xn2(i)- координата источника в начале передачи сигнала i-го условного периода \n";
  r += " Tn1(i) - время приема сигнала начала i-го условного периода по часам ИСО\n";
  r += " Tk1(i) - время приема сигнала начала i-го реального периода и по часам приемника\n";
  r += " Xk1(i) и Xk2(i) - координаты приемника и источника при приема начала i-го условного "
       "периода\n";
  r += " QV1= " + F(P.QV1, 2) + "  и QV2= " + F(P.QV2, 2) +
       " - углы между скоростью приемника и источника и осью X\n";
  r += " Qn1(i) и Qn2(i) - углы между лучом зрения с источника и скоростью приемника и "
       "источника\n";
  r += " kT1=  " + F(M.kT1, 3) + "      kT2=  " + F(M.kT2, 3) +
       "     - коэффициенты темпа времени на приемнике и источнике\n";
  r += " v0=  " + F(M.Run.v0, 3) +
       " - реальная и условная частота передатчика по часам как источника, так и ИСО\n";
  r += " T00=  " + G(P.T00) +
       " - условный период колебаний передатчика с частотой v0 по времени ИСО\n";
  r += " T0=  " + F(P.CurrentTime, 3) +
       " - время начала эксперимента по часам ИСО, где начало отсчета (как и для источника)\n";
  r += " согласовано с началом координатного временем приемника, если была задана VXiso\n";
  page.PrintAt(0, kReportTextY, r);
}

void PrintPotentialHeader(Canvas& page, const SharedPool& P, const MediumState& M) {
  page.Cls();
  page.PrintAt(0, kReportLegendY, kLegend);
  std::string r;
  r += " Tn2(i)- время передачи сигнала начала i-го периода\n";
  r += " Tn1(i)=Tk1(i)- время приема сигнала начала i-го периода\n";
  r += " Xn2(i)- координата источника в начале i-го периода сигнала \n";
  r += " Xk1(i)- координата приемника при приема сигнала начала i-го периода\n";
  r += " QV1= " + F(P.QV1, 2) + " - угол между скоростью приемника и осью X\n";
  r += " Qn1(i) - угол между лучом зрения с источника и скоростью приемника \n";
  r += " QV2= " + F(P.QV2, 2) + " - угол между скоростью источника и осью X\n";
  r += " Qn2(i) - угол между лучом зрения с источника и скоростью источника \n";
  r += " T00=  " + G(P.T00) + "    - условный период колебаний передатчика\n";
  r += " v0=1/T00  " + G(M.Run.v0) + "     - частота передатчика \n";
  r += " T0  " + G(P.CurrentTime) + "     - время начала эксперимента  \n";
  r += " kT1=  " + F(M.kT1, 3) + "      kT2=  " + F(M.kT2, 3) +
       "     - замедление времени на приемнике и источнике\n";
  page.PrintAt(0, kReportTextY, r);
}

void PrintBundleReport(Canvas& page, SharedPool& P, MediumState& M, bool relativistic) {
  auto block = [&](int i, double dT) {
    std::string r;
    r += "                         обрабатываем сигналы условного периода № " + W(i) + "\n";
    r += " координаты и время по часам ИСО источника и приемника для начала условного периода "
         "(i)\n";
    r += " Tn2(" + W(i) + ") = " + F(P.Tn2(i), 6) + "        Xn2(" + W(i) +
         ") = " + F(P.Xn2(i), 6) + "        Yn2(" + W(i) + ") = " + F(P.Yn2(i), 6) + "       Xk2(" +
         W(i - 1) + ") = " + F(P.Xk2(i), 6) + "         Yk2(" + W(i - 1) + ") = " + F(P.Yk2(i), 6) +
         "\n";
    r += " Tn1(" + W(i - 1) + ") = " + F(P.Tn1(i), 6) + "        Xk1(" + W(i - 1) +
         ") = " + F(P.Xk1(i), 6) + "        Yk1(" + W(i - 1) + ") = " + F(P.Yk1(i), 6) + "\n";
    r += " время по часам приемника начала реального периода Tk1(" + W(i - 1) +
         ") = " + F(P.Tk1(i), 6) + "\n";
    r += " угол луча зрения на источнике в момент излучения начала периода   " +
         Deg2(P, M.EmitAngle(i)) + "\n";
    r += " угол луча зрения на приемнике в момент приема начала периода   " +
         Deg2(P, M.RecvAngle(i)) + "\n";
    r += " угол скорости приемника в начале " + W(i) + " периода Qn1(" + W(i) +
         ") = " + Deg2(P, P.Qn1(i)) + "\n";
    r += " угол скорости источника в начале " + W(i) + " периода Qn2(" + W(i) +
         ") = " + Deg2(P, P.Qn2(i)) + "\n";
    r += " наблюдаемый период на приемнике и реальная частота\n";
    r += " dT= Tk1(" + W(i) + ") - Tk1(" + W(i - 1) + ") = " + F(dT, 3) + "                   v(" +
         W(i) + ") = 1/dT= " + G(CheckedDiv(1, dT)) + "\n";
    r += " расчетная частота в начале периода vn(" + W(i) + ") = " + G(P.v1n(i)) + "\n";
    r += " расчетная частота в конце  периода  vk(" + W(i) + ") = " + G(P.v1k(i)) + "\n";
    r += " средняя частота за период v(" + W(i) + ") = (v1n(i) + v1k(i)) / 2  = " + G(P.v1(i)) +
         "\n\n";
    return r;
  };
  auto row = [&](int k) {
    return "   " + W(k) + "         " + Deg2(P, P.Qn2(k)) + "    " + Deg2(P, P.Qn2(k + 1)) +
           "         " + Deg2(P, P.Qn1(k)) + "    " + Deg2(P, P.Qn1(k + 1)) + "         " +
           G(CheckedDiv(1, M.StoredDT(k))) + "        " + G(P.v1(k)) + "\n";
  };
  PrintPeriods(page, P, M, BundleObservedPeriods(P), true, relativistic, block,
               "№ периода      углы при вылете     углы при приеме     наблюдаемая и расчетная "
               "частота \n",
               row);
}

void PrintPotentialReport(Canvas& page, SharedPool& P, MediumState& M, bool relativistic) {
  auto block = [&](int i, double dT) {
    std::string r;
    r += "             обрабатываем сигналы условного периода № " + W(i) + "\n";
    r += " координаты и время источника и приемника для начала и конца периода\n";
    for (int e = i; e <= i + 1; ++e) {
      r += " Tn2(" + W(e) + ") = " + F(P.Tn2(e), 6) + "        Xn2(" + W(e) +
           ") = " + F(P.Xn2(e), 6) + "               Tk1(" + W(e) + ") = " + F(P.Tk1(e), 6) +
           "        Xk1(" + W(e) + ") = " + F(P.Xk1(e), 6) + "\n";
    }
    r += " угол луча зрения в начале условного периода = " + Deg2(P, M.RecvAngle(i)) + "\n";
    r += " угол луча зрения в конце  условного периода = " + Deg2(P, M.RecvAngle(i + 1)) + "\n";
    r += " угол скорости приемника и источника в начале " + W(i) + " периода Q1(" + W(i) +
         ") = " + Deg2(P, P.Qn1(i)) + "      Q2(" + W(i) + ") = " + Deg2(P, P.Qn2(i)) + "\n";
    r += " угол скорости приемника и источника в конце   " + W(i) + " периода Q1(" + W(i + 1) +
         ") = " + Deg2(P, P.Qn1(i + 1)) + "      Q2(" + W(i + 1) + ") = " + Deg2(P, P.Qn2(i + 1)) +
         "\n";
    r += " наблюдаемый условный период на приемнике и реальная частота \n";
    r += " dT= Tk1(" + W(i + 1) + ") - Tk1(" + W(i) + ") = " + F(dT, 3) + "      v(" + W(i) +
         ") = 1/dT= " + F(CheckedDiv(1, dT), 3) + "\n";
    r += " расчетная частота принимаемого сигнала в начале периода vn(" + W(i) +
         ") = " + F(P.v1n(i), 3) + "\n";
    r += " расчетная частота принимаемого сигнала в конце периода     vk(" + W(i) +
         ") = " + F(P.v1k(i), 3) + "\n";
    r += "                                    v(" + W(i) +
         ") = (v1n(i) + v1k(i)) / 2  = " + F(P.v1(i), 3) + "\n\n";
    return r;
  };
  auto row = [&](int k) {
    return "   " + W(k) + "         " + Deg2(P, P.Qn1(k)) + "         " + Deg2(P, P.Qn2(k)) +
           "         " + G(CheckedDiv(1, M.StoredDT(k))) + "        " + G(P.v1(k)) + "\n";
  };
  PrintPeriods(page, P, M, PotentialObservedPeriods(P), false, relativistic, block,
               "№ периода      угол скорости 1       угол скорости 2       наблюдаемая частота     "
               "расчетная частота \n",
               row);
}

}  // namespace velmor
