// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/laser_search.h"

#include <string>

#include "calculator/centrifuge_graph.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/doppler_formulas.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr double kTera = 1e12;
constexpr Rgb kAlong = kFullBlue;
constexpr Rgb kAgainst = kFullGreen;
constexpr int kSteps = 20000;
constexpr double kSearchScale = 0.25;
constexpr double kTop = 20;  // points at or above this level are not drawn
// The search picture fits the viewport's height.
constexpr double kSearchWidth = 523.11;
constexpr double kSearchHeight = 398.56;

struct MeasuredRow {
  double beta;
  double vpTHz;
  double vaTHz;
};
constexpr MeasuredRow kMeasured[] = {
    {0.338, 777.21, 384.226},
    {0.064, 582.49, 512.671},
    {0.03, 563.209, 530.222},
};

std::string G(double x) {
  return GeneralForm(Chk(x));
}

// A frequency in THz truncated to three decimals.
double F3(double f) {
  return Fix(f / 1e9) / 1000;
}

// 10^12·c/f: the vacuum wavelength in thousandths of a nanometre.
double Picometres(double c, double f) {
  return CheckedDiv(kTera * c, f);
}

// The vacuum wavelength in nm truncated to three decimals.
double W(double c, double f) {
  return Fix(Picometres(c, f)) / 1000;
}

void DrawSearchGrid(Canvas& pic, double s) {
  for (int j = 0; j <= 14; j += 2) pic.Line(0, j, 20, j, kGrid);
  for (int i = 0; i <= 20; i += 2) pic.Line(i, 0, i, 16, kGrid);
  pic.SetForeColor(kText);
  for (int j = 0; j <= 14; j += 2) pic.PrintAt(-1, j + 0.5, G(j * s));
  for (int i = 0; i <= 20; i += 2) pic.PrintAt(i - 0.3, -0.3, G(i / 20.0));
}

// Frequency and wavelength lines of one matched frequency.
std::string MatchedLine(const char* name, const char* wave, double c, double f) {
  const double pm = Picometres(c, f);
  return std::string(name) + "=  " + G(F3(f)) + "    " + wave + "=  " + G(W(c, f)) + "    2*" +
         wave + "=  " + G(Fix(pm) / 500) + "    4*" + wave + "=  " + G(Fix(pm) / 250);
}

}  // namespace

LaserPair LaserFrequencies(SharedPool& P, double v0THz, double beta) {
  const double c = kLaserLightSpeed;
  const double v0 = Chk(kTera * v0THz);
  P.v0 = v0;
  const double V = Chk(beta * c);
  P.VX(1) = V;
  const double G = FactorOfSquares(V, c);
  // The laser along the beam meets ions running away from it (the speed
  // along its line of sight is -V), the one against the beam ions coming
  // towards it.
  LaserPair out;
  out.vp = Formula41(v0, -V, 0, c, G);
  out.va = Formula41(v0, V, 0, c, G);
  return out;
}

std::optional<LaserPair> MeasuredLasers(double beta) {
  for (const MeasuredRow& row : kMeasured) {
    if (beta == row.beta) return LaserPair{kTera * row.vpTHz, kTera * row.vaTHz};
  }
  return std::nullopt;
}

BeamSearchResult SearchBeamSpeed(SharedPool& P, CalculatorPictureHost& host, const BeamSearch& in) {
  const double c = P.LightSpeed;
  const double v0 = Chk(kTera * in.v0THz);
  double vp = Chk(kTera * in.vpTHz);
  double va = Chk(kTera * in.vaTHz);
  P.v0 = v0;
  P.StopFlag = 0;  // the found flag
  P.GraphScale = kSearchScale;
  const double s = P.GraphScale;

  Canvas& pic = host.Picture();
  pic.Cls();
  host.ResizePicture(kSearchWidth, kSearchHeight);
  pic.SetScale(-1, 15, 20, -1);
  host.PlacePicture();
  DrawSearchGrid(pic, s);

  if (in.measured) {
    if (const auto m = MeasuredLasers(in.beta)) {
      vp = m->vp;
      va = m->va;
    }
  }

  BeamSearchResult result;
  for (int k = 1; k < kSteps; ++k) {
    const double V = static_cast<double>(k) * c / kSteps;
    P.VX(1) = V;
    // The ions as a receiver moving away from the laser along the beam and
    // towards the one against it; the lasers at rest.
    const double fp = Formula2(vp, V, 0, 0, 0, c);
    const double fa = Formula2(va, -V, 0, 0, 0, c);
    const double yp = CheckedDiv(CheckedDiv(fp, v0), s);
    const double ya = CheckedDiv(CheckedDiv(fa, v0), s);
    const double x = CheckedDiv(20 * V, c);
    if (yp < kTop) pic.PSet(x, yp, kAlong);
    if (ya < kTop) pic.PSet(x, ya, kAgainst);
    const bool below = CheckedDiv(fp, fa) < 1;
    if (below && P.StopFlag == 0) {
      P.StopFlag = 1;
      result.found = true;
      result.k = k;
      result.v0p = fp;
      result.v0a = fa;
      pic.PrintAt(15, 14, "V/Vsv=  " + G(static_cast<double>(k) / kSteps));
      pic.Line(k / 1000.0, 17, k / 1000.0, 0, kColour1);
    }
  }

  pic.PrintAt(0.5, 15, "одночастотная Л или V схема (требуемые значения)");
  pic.PrintAt(0.5, 14.3, "v0=  " + G(F3(v0)) + "    L0=  " + G(W(c, v0)));
  pic.PrintAt(0.5, 13, "vp=  " + G(F3(vp)));
  pic.PrintAt(5.5, 13, "va = " + G(F3(va)));
  if (!result.found) {
    // Without a crossing there are no matched frequencies to print.
    pic.PrintAt(0.5, 12, "эффективные частоты не совпали ни при одной скорости пучка");
    return result;
  }
  pic.PrintAt(0.5, 12, MatchedLine("v0p", "L0p", c, result.v0p));
  pic.PrintAt(0.5, 11.3, MatchedLine("v0a", "L0a", c, result.v0a));
  const double v1 = Chk(result.v0a + result.v0p);
  pic.PrintAt(0.5, 10, "двухчастотная каскадная или двухфотонная схема (возможная частота)");
  const double pm1 = Picometres(c, v1);
  pic.PrintAt(0.5, 9.3,
              "v1= v0a+v0p=  " + G(F3(v1)) + "    L01=  " + G(W(c, v1)) +
                  "    2*L01=  " + G(Fix(pm1) / 500));
  return result;
}

}  // namespace velmor
