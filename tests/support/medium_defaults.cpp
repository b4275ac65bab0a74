// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/medium_defaults.h"

#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/shared_pool.h"
#include "support/declared_form.h"
#include "support/experiment_defaults.h"

namespace velmor::testing {

void SetMediumDefaults(SharedPool& P, MediumState& M) {
  static const DeclaredForm form("medium/medium_window.ui");
  const auto number = [](const char* name) { return form.Number(name); };
  const auto whole = [](const char* name) { return form.Whole(name); };
  SetDeclaredExperiment(P, form);
  M.VXiso = number("Text50");
  P.v0 = 1 / P.T00;
  M.Np = whole("Text23");
  M.Kp = number("Text33");
  M.RayCount = whole("Text32");
  M.ConeAngle = number("Text34") / P.DegPerRad;
  M.MeanAngle = number("Text35") / P.DegPerRad;
  M.TimeScale = number("Text43");
  ComputeBundleShape(P, M);
}

}  // namespace velmor::testing
