// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// After both beams have reached the objective: their oscillation counts
// brought to one moment, and the interference of the two arriving plane
// waves across the objective, animated in time.
#include <vector>

namespace velmor {

class Canvas;
class InterferometerEngine;
struct SharedPool;

// --- "2- T1=T2" ---

struct ArrivalCounts {
  double nu1 = 0, nu2 = 0;  // Hz
  double N1 = 0, N2 = 0;
  double T1 = 0, T2 = 0;
};

struct MatchedCounts {
  double N1 = 0, N2 = 0;
};

// Stores nu1, nu2 as nu(1), nu(2), prints the count difference at (-12, 12)
// and lets the beam that arrived first oscillate on at the frequency of its
// last segment until the later arrival. Faults propagate.
MatchedCounts MatchArrivalTimes(Canvas& scheme, InterferometerEngine& engine,
                                const ArrivalCounts& in);
// The new difference and the frequency ratios, rows 11 down to 7.
void PrintArrivalComparison(Canvas& scheme, const InterferometerEngine& engine,
                            const ArrivalCounts& in, const MatchedCounts& matched);

// --- "3- Интерференция №" ---

struct InterferenceInputs {
  double nu1 = 0, nu2 = 0;  // Hz
  double V1 = 0, V2 = 0;
  double N1 = 0, N2 = 0;
  double A1 = 0, A2 = 0;  // degrees
  double Y1 = 0, Y2 = 0;
  double D = 0.4;
  double dt = 1e-8;
  double scale = 0.1;
  int NC0 = 1;
  int strip = 1;
  int P = 1;
  double alfa = 0;  // degrees, for "+v2=f(v1)"
  bool halfWidth = false;
  bool v2FromV1 = false;
  bool twoMirror = false;
};

struct InterferenceGeometry {
  double nu1 = 0, nu2 = 0;
  double A1 = 0, A2 = 0;  // radians
  double lambda1 = 0, lambda2 = 0;
  double omega1 = 0, omega2 = 0;
  double w = 0;           // fringe width, m
  double widthMm = 0;     // shown in "ширина полосы, мм"
  double nf = 0;          // fringes in half the objective
  double n = 0;           // whole fringes in half the objective
  double N1 = 0, N2 = 0;  // fractional parts of the counts
};

// Steps 2 to 7 of the set-up; faults (a zero speed, frequency or angle
// difference) propagate. n below 1 is left to the caller's message.
InterferenceGeometry InterferenceGeometryOf(const SharedPool& pool, const InterferenceInputs& in);

// "+график": the time graph of the fringe shift on the scheme picture.
void DrawInterferenceGraphGrid(Canvas& scheme, bool clear);

// A strip scaled to x -n*w..n*w, y w..0, with a blue line and its number at
// every fringe.
void PrepareStrip(Canvas& strip, double w, double n);

// The picture is 550*P pixels wide; wider ones cannot be shown.
bool StripTooWide(int P);
// More fringe marks than pixels: nothing a strip can show.
bool TooManyFringes(double n, int P);

enum class IntensityMode { Amplitudes = 1, Fields = 2, Sum = 3 };

// The intensity of every pixel of a strip at one moment. Each pixel's phase
// is a fixed part (its place across the objective) plus a part common to
// all pixels at that moment, so the per-pixel cosines are tabulated once
// and combined with the common part by the angle-sum formulas.
class InterferencePixels {
 public:
  InterferencePixels(const SharedPool& pool, const InterferenceGeometry& g,
                     const InterferenceInputs& in);
  int HalfWidth() const { return J_; }  // 275*P: pixels run -J..J
  double X(int j) const { return x_[static_cast<std::size_t>(j + J_)]; }
  // Pixels from..to into I[j - from] (and E1, E2 when given).
  void Compute(double T, int from, int to, IntensityMode mode, double k, double* I, double* E1,
               double* E2) const;

 private:
  int J_;
  double twoPi_;
  double omega1_, omega2_;
  double phase1_, phase2_;  // the fixed parts of phi1, phi2 at x = 0
  std::vector<double> x_, c1_, s1_, c2_, s2_, cd_, sd_;
};

// The same intensity straight from the formulas, one pixel at a time (the
// yardstick for the tabulated one).
double ReferenceIntensity(const SharedPool& pool, const InterferenceGeometry& g,
                          const InterferenceInputs& in, int j, double T, IntensityMode mode,
                          double k, double* E1, double* E2);

struct InterferenceOptions {
  IntensityMode mode = IntensityMode::Amplitudes;
  bool twice = false;       // "*2"
  bool energy = false;      // "+E"
  bool singleStep = false;  // "+stop"
  bool sine = false;        // "+№3 = sin"
  bool graph = false;       // "+график"
};

class InterferenceHost {
 public:
  virtual ~InterferenceHost() = default;
  virtual InterferenceOptions LiveOptions() const = 0;
  virtual Canvas& Strip(int s) = 0;  // 1..3
  virtual Canvas& Scheme() = 0;
  virtual bool Yield() = 0;
  // Text58, Text71, Text17, and Text60 (minutes, or E with "+E").
  virtual void ShowRefresh(double shift, double T, double energy, bool energyOn) = 0;
};

enum class InterferenceEnd { Stopped, Fault, Closed };

// The time loop. Uses the engine's model time, step count and stop flag.
class InterferenceRun {
 public:
  InterferenceRun(const SharedPool& pool, InterferometerEngine& engine,
                  const InterferenceGeometry& g, const InterferenceInputs& in);
  InterferenceEnd Run(InterferenceHost& host);

  int jmax = 0;
  double energy = 0;
  long long pixelsComputed = 0;

 private:
  void Draw(InterferenceHost& host, const InterferenceOptions& o);

  InterferometerEngine& engine_;
  InterferenceGeometry g_;
  InterferenceInputs in_;
  InterferencePixels pixels_;
  std::vector<double> I_, E1_, E2_;
};

}  // namespace velmor
