// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The experiment of the medium window's design-time fields, as a start
// leaves it in the pool and the medium state just before its set-up: for
// benchmarks and tests that run the engines without the window.
namespace velmor {

struct MediumState;
struct SharedPool;

// Also the start-up constants; the bundle's shape is computed.
void SetWindowDefaults(SharedPool& P, MediumState& M);

}  // namespace velmor
