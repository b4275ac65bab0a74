// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The set-up and accuracy presets of the interferometer window, and the
// converted inputs they amount to (for tests and benchmarks).
namespace velmor {

struct InterferometerSetup;
struct SharedPool;

// What "Test" and "Real" write into the window's boxes.
struct AccuracyPreset {
  double mirrorWidth;  // Text27
  double thickness;    // Text28
  double Y4;           // Text3
  double Vsys;         // Text50
  int NC0;             // Text10
  double alfa1;        // Text4
  double alfa2;        // Text5
  double lambda;       // Text18
  double c;            // Text12
  const char* dt;      // Text40, written as typed
  double K;            // density coefficient
  double nuMHz;        // Text33, Text34
  double V;            // Text37, Text38
  double A1, A2;       // Text61, Text62
};

const AccuracyPreset& TestPreset();
const AccuracyPreset& RealPreset();

// Set-up 1 at the form defaults with an accuracy preset applied, angles in
// radians.
InterferometerSetup PresetSetup(const SharedPool& pool, bool real);

}  // namespace velmor
