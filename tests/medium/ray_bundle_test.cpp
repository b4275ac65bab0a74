// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/ray_bundle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "medium/medium_run.h"
#include "medium/medium_state.h"
#include "medium_fake_host.h"
#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "support/medium_defaults.h"

namespace velmor {
namespace {

// A bundle launched from the origin toward +Y, the receiver far to the right
// at the given height, where no front passes it.
struct BundleCase {
  double receiverY, Vs, dt, scale;
  double Np, Kp;  // layers up to the receiver's height, density step
  int rays;
  double cone;
};

struct RayTest : ::testing::Test {
  SharedPool P;
  MediumState M;
  RayTest() { SetStartupConstants(P); }
  void Launch(const BundleCase& c) {
    P.X(1) = 1000;
    P.Y(1) = c.receiverY;
    P.X(2) = 0;
    P.Y(2) = 0;
    P.Vs = c.Vs;
    P.TimeStep = c.dt;
    P.PictureScale = c.scale;
    P.PeriodNumber = 1;
    M.Np = c.Np;
    M.Kp = c.Kp;
    M.RayCount = c.rays;
    M.ConeAngle = c.cone;
    M.MeanAngle = P.Pi / 2;
    ComputeBundleShape(P, M);
    M.AllocateRays();
    LaunchBundle(P, M, DensityLaw::FromTop);
  }
};

// Three rays at −45°, 0°, 45° from +Y, in vacuum.
struct ThreeRays : RayTest {
  void SetUp() override { Launch({50, 20, 0.01, 5, 100, 0, 2, P.Pi / 2}); }
};

TEST_F(ThreeRays, ShapeOfTheBundle) {
  EXPECT_NEAR(M.BundleStartAngle, -P.Pi / 4, 1e-15);
  EXPECT_NEAR(M.RayAngleStep, P.Pi / 4, 1e-15);
  EXPECT_DOUBLE_EQ(M.LayerThickness, 0.5);
  EXPECT_NEAR(M.RaySin[0], -std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(M.RaySin[1], 0, 1e-15);
  EXPECT_EQ(M.RayDirY[2], 1);
  EXPECT_EQ(M.RayDensity[1], 1);
}

TEST_F(ThreeRays, VacuumRaysGoStraightAtTheSignalSpeed) {
  RayStepInput in;
  for (int k = 0; k < 10; ++k) EXPECT_EQ(PropagateRays(P, M, in).receivingRay, -1);
  // Ten steps of 20 m/s · 0,01 s along each direction.
  EXPECT_NEAR(M.RayX[1], 0, 1e-12);
  EXPECT_NEAR(M.RayY[1], 2, 1e-12);
  EXPECT_NEAR(M.RayX[2], 2 * std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(M.RayY[2], 2 * std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(M.RayX[0], -2 * std::sqrt(0.5), 1e-12);
  EXPECT_DOUBLE_EQ(M.LocalSpeed, 20);
  // Every ray in layer 1 records its speed there for period 1.
  EXPECT_DOUBLE_EQ(M.Vs2(1), 20);
}

TEST_F(ThreeRays, DrawsEveryMovedSegmentInTheScale) {
  RecordingCanvas c;
  RayStepInput in;
  in.canvas = &c;
  PropagateRays(P, M, in);
  const auto lines = c.OpsOf(CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].a, 0);
  EXPECT_EQ(lines[1].b, 0);
  EXPECT_NEAR(lines[1].d, 0.2 / 5, 1e-15);
  EXPECT_EQ(lines[1].colour, RGB(0, 255, 255));
  in.bundle = false;
  c.Reset();
  PropagateRays(P, M, in);
  EXPECT_EQ(c.OpsOf(CanvasOp::Kind::Line)[0].colour, RGB(0, 0, 250));
}

// Layers of 1 m, density 1,9 in layer 1 falling by 0,1 a layer (thinner
// upward); signal speed 1, dt 0,1. Ray 0 stands just inside layer 2 with
// the density of layer 1 still recorded.
struct Boundary : RayTest {
  void SetUp() override { Launch({10, 1, 0.1, 0, 10, 0.1, 1, 0.1}); }
  void Place(int i, double sine, double y) {
    M.RaySin[i] = sine;
    M.RayCos[i] = std::sqrt(1 - sine * sine);
    M.RayX[i] = 0;
    M.RayY[i] = y;
    M.RayDensity[i] = 1.9;
  }
};

TEST_F(Boundary, SteepEntryIntoAThinnerLayerTurnsTheRayDown) {
  const double sine = std::sin(80 / P.DegPerRad);
  Place(0, sine, 1.0001);
  Place(1, sine, 0.5);  // stays in layer 1
  RayStepInput in;
  PropagateRays(P, M, in);
  // 1,8/1,9 < sin 80°: total reflection, the sine kept, and the ray stays
  // with the density and speed of the layer it came from.
  EXPECT_EQ(M.RayDirY[0], -1);
  EXPECT_EQ(M.RaySin[0], sine);
  EXPECT_DOUBLE_EQ(M.RayDensity[0], 1.9);
  EXPECT_DOUBLE_EQ(M.LocalSpeed, 1 / 1.9);
  const double step = 1 / 1.9 * 0.1;
  EXPECT_DOUBLE_EQ(M.RayX[0], step * sine);
  EXPECT_DOUBLE_EQ(M.RayY[0], 1.0001 - step * std::sqrt(1 - sine * sine));
  EXPECT_LT(M.RayY[0], 1.0001);
  // The ray in its own layer goes on upward.
  EXPECT_EQ(M.RayDirY[1], 1);
  EXPECT_GT(M.RayY[1], 0.5);
  // Once turned, it keeps going down through its own layer unrefracted.
  for (int k = 0; k < 5; ++k) PropagateRays(P, M, in);
  EXPECT_EQ(M.RayDirY[0], -1);
  EXPECT_LT(M.RayY[0], 1);
  EXPECT_EQ(M.RaySin[0], sine);
}

TEST_F(ThreeRays, TotallyReflectedRayComesBackAtTheAngleItCameIn) {
  // Two layers of 5 m, densities 1,5 and 1 (Np = 2, Kp = 0,5): 1/1,5 is
  // below sin 45°, so ray 2, at 45° from the vertical, cannot leave layer 1.
  P.Y(1) = 10;
  M.Np = 2;
  M.Kp = 0.5;
  ComputeBundleShape(P, M);
  LaunchBundle(P, M, DensityLaw::FromTop);
  RayStepInput in;
  // Up through layer 1, turned at y = 5, and down again until just above the
  // source's height, where layer 1 ends.
  double top = 0;
  for (int k = 0; k < 500 && !(M.RayDirY[2] == -1 && M.RayY[2] < 0.5); ++k) {
    const double x = M.RayX[2], y = M.RayY[2];
    PropagateRays(P, M, in);
    top = std::max(top, M.RayY[2]);
    // Every move in layer 1 at 20/1,5 m/s, and at 45° both ways.
    const double dx = M.RayX[2] - x, dy = M.RayY[2] - y;
    EXPECT_NEAR(std::hypot(dx, dy), 20 / 1.5 * 0.01, 1e-12) << k;
    EXPECT_NEAR(std::fabs(dy), dx, 1e-9) << k;
  }
  ASSERT_EQ(M.RayDirY[2], -1);
  EXPECT_LT(top, 5 + 20 / 1.5 * 0.01);
  EXPECT_NEAR(std::asin(M.RaySin[2]) * P.DegPerRad, 45, 1e-6);
  EXPECT_EQ(M.RayDensity[2], 1.5);
}

TEST_F(Boundary, ShallowEntryIntoAThinnerLayerRefracts) {
  const double sine = std::sin(10 / P.DegPerRad);
  Place(0, sine, 1.0001);
  RayStepInput in;
  PropagateRays(P, M, in);
  EXPECT_EQ(M.RayDirY[0], 1);
  EXPECT_DOUBLE_EQ(M.RaySin[0], 1.9 * sine / 1.8);
  EXPECT_DOUBLE_EQ(M.RayCos[0], std::sqrt(1 - M.RaySin[0] * M.RaySin[0]));
}

TEST_F(Boundary, EntryIntoADenserLayerBendsTowardTheNormal) {
  const double sine = 0.5;
  Place(0, sine, 1.0001);
  M.RayDensity[0] = 1.7;
  RayStepInput in;
  PropagateRays(P, M, in);
  EXPECT_DOUBLE_EQ(M.RaySin[0], 1.7 * 0.5 / 1.8);
  EXPECT_EQ(M.RayDirY[0], 1);
}

TEST_F(Boundary, SearchRefractsOnlyAboveAMillionthOfDensity) {
  Place(0, 0.5, 1.0001);
  M.RayDensity[0] = 1.8 + 5e-7;
  RayStepInput in;
  in.bundle = false;
  PropagateRays(P, M, in);
  EXPECT_EQ(M.RaySin[0], 0.5);
  // The bundle's rules refract at any difference.
  Place(0, 0.5, 1.0001);
  M.RayDensity[0] = 1.8 + 5e-7;
  in.bundle = true;
  PropagateRays(P, M, in);
  EXPECT_NE(M.RaySin[0], 0.5);
}

TEST_F(Boundary, RaysFarAboveOrInTooThinLayersRest) {
  // Layer 31 is beyond Np + 20 for the bundle; layer 21 beyond Np + 10 for
  // the search but not for the bundle.
  // Denser upward here (P = 1 + 0,1·(N − 1)), so those layers are not thin.
  Place(0, 0.5, 30.5);
  Place(1, 0.5, 20.5);
  RayStepInput in;
  in.law = DensityLaw::Linear;
  PropagateRays(P, M, in);
  EXPECT_EQ(M.RayY[0], 30.5);
  EXPECT_NE(M.RayY[1], 20.5);
  Place(1, 0.5, 20.5);
  in.bundle = false;
  PropagateRays(P, M, in);
  EXPECT_EQ(M.RayY[1], 20.5);
  // Density 1 + 0,1·(10 − 20) = 0 in layer 20: below 0,1, resting.
  Place(1, 0.5, 19.5);
  in.bundle = true;
  in.law = DensityLaw::FromTop;
  PropagateRays(P, M, in);
  EXPECT_EQ(M.RayY[1], 19.5);
  EXPECT_EQ(M.RayDensity[1], 1.9);
}

TEST_F(ThreeRays, FrontBetweenTwoRaysIsTheReception) {
  // Receiver just right of the vertical ray, 1 m up: the front passes it
  // when ray 1 is above it, at the move of ray 2.
  P.X(1) = 0.1;
  P.Y(1) = 1;
  RayStepInput in;
  int steps = 0;
  RayStepResult r;
  do {
    r = PropagateRays(P, M, in);
    ++steps;
  } while (r.receivingRay < 0 && steps < 100);
  EXPECT_EQ(r.receivingRay, 2);
  // Ray 1 at 0,2 m a step: above 1 m after 6 steps.
  EXPECT_EQ(steps, 6);
  EXPECT_EQ(M.FrontState, 1);
  EXPECT_NEAR(r.moveX, 0.2 * std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(r.prevMoveX, 0, 1e-12);
  EXPECT_NEAR(r.prevMoveY, 0.2, 1e-12);
  EXPECT_DOUBLE_EQ(r.prevLocalSpeed, 20);
}

// The quicker step against the straightforward one, step after step, in
// media that bend, reflect, freeze and lose rays, with receptions and
// relaunches: every ray, every value the step leaves and every segment
// drawn must agree to the last bit, faults included.
struct Medium {
  DensityLaw law;
  double Kp;
  double VY2 = 0;
  double Y1 = 4;
  double Vs = 20;
  double dt = 1e-3;
  double X1 = 3;  // close by, so the bundle is received again and again
  int rayCount = 400;
};

std::vector<std::uint64_t> Bits(const std::vector<double>& v) {
  std::vector<std::uint64_t> b;
  for (const double x : v) b.push_back(std::bit_cast<std::uint64_t>(x));
  return b;
}

std::uint64_t Bits(double x) {
  return std::bit_cast<std::uint64_t>(x);
}

// Like the window's picture, it refuses a segment whose pixels would lie
// beyond the numbers (some twenty pixels a unit).
struct PictureLikeCanvas : RecordingCanvas {
  void Line(double x1, double y1, double x2, double y2, Rgb colour) override {
    for (const double v : {x1, y1, x2, y2}) {
      if (!std::isfinite(v * 20)) RaiseComputeFault("overflow");
    }
    RecordingCanvas::Line(x1, y1, x2, y2, colour);
  }
};

struct Stepper {
  SharedPool P;
  MediumState M;
  PictureLikeCanvas canvas;
  explicit Stepper(const Medium& m) {
    testing::SetMediumDefaults(P, M);
    P.X(1) = m.X1;
    P.Y(1) = m.Y1;
    P.VY(2) = m.VY2;
    P.Vs = m.Vs;
    P.TimeStep = m.dt;
    M.Kp = m.Kp;
    M.RayCount = m.rayCount;
    ComputeBundleShape(P, M);
    M.AllocateRays();
    P.PeriodNumber = 1;
    LaunchBundle(P, M, m.law);
  }
  // The step's result, or nothing after a fault.
  std::optional<RayStepResult> Step(DensityLaw law, bool straightforward, bool draw) {
    MoveBodies(P);
    RayStepInput in;
    in.law = law;
    in.straightforward = straightforward;
    if (draw) in.canvas = &canvas;
    try {
      return PropagateRays(P, M, in);
    } catch (const ComputeFault&) {
      return std::nullopt;
    }
  }
};

void ExpectSameSteps(const Medium& m, int steps) {
  Stepper quick(m), plain(m);
  for (int k = 0; k < steps; ++k) {
    SCOPED_TRACE(k);
    const bool draw = k % 7 == 0;
    const auto a = quick.Step(m.law, false, draw);
    const auto b = plain.Step(m.law, true, draw);
    ASSERT_EQ(a.has_value(), b.has_value());
    const MediumState& A = quick.M;
    const MediumState& B = plain.M;
    ASSERT_EQ(Bits(A.RayX), Bits(B.RayX));
    ASSERT_EQ(Bits(A.RayY), Bits(B.RayY));
    ASSERT_EQ(Bits(A.RaySin), Bits(B.RaySin));
    ASSERT_EQ(Bits(A.RayCos), Bits(B.RayCos));
    ASSERT_EQ(Bits(A.RayDensity), Bits(B.RayDensity));
    ASSERT_EQ(Bits(A.RayDirY), Bits(B.RayDirY));
    ASSERT_EQ(Bits(A.LocalSpeed), Bits(B.LocalSpeed));
    ASSERT_EQ(Bits(A.PrevLocalSpeed), Bits(B.PrevLocalSpeed));
    ASSERT_EQ(Bits(A.PrevMoveX), Bits(B.PrevMoveX));
    ASSERT_EQ(Bits(A.PrevMoveY), Bits(B.PrevMoveY));
    ASSERT_EQ(A.FrontState, B.FrontState);
    for (int p = 0; p <= 20; ++p) ASSERT_EQ(Bits(A.Vs2(p)), Bits(B.Vs2(p)));
    const auto& da = quick.canvas.Ops();
    const auto& db = plain.canvas.Ops();
    ASSERT_EQ(da.size(), db.size());
    for (std::size_t i = 0; i < da.size(); ++i) {
      ASSERT_EQ(Bits(da[i].a), Bits(db[i].a));
      ASSERT_EQ(Bits(da[i].b), Bits(db[i].b));
      ASSERT_EQ(Bits(da[i].c), Bits(db[i].c));
      ASSERT_EQ(Bits(da[i].d), Bits(db[i].d));
    }
    quick.canvas.Reset();
    plain.canvas.Reset();
    if (!a) return;  // both faulted at the same ray
    ASSERT_EQ(a->receivingRay, b->receivingRay);
    ASSERT_EQ(Bits(a->moveX), Bits(b->moveX));
    ASSERT_EQ(Bits(a->moveY), Bits(b->moveY));
    ASSERT_EQ(Bits(a->prevMoveX), Bits(b->prevMoveX));
    ASSERT_EQ(Bits(a->prevMoveY), Bits(b->prevMoveY));
    ASSERT_EQ(Bits(a->prevLocalSpeed), Bits(b->prevLocalSpeed));
    // A reception ends the bundle's period, as the run does; the next one
    // leaves from the source at once.
    if (A.FrontState != 0 || k % 900 == 899) {
      for (Stepper* r : {&quick, &plain}) {
        r->M.FrontState = 0;
        r->P.PeriodNumber = std::min(r->P.PeriodNumber + 1, 20);
        LaunchBundle(r->P, r->M, m.law);
      }
    }
  }
}

TEST(QuickStep, AgreesWithTheStraightforwardStepToTheLastBit) {
  for (const Medium& m : {
           Medium{DensityLaw::FromTop, 0},             // vacuum
           Medium{DensityLaw::FromTop, 0.005},         // thinner upward: reflections
           Medium{DensityLaw::FromTopSquare, 0.0002},  // and below the source
           Medium{DensityLaw::Linear, 0.01},           // denser upward
           Medium{DensityLaw::Square, -0.0005},        // too thin far up: rays rest
           Medium{DensityLaw::Linear, -0.03},          // resting layers close by
           Medium{DensityLaw::FromTop, 0.01, 0.7},     // the layers move with the source
           Medium{DensityLaw::FromTop, 0.005, 0, -4},  // receiver below: layers downward
           Medium{DensityLaw::FromTop, 0, 0, 1e308, 1e306, 50, 1.5e308},  // positions overflow
           Medium{DensityLaw::FromTop, 0, 0, 4, 1e306, 50, 3, 1},         // the drawing overflows
       }) {
    SCOPED_TRACE(static_cast<int>(m.law));
    SCOPED_TRACE(m.Kp);
    ExpectSameSteps(m, 2000);
  }
}

TEST(BundleShape, BadCountsAndFlatLayersAreBadInput) {
  SharedPool P;
  MediumState M;
  medium_testing::DefaultInputs(P, M);
  for (int rays : {0, -1, kMaxRayCount + 1}) {
    M.RayCount = rays;
    EXPECT_THROW(ComputeBundleShape(P, M), InputFault) << rays;
  }
  M.RayCount = 400;
  for (int layers : {0, -5, kMaxLayers + 1}) {
    M.Np = layers;
    EXPECT_THROW(ComputeBundleShape(P, M), InputFault) << layers;
  }
  M.Np = 100;
  P.Y(1) = P.Y(2);
  EXPECT_THROW(ComputeBundleShape(P, M), InputFault);
  P.Y(1) = 1e308;
  P.Y(2) = -1e308;
  EXPECT_THROW(ComputeBundleShape(P, M), ComputeFault);
}

TEST(FrameConversion, ClassicalSubtractsTheFrameSpeed) {
  SharedPool P;
  MediumState M;
  medium_testing::DefaultInputs(P, M);
  M.VXiso = 3;
  ConvertFrame(P, M, false);
  EXPECT_EQ(P.VX(1), 2);
  EXPECT_EQ(P.VX(2), 6);
  EXPECT_EQ(P.X(1), 100);
  EXPECT_EQ(M.T1, 0);
}

TEST(FrameConversion, RelativisticAtRestFrameChangesNoPosition) {
  SharedPool P;
  MediumState M;
  medium_testing::DefaultInputs(P, M);
  P.VY(1) = 2;
  ConvertFrame(P, M, true);
  EXPECT_EQ(P.X(1), 100);
  EXPECT_EQ(P.Y(1), 50);
  EXPECT_EQ(P.X(2), 0);
  EXPECT_EQ(P.VX(1), 5);
  EXPECT_EQ(P.VY(1), 2);
  EXPECT_EQ(P.VX(2), 9);
  EXPECT_EQ(M.kTiso, 1);
  // The bodies' own X speeds give the clock rates.
  EXPECT_DOUBLE_EQ(M.kT1, std::sqrt(1 - 25.0 / 400));
  EXPECT_DOUBLE_EQ(M.kT2, std::sqrt(1 - 81.0 / 400));
  EXPECT_EQ(P.CurrentTime, 0);
}

TEST(FrameConversion, RelativisticMovingFrameByHand) {
  SharedPool P;
  MediumState M;
  medium_testing::DefaultInputs(P, M);
  // c = 20, V = 12: kTiso = 0,8.
  M.VXiso = 12;
  P.X(2) = 8;
  P.VY(2) = 1;
  ConvertFrame(P, M, true);
  EXPECT_DOUBLE_EQ(M.kTiso, 0.8);
  EXPECT_DOUBLE_EQ(P.X(1), 125);
  // VX1 = (5 − 12)/(1 − 60/400) = −7/0,85; VX2 = (9 − 12)/(1 − 108/400) = −3/0,73.
  EXPECT_DOUBLE_EQ(P.VX(1), -7 / 0.85);
  EXPECT_DOUBLE_EQ(P.VX(2), -3 / 0.73);
  EXPECT_DOUBLE_EQ(P.VY(2), 0.8 / 0.73);
  // T1 = −(12·100/400)/0,8 = −3,75; T2 = −(12·8/400)/0,8 = −0,3.
  EXPECT_DOUBLE_EQ(P.CurrentTime, -3.75);
  EXPECT_DOUBLE_EQ(M.T0, -3.75);
  const double dT = -3.75 - -0.3;
  EXPECT_DOUBLE_EQ(P.X(2), 10 + dT * (-3 / 0.73));
  EXPECT_DOUBLE_EQ(P.Y(2), dT * (0.8 / 0.73));
  EXPECT_DOUBLE_EQ(M.SourceStartX, P.X(2));
}

TEST(FrameConversion, FrameAtTheSignalSpeedIsAFault) {
  SharedPool P;
  MediumState M;
  medium_testing::DefaultInputs(P, M);
  M.VXiso = 25;
  EXPECT_THROW(ConvertFrame(P, M, true), ComputeFault);
}

}  // namespace
}  // namespace velmor
