// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fan of rays that carries the start of a period through the layered
// medium: the start's frame conversion and shape, the launch from the
// source, and one step of propagation of every ray, shared by the ray-bundle
// experiment and the period search.
#include "medium/medium_model.h"

namespace velmor {

class Canvas;
struct MediumState;
struct SharedPool;

// The bundle's shape from the parsed values (Np, Kp, RayCount, ConeAngle,
// MeanAngle in the medium state, the bodies' heights in the pool):
// BundleStartAngle, RayAngleStep and LayerThickness. A ray count or layer
// count outside 1 … the maximum, or layers of zero thickness, is an input
// fault (the start's parsing stage); an overflow a compute fault.
void ComputeBundleShape(SharedPool& P, MediumState& M);

// The frame conversion of a start, its clocks first at zero and running as
// the absolute frame's. "классика": both X speeds less VXiso. "СТО" with
// c = Vs and V = VXiso: positions, velocities and clocks of the inertial
// frame; t = T0 = T1 and the source's start X follows it.
void ConvertFrame(SharedPool& P, MediumState& M, bool relativistic);

// Every ray of the bundle from the source's present position, pointing to
// larger Y, in the density of layer 1.
void LaunchBundle(SharedPool& P, MediumState& M, DensityLaw law);

struct RayStepInput {
  DensityLaw law = DensityLaw::FromTop;
  // The ray-bundle experiment's rules; otherwise the period search's
  // (rays beyond Np + 10 rest, refraction only above a 1e-6 density
  // change, the front test on committed rays).
  bool bundle = true;
  // When set, every moved ray's segment is drawn on it.
  Canvas* canvas = nullptr;
  // Every ray worked out after the one before, as the rules read: the
  // reference that the quicker step must match to the last bit.
  bool straightforward = false;
};

struct RayStepResult {
  // Bundle: the ray k at whose move the front passed the receiver (the rays
  // after it did not move), or −1.
  int receivingRay = -1;
  double moveX = 0, moveY = 0;          // ray k's move: SightAngle
  double prevMoveX = 0, prevMoveY = 0;  // the move committed before it: PrevSightAngle
  double prevLocalSpeed = 0;            // PrevLocalSpeed at ray k
  // Period search: the committed front has passed the receiver.
  bool passed = false;
};

// One step of every ray, with the bodies already moved for the step.
// Bundle rules also record Vs2(PeriodNumber) for rays in layer 1.
RayStepResult PropagateRays(SharedPool& P, MediumState& M, const RayStepInput& in);

}  // namespace velmor
