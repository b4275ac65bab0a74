// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/experiment_defaults.h"

#include "shared/shared_pool.h"
#include "support/declared_form.h"

namespace velmor::testing {

void SetDeclaredExperiment(SharedPool& P, const DeclaredForm& form) {
  const auto number = [&form](const char* name) { return form.Number(name); };
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
  P.PictureScale = number("Text19");
  P.TimeStep = number("Text9");
  P.NC0 = form.Whole("Text10");
  P.T00 = number("Text18");
}

void SetDefaultExperiment(SharedPool& P, std::optional<double> T00) {
  static const DeclaredForm form("workbench/main_window.ui");
  SetDeclaredExperiment(P, form);
  if (T00) P.T00 = *T00;
  // What "1-Задать T00, с" leaves of the transmitter.
  P.Nv0 = 0.2 * P.T00;
  P.v0 = 0.2;
}

}  // namespace velmor::testing
