// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/shared_pool.h"

namespace velmor {

SharedPool::SharedPool() = default;

SharedPool& Pool() {
  static SharedPool pool;
  return pool;
}

void SetStartupConstants(SharedPool& pool) {
  pool.Pi = 3.14159265358979;
  pool.DegPerRad = 180 / pool.Pi;
  pool.Million = 1000000;
  pool.LightSpeed = 299790000;
  pool.ElementaryCharge = 1e-19 * 1.60218;
}

}  // namespace velmor
