// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/period_search.h"

#include <gtest/gtest.h>

#include "medium/medium_state.h"
#include "medium_fake_host.h"
#include "shared/shared_pool.h"

namespace velmor {
namespace {

struct Search : medium_testing::MediumEngineTest {
  void SetUp() override {
    MediumEngineTest::SetUp();
    // Bodies at rest, the receiver 50 m above the source (just right of the
    // vertical ray): 2,5 s of signal.
    P.X(1) = 0.01;
    P.Y(1) = 50;
    P.VX(1) = 0;
    P.VX(2) = 0;
    ComputeBundleShape(P, M);
  }
};

TEST_F(Search, VacuumPeriodIsDistanceOverSignalSpeed) {
  M.Prepared = true;
  SetUpPeriodSearch(P, M, host);
  EXPECT_FALSE(M.Prepared);
  EXPECT_EQ(RunPeriodSearch(P, M, host), MediumRunEnd::Stopped);
  EXPECT_NEAR(P.T00, 2.5, 0.0015);
  EXPECT_DOUBLE_EQ(P.v0, 1 / P.T00);
  EXPECT_EQ(host.Field(Out::Text18), GeneralForm(P.T00));
  EXPECT_EQ(host.Field(Out::Text22), GeneralForm(P.v0));
  EXPECT_EQ(host.Field(Out::Text17), GeneralForm(P.CurrentTime));
  // Every step shows the time so far.
  EXPECT_EQ(host.Shown(Out::Text18).size(), static_cast<std::size_t>(host.yields) + 1);
  EXPECT_TRUE(host.asked.empty());
}

TEST_F(Search, MeasuredFromTheReceiversClockUnderRelativity) {
  // A frame moving at 12 m/s shifts the start to T1 = −(12·0,01/400)/0,8.
  host.relativistic = true;
  M.VXiso = 12;
  SetUpPeriodSearch(P, M, host);
  const double T1 = -(12 * 0.01 / 400) / 0.8;
  EXPECT_DOUBLE_EQ(P.CurrentTime, T1);
  ASSERT_EQ(RunPeriodSearch(P, M, host), MediumRunEnd::Stopped);
  EXPECT_DOUBLE_EQ(P.T00, P.CurrentTime - T1);
}

TEST_F(Search, StopEndsItAfterTheStepInProgress) {
  SetUpPeriodSearch(P, M, host);
  host.onYield = [&] {
    if (host.yields == 100) P.StopFlag = 1;
    return true;
  };
  EXPECT_EQ(RunPeriodSearch(P, M, host), MediumRunEnd::Stopped);
  EXPECT_NEAR(P.T00, 0.101, 1e-12);
}

TEST_F(Search, WithoutAutoEveryStepAsksAndNoEnds) {
  host.autoMode = false;
  host.answers = {true, true, false};
  SetUpPeriodSearch(P, M, host);
  EXPECT_EQ(RunPeriodSearch(P, M, host), MediumRunEnd::Stopped);
  ASSERT_EQ(host.asked.size(), 3u);
  EXPECT_EQ(host.asked[0].first, "Velmor");
  EXPECT_EQ(host.asked[0].second, "ПРОДОЛЖИТЬ ДВИЖЕНИЕ");
  EXPECT_NEAR(P.T00, 0.003, 1e-15);
}

TEST_F(Search, MarkersEveryStepAndRaysOnlyWhenDrawing) {
  SetUpPeriodSearch(P, M, host);
  host.answers = {false};
  host.autoMode = false;
  RunPeriodSearch(P, M, host);
  EXPECT_EQ(host.canvas.Count(CanvasOp::Kind::Circle), 4u);
  EXPECT_EQ(host.canvas.Count(CanvasOp::Kind::Line), 0u);
  host.drawing = true;
  host.answers = {false};
  SetUpPeriodSearch(P, M, host);
  host.canvas.Reset();
  RunPeriodSearch(P, M, host);
  EXPECT_EQ(host.canvas.Count(CanvasOp::Kind::Line), 401u);
}

TEST_F(Search, ZeroTimeStepFaultsAtThePeriod) {
  P.TimeStep = 0;
  SetUpPeriodSearch(P, M, host);
  EXPECT_EQ(RunPeriodSearch(P, M, host), MediumRunEnd::Fault);
}

}  // namespace
}  // namespace velmor
