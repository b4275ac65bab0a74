// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the interferometer benchmarks share: a picture that draws nothing
// and a pool with the start-up constants.
#include <string_view>

#include "shared/null_canvas.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor::bench {

using velmor::NullCanvas;

inline SharedPool& BenchPool() {
  static SharedPool pool = [] {
    SharedPool p;
    SetStartupConstants(p);
    return p;
  }();
  return pool;
}

}  // namespace velmor::bench
