// SPDX-License-Identifier: GPL-3.0-or-later
// Thin lines drawn straight into the picture, level and upright ones as runs,
// must leave the pixels the pen leaves point by point (as it does while a
// repeated drawing is being kept).
#include <gtest/gtest.h>

#include <QImage>
#include <random>
#include <vector>

#include "shared/canvas.h"
#include "ui/picture_box.h"

namespace velmor::ui {
namespace {

struct Segment {
  double x1, y1, x2, y2;
  Rgb colour;
};

// Endpoints on and off a 100 × 60 picture, on pixel centres and halfway
// between them, level, upright, single points and slanted.
std::vector<Segment> Segments() {
  std::mt19937 random(17);
  std::uniform_int_distribution<int> half(-60, 260);
  auto at = [&] { return half(random) / 2.0; };
  std::vector<Segment> all;
  for (int i = 0; i < 3000; ++i) {
    Segment s{at() - 20, at() - 40, at() - 20, at() - 40, RGB(i % 251, i % 241, i % 239)};
    if (i % 4 == 1) s.y2 = s.y1;
    if (i % 4 == 2) s.x2 = s.x1;
    if (i % 16 == 3) s = {s.x1, s.y1, s.x1, s.y1, s.colour};
    all.push_back(s);
  }
  return all;
}

QImage Drawn(bool kept) {
  PictureBox picture(nullptr, "Picture1", 1500, 900);
  picture.SetScale(0, 0, 100, 60);
  picture.Cls();
  picture.SetLayerCaching(true);
  const auto draw = [](Canvas& c) {
    for (const Segment& s : Segments()) c.Line(s.x1, s.y1, s.x2, s.y2, s.colour);
  };
  if (kept) {
    picture.Repeated(1, 1, draw);
  } else {
    draw(picture);
  }
  EXPECT_EQ(picture.Counts().lines, 3000);
  return picture.Image();
}

TEST(PictureLines, StraightIntoTheImageAsThePenPointByPoint) {
  const QImage direct = Drawn(false);
  const QImage kept = Drawn(true);
  ASSERT_EQ(direct.size(), QSize(100, 60));
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(direct.pixel(x, y), kept.pixel(x, y)) << x << " " << y;
  }
}

}  // namespace
}  // namespace velmor::ui
