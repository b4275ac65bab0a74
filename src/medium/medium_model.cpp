// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_model.h"

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/numbers.h"

namespace velmor {

namespace {

constexpr Rgb kProfile = kBlue;
constexpr std::uint64_t kGridLayer = 0x4d45'4449'554dULL;

}  // namespace

double LayerDensity(DensityLaw law, double Kp, int Np, double N) {
  switch (law) {
    case DensityLaw::Linear:
      return Chk(DensityByLaw<DensityLaw::Linear>(Kp, Np, N));
    case DensityLaw::Square:
      return Chk(DensityByLaw<DensityLaw::Square>(Kp, Np, N));
    case DensityLaw::FromTop:
      return Chk(DensityByLaw<DensityLaw::FromTop>(Kp, Np, N));
    case DensityLaw::FromTopSquare:
      break;
  }
  return Chk(DensityByLaw<DensityLaw::FromTopSquare>(Kp, Np, N));
}

void DrawMediumGrid(Canvas& c) {
  c.SetScale(-3, 14, 38, -4);
  c.Repeated(kGridLayer, 1, [](Canvas& g) {
    for (int y = -3; y <= 14; ++y) g.Line(-3, y, 38, y, kGrid);
    for (int x = -2; x <= 38; ++x) g.Line(x, -3, x, 14, kGrid);
    g.SetForeColor(kText);
    for (int x = -2; x <= 38; ++x) g.PrintAt(x - 0.3, -3.3, NumericPrintForm(x));
    for (int y = -3; y <= 14; ++y) g.PrintAt(-3, y + 0.5, NumericPrintForm(y));
    g.Line(-3, 0, 38, 0, kColour1);
    g.Line(0, -3, 0, 14, kColour1);
  });
}

void DrawDensityProfile(Canvas& c, DensityLaw law, double pictureScale, double receiverY,
                        double sourceY, int Np, double Kp) {
  const double d = CheckedDiv(Chk(receiverY - sourceY), Np);
  const double y0 = sourceY;
  // A run of layers of one density is drawn as one segment: the same pixels
  // as a segment per layer, without thousands of draws for a uniform medium.
  bool open = false;
  double runP = 0, runFrom = 0, runTo = 0;
  auto flush = [&] {
    if (open) c.Line(runP, runFrom, runP, runTo, kProfile);
    open = false;
  };
  for (int N = 1; N <= Np; ++N) {
    const double P = LayerDensity(law, Kp, Np, N);
    if (!(P >= 1)) {
      flush();
      continue;
    }
    const double from = CheckedDiv(Chk(y0 + (N - 1) * d), pictureScale);
    const double to = CheckedDiv(Chk(y0 + N * d), pictureScale);
    if (open && P == runP && from == runTo) {
      runTo = to;
      continue;
    }
    flush();
    open = true;
    runP = P;
    runFrom = from;
    runTo = to;
  }
  flush();
}

}  // namespace velmor
