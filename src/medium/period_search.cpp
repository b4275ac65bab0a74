// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/period_search.h"

#include "medium/medium_run.h"
#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

const char* const kContinueMotion = "ПРОДОЛЖИТЬ ДВИЖЕНИЕ";

namespace {

constexpr Rgb kMarker = RGB(250, 0, 0);
constexpr double kMark = 0.2;

}  // namespace

void SetUpPeriodSearch(SharedPool& P, MediumState& M, MediumHost& host) {
  // A search moves the bodies and relaunches the rays: whatever experiment
  // was prepared cannot be continued from here.
  M.Prepared = false;
  M.AllocateRays();
  ConvertFrame(P, M, host.Relativistic());
  P.StopFlag = 0;
  RememberMarkers(P, M);
  LaunchBundle(P, M, host.Law());
}

bool PeriodSearchStep(SharedPool& P, MediumState& M, MediumHost& host) {
  MoveBodies(P);
  // The rays move on; the search ends once the front has passed the receiver.
  RayStepInput in;
  in.law = host.Law();
  in.bundle = false;
  if (host.Drawing()) in.canvas = &host.Picture();
  if (PropagateRays(P, M, in).passed) P.StopFlag = 1;
  // Body markers.
  Canvas& c = host.Picture();
  const double S = P.PictureScale;
  c.Circle(CheckedDiv(M.PrevX1, S), CheckedDiv(M.PrevY1, S), kMark, kWhite);
  c.Circle(CheckedDiv(P.X(1), S), CheckedDiv(P.Y(1), S), kMark, kMarker);
  c.Circle(CheckedDiv(M.PrevX2, S), CheckedDiv(M.PrevY2, S), kMark, kWhite);
  c.Circle(CheckedDiv(P.X(2), S), CheckedDiv(P.Y(2), S), kMark, kMarker);
  RememberMarkers(P, M);
  // The time so far is the period.
  P.T00 = Chk(P.CurrentTime - M.T1);
  P.v0 = CheckedDiv(1, P.T00);
  ShowBodyFields(P, host);
  host.Show(Out::Text18, P.T00);
  host.Show(Out::Text22, P.v0);
  if (!host.AutoMode() && !host.Ask("Velmor", kContinueMotion)) return true;
  return P.StopFlag == 1;
}

MediumRunEnd RunPeriodSearch(SharedPool& P, MediumState& M, MediumHost& host) {
  return RunMediumLoop(host, [&] { return PeriodSearchStep(P, M, host); });
}

}  // namespace velmor
