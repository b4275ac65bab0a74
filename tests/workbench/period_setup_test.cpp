// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/period_setup.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"

namespace velmor {
namespace {

using testing::FakeHost;
using testing::LoadDefaults;

TEST(PeriodSetup, DefaultsGiveTheTravelTimeOfTheTypedDistance) {
  SharedPool P;
  LoadDefaults(P);
  FakeHost host;
  EXPECT_FALSE(SetConventionalPeriod(P, host));
  // Source at t = 0 at (0, 0); receiver typed at (86,60254; 50) is
  // 99,999999672 m from it, not exactly 100 m.
  const double d0 = std::sqrt(86.60254 * 86.60254 + 50.0 * 50.0) * 1.0000000001;
  EXPECT_EQ(host.travel, d0 / 20);
  EXPECT_EQ(GeneralForm(host.travel), "4,9999999841129");
  EXPECT_EQ(GeneralForm(host.nv0), "1");
  EXPECT_EQ(P.v0, 0.2);
  EXPECT_EQ(P.Xn2(0), 0);
  EXPECT_EQ(P.Xn2(2), 50);
  EXPECT_EQ(P.Tn2(2), 5);
  EXPECT_EQ(P.Xn1(1), 86.60254);
  EXPECT_NEAR(P.Xn1(0), 56.60254, 1e-12);
  EXPECT_EQ(P.DeltaX, 86.60254);
  EXPECT_EQ(P.DeltaY, 50);
}

TEST(PeriodSetup, ShortPeriodWarnsAfterDrawing) {
  SharedPool P;
  LoadDefaults(P, 4);
  FakeHost host;
  EXPECT_TRUE(SetConventionalPeriod(P, host));
  EXPECT_EQ(P.X(2), 10);
  EXPECT_NEAR(host.travel, std::sqrt(76.60254 * 76.60254 + 2500) * 1.0000000001 / 20, 1e-12);
  EXPECT_NEAR(host.travel, 4.57, 0.01);
  EXPECT_NEAR(host.nv0, 0.8, 1e-15);
  EXPECT_GT(host.canvas.Count(CanvasOp::Kind::Line), 60u);
}

TEST(PeriodSetup, NegativePeriodAlwaysWarns) {
  SharedPool P;
  LoadDefaults(P, -5);
  FakeHost host;
  EXPECT_TRUE(SetConventionalPeriod(P, host));
  EXPECT_EQ(P.X(2), 100);
  EXPECT_EQ(host.nv0, -1);
}

TEST(PeriodSetup, ArithmeticFaultsStopWhereTheyHappen) {
  {
    SharedPool P;
    LoadDefaults(P);
    P.Vs = 0;
    FakeHost host;
    EXPECT_THROW(SetConventionalPeriod(P, host), ComputeFault);
    EXPECT_EQ(host.travel, -1);  // nothing shown
    EXPECT_EQ(P.X(2), 0);        // step 2 was done
  }
  {
    SharedPool P;
    LoadDefaults(P, 0);
    FakeHost host;
    EXPECT_THROW(SetConventionalPeriod(P, host), ComputeFault);
    EXPECT_GT(host.travel, 0);  // shown before Nv0 = 0.2 / (1 / 0) faults
    EXPECT_EQ(host.nv0, -1);
  }
  {
    SharedPool P;
    LoadDefaults(P);
    P.PictureScale = 0;
    FakeHost host;
    EXPECT_THROW(SetConventionalPeriod(P, host), ComputeFault);
    EXPECT_EQ(host.nv0, 1);  // faults only when drawing
  }
}

}  // namespace
}  // namespace velmor
