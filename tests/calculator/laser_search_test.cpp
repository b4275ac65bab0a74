// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculator/laser_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fake_picture_host.h"
#include "shared/faults.h"
#include "shared/shared_pool.h"
#include "support/recorded.h"
#include "workbench/experiment_engine.h"

namespace velmor {
namespace {

using Kind = CanvasOp::Kind;
using testing::At;
using testing::Edges;
using testing::Values;
using Texts = std::vector<std::string>;

SharedPool Started() {
  SharedPool p;
  SetStartupConstants(p);
  return p;
}

TEST(LaserFrequencies, DefaultsMatchThePublishedPair) {
  SharedPool P = Started();
  const LaserPair f = LaserFrequencies(P, 546.467, 0.338);
  // (1 ± 0,338)·546,467/√(1 − 0,338²) THz.
  const double G = std::sqrt(1 - 0.338 * 0.338);
  EXPECT_NEAR(f.vp, 1.338 * 546.467e12 / G, 1e3);
  EXPECT_NEAR(f.va, 0.662 * 546.467e12 / G, 1e3);
  EXPECT_NEAR(f.vp / 1e12, 776.896, 1e-3);
  EXPECT_NEAR(f.va / 1e12, 384.384, 1e-3);
  // Close to the measured 777,21 and 384,226.
  EXPECT_NEAR(f.vp / 1e12, 777.21, 0.5);
  EXPECT_NEAR(f.va / 1e12, 384.226, 0.5);
  EXPECT_EQ(P.v0, 1e12 * 546.467);
  EXPECT_EQ(P.VX(1), 0.338 * kLaserLightSpeed);
}

TEST(LaserFrequencies, ProductIsTheTransitionFrequencySquared) {
  SharedPool P = Started();
  for (double beta : {0.0, 0.03, 0.064, 0.338, 0.5, 0.9, 0.999, -0.4}) {
    const LaserPair f = LaserFrequencies(P, 546.467, beta);
    EXPECT_NEAR(f.vp * f.va / (546.467e12 * 546.467e12), 1, 1e-12) << beta;
    // The ratio is the relativistic Doppler factor (1 + β)/(1 − β).
    EXPECT_NEAR(f.vp / f.va, (1 + beta) / (1 - beta), 1e-12 * (1 + beta) / (1 - beta)) << beta;
  }
  const LaserPair still = LaserFrequencies(P, 546.467, 0);
  EXPECT_EQ(still.vp, 546.467e12);
  EXPECT_EQ(still.va, 546.467e12);
}

TEST(LaserFrequencies, BeamsAtOrAboveTheLightSpeedFault) {
  SharedPool P = Started();
  for (double beta : {1.0, -1.0, 1.5, 1e300}) {
    EXPECT_THROW(LaserFrequencies(P, 546.467, beta), ComputeFault) << beta;
  }
  EXPECT_THROW(LaserFrequencies(P, 1e308, 0.3), ComputeFault);
}

TEST(MeasuredLasers, OnlyTheThreeExactSpeeds) {
  // Typed in THz, turned into Hz.
  ASSERT_TRUE(MeasuredLasers(0.338));
  EXPECT_EQ(MeasuredLasers(0.338)->vp, 777.21 * 1e12);
  EXPECT_EQ(MeasuredLasers(0.338)->va, 384.226 * 1e12);
  EXPECT_EQ(MeasuredLasers(0.064)->vp, 582.49 * 1e12);
  EXPECT_EQ(MeasuredLasers(0.064)->va, 512.671 * 1e12);
  EXPECT_EQ(MeasuredLasers(0.03)->vp, 563.209 * 1e12);
  EXPECT_EQ(MeasuredLasers(0.03)->va, 530.222 * 1e12);
  EXPECT_FALSE(MeasuredLasers(0.3380001));
  EXPECT_FALSE(MeasuredLasers(0.3));
  EXPECT_FALSE(MeasuredLasers(0));
}

BeamSearch Search(double v0, double vp, double va) {
  BeamSearch in;
  in.v0THz = v0;
  in.vpTHz = vp;
  in.vaTHz = va;
  return in;
}

// A search in a pool of its own, onto a picture of its own.
struct BeamSpeedSearch : ::testing::Test {
  SharedPool P = Started();
  FakePictureHost host;
};

TEST_F(BeamSpeedSearch, CrossingJustAfterEqualFrequencies) {
  P.StopFlag = 0;
  // (1 − b)·3 = (1 + b)·1 at b = 0,5 exactly; "below" first holds at k = 10001.
  const BeamSearchResult r = SearchBeamSpeed(P, host, Search(1, 3, 1));
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.k, 10001);
  EXPECT_EQ(P.StopFlag, 1);
  EXPECT_EQ(P.GraphScale, 0.25);
  EXPECT_EQ(P.v0, 1e12);
  EXPECT_EQ(P.VX(1), 19999 * P.LightSpeed / 20000);
  EXPECT_NEAR(r.v0p, 0.49995 * 3e12, 1e3);
  EXPECT_NEAR(r.v0a, 1.50005 * 1e12, 1e3);

  EXPECT_EQ(host.calls, (std::vector<std::string>{"picture", "resize-after-cls", "place"}));
  EXPECT_DOUBLE_EQ(host.width, 523.11);
  EXPECT_DOUBLE_EQ(host.height, 398.56);
  const RecordingCanvas& c = host.canvas;
  EXPECT_EQ(Edges(c), (Values{-1, 15, 20, -1}));

  // 8 + 11 grid lines, then the crossing marked from 17 down to 0.
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 20u);
  const CanvasOp& mark = lines.back();
  EXPECT_DOUBLE_EQ(mark.a, 10.001);
  EXPECT_EQ(mark.b, 17);
  EXPECT_DOUBLE_EQ(mark.c, 10.001);
  EXPECT_EQ(mark.d, 0);
  EXPECT_EQ(mark.colour, kColour1);

  // Both effective frequencies at every speed: fp/v0/s = 12(1 − b) in blue,
  // fa/v0/s = 4(1 + b) in green.
  const auto pts = c.OpsOf(Kind::Point);
  ASSERT_EQ(pts.size(), 2u * 19999u);
  EXPECT_NEAR(pts[0].a, 0.001, 1e-15);
  EXPECT_NEAR(pts[0].b, 12 * (1 - 0.00005), 1e-12);
  EXPECT_EQ(pts[0].colour, RGB(0, 0, 255));
  EXPECT_NEAR(pts[1].b, 4 * (1 + 0.00005), 1e-12);
  EXPECT_EQ(pts[1].colour, RGB(0, 255, 0));

  const auto texts = c.Texts();
  // Grid numbers j·s and i/20.
  EXPECT_EQ(At(texts, {0, 1, 7, 9, 18}), (Texts{"0", "0,5", "3,5", "0,1", "1"}));
  EXPECT_EQ(texts[19], "V/Vsv=  0,50005");
  EXPECT_EQ(texts[20], "одночастотная Л или V схема (требуемые значения)");
  EXPECT_EQ(texts[22], "vp=  3");
  EXPECT_EQ(texts[23], "va = 1");
  EXPECT_EQ(texts[26], "двухчастотная каскадная или двухфотонная схема (возможная частота)");
  EXPECT_EQ(texts.size(), 28u);
}

TEST_F(BeamSpeedSearch, RelativisticPairCrossesAtItsOwnBeamSpeed) {
  // The classical crossing b = (vp − va)/(vp + va) is β itself.
  for (double beta : {0.03, 0.064, 0.338, 0.7}) {
    SharedPool pool = Started();
    const LaserPair f = LaserFrequencies(pool, 546.467, beta);
    FakePictureHost picture;
    const BeamSearchResult r =
        SearchBeamSpeed(pool, picture, Search(546.467, f.vp / 1e12, f.va / 1e12));
    ASSERT_TRUE(r.found);
    EXPECT_NEAR(r.k / 20000.0, beta, 1.5 / 20000) << beta;
    // Both matched frequencies are the same there.
    EXPECT_NEAR(r.v0p / r.v0a, 1, 2e-4) << beta;
  }
}

TEST_F(BeamSpeedSearch, PointsAtOrAboveLevelTwentyAreNotDrawn) {
  // fp/v0/s = 40(1 − b) is below 20 only for b > 0,5 (k > 10000).
  SearchBeamSpeed(P, host, Search(1, 10, 1));
  const auto pts = host.canvas.OpsOf(Kind::Point);
  const auto blue = std::count_if(pts.begin(), pts.end(),
                                  [](const CanvasOp& p) { return p.colour == RGB(0, 0, 255); });
  EXPECT_EQ(blue, 9999);
  EXPECT_EQ(pts.size(), 9999u + 19999u);
  for (const auto& p : pts) EXPECT_LT(p.b, 20);
}

TEST_F(BeamSpeedSearch, MeasuredPairReplacesTheTypedOne) {
  BeamSearch in = Search(546.467, 1, 1);
  in.measured = true;
  in.beta = 0.064;
  SearchBeamSpeed(P, host, in);
  const auto texts = host.canvas.Texts();
  EXPECT_EQ(texts[22], "vp=  582,49");
  EXPECT_EQ(texts[23], "va = 512,671");
  // A speed not in the table keeps the typed pair.
  FakePictureHost other;
  in.beta = 0.065;
  SearchBeamSpeed(P, other, in);
  EXPECT_EQ(other.canvas.Texts()[22], "vp=  1");
}

TEST_F(BeamSpeedSearch, NoCrossingPrintsNoStaleFrequencies) {
  P.StopFlag = 1;
  // (1 − b)/(1 + b) never drops below 1/10^6 within the sweep.
  const BeamSearchResult r = SearchBeamSpeed(P, host, Search(1, 1e6, 1));
  EXPECT_FALSE(r.found);
  EXPECT_EQ(P.StopFlag, 0);
  const auto texts = host.canvas.Texts();
  ASSERT_EQ(texts.size(), 19u + 5u);
  EXPECT_EQ(texts[19], "одночастотная Л или V схема (требуемые значения)");
  EXPECT_EQ(texts[21], "vp=  1000000");
  EXPECT_EQ(texts.back(), "эффективные частоты не совпали ни при одной скорости пучка");
  for (const auto& t : texts) {
    EXPECT_EQ(t.find("v0p"), std::string::npos);
    EXPECT_EQ(t.find("V/Vsv"), std::string::npos);
  }
  EXPECT_EQ(host.canvas.Count(Kind::Line), 19u);
}

TEST_F(BeamSpeedSearch, FaultsKeepWhatWasThere) {
  P.StopFlag = 7;
  P.GraphScale = 0.5;
  P.v0 = 0.2;
  host.canvas.Line(0, 0, 1, 1, kColour1);
  // Overflow on the way to Hz: nothing is touched.
  EXPECT_THROW(SearchBeamSpeed(P, host, Search(546.467, 1e308, 1)), ComputeFault);
  EXPECT_EQ(P.StopFlag, 7);
  EXPECT_EQ(P.GraphScale, 0.5);
  EXPECT_EQ(P.v0, 0.2);
  EXPECT_EQ(host.canvas.Count(Kind::Line), 1u);
  // A zero transition or counter-beam frequency divides by zero in the sweep,
  // after the grid is drawn.
  EXPECT_THROW(SearchBeamSpeed(P, host, Search(0, 776, 384)), ComputeFault);
  EXPECT_EQ(host.canvas.Count(Kind::Line), 19u);
  EXPECT_THROW(SearchBeamSpeed(P, host, Search(546.467, 776, 0)), ComputeFault);
  // A zero frequency along the beam crosses at once, but has no wavelength.
  FakePictureHost zero;
  EXPECT_THROW(SearchBeamSpeed(P, zero, Search(546.467, 0, 384)), ComputeFault);
  EXPECT_EQ(zero.canvas.Texts().back(), "va = 384");
}

}  // namespace
}  // namespace velmor
