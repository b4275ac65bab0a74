// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layered medium: the density laws of the layers, the window's grid and
// the density profile drawn over it.
namespace velmor {

class Canvas;

// The four laws of Frame1, in the order of Option1 … Option4.
enum class DensityLaw { Linear = 1, Square = 2, FromTop = 3, FromTopSquare = 4 };

// Optical density of layer N (any whole N, also outside 1..Np) by the law,
// unchecked: the loops that step every ray pick the law once per step.
template <DensityLaw L>
inline double DensityByLaw(double Kp, double Np, double N) {
  if constexpr (L == DensityLaw::Linear) return 1 + Kp * (N - 1);
  if constexpr (L == DensityLaw::Square) return 1 + Kp * ((N - 1) * (N - 1));
  if constexpr (L == DensityLaw::FromTop) return 1 + Kp * (Np - N);
  return 1 + Kp * ((Np - N) * (Np - N));
}

// The same with the law chosen at run time; an overflow is a compute fault.
double LayerDensity(DensityLaw law, double Kp, int Np, double N);

// The medium picture's scale (x −3 … 38, y 14 … −4) and its grid with the
// axes; the picture is not cleared.
void DrawMediumGrid(Canvas& c);

// One vertical segment per layer of density 1 or more, at x = density and
// between the layer's heights divided by the picture scale, drawn in the
// picture's current scale. Neighbouring layers of equal density make one
// segment. Np must be at most kMaxLayers; Np = 0 divides by zero.
void DrawDensityProfile(Canvas& c, DensityLaw law, double pictureScale, double receiverY,
                        double sourceY, int Np, double Kp);

}  // namespace velmor
