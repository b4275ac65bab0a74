// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the step loops of the medium window share: the loop itself, the
// motion of the bodies, the refresh of their fields, and the computed
// frequencies of an observed period.
#include "medium/medium_host.h"
#include "shared/faults.h"

namespace velmor {

struct MediumState;
struct SharedPool;

// Steps until `step` says the loop must end, the yield says the window or
// program is going, or a step faults (the state reached stays).
template <class Step>
MediumRunEnd RunMediumLoop(MediumHost& host, Step step) {
  try {
    for (;;) {
      if (step()) return MediumRunEnd::Stopped;
      if (!host.Yield()) return MediumRunEnd::Closed;
    }
  } catch (const ComputeFault&) {
    return MediumRunEnd::Fault;
  }
}

// Whether this step refreshes the display: the step counter has reached
// NC0, or passed it because NC0 was lowered since. An NC0 below 1 never
// refreshes.
bool RefreshDue(const SharedPool& P);

// t += dt and both bodies move by dt·velocity.
void MoveBodies(SharedPool& P);

// The run's own values (M.Run) from the start now set up: the pool's Vs,
// v0 and velocities after the frame conversion, T0, kTiso and the kind.
void KeepRunValues(const SharedPool& P, MediumState& M);

// V1 and V2, the bodies' speeds.
void SetSpeeds(SharedPool& P);

// The body markers drawn now, to be erased at the next refresh.
void RememberMarkers(const SharedPool& P, MediumState& M);

// A run set up to start at its first step: stopped at once when `stop`, no
// front seen yet, `period` the first to look for; the fields show the start.
void ReadyRun(SharedPool& P, MediumState& M, MediumHost& host, bool stop, int period);

// Text17 t, Text13 X1, Text15 Y1, Text14 X2, Text16 Y2, Text11 VX1, Text25 VX2.
void ShowBodyFields(const SharedPool& P, MediumHost& host);

// vn(i), vk(i) and their mean v(i) of the observed period i (receptions i
// and i + 1) into the pool's v1n, v1k, v1, with the run's own v0. The ray
// bundle takes the local signal speeds at both ends (Vs1, Vs2), the field
// of retarded potentials Vs itself.
void StorePeriodFrequencies(SharedPool& P, const MediumState& M, int i, bool localSpeeds,
                            bool relativistic);

}  // namespace velmor
