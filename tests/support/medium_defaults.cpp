// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/medium_defaults.h"

#include <stdexcept>

#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"
#include "support/declared_form.h"
#include "workbench/experiment_engine.h"

namespace velmor::testing {

void SetMediumDefaults(SharedPool& P, MediumState& M) {
  static const DeclaredForm form("medium/medium_window.ui");
  const auto number = [](const char* name) { return form.Number(name); };
  const auto whole = [](const char* name) {
    const auto value = ParseWhole(form.Text(name));
    if (!value) throw std::invalid_argument(std::string("declared text of ") + name);
    return *value;
  };
  SetStartupConstants(P);
  P.X(1) = number("Text1");
  P.Y(1) = number("Text5");
  P.VX(1) = number("Text3");
  P.VY(1) = number("Text7");
  P.X(2) = number("Text2");
  P.Y(2) = number("Text6");
  P.VX(2) = number("Text4");
  P.VY(2) = number("Text8");
  P.Vs = number("Text12");
  M.VXiso = number("Text50");
  P.PictureScale = number("Text19");
  P.TimeStep = number("Text9");
  P.NC0 = whole("Text10");
  P.T00 = number("Text18");
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
