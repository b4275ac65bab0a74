// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/segment_report.h"

#include "interferometer/interferometer_engine.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

const char* const kUnitNote =
    "если Real то T=10^6*T   v1(i)=v1(i)/10^6= ТГц    V(i)=V(i)/10^6= тыс.км/с ";
const char* const kHeader1 =
    "          Tk1(i+10)                  Tk2(i+20)                    S1(i+10)              "
    "S2(i+20)              v1(i+10)";
const char* const kHeader2 =
    "                 v1(i+20)                 V1(i+10)                V2(i+20)            "
    "P22(i+10)         P22(i+20)";

struct Formats {
  int pathWhole;
  int pathDecimals;
};

// Column widths in page units (x 0..30 over the page): the row label, then
// beam 1 and beam 2 side by side for time, path, frequency, speed and
// density, then the four angles; each wide enough for its widest value.
double ColumnWidth(int column, const Formats& f) {
  static constexpr double kWidths[15] = {0.8,  2.3, 2.3, 1.75, 1.75, 2.95, 2.95, 1.85,
                                         1.85, 1.5, 1.5, 1.45, 1.45, 1.45, 1.45};
  if ((column == 3 || column == 4) && f.pathWhole > 3) return 2.95;
  return kWidths[column];
}

struct RowValues {
  double t1, t2, s1, s2, f1, f2, v1, v2, p1, p2, a1, a2, w1, w2;
};

ReportLine Text(std::string text) {
  return ReportLine{{{0, std::move(text)}}};
}

ReportLine Row(int label, const RowValues& r, const Formats& f) {
  const std::string cells[15] = {"  " + std::to_string(label),
                                 PaddedFixed(Chk(r.t1), 1, 12),
                                 PaddedFixed(Chk(r.t2), 1, 12),
                                 PaddedFixed(Chk(r.s1), f.pathWhole, f.pathDecimals),
                                 PaddedFixed(Chk(r.s2), f.pathWhole, f.pathDecimals),
                                 PaddedFixed(Chk(r.f1), 3, 8),
                                 PaddedFixed(Chk(r.f2), 3, 8),
                                 PaddedFixed(Chk(r.v1), 3, 7),
                                 PaddedFixed(Chk(r.v2), 3, 7),
                                 PaddedFixed(Chk(r.p1), 1, 7),
                                 PaddedFixed(Chk(r.p2), 1, 7),
                                 PaddedFixed(Chk(r.a1), 3, 4),
                                 PaddedFixed(Chk(r.a2), 3, 4),
                                 PaddedFixed(Chk(r.w1), 3, 4),
                                 PaddedFixed(Chk(r.w2), 3, 4)};
  ReportLine line;
  double x = 0;
  for (int i = 0; i < 15; ++i) {
    line.cells.push_back({x, cells[i]});
    x += ColumnWidth(i, f);
  }
  return line;
}

// Row "0" (the start) and the rows of segments 10.. and 20.., `rows` of them.
void AddTable(std::vector<ReportLine>& out, const InterferometerEngine& e, bool real, int rows,
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

// Line by line from the top; the cells of a row share its y.
void Print(Canvas& page, const std::vector<ReportLine>& lines) {
  ScaleReportPage(page);
  double y = 10.5;
  for (const ReportLine& line : lines) {
    double next = y;
    for (const ReportLine::Cell& cell : line.cells) {
      page.PrintAt(cell.x, y, cell.text);
      next = page.CurrentY();
    }
    y = next;
  }
}

}  // namespace

std::vector<ReportLine> SegmentReportLines(const InterferometerEngine& e, bool real) {
  std::vector<ReportLine> out;
  for (const char* text :
       {"ii = 10 и jj = 20 общий путь до стеклянной поверхности наклонного полупрозрачного зеркала",
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
        "", kUnitNote, kHeader1, kHeader2, "          An(i+10)         An(i+20)",
        "         An(i+30)          An(i+40)"}) {
    out.push_back(Text(text));
  }
  AddTable(out, e, real, 10, Formats{3, 6});
  return out;
}

std::vector<ReportLine> TwoMirrorReportLines(const InterferometerEngine& e, bool real) {
  std::vector<ReportLine> out;
  for (const char* text :
       {"ii = 10 от источника внутри колбы до левого зеркала _______jj = 20 от источника внутри "
        "колбы до правого зеркала",
        "    ii = 11  от левого зеркала до приемника _________________ jj = 21  от правого зеркала "
        "до приемника",
        "", kUnitNote, kHeader1, kHeader2,
        "          An(i+10)         An(i+20)          An(i+30)          An(i+40)"}) {
    out.push_back(Text(text));
  }
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
