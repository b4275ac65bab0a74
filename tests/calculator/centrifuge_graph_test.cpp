// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/centrifuge_graph.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fake_picture_host.h"
#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "support/recorded.h"
#include "workbench/experiment_engine.h"

namespace velmor {
namespace {

using testing::Edges;
using testing::Values;

using Kind = CanvasOp::Kind;

ShiftGraph Defaults() {
  return MakeShiftGraph(3e2, 1.5e1, 1e-12, 1e-13);
}

TEST(ShiftGraphRange, DefaultsAreTwentyCellsEachWay) {
  const ShiftGraph g = Defaults();
  EXPECT_EQ(g.NX, 20);
  EXPECT_EQ(g.NY, 20);
  EXPECT_EQ(g.Vmax, 300);
  EXPECT_EQ(g.MV, 15);
  EXPECT_EQ(g.dvmax, 1e-12);
  EXPECT_EQ(g.Mdv, 1e-13);
}

TEST(ShiftGraphRange, RefusesWhatNoPictureCanShow) {
  // Zero or negative ranges and cells.
  EXPECT_THROW(MakeShiftGraph(300, 0, 1e-12, 1e-13), InputFault);
  EXPECT_THROW(MakeShiftGraph(300, 15, 1e-12, 0), InputFault);
  EXPECT_THROW(MakeShiftGraph(0, 15, 1e-12, 1e-13), InputFault);
  EXPECT_THROW(MakeShiftGraph(300, 15, 0, 1e-13), InputFault);
  EXPECT_THROW(MakeShiftGraph(-300, -15, 1e-12, 1e-13), InputFault);
  EXPECT_THROW(MakeShiftGraph(300, 15, -1e-12, -1e-13), InputFault);
  // Too many cells, also when the count overflows: valid numbers, told apart
  // from bad ones.
  EXPECT_THROW(MakeShiftGraph(1e4, 1, 1e-12, 1e-13), GraphTooLarge);
  EXPECT_THROW(MakeShiftGraph(300, 15, 1e-12, 1e-300), GraphTooLarge);
  EXPECT_THROW(MakeShiftGraph(1e308, 1e-10, 1e-12, 1e-13), GraphTooLarge);
  EXPECT_THROW(MakeShiftGraph(300, 15, 1e308, 1e-13), GraphTooLarge);
  // The largest grid allowed either way.
  EXPECT_EQ(MakeShiftGraph(160, 1, 80, 1).NX, 160);
  EXPECT_EQ(MakeShiftGraph(160, 1, 80, 1).NY, 160);
  EXPECT_THROW(MakeShiftGraph(160.001, 1, 1, 1), GraphTooLarge);
}

TEST(ShiftGraphFrame, DefaultGridNumbersAndAxis) {
  FakePictureHost host;
  DrawShiftGraphFrame(host, Defaults());
  // Cleared, then resized to 21 cells of 24,91 units each way, then placed.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"picture", "resize-after-cls", "place"}));
  EXPECT_DOUBLE_EQ(host.width, 21 * 24.91);
  EXPECT_DOUBLE_EQ(host.height, 21 * 24.91);
  const RecordingCanvas& c = host.canvas;
  EXPECT_EQ(Edges(c), (Values{-1, 10, 20, -11}));

  const auto lines = c.OpsOf(Kind::Line);
  // j = -11 … 10 across, i = -1 … 19 up and down, and the axis.
  ASSERT_EQ(lines.size(), 22u + 21u + 1u);
  EXPECT_EQ(lines.front().b, -11);
  EXPECT_EQ(lines.front().a, 0);
  EXPECT_EQ(lines.front().c, 20);
  EXPECT_EQ(lines[21].b, 10);
  EXPECT_EQ(lines[22].a, -1);
  EXPECT_EQ(lines[22].b, -10);
  EXPECT_EQ(lines[22].d, 10);
  EXPECT_EQ(lines[42].a, 19);
  for (std::size_t n = 0; n + 1 < lines.size(); ++n) EXPECT_EQ(lines[n].colour, RGB(200, 200, 200));
  const CanvasOp& axis = lines.back();
  EXPECT_EQ(axis.colour, RGB(100, 100, 100));
  EXPECT_EQ(axis.a, 0);
  EXPECT_EQ(axis.b, 0);
  EXPECT_EQ(axis.c, 20);
  EXPECT_EQ(axis.d, 0);

  // Cell indices, not physical values: -1 … 19 along the bottom, -11 … 10 up the left.
  const auto texts = c.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 21u + 22u);
  EXPECT_EQ(texts.front().text, "-1");
  EXPECT_DOUBLE_EQ(texts.front().a, -1.35);
  EXPECT_DOUBLE_EQ(texts.front().b, -10.5);
  EXPECT_EQ(texts[20].text, "19");
  EXPECT_DOUBLE_EQ(texts[20].a, 18.65);
  EXPECT_EQ(texts[21].text, "-11");
  EXPECT_EQ(texts[21].a, -1);
  EXPECT_EQ(texts[21].b, -10.5);
  EXPECT_EQ(texts.back().text, "10");
  EXPECT_EQ(texts.back().b, 10.5);
  for (const auto& t : texts) EXPECT_EQ(t.colour, RGB(0, 0, 0));
}

TEST(ShiftGraphFrame, FractionalCellCountsRoundTheLoopLimits) {
  FakePictureHost host;
  // NX = 310/15 = 20,67: i runs to round(19,67) = 20. NY = 21: the j limits
  // -11,5 and 10,5 round half to even, to -12 and 10.
  const ShiftGraph g = MakeShiftGraph(310, 15, 1.05e-12, 1e-13);
  ASSERT_NEAR(g.NY, 21, 1e-12);
  DrawShiftGraphFrame(host, g);
  EXPECT_DOUBLE_EQ(host.width, (310.0 / 15 + 1) * 24.91);
  const auto texts = host.canvas.Texts();
  ASSERT_EQ(texts.size(), 22u + 23u);
  EXPECT_EQ(texts[21], "20");
  EXPECT_EQ(texts[22], "-12");
  EXPECT_EQ(texts.back(), "10");
}

TEST(ShiftCurve, ApproximateRelativisticShiftEndsFiveCellsUp) {
  SharedPool P;
  SetStartupConstants(P);
  RecordingCanvas c;
  const ShiftGraph g = Defaults();
  DrawShiftCurve(P, c, g, 0.5, ShiftTheory::Approximate, MovingPart::Absorber);
  const auto pts = c.OpsOf(Kind::Point);
  ASSERT_EQ(pts.size(), 5000u);
  // 0,5·(300/299 790 000)² = 5,0070·10^-13, five cells above the axis.
  const double b = 300 / 299790000.0;
  EXPECT_DOUBLE_EQ(pts.back().a, 20);
  EXPECT_NEAR(pts.back().b, 0.5 * b * b / 1e-13, 1e-12);
  EXPECT_NEAR(pts.back().b, 5.007, 1e-3);
  EXPECT_DOUBLE_EQ(pts.front().a, 20.0 / 5000);
  for (const auto& p : pts) EXPECT_EQ(p.colour, RGB(255, 0, 0));
  EXPECT_EQ(P.V1, 300);

  RecordingCanvas e;
  DrawShiftCurve(P, e, g, 0.5, ShiftTheory::Approximate, MovingPart::Emitter);
  EXPECT_NEAR(e.OpsOf(Kind::Point).back().b, -0.5 * b * b / 1e-13, 1e-12);
  // Another k scales the curve.
  RecordingCanvas k2;
  DrawShiftCurve(P, k2, g, 2, ShiftTheory::Approximate, MovingPart::Absorber);
  EXPECT_NEAR(k2.OpsOf(Kind::Point).back().b, 4 * pts.back().b, 1e-12);
}

TEST(ShiftCurve, ExactAndClassicalAgreeWithTheirSmallSpeedLimits) {
  SharedPool P;
  SetStartupConstants(P);
  // At 0,6 c the values are far from the rounding noise: γ = 1,25.
  const double Vs = P.LightSpeed;
  const ShiftGraph g = MakeShiftGraph(0.6 * Vs, 0.6 * Vs / 20, 1, 0.1);
  struct Case {
    ShiftTheory theory;
    MovingPart part;
    double last;  // d at V = 0,6 c
    Rgb colour;
  };
  const Case cases[] = {
      {ShiftTheory::Exact, MovingPart::Absorber, 0.25, RGB(0, 240, 0)},
      {ShiftTheory::Exact, MovingPart::Emitter, -0.2, RGB(0, 240, 0)},
      {ShiftTheory::Classical, MovingPart::Absorber, std::sqrt(1.36) - 1, RGB(0, 0, 255)},
      {ShiftTheory::Classical, MovingPart::Emitter, -0.2, RGB(0, 0, 255)},
  };
  for (const Case& k : cases) {
    RecordingCanvas c;
    DrawShiftCurve(P, c, g, 0.5, k.theory, k.part);
    const auto pts = c.OpsOf(Kind::Point);
    ASSERT_EQ(pts.size(), 5000u);
    EXPECT_NEAR(pts.back().a, 20, 1e-12);
    EXPECT_NEAR(pts.back().b, k.last / 0.1, 1e-12);
    EXPECT_EQ(pts.back().colour, k.colour);
  }
}

TEST(ShiftCurve, RotorSpeedsKeepFullPrecision) {
  SharedPool P;
  SetStartupConstants(P);
  // At rotor speeds every theory is b²/2 and a b⁴ term away from it; the
  // difference of two numbers near 1 would leave a staircase of rounding
  // steps (2 % off at 30 m/s, and nothing at all below 3 m/s).
  struct Case {
    ShiftTheory theory;
    MovingPart part;
    double sign, b4;  // d = sign·b²/2 + b4·b⁴
  };
  const Case cases[] = {
      {ShiftTheory::Exact, MovingPart::Absorber, 1, 3.0 / 8},
      {ShiftTheory::Exact, MovingPart::Emitter, -1, -1.0 / 8},
      {ShiftTheory::Classical, MovingPart::Absorber, 1, -1.0 / 8},
      {ShiftTheory::Classical, MovingPart::Emitter, -1, -1.0 / 8},
  };
  for (double Vmax : {300.0, 30.0, 3.0}) {
    const ShiftGraph g = MakeShiftGraph(Vmax, Vmax / 20, 1e-12, 1e-13);
    for (const Case& k : cases) {
      RecordingCanvas c;
      DrawShiftCurve(P, c, g, 0.5, k.theory, k.part);
      const auto pts = c.OpsOf(Kind::Point);
      ASSERT_EQ(pts.size(), 5000u);
      for (int n = 1; n <= 5000; n += 7) {
        const double b = n * Vmax / 5000 / P.LightSpeed;
        const double want = k.sign * b * b / 2 + k.b4 * b * b * b * b;
        ASSERT_NEAR(pts[n - 1].b * 1e-13, want, std::fabs(want) * 1e-13) << Vmax << " " << n;
      }
    }
  }
}

TEST(ShiftCurve, SkipsSpeedsAbove0995OfLight) {
  SharedPool P;
  SetStartupConstants(P);
  const double Vs = P.LightSpeed;
  const ShiftGraph g = MakeShiftGraph(2 * Vs, 2 * Vs / 20, 1, 0.1);
  RecordingCanvas c;
  // n·2c/5000 <= 0,995 c for n <= 2487.
  DrawShiftCurve(P, c, g, 0.5, ShiftTheory::Exact, MovingPart::Absorber);
  const auto pts = c.OpsOf(Kind::Point);
  ASSERT_EQ(pts.size(), 2487u);
  for (const auto& p : pts) EXPECT_TRUE(std::isfinite(p.b));
  // The sweep still ran to the end.
  EXPECT_EQ(P.V1, 2 * Vs);
}

TEST(ShiftCurve, FaultsEndTheSweep) {
  SharedPool P;  // no light speed: the first point divides by zero
  RecordingCanvas c;
  EXPECT_THROW(
      DrawShiftCurve(P, c, Defaults(), 0.5, ShiftTheory::Approximate, MovingPart::Absorber),
      ComputeFault);
  EXPECT_EQ(c.Count(Kind::Point), 0u);
  SetStartupConstants(P);
  // A coefficient so large that the shift overflows on the way to the picture.
  EXPECT_THROW(
      DrawShiftCurve(P, c, Defaults(), 1e308, ShiftTheory::Approximate, MovingPart::Absorber),
      ComputeFault);
}

TEST(ShiftPoint, SmallCircleAtSpeedAndShift) {
  RecordingCanvas c;
  DrawShiftPoint(c, Defaults(), 150, 1e-13);
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_DOUBLE_EQ(circles[0].a, 10);
  EXPECT_DOUBLE_EQ(circles[0].b, 1);
  EXPECT_DOUBLE_EQ(circles[0].c, 0.08);
  EXPECT_EQ(circles[0].colour, kColour1);
  EXPECT_THROW(DrawShiftPoint(c, Defaults(), 150, 1e308), ComputeFault);
}

TEST(ShiftPicturePlace, FourUnitRuleAtTheBottomOnly) {
  // The default picture of 523 in the viewport of 609 × 401.
  EXPECT_EQ(PictureTop(401, 523, 0), 0);
  EXPECT_EQ(PictureLeft(609, 523, 0), 0);
  EXPECT_EQ(PictureTop(401, 523, 100), -126);  // lower edge at 397 = 401 - 4
  EXPECT_EQ(PictureLeft(609, 523, 100), 86);   // right edges together
  EXPECT_EQ(PictureTop(401, 523, 50), -63);
  EXPECT_EQ(PictureLeft(609, 1021, 50), -206);
}

}  // namespace
}  // namespace velmor
