// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/shared_pool.h"

namespace velmor {

SharedPool::SharedPool() = default;

SharedPool& Pool() {
  static SharedPool pool;
  return pool;
}

}  // namespace velmor
