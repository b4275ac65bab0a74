// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process-wide pool of values the windows share. It has no locking (one
// user-interface thread) and no reset: a value keeps what its last writer
// left, whichever window that was.
#include <string>

#include "shared/bounded_array.h"

namespace velmor {

struct SharedPool {
  SharedPool();

  // Constants, set when the main window loads (the frame window sets Pi,
  // DegPerRad and Million anew).
  double Pi = 0.0;
  double DegPerRad = 0.0;
  double Million = 0.0;
  double LightSpeed = 0.0;
  double ElementaryCharge = 0.0;

  // Current signal speed and emitted frequency.
  double Vs = 0.0;
  double v0 = 0.0;

  // Body state: index 1 is the receiver, index 2 the source.
  BoundedArray<double> X{1, 2}, Y{1, 2}, VX{1, 2}, VY{1, 2};
  // Their speeds and the relative speed.
  double V1 = 0.0, V2 = 0.0, V12 = 0.0;

  // Scratch differences; the signal-time helpers leave theirs here.
  double DeltaX = 0.0;
  double DeltaY = 0.0;

  std::string ReportText;

  // The shared stop flag of the experiment loops (the laser beam-speed search
  // uses it as its found flag).
  int StopFlag = 0;

  // Graph scale s: v/v0 per graph unit (unset, 0, until a graph is drawn).
  double GraphScale = 0.0;
  // The experimental points' scratch sight angles and their mean (period 19
  // stays).
  double A1 = 0.0;
  double A2 = 0.0;
  double Asr = 0.0;

  // --- Doppler formula set: what the last evaluation left (doppler_formulas.h) ---
  double v = 0.0;    // predicted frequency, or wavelength in the L/L0 mode
  double G = 0.0;    // sqrt(1 - (V12/Vs)^2), floored
  double G1 = 0.0;   // sqrt(1 - V1^2/Vs^2), floored
  double G2 = 0.0;   // sqrt(1 - V2^2/Vs^2)
  double dv1 = 0.0;  // corrections of formula (3), receiver and source
  double dv2 = 0.0;
  double InputCopy = 0.0;  // the input value v0 (or L0) as the evaluation started
  // --- end of the Doppler formula set ---

  // --- Signal-period experiment state (main window engine; the medium
  // window's experiments keep their state in the same members) ---
  double T00 = 0.0;
  double Nv0 = 0.0;
  double PictureScale = 0.0;
  double TimeStep = 0.0;
  int NC0 = 0;
  double CurrentTime = 0.0;
  int StepCounter = 0;
  int PeriodNumber = 0;
  double FrontRadius = 0.0;
  double DrawnFrontRadius = 0.0;
  double SightDistance = 0.0;
  int FrontArrived = 0;
  int RangeCheckArmed = 0;
  double LastResetTime = 0.0;
  double SignVX1 = 1.0;
  double SignVX2 = 1.0;
  double SignVY2 = 1.0;
  double QV1 = 0.0;
  double QV2 = 0.0;

  // Per-period arrays.
  BoundedArray<double> An{1, 20};
  BoundedArray<double> Tn2{0, 20};
  BoundedArray<double> Xn2{0, 20};
  BoundedArray<double> Yn2{0, 20};
  BoundedArray<double> Tn1{0, 20};
  BoundedArray<double> Xn1{0, 20};
  BoundedArray<double> Yn1{0, 20};
  BoundedArray<double> Tk1{0, 20};
  BoundedArray<double> Xk1{0, 20};
  BoundedArray<double> Yk1{0, 20};
  BoundedArray<double> Xk2{0, 30};
  BoundedArray<double> Yk2{0, 20};
  BoundedArray<double> Qn1{0, 20};
  BoundedArray<double> Qn2{0, 20};
  BoundedArray<double> dT{0, 100};
  BoundedArray<double> v1n{0, 30};
  BoundedArray<double> v1k{0, 30};
  BoundedArray<double> v1{0, 30};
};

// The one pool of the process.
SharedPool& Pool();

// The constants every window uses, set when the main window loads.
void SetStartupConstants(SharedPool& pool);

}  // namespace velmor
