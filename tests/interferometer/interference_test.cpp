// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interference.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "shared/faults.h"

namespace velmor {
namespace {

using testing_support::DefaultSetup;
using testing_support::StartedPool;
using Kind = CanvasOp::Kind;

constexpr double kPi = 3.14159265358979323846;

// The boxes after the "Test" preset.
InterferenceInputs TestBoxes() {
  InterferenceInputs in;
  in.nu1 = in.nu2 = 0.01 * 1e6;
  in.V1 = in.V2 = 20;
  in.A1 = 1;
  in.A2 = -1;
  in.dt = 1e-8;
  in.NC0 = 1;
  return in;
}

TEST(InterferenceGeometry, FringeWidthOfSymmetricBeams) {
  const SharedPool pool = StartedPool();
  InterferenceInputs in = TestBoxes();
  const InterferenceGeometry g = InterferenceGeometryOf(pool, in);
  // lambda / (2 sin 1 deg) / cos 0 = 28.6537 * lambda.
  const double want = 0.002 / (2 * std::sin(kPi / 180));
  EXPECT_NEAR(g.w, want, 1e-12);
  EXPECT_NEAR(g.w / 0.002, 28.6493, 1e-4);
  EXPECT_DOUBLE_EQ(g.widthMm, std::trunc(want * 1e9) / 1e6);
  EXPECT_EQ(g.n, 3);  // 0.2 / 0.0573
  in.halfWidth = true;
  const InterferenceGeometry h = InterferenceGeometryOf(pool, in);
  EXPECT_NEAR(h.w, want / 2, 1e-12);
  EXPECT_EQ(h.n, 6);
}

TEST(InterferenceGeometry, CountsKeepTheirFractionsAndSetUpThreeTurnsTheAngles) {
  const SharedPool pool = StartedPool();
  InterferenceInputs in = TestBoxes();
  in.N1 = 1473.25;
  in.N2 = -2.75;
  InterferenceGeometry g = InterferenceGeometryOf(pool, in);
  EXPECT_NEAR(g.N1, 0.25, 1e-12);
  EXPECT_NEAR(g.N2, -0.75, 1e-12);
  in.twoMirror = true;
  in.A1 = 89;
  in.A2 = 91;
  g = InterferenceGeometryOf(pool, in);
  EXPECT_NEAR(g.A1 * 180 / kPi, 1, 1e-9);
  EXPECT_NEAR(g.A2 * 180 / kPi, -1, 1e-9);
  EXPECT_NEAR(g.w, 0.002 / (2 * std::sin(kPi / 180)), 1e-12);
}

TEST(InterferenceGeometry, SecondFrequencyFromTheFirst) {
  const SharedPool pool = StartedPool();
  InterferenceInputs in = TestBoxes();
  in.v2FromV1 = true;
  in.alfa = 165;  // sin 30 degrees
  const InterferenceGeometry g = InterferenceGeometryOf(pool, in);
  EXPECT_EQ(g.nu1, 5e14);
  EXPECT_NEAR(g.nu2 - g.nu1, 65000e6 * 0.5, 1);
}

TEST(InterferenceGeometry, DegenerateBeamsAreFaults) {
  const SharedPool pool = StartedPool();
  InterferenceInputs in = TestBoxes();
  in.A2 = 1;  // parallel beams: infinite fringes
  EXPECT_THROW(InterferenceGeometryOf(pool, in), ComputeFault);
  // A beam at rest has a wavelength of 0 but no phase speed.
  in = TestBoxes();
  in.V1 = 0;
  const InterferenceGeometry still = InterferenceGeometryOf(pool, in);
  EXPECT_THROW(InterferencePixels(pool, still, in), ComputeFault);
  in = TestBoxes();
  in.nu2 = 0;
  EXPECT_THROW(InterferenceGeometryOf(pool, in), ComputeFault);
  in = TestBoxes();
  in.V2 = 0;
  in.V1 = 0;
  EXPECT_THROW(InterferenceGeometryOf(pool, in), ComputeFault);
  // A tiny objective: fewer than one fringe, left to the caller's message.
  in = TestBoxes();
  in.D = 0.1;
  EXPECT_EQ(InterferenceGeometryOf(pool, in).n, 0);
}

TEST(InterferenceLimits, WidthAndFringeCount) {
  EXPECT_FALSE(StripTooWide(59));
  EXPECT_TRUE(StripTooWide(60));
  EXPECT_FALSE(TooManyFringes(275, 1));
  EXPECT_TRUE(TooManyFringes(276, 1));
  EXPECT_FALSE(TooManyFringes(550, 2));
}

TEST(PrepareStrip, ScaleAndOneBlueMarkPerFringe) {
  RecordingCanvas c;
  PrepareStrip(c, 0.05, 3);
  EXPECT_DOUBLE_EQ(c.Left(), -0.15);
  EXPECT_DOUBLE_EQ(c.Right(), 0.15);
  EXPECT_DOUBLE_EQ(c.Top(), 0.05);
  EXPECT_EQ(c.Bottom(), 0);
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_DOUBLE_EQ(lines[0].a, -0.15);
  EXPECT_EQ(lines[3].a, 0);
  EXPECT_EQ(lines[0].colour, RGB(0, 0, 250));
  const auto texts = c.Texts();
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts[0], "-3");
  EXPECT_EQ(texts[6], " 3");
}

// The tabulated pixels and the formula pixel by pixel: the same colours.
TEST(InterferencePixels, SamePicturesAsTheFormula) {
  const SharedPool pool = StartedPool();
  struct Case {
    InterferenceInputs in;
    double T;
  };
  std::vector<Case> cases;
  InterferenceInputs a = TestBoxes();
  a.N1 = 1473.539;
  a.N2 = 1472.88;
  a.Y1 = -0.0137;
  a.Y2 = 0.0284;
  cases.push_back({a, 2e-4});
  cases.push_back({a, 0.0371});
  InterferenceInputs real;  // the "Real" boxes after a run
  real.nu1 = real.nu2 = 5e14;
  real.V1 = real.V2 = 3e8;
  real.A1 = 0.292;
  real.A2 = 0.3;
  real.N1 = 4836123.25;
  real.N2 = 4836123.5;
  real.Y1 = 0.012;
  real.Y2 = -0.004;
  real.P = 2;
  cases.push_back({real, 2e-11});
  for (const Case& c : cases) {
    const InterferenceGeometry g = InterferenceGeometryOf(pool, c.in);
    const InterferencePixels pixels(pool, g, c.in);
    const int J = pixels.HalfWidth();
    std::vector<double> I(2 * J + 1), E1(2 * J + 1), E2(2 * J + 1);
    for (IntensityMode mode :
         {IntensityMode::Amplitudes, IntensityMode::Fields, IntensityMode::Sum}) {
      pixels.Compute(c.T, -J, J, mode, 2, I.data(), E1.data(), E2.data());
      for (int j = -J; j <= J; ++j) {
        double e1 = 0, e2 = 0;
        const double want = ReferenceIntensity(pool, g, c.in, j, c.T, mode, 2, &e1, &e2);
        const double got = I[j + J];
        ASSERT_NEAR(got, want, 1e-6) << j;
        ASSERT_EQ(std::nearbyint(got), std::nearbyint(want)) << j;
        ASSERT_NEAR(E1[j + J], e1, 1e-8);
        ASSERT_NEAR(E2[j + J], e2, 1e-8);
        ASSERT_GE(got, -1e-9);
        ASSERT_LE(got, 255.05);
      }
    }
  }
}

class RecordingInterferenceHost : public InterferenceHost {
 public:
  InterferenceOptions LiveOptions() const override { return options; }
  Canvas& Strip(int s) override { return strips[s - 1]; }
  Canvas& Scheme() override { return scheme; }
  bool Yield() override {
    ++yields;
    return yields < 100000;
  }
  void ShowRefresh(double shift, double T, double energy, bool energyOn) override {
    shifts.push_back(shift);
    times.push_back(T);
    energies.push_back(energyOn ? energy : -1);
  }
  InterferenceOptions options;
  RecordingCanvas strips[3];
  RecordingCanvas scheme;
  long long yields = 0;
  std::vector<double> shifts, times, energies;
};

class InterferenceLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    in.N1 = 0.3;
    in.Y1 = -0.0137;
    in.Y2 = 0.0284;
    g = InterferenceGeometryOf(pool, in);
  }
  SharedPool pool = StartedPool();
  InterferometerEngine engine{pool};
  InterferenceInputs in = TestBoxes();
  InterferenceGeometry g;
  RecordingInterferenceHost host;

  // One single step drawing the sine curves: how the run ended.
  InterferenceEnd SineStep() {
    host.options.sine = true;
    host.options.singleStep = true;
    InterferenceRun run(pool, engine, g, in);
    return run.Run(host);
  }
};

TEST_F(InterferenceLoop, SingleStepComputesOneStep) {
  host.options.singleStep = true;
  InterferenceRun run(pool, engine, g, in);
  EXPECT_EQ(run.Run(host), InterferenceEnd::Stopped);
  EXPECT_EQ(engine.T, 1e-8);
  EXPECT_EQ(host.yields, 0);
  ASSERT_EQ(host.times.size(), 1u);  // NC0 = 1: that step is a picture
  // 551 green lines on strip 1, colour the rounded intensity.
  const auto lines = host.strips[0].OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 551u);
  const InterferencePixels ref(pool, g, in);
  for (int j : {-275, -100, 0, 37, 275}) {
    const double I =
        ReferenceIntensity(pool, g, in, j, 1e-8, IntensityMode::Amplitudes, 1, nullptr, nullptr);
    const CanvasOp& op = lines[j + 275];
    EXPECT_EQ(op.colour, RGB(0, static_cast<int>(std::nearbyint(I)), 0)) << j;
    EXPECT_DOUBLE_EQ(op.a, ref.X(j));
    EXPECT_EQ(op.b, 0);
    EXPECT_DOUBLE_EQ(op.d, g.w / 1.25);
  }
  EXPECT_TRUE(host.strips[2].Ops().empty());
}

TEST_F(InterferenceLoop, BrightFringeIsTheFirstMaximumRightOfTheCentre) {
  host.options.singleStep = true;
  int moved = 0;
  for (double N1 : {0.0, 0.2, 0.45, 0.7, 0.9}) {
    in.N1 = N1;
    g = InterferenceGeometryOf(pool, in);
    engine.T = 0;
    InterferenceRun run(pool, engine, g, in);
    host.shifts.clear();
    ASSERT_EQ(run.Run(host), InterferenceEnd::Stopped);
    // The same window searched with the formula.
    const double limit = 275.0 / g.n;
    double best = 100;
    int want = 0;
    for (int j = 0; j < limit; ++j) {
      const double I =
          ReferenceIntensity(pool, g, in, j, 1e-8, IntensityMode::Amplitudes, 1, nullptr, nullptr);
      if (I > best) {
        best = I;
        want = j;
      }
    }
    if (want > 0) ++moved;
    EXPECT_EQ(run.jmax, want) << N1;
    ASSERT_EQ(host.shifts.size(), 1u);
    EXPECT_DOUBLE_EQ(host.shifts[0], std::trunc(1e6 * g.n * want / 275 / 1) / 1e6);
  }
  EXPECT_GE(moved, 3);  // the fringe moves with the phase of beam 1
}

TEST_F(InterferenceLoop, EnergySumsEveryPixelOfEveryStepAndStopsAtATenthOfASecond) {
  in.dt = 0.03;
  in.NC0 = 1000;
  host.options.energy = true;
  InterferenceRun run(pool, engine, g, in);
  ASSERT_EQ(run.Run(host), InterferenceEnd::Stopped);
  // 0.03, 0.06, 0.09, 0.12: the fourth step reaches 0.1.
  EXPECT_NEAR(engine.T, 0.12, 1e-12);
  EXPECT_EQ(host.yields, 3);
  double want = 0;
  double T = 0;
  for (int step = 0; step < 4; ++step) {
    T += 0.03;
    for (int j = -275; j <= 275; ++j) {
      want +=
          ReferenceIntensity(pool, g, in, j, T, IntensityMode::Amplitudes, 1, nullptr, nullptr) *
          0.03;
    }
  }
  EXPECT_NEAR(run.energy, want, 1e-9 * want);
  EXPECT_TRUE(host.times.empty());  // no picture before NC0 steps
}

TEST_F(InterferenceLoop, StopFlagAndRefreshEveryNC0Steps) {
  in.NC0 = 5;
  host.options.graph = true;
  InterferenceRun run(pool, engine, g, in);
  int refreshes = 0;
  class Stopper : public RecordingInterferenceHost {
   public:
    InterferometerEngine* e = nullptr;
    bool Yield() override {
      ++yields;
      if (yields == 12) e->RequestStop();
      return true;
    }
  } stopper;
  stopper.e = &engine;
  stopper.options.graph = true;
  ASSERT_EQ(run.Run(stopper), InterferenceEnd::Stopped);
  refreshes = static_cast<int>(stopper.times.size());
  EXPECT_EQ(refreshes, 2);  // steps 5 and 10; the stop seen at step 13
  EXPECT_NEAR(engine.T, 13e-8, 1e-20);
  ASSERT_EQ(stopper.scheme.Count(Kind::Circle), 2u);
  const CanvasOp c = stopper.scheme.OpsOf(Kind::Circle)[1];
  EXPECT_NEAR(c.a, 10e-8 / 0.1, 1e-18);
  EXPECT_EQ(c.c, 0.02);
}

TEST_F(InterferenceLoop, SineCurvesOnStripThree) {
  in.strip = 3;
  ASSERT_EQ(SineStep(), InterferenceEnd::Stopped);
  const auto& s3 = host.strips[2];
  EXPECT_EQ(s3.Count(Kind::Line), 7u);  // only the fringe marks
  const auto points = s3.OpsOf(Kind::Point);
  ASSERT_EQ(points.size(), 1102u);
  double e1 = 0, e2 = 0;
  ReferenceIntensity(pool, g, in, -275, 1e-8, IntensityMode::Amplitudes, 1, &e1, &e2);
  EXPECT_EQ(points[0].colour, RGB(250, 0, 0));
  EXPECT_NEAR(points[0].b, g.w * e1 / 25 + g.w / 2, 1e-12);
  EXPECT_EQ(points[1].colour, RGB(0, 0, 250));
  EXPECT_NEAR(points[1].b, g.w * e2 / 25 + g.w / 2, 1e-12);
}

TEST_F(InterferenceLoop, StripThreeLeftClearedWhenTheLastStepDrewNothing) {
  in.NC0 = 10;
  ASSERT_EQ(SineStep(), InterferenceEnd::Stopped);
  const auto& s3 = host.strips[2];
  EXPECT_EQ(s3.Count(Kind::Cls), 1u);
  EXPECT_EQ(s3.Count(Kind::Line), 7u);
  EXPECT_EQ(s3.Count(Kind::Point), 0u);
}

// ---------------------------------------------------------------------------

TEST(MatchArrivalTimes, EarlierBeamOscillatesOnAndARepeatAddsNothing) {
  SharedPool pool = StartedPool();
  testing_support::ScriptedHost host;
  InterferometerEngine e(pool);
  e.InitialiseBeams(DefaultSetup(pool), {}, host.scheme);
  e.nu(18) = 1000;
  e.nu(28) = 2000;
  e.nu(19) = 500;
  e.nu(29) = 0;
  RecordingCanvas c;
  ArrivalCounts in{1e4, 4e4, 10.5, 3.25, 0.25, 0.75};
  const MatchedCounts m = MatchArrivalTimes(c, e, in);
  EXPECT_EQ(e.nu(1), 1e4);
  EXPECT_EQ(e.nu(2), 4e4);
  EXPECT_DOUBLE_EQ(m.N1, 10.5 + 0.5 * 1000);
  EXPECT_DOUBLE_EQ(m.N2, 3.25);
  PrintArrivalComparison(c, e, in, m);
  const auto t = c.OpsOf(Kind::Text);
  ASSERT_EQ(t.size(), 5u);  // no "v28 / v29" line while nu(29) is 0
  EXPECT_EQ(t[0].text, "N1 - N2=    7,25");
  EXPECT_EQ(t[0].a, -12);
  EXPECT_EQ(t[0].b, 12);
  EXPECT_EQ(t[1].text, "N1 - N2=    507,25");
  EXPECT_EQ(t[2].text, "v19 / v29=     0,25");
  EXPECT_EQ(t[3].text, "v19 - v29=    -0,03");
  EXPECT_EQ(t[4].text, "v18 / v19=     2");
  EXPECT_EQ(t[4].b, 8);
  // The fields now hold T1 = T2 = 0: nothing more to add.
  ArrivalCounts again{1e4, 4e4, m.N1, m.N2, 0, 0};
  const MatchedCounts m2 = MatchArrivalTimes(c, e, again);
  EXPECT_EQ(m2.N1, m.N1);
  EXPECT_EQ(m2.N2, m.N2);
}

TEST(MatchArrivalTimes, TruncatesTheDifferenceTowardZero) {
  SharedPool pool = StartedPool();
  InterferometerEngine e(pool);
  RecordingCanvas c;
  ArrivalCounts in{1, 1, 0.1234567891, 1.0, 0, 0};
  MatchArrivalTimes(c, e, in);
  EXPECT_EQ(c.Texts()[0], "N1 - N2=   -0,876543");
  ArrivalCounts zero{1, 0, 0, 0, 0, 0};
  const MatchedCounts m = MatchArrivalTimes(c, e, zero);
  EXPECT_THROW(PrintArrivalComparison(c, e, zero, m), ComputeFault);
}

}  // namespace
}  // namespace velmor
