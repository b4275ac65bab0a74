// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine_test_support.h"
#include "shared/checked_math.h"
#include "support/recorded.h"

namespace velmor {
namespace {

using testing::Coordinates;
using testing::FakeHost;
using testing::LoadDefaults;
using testing::Place;
using testing::Values;
using Kind = CanvasOp::Kind;

bool HasText(const RecordingCanvas& c, const std::string& t) {
  const auto texts = c.Texts();
  return std::find(texts.begin(), texts.end(), t) != texts.end();
}

TEST(InitCanvas, GridNumbersAndAxes) {
  RecordingCanvas c;
  InitCanvas(c);
  const auto scale = c.OpsOf(Kind::Scale);
  ASSERT_EQ(scale.size(), 1u);
  EXPECT_EQ(Coordinates(scale[0]), (Values{-1, 14, 40, -4}));
  // 18 horizontal, 41 vertical grid lines, then the two axes.
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 18u + 41u + 2u);
  EXPECT_EQ(lines[60].colour, kColour1);
  EXPECT_EQ(lines[0].colour, RGB(200, 200, 200));
  const auto texts = c.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 41u + 18u);
  EXPECT_EQ(texts[0].text, " 0");
  EXPECT_EQ(Place(texts[0]), (Values{-0.3, -3.3}));
  EXPECT_EQ(texts[41].text, "-3");
  EXPECT_DOUBLE_EQ(texts[41].b, -2.5);
  EXPECT_EQ(texts.back().text, " 14");
}

TEST(RefreshDrawing, TraceLabelsAndMarksFollowThePeriod) {
  SharedPool P;
  LoadDefaults(P);
  FakeHost host;
  SetUpExperiment(P, host);
  P.PeriodNumber = 3;
  P.FrontRadius = 40;
  P.X(2) = 120;  // the source has passed the emission point of period 3
  RecordingCanvas c;
  DrawExperimentRefresh(c, P, true);
  EXPECT_EQ(c.Count(Kind::Point), 2u * 2000u);
  const auto pts = c.OpsOf(Kind::Point);
  // g = T00 * VX2 / scale = 10 canvas units per period.
  EXPECT_DOUBLE_EQ(pts[1999].a, 2000 * 10.0 / 2000);
  EXPECT_DOUBLE_EQ(pts[0].b, std::sin(1 * 5.0 * 10 / 15920));
  EXPECT_EQ(pts[0].colour, RGB(0, 250, 0));
  EXPECT_TRUE(HasText(c, "Xn2(3)= 100"));
  EXPECT_TRUE(HasText(c, "Tn2(3)= 10"));
  EXPECT_TRUE(HasText(c, "Xn1(0)= 56,6"));
  EXPECT_TRUE(HasText(c, "Tk1(2)= 0"));
  EXPECT_TRUE(HasText(c, " 3"));  // period number
  EXPECT_EQ(P.DrawnFrontRadius, 40);
  // The front is drawn before the grid in red.
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_GE(circles.size(), 2u);
  EXPECT_EQ(circles[0].colour, RGB(250, 250, 250));
  EXPECT_EQ(circles[1].colour, RGB(255, 0, 0));
  EXPECT_DOUBLE_EQ(circles[1].c, 8);

  RecordingCanvas bare;
  DrawExperimentRefresh(bare, P, false);
  for (const auto& t : bare.Texts()) {
    EXPECT_TRUE(t.find('=') == std::string::npos) << t;
  }
}

TEST(RefreshDrawing, FaultsPastTheArraysAndOnZeroScale) {
  SharedPool P;
  LoadDefaults(P);
  FakeHost host;
  SetUpExperiment(P, host);
  P.PeriodNumber = 20;  // the line of sight of period 20 reads Xn2(21)
  RecordingCanvas c;
  EXPECT_THROW(DrawExperimentRefresh(c, P, true), ComputeFault);
  P.PeriodNumber = 2;
  P.PictureScale = 0;
  EXPECT_THROW(DrawExperimentRefresh(c, P, true), ComputeFault);
}

TEST(RefreshDrawing, SourceAtRestPutsTheTraceOnOnePoint) {
  SharedPool P;
  LoadDefaults(P);
  P.VX(2) = 0;
  FakeHost host;
  SetUpExperiment(P, host);
  P.PeriodNumber = 2;
  RecordingCanvas c;
  DrawExperimentRefresh(c, P, false);
  for (const auto& p : c.OpsOf(Kind::Point)) {
    EXPECT_EQ(p.a, 10);  // Xn2(1) / s
    EXPECT_EQ(p.b, 0);
  }
  // The front is drawn at every refresh (the emission test never holds).
  EXPECT_EQ(c.OpsOf(Kind::Circle)[1].colour, RGB(255, 0, 0));
}

}  // namespace
}  // namespace velmor
