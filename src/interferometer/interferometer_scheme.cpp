// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_scheme.h"

#include <cmath>

#include "interferometer/interferometer_engine.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"

namespace velmor {

namespace {

constexpr Rgb kGrey = RGB(200, 200, 200);
constexpr Rgb kGreen = RGB(0, 255, 0);

using Segment = SchemeMemory::Segment;

// Model metres to picture units.
struct ToPicture {
  double scale;
  double operator()(double metres) const { return CheckedDiv(metres, scale); }
};

// The element at (px, py) with inclination a: a rectangle of the mirror
// width along the surface and the glass thickness behind it.
void AddRectangle(std::vector<Segment>& out, const ToPicture& pic, double px, double py, double a,
                  double width, double thick) {
  const double ca = std::cos(a), sa = std::sin(a);
  const double hx = Chk(width / 2 * ca), hy = Chk(width / 2 * sa);
  const double ax = Chk(px - hx), ay = Chk(py - hy);
  const double cx = Chk(px + hx), cy = Chk(py + hy);
  const double nx = Chk(thick * -sa), ny = Chk(thick * ca);
  const double bx = Chk(ax + nx), by = Chk(ay + ny);
  const double ex = Chk(cx + nx), ey = Chk(cy + ny);
  out.push_back({pic(ax), pic(ay), pic(cx), pic(cy)});
  out.push_back({pic(cx), pic(cy), pic(ex), pic(ey)});
  out.push_back({pic(ex), pic(ey), pic(bx), pic(by)});
  out.push_back({pic(bx), pic(by), pic(ax), pic(ay)});
}

// The objective: a square of side D from (x, y + D/2) to (x + D, y - D/2).
void AddObjective(std::vector<Segment>& out, const ToPicture& pic, double x, double y, double D) {
  const double l = pic(x), r = pic(Chk(x + D));
  const double t = pic(Chk(y + D / 2)), b = pic(Chk(y - D / 2));
  out.push_back({l, t, r, t});
  out.push_back({r, t, r, b});
  out.push_back({r, b, l, b});
  out.push_back({l, b, l, t});
}

void Redraw(Canvas& picture, SchemeMemory& memory, std::vector<Segment> lines, double cx, double cy,
            double radius) {
  for (const Segment& s : memory.lines) picture.Line(s.x1, s.y1, s.x2, s.y2, kWhite);
  if (memory.circle) picture.Circle(memory.cx, memory.cy, memory.radius, kWhite);
  for (const Segment& s : lines) picture.Line(s.x1, s.y1, s.x2, s.y2, kColour1);
  picture.Circle(cx, cy, radius, kGreen);
  memory.lines = std::move(lines);
  memory.circle = true;
  memory.cx = cx;
  memory.cy = cy;
  memory.radius = radius;
}

}  // namespace

void DrawInterferometerGrid(Canvas& picture) {
  picture.SetScale(-14, 25, 16, -5);
  for (int x = -12; x <= 16; x += 2) {
    picture.Line(x, -5, x, 25, kGrey);
    picture.PrintAt(x - 0.3, -4.3, NumericPrintForm(x));
  }
  for (int y = -4; y <= 24; y += 2) {
    picture.Line(-14, y, 16, y, kGrey);
    picture.PrintAt(-14, y, NumericPrintForm(y));
  }
  picture.Line(-14, 0, 16, 0, kColour1);
  picture.Line(0, -5, 0, 25, kColour1);
}

void DrawBeamsplitterScheme(Canvas& picture, const ElementLayout& e, SchemeMemory& memory) {
  using E = ElementLayout;
  const ToPicture pic{e.scale};
  std::vector<Segment> lines;
  const int slots[4] = {E::kE1, E::kE2, E::kE3, E::kE4};
  for (int i = 0; i < 4; ++i) {
    AddRectangle(lines, pic, e.ex[slots[i]], e.ey[slots[i]], e.alfa[i + 1], e.mirrorWidth,
                 e.thickness);
  }
  AddObjective(lines, pic, e.ex[E::kE6], e.ey[E::kE6], e.D);
  Redraw(picture, memory, std::move(lines), pic(e.ex[E::kE5]), pic(e.ey[E::kE5]), 0.4);
}

void DrawTwoMirrorScheme(Canvas& picture, const ElementLayout& e, SchemeMemory& memory) {
  using E = ElementLayout;
  const ToPicture pic{e.scale};
  std::vector<Segment> lines;
  AddRectangle(lines, pic, e.ex[E::kE1], e.ey[E::kE1], e.alfa[1], e.mirrorWidth, e.thickness);
  AddRectangle(lines, pic, e.ex[E::kE2], e.ey[E::kE2], e.alfa[2], e.mirrorWidth, e.thickness);
  AddObjective(lines, pic, e.ex[E::kE6], e.ey[E::kE6], e.D);
  Redraw(picture, memory, std::move(lines), pic(e.ex[E::kE5]), pic(e.ey[E::kE5]), 0.5);
}

void DrawScheme(Canvas& picture, const ElementLayout& layout, SchemeMemory& memory) {
  if (layout.scheme == 3) {
    DrawTwoMirrorScheme(picture, layout, memory);
  } else {
    DrawBeamsplitterScheme(picture, layout, memory);
  }
}

void DrawLegend(Canvas& picture, const ElementLayout& e) {
  using E = ElementLayout;
  const ToPicture pic{e.scale};
  auto number = [&](const char* text, int slot, double dx, double dy) {
    picture.PrintAt(Chk(pic(e.ex[slot]) + dx), Chk(pic(e.ey[slot]) + dy), text);
  };
  if (e.scheme == 3) {
    picture.PrintAt(-12, 24.9,
                    " 1- левое зеркало   2- правое зеркало                   5- источник света   "
                    "6- объектив трубы ");
    number("1", E::kE1, -1, 0);
    number("2", E::kE2, 0, 0);
    number("5", E::kE5, 0, -1);
    number("6", E::kE6, 0.5, 0);
    return;
  }
  picture.PrintAt(-12, 24.9,
                  " 1- левое зеркало   2- вехнее зеркало  3- полупрозрачное зеркало   4- "
                  "прозрачная пластина ");
  picture.Print("      5- источник света   6- объектив трубы ");
  number("1", E::kE1, -1, 0);
  number("2", E::kE2, 0, 1);
  number("3", E::kE3, 0, 1);
  number("4", E::kE4, 0, 1);
  number("5", E::kE5, 1, 0);
  number("6", E::kE6, 1, 0);
}

void DrawFrontMarkers(Canvas& picture, const InterferometerEngine& e, bool first, bool second) {
  const ToPicture pic{e.scale};
  if (first) picture.Circle(pic(e.beam[0].x), pic(e.beam[0].y), 0.03, RGB(255, 0, 0));
  if (second) picture.Circle(pic(e.beam[1].x), pic(e.beam[1].y), 0.03, RGB(0, 0, 255));
}

void MarkPoint(Canvas& picture, double x, double y) {
  picture.Circle(x, y, 0.2, kColour1);
}

}  // namespace velmor
