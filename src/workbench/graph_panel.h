// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The graph panel of the main picture: the predicted relative frequency
// against the speed of one body or against the angle of sight, theory
// curves of the chosen formula, points typed or clicked, and the points of
// the last experiment.
#include <string>

#include "shared/canvas.h"
#include "shared/doppler_formulas.h"

namespace velmor {

class Canvas;
struct SharedPool;

enum class GraphAbscissa { VX1, VX2, Angle };

// "Очистить график": the graph scale s = the typed value / 2 goes to the
// pool, then the empty graph with grid, labels, axes and legend.
void DrawEmptyGraph(Canvas& picture, SharedPool& pool, double typedScale, GraphAbscissa mode);

struct SweepInputs {
  double Vs = 0;
  double Q = 0;  // degrees, the fixed angle of the speed sweeps
  double V1 = 0;
  double V2 = 0;
  double input = 0;  // v0, or L0 in the L/L0 mode
  GraphAbscissa mode = GraphAbscissa::VX1;
};

// "Построить график в функции от": 5000 evaluations in Sweep mode, a point
// for each value below 20 graph units, and the table of every 100th point
// composed in the pool's ReportText. Faults propagate (the points drawn so
// far stay).
void DrawTheoryCurve(Canvas& picture, SharedPool& pool, const DopplerChoice& choice,
                     const SweepInputs& in, DopplerDisplay& display);

// The curve's colour of the chosen formula; false when nothing is drawn
// (under "СТО" with no variant ticked).
bool CurveColour(const DopplerChoice& choice, Rgb& colour);

// "Поставить точку по X Y".
void DrawTypedPoint(Canvas& picture, const SharedPool& pool, double X, double Y,
                    GraphAbscissa mode);

// A mouse-down at (x, y): the marker, and the texts for "X, V/Vs" and
// "Y, v/v0".
struct ClickedPoint {
  std::string x;
  std::string y;
};
ClickedPoint MarkClickedPoint(Canvas& picture, const SharedPool& pool, double x, double y,
                              GraphAbscissa mode);

// "На график экспериментальные точки" after the empty graph: the observed
// v/v0 of periods 1 … 19 against the mean sight angle, and the 19-line table
// in ReportText. Faults propagate.
void DrawExperimentPoints(Canvas& picture, SharedPool& pool, bool delayInCoordinates);

}  // namespace velmor
