// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One instant of the two-body set-up, given in the absolute frame (АСО),
// recomputed into an inertial frame (ИСО) moving along X: the Lorentz (or
// classical) transformation of positions, velocities and the bodies' times,
// bringing the bodies to one time, an optional further frame, the signal
// delay, and the Doppler ratio of the chosen formula in the final frame.
namespace velmor {

class Canvas;
struct SharedPool;

// Where the signal delay of the source is taken into account.
enum class DelayOption { InAso, InFinalFrame, Ignore };
// To which time the positions are brought after a transformation step.
enum class SyncOption { Receiver, Source, Origin, None };
// The formula of the final frame.
enum class FrameFormula { F45, F41, F43, Classical2 };

struct FrameInputs {
  double X1aso = 6, Y1aso = 6, X2aso = 1, Y2aso = 1;
  double VX1aso = 16, VY1aso = 0, VX2aso = 12, VY2aso = 0;
  double taso = 0;    // the common АСО time of both bodies
  double VXiso = 0;   // speed of ИСО along X
  double VXiso3 = 0;  // speed of ИСО3 relative to ИСО
  double Vs = 20;
  double ML = 2;  // metres per picture unit
  double MV = 4;  // m/s per picture unit
  DelayOption delay = DelayOption::InFinalFrame;
  SyncOption sync = SyncOption::Receiver;
  FrameFormula formula = FrameFormula::F45;
  bool thirdFrame = false;  // "2 или 4-5 в ИСО3 ..."
  bool drawAso = false;     // "+ рисовать координаты и скорости в aso"
};

// The output fields, each valued by the number of its text field.
enum class FrameOut {
  V1aso = 1,
  V2aso = 2,
  V1iso = 4,
  V2iso = 5,
  Ratio = 7,  // "v= v0 *"
  Q1aso = 9,
  Q2aso = 10,
  Q1iso = 11,
  Q2iso = 12,
  Q12iso = 13,
  VX1iso = 16,
  VX2iso = 17,
  VY1iso = 20,
  VY2iso = 21,
  X1iso = 26,
  X2iso = 27,
  Y1iso = 28,
  Y2iso = 29,
  Q3aso = 30,
  Q3iso = 31,
  DelaydT = 32,
  DelayX2 = 33,  // source position before the delay shift
  V12iso = 34,
  DelayY2 = 36,
  DelayT2 = 37,
  // First step (АСО -> ИСО).
  FirstT1 = 38,
  FirstT2 = 39,
  FirstT1new = 40,
  FirstT2new = 41,
  FirstDt = 42,
  FirstX2 = 43,
  FirstY2 = 44,
  FirstX1 = 45,
  FirstY1 = 46,
  // Second step (into ИСО3, or the rest frame of a body).
  SecondT1 = 48,
  SecondT2 = 49,
  SecondT1new = 50,
  SecondT2new = 51,
  SecondDt = 52,
  SecondX2 = 53,
  SecondY2 = 54,
  SecondX1 = 55,
  SecondY1 = 56,
  SecondU = 59,
};

// Where a recomputation writes its numbers (already truncated where the
// window shows them truncated).
class FrameHost {
 public:
  virtual ~FrameHost() = default;
  virtual void Show(FrameOut field, double value) = 0;
};

// The two bodies in one frame: places, velocities and clocks.
struct FrameBodies {
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  double VX1 = 0, VY1 = 0, VX2 = 0, VY2 = 0;
  double T1 = 0, T2 = 0;
};

// What a recomputation ends with: the bodies in the final frame, their
// speeds, the angles (in radians) and the ratio.
struct FrameResult : FrameBodies {
  double V1 = 0, V2 = 0, V12 = 0;
  double Q1 = 0, Q2 = 0, Q12 = 0, Q3 = 0;
  double ratio = 0;
};

// The frame window's constants, for every window: Pi = 3.141592654,
// Million and DegPerRad from it.
void SetFrameWindowConstants(SharedPool& pool);

// Direction of (x, y) in (-Pi, Pi], with the pool's Pi.
double SignedAngleRad(const SharedPool& pool, double x, double y);

// The grid with axes and legend, in the picture's coordinate system
// (-5, 8) to (12, -4); nothing cleared.
void DrawTransformGrid(Canvas& canvas);

// The whole calculation: writes the output fields as it goes, then draws onto
// the picture without clearing it. Sets the pool's Vs (the signal-time helper
// reads it). A fault (ComputeFault) stops it where it happens; the ratio and
// every point of the drawing are found before anything is drawn, so a fault
// draws nothing.
FrameResult RecomputeToInertialFrame(SharedPool& pool, const FrameInputs& in, FrameHost& host,
                                     Canvas& picture);

}  // namespace velmor
