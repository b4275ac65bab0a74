// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_graph.h"

#include <cmath>
#include <vector>

#include "medium/experiment_data.h"
#include "medium/medium_formulas.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/geometry.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr Rgb kSightColour = RGB(0, 220, 0);
constexpr Rgb kRelativistic = RGB(255, 0, 200);
constexpr double kPointRadius = 0.2;
constexpr double kCross = 0.25;
constexpr double kTopY = 20;

// An angle in degrees folded into 0 … 180 (same cosine).
double Fold(double deg) {
  double a = std::fmod(std::fabs(deg), 360.0);
  if (a > 180) a = 360 - a;
  return a;
}

double AngleX(double deg) {
  return Chk(20 * (deg / 90 - 1));
}

struct Abscissa {
  double x;
  Rgb colour;
};

// Where period i of the data goes along X, one or two places.
std::vector<Abscissa> Abscissas(const GraphFrame& f, PointAbscissa a, const ExperimentData& d,
                                const SharedPool& P, int i) {
  const ExperimentRow& r0 = d.rows.at(static_cast<std::size_t>(i));
  const ExperimentRow& r1 = d.rows.at(static_cast<std::size_t>(i) + 1);
  if (f.timeMode) {
    return {{CheckedDiv(Chk((r0.Tn1 + r1.Tn1) / 2), f.ts), kSightColour}};
  }
  const double K = P.DegPerRad;
  std::vector<Abscissa> out;
  if (a == PointAbscissa::Q3) {
    // The direction of arrival, recovered from the receiver's angle.
    const double QV1 = CheckedDiv(AngleDeg(P, d.VX1, d.VY1), K);
    const double q3 = Chk(((QV1 - r0.Qn1) + (QV1 - r1.Qn1)) / 2 * K);
    double deg = std::fmod(q3, 360.0);
    if (deg < 0) deg += 360;
    out.push_back({AngleX(deg), kSightColour});
  }
  if (a == PointAbscissa::Q1Q2) {
    out.push_back({AngleX((Fold(Chk(r0.Qn1 * K)) + Fold(Chk(r1.Qn1 * K))) / 2), kReceiver});
  }
  if (a == PointAbscissa::Q1Q2 || a == PointAbscissa::Q2) {
    out.push_back({AngleX((Fold(Chk(r0.Qn2 * K)) + Fold(Chk(r1.Qn2 * K))) / 2), kSource});
  }
  return out;
}

}  // namespace

FrameScale GraphFrameScale(bool timeMode) {
  return timeMode ? FrameScale{-4, 17, 37, -1} : FrameScale{-21, 17, 20, -1};
}

void DrawGraphFrame(Canvas& c, const GraphFrame& f) {
  const FrameScale fs = GraphFrameScale(f.timeMode);
  const double gridLeft = f.timeMode ? -4 : -20;
  const double gridRight = f.timeMode ? 37 : 20;
  const int firstX = f.timeMode ? -4 : -20;
  const int lastX = f.timeMode ? 36 : 20;
  c.Cls();
  c.SetScale(fs.left, fs.top, fs.right, fs.bottom);
  for (int y = 0; y <= 18; y += 2) c.Line(gridLeft, y, gridRight, y, kGrid);
  for (int x = firstX; x <= lastX; x += 2) c.Line(x, 0, x, 18, kGrid);
  c.SetForeColor(kText);
  for (int y = 0; y <= 18; y += 2) c.PrintAt(fs.left, y + 0.5, NumericPrintForm(Chk(y * f.s)));
  for (int x = firstX; x <= lastX; x += 2) {
    const double label = f.timeMode ? Chk(x * f.ts) : 90 + 4.5 * x;
    c.PrintAt(x - 0.3, -0.3, NumericPrintForm(label));
  }
  c.Line(0, 17, 0, 0, kColour1);
  c.Line(gridLeft, 0, gridRight, 0, kColour1);
}

double ComputedFrequency(const ExperimentData& d, int i, bool relativistic) {
  const ExperimentRow& r0 = d.rows.at(static_cast<std::size_t>(i));
  const ExperimentRow& r1 = d.rows.at(static_cast<std::size_t>(i) + 1);
  const double V1 = CheckedSqrt(Chk(d.VX1 * d.VX1 + d.VY1 * d.VY1));
  const double V2 = CheckedSqrt(Chk(d.VX2 * d.VX2 + d.VY2 * d.VY2));
  // The ray bundle's local speeds at both ends; the field's signal speed.
  const bool local = d.kod == 1;
  const double vn = MediumDoppler(d.v0, r0.Qn1, r0.Qn2, V1, V2, local ? r0.Vs1 : d.Vs,
                                  local ? r0.Vs2 : d.Vs, d.Vs, relativistic);
  const double vk = MediumDoppler(d.v0, r1.Qn1, r1.Qn2, V1, V2, local ? r1.Vs1 : d.Vs,
                                  local ? r1.Vs2 : d.Vs, d.Vs, relativistic);
  return Chk((vn + vk) / 2);
}

int PlotObservedPoints(Canvas& c, const GraphFrame& f, PointAbscissa a, const ExperimentData& d,
                       const SharedPool& P) {
  int drawn = 0;
  for (int i = 1; i <= d.ObservedPeriods(); ++i) {
    const ExperimentRow& r0 = d.rows.at(static_cast<std::size_t>(i));
    const ExperimentRow& r1 = d.rows.at(static_cast<std::size_t>(i) + 1);
    const double v = CheckedDiv(1, Chk(r1.Tk1 - r0.Tk1));
    const double y = CheckedDiv(CheckedDiv(v, d.v0), f.s);
    if (!(y < kTopY)) continue;
    for (const Abscissa& x : Abscissas(f, a, d, P, i)) {
      c.Circle(x.x, y, kPointRadius, x.colour);
      ++drawn;
    }
  }
  return drawn;
}

int PlotComputedPoints(Canvas& c, const GraphFrame& f, PointAbscissa a, const ExperimentData& d,
                       const SharedPool& P, bool relativistic) {
  const Rgb colour = relativistic ? kRelativistic : kColour1;
  int drawn = 0;
  for (int i = 1; i <= d.ObservedPeriods(); ++i) {
    const double v = ComputedFrequency(d, i, relativistic);
    const double y = CheckedDiv(CheckedDiv(v, d.v0), f.s);
    if (!(y < kTopY)) continue;
    for (const Abscissa& x : Abscissas(f, a, d, P, i)) {
      c.Line(x.x - kCross, y, x.x + kCross, y, colour);
      c.Line(x.x, y - kCross, x.x, y + kCross, colour);
      ++drawn;
    }
  }
  return drawn;
}

}  // namespace velmor
