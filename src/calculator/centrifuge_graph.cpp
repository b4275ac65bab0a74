// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/centrifuge_graph.h"

#include <cmath>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/doppler_formulas.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr Rgb kAxis = RGB(100, 100, 100);
constexpr Rgb kApproximate = kFullRed;
constexpr Rgb kExact = RGB(0, 240, 0);
constexpr Rgb kClassical = kFullBlue;
constexpr int kCurvePoints = 5000;
constexpr double kFastestShown = 0.995;
constexpr double kPointRadius = 0.08;

int Nearest(double x) {
  return static_cast<int>(std::nearbyint(x));
}

struct TheoryPoint {
  double d;
  Rgb colour;
};

TheoryPoint Shift(double V, double Vs, double b, double k, ShiftTheory theory, MovingPart moving) {
  const bool absorber = moving == MovingPart::Absorber;
  switch (theory) {
    case ShiftTheory::Approximate: {
      const double d = Chk(k * Chk(b * b));
      return {absorber ? d : -d, kApproximate};
    }
    // 1/G - 1, G - 1 and sqrt(1 + b²) - 1 written without the difference of
    // two numbers near 1, which would leave only rounding noise at the
    // speeds of a rotor (b ~ 1E-6).
    case ShiftTheory::Exact: {
      const double G = FactorOfRatio(V, Vs);
      const double b2 = Chk(b * b);
      return {absorber ? CheckedDiv(b2, Chk(G * (1 + G))) : -CheckedDiv(b2, 1 + G), kExact};
    }
    case ShiftTheory::Classical: {
      // W/Vs - 1 with W = sqrt(Vs² + V²) for a moving absorber; with
      // W = sqrt(Vs² - V²) for a moving emitter it is the relativistic G - 1.
      const double b2 = Chk(b * b);
      const double root = absorber ? CheckedSqrt(1 + b2) : FactorOfRatio(V, Vs);
      return {(absorber ? 1 : -1) * CheckedDiv(b2, 1 + root), kClassical};
    }
  }
  return {0, kText};
}

}  // namespace

ShiftGraph MakeShiftGraph(double Vmax, double MV, double dvmax, double Mdv) {
  if (!(Vmax > 0 && MV > 0 && dvmax > 0 && Mdv > 0)) RaiseInputFault("graph range");
  ShiftGraph g;
  g.Vmax = Vmax;
  g.MV = MV;
  g.dvmax = dvmax;
  g.Mdv = Mdv;
  g.NY = 2 * dvmax / Mdv;
  g.NX = Vmax / MV;
  // Also refuses cell counts that overflowed to infinity.
  if (!(g.NX <= kMaxCells && g.NY <= kMaxCells)) throw GraphTooLarge("graph too large");
  return g;
}

void DrawShiftGraphFrame(CalculatorPictureHost& host, const ShiftGraph& g) {
  Canvas& c = host.Picture();
  c.Cls();
  host.ResizePicture((g.NX + 1) * kCellUnits, (g.NY + 1) * kCellUnits);
  const double half = g.NY / 2;
  c.SetScale(-1, half, g.NX, -1 - half);
  const int iLast = Nearest(g.NX - 1);
  const int jFirst = Nearest(-1 - half);
  const int jLast = Nearest(half);
  // Every line and number once, numbers over the lines.
  for (int j = jFirst; j <= jLast; ++j) c.Line(0, j, g.NX, j, kGrid);
  for (int i = -1; i <= iLast; ++i) c.Line(i, -half, i, half, kGrid);
  c.SetForeColor(kText);
  for (int i = -1; i <= iLast; ++i) c.PrintAt(i - 0.35, -0.5 - half, WholeText(i));
  for (int j = jFirst; j <= jLast; ++j) c.PrintAt(-1, j + 0.5, WholeText(j));
  c.Line(0, 0, g.NX, 0, kAxis);
  host.PlacePicture();
}

void DrawShiftCurve(SharedPool& P, Canvas& c, const ShiftGraph& g, double k, ShiftTheory theory,
                    MovingPart moving) {
  const double Vs = P.LightSpeed;
  for (int n = 1; n <= kCurvePoints; ++n) {
    const double V = Chk(n * g.Vmax) / kCurvePoints;
    P.V1 = V;
    const double b = CheckedDiv(V, Vs);
    if (b > kFastestShown) continue;
    const TheoryPoint p = Shift(V, Vs, b, k, theory, moving);
    c.PSet(CheckedDiv(V, g.MV), CheckedDiv(p.d, g.Mdv), p.colour);
  }
}

void DrawShiftPoint(Canvas& c, const ShiftGraph& g, double V, double d) {
  c.Circle(CheckedDiv(V, g.MV), CheckedDiv(d, g.Mdv), kPointRadius, kColour1);
}

double PictureTop(double viewportHeight, double pictureHeight, int v) {
  return (viewportHeight - pictureHeight - 4) * v / 100;
}

double PictureLeft(double viewportWidth, double pictureWidth, int v) {
  return (viewportWidth - pictureWidth) * v / 100;
}

}  // namespace velmor
