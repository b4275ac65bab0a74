// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/frame_scheme.h"

#include <cmath>

#include "shared/canvas.h"
#include "shared/colours.h"

namespace velmor {

namespace {

constexpr Rgb kAsoAxes = kColour1;
constexpr Rgb kIsoAxes = RGB(0, 0, 200);
constexpr Rgb kBodyAxes = RGB(150, 150, 150);
constexpr Rgb kVelocity = RGB(0, 150, 0);
constexpr Rgb kAngle = RGB(210, 110, 0);
constexpr double kDegree = 3.14159265358979 / 180;

struct Pt {
  double x, y;
};

void Dashed(Canvas& c, Pt a, Pt b, Rgb colour) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const int pieces = static_cast<int>(length / 6);
  for (int i = 0; i + 1 <= pieces; i += 2) {
    const double s = static_cast<double>(i) / pieces;
    const double e = static_cast<double>(i + 1) / pieces;
    c.Line(a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, a.x + (b.x - a.x) * e,
           a.y + (b.y - a.y) * e, colour);
  }
}

void Arrow(Canvas& c, Pt a, Pt b, Rgb colour) {
  c.Line(a.x, a.y, b.x, b.y, colour);
  const double dir = std::atan2(b.y - a.y, b.x - a.x);
  for (double side : {-1.0, 1.0}) {
    const double w = dir + 3.14159265358979 + side * 25 * kDegree;
    c.Line(b.x, b.y, b.x + 10 * std::cos(w), b.y + 10 * std::sin(w), colour);
  }
}

void Label(Canvas& c, Pt at, const char* text, Rgb colour) {
  c.SetForeColor(colour);
  c.PrintAt(at.x, at.y, text);
}

// An arc of radius r round p from one direction to another (degrees).
void Arc(Canvas& c, Pt p, double r, double fromDeg, double toDeg, Rgb colour) {
  const int steps = 12;
  for (int i = 0; i < steps; ++i) {
    const double a = (fromDeg + (toDeg - fromDeg) * i / steps) * kDegree;
    const double b = (fromDeg + (toDeg - fromDeg) * (i + 1) / steps) * kDegree;
    c.Line(p.x + r * std::cos(a), p.y + r * std::sin(a), p.x + r * std::cos(b),
           p.y + r * std::sin(b), colour);
  }
}

struct Body {
  Pt at;
  Pt velocity;  // the tip's offset from the body
  Rgb colour;
  const char* axisX;
  const char* axisY;
  const char* speed;
  const char* speedX;
  const char* speedY;
  const char* mark;  // "1" or "2"
};

void DrawBody(Canvas& c, const Body& b) {
  const Pt p = b.at;
  const bool up = b.velocity.y > 0;
  // The body's own axes, parallel to those of ИСО.
  Dashed(c, p, {p.x + 95, p.y}, kBodyAxes);
  Dashed(c, p, {p.x, p.y + 75}, kBodyAxes);
  Label(c, {p.x + 97, p.y - 3}, b.axisX, kBodyAxes);
  Label(c, {p.x + 3, p.y + 92}, b.axisY, kBodyAxes);
  c.Circle(p.x, p.y, 6, b.colour);
  c.Circle(p.x, p.y, 4, b.colour);
  Label(c, {p.x - 16, p.y - 4}, b.mark, b.colour);
  // Velocity and its components.
  const Pt tip{p.x + b.velocity.x, p.y + b.velocity.y};
  Arrow(c, p, tip, kVelocity);
  Arrow(c, p, {tip.x, p.y}, kVelocity);
  Arrow(c, p, {p.x, tip.y}, kVelocity);
  Dashed(c, tip, {tip.x, p.y}, kVelocity);
  Dashed(c, tip, {p.x, tip.y}, kVelocity);
  Label(c, {tip.x + 4, tip.y + (up ? 12 : 4)}, b.speed, kVelocity);
  Label(c, {tip.x - (up ? 20 : 10), p.y + (up ? -3 : 14)}, b.speedX, kVelocity);
  Label(c, {p.x - 52, tip.y + 6}, b.speedY, kVelocity);
}

}  // namespace

void DrawFrameScheme(Canvas& c) {
  c.SetScale(0, kSchemeHeight, kSchemeWidth, 0);
  c.SetLineWidth(1);

  // АСО.
  const Pt aso{30, 30};
  Arrow(c, aso, {570, aso.y}, kAsoAxes);
  Arrow(c, aso, {aso.x, 365}, kAsoAxes);
  Label(c, {545, aso.y - 4}, "Xaso", kAsoAxes);
  Label(c, {aso.x + 4, 372}, "Yaso", kAsoAxes);
  Label(c, {aso.x - 12, aso.y - 2}, "0", kAsoAxes);
  Label(c, {aso.x + 4, aso.y - 4}, "АСО", kAsoAxes);

  // ИСО, moving along X with VXiso.
  const Pt iso{90, 70};
  Arrow(c, iso, {565, iso.y}, kIsoAxes);
  Arrow(c, iso, {iso.x, 340}, kIsoAxes);
  Label(c, {545, iso.y + 16}, "Xiso", kIsoAxes);
  Label(c, {iso.x + 4, 352}, "Yiso", kIsoAxes);
  Label(c, {iso.x + 4, iso.y - 4}, "ИСО", kIsoAxes);
  Arrow(c, {iso.x + 250, iso.y - 28}, {iso.x + 300, iso.y - 28}, kIsoAxes);
  Label(c, {iso.x + 305, iso.y - 21}, "VXiso", kIsoAxes);

  const Body source{{190, 150}, {80, -40}, kSource,  "Xiso2", "Yiso2",
                    "V2iso",    "VX2iso",  "VY2iso", "2"};
  const Body receiver{{360, 220}, {45, 75}, kReceiver, "Xiso1", "Yiso1",
                      "V1iso",    "VX1iso", "VY1iso",  "1"};

  // Positions read on the ИСО axes.
  for (const Body* b : {&source, &receiver}) {
    Dashed(c, b->at, {b->at.x, iso.y}, kIsoAxes);
    Dashed(c, b->at, {iso.x, b->at.y}, kIsoAxes);
  }
  Label(c, {source.at.x - 14, iso.y - 4}, "X2iso", kIsoAxes);
  Label(c, {receiver.at.x - 14, iso.y - 4}, "X1iso", kIsoAxes);
  Label(c, {iso.x - 44, source.at.y + 6}, "Y2iso", kIsoAxes);
  Label(c, {iso.x - 44, receiver.at.y + 6}, "Y1iso", kIsoAxes);

  DrawBody(c, source);
  DrawBody(c, receiver);

  // The line of sight from the source to the receiver, continued beyond it.
  const double sight = std::atan2(receiver.at.y - source.at.y, receiver.at.x - source.at.x);
  Arrow(c, source.at, receiver.at, kSight);
  Dashed(c, receiver.at,
         {receiver.at.x + 90 * std::cos(sight), receiver.at.y + 90 * std::sin(sight)}, kSight);
  Dashed(c, source.at, {source.at.x + 110 * std::cos(sight), source.at.y + 110 * std::sin(sight)},
         kSight);
  const Pt middle{(source.at.x + receiver.at.x) / 2, (source.at.y + receiver.at.y) / 2};
  Label(c, {middle.x - 26, middle.y + 22}, "Vs", kSight);

  // The angles between each velocity and the line of sight.
  const double sightDeg = sight / kDegree;
  const auto direction = [](const Body& b) {
    return std::atan2(b.velocity.y, b.velocity.x) / kDegree;
  };
  Arc(c, receiver.at, 34, sightDeg, direction(receiver), kAngle);
  Arc(c, source.at, 40, direction(source), sightDeg, kAngle);
  const double q1 = (sightDeg + direction(receiver)) / 2 * kDegree;
  const double q2 = (sightDeg + direction(source)) / 2 * kDegree;
  Label(c, {receiver.at.x + 40 * std::cos(q1), receiver.at.y + 40 * std::sin(q1) + 6}, "Q1",
        kAngle);
  Label(c, {source.at.x + 48 * std::cos(q2), source.at.y + 48 * std::sin(q2) + 6}, "Q2", kAngle);

  // Which body is which.
  Label(c, {160, 372}, "1 - приемник", kReceiver);
  Label(c, {160, 355}, "2 - источник", kSource);
  c.SetForeColor(kColour1);
}

}  // namespace velmor
