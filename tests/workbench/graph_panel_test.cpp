// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/graph_panel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"

namespace velmor {
namespace {

using Kind = CanvasOp::Kind;

class NoDisplay : public DopplerDisplay {
 public:
  void ShowRatio(double r, double) override { lastRatio = r; }
  void ShowPositions(double, double, double, double, double) override {}
  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  Canvas& ClearedValuesPicture() override { return canvas; }
  double lastRatio = 0;
  std::vector<std::string> messages;
  RecordingCanvas canvas;
};

TEST(EmptyGraph, GridLabelsAxesAndLegend) {
  SharedPool P;
  SetStartupConstants(P);
  RecordingCanvas c;
  DrawEmptyGraph(c, P, 1, GraphAbscissa::Angle);
  EXPECT_EQ(P.GraphScale, 0.5);
  const auto scale = c.OpsOf(Kind::Scale);
  ASSERT_EQ(scale.size(), 1u);
  EXPECT_EQ(scale[0].a, -21);
  EXPECT_EQ(scale[0].b, 17);
  const auto texts = c.Texts();
  // Ordinates 0 … 9 at b = 0, 2 … 18; angles 0 … 180 in steps of 9.
  EXPECT_EQ(texts[0], " 0");
  EXPECT_EQ(texts[9], " 9");
  EXPECT_EQ(texts[10], " 0");
  EXPECT_EQ(texts[11], " 9");
  EXPECT_EQ(texts[30], " 180");
  EXPECT_EQ(texts.back(), "3-2");
  // 10 + 21 grid lines, 2 axes, 8 legend lines drawn 4 pixels wide.
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[33].width, 4);
  EXPECT_EQ(lines[33].colour, RGB(0, 210, 0));
  EXPECT_EQ(lines[39].colour, RGB(0, 0, 190));
  EXPECT_EQ(c.LineWidth(), 1);
}

TEST(TheoryCurve, ColourOfTheChosenFormula) {
  DopplerChoice c;
  Rgb colour;
  EXPECT_TRUE(CurveColour(c, colour));
  EXPECT_EQ(colour, kColour1);
  c.formula = DopplerFormula::Zevr;
  c.zevr31 = true;
  EXPECT_TRUE(CurveColour(c, colour));
  EXPECT_EQ(colour, RGB(0, 0, 150));  // a shade darker than its legend line
  c.formula = DopplerFormula::Sto;
  EXPECT_FALSE(CurveColour(c, colour));
  c.variant45 = true;
  EXPECT_TRUE(CurveColour(c, colour));
  EXPECT_EQ(colour, RGB(255, 0, 0));
}

TEST(TheoryCurve, AngleModeUnderStoGivesTheRelativeSpeedToOneBody) {
  SharedPool P;
  SetStartupConstants(P);
  RecordingCanvas c;
  DrawEmptyGraph(c, P, 0.5, GraphAbscissa::Angle);
  DopplerChoice choice;
  choice.formula = DopplerFormula::Sto;
  choice.variant41 = true;
  NoDisplay display;
  SweepInputs in;
  in.Vs = 20;
  in.V1 = 6;
  in.V2 = 10;
  in.input = 656.28;
  in.mode = GraphAbscissa::Angle;
  DrawTheoryCurve(c, P, choice, in, display);
  // Relative speed (6 - 10) / (1 - 60/400) on the receiver, source at rest;
  // at Q = 0: (1 - V/Vs) / sqrt(1 - (V/Vs)^2).
  const double V = -4 / 0.85;
  const double expected = (1 - V / 20) / std::sqrt(1 - (V / 20) * (V / 20));
  const std::string first = P.ReportText.substr(P.ReportText.find("  i= 0 "));
  EXPECT_EQ(first.substr(0, first.find('\n')),
            "  i= 0        Q(i) = 0        v1(i)/v0 = " + GeneralForm(Fix(1e6 * expected) / 1e6));
  EXPECT_EQ(P.V2, 0);
  EXPECT_EQ(c.Count(Kind::Circle), 5000u);
  EXPECT_EQ(c.OpsOf(Kind::Circle)[0].colour, RGB(0, 210, 0));
}

TEST(TheoryCurve, RefusedEverywhereDrawsNothingButKeepsTheHeader) {
  SharedPool P;
  SetStartupConstants(P);
  RecordingCanvas c;
  DrawEmptyGraph(c, P, 0.5, GraphAbscissa::VX1);
  NoDisplay display;
  SweepInputs in;
  in.Vs = 20;
  in.V2 = 25;  // the source faster than the signal: every point refused
  in.input = 1;
  DrawTheoryCurve(c, P, DopplerChoice{}, in, display);
  EXPECT_EQ(c.Count(Kind::Circle), 0u);
  EXPECT_EQ(P.ReportText, "     №                      V(i)                   v/v0  \n\n");
  EXPECT_TRUE(display.messages.empty());
}

TEST(ExperimentPoints, FaultOnAZeroFrequencyKeepsEarlierPoints) {
  SharedPool P;
  testing::LoadDefaults(P);
  testing::FakeHost host;
  SetUpExperiment(P, host);
  RecordingCanvas c;
  DrawEmptyGraph(c, P, 0.5, GraphAbscissa::Angle);
  P.v0 = 0;
  EXPECT_THROW(DrawExperimentPoints(c, P, true), ComputeFault);
  EXPECT_EQ(c.Count(Kind::Circle), 0u);
  P.v0 = 0.2;
  DrawExperimentPoints(c, P, false);
  EXPECT_EQ(c.Count(Kind::Circle), 19u);
  EXPECT_EQ(c.OpsOf(Kind::Circle)[0].colour, RGB(0, 220, 0));
  EXPECT_EQ(std::count(P.ReportText.begin(), P.ReportText.end(), '\n'), 19);
}

TEST(ClickedPoint, SinglePrecisionAbscissaAndAngleMode) {
  SharedPool P;
  P.GraphScale = 0.25;
  RecordingCanvas c;
  ClickedPoint p = MarkClickedPoint(c, P, 1.23456789, 4, GraphAbscissa::VX1);
  EXPECT_EQ(p.x, "0,0617284");  // float 0,0617283955… to 7 digits
  EXPECT_EQ(p.y, "1");
  p = MarkClickedPoint(c, P, 2, 0, GraphAbscissa::Angle);
  EXPECT_EQ(p.x, "99");
}

}  // namespace
}  // namespace velmor
