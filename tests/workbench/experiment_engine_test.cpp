// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_engine.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "shared/checked_math.h"

namespace velmor {
namespace {

using testing::FakeHost;
using testing::LoadDefaults;

// Time at which a front leaving (0, 0) at t = 0 reaches the receiver moving
// from (x0, y0) with (vx, 0): |(x0 + vx t, y0)| = vs t.
double Arrival(double x0, double y0, double vx, double vs) {
  const double a = vx * vx - vs * vs, b = 2 * x0 * vx, c = x0 * x0 + y0 * y0;
  return (-b - std::sqrt(b * b - 4 * a * c)) / (2 * a);
}

// Arrival of the front emitted at te from (xe, 0) at the default receiver,
// which is at (56.60254 + 6 t, 50).
double DefaultArrival(double te, double xe) {
  return te + Arrival(56.60254 + 6 * te - xe, 50, 6, 20);
}

// The main window's default experiment in a pool of its own, and a host; a
// test changes either before it sets the experiment up.
class DefaultExperiment : public ::testing::Test {
 protected:
  DefaultExperiment() { LoadDefaults(P); }
  SharedPool P;
  FakeHost host;
};
using ExperimentSetUp = DefaultExperiment;
using ExperimentRun = DefaultExperiment;

TEST_F(ExperimentSetUp, MovesBodiesBackToTimeZeroAndFillsPeriods) {
  SetUpExperiment(P, host);
  EXPECT_EQ(P.X(2), 0);
  EXPECT_EQ(P.Y(2), 0);
  EXPECT_NEAR(P.X(1), 56.60254, 1e-12);
  EXPECT_NEAR(P.Xn1(1), 86.60254, 1e-12);
  for (int i = 1; i <= 20; ++i) {
    EXPECT_EQ(P.Tn2(i), (i - 1) * 5.0);
    EXPECT_EQ(P.Tn1(i), i * 5.0);
    EXPECT_EQ(P.Xn2(i), 50.0 * (i - 1));
    EXPECT_NEAR(P.Xn1(i), 56.60254 + 30.0 * i, 1e-9);
  }
  EXPECT_EQ(P.PeriodNumber, 1);
  EXPECT_EQ(host.lastPeriodShown, 1);
  EXPECT_EQ(P.RangeCheckArmed, 1);
  EXPECT_EQ(P.QV1, 0);
  EXPECT_EQ(P.Qn2(20), 0);
  EXPECT_TRUE(host.reportStarted);
}

TEST_F(ExperimentRun, FirstReceptionAtTheTravelTime) {
  SetUpExperiment(P, host);
  RunEnd end = RunEnd::Stopped;
  while (P.PeriodNumber == 1) ASSERT_FALSE(ExperimentStep(P, host, end));
  const double t = Arrival(56.60254, 50, 6, 20);
  EXPECT_NEAR(t, 5, 1e-7);
  // The front radius is a sum of steps, so the reception lies within a step
  // or two of the exact instant.
  EXPECT_GE(P.Tk1(0), t - 1e-9);
  EXPECT_LE(P.Tk1(0), t + 2e-3);
  EXPECT_NEAR(P.Xk1(0), 86.60254, 6 * 2e-3);
  EXPECT_EQ(P.Yk1(0), 50);
  EXPECT_NEAR(P.Xk2(1), 50, 10 * 2e-3);
  // Sight angle from the emission point (0, 0) to the receiver: about 30°.
  EXPECT_NEAR(P.An(1), std::atan2(50, 86.60254) * 180 / M_PI, 0.01);
  EXPECT_NEAR(P.Qn1(1), -P.An(1), 1e-12);
  EXPECT_EQ(host.lastPeriodShown, 2);
  EXPECT_EQ(P.FrontRadius, 0);
}

TEST_F(ExperimentRun, DefaultRunEndsAtTheFirstRefreshOfPeriod20) {
  host.recordDrawing = false;
  SetUpExperiment(P, host);
  EXPECT_EQ(RunExperimentSteps(P, host), RunEnd::Fault);
  EXPECT_EQ(P.PeriodNumber, 20);
  for (int i = 0; i <= 18; ++i) EXPECT_GT(P.Tk1(i), 0) << i;
  EXPECT_EQ(P.Tk1(19), 0);
  // Each reception agrees with the exact arrival of its front, as long as
  // the front could start at its emission (the previous one had arrived).
  int checked = 0;
  for (int i = 1; i <= 19; ++i) {
    const double exact = DefaultArrival(5.0 * (i - 1), 50.0 * (i - 1));
    const bool onTime = i == 1 || P.Tk1(i - 2) <= 5.0 * (i - 1);
    if (!onTime) continue;
    ++checked;
    EXPECT_NEAR(P.Tk1(i - 1), exact, 3e-3) << i;
    EXPECT_NEAR(P.Xk1(i - 1), 56.60254 + 6 * exact, 6 * 3e-3) << i;
  }
  EXPECT_GE(checked, 5);
  // The range warning came once and was accepted.
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0], std::string(kRangeWarning) + kContinueQuestion);
  EXPECT_EQ(P.RangeCheckArmed, 0);
}

TEST_F(ExperimentRun, DecliningTheRangeWarningKeepsItArmed) {
  host.recordDrawing = false;
  host.answers = {false};
  SetUpExperiment(P, host);
  EXPECT_EQ(RunExperimentSteps(P, host), RunEnd::Declined);
  EXPECT_EQ(P.StopFlag, 0);
  EXPECT_EQ(P.RangeCheckArmed, 1);
  const double t = P.CurrentTime;
  // Continuing asks again at once, because the condition still holds.
  host.answers = {true};
  host.yieldLimit = host.yields + 10;
  EXPECT_EQ(RunExperimentSteps(P, host), RunEnd::Closed);
  EXPECT_EQ(host.asked.size(), 2u);
  EXPECT_NEAR(P.CurrentTime, t + 1e-3 * 10, 1e-9);
  EXPECT_EQ(P.RangeCheckArmed, 0);
}

TEST_F(ExperimentRun, StopFlagMakesExactlyOneStep) {
  SetUpExperiment(P, host);
  for (int click = 1; click <= 40; ++click) {
    P.StopFlag = 1;
    EXPECT_EQ(RunExperimentSteps(P, host), RunEnd::Stopped);
    EXPECT_EQ(P.StepCounter, click % 20);
    EXPECT_EQ(host.refreshes, click / 20);
    EXPECT_NEAR(P.CurrentTime, click * 1e-3, 1e-12);
  }
  EXPECT_EQ(host.yields, 0);
}

// A reception made by a single step (or by the step during which "Остановить"
// was pressed) moves on to the next period like any other: the period is
// received once, its angles reduced by its sight angle once.
TEST_F(ExperimentRun, SingleStepsReceiveEachPeriodOnce) {
  SharedPool auto_;
  LoadDefaults(auto_);
  FakeHost autoHost;
  autoHost.recordDrawing = false;
  SetUpExperiment(auto_, autoHost);
  RunEnd end = RunEnd::Stopped;
  while (auto_.PeriodNumber < 4) ASSERT_FALSE(ExperimentStep(auto_, autoHost, end));

  host.recordDrawing = false;
  SetUpExperiment(P, host);
  while (P.PeriodNumber < 4 && P.CurrentTime < 30) {
    P.StopFlag = 1;
    ASSERT_EQ(RunExperimentSteps(P, host), RunEnd::Stopped);
  }
  ASSERT_EQ(P.PeriodNumber, 4);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(P.Tk1(i - 1), auto_.Tk1(i - 1)) << i;
    EXPECT_EQ(P.Qn1(i), auto_.Qn1(i)) << i;
    EXPECT_EQ(P.Qn2(i), auto_.Qn2(i)) << i;
  }
}

TEST_F(ExperimentRun, ManualModeJumpsToMultiplesOfT00) {
  host.autoMode = false;
  host.recordDrawing = false;
  SetUpExperiment(P, host);
  RunEnd end = RunEnd::Stopped;
  int received = 0;
  // Accept the first two questions, decline the third.
  host.continueAnswers = {true, true, false};
  while (!ExperimentStep(P, host, end)) {
    if (P.PeriodNumber > received + 1) {
      ++received;
      EXPECT_NEAR(P.CurrentTime, 5.0 * received, 1e-9);
      EXPECT_EQ(P.LastResetTime, P.CurrentTime);
      EXPECT_EQ(P.X(2), P.Xn2(received + 1));
    }
  }
  EXPECT_EQ(end, RunEnd::Stopped);
  EXPECT_EQ(P.StopFlag, 1);
  EXPECT_EQ(P.PeriodNumber, 3);  // No left the number where it was
  EXPECT_EQ(host.lastPeriodShown, 3);
  EXPECT_NEAR(P.CurrentTime, 15, 1e-9);
}

TEST_F(ExperimentRun, ZeroSignalSpeedFaultsAtTheFirstStep) {
  P.Vs = 0;
  SetUpExperiment(P, host);
  EXPECT_EQ(RunExperimentSteps(P, host), RunEnd::Fault);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_NEAR(P.CurrentTime, 1e-3, 1e-15);
  EXPECT_EQ(host.yields, 0);
}

TEST_F(ExperimentRun, SourceAtRestStartsTheNextFrontAfterReception) {
  P.VX(2) = 0;
  P.X(1) = 30;
  P.Y(1) = 0;
  P.VX(1) = 0;
  SetUpExperiment(P, host);
  RunEnd end = RunEnd::Stopped;
  while (P.PeriodNumber == 1) ASSERT_FALSE(ExperimentStep(P, host, end));
  EXPECT_NEAR(P.Tk1(0), 1.0, 2e-3);  // 20 m at 20 m/s
  ASSERT_FALSE(ExperimentStep(P, host, end));
  EXPECT_NEAR(P.FrontRadius, 20 * 1e-3, 1e-12);
  while (P.PeriodNumber == 2) ASSERT_FALSE(ExperimentStep(P, host, end));
  EXPECT_NEAR(P.Tk1(1) - P.Tk1(0), 1.0, 2e-3);
}

TEST_F(ExperimentRun, WithoutDelayTheSightAngleUsesBothBodiesAtTheSameInstant) {
  host.delay = false;
  SetUpExperiment(P, host);
  RunEnd end = RunEnd::Stopped;
  while (P.PeriodNumber == 1) ASSERT_FALSE(ExperimentStep(P, host, end));
  // Receiver at t = T00 (86.60254, 50) seen from the source at t = T00 (50, 0).
  EXPECT_NEAR(P.An(1), std::atan2(50, 36.60254) * 180 / M_PI, 1e-9);
}

TEST_F(ExperimentSetUp, OverflowingInputIsAFault) {
  P.VX(2) = 1e308;
  EXPECT_THROW(SetUpExperiment(P, host), ComputeFault);
}

}  // namespace
}  // namespace velmor
