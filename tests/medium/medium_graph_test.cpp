// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_graph.h"

#include <gtest/gtest.h>

#include <cmath>

#include "medium/experiment_data.h"
#include "medium/medium_formulas.h"
#include "medium_fake_host.h"
#include "shared/faults.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"
#include "support/recorded.h"

namespace velmor {
namespace {

using testing::Edges;
using testing::Values;

using Kind = CanvasOp::Kind;

TEST(GraphFrame, AngleModeLabelsAndAxes) {
  RecordingCanvas c;
  c.PrintAt(1, 1, "old");
  DrawGraphFrame(c, GraphFrame{false, 0.125, 2.5});
  EXPECT_EQ(c.Ops()[0].kind, Kind::Cls);
  EXPECT_EQ(Edges(c), (Values{-21, 17, 20, -1}));
  const auto texts = c.OpsOf(Kind::Text);
  std::vector<std::string> ordinate, abscissa;
  for (const auto& t : texts) (t.a == -21 ? ordinate : abscissa).push_back(t.text);
  EXPECT_EQ(ordinate, (std::vector<std::string>{" 0", " 0,25", " 0,5", " 0,75", " 1", " 1,25",
                                                " 1,5", " 1,75", " 2", " 2,25"}));
  ASSERT_EQ(abscissa.size(), 21u);
  EXPECT_EQ(abscissa.front(), " 0");
  EXPECT_EQ(abscissa[1], " 9");
  EXPECT_EQ(abscissa[10], " 90");
  EXPECT_EQ(abscissa.back(), " 180");
  EXPECT_DOUBLE_EQ(texts.back().a, 19.7);
  EXPECT_DOUBLE_EQ(texts.back().b, -0.3);
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 10u + 21u + 2u);
  EXPECT_EQ(lines[0].a, -20);
  EXPECT_EQ(lines[0].c, 20);
  EXPECT_EQ(lines[0].colour, RGB(200, 200, 200));
  EXPECT_EQ(lines[31].colour, kColour1);
  EXPECT_EQ(lines[31].b, 17);
  EXPECT_EQ(lines[32].a, -20);
  EXPECT_EQ(lines[32].c, 20);
}

TEST(GraphFrame, TimeModeLabels) {
  RecordingCanvas c;
  DrawGraphFrame(c, GraphFrame{true, 0.125, 2.5});
  EXPECT_EQ(c.Left(), -4);
  EXPECT_EQ(c.Right(), 37);
  std::vector<std::string> abscissa;
  for (const auto& t : c.OpsOf(Kind::Text)) {
    if (t.b == -0.3) abscissa.push_back(t.text);
  }
  ASSERT_EQ(abscissa.size(), 21u);
  EXPECT_EQ(abscissa[0], "-10");
  EXPECT_EQ(abscissa[1], "-5");
  EXPECT_EQ(abscissa[2], " 0");
  EXPECT_EQ(abscissa.back(), " 90");
  const auto lines = c.OpsOf(Kind::Line);
  EXPECT_EQ(lines[0].a, -4);
  EXPECT_EQ(lines[0].c, 37);
  EXPECT_EQ(lines.back().a, -4);
  EXPECT_EQ(lines.back().c, 37);
}

// Three maxima: observed periods 1 (dT = 2) and 2 (dT = 3).
struct Points : ::testing::Test {
  SharedPool P;
  ExperimentData d;
  RecordingCanvas c;
  GraphFrame f{false, 0.125, 2.5};
  void SetUp() override {
    SetStartupConstants(P);
    d.Vs = 20;
    d.v0 = 0.25;
    d.VX1 = 1;
    d.VX2 = 9;
    d.kod = 0;
    const double Tk[] = {0, 1, 3, 6};
    const double Q1[] = {0, -P.Pi / 2, -P.Pi / 2, -P.Pi / 3};
    const double Q2[] = {0, 0.5, 0.7, -4};
    for (int N = 0; N < 4; ++N) {
      ExperimentRow r;
      r.N = N;
      r.Tk1 = r.Tn1 = Tk[N];
      r.Qn1 = Q1[N];
      r.Qn2 = Q2[N];
      r.Vs1 = r.Vs2 = 20;
      d.rows.push_back(r);
    }
    d.received = 3;
  }
};

TEST_F(Points, AgainstTheLineOfSight) {
  EXPECT_EQ(PlotObservedPoints(c, f, PointAbscissa::Q3, d, P), 2);
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 2u);
  // v/v0 = 0,5/0,25 = 2 → 16 units; 90° → X = 0.
  EXPECT_NEAR(circles[0].a, 0, 1e-12);
  EXPECT_DOUBLE_EQ(circles[0].b, 16);
  EXPECT_EQ(circles[0].c, 0.2);
  EXPECT_EQ(circles[0].colour, RGB(0, 220, 0));
  // (90° + 60°)/2 = 75°; v/v0 = (1/3)/0,25.
  EXPECT_NEAR(circles[1].a, 20 * (75.0 / 90 - 1), 1e-9);
  EXPECT_NEAR(circles[1].b, (1.0 / 3 / 0.25) / 0.125, 1e-12);
}

TEST_F(Points, AgainstBothVelocityAnglesFolded) {
  PlotObservedPoints(c, f, PointAbscissa::Q1Q2, d, P);
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 4u);
  const double K = P.DegPerRad;
  EXPECT_NEAR(circles[0].a, 0, 1e-9);
  EXPECT_EQ(circles[0].colour, RGB(0, 0, 250));
  EXPECT_NEAR(circles[1].a, 20 * ((0.5 * K + 0.7 * K) / 2 / 90 - 1), 1e-9);
  EXPECT_EQ(circles[1].colour, RGB(250, 0, 0));
  // −4 rad = −229,18°: folded to 130,82° (same cosine).
  EXPECT_NEAR(circles[3].a, 20 * ((0.7 * K + (360 - 4 * K)) / 2 / 90 - 1), 1e-9);
  c.Reset();
  PlotObservedPoints(c, f, PointAbscissa::Q2, d, P);
  EXPECT_EQ(c.Count(Kind::Circle), 2u);
  EXPECT_EQ(c.OpsOf(Kind::Circle)[0].colour, RGB(250, 0, 0));
}

TEST_F(Points, AgainstTimeAtTheMiddleOfThePeriod) {
  f.timeMode = true;
  PlotObservedPoints(c, f, PointAbscissa::Q1Q2, d, P);
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_DOUBLE_EQ(circles[0].a, 2 / 2.5);
  EXPECT_DOUBLE_EQ(circles[1].a, 4.5 / 2.5);
}

TEST_F(Points, AboveTheFrameLeftOutAndFaultsKeepEarlierPoints) {
  d.v0 = 0.01;  // v/v0 = 50: 400 units
  EXPECT_EQ(PlotObservedPoints(c, f, PointAbscissa::Q3, d, P), 0);
  d.v0 = 0.25;
  d.rows[3].Tk1 = 3;  // period 2: dT = 0
  EXPECT_THROW(PlotObservedPoints(c, f, PointAbscissa::Q3, d, P), ComputeFault);
  EXPECT_EQ(c.Count(Kind::Circle), 1u);
  d.v0 = 0;
  EXPECT_THROW(PlotObservedPoints(c, f, PointAbscissa::Q3, d, P), ComputeFault);
}

TEST_F(Points, NothingObservedNothingDrawn) {
  d.received = 1;
  EXPECT_EQ(PlotObservedPoints(c, f, PointAbscissa::Q3, d, P), 0);
  EXPECT_EQ(PlotComputedPoints(c, f, PointAbscissa::Q3, d, P, false), 0);
  EXPECT_TRUE(c.Ops().empty());
}

TEST_F(Points, ComputedFrequencyByTheExperimentsFormula) {
  // Retarded potentials: the signal speed at both ends.
  const double V1 = 1, V2 = 9;
  auto classic = [&](const ExperimentRow& r, double c1, double c2) {
    return 0.25 * (1 - std::cos(r.Qn1) * V1 / c1) / (1 - std::cos(r.Qn2) * V2 / c2);
  };
  EXPECT_NEAR(ComputedFrequency(d, 1, false),
              (classic(d.rows[1], 20, 20) + classic(d.rows[2], 20, 20)) / 2, 1e-15);
  // The ray bundle: the local speeds.
  d.kod = 1;
  d.rows[1].Vs1 = 10;
  d.rows[2].Vs2 = 15;
  EXPECT_NEAR(ComputedFrequency(d, 1, false),
              (classic(d.rows[1], 10, 20) + classic(d.rows[2], 20, 15)) / 2, 1e-15);
  // Relativistic: times √(1 − 81/400)/√(1 − 1/400), with c for density 1.
  const double g = std::sqrt(1 - 81.0 / 400) / std::sqrt(1 - 1.0 / 400);
  EXPECT_NEAR(ComputedFrequency(d, 1, true),
              (classic(d.rows[1], 10, 20) + classic(d.rows[2], 20, 15)) / 2 * g, 1e-15);
}

TEST_F(Points, ComputedPointsAreCrossesInTheFormulasColour) {
  EXPECT_EQ(PlotComputedPoints(c, f, PointAbscissa::Q3, d, P, true), 2);
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 4u);
  const double y = ComputedFrequency(d, 1, true) / 0.25 / 0.125;
  EXPECT_NEAR(lines[0].a, -0.25, 1e-12);
  EXPECT_NEAR(lines[0].c, 0.25, 1e-12);
  EXPECT_DOUBLE_EQ(lines[0].b, y);
  EXPECT_DOUBLE_EQ(lines[1].b, y - 0.25);
  EXPECT_EQ(lines[0].colour, RGB(255, 0, 200));
  c.Reset();
  PlotComputedPoints(c, f, PointAbscissa::Q3, d, P, false);
  EXPECT_EQ(c.OpsOf(Kind::Line)[0].colour, kColour1);
}

}  // namespace
}  // namespace velmor
