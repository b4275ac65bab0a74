// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/frame_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <map>
#include <vector>

#include "shared/faults.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"

namespace velmor {
namespace {

class Fields : public FrameHost {
 public:
  void Show(FrameOut f, double v) override {
    ASSERT_TRUE(std::isfinite(v));
    shown[f] = v;
  }
  bool Has(FrameOut f) const { return shown.count(f) != 0; }
  double operator[](FrameOut f) const { return shown.at(f); }
  std::map<FrameOut, double> shown;
};

using Values = std::vector<double>;

class FrameTest : public ::testing::Test {
 protected:
  FrameTest() { SetFrameWindowConstants(P); }
  FrameResult Run() { return RecomputeToInertialFrame(P, in, out, canvas); }
  double Deg(double rad) const { return rad * 180 / 3.141592654; }
  // Several shown fields at once.
  Values Out(std::initializer_list<FrameOut> fields) const {
    Values v;
    for (FrameOut f : fields) v.push_back(out[f]);
    return v;
  }

  SharedPool P;
  FrameInputs in;  // the window's defaults
  Fields out;
  RecordingCanvas canvas;
};

// The positive time t with |(dx + vx t, dy + vy t)| = c t, by the
// quadratic formula.
double DelayTime(double dx, double dy, double vx, double vy, double c) {
  const double a = c * c - vx * vx - vy * vy;
  const double b = -2 * (dx * vx + dy * vy);
  const double d = -(dx * dx + dy * dy);
  return (-b + std::sqrt(b * b - 4 * a * d)) / (2 * a);
}

TEST_F(FrameTest, ConstantsOfTheFrameWindow) {
  SharedPool p;
  p.Pi = 3.14159265358979;
  SetFrameWindowConstants(p);
  EXPECT_EQ(p.Pi, 3.141592654);
  EXPECT_EQ(p.DegPerRad, 180 / 3.141592654);
  EXPECT_EQ(p.Million, 1000000);
}

TEST_F(FrameTest, SignedAngleIsInMinusPiToPi) {
  const double Pi = P.Pi;
  EXPECT_EQ(SignedAngleRad(P, 0, 0), 0);
  EXPECT_EQ(SignedAngleRad(P, 0, 2), Pi / 2);
  EXPECT_EQ(SignedAngleRad(P, 0, -2), 3 * Pi / 2 - 2 * Pi);
  EXPECT_EQ(SignedAngleRad(P, -1, 0), Pi);  // pi itself stays
  EXPECT_EQ(SignedAngleRad(P, 2, 0), 0);
  // The arctangent is the library's, the quadrant shifts use the window's
  // literal (3.141592654, 4.1E-10 above pi): the two show in the results.
  const double off = 3.141592654 - M_PI;
  EXPECT_NEAR(SignedAngleRad(P, 1, 1), M_PI / 4, 1e-15);
  EXPECT_NEAR(SignedAngleRad(P, 1, -1), -M_PI / 4, 1e-15);
  EXPECT_NEAR(SignedAngleRad(P, -1, 1), 3 * M_PI / 4 + off, 1e-15);
  EXPECT_NEAR(SignedAngleRad(P, -1, -1), -3 * M_PI / 4 - off, 1e-15);
  EXPECT_NEAR(SignedAngleRad(P, -1, -1e-9), -M_PI + 1e-9 - off, 1e-15);
  EXPECT_NEAR(SignedAngleRad(P, 1e-300, 1e300), M_PI / 2, 1e-15);
}

TEST_F(FrameTest, GridAxesAndLegend) {
  DrawTransformGrid(canvas);
  const auto scale = canvas.OpsOf(CanvasOp::Kind::Scale);
  ASSERT_EQ(scale.size(), 1u);
  EXPECT_EQ(scale[0].a, -5);
  EXPECT_EQ(scale[0].b, 8);
  EXPECT_EQ(scale[0].c, 12);
  EXPECT_EQ(scale[0].d, -4);
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  int grey = 0;
  for (const auto& l : lines) grey += l.colour == RGB(200, 200, 200);
  EXPECT_EQ(grey, 18 + 13);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(lines[31].colour, kColour1);
  EXPECT_EQ(lines[32].colour, kColour1);
  EXPECT_EQ(lines[33].colour, RGB(0, 0, 255));
  EXPECT_EQ(lines[33].b, 7);
  EXPECT_EQ(lines[34].colour, RGB(255, 0, 0));
  EXPECT_EQ(lines[34].b, 6);
  const auto texts = canvas.OpsOf(CanvasOp::Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "ASO");
  EXPECT_EQ(texts[0].a, -1.5);
  EXPECT_EQ(texts[0].b, 7.5);
  EXPECT_EQ(texts[1].text, "ISO");
  EXPECT_EQ(texts[1].b, 6.5);
}

TEST_F(FrameTest, AtRestNothingChanges) {
  in.VX1aso = in.VX2aso = 0;
  const FrameResult r = Run();
  EXPECT_EQ((Values{r.X1, r.Y1, r.X2, r.Y2}), (Values{6, 6, 1, 1}));
  EXPECT_EQ(Out({FrameOut::X1iso, FrameOut::Y2iso, FrameOut::Ratio}), (Values{6, 1, 1}));
  // The delay of a source at rest is the distance over Vs.
  EXPECT_DOUBLE_EQ(out[FrameOut::DelaydT], std::sqrt(50.0) / 20);
  EXPECT_DOUBLE_EQ(out[FrameOut::DelayT2], -std::sqrt(50.0) / 20);
  EXPECT_EQ(out[FrameOut::FirstT1new], 0);
  EXPECT_EQ(out[FrameOut::FirstDt], 0);
  // Degrees from the library's arctangent and the literal's 180/pi.
  const double lit = M_PI / 3.141592654;
  EXPECT_NEAR(out[FrameOut::Q3aso], 45 * lit, 1e-12);
  EXPECT_NEAR(out[FrameOut::Q3iso], 45 * lit, 1e-12);
  EXPECT_NEAR(out[FrameOut::Q1iso], -45 * lit, 1e-12);
}

TEST_F(FrameTest, DefaultsGiveFourFiveAtTheDelayedSourcePosition) {
  const FrameResult r = Run();
  // Nothing moves in the first step with VXiso = 0.
  EXPECT_EQ(out[FrameOut::FirstX1], 6);
  EXPECT_EQ(out[FrameOut::FirstX2], 1);
  EXPECT_EQ(out[FrameOut::FirstT1], 0);
  EXPECT_EQ(out[FrameOut::FirstT2], 0);
  EXPECT_EQ(r.VX1, 16);
  EXPECT_EQ(r.VX2, 12);
  // 256 t^2 - 120 t - 50 = 0.
  const double t = (120 + std::sqrt(65600.0)) / 512;
  EXPECT_NEAR(out[FrameOut::DelaydT], t, 1e-14);
  EXPECT_NEAR(r.X2, 1 - 12 * t, 1e-13);
  EXPECT_NEAR(out[FrameOut::DelayX2], 1, 1e-13);  // before the shift
  const double q3 = std::atan2(5, 6 - (1 - 12 * t));
  const double c = std::cos(q3);
  const double want = (1 - 16 * c / 20) * 0.8 / (1 - 12 * c / 20) / 0.6;
  EXPECT_NEAR(out[FrameOut::Ratio], want, 1e-13);
  EXPECT_NEAR(out[FrameOut::Q1iso], -Deg(q3), 1e-9);
  EXPECT_EQ(out[FrameOut::V12iso], 4);
  // The second step's fields are reset to 0 and stay so.
  EXPECT_EQ(out[FrameOut::SecondX1], 0);
  EXPECT_EQ(out[FrameOut::SecondU], 0);
}

TEST_F(FrameTest, MovingFrameAgainstTheTextbookTransformation) {
  in.VXiso = 5;
  const FrameResult r = Run();
  const double g = 1 / std::sqrt(1 - 25.0 / 400);
  const double x1 = 6 * g, x2 = 1 * g;
  const double vx1 = (16 - 5) / (1 - 5 * 16 / 400.0);
  const double vx2 = (12 - 5) / (1 - 5 * 12 / 400.0);
  const double t1 = -g * 5 * 6 / 400, t2 = -g * 5 * 1 / 400;
  EXPECT_NEAR(out[FrameOut::FirstT1new], t1, 1e-6);
  EXPECT_NEAR(out[FrameOut::FirstT2new], t2, 1e-6);
  EXPECT_NEAR(out[FrameOut::FirstDt], t1 - t2, 1e-6);
  // The source brought to the receiver's time.
  const double x2s = x2 + vx2 * (t1 - t2);
  EXPECT_NEAR(out[FrameOut::FirstX2], x2s, 1e-13);
  EXPECT_NEAR(out[FrameOut::FirstX1], x1, 1e-13);
  EXPECT_NEAR(out[FrameOut::FirstT2], t1, 1e-6);
  const double tau = DelayTime(x1 - x2s, 5, vx2, 0, 20);
  EXPECT_NEAR(out[FrameOut::DelaydT], tau, 1e-13);
  EXPECT_NEAR(r.X2, x2s - vx2 * tau, 1e-12);
  EXPECT_NEAR(r.T2, t1 - tau, 1e-13);
  EXPECT_NEAR(r.VX1, vx1, 1e-13);
  const double c = std::cos(std::atan2(5, x1 - (x2s - vx2 * tau)));
  const double G1 = std::sqrt(1 - vx1 * vx1 / 400), G2 = std::sqrt(1 - vx2 * vx2 / 400);
  EXPECT_NEAR(r.ratio, (1 - vx1 * c / 20) * G2 / (1 - vx2 * c / 20) / G1, 1e-12);
}

TEST_F(FrameTest, SourceRestFrame) {
  in.formula = FrameFormula::F41;
  in.VY2aso = 3;  // the source's Y velocity goes as well
  const FrameResult r = Run();
  EXPECT_EQ((Values{r.V2, r.VX2, r.VY2}), (Values{0, 0, 0}));
  EXPECT_EQ(Out({FrameOut::V2iso, FrameOut::DelaydT, FrameOut::SecondU}), (Values{0, 0, 12}));
  // Into the frame of 12 m/s: G = 0.8.
  EXPECT_DOUBLE_EQ(out[FrameOut::SecondX1], 7.5);
  EXPECT_DOUBLE_EQ(out[FrameOut::SecondX2], 1.25);
  // Truncated toward zero to six decimals: -0.18/0.8 lies just above -0.225
  // in binary, so it shows as -0,224999.
  EXPECT_EQ(out[FrameOut::SecondT1new], -0.224999);
  EXPECT_NEAR(out[FrameOut::SecondT2new], -0.0375, 1.01e-6);
  EXPECT_NEAR(out[FrameOut::SecondDt], -0.1875, 1.01e-6);
  EXPECT_NEAR(out[FrameOut::DelayT2], -0.225, 1e-15);
  const double v = 4 / 0.52;  // 16 and 12 m/s composed relativistically
  EXPECT_NEAR(r.V1, v, 1e-13);
  EXPECT_EQ(r.V12, r.V1);
  const double c = std::cos(std::atan2(5, 6.25));
  EXPECT_NEAR(r.ratio, (1 - v * c / 20) / std::sqrt(1 - v * v / 400), 1e-13);
  // The relative velocity is drawn in green from the receiver.
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3].colour, RGB(0, 240, 0));
  EXPECT_DOUBLE_EQ(lines[3].a, 7.5 / 2);
  EXPECT_NEAR(lines[3].c, 7.5 / 2 + v / 4, 1e-13);
}

TEST_F(FrameTest, ReceiverRestFrame) {
  in.formula = FrameFormula::F43;
  const FrameResult r = Run();
  EXPECT_EQ(r.V1, 0);
  EXPECT_EQ(out[FrameOut::V1iso], 0);
  EXPECT_EQ(out[FrameOut::SecondU], 16);
  const double v = (12 - 16) / (1 - 16 * 12 / 400.0);
  EXPECT_NEAR(r.VX2, v, 1e-13);
  EXPECT_NEAR(r.V12, -v, 1e-13);
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3].colour, RGB(0, 240, 0));
  EXPECT_NEAR(r.ratio, std::sqrt(1 - v * v / 400) / (1 + r.V12 * std::cos(r.Q12) / 20), 1e-14);
}

TEST_F(FrameTest, ClassicalThirdFrameChangesOnlyTheXVelocities) {
  in.formula = FrameFormula::Classical2;
  in.thirdFrame = true;
  in.VXiso = 2;
  in.VXiso3 = 3;
  in.VY1aso = 1;
  in.delay = DelayOption::Ignore;
  const FrameResult r = Run();
  EXPECT_EQ((Values{r.VX1, r.VX2, r.VY1, r.X1, r.X2, r.T1}), (Values{11, 7, 1, 6, 1, 0}));
  EXPECT_EQ(out[FrameOut::SecondU], 3);
  for (FrameOut f : {FrameOut::SecondX1, FrameOut::SecondY1, FrameOut::SecondX2, FrameOut::SecondY2,
                     FrameOut::SecondT1, FrameOut::SecondT2, FrameOut::SecondT1new,
                     FrameOut::SecondT2new, FrameOut::SecondDt}) {
    EXPECT_EQ(out[f], 0);
  }
  // The first step of the classical formula writes none of its fields.
  EXPECT_FALSE(out.Has(FrameOut::FirstX1));
  EXPECT_FALSE(out.Has(FrameOut::FirstT1new));
  const double c = std::cos(std::atan2(5, 5));
  EXPECT_NEAR(r.ratio,
              (1 - std::sqrt(122.0) * std::cos(std::atan2(1, 11) - std::atan2(5, 5)) / 20) /
                  (1 - 7 * c / 20),
              1e-14);
}

TEST_F(FrameTest, FourFiveInAThirdFrame) {
  in.thirdFrame = true;
  in.VXiso3 = 12;
  in.delay = DelayOption::Ignore;
  const FrameResult r = Run();
  // VXiso = 0 then 12: the source's rest frame, by the full transformation.
  EXPECT_DOUBLE_EQ(out[FrameOut::SecondX1], 7.5);
  EXPECT_NEAR(r.VX2, 0, 1e-15);
  EXPECT_NEAR(r.VX1, 4 / 0.52, 1e-13);
}

TEST_F(FrameTest, SynchronisationOptions) {
  in.VXiso = 5;
  in.taso = 1;
  const double g = 1 / std::sqrt(1 - 25.0 / 400);
  const double t1 = (1 - 5 * 6 / 400.0) * g, t2 = (1 - 5 * 1 / 400.0) * g;
  const double vx1 = 11 / 0.8, vx2 = 7 / 0.85;

  in.sync = SyncOption::Origin;
  Run();
  EXPECT_EQ(out[FrameOut::FirstT1], 0);
  EXPECT_EQ(out[FrameOut::FirstT2], 0);
  EXPECT_NEAR(out[FrameOut::FirstX1], 6 * g - t1 * vx1, 1e-12);
  EXPECT_NEAR(out[FrameOut::FirstX2], g - t2 * vx2, 1e-12);

  in.sync = SyncOption::Source;
  Run();
  EXPECT_NEAR(out[FrameOut::FirstT1], t2, 1e-6);
  EXPECT_NEAR(out[FrameOut::FirstX1], 6 * g - vx1 * (t1 - t2), 1e-12);
  EXPECT_NEAR(out[FrameOut::FirstX2], g, 1e-14);

  in.sync = SyncOption::None;
  Run();
  EXPECT_NEAR(out[FrameOut::FirstT1], t1, 1e-6);
  EXPECT_NEAR(out[FrameOut::FirstT2], t2, 1e-6);
  EXPECT_NEAR(out[FrameOut::FirstX1], 6 * g, 1e-14);
}

TEST_F(FrameTest, AnglesAreReducedOnlyInTheFinalFrame) {
  // Receiver straight above the source, moving at -170 degrees.
  in.X1aso = 1;
  in.Y1aso = 6;
  const double a = -170 / P.DegPerRad;
  in.VX1aso = 10 * std::cos(a);
  in.VY1aso = 10 * std::sin(a);
  in.VX2aso = 0;
  const FrameResult r = Run();
  // A few 1E-8 degrees off: the velocity's direction comes from the
  // library's arctangent, the shifts by pi from the window's literal.
  EXPECT_NEAR(out[FrameOut::Q3aso], 90, 1e-12);
  EXPECT_NEAR(out[FrameOut::Q1aso], -260, 1e-7);
  EXPECT_NEAR(out[FrameOut::Q1iso], 100, 1e-7);
  EXPECT_NEAR(out[FrameOut::Q2iso], -90, 1e-12);
  EXPECT_NEAR(Deg(r.Q1), 100, 1e-7);
}

TEST_F(FrameTest, DelayInAsoMovesTheSourceBeforeTheTransformation) {
  in.delay = DelayOption::InAso;
  in.taso = 2;
  in.sync = SyncOption::None;
  const FrameResult r = Run();
  const double t = (120 + std::sqrt(65600.0)) / 512;
  EXPECT_NEAR(r.X2, 1 - 12 * t, 1e-13);
  EXPECT_NEAR(r.T2, 2 - t, 1e-14);
  EXPECT_NEAR(out[FrameOut::DelayT2], 2 - t, 1e-14);
  EXPECT_NEAR(out[FrameOut::DelaydT], t, 1e-14);
  // The final frame shows where the source is, without a second shift.
  EXPECT_NEAR(out[FrameOut::DelayX2], 1 - 12 * t, 1e-13);
}

TEST_F(FrameTest, DrawingOverlaysAndShowsAsoOnRequest) {
  in.drawAso = true;
  in.delay = DelayOption::Ignore;
  in.VY2aso = 4;
  Run();
  EXPECT_EQ(canvas.Count(CanvasOp::Kind::Cls), 0u);
  const auto circles = canvas.OpsOf(CanvasOp::Kind::Circle);
  ASSERT_EQ(circles.size(), 4u);
  EXPECT_EQ(circles[0].colour, RGB(0, 0, 250));
  EXPECT_EQ(circles[0].a, 3);  // 6 m at 2 m per unit
  EXPECT_EQ(circles[0].c, 0.2);
  EXPECT_EQ(circles[2].colour, RGB(250, 0, 0));
  const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].colour, kColour1);  // line of sight
  EXPECT_EQ(lines[2].colour, RGB(0, 0, 250));
  EXPECT_EQ(lines[2].c, 0.5 + 12.0 / 4);  // source velocity at 4 m/s per unit
  EXPECT_EQ(lines[2].d, 0.5 + 4.0 / 4);
  Run();
  EXPECT_EQ(canvas.Count(CanvasOp::Kind::Circle), 8u);
}

TEST_F(FrameTest, FaultsStopTheCalculationAndDrawNothing) {
  for (double u : {20.0, -20.0, 25.0}) {
    out.shown.clear();
    in.VXiso = u;
    EXPECT_THROW(Run(), ComputeFault) << u;
    EXPECT_TRUE(canvas.Ops().empty());
    EXPECT_EQ(out[FrameOut::DelayX2], 1);  // written before the fault
    EXPECT_FALSE(out.Has(FrameOut::Ratio));
  }
  // A ratio with a vanishing denominator: the fields up to it are written,
  // the ratio is not and nothing is drawn.
  in = FrameInputs();
  in.formula = FrameFormula::Classical2;
  in.delay = DelayOption::Ignore;
  in.X1aso = 5;
  in.Y1aso = 0;
  in.X2aso = 0;
  in.Y2aso = 0;
  in.VX1aso = 0;
  in.VX2aso = 20;
  out.shown.clear();
  EXPECT_THROW(Run(), ComputeFault);
  EXPECT_EQ(out[FrameOut::V2iso], 20);
  EXPECT_FALSE(out.Has(FrameOut::Ratio));
  EXPECT_TRUE(canvas.Ops().empty());
  // (4-5) with a final speed at Vs.
  in.formula = FrameFormula::F45;
  EXPECT_THROW(Run(), ComputeFault);
  // A picture scale of 0: the ratio is shown, nothing drawn.
  in = FrameInputs();
  in.ML = 0;
  out.shown.clear();
  EXPECT_THROW(Run(), ComputeFault);
  EXPECT_TRUE(out.Has(FrameOut::Ratio));
  EXPECT_TRUE(canvas.Ops().empty());
  // Overflow of a position.
  in = FrameInputs();
  in.X1aso = 1e308;
  in.VXiso = 19;
  EXPECT_THROW(Run(), ComputeFault);
  // A signal speed of 0 divides by zero.
  in = FrameInputs();
  in.Vs = 0;
  EXPECT_THROW(Run(), ComputeFault);
  EXPECT_TRUE(canvas.Ops().empty());
}

}  // namespace
}  // namespace velmor
