#include "interferometer/segment_report.h"

#include "interferometer/interferometer_engine.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

const char* const kUnitNote =
    "если Real то T=10^6*T   v1(i)=v1(i)/10^6= ТГц    V(i)=V(i)/10^6= тыс.км/с ";
const char* const kColumns1 =
    "          Tk1(i+10)                  Tk2(i+20)                    S1(i+10)              "
    "S2(i+20)              v1(i+10)";
const char* const kColumns2 =
    "                 v1(i+20)                 V1(i+10)                V2(i+20)            "
    "P22(i+10)         P22(i+20)";

// A pair of columns (beam 1, beam 2) and the run between pairs.
const char* const kInPair = "       ";
const char* const kBetweenPairs = "        ";

struct Formats {
  int pathWhole;
  int pathDecimals;
};

std::string Pair(double a, double b, int whole, int decimals) {
  return PaddedFixed(Chk(a), whole, decimals) + kInPair + PaddedFixed(Chk(b), whole, decimals);
}

std::string Label(int n) {
  std::string s = "  " + std::to_string(n);
  s.resize(10, ' ');
  return s;
}

struct RowValues {
  double t1, t2, s1, s2, f1, f2, v1, v2, p1, p2, a1, a2, w1, w2;
};

std::string Row(int label, const RowValues& r, const Formats& f) {
  return Label(label) + Pair(r.t1, r.t2, 1, 12) + kBetweenPairs +
         Pair(r.s1, r.s2, f.pathWhole, f.pathDecimals) + kBetweenPairs + Pair(r.f1, r.f2, 3, 8) +
         kBetweenPairs + Pair(r.v1, r.v2, 3, 7) + kBetweenPairs + Pair(r.p1, r.p2, 1, 7) +
         kBetweenPairs + Pair(r.a1, r.a2, 3, 4) + kBetweenPairs + Pair(r.w1, r.w2, 3, 4);
}

// Row "0" (the start) and the rows of segments 10.. and 20.. up to `last`.
void AddTable(std::vector<std::string>& out, const InterferometerEngine& e, bool real, int rows,
              const Formats& f) {
  const double timeFactor = real ? 1e6 : 1;
  const double perMillion = real ? 1e6 : 1;
  const double deg = e.pool.DegPerRad;
  RowValues start{0,
                  0,
                  0,
                  0,
                  CheckedDiv(e.nu0, perMillion),
                  CheckedDiv(e.nu0, perMillion),
                  CheckedDiv(e.c, perMillion),
                  CheckedDiv(e.c, perMillion),
                  e.rho0(10),
                  e.rho0(20),
                  Chk(e.An(10) * deg),
                  Chk(e.An(20) * deg),
                  Chk(e.An(30) * deg),
                  Chk(e.An(40) * deg)};
  out.push_back(Row(0, start, f));
  for (int i = 0; i < rows; ++i) {
    const int a = i + 10, b = i + 20;
    RowValues r{Chk(e.Tk1(a) * timeFactor),
                Chk(e.Tk2(b) * timeFactor),
                e.Sk1(a),
                e.Sk2(b),
                CheckedDiv(e.nu(a), perMillion),
                CheckedDiv(e.nu(b), perMillion),
                CheckedDiv(e.Vk1(a), perMillion),
                CheckedDiv(e.Vk2(b), perMillion),
                e.rho(a),
                e.rho(b),
                Chk(e.An(a) * deg),
                Chk(e.An(b) * deg),
                Chk(e.An(i + 30) * deg),
                Chk(e.An(i + 40) * deg)};
    out.push_back(Row(a, r, f));
  }
}

void Print(Canvas& page, const std::vector<std::string>& lines) {
  ScaleReportPage(page);
  page.SetCurrent(0, 10.5);
  for (const std::string& line : lines) page.Print(line);
}

}  // namespace

std::vector<std::string> SegmentReportLines(const InterferometerEngine& e, bool real) {
  std::vector<std::string> out = {
      "ii = 10 и jj = 20 общий путь до стеклянной поверхности наклонного полупрозрачного зеркала",
      "  ii = 11  внутри наклонного полупрозрачного зеркала и отражается _________  jj = 21  "
      "внутри наклонного полупрозрачного зеркала и преломление",
      "  ii = 12  нет _________________________________________________________  jj = 22  "
      "свободно ввверх и преломление на прозрачной пластине ",
      "  ii = 13  внутри наклонного полупрозрачного зеркала влево и преломление __  jj = 23  "
      "внутри прозрачной пластины вверх и преломление ",
      "  ii = 14  свободно влево и отражение от зеркала _________________________  jj = 24  "
      "свободно ввверх и отражение ",
      "  ii = 15  свободно вправо и преломление ________________________________  jj = 25  "
      "свободно вниз и преломление на прозрачной пластине ",
      "  ii = 16  внутри наклонного полупрозрачного зеркала вправо и преломление _  jj = 26  "
      "внутри прозрачной пластины вниз и преломление ",
      "  ii = 17  нет _________________________________________________________  jj = 27  "
      "свободно вниз и отражение от наклонного зеркала ",
      "  ii = 18  свободно вправо до приемника _________________________________  jj = 28  "
      "свободно вправо до приемника",
      "",
      kUnitNote,
      kColumns1,
      kColumns2,
      "          An(i+10)         An(i+20)",
      "         An(i+30)          An(i+40)",
  };
  AddTable(out, e, real, 10, Formats{3, 6});
  return out;
}

std::vector<std::string> TwoMirrorReportLines(const InterferometerEngine& e, bool real) {
  std::vector<std::string> out = {
      "ii = 10 от источника внутри колбы до левого зеркала _______jj = 20 от источника внутри "
      "колбы до правого зеркала",
      "    ii = 11  от левого зеркала до приемника _________________ jj = 21  от правого зеркала "
      "до приемника",
      "",
      kUnitNote,
      kColumns1,
      kColumns2,
      "          An(i+10)         An(i+20)          An(i+30)          An(i+40)",
  };
  AddTable(out, e, real, 3, Formats{9, 8});
  return out;
}

void ScaleReportPage(Canvas& page) {
  page.SetScale(0, 10.5, 30, 0);
}

void WriteSegmentReport(Canvas& page, const InterferometerEngine& engine, bool real) {
  Print(page, SegmentReportLines(engine, real));
}

void WriteTwoMirrorReport(Canvas& page, const InterferometerEngine& engine, bool real) {
  Print(page, TwoMirrorReportLines(engine, real));
}

}  // namespace velmor
