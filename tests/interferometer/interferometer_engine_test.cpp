// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine_test_support.h"
#include "shared/faults.h"
#include "shared/geometry.h"
#include "step_budget.h"

namespace velmor {
namespace {

using namespace testing_support;

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// An independent ray tracer for an apparatus at rest: straight lines, vector
// Snell's law, reflection about the normal. Nothing of the engine is used.

struct V2 {
  double x, y;
};
V2 operator+(V2 a, V2 b) {
  return {a.x + b.x, a.y + b.y};
}
V2 operator-(V2 a, V2 b) {
  return {a.x - b.x, a.y - b.y};
}
V2 operator*(double k, V2 a) {
  return {k * a.x, k * a.y};
}
double Dot(V2 a, V2 b) {
  return a.x * b.x + a.y * b.y;
}
double Cross(V2 a, V2 b) {
  return a.x * b.y - a.y * b.x;
}

struct Ray {
  V2 p;
  V2 d;  // unit
  double path = 0;
};

// Moves the ray to the line through q with direction angle a (degrees).
void Hit(Ray& r, V2 q, double aDeg) {
  const V2 u{std::cos(aDeg * kPi / 180), std::sin(aDeg * kPi / 180)};
  const double t = Cross(q - r.p, u) / Cross(r.d, u);
  r.p = r.p + t * r.d;
  r.path += t;
}

V2 NormalAgainst(const Ray& r, double aDeg) {
  V2 n{-std::sin(aDeg * kPi / 180), std::cos(aDeg * kPi / 180)};
  if (Dot(n, r.d) > 0) n = -1 * n;
  return n;
}

void Refract(Ray& r, double aDeg, double n1, double n2) {
  const V2 n = NormalAgainst(r, aDeg);
  const double eta = n1 / n2;
  const double ci = -Dot(r.d, n);
  const double k = 1 - eta * eta * (1 - ci * ci);
  r.d = eta * r.d + (eta * ci - std::sqrt(k)) * n;
}

void Reflect(Ray& r, double aDeg) {
  const V2 n = NormalAgainst(r, aDeg);
  r.d = r.d - 2 * Dot(r.d, n) * n;
}

// Path lengths of both beams in the default set-up 1 at rest.
struct Paths {
  double beam1, beam2;
};
Paths RestPaths(double n0, double ng) {
  const double s = 0.1 * std::sin(135 * kPi / 180);
  const V2 front{-s, -s}, rear{0, 0}, plateLow{-s, 0.4 - s}, plateUp{0, 0.4};
  Ray b{{0, -0.4}, {0, 1}};
  Hit(b, front, 135);
  Refract(b, 135, n0, ng);
  Hit(b, rear, 135);
  Ray c = b;  // beam 2 leaves through the rear face
  Reflect(b, 135);
  Hit(b, front, 135);
  Refract(b, 135, ng, n0);
  Hit(b, {-1, 0}, 90);
  Reflect(b, 90);
  Hit(b, front, 135);
  Refract(b, 135, n0, ng);
  Hit(b, rear, 135);
  Refract(b, 135, ng, n0);
  Hit(b, {0.5, 0}, 90);

  Refract(c, 135, ng, n0);
  Hit(c, plateLow, 135);
  Refract(c, 135, n0, ng);
  Hit(c, plateUp, 135);
  Refract(c, 135, ng, n0);
  Hit(c, {0, 1}, 0);
  Reflect(c, 0);
  Hit(c, plateUp, 135);
  Refract(c, 135, n0, ng);
  Hit(c, plateLow, 135);
  Refract(c, 135, ng, n0);
  Hit(c, rear, 135);
  Reflect(c, 135);
  Hit(c, {0.5, 0}, 90);
  return {b.path, c.path};
}

// ---------------------------------------------------------------------------

TEST(DopplerShiftedFrequency, ClassicRelativisticAndNone) {
  EXPECT_DOUBLE_EQ(DopplerShiftedFrequency(DopplerOption::Classic, 100, 2, 1, 10), 112.5);
  // 100 * 0.9 * sqrt(0.96) / 0.8 / sqrt(0.99)
  EXPECT_NEAR(DopplerShiftedFrequency(DopplerOption::Relativistic, 100, 2, 1, 10), 110.78234188,
              1e-7);
  EXPECT_EQ(DopplerShiftedFrequency(DopplerOption::None, 100, 2, 1, 10), 100);
  // An emitter at the speed of light divides by zero; beyond it the root
  // of a negative number.
  EXPECT_THROW(DopplerShiftedFrequency(DopplerOption::Classic, 100, 10, 0, 10), ComputeFault);
  EXPECT_THROW(DopplerShiftedFrequency(DopplerOption::Relativistic, 100, 11, 0, 10), ComputeFault);
  EXPECT_THROW(DopplerShiftedFrequency(DopplerOption::Classic, 100, 1, 0, 0), ComputeFault);
}

// h as the steps of SurfaceApproach read: L*sin(delta) with delta folded once.
double LiteralH(const SharedPool& p, double px, double py, double sx, double sy, double a) {
  const double dx = px - sx, dy = py - sy;
  const double L = std::sqrt(dx * dx + dy * dy);
  double delta = AngleRad(p, dx, dy) - a;
  if (delta > p.Pi) delta -= p.Pi;
  if (delta < 0) delta += p.Pi;
  return L * std::sin(delta);
}

TEST(SurfaceApproach, DistanceAndClosingSpeed) {
  const SharedPool p = StartedPool();
  Approach a = SurfaceApproach(p, 0, -3, 0, 2, 0, 0, 0);
  EXPECT_NEAR(a.h, 2, 1e-15);
  EXPECT_DOUBLE_EQ(a.u, 3);
  EXPECT_DOUBLE_EQ(a.L, 2);
  EXPECT_DOUBLE_EQ(a.theta, p.Pi / 2);
  // Below the line the fold gives the same distance.
  EXPECT_NEAR(SurfaceApproach(p, 0, 1, 0, -2, 0, 0, 0).h, 2, 1e-15);
  // The splitter's 135 degree face: (1, 1) is sqrt(2) away; a beam along
  // the face never closes in.
  const double a135 = 135 / p.DegPerRad;
  EXPECT_NEAR(SurfaceApproach(p, 0, 20, 1, 1, 0, 0, a135).h, std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(SurfaceApproach(p, 0, 20, 1, 1, 0, 0, a135).u, 20 * std::sin(kPi / 4), 1e-12);
  EXPECT_NEAR(SurfaceApproach(p, -1, 1, 1, 1, 0, 0, a135).u, 0, 1e-13);
}

TEST(SurfaceApproach, AgreesWithTheLiteralFoldForAnyAngle) {
  const SharedPool p = StartedPool();
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> pos(-2, 2), ang(-7, 7);
  int negative = 0;
  for (int i = 0; i < 20000; ++i) {
    const double px = pos(gen), py = pos(gen), sx = pos(gen), sy = pos(gen), a = ang(gen);
    const double want = LiteralH(p, px, py, sx, sy, a);
    const double got = SurfaceApproach(p, 1, 1, px, py, sx, sy, a).h;
    ASSERT_NEAR(got, want, 1e-12 * (1 + std::fabs(want))) << px << " " << py << " " << a;
    if (want < -1e-9) ++negative;
  }
  // Angles outside 0..Pi keep the single fold and with it some negative h.
  EXPECT_GT(negative, 0);
}

TEST(PaddedFixed, PadsAndKeepsTheSignInFront) {
  EXPECT_EQ(PaddedFixed(-1.5, 3, 6), "-001,500000");
  EXPECT_EQ(PaddedFixed(90, 3, 6), "090,000000");
  EXPECT_EQ(PaddedFixed(197.8578164, 3, 6), "197,857816");
  EXPECT_EQ(PaddedFixed(1234.5, 3, 4), "1234,5000");
  EXPECT_EQ(PaddedFixed(-88, 3, 6), "-088,000000");
  EXPECT_EQ(PaddedFixed(-1e-9, 3, 6), "000,000000");
  EXPECT_EQ(PaddedFixed(0.5, 1, 12), "0,500000000000");
  EXPECT_EQ(PaddedFixed(2.5, 9, 8), "000000002,50000000");
}

TEST(ComputingMinutes, TruncatesToThreeDecimals) {
  EXPECT_DOUBLE_EQ(ComputingMinutes(90), 1.5);
  EXPECT_EQ(ComputingMinutes(0.05), 0);
  EXPECT_DOUBLE_EQ(ComputingMinutes(59.99), 0.999);
  EXPECT_DOUBLE_EQ(ComputingMinutes(3600), 60);
}

// ---------------------------------------------------------------------------

class BeamSplitterRun : public ::testing::Test {
 protected:
  SharedPool pool = StartedPool();
  ScriptedHost host;
  InterferometerSetup s = DefaultSetup(pool);
  double Degrees(double rad) const { return rad * pool.DegPerRad; }
};

TEST_F(BeamSplitterRun, AnglesOfTheSetUpAtRest) {
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  ASSERT_TRUE(e.BothArrived());
  const double r = Degrees(ArcSin(std::sin(kPi / 4) * 1.000005 / 1.55));
  EXPECT_NEAR(r, 27.1421836, 1e-6);
  EXPECT_NEAR(Degrees(e.An(31)), 45, 1e-9);  // working angle of 10 -> 11
  EXPECT_NEAR(Degrees(e.An(11)), 45 + r, 1e-9);
  EXPECT_NEAR(Degrees(e.An(13)), 270 - 45 - r, 1e-9);
  EXPECT_NEAR(Degrees(e.An(14)), 180, 1e-9);
  EXPECT_NEAR(Degrees(e.An(15)), 0, 1e-9);
  EXPECT_NEAR(Degrees(e.An(18)), 0, 1e-9);
  EXPECT_NEAR(Degrees(e.An(22)), 90, 1e-9);
  EXPECT_NEAR(Degrees(e.An(25)), -90, 1e-9);
  EXPECT_NEAR(Degrees(e.An(28)), 0, 1e-9);
  EXPECT_EQ(e.beam[0].seg, 19);
  EXPECT_EQ(e.beam[1].seg, 29);
  // The angle log on the scheme, row by row.
  const auto texts = host.scheme.Texts();
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0], "Alfa10=   090,000000");
  EXPECT_EQ(texts[1], "Alfa20=   090,000000");
  EXPECT_EQ(texts[2], "Alfa11=   072,142184");
  EXPECT_EQ(texts[3], "Alfa21=   072,142184");
  const auto prints = host.scheme.OpsOf(CanvasOp::Kind::Text);
  EXPECT_EQ(prints[2].a, 4);
  EXPECT_EQ(prints[2].b, 22);
  EXPECT_EQ(prints[3].a, 10);
  EXPECT_EQ(prints[3].b, 22);
}

TEST_F(BeamSplitterRun, ArrivalTimesMatchAnIndependentTrace) {
  const Paths want = RestPaths(1.000005, 1.55);
  for (double dt : {1e-7, 1e-8}) {
    s.dt = dt;
    InterferometerEngine e(pool);
    e.InitialiseBeams(s, host.options, host.scheme);
    ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
    // Seven surfaces each met within a step's advance.
    EXPECT_NEAR(e.beam[0].T, want.beam1 / 20, 8 * dt) << dt;
    EXPECT_NEAR(e.beam[1].T, want.beam2 / 20, 10 * dt) << dt;
    EXPECT_NEAR(e.beam[0].Sev, want.beam1, 8 * dt * 20);
    // No Doppler: every frequency stays nu0 = 10 kHz and the counts follow
    // the arrival times alone.
    for (int i : {10, 11, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}) {
      EXPECT_EQ(e.nu(i), 10000) << i;
    }
    EXPECT_NEAR(e.beam[0].N, e.beam[0].T * 10000, 1e-9);
    EXPECT_NEAR(e.beam[0].N - e.beam[1].N, (e.beam[0].T - e.beam[1].T) * 10000, 1e-9);
  }
}

TEST_F(BeamSplitterRun, SpeedInGlassWithTheDensityOption) {
  host.options.densitySpeed = true;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  // The arrival segments divide by the medium density, not by zero.
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  ASSERT_TRUE(e.BothArrived());
  EXPECT_NEAR(e.Vk1(10), 20 / 1.000005, 1e-12);
  EXPECT_NEAR(e.Vk1(11), 20 / 1.55, 1e-12);
  EXPECT_NEAR(e.Vk1(14), 20 / 1.000005, 1e-12);
  EXPECT_NEAR(e.Vk2(23), 20 / 1.55, 1e-12);
  EXPECT_NEAR(e.Vk1(19), 20 / 1.000005, 1e-12);
  EXPECT_EQ(e.rho(19), 1.000005);
}

TEST_F(BeamSplitterRun, FastLoopAndSingleStepsAgreeExactly) {
  s.Vsys = 1;
  s.alfa = 0.3;
  host.options.doppler = DopplerOption::Relativistic;
  host.options.densitySpeed = true;
  InterferometerEngine fast(pool), slow(pool);
  fast.InitialiseBeams(s, host.options, host.scheme);
  slow.InitialiseBeams(s, host.options, host.scheme);
  ASSERT_EQ(fast.Run(host), InterferometerEnd::Stopped);
  // Both beams arrive after some 1 600 000 steps.
  ASSERT_TRUE(StepUntil(
      "both beams", 16'000'000, [&] { return slow.BothArrived(); }, [&] { slow.StepOnce(host); }));
  EXPECT_EQ(fast.T, slow.T);
  for (int b = 0; b < 2; ++b) {
    EXPECT_EQ(fast.beam[b].T, slow.beam[b].T);
    EXPECT_EQ(fast.beam[b].N, slow.beam[b].N);
    EXPECT_EQ(fast.beam[b].x, slow.beam[b].x);
    EXPECT_EQ(fast.beam[b].S, slow.beam[b].S);
  }
  EXPECT_EQ(fast.ex[InterferometerEngine::kE1], slow.ex[InterferometerEngine::kE1]);
  EXPECT_NE(fast.nu(19), fast.nu0);  // the Doppler steps did run
}

TEST_F(BeamSplitterRun, RefractionWhoseSineExceedsOneIsAFault) {
  // Glass thinner than the medium: the first refraction cannot happen.
  s.ng = 0.5;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  EXPECT_EQ(e.Run(host), InterferometerEnd::Fault);
  EXPECT_EQ(e.beam[0].seg, 10);
  EXPECT_GT(e.T, 0);
}

TEST_F(BeamSplitterRun, RefractionOutOfGlassBeyondOneIsAFault) {
  // The splitter moving towards the beam reflects it at a higher frequency;
  // a strong density coefficient makes the glass so dense at that frequency
  // that the beam cannot leave it.
  s.Vsys = 5;
  s.alfa = kPi;
  s.K = 1e-3;
  host.options.doppler = DopplerOption::Classic;
  host.options.frequencyDensity = true;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  EXPECT_EQ(e.Run(host), InterferometerEnd::Fault);
  EXPECT_EQ(e.beam[0].seg, 13);
  EXPECT_GT(std::sin(e.An(33)) * e.rho(13) / e.rho(14), 1);
}

TEST_F(BeamSplitterRun, LoadBatchIsExactlyNC0Steps) {
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  e.loadMode = true;
  EXPECT_EQ(e.Run(host), InterferometerEnd::LoadBatch);
  EXPECT_NEAR(e.T / s.dt, 200, 1e-6);
  EXPECT_FALSE(e.loadMode);
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(host.yields, 0);
}

TEST_F(BeamSplitterRun, StopFlagMakesExactlyNC0StepsOrFewerAtArrival) {
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  e.NC0 = 1000;
  e.SetStopFlag();
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  EXPECT_NEAR(e.T / s.dt, 1000, 1e-6);
  e.NC0 = 333;  // NC0 read again between runs
  e.SetStopFlag();
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  EXPECT_NEAR(e.T / s.dt, 1333, 1e-6);
  // Near the end a batch stops at the arrival.
  e.NC0 = 2000000000;
  e.ClearStop();
  host.maxYields = host.yields + 1000;  // the beams arrive within some 90
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  ASSERT_TRUE(e.BothArrived());
  const double arrived = e.T;
  e.NC0 = 500;
  e.SetStopFlag();
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  EXPECT_NEAR((e.T - arrived) / s.dt, 1, 1e-6);
}

TEST_F(BeamSplitterRun, ACounterPastNC0StillRefreshes) {
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  e.counter = 150;
  e.NC0 = 100;
  e.SetStopFlag();
  EXPECT_EQ(e.Run(host), InterferometerEnd::Stopped);
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(e.counter, 0);
}

TEST_F(BeamSplitterRun, ClosingWindowEndsTheRunAtOnce) {
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  host.onYield = [](long long n) { return n < 3; };
  EXPECT_EQ(e.Run(host), InterferometerEnd::Closed);
  EXPECT_EQ(host.yields, 3);
  EXPECT_NEAR(e.T / s.dt, 600, 1e-6);
}

// The moving-surface correction at the first refraction, with the apparatus
// moving fast enough to tilt the effective face.
class CorrectionRun : public BeamSplitterRun {
 protected:
  void SetUp() override {
    s.Vsys = 2;
    s.alfa = kPi / 3;
    s.dt = 1e-5;
    s.NC0 = 200;
    host.options.refractionCorrection = true;
    host.options.reflectionCorrection = true;
  }
};

TEST_F(CorrectionRun, EffectiveAngleFollowsTheMovingFace) {
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  ASSERT_TRUE(e.BothArrived());
  EXPECT_GT(e.correctionIterations, 10000);
  // With the splitter moving the face seen by the front is no longer 135.
  const double i = Degrees(e.An(31));
  EXPECT_GT(std::fabs(i - 45), 0.5);
  EXPECT_LT(std::fabs(i - 45), 10);
  // The corrected angle is logged left of the angle log.
  bool logged = false;
  for (const CanvasOp& op : host.scheme.OpsOf(CanvasOp::Kind::Text)) {
    if (op.a == -12.5 && op.b == 23 && op.text.rfind("Alfa11=   ", 0) == 0) logged = true;
  }
  EXPECT_TRUE(logged);
}

TEST_F(CorrectionRun, AtRestTheCorrectionGivesTheFaceItself) {
  s.Vsys = 0;
  // The edge stops within a step of the face: the angle is off by at most
  // about c*dt/w radians per correction, and shrinks with the step.
  for (double dt : {1e-5, 1e-6}) {
    s.dt = dt;
    const double tol = 5000 * dt;  // degrees
    InterferometerEngine e(pool);
    e.InitialiseBeams(s, host.options, host.scheme);
    ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
    ASSERT_TRUE(e.BothArrived());
    EXPECT_NEAR(Degrees(e.An(31)), 45, tol) << dt;
    EXPECT_NEAR(Degrees(e.An(14)), 180, tol) << dt;
    EXPECT_NEAR(Degrees(e.An(15)), 0, tol) << dt;
    EXPECT_NEAR(Degrees(e.An(16)), 17.857816, tol) << dt;
    EXPECT_NEAR(Degrees(e.An(24)), 90, tol) << dt;
    EXPECT_NEAR(Degrees(e.An(28)), 0, tol) << dt;
  }
}

TEST_F(CorrectionRun, StopInsideTheCorrectionAbandonsTheEvent) {
  InterferometerEngine whole(pool);
  whole.InitialiseBeams(s, host.options, host.scheme);
  ASSERT_EQ(whole.Run(host), InterferometerEnd::Stopped);

  ScriptedHost stopper;
  stopper.options = host.options;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, stopper.options, stopper.scheme);
  // Stop as soon as a correction is under way.
  stopper.onYield = [&](long long) {
    if (e.correctionIterations > 10 && e.beam[0].seg == 10) e.RequestStop();
    return true;
  };
  ASSERT_EQ(e.Run(stopper), InterferometerEnd::Stopped);
  EXPECT_EQ(e.beam[0].seg, 10);  // nothing half-applied
  EXPECT_EQ(e.An(11), 0);
  EXPECT_TRUE(e.eventsPending);
  const double stoppedAt = e.T;
  // Continuing fires the same event in the same step, with the whole
  // correction, and ends exactly as the run that was never stopped.
  stopper.onYield = nullptr;
  e.ClearStop();
  ASSERT_EQ(e.Run(stopper), InterferometerEnd::Stopped);
  EXPECT_EQ(e.Tk1(11), stoppedAt);
  EXPECT_EQ(e.An(11), whole.An(11));
  EXPECT_EQ(e.beam[0].T, whole.beam[0].T);
  EXPECT_EQ(e.beam[1].N, whole.beam[1].N);
}

TEST_F(CorrectionRun, NC0StepsFinishACorrectionTheyStart) {
  InterferometerEngine whole(pool);
  whole.InitialiseBeams(s, host.options, host.scheme);
  ASSERT_EQ(whole.Run(host), InterferometerEnd::Stopped);
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  InterferometerEnd end = InterferometerEnd::Stopped;
  ASSERT_TRUE(StepUntil(
      "both beams", host.maxYields / e.NC0,
      [&] { return e.BothArrived() || end != InterferometerEnd::Stopped; },
      [&] {
        e.SetStopFlag();  // "Сделать NC0 шагов" again and again
        end = e.Run(host);
      }));
  ASSERT_EQ(end, InterferometerEnd::Stopped);
  EXPECT_EQ(e.An(11), whole.An(11));
  EXPECT_EQ(e.beam[0].T, whole.beam[0].T);
}

TEST_F(CorrectionRun, FrontLinesEveryTwoNC0Iterations) {
  host.options.frontLines = true;
  s.NC0 = 50;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  e.NC0 = 50;
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  const auto lines = host.scheme.OpsOf(CanvasOp::Kind::Line);
  ASSERT_GT(lines.size(), 10u);
  for (const CanvasOp& op : lines) EXPECT_EQ(op.colour, RGB(0, 250, 0));
  EXPECT_NEAR(static_cast<double>(lines.size()), e.correctionIterations / 100.0,
              15);  // one per 100 iterations of each correction
}

// ---------------------------------------------------------------------------

TEST(SetupTwo, ReturningBeamsCrossTheGlassStraight) {
  SharedPool pool = StartedPool();
  ScriptedHost host;
  InterferometerSetup s = DefaultSetup(pool);
  s.scheme = 2;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  ASSERT_TRUE(e.BothArrived());
  EXPECT_EQ(e.An(16), e.An(15));
  EXPECT_EQ(e.An(18), e.An(16));
  EXPECT_EQ(e.An(27), e.An(25));
  EXPECT_NEAR(e.Vk1(15), 20 * 1.000005 / 1.55, 1e-12);
  EXPECT_NEAR(e.Vk1(18), 20, 1e-12);
  EXPECT_NEAR(e.Vk2(28), 20, 1e-12);
  EXPECT_EQ(e.rho0(27), 1.55);
  // Beam 1 crosses from the left mirror to the rear face at glass speed:
  // from x = -1 to the face x + y = 0 along y = -0.0689..., then on in air.
  SharedPool p2 = StartedPool();
  InterferometerEngine one(p2);
  InterferometerSetup s1 = DefaultSetup(p2);
  one.InitialiseBeams(s1, host.options, host.scheme);
  ASSERT_EQ(one.Run(host), InterferometerEnd::Stopped);
  EXPECT_GT(e.beam[0].T, one.beam[0].T + 0.02);
}

TEST(SetupThree, SymmetricMirrorsBringBothBeamsTogether) {
  SharedPool pool = StartedPool();
  ScriptedHost host;
  InterferometerSetup s = TwoMirrorSetup(pool);
  const double deg = pool.DegPerRad;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  EXPECT_EQ(e.ex[InterferometerEngine::kE2], 1);
  EXPECT_EQ(e.ey[InterferometerEngine::kE6], 1.1918 + 0.2);
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  ASSERT_TRUE(e.BothArrived());
  EXPECT_EQ(e.beam[0].seg, 12);
  EXPECT_EQ(e.beam[1].seg, 22);
  EXPECT_NEAR(e.An(11) * deg, 50, 1e-9);
  EXPECT_NEAR(e.An(21) * deg, 130, 1e-9);
  EXPECT_EQ(e.beam[0].T, e.beam[1].T);
  // Source to mirror 1 m, then up to y = 1.1918 at 50 degrees.
  const double path = 1 + 1.1918 / std::sin(50 * kPi / 180);
  EXPECT_NEAR(e.beam[0].T, path / 20, 3e-7);
  EXPECT_EQ(e.nu(18), e.nu(11));
  EXPECT_EQ(e.nu(28), e.nu(21));
  EXPECT_EQ(e.nu(19), e.nu(12));
}

TEST(SetupThree, DopplerAtTheMovingMirrors) {
  SharedPool pool = StartedPool();
  ScriptedHost host;
  host.options.doppler = DopplerOption::Classic;
  host.options.densitySpeed = true;
  InterferometerSetup s = TwoMirrorSetup(pool);
  s.Vsys = 1;
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, host.options, host.scheme);
  // Beam 1 leaves against the motion, beam 2 with it.
  EXPECT_DOUBLE_EQ(e.nu(10), 10000 / (1 + 1.0 / 20));
  EXPECT_DOUBLE_EQ(e.nu(20), 10000 / (1 - 1.0 / 20));
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  ASSERT_TRUE(e.BothArrived());
  EXPECT_EQ(e.nu(29), e.nu(22));
  EXPECT_NE(e.beam[0].T, e.beam[1].T);
}

TEST(PresetSetups, RealPresetConvertsTheTypedStep) {
  const SharedPool pool = StartedPool();
  const InterferometerSetup s = PresetSetup(pool, true);
  EXPECT_EQ(s.dt, 1e-16);
  EXPECT_EQ(s.c, 3e8);
  EXPECT_EQ(s.NC0, 200000);
  EXPECT_NEAR(s.alfa2 * pool.DegPerRad, 0.0008, 1e-15);
}

}  // namespace
}  // namespace velmor
