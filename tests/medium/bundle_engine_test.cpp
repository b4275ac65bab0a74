// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/bundle_engine.h"

#include <gtest/gtest.h>

#include <cmath>

#include "medium/bundle_canvas.h"
#include "medium/medium_state.h"
#include "medium_fake_host.h"
#include "shared/faults.h"
#include "shared/shared_pool.h"

namespace velmor {
namespace {

using medium_testing::DefaultInputs;
using medium_testing::MediumFakeHost;
using medium_testing::PlaceBodies;
using Kind = CanvasOp::Kind;

struct Bundle : medium_testing::MediumEngineTest {
  // A receiver at rest 10 m above the slow source's path (0,5 m/s, a
  // period of 2 s): every period arrives within 0,7 s, before the next one
  // leaves.
  void Quick() {
    PlaceBodies(P, 4.75, 10, 0.5, 2);
    ComputeBundleShape(P, M);
  }
};

TEST_F(Bundle, SourceNotMovingRightIsRefusedAfterTheKindIsSet) {
  P.VX(2) = 0;
  M.ExperimentKind = kPotentialKind;
  EXPECT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::SourceNotMovingRight);
  EXPECT_EQ(M.ExperimentKind, kBundleKind);
  EXPECT_FALSE(M.Prepared);
  // The frame speed counts: 9 − 10 moves the source to the left.
  DefaultInputs(P, M);
  M.VXiso = 10;
  EXPECT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::SourceNotMovingRight);
  EXPECT_STREQ(kSourceDirectionMessage,
               "       Этот эксперимент выполняется  \n       только при движении источника \n"
               "и только при движении его слева направо");
}

TEST_F(Bundle, SetUpFillsThePeriodsAndShowsTheStart) {
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, true), BundleSetUp::Ready);
  EXPECT_TRUE(M.Prepared);
  EXPECT_EQ(P.StopFlag, 1);
  EXPECT_EQ(P.PeriodNumber, 1);
  EXPECT_EQ(M.Rays(), 401);
  for (int i : {0, 1, 7, 20}) {
    EXPECT_DOUBLE_EQ(P.Tn2(i), (i - 1) * 5.0);
    EXPECT_DOUBLE_EQ(P.Xn2(i), (i - 1) * 45.0);
    EXPECT_EQ(P.Tk1(i), 0);
    EXPECT_EQ(P.Qn1(i), 0);
    EXPECT_EQ(P.Qn2(i), 0);
    EXPECT_EQ(M.Vs1(i), 20);
    EXPECT_EQ(M.Vs2(i), 20);
  }
  EXPECT_DOUBLE_EQ(M.SineOmega, 2 * P.Pi * 0.2);
  EXPECT_EQ(P.V1, 5);
  EXPECT_EQ(P.V2, 9);
  EXPECT_EQ(host.Field(Out::Text20), "0");
  EXPECT_EQ(host.Field(Out::Text17), "0");
  EXPECT_EQ(host.Field(Out::Text13), "100");
  EXPECT_EQ(host.Field(Out::Text25), "9");
}

TEST_F(Bundle, VacuumFrontReachesTheReceiverAfterDistanceOverSignalSpeed) {
  // Receiver at rest 40 m above the source's start: 2 s of signal.
  PlaceBodies(P, 0.05, 40, 1, 100);
  ComputeBundleShape(P, M);
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  host.onYield = [&] {
    if (P.PeriodNumber == 2) P.StopFlag = 1;
    return true;
  };
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_EQ(P.PeriodNumber, 2);
  EXPECT_NEAR(P.Tn1(1), 2.0005, 0.0011);
  EXPECT_EQ(P.Tk1(1), P.Tn1(1));
  EXPECT_DOUBLE_EQ(P.Xk1(1), 0.05);
  EXPECT_DOUBLE_EQ(P.Yk1(1), 40);
  // Straight up, to within the angle between two rays (0,4°).
  const double rayGap = 0.4 / P.DegPerRad;
  EXPECT_NEAR(M.RecvAngle(1), P.Pi / 2, rayGap);
  EXPECT_NEAR(M.EmitAngle(1), P.Pi / 2, rayGap);
  EXPECT_DOUBLE_EQ(P.Qn1(1), 0 - M.RecvAngle(1));
  EXPECT_DOUBLE_EQ(P.Qn2(1), 0 - M.EmitAngle(1));
  EXPECT_EQ(M.Vs1(1), 20);
  EXPECT_EQ(host.Field(Out::Text20), "0");
  EXPECT_EQ(host.Field(Out::Text28), "0,05");
  EXPECT_EQ(host.Field(Out::Text30), "40");
  EXPECT_EQ(host.Field(Out::Text29), "0");
  // The first reception completes no period: no frequency yet.
  EXPECT_TRUE(host.Shown(Out::Text24).empty());
  EXPECT_TRUE(host.asked.empty());
}

TEST_F(Bundle, TwentyReceptionsEndTheRunWithoutAFault) {
  Quick();
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_EQ(P.PeriodNumber, 21);
  EXPECT_EQ(P.StopFlag, 1);
  // The warning stays armed to the end; the last reception has no next
  // period to compare with.
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(M.WarnArmed, 1);
  const auto counts = host.Shown(Out::Text20);
  ASSERT_EQ(counts.size(), 21u);  // "0" at the start, then one per reception
  for (int k = 0; k < 20; ++k) EXPECT_EQ(counts[k + 1], WholeText(k));
  EXPECT_EQ(host.Shown(Out::Text24).size(), 19u);
  // Every bundle leaves on time and arrives after its distance at 20 m/s.
  for (int p = 1; p <= 20; ++p) {
    const double dx = 4.75 - (p - 1) * 1.0;
    EXPECT_NEAR(P.Tn1(p) - P.Tn2(p), std::sqrt(dx * dx + 100) / 20, 0.004) << p;
  }
}

TEST_F(Bundle, ObservedFrequencyFollowsTheDopplerFormula) {
  Quick();
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  // Another window rewrites the shared frequency meanwhile (the main window
  // does whenever it is activated): the run keeps the one it started with.
  host.onYield = [&] {
    P.v0 = 0.2;
    return true;
  };
  ASSERT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  for (int i = 1; i <= 19; ++i) {
    const double observed = 1 / (P.Tk1(i + 1) - P.Tk1(i));
    // The classical formula with the angles at both ends, independently:
    // v0/(1 − cos Q2·V2/Vs) for a receiver at rest.
    auto at = [&](int k) { return 0.5 / (1 - std::cos(P.Qn2(k)) * 0.5 / 20); };
    const double expected = (at(i) + at(i + 1)) / 2;
    EXPECT_NEAR(P.v1(i), expected, 1e-12) << i;
    // The shift is up to 2,5 %; the observed value meets the formula
    // within a tenth of that.
    EXPECT_NEAR(observed, expected, 0.0025 * expected) << i;
  }
  // Approaching, then receding.
  EXPECT_GT(P.v1(1), 0.5);
  EXPECT_LT(P.v1(19), 0.5);
}

TEST_F(Bundle, LateBundleWarningIsAskedOnceAndNoStops) {
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  host.answers = {false};
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0].first, "Velmor5");
  EXPECT_EQ(host.asked[0].second, LateBundleWarning(P.Tn1(1), 5));
  // About 7,25 s: √(136,25² + 50²)/20 with the receiver moving on.
  EXPECT_NEAR(P.Tn1(1), 7.249, 0.002);
  EXPECT_EQ(P.PeriodNumber, 2);
  EXPECT_EQ(M.WarnArmed, 0);
  // Continued: no second warning.
  P.StopFlag = 0;
  host.onYield = [&] {
    if (P.PeriodNumber == 4) P.StopFlag = 1;
    return true;
  };
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_EQ(host.asked.size(), 1u);
}

TEST(LateBundle, WarningText) {
  EXPECT_EQ(LateBundleWarning(7.25, 5),
            "              ПРОГРАММА РАБОТАЕТ НЕ КООРЕКТНО\n"
            "т.к. период сейчас меньше времени распространения сигнала и поэтому \n"
            " пучок лучей следующего периода не смог во время начать движение\n"
            "           Tn1(N)= 7,25  >   Tn2(N+1)=   5\n"
            "                        ПРОДОЛЖИТЬ ЭКСПЕРИМЕНТ");
}

TEST_F(Bundle, WithoutAutoEveryReceptionAsksAndNoStops) {
  Quick();
  host.autoMode = false;
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  host.answers = {true, false};
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  ASSERT_EQ(host.asked.size(), 2u);
  EXPECT_EQ(host.asked[1].first, "Velmor");
  EXPECT_EQ(host.asked[1].second, "ПРОДОЛЖИТЬ ЭКСПЕРИМЕНТ");
  EXPECT_EQ(P.PeriodNumber, 3);
}

TEST_F(Bundle, StopFlagSetBeforeTheLoopMakesOneStep) {
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, true), BundleSetUp::Ready);
  const auto before = host.history.size();
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_DOUBLE_EQ(P.CurrentTime, 0.001);
  EXPECT_EQ(P.StepCounter, 1);
  EXPECT_EQ(host.yields, 0);
  // No refresh before the NC0-th step.
  EXPECT_EQ(host.history.size(), before);
  for (int k = 2; k <= 20; ++k) RunBundleSteps(P, M, host);
  EXPECT_EQ(P.StepCounter, 0);
  EXPECT_EQ(host.Field(Out::Text17), "0,02");
  EXPECT_EQ(host.Field(Out::Text14), "0,18");
}

TEST_F(Bundle, NoRefreshCountLeavesTheDisplayAloneAndStopStillWorks) {
  P.NC0 = 0;
  host.drawing = true;
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  host.onYield = [&] {
    if (host.yields == 300) P.StopFlag = 1;
    return true;
  };
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Stopped);
  EXPECT_EQ(P.StepCounter, 301);
  EXPECT_EQ(host.Shown(Out::Text17).size(), 1u);
  EXPECT_EQ(host.canvas.Count(Kind::Line), 0u);
}

TEST_F(Bundle, AClosingWindowEndsTheLoopAtOnce) {
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  host.onYield = [&] { return host.yields < 10; };
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Closed);
  EXPECT_EQ(P.StepCounter, 10);
}

TEST_F(Bundle, ArithmeticFaultEndsTheLoopAndKeepsTheState) {
  P.PictureScale = 0;
  host.drawing = true;
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, false), BundleSetUp::Ready);
  // The first drawing, at step 20, divides by the scale.
  EXPECT_EQ(RunBundleSteps(P, M, host), MediumRunEnd::Fault);
  EXPECT_EQ(P.StepCounter, 20);
  EXPECT_DOUBLE_EQ(P.CurrentTime, 0.02);
}

TEST(BundleCanvas, MarksOfAReceivedPeriod) {
  SharedPool P;
  MediumState M;
  DefaultInputs(P, M);
  P.PeriodNumber = 2;
  P.Xn2(1) = 0;
  P.Yn2(1) = 0;
  P.Tn2(1) = 0;
  P.Xk1(1) = 136.25;
  P.Yk1(1) = 50;
  P.Tn1(1) = 7.25;
  RecordingCanvas c;
  DrawBundleReceptions(c, P);
  EXPECT_EQ(c.Left(), -3);  // the grid again
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 4u);
  EXPECT_EQ(circles[0].colour, RGB(250, 0, 0));
  EXPECT_DOUBLE_EQ(circles[1].a, 27.25);
  EXPECT_DOUBLE_EQ(circles[1].b, 10);
  EXPECT_EQ(circles[1].colour, RGB(0, 0, 250));
  // d = T00·VX2/scale = 9: the period circle at d/2 + 0,3 on y = 1.
  EXPECT_DOUBLE_EQ(circles[2].a, 4.8);
  EXPECT_DOUBLE_EQ(circles[2].b, 1);
  EXPECT_DOUBLE_EQ(circles[2].c, 0.6);
  EXPECT_DOUBLE_EQ(circles[3].a, 27.25 - 2.3);
  EXPECT_DOUBLE_EQ(circles[3].b, 9.5);
  const auto texts = c.Texts();
  const std::vector<std::string> marks(texts.end() - 6, texts.end());
  EXPECT_EQ(marks, (std::vector<std::string>{" 0", " 0", "Xn2(1)= 0", "Tn2(1)= 0", "Xk1(0)= 136,2",
                                             "Tn1(0)= 7,2"}));
  const auto t = c.OpsOf(Kind::Text);
  EXPECT_DOUBLE_EQ(t[t.size() - 6].a, 4.5 - 9);
  EXPECT_DOUBLE_EQ(t[t.size() - 6].b, 1.3);
  EXPECT_DOUBLE_EQ(t.back().a, 27.25 - 0.2);
  EXPECT_DOUBLE_EQ(t.back().b, 11.9);
}

TEST(BundleCanvas, RefreshDrawsTrailsSignalAndMarkers) {
  SharedPool P;
  MediumState M;
  DefaultInputs(P, M);
  MediumFakeHost host;
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, true), BundleSetUp::Ready);
  P.CurrentTime = 0.5;
  P.X(2) = 4.5;
  P.X(1) = 102.5;
  RecordingCanvas c;
  DrawBundleRefresh(c, P, M);
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].colour, RGB(0, 0, 250));
  EXPECT_DOUBLE_EQ(lines[0].c, 20.5);
  EXPECT_DOUBLE_EQ(lines[1].c, 0.9);
  const auto points = c.OpsOf(Kind::Point);
  ASSERT_EQ(points.size(), 50u);  // one each hundredth of a second
  EXPECT_DOUBLE_EQ(points[0].a, 0.01 * 9 / 5);
  EXPECT_DOUBLE_EQ(points[0].b, 2 * std::sin(0.01 * 2 * P.Pi * 0.2));
  EXPECT_EQ(points[0].colour, RGB(0, 250, 0));
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 5u);
  EXPECT_EQ(circles[1].colour, kWhite);  // the old receiver marker
  EXPECT_DOUBLE_EQ(circles[1].a, 20);
  EXPECT_DOUBLE_EQ(circles[2].a, 20.5);
  EXPECT_EQ(M.PrevX1, 102.5);
}

TEST(BundleCanvas, SignalCurveDrawsEveryPointThatCanShow) {
  SharedPool P;
  MediumState M;
  DefaultInputs(P, M);
  MediumFakeHost host;
  ASSERT_EQ(SetUpBundleExperiment(P, M, host, true), BundleSetUp::Ready);
  // 1000 s of signal: 100 000 points, x = 0,018·k − 200 from a source that
  // started 1 km to the left; only about 3 400 of them fall inside x −22 … 39.
  M.SourceStartX = -1000;
  P.CurrentTime = 1000;
  RecordingCanvas c;
  DrawBundleRefresh(c, P, M);
  const auto points = c.OpsOf(Kind::Point);
  std::vector<std::pair<double, double>> expected;
  for (int k = 1; k <= 100000; ++k) {
    const double tk = k / 100.0;
    const double x = (tk * 9 + -1000) / 5;
    if (x >= kSignalLeft && x <= kSignalRight) {
      expected.emplace_back(x, 2 * std::sin(tk * M.SineOmega));
    }
  }
  ASSERT_GE(points.size(), expected.size());
  EXPECT_LE(points.size(), expected.size() + 4);
  std::size_t j = 0;
  for (const auto& p : points) {
    EXPECT_GE(p.a, kSignalLeft - 0.1);
    EXPECT_LE(p.a, kSignalRight + 0.1);
    if (j < expected.size() && p.a == expected[j].first && p.b == expected[j].second) ++j;
  }
  EXPECT_EQ(j, expected.size());  // every one of them, in order
  // A source that does not move right (another window may have changed
  // it): every point, as written.
  P.VX(2) = 0;
  P.CurrentTime = 3;
  c.Reset();
  DrawBundleRefresh(c, P, M);
  EXPECT_EQ(c.Count(Kind::Point), 300u);
  EXPECT_EQ(VisibleSignalPoints(P, M, 300), (std::pair<int, int>{1, 300}));
  P.VX(2) = 9;
  M.SourceStartX = 1e6;  // far right: nothing to draw
  EXPECT_EQ(VisibleSignalPoints(P, M, 300), (std::pair<int, int>{1, 0}));
}

}  // namespace
}  // namespace velmor
