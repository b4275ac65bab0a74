// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture area seen from the computing code: immediate-mode drawing in a
// user coordinate system given by the left, top, right and bottom edges
// (y grows upwards where top > bottom). What is drawn stays until cleared.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace velmor {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb RGB(int r, int g, int b) {
  return Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
             static_cast<std::uint8_t>(b)};
}

// Colour value 1 (red 1, green 0, blue 0), the program's "black".
constexpr Rgb kColour1 = RGB(1, 0, 0);
constexpr Rgb kWhite = RGB(255, 255, 255);

class Canvas;

// A drawing handed to a canvas to run while the call lasts: it refers to
// the caller's function object, so handing it over costs no memory.
class Drawing {
 public:
  template <class F>
  requires(!std::is_same_v<std::remove_cvref_t<F>, Drawing>)
      Drawing(const F& draw)  // NOLINT(google-explicit-constructor): a lambda stands for it
      : object_(&draw),
        call_([](const void* object, Canvas& c) { (*static_cast<const F*>(object))(c); }) {}
  void operator()(Canvas& c) const { call_(object_, c); }

 private:
  const void* object_;
  void (*call_)(const void*, Canvas&);
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetScale(double left, double top, double right, double bottom) = 0;
  virtual void Cls() = 0;
  virtual void Line(double x1, double y1, double x2, double y2, Rgb colour) = 0;
  // Radius in user units of the x axis.
  virtual void Circle(double x, double y, double radius, Rgb colour) = 0;
  virtual void PSet(double x, double y, Rgb colour) = 0;
  virtual void SetLineWidth(int width) = 0;
  virtual void SetForeColor(Rgb colour) = 0;
  virtual void SetCurrent(double x, double y) = 0;
  virtual double CurrentX() const = 0;
  virtual double CurrentY() const = 0;
  // Prints with the text's top-left corner at the current position; after a
  // line break the next line starts at the left edge, one text line lower.
  // Afterwards the current position is at the start of the next line.
  virtual void Print(std::string_view text) = 0;

  // Convenience: set the current position, then print.
  void PrintAt(double x, double y, std::string_view text) {
    SetCurrent(x, y);
    Print(text);
  }

  // Points k = 0 … n − 1 at (xy[2k], xy[2k + 1]) in one colour: what n
  // calls of PSet draw.
  virtual void Points(const double* xy, std::size_t n, Rgb colour) {
    for (std::size_t k = 0; k < n; ++k) PSet(xy[2 * k], xy[2 * k + 1], colour);
  }

  // Segments k = 0 … n − 1 from (xy[4k], xy[4k + 1]) to (xy[4k + 2],
  // xy[4k + 3]) in one colour: what n calls of Line draw, for canvases that
  // lay down many short lines more cheaply together.
  virtual void Segments(const double* xy, std::size_t n, Rgb colour) {
    for (std::size_t k = 0; k < n; ++k) {
      Line(xy[4 * k], xy[4 * k + 1], xy[4 * k + 2], xy[4 * k + 3], colour);
    }
  }

  // Drawing that repeats identically (a grid redrawn at every refresh). A
  // canvas may keep what `draw` produced under `key` and lay it down again
  // instead of drawing it anew; the picture must be the same either way. A
  // different `version` under the same key means the drawing changed.
  virtual void Repeated(std::uint64_t key, std::uint64_t version, Drawing draw) {
    (void)key;
    (void)version;
    draw(*this);
  }
};

}  // namespace velmor
