// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The centrifuge graph: the relative frequency shift dv/v of a rotor
// experiment against the speed of its moving part, for three theories, on a
// picture that is larger than its viewport and scrolled inside it.
#include "shared/faults.h"

namespace velmor {

class Canvas;
struct SharedPool;

// The calculator's picture inside its viewport. Sizes and places are in
// units of the viewport (its pixels).
class CalculatorPictureHost {
 public:
  virtual ~CalculatorPictureHost() = default;
  virtual Canvas& Picture() = 0;
  virtual void ResizePicture(double width, double height) = 0;
  // Moves the picture to where the two scroll bars put it.
  virtual void PlacePicture() = 0;
};

// Viewport units per grid cell.
constexpr double kCellUnits = 24.91;
// Cells a frame may have each way: the picture of 161 cells is about 4000
// pixels a side, which is as large a picture as we are willing to hold.
constexpr double kMaxCells = 160;

// The range of the last empty graph; the curve and the point use it until
// the frame is drawn anew.
struct ShiftGraph {
  double Vmax = 0;   // largest speed, m/s
  double MV = 0;     // speed per cell, m/s
  double dvmax = 0;  // largest shift above and below the axis
  double Mdv = 0;    // shift per cell
  double NX = 0;     // cells across
  double NY = 0;     // cells up and down together
};

// Valid numbers whose grid has more than kMaxCells cells either way (or so
// many that the count overflows): no picture we hold can show it.
class GraphTooLarge : public InputFault {
 public:
  using InputFault::InputFault;
};

// A frame for the typed values. Values that are not positive are refused
// with an InputFault, a grid too large with GraphTooLarge.
ShiftGraph MakeShiftGraph(double Vmax, double MV, double dvmax, double Mdv);

// Clears and resizes the picture, draws the grid with its cell numbers and
// the axis, and places the picture by the scroll bars.
void DrawShiftGraphFrame(CalculatorPictureHost& host, const ShiftGraph& g);

enum class ShiftTheory { Approximate, Exact, Classical };  // "СТО=", "СТО точно", "Классика"
enum class MovingPart { Absorber, Emitter };

// 5000 single points of the chosen theory up to Vmax, in whatever scale the
// picture has now; speeds above 0.995 of the pool's LightSpeed are skipped.
// An arithmetic fault ends the sweep (ComputeFault), the points drawn stay.
void DrawShiftCurve(SharedPool& P, Canvas& c, const ShiftGraph& g, double k, ShiftTheory theory,
                    MovingPart moving);

// A small circle at the speed V and shift d.
void DrawShiftPoint(Canvas& c, const ShiftGraph& g, double V, double d);

// Where the picture sits in its viewport at the scroll position v (0..100):
// at 100 its lower edge is 4 units above the viewport's, its right edge on
// the viewport's.
double PictureTop(double viewportHeight, double pictureHeight, int v);
double PictureLeft(double viewportWidth, double pictureWidth, int v);

}  // namespace velmor
