// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_run.h"

#include "medium/medium_formulas.h"
#include "medium/medium_state.h"
#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

bool RefreshDue(const SharedPool& P) {
  return P.NC0 >= 1 && P.StepCounter >= P.NC0;
}

void MoveBodies(SharedPool& P) {
  const double dt = P.TimeStep;
  P.CurrentTime = Chk(P.CurrentTime + dt);
  P.X(1) = Chk(P.X(1) + Chk(dt * P.VX(1)));
  P.Y(1) = Chk(P.Y(1) + Chk(dt * P.VY(1)));
  P.X(2) = Chk(P.X(2) + Chk(dt * P.VX(2)));
  P.Y(2) = Chk(P.Y(2) + Chk(dt * P.VY(2)));
}

void KeepRunValues(const SharedPool& P, MediumState& M) {
  M.Run = {P.Vs, P.v0, P.VX(1), P.VX(2), P.VY(1), P.VY(2), M.T0, M.kTiso, M.ExperimentKind};
}

void SetSpeeds(SharedPool& P) {
  P.V1 = CheckedSqrt(Chk(P.VX(1) * P.VX(1) + P.VY(1) * P.VY(1)));
  P.V2 = CheckedSqrt(Chk(P.VX(2) * P.VX(2) + P.VY(2) * P.VY(2)));
}

void RememberMarkers(const SharedPool& P, MediumState& M) {
  M.PrevX1 = P.X(1);
  M.PrevY1 = P.Y(1);
  M.PrevX2 = P.X(2);
  M.PrevY2 = P.Y(2);
}

void ReadyRun(SharedPool& P, MediumState& M, MediumHost& host, bool stop, int period) {
  P.StopFlag = stop ? 1 : 0;
  M.FrontState = 0;
  P.StepCounter = 0;
  P.PeriodNumber = period;
  host.ShowWhole(Out::Text20, 0);
  ShowBodyFields(P, host);
}

void ShowBodyFields(const SharedPool& P, MediumHost& host) {
  host.Show(Out::Text17, P.CurrentTime);
  host.Show(Out::Text13, P.X(1));
  host.Show(Out::Text15, P.Y(1));
  host.Show(Out::Text14, P.X(2));
  host.Show(Out::Text16, P.Y(2));
  host.Show(Out::Text11, P.VX(1));
  host.Show(Out::Text25, P.VX(2));
}

void StorePeriodFrequencies(SharedPool& P, const MediumState& M, int i, bool localSpeeds,
                            bool relativistic) {
  auto at = [&](int k) {
    const double c1 = localSpeeds ? M.Vs1(k) : P.Vs;
    const double c2 = localSpeeds ? M.Vs2(k) : P.Vs;
    return MediumDoppler(M.Run.v0, P.Qn1(k), P.Qn2(k), P.V1, P.V2, c1, c2, P.Vs, relativistic);
  };
  const double vn = at(i);
  const double vk = at(i + 1);
  P.v1n(i) = vn;
  P.v1k(i) = vk;
  P.v1(i) = Chk((vn + vk) / 2);
}

}  // namespace velmor
