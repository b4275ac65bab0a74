// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The moving interferometer stepped in the absolute frame: two beam fronts
// pass a beam splitter, a compensating plate and mirrors that all move with
// the apparatus; each surface reached refracts or reflects the front, may
// shift its frequency, and books the time, path and oscillations of the
// segment just finished. Plain C++, so runs can be tested and measured
// without a window.
#include <cstdint>
#include <string>

#include "shared/bounded_array.h"

namespace velmor {

class Canvas;
struct SharedPool;
struct InterferometerEvent;  // a row of the engine's event tables
struct EventTest;            // the test that fires the next event of a beam

enum class DopplerOption { None, Classic, Relativistic };

// Frequency seen by a receiver moving with r along the ray from an emitter
// moving with q along it, at the speed of light c.
double DopplerShiftedFrequency(DopplerOption option, double nu, double q, double r, double c);

// How a front point approaches the line of a surface.
struct Approach {
  double h;      // distance from the surface line (see SurfaceApproach)
  double u;      // closing speed of the front towards the line
  double L;      // distance between the front point and the surface point
  double theta;  // direction of the join, radians 0..2*Pi
};

// The normalised angle of the join folds the distance to h = L*sin(delta)
// with delta in [0, Pi) for surface angles in [0, Pi]; for other angles the
// single fold may leave h negative, as it always did.
Approach SurfaceApproach(const SharedPool& pool, double VX, double VY, double px, double py,
                         double sx, double sy, double alpha);

// The engine's options, read from the window at every event so that a click
// during a run takes effect at the next surface.
struct EngineOptions {
  DopplerOption doppler = DopplerOption::None;
  bool reflectionCorrection = false;  // "учесть отражение света от движущихся зеркал"
  bool refractionCorrection = false;  // "учесть преломление в движущихся пластинах"
  bool frequencyDensity = false;  // "учесть влияние частоты на реальную плотность"
  bool densitySpeed = false;  // "учесть влияние плотности на скорость света"
  bool frontLines = false;  // "+фронт"
};

// The converted inputs of Start.
struct InterferometerSetup {
  int scheme = 1;  // 1, 2: beam splitter; 3: two mirrors
  double X1 = -1, Y2 = 1, X3 = 0, Y3 = 0, Y4 = 0.4, Y5 = -0.4, X6 = 0.5;
  double mirrorWidth = 0.8;
  double thickness = 0.1;
  double alfa1 = 0, alfa2 = 0, alfa3 = 0, alfa4 = 0;  // radians
  double aim = 0;                                     // radians
  double c = 20;
  double Vsys = 0;
  double alfa = 0;  // direction of Vsys, radians
  double scale = 0.1;
  double dt = 1e-7;
  int NC0 = 200;
  double lambda = 0.002;
  double D = 0.4;
  double n0 = 1.000005;
  double ng = 1.55;
  double K = 6e-5;
};

// Where the elements of a set-up are and how they look: the part of the
// engine's state that moves with the apparatus and that the scheme draws.
struct ElementLayout {
  // Element points, stored at these slots: left mirror 1, upper (set-up 3:
  // right) mirror 2, splitter rear face 3, plate upper face 4, source 5,
  // objective 6, splitter front face 30, plate lower face 40.
  enum Element { kE1 = 0, kE2, kE3, kE4, kE5, kE6, kE30, kE40, kElements };
  static int Slot(int element);

  int scheme = 1;  // 1, 2: beam splitter; 3: two mirrors
  double ex[kElements] = {};
  double ey[kElements] = {};
  double alfa[5] = {};  // element inclinations 1..4 (radians)
  double mirrorWidth = 0.8;
  double thickness = 0.1;
  double D = 0.4;
  double scale = 0.1;
};

// The elements at the typed positions of `setup`, the two glass back faces
// with them, in the layout of its set-up. Faults propagate.
ElementLayout PlacedElements(const InterferometerSetup& setup);

// The window side of a run.
class InterferometerHost {
 public:
  virtual ~InterferometerHost() = default;
  virtual EngineOptions Options() const = 0;
  // The scheme picture: angle log and front lines.
  virtual Canvas& Scheme() = 0;
  // Lets the user interface run; false once the window or the program is
  // closing, which ends the run at once.
  virtual bool Yield() = 0;
  // The display refresh every NC0 steps (fields, scheme, markers, time).
  virtual void Refresh() = 0;
};

enum class InterferometerEnd {
  LoadBatch,  // the one batch of the window load is done
  Stopped,    // stop flag seen at a refresh (also both beams arrived)
  Fault,      // arithmetic fault: "Ошибка решения"
  Closed,     // the window or the program is closing
};

struct Beam {
  double x = 0, y = 0;    // front point
  double VX = 0, VY = 0;  // velocity
  double V = 0;           // speed
  double T = 0;           // time of the last event
  double S = 0;           // path travelled
  double Sev = 0;         // path at the last event
  double N = 0;           // oscillations counted
  int seg = 0;            // segment number
};

// The engine's own layout is where its elements are now; only Start places
// them anew.
class InterferometerEngine : public ElementLayout {
 public:
  explicit InterferometerEngine(SharedPool& pool);

  // Start after the inputs: tables, beams and element points; prints the
  // start angles on the scheme. Faults propagate ("Ошибка решения").
  void InitialiseBeams(const InterferometerSetup& setup, const EngineOptions& options,
                       Canvas& scheme);
  // The step loop under the run-loop contract with the events of the
  // engine's set-up; returns how it ended. A fault leaves the state reached
  // so far.
  InterferometerEnd Run(InterferometerHost& host);

  // "Остановить": the run ends at its next refresh; a moving-surface
  // correction in progress is abandoned and its event fires again when the
  // run continues.
  void RequestStop();
  void ClearStop() { stopFlag = 0; }
  void SetStopFlag() { stopFlag = 1; }

  // One step with every event test, the way the loop does it (tests).
  void StepOnce(InterferometerHost& host);

  bool BothArrived() const;
  int FinalSegment(int beam) const;  // 19/29, or 12/22 in set-up 3

  SharedPool& pool;
  Beam beam[2];
  BoundedArray<double> nu{0, 30};
  BoundedArray<double> rho0{0, 30};
  BoundedArray<double> rho{0, 30};
  BoundedArray<double> An{0, 51};
  BoundedArray<double> Tk1{0, 20};
  BoundedArray<double> Tk2{0, 30};
  BoundedArray<double> Sk1{0, 20};
  BoundedArray<double> Sk2{0, 30};
  BoundedArray<double> Vk1{0, 20};
  BoundedArray<double> Vk2{0, 30};
  double T = 0;
  double dt = 1e-7;
  double c = 20;
  double nu0 = 1e4;
  double K = 6e-5;
  double Vx = 0, Vy = 0;
  double n0 = 1, ng = 1;
  int NC0 = 200;
  long long counter = 0;
  int stopFlag = 0;
  bool loadMode = false;
  // An event abandoned by a stop: the tests of the current step run again
  // before the next step.
  bool eventsPending = false;
  // Correction iterations of the last run (tests, benchmarks).
  long long correctionIterations = 0;

 private:
  enum class Outcome { Done, Aborted };

  EventTest CurrentTest(int b) const;
  EventTest TestOf(const InterferometerEvent& e, int b) const;
  // Steps without events until one may fire, the budget is spent or both
  // beams have arrived; true when the last step needs its event tests.
  bool FastSteps(long long budget);
  void Advance();
  // Walks the event table of the set-up; an event that fires moves its beam
  // to the next segment at once, so the next row may fire in the same step.
  Outcome ProcessEvents(InterferometerHost& host);
  Outcome Fire(InterferometerHost& host, const InterferometerEvent& e);
  void ArrivalCheck();

  // The parts of an event.
  InterferometerEnd StepLoop(InterferometerHost& host);
  Outcome CorrectedAngle(InterferometerHost& host, const InterferometerEvent& e, bool option,
                         bool shared, double speedFactor, double& alpha);
  Outcome EffectiveSurfaceAngle(InterferometerHost& host, double VX, double VY, double ex,
                                double ey, double cx, double cy, double alpha, double& result);
  void Frequency(int b, int k, int m, bool mirror, double alpha, DopplerOption doppler);
  void DensityAndSpeed(int b, int k, int m, const EngineOptions& o);
  void Direct(int b, double angle);
  void LogAngle(InterferometerHost& host, int b, int m, double angle);
  void Count(int b, int k, int m);
  double Refract(int k, int m, double i);

  Outcome SplitterEntry(InterferometerHost& host, const InterferometerEvent& e);
  Outcome Refraction(InterferometerHost& host, const InterferometerEvent& e);
  Outcome Reflection(InterferometerHost& host, const InterferometerEvent& e);
  void LeaveGlass(InterferometerHost& host, const InterferometerEvent& e);
  void Arrival(InterferometerHost& host, int b, int k, int m);
  void TwoMirrorArrival(InterferometerHost& host, int b);

  bool closing_ = false;
  std::uint64_t stopRequests_ = 0;
  std::uint64_t requestsAtRunStart_ = 0;
};

// The angle format of the scheme's angle log and of the report: at least
// `whole` integer digits, `decimals` decimals, a decimal comma, and the sign
// in front of the padded number ("-001,500000").
std::string PaddedFixed(double x, int whole, int decimals);

// The computing time in minutes, truncated to three decimals.
double ComputingMinutes(double seconds);

}  // namespace velmor
