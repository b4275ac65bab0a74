// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/potential_engine.h"

#include <gtest/gtest.h>

#include <cmath>

#include "medium/medium_state.h"
#include "medium_fake_host.h"
#include "shared/faults.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {
namespace {

using medium_testing::PlaceBodies;
using Kind = CanvasOp::Kind;

TEST(MovingChargeField, ByHand) {
  // 2000·2/10² = 40 at rest.
  EXPECT_DOUBLE_EQ(MovingChargeField(2000, 2, 10, 0, 20, 1.0), 40);
  // V2 = 10, c = 20: (1 − ¼) / (1 − ¼·sin²)^1,5.
  EXPECT_DOUBLE_EQ(MovingChargeField(2000, 2, 10, 10, 20, 0), 30);
  EXPECT_NEAR(MovingChargeField(2000, 2, 10, 10, 20, std::acos(-1) / 2), 40 / std::sqrt(0.75),
              1e-12);
}

TEST(MovingChargeField, FaultsWhereTheFormulaFails) {
  EXPECT_THROW(MovingChargeField(2000, 2, 0, 0, 20, 0), ComputeFault);
  EXPECT_THROW(MovingChargeField(2000, 2, 10, 30, 20, std::acos(-1) / 2), ComputeFault);
  EXPECT_THROW(MovingChargeField(2000, 2, 10, 20, 20, std::acos(-1) / 2), ComputeFault);
  EXPECT_THROW(MovingChargeField(2000, 2, 10, 0, 0, 0), ComputeFault);
}

struct Potential : medium_testing::MediumEngineTest {
  void AtRest() {
    P.VX(1) = 0;
    P.VX(2) = 0;
  }
};

TEST_F(Potential, SetUpEvenWhenOnlyPrepared) {
  M.ExperimentKind = kBundleKind;
  P.Tk1(5) = 7;
  SetUpPotentialExperiment(P, M, host, true);
  EXPECT_EQ(M.ExperimentKind, kPotentialKind);
  EXPECT_TRUE(M.Prepared);
  EXPECT_EQ(P.StopFlag, 1);
  EXPECT_EQ(P.PeriodNumber, 0);
  EXPECT_EQ(P.Tk1(5), 0);
  EXPECT_EQ(P.Xk1(0), 100);
  EXPECT_EQ(P.Yk1(0), 50);
  EXPECT_DOUBLE_EQ(M.SineOmega, 2 * P.Pi * 0.2);
  EXPECT_EQ(M.FieldScale, 2000);
  EXPECT_EQ(host.Field(Out::Text20), "0");
  EXPECT_EQ(host.Field(Out::Text11), "5");
}

TEST_F(Potential, SignalAtRestRepeatsWithTheTransmittersPeriod) {
  AtRest();
  host.signalOnly = true;
  SetUpPotentialExperiment(P, M, host, false);
  EXPECT_EQ(RunPotentialSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_EQ(P.PeriodNumber, 20);
  // sin peaks at T00/4 + k·T00; found in the step after.
  EXPECT_NEAR(P.Tn2(1), 1.251, 1e-9);
  for (int p = 2; p <= 20; ++p) {
    EXPECT_NEAR(P.Tk1(p) - P.Tk1(p - 1), 5, 0.0011) << p;
  }
  EXPECT_NEAR(*ParseNumber(host.Field(Out::Text24)), 0.2, 0.2 * 0.001 / 5);
  EXPECT_EQ(host.Field(Out::Text20), "19");
  // The delay of a receiver at rest: its distance over Vs.
  EXPECT_NEAR(P.Tn1(1) - P.Tn2(1), std::sqrt(100.0 * 100 + 50 * 50) / 20, 1e-9);
  // At rest the computed frequency is v0 itself.
  EXPECT_NEAR(P.v1(1), 0.2, 1e-12);
}

TEST_F(Potential, FieldMaximumCountsOnceUntilItRisesAgain) {
  // The field of a receiver the source passes by: one maximum, at the
  // closest approach, then a field that only decreases while the charge
  // oscillates weakly (T00 long).
  PlaceBodies(P, 10, 5, 5, 1000);
  host.delay = FieldDelay::None;
  SetUpPotentialExperiment(P, M, host, false);
  host.onYield = [&] {
    if (host.yields == 4000) P.StopFlag = 1;
    return true;
  };
  EXPECT_EQ(RunPotentialSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_EQ(P.PeriodNumber, 1);
  EXPECT_NEAR(P.Tn2(1), 2, 0.05);
}

TEST_F(Potential, FieldThatNeverFallsRunsUntilStopped) {
  // Receiver and source approach head on; the charge hardly changes.
  PlaceBodies(P, 1000, 0, 5, 1e6);
  host.delay = FieldDelay::None;
  SetUpPotentialExperiment(P, M, host, false);
  host.onYield = [&] {
    if (host.yields == 20000) P.StopFlag = 1;
    return true;
  };
  EXPECT_EQ(RunPotentialSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_EQ(P.PeriodNumber, 0);
  EXPECT_EQ(host.yields, 20000);
}

TEST_F(Potential, TimePlotColoursAndDelayShift) {
  AtRest();
  P.NC0 = 1;
  host.drawing = true;
  host.delay = FieldDelay::None;
  SetUpPotentialExperiment(P, M, host, true);
  RunPotentialSteps(P, M, host);  // one step
  auto points = host.canvas.OpsOf(Kind::Point);
  ASSERT_EQ(points.size(), 3u);
  const double t = 0.001;
  const double E = 2000 * (2 + std::sin(2 * P.Pi * 0.2 * t)) / (100.0 * 100 + 50 * 50);
  EXPECT_DOUBLE_EQ(points[0].a, t / 5);
  EXPECT_DOUBLE_EQ(points[0].b, std::sin(2 * P.Pi * 0.2 * t) - 2);
  EXPECT_EQ(points[0].colour, RGB(0, 250, 0));
  EXPECT_DOUBLE_EQ(points[1].a, t / 5);
  EXPECT_NEAR(points[1].b, E + 4, 1e-12);
  EXPECT_EQ(points[1].colour, RGB(250, 0, 0));
  EXPECT_EQ(points[2].b, 0);
  EXPECT_EQ(points[2].colour, RGB(250, 0, 250));
  // With a delay the field is blue and τ/TimeScale to the right.
  host.delay = FieldDelay::Current;
  host.canvas.Reset();
  P.StopFlag = 1;
  RunPotentialSteps(P, M, host);
  points = host.canvas.OpsOf(Kind::Point);
  const double tau = std::sqrt(100.0 * 100 + 50 * 50) / 20;
  EXPECT_DOUBLE_EQ(points[1].a, (0.002 + tau) / 5);
  EXPECT_EQ(points[1].colour, RGB(0, 0, 250));
  EXPECT_DOUBLE_EQ(points[2].b, tau);
  const auto circles = host.canvas.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 4u);
  EXPECT_EQ(circles[0].colour, kWhite);
  EXPECT_EQ(circles[3].colour, RGB(0, 0, 250));
}

TEST_F(Potential, RealDelayTakesTheFieldWhereTheSignalMeetsTheReceiver) {
  // Source at rest at the origin, receiver at (30, 0) receding at 5 m/s:
  // the signal sent now catches it after 30/15 = 2 s (at the first step
  // the receiver is 0,005 m further).
  P.X(1) = 30;
  P.Y(1) = 0;
  P.VX(2) = 0;
  host.signalOnly = true;
  SetUpPotentialExperiment(P, M, host, true);
  RunPotentialSteps(P, M, host);
  EXPECT_NEAR(M.Delay, 30.005 / 15, 1e-12);
  EXPECT_NEAR(M.FieldPointX, 30.005 + 5 * 30.005 / 15, 1e-9);
  EXPECT_EQ(M.FieldPointY, 0);
}

TEST_F(Potential, WithoutAutoEveryMaximumAsks) {
  AtRest();
  host.signalOnly = true;
  host.autoMode = false;
  host.answers = {true, false};
  SetUpPotentialExperiment(P, M, host, false);
  EXPECT_EQ(RunPotentialSteps(P, M, host), MediumRunEnd::Stopped);
  ASSERT_EQ(host.asked.size(), 2u);
  EXPECT_EQ(host.asked[1].first, "Velmor");
  EXPECT_EQ(host.asked[1].second, "ПРОДОЛЖИТЬ ЭКСПЕРИМЕНТ");
  EXPECT_EQ(P.PeriodNumber, 2);
}

TEST_F(Potential, ChargeOnTheReceiverIsAFault) {
  P.X(1) = 0;
  P.Y(1) = 0;
  P.VX(1) = 9;
  host.delay = FieldDelay::None;
  SetUpPotentialExperiment(P, M, host, false);
  EXPECT_EQ(RunPotentialSteps(P, M, host), MediumRunEnd::Fault);
  EXPECT_DOUBLE_EQ(P.CurrentTime, 0.001);
}

}  // namespace
}  // namespace velmor
