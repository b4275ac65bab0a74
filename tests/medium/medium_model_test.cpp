// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_model.h"

#include <gtest/gtest.h>

#include "shared/faults.h"
#include "shared/recording_canvas.h"
#include "support/recorded.h"

namespace velmor {
namespace {

using testing::Coordinates;
using testing::Edges;
using testing::Place;
using testing::Values;

using Kind = CanvasOp::Kind;

TEST(LayerDensity, FourLawsAtTheSourceAtTheReceiverAndOutside) {
  // Np = 100, Kp = 0,5.
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::Linear, 0.5, 100, 1), 1);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::Linear, 0.5, 100, 11), 6);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::Linear, 0.5, 100, -1), 0);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::Square, 0.5, 100, 1), 1);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::Square, 0.5, 100, 5), 9);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::Square, 0.5, 100, -3), 9);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::FromTop, 0.5, 100, 100), 1);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::FromTop, 0.5, 100, 1), 50.5);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::FromTop, 0.5, 100, 120), -9);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::FromTopSquare, 0.5, 100, 100), 1);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::FromTopSquare, 0.5, 100, 98), 3);
  EXPECT_DOUBLE_EQ(LayerDensity(DensityLaw::FromTopSquare, 0.5, 100, 0), 5001);
}

TEST(LayerDensity, OverflowIsAFault) {
  EXPECT_THROW(LayerDensity(DensityLaw::FromTop, 1e308, 100, 1), ComputeFault);
  EXPECT_THROW(LayerDensity(DensityLaw::Square, 1e300, 100, 1e10), ComputeFault);
}

TEST(MediumGrid, ScaleGridLabelsAndAxes) {
  RecordingCanvas c;
  DrawMediumGrid(c);
  EXPECT_EQ(Edges(c), (Values{-3, 14, 38, -4}));
  EXPECT_EQ(c.Count(Kind::Cls), 0u);
  const auto lines = c.OpsOf(Kind::Line);
  // 18 rows (−3 … 14), 41 columns (−2 … 38), two axes.
  ASSERT_EQ(lines.size(), 18u + 41u + 2u);
  EXPECT_EQ(Coordinates(lines[0]), (Values{-3, -3, 38, -3}));
  EXPECT_EQ(Coordinates(lines[18]), (Values{-2, -3, -2, 14}));
  EXPECT_EQ(lines[0].colour, RGB(200, 200, 200));
  EXPECT_EQ(lines[59].colour, kColour1);
  EXPECT_EQ(lines[59].b, 0);
  EXPECT_EQ(lines[60].a, 0);
  const auto texts = c.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 41u + 18u);
  EXPECT_EQ(texts[0].text, "-2");
  EXPECT_EQ(Place(texts[0]), (Values{-2.3, -3.3}));
  EXPECT_EQ(texts[40].text, " 38");
  EXPECT_EQ(texts[41].text, "-3");
  EXPECT_EQ(Place(texts[41]), (Values{-3, -2.5}));
}

// The segments of a density profile drawn on a canvas of their own.
std::vector<CanvasOp> ProfileLines(DensityLaw law, double scale, double receiverY, double sourceY,
                                   double layers, double Kp) {
  RecordingCanvas c;
  DrawDensityProfile(c, law, scale, receiverY, sourceY, layers, Kp);
  return c.OpsOf(Kind::Line);
}

TEST(DensityProfile, UniformMediumIsOneLineAtDensityOne) {
  // Receiver at 50 m, source at 0, scale 5 m per unit.
  const auto lines = ProfileLines(DensityLaw::FromTop, 5, 50, 0, 100, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Coordinates(lines[0]), (Values{1, 0, 1, 10}));
  EXPECT_EQ(lines[0].colour, RGB(0, 0, 250));
}

TEST(DensityProfile, OneSegmentPerLayerOfItsOwnDensity) {
  // P = 1 + 0,5·(4 − N): 2,5  2  1,5  1 over layers of 2,5 m, scale 5.
  const auto lines = ProfileLines(DensityLaw::FromTop, 5, 10, 0, 4, 0.5);
  ASSERT_EQ(lines.size(), 4u);
  const double P[] = {2.5, 2, 1.5, 1};
  for (int k = 0; k < 4; ++k) {
    EXPECT_DOUBLE_EQ(lines[k].a, P[k]);
    EXPECT_DOUBLE_EQ(lines[k].b, k * 0.5);
    EXPECT_DOUBLE_EQ(lines[k].d, (k + 1) * 0.5);
  }
}

TEST(DensityProfile, NegativeKpLeavesThinLayersOut) {
  // P = 1 − 0,1·(N − 1): only layer 1 reaches 1.
  const auto lines = ProfileLines(DensityLaw::Linear, 1, 10, 0, 10, -0.1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Coordinates(lines[0]), (Values{1, 0, 1, 1}));
}

TEST(DensityProfile, ReceiverBelowTheSourceCountsLayersDownward) {
  const auto lines = ProfileLines(DensityLaw::Linear, 1, 0, 10, 2, 1);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Coordinates(lines[0]), (Values{1, 10, 1, 5}));
  EXPECT_EQ(Coordinates(lines[1]), (Values{2, 5, 2, 0}));
}

TEST(DensityProfile, NoLayersDividesByZeroAndZeroScaleFaults) {
  RecordingCanvas c;
  EXPECT_THROW(DrawDensityProfile(c, DensityLaw::FromTop, 5, 50, 0, 0, 0), ComputeFault);
  EXPECT_THROW(DrawDensityProfile(c, DensityLaw::FromTop, 0, 50, 0, 10, 0), ComputeFault);
  EXPECT_EQ(c.Count(Kind::Line), 0u);
  // No layer at all: nothing drawn, no fault.
  DrawDensityProfile(c, DensityLaw::FromTop, 5, 50, 0, -3, 0);
  EXPECT_EQ(c.Count(Kind::Line), 0u);
}

}  // namespace
}  // namespace velmor
