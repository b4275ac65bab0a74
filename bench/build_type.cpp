// SPDX-License-Identifier: GPL-3.0-or-later
// Every benchmark states the build type it ran with in its context, so a
// figure is never read as that of another build.
#include <benchmark/benchmark.h>

#ifndef VELMOR_BUILD_TYPE
#define VELMOR_BUILD_TYPE "unknown"
#endif

namespace {

const bool kStated = [] {
  benchmark::AddCustomContext("build_type", VELMOR_BUILD_TYPE);
  return true;
}();

}  // namespace
