// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The medium window's graph: the frame of v/v0 against the angle of sight
// or against time, and the observed and computed frequencies of the periods
// of an experiment plotted into it.
namespace velmor {

class Canvas;
struct ExperimentData;
struct SharedPool;

struct GraphFrame {
  bool timeMode = false;  // "по T с MT, с/см"
  double s = 0.125;       // v/v0 per picture unit
  double ts = 2.5;        // seconds per picture unit
};

// Frame4: the angle the points are plotted against.
enum class PointAbscissa { Q3, Q1Q2, Q2 };

// Clears the picture, sets the frame's scale and draws grid, labels, axes.
void DrawGraphFrame(Canvas& c, const GraphFrame& f);

// The user scale of the frame (left, top, right, bottom).
struct FrameScale {
  double left, top, right, bottom;
};
FrameScale GraphFrameScale(bool timeMode);

// The observed v/v0 = 1/(dT·v0) of every observed period, dT = Tk1(i + 1) −
// Tk1(i): circles of radius 0.2. Against time: at the middle of the period's
// receptions, green. Against angles (degrees, X = 20·(Q/90 − 1)): Q3, the
// mean direction of the line of sight, green; Q1, the mean angle between the
// receiver's velocity and the line of sight, blue; Q2, the same for the
// source, red (Q1 and Q2 folded into 0 … 180: only their cosines count).
// Points at v/v0 of 20 picture units or more are left out. Returns the points
// drawn; a fault (dT = 0, v0 = 0) is a compute fault, the points before it
// stay.
int PlotObservedPoints(Canvas& c, const GraphFrame& f, PointAbscissa a, const ExperimentData& d,
                       const SharedPool& P);

// The computed v(i)/v0 = (vn(i) + vk(i))/2/v0 of the same periods by the
// experiment's formula ("классика" or "СТО"): crosses at the same abscissas,
// colour 1 for "классика" and RGB(255, 0, 200) for "СТО".
int PlotComputedPoints(Canvas& c, const GraphFrame& f, PointAbscissa a, const ExperimentData& d,
                       const SharedPool& P, bool relativistic);

// The computed frequency of observed period i of the data.
double ComputedFrequency(const ExperimentData& d, int i, bool relativistic);

}  // namespace velmor
