// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_state.h"

namespace velmor {

void MediumState::AllocateRays() {
  const auto n = static_cast<std::size_t>(RayCount) + 1;
  for (std::vector<double>* a : {&RayLaunchAngle, &RaySin, &RayCos, &RayX, &RayY, &RayDensity}) {
    a->assign(n, 0.0);
  }
  RayDirY.assign(n, 1.0);
}

MediumState& Medium() {
  static MediumState state;
  return state;
}

}  // namespace velmor
