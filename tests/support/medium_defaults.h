// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The experiment of the medium window's declared fields, as a start leaves
// it in the pool and the medium state just before its set-up: for tests and
// benchmarks that run the engines without the window.
namespace velmor {

struct MediumState;
struct SharedPool;

namespace testing {

// Also the start-up constants; the bundle's shape is computed. The fields go
// where the window's start puts them.
void SetMediumDefaults(SharedPool& P, MediumState& M);

}  // namespace testing
}  // namespace velmor
