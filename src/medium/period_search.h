// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The conventional period as the propagation time: one bundle leaves the
// source at the start and the search ends in the step in which its front has
// passed the receiver; T00 is the time elapsed.
#include "medium/medium_host.h"

namespace velmor {

struct MediumState;
struct SharedPool;

// The question after every step without "Auto".
extern const char* const kContinueMotion;

// Steps 2 to 5 of the search, after the fields are in the pool and the
// medium state. Faults propagate ("Ошибка рассчета").
void SetUpPeriodSearch(SharedPool& P, MediumState& M, MediumHost& host);

// One step; true when the search ends after it.
bool PeriodSearchStep(SharedPool& P, MediumState& M, MediumHost& host);

MediumRunEnd RunPeriodSearch(SharedPool& P, MediumState& M, MediumHost& host);

}  // namespace velmor
