// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two instantaneous calculations of the main window: one evaluation of
// the chosen formula for one instant, by a speed and an angle, or from the
// bodies' coordinates and velocities with the angles found from them.
#include "shared/doppler_formulas.h"
#include "workbench/graph_panel.h"

namespace velmor {

class Canvas;
struct SharedPool;

// "Расчет по V1, V2 или V12 = X при заданном Q=": X = V/Vs for the body
// chosen by the abscissa option, Q in degrees.
struct ByXInputs {
  double X = 0;
  double input = 0;
  double Vs = 0;
  double Q = 0;
  GraphAbscissa mode = GraphAbscissa::VX1;
};
void CalculateByX(SharedPool& pool, const DopplerChoice& choice, const ByXInputs& in,
                  DopplerDisplay& display);

// "Расчет по координатам и скоростям с нахождением Q".
struct ByCoordinatesInputs {
  double Vs = 0;
  double input = 0;
  double X1 = 0, Y1 = 0, VX1 = 0, VY1 = 0;
  double X2 = 0, Y2 = 0, VX2 = 0, VY2 = 0;
  double ML = 1;       // metres per canvas unit
  bool delay = false;  // "учесть запаздывание по координатам"
};
// The pool's X, Y, VX, VY get the (transformed) bodies; the angles found are
// returned for the caller. Faults propagate with what was drawn staying.
DopplerAngles CalculateByCoordinates(Canvas& picture, SharedPool& pool, const DopplerChoice& choice,
                                     const ByCoordinatesInputs& in, DopplerDisplay& display);

}  // namespace velmor
