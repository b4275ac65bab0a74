// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/frame_scheme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "shared/recording_canvas.h"
#include "support/recorded.h"

namespace velmor {
namespace {

using testing::Edges;
using testing::Values;

TEST(FrameScheme, ShowsEveryNameOfTheNotation) {
  RecordingCanvas c;
  DrawFrameScheme(c);
  const auto texts = c.Texts();
  for (const char* name :
       {"Xaso",  "Yaso",   "Xiso",   "Yiso",  "Xiso1",  "Yiso1",  "Xiso2", "Yiso2",
        "V1iso", "VX1iso", "VY1iso", "V2iso", "VX2iso", "VY2iso", "Vs",    "Q1",
        "Q2",    "X1iso",  "Y1iso",  "X2iso", "Y2iso",  "VXiso",  "АСО",   "ИСО"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), name), texts.end()) << name;
  }
}

TEST(FrameScheme, StaysInsideItsPicture) {
  RecordingCanvas c;
  DrawFrameScheme(c);
  EXPECT_EQ(Edges(c), (Values{0, kSchemeHeight, kSchemeWidth, 0}));
  const auto inside = [](double x, double y) {
    return x >= 0 && x <= kSchemeWidth && y >= 0 && y <= kSchemeHeight;
  };
  for (const CanvasOp& op : c.Ops()) {
    if (op.kind == CanvasOp::Kind::Line) {
      EXPECT_TRUE(inside(op.a, op.b) && inside(op.c, op.d)) << op.a << " " << op.b;
    } else if (op.kind == CanvasOp::Kind::Circle || op.kind == CanvasOp::Kind::Text) {
      EXPECT_TRUE(inside(op.a, op.b)) << op.text;
    }
  }
  // The two bodies, each drawn as a ring.
  EXPECT_EQ(c.Count(CanvasOp::Kind::Circle), 4u);
}

}  // namespace
}  // namespace velmor
