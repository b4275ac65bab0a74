// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Counter-propagating lasers on an ion beam: the laser frequencies that the
// moving ions see as their transition frequency (relativistic formula), and
// the search for the beam speed at which the classical formula makes the
// two effective frequencies coincide.
#include <optional>

namespace velmor {

class Canvas;
class CalculatorPictureHost;
struct SharedPool;

// The signal speed of the laser calculation (not the pool's LightSpeed).
constexpr double kLaserLightSpeed = 299737000;

// Laser frequencies in Hz: vp along the beam, va against it.
struct LaserPair {
  double vp = 0;
  double va = 0;
};

// Formula (4-1) for the beam speed beta·c': vp = (β + 1)·v0/G,
// va = (1 − β)·v0/G. Writes the pool's v0 (Hz) and VX(1) (the beam speed).
// A beam at least as fast as c' faults.
LaserPair LaserFrequencies(SharedPool& P, double v0THz, double beta);

// The measured pair for one of the three beam speeds of the published
// experiment, when beta is exactly one of them.
std::optional<LaserPair> MeasuredLasers(double beta);

struct BeamSearch {
  double v0THz = 0;
  double vpTHz = 0;
  double vaTHz = 0;
  // Measured frequencies replace vp and va when beta is one of the three.
  bool measured = false;
  double beta = 0;
};

struct BeamSearchResult {
  bool found = false;
  int k = 0;  // beam speed k/20000 of c at the crossing
  double v0p = 0;
  double v0a = 0;
};

// Sweeps 19 999 beam speeds with formula (2), plots both effective
// frequencies on the calculator's picture, marks the first speed where the
// one along the beam drops below the one against it, and prints the
// frequencies and wavelengths. Sets the pool's v0, VX(1), StopFlag (the
// found flag) and GraphScale. An arithmetic fault is a ComputeFault; what
// was drawn before it stays.
BeamSearchResult SearchBeamSpeed(SharedPool& P, CalculatorPictureHost& host, const BeamSearch& in);

}  // namespace velmor
