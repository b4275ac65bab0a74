// SPDX-License-Identifier: GPL-3.0-or-later
// Thin lines drawn straight into the picture, level and upright ones as runs,
// and many segments laid down together, must leave the pixels the pen
// leaves point by point (as it does while a repeated drawing is being kept).
#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "shared/canvas.h"
#include "shared/faults.h"
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
    Segment s{at() - 20, at() - 40, at() - 20, at() - 40,
              RGB(i / 3 % 251, i / 3 % 241, i / 3 % 239)};
    if (i % 4 == 1) s.y2 = s.y1;
    if (i % 4 == 2) s.x2 = s.x1;
    if (i % 16 == 3) s = {s.x1, s.y1, s.x1, s.y1, s.colour};
    all.push_back(s);
  }
  return all;
}

void ExpectSamePixels(const QImage& a, const QImage& b) {
  ASSERT_EQ(a.size(), b.size());
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << x << " " << y;
  }
}

// A white 100 × 60 picture, a pixel a unit.
std::unique_ptr<PictureBox> Blank(bool keepLayers) {
  auto picture = std::make_unique<PictureBox>(nullptr, "Picture1", 1500, 900);
  picture->SetScale(0, 0, 100, 60);
  picture->Cls();
  picture->SetLayerCaching(keepLayers);
  return picture;
}

enum class Way { Lines, Kept, Together };

QImage Drawn(Way way) {
  auto box = Blank(true);
  PictureBox& picture = *box;
  const auto draw = [](Canvas& c) {
    for (const Segment& s : Segments()) c.Line(s.x1, s.y1, s.x2, s.y2, s.colour);
  };
  if (way == Way::Kept) {
    picture.Repeated(1, 1, draw);
  } else if (way == Way::Lines) {
    draw(picture);
  } else {
    // Together, a colour at a time.
    const auto all = Segments();
    for (std::size_t from = 0; from < all.size(); from += 3) {
      std::vector<double> xy;
      for (std::size_t k = from; k < from + 3; ++k) {
        xy.insert(xy.end(), {all[k].x1, all[k].y1, all[k].x2, all[k].y2});
      }
      picture.Segments(xy.data(), 3, all[from].colour);
    }
  }
  EXPECT_EQ(picture.Counts().lines, 3000);
  EXPECT_EQ(picture.CurrentX(), Segments().back().x2);
  return picture.Image();
}

TEST(PictureLines, StraightIntoTheImageAsThePenPointByPoint) {
  const QImage lines = Drawn(Way::Lines);
  ASSERT_EQ(lines.size(), QSize(100, 60));
  for (const Way way : {Way::Kept, Way::Together}) {
    ExpectSamePixels(lines, Drawn(way));
  }
}

// Circles straight into the image pass over the parts of them known to lie
// off it; those drawn while kept are traced whole, a pixel at a time. Each
// circle alone, centred where its widest or its slanting parts just reach
// into the picture across an edge or a corner. Both must be the midpoint
// circle as the textbook traces it, whatever circles came before.
QImage Midpoint(int cx, int cy, int r) {
  QImage image(100, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  const auto put = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < 100 && y < 60) image.setPixel(x, y, 0xFF000000u);
  };
  int x = r, y = 0, err = 1 - r;
  while (x >= y) {
    for (const int sx : {-1, 1}) {
      for (const int sy : {-1, 1}) {
        put(cx + sx * x, cy + sy * y);
        put(cx + sx * y, cy + sy * x);
      }
    }
    ++y;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
  return image;
}

TEST(PictureLines, CirclesPartlyOffThePictureAsThePenPointByPoint) {
  auto straight = Blank(true), kept = Blank(true);
  std::uint64_t key = 1;
  for (const int r : {1, 2, 3, 12, 44, 45, 160, 1100}) {
    const int slant = r * 7071 / 10000;
    std::vector<int> xs, ys;
    for (const int d : {-1, 0, 1}) {
      for (const int edge : {-r, -slant, slant, 99 - slant, 99 + slant, 99 + r}) {
        xs.push_back(edge + d);
      }
      for (const int edge : {-r, -slant, slant, 59 - slant, 59 + slant, 59 + r}) {
        ys.push_back(edge + d);
      }
    }
    // Off the picture by less than the radius: a slanting part reaches the
    // far edge while the others are outside.
    xs.insert(xs.end(), {10, 50, 89});
    ys.insert(ys.end(), {-r * 5 / 8, 10, 30, 49, 59 + r * 5 / 8});
    for (const int x : xs) {
      for (const int y : ys) {
        const auto draw = [&](Canvas& c) { c.Circle(x, y, r, RGB(0, 0, 0)); };
        straight->Cls();
        draw(*straight);
        kept->Cls();
        kept->Repeated(key++, 1, draw);
        ASSERT_EQ(straight->Image(), kept->Image()) << x << " " << y << " " << r;
        ASSERT_EQ(straight->Image(), Midpoint(x, y, r)) << x << " " << y << " " << r;
      }
    }
  }
}

// A kept drawing laid down again must cover what thin lines, drawn straight
// into the image, left over it since: the picture has to know which parts
// they touched.
QImage KeptOverThinLines(bool keep) {
  auto box = Blank(keep);
  PictureBox& picture = *box;
  const auto grid = [](Canvas& c) {
    for (int y = 0; y < 60; y += 3) c.Line(0, y, 99, y, RGB(200, 200, 200));
    for (int x = 0; x < 100; x += 7) c.Line(x, 0, x, 59, RGB(0, 0, 200));
  };
  const auto all = Segments();
  for (int refresh = 0; refresh < 3; ++refresh) {
    picture.Repeated(1, 1, grid);
    for (std::size_t k = refresh; k < all.size(); k += 50) {
      const Segment& s = all[k];
      picture.Line(s.x1, s.y1, s.x2, s.y2, s.colour);
    }
    const double xy[] = {all[refresh].x1, all[refresh].y1, all[refresh].x2, all[refresh].y2};
    picture.Segments(xy, 1, all[refresh].colour);
  }
  return picture.Image();
}

// Paths drawn again at every refresh from their start to where a body is
// now, growing, shrinking and turning, in colours of their own, while a
// kept drawing waits to be laid down: a line put off is skipped only when a
// later one writes all its pixels again.
QImage GrowingPaths(bool keep, bool offPicture) {
  auto box = Blank(keep);
  PictureBox& picture = *box;
  const auto grid = [](Canvas& c) {
    for (int y = 0; y < 60; y += 4) c.Line(0, y, 99, y, RGB(200, 200, 200));
  };
  for (int refresh = 0; refresh < 40; ++refresh) {
    picture.Repeated(1, 1, grid);
    const double reach = refresh < 25 ? refresh * 3.3 : (40 - refresh) * 4.1;
    const Rgb colour = RGB(refresh * 6, 0, 255 - refresh * 6);
    if (!offPicture) {
      picture.Line(2.4, 10, 2.4 + reach, 10, colour);
      picture.Line(95.6, 12, 95.6 - reach, 12, colour);
      picture.Line(30, 1.5, 30, 1.5 + reach * 0.6, colour);
      picture.Line(5, 50, 5 + reach, 50 - reach * 0.2, colour);
    } else {
      // Paths from a start off the picture: their pixels are those of the
      // part left by clipping.
      picture.Line(-38.4, 20, -38.4 + reach * 1.7, 20, colour);
      picture.Line(70, 75.2, 70, 75.2 - reach, colour);
      picture.Line(-1.6, 58.9, -1.6 - reach, 58.9, colour);
      // Far ends that round alike, clipped to different pixels.
      picture.Line(refresh % 2 ? -49.6 : -50.4, -20, 149, 79, colour);
    }
    picture.Circle(50, 30, reach / 4, RGB(250, 250, 250));
  }
  return picture.Image();
}

TEST(PictureLines, ALineSkippedOnlyWhenALaterOneCoversIt) {
  ExpectSamePixels(GrowingPaths(false, false), GrowingPaths(true, false));
  ExpectSamePixels(GrowingPaths(false, true), GrowingPaths(true, true));
}

// Kept drawings drawn within a kept drawing, some within one another,
// overlapping: laid down again over what later drawing changed, each must
// land in the order it was drawn, as drawing everything anew would.
QImage NestedKept(bool keep) {
  auto box = Blank(keep);
  PictureBox& picture = *box;
  const auto mark = [](Canvas& c, int k) {
    c.Circle(20 + 9 * k, 30, 8, RGB(0, 40 * k, 0));
    c.Line(10 + 9 * k, 20, 30 + 9 * k, 40, RGB(40 * k, 0, 90));
    c.PrintAt(12 + 9 * k, 44, "k" + std::to_string(k));
    // One within one within the outer drawing.
    if (k % 2 == 1) {
      c.Repeated(40 + static_cast<std::uint64_t>(k), 1,
                 [&](Canvas& d) { d.Line(9 * k, 0, 9 * k, 59, RGB(0, 0, 30 * k)); });
    }
  };
  const auto kept = [&](Canvas& c, int k) {
    c.Repeated(20 + static_cast<std::uint64_t>(k), 1, [&](Canvas& d) { mark(d, k); });
  };
  for (int refresh = 0; refresh < 30; ++refresh) {
    const int marks = refresh / 5;
    picture.Repeated(10, static_cast<std::uint64_t>(marks), [&](Canvas& c) {
      c.Line(0, 30, 99, 30, RGB(200, 0, 0));
      for (int k = 0; k <= marks; ++k) kept(c, k);
      c.Line(0, 33, 99, 27, RGB(0, 200, 200));
    });
    // One of them also by itself, over the outer one.
    kept(picture, 1);
    picture.Circle(50, 30, refresh * 1.7, RGB(250, 250, 250));
    picture.Line(refresh * 3, 0, 99 - refresh * 3, 59, RGB(90, 90, 0));
  }
  return picture.Image();
}

TEST(PictureLines, KeptDrawingsWithinKeptDrawingsLandInTheirOrder) {
  ExpectSamePixels(NestedKept(false), NestedKept(true));
}

TEST(PictureLines, AKeptDrawingCoversTheThinLinesDrawnOverIt) {
  ExpectSamePixels(KeptOverThinLines(false), KeptOverThinLines(true));
}

TEST(PictureLines, SegmentsBeyondTheNumbersFaultAfterTheOnesBefore) {
  PictureBox picture(nullptr, "Picture1", 1500, 900);
  picture.SetScale(0, 0, 10, 6);  // ten pixels a unit
  const double xy[] = {1, 2, 3, 4, 5, 6, 7, 8, 1e308, 1, 2, 3, 9, 9, 9, 9};
  EXPECT_THROW(picture.Segments(xy, 4, RGB(0, 0, 0)), ComputeFault);
  EXPECT_EQ(picture.Counts().lines, 2);
  EXPECT_EQ(picture.CurrentX(), 7);
  EXPECT_EQ(picture.CurrentY(), 8);
  // Far but finite: clipped like any line, not rounded to a pixel first.
  const double far[] = {1e300, 1, 2, 3, -1e300, -1e300, 1e300, 1e300};
  picture.Segments(far, 2, RGB(0, 0, 0));
  EXPECT_EQ(picture.Counts().lines, 4);
}

// Points together land as one by one: straight into the image, while kept,
// behind a kept drawing waiting to be laid down, and off every edge; a point
// beyond the numbers faults after the ones before it.
TEST(PictureLines, PointsTogetherAsOneByOne) {
  std::mt19937 random(3);
  std::vector<double> xy;
  for (int k = 0; k < 4000; ++k) xy.push_back((static_cast<int>(random() % 2100) - 500) / 10.0);
  // And a trace: many points to a pixel, a run of them often sharing its
  // column or its row with the pixel before.
  for (int k = 0; k < 3000; ++k) xy.insert(xy.end(), {k / 40.0, 30 + 20 * std::sin(k / 300.0)});
  const std::size_t n = xy.size() / 2;
  const auto background = [](Canvas& c) { c.Line(0, 30, 99, 30, RGB(0, 0, 200)); };
  for (int way = 0; way < 3; ++way) {
    auto one = Blank(true), together = Blank(true);
    const auto draw = [&](PictureBox& picture, bool atOnce) {
      picture.Repeated(1, 1, background);
      picture.Repeated(2, 1, background);  // waits to be laid down
      const auto points = [&](Canvas& c) {
        if (atOnce) {
          c.Points(xy.data(), n, RGB(0, 150, 0));
        } else {
          for (std::size_t k = 0; k < n; ++k) c.PSet(xy[2 * k], xy[2 * k + 1], RGB(0, 150, 0));
        }
      };
      if (way == 0) picture.Cls();
      if (way == 1) {
        picture.Repeated(3, 1, points);
      } else {
        points(picture);
      }
    };
    draw(*one, false);
    draw(*together, true);
    ExpectSamePixels(one->Image(), together->Image());
    EXPECT_EQ(one->Counts().points, together->Counts().points);
    EXPECT_EQ(together->CurrentX(), xy[2 * n - 2]);
  }
  auto picture = Blank(true);
  const double inf = std::numeric_limits<double>::infinity();
  const double far[] = {1, 2, 3, 4, inf, 1, 5, 5};
  EXPECT_THROW(picture->Points(far, 4, RGB(0, 0, 0)), ComputeFault);
  EXPECT_EQ(picture->Counts().points, 2);
  EXPECT_EQ(picture->CurrentX(), 3);
  EXPECT_EQ(picture->Image().pixel(3, 4), 0xFF000000u);
}

// A kept drawing repeated after the picture was cleared comes back whole,
// wherever it was, as drawing it anew would bring it.
TEST(PictureLines, AKeptDrawingRepeatedAfterAClearComesBackWhole) {
  const auto grid = [](Canvas& c) {
    for (int y = 0; y < 60; y += 3) c.Line(0, y, 99, y, RGB(200, 200, 200));
    c.PrintAt(10, 20, "k1");
  };
  QImage images[2];
  for (const bool keep : {false, true}) {
    auto picture = Blank(keep);
    picture->Repeated(1, 1, grid);
    picture->Line(0, 0, 99, 59, RGB(0, 0, 0));
    picture->Cls();
    picture->Repeated(1, 1, grid);
    images[keep] = picture->Image();
  }
  ExpectSamePixels(images[false], images[true]);
}

// Clearing makes white again only what was drawn on since the picture was
// last white: every way of drawing, straight or kept, a resize that keeps
// the old pixels, and a clear within a kept drawing must all leave their
// marks for it. Each is drawn alone, so no other drawing marks its place.
TEST(PictureLines, ClearingLeavesNothingOfAnyDrawing) {
  auto box = Blank(true);
  PictureBox& picture = *box;
  const auto white = [&] {
    const QImage image = picture.Image();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != 0xFFFFFFFFu) return false;
      }
    }
    return true;
  };
  // Across tiles, and a step within one.
  const double xy[] = {70, 5, 90, 25, 33, 33, 34, 35};
  const std::vector<std::function<void(Canvas&)>> drawings = {
      [](Canvas& c) { c.Line(3, 40, 60, 40, RGB(1, 0, 0)); },
      [](Canvas& c) { c.Line(40, 3, 40, 50, RGB(2, 0, 0)); },
      [](Canvas& c) { c.Line(5, 5, 95, 33, RGB(3, 0, 0)); },
      [](Canvas& c) { c.Circle(50, 30, 20, RGB(4, 0, 0)); },
      [](Canvas& c) { c.PSet(99, 59, RGB(5, 0, 0)); },
      [](Canvas& c) { c.PrintAt(60, 45, "Tn2(1)= 0"); },
      [&](Canvas& c) { c.Segments(xy, 2, RGB(6, 0, 0)); },
      [](Canvas& c) {
        c.SetLineWidth(3);
        c.Line(0, 59, 99, 0, RGB(7, 0, 0));
        c.SetLineWidth(1);
      },
  };
  std::uint64_t key = 1;
  for (std::size_t i = 0; i < drawings.size(); ++i) {
    drawings[i](picture);
    picture.Cls();
    EXPECT_TRUE(white()) << "drawing " << i;
    for (int round = 0; round < 2; ++round) {
      picture.Repeated(key, 1, drawings[i]);
      picture.Cls();
      EXPECT_TRUE(white()) << "kept drawing " << i << " laid down " << round;
    }
    ++key;
  }
  picture.Repeated(key, 1, [&](Canvas& c) {
    drawings[0](c);
    c.Cls();
    drawings[3](c);
  });
  picture.Cls();
  EXPECT_TRUE(white());
  drawings[2](picture);
  picture.SetSizeTwips(3000, 1800);
  picture.Cls();
  EXPECT_TRUE(white());
}

// Text waits for a look at its rows. Printing lines of text over band
// edges, off the edges of the picture, again on the same place (in the same
// and in another colour), with looks at a few rows now and then, must show
// at every look and leave at the end what printing them at once shows.
TEST(PictureLines, TextWaitingForALookLandsAsPrintedAtOnce) {
  const auto tall = [] {
    auto picture = std::make_unique<PictureBox>(nullptr, "Picture1", 1500, 4500);
    picture->SetScale(0, 0, 100, 300);
    picture->Cls();
    return picture;
  };
  auto waiting = tall();
  auto looked = tall();
  const std::vector<std::string> texts = {"Tn2(1)= 0", "Xk1(12)= -3,5", "WWW", "iii", "№ 7"};
  const std::vector<Rgb> colours = {RGB(0, 0, 0), RGB(200, 0, 0), RGB(0, 0, 255)};
  std::mt19937 random(5);
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  for (int i = 0; i < 3000; ++i) {
    // Places on a coarse grid, so the same text comes again on the same place.
    const double x = pick(8) * 9 - 12, y = pick(40) * 8 - 14;
    const std::string& text = texts[static_cast<std::size_t>(pick(5))];
    const Rgb colour = colours[static_cast<std::size_t>(pick(3))];
    const auto print = [&](Canvas& c) {
      c.SetForeColor(colour);
      c.PrintAt(x, y, text + (i % 7 == 0 ? "\n" + text : ""));
    };
    print(*waiting);
    // While kept, a drawing goes into the picture a pixel at a time.
    looked->Repeated(static_cast<std::uint64_t>(i) + 1, 1, print);
    const QImage now = looked->Image();
    if (i % 13 == 0) {
      const QRect rows = QRect(0, pick(300) - 20, 100, pick(90) + 1).intersected(now.rect());
      QImage shown(now.size(), QImage::Format_RGB32);
      shown.fill(Qt::green);
      waiting->render(&shown, rows.topLeft(), QRegion(rows));
      ExpectSamePixels(shown.copy(rows), now.copy(rows));
    }
    if (i == 1500) {
      for (PictureBox* picture : {waiting.get(), looked.get()}) picture->Cls();
    }
  }
  ExpectSamePixels(waiting->Image(), looked->Image());
}

// A line's pixels are put together once for every picture. Text put off
// behind a kept drawing keeps its own, however many other lines other
// pictures print meanwhile.
TEST(PictureLines, TextPutOffKeepsItsPixelsWhateverOtherPicturesPrint) {
  auto waiting = Blank(true), drawn = Blank(true), other = Blank(true);
  const auto layer = [](Canvas& c) { c.Line(0, 30, 99, 30, RGB(0, 0, 255)); };
  const std::string line = "Xn2(7)= 12,3 период";
  for (PictureBox* picture : {waiting.get(), drawn.get(), other.get()}) {
    // Laid down again, the kept drawing waits, and so does all after it.
    picture->Repeated(1, 1, layer);
    picture->Repeated(1, 1, layer);
  }
  waiting->PrintAt(5, 20, line);
  drawn->PrintAt(5, 20, line);
  const QImage expected = drawn->Image();
  for (int i = 0; i < 9000; ++i) {
    other->Repeated(1, 1, layer);
    other->PrintAt(0, 10, line + " " + std::to_string(i));
  }
  ExpectSamePixels(expected, waiting->Image());
  EXPECT_NE(expected, Blank(true)->Image());
}

// A report page is tall enough to hold its pixels flipped (white as zero):
// everything that looks at it (a copy, a paint, a resize, a clear) must see
// what a picture a little smaller, held as it is, shows.
TEST(PictureLines, ATallPageShowsWhatASmallerPictureShows) {
  const auto page = [](int rows) {
    auto p = std::make_unique<PictureBox>(nullptr, "picMain", 1500, rows * 15);
    p->SetScale(0, 0, 100, rows);
    return p;
  };
  auto held = page(41000);  // just below the size flipped
  auto flipped = page(45000);
  const auto draw = [](Canvas& c) {
    c.Cls();
    for (const Segment& s : Segments()) c.Line(s.x1, s.y1, s.x2, s.y2, s.colour);
    c.Circle(50, 30, 20, RGB(250, 250, 250));
    c.Repeated(7, 1, [](Canvas& k) { k.Circle(40, 20, 12, RGB(0, 0, 255)); });
    c.SetForeColor(RGB(255, 0, 0));
    c.SetCurrent(5, 5);
    c.Print("Xn2(1)= 12,5");
  };
  draw(*held);
  draw(*flipped);
  const QRect top(0, 0, 100, 120);
  const QImage expected = held->Image().copy(top);
  const QImage whole = flipped->Image();
  ExpectSamePixels(expected, whole.copy(top));
  EXPECT_EQ(whole.pixel(50, 44000), 0xFFFFFFFFu);
  ExpectSamePixels(expected, flipped->grab(top).toImage().convertToFormat(expected.format()));
  // Cleared, drawn on again, and made small: what it holds stays put.
  for (PictureBox* p : {held.get(), flipped.get()}) {
    p->Cls();
    p->Circle(10, 10, 5, RGB(0, 128, 0));
    p->SetSizeTwips(1500, 900);
  }
  ExpectSamePixels(held->Image(), flipped->Image());
}

// A scale set again as it stands changes nothing, but a new size under the
// same numbers is a new scale: a point in the middle lands in the middle.
TEST(PictureLines, ANewSizeRescalesWhateverScaleThereWas) {
  auto picture = Blank(true);
  picture->SetScale(0, 0, 3000, 1800);
  picture->setTwips(QSize(3000, 1800));
  picture->SetScale(0, 0, 3000, 1800);
  picture->PSet(1500, 900, RGB(0, 0, 0));
  const QImage image = picture->Image();
  ASSERT_EQ(image.size(), QSize(200, 120));
  EXPECT_EQ(image.pixel(100, 60), 0xFF000000u);
}

}  // namespace
}  // namespace velmor::ui
