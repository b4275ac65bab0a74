// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas that keeps a list of what was drawn on it, for tests of drawing
// routines without a display.
#include <string>
#include <vector>

#include "shared/canvas.h"

namespace velmor {

struct CanvasOp {
  enum class Kind { Scale, Cls, Line, Circle, Point, Text, LineWidth };
  Kind kind;
  double a = 0, b = 0, c = 0, d = 0;  // coordinates (x1 y1 x2 y2, x y r, ...)
  Rgb colour;
  std::string text;
  int width = 1;
};

class RecordingCanvas : public Canvas {
 public:
  void SetScale(double left, double top, double right, double bottom) override;
  void Cls() override;
  void Line(double x1, double y1, double x2, double y2, Rgb colour) override;
  void Circle(double x, double y, double radius, Rgb colour) override;
  void PSet(double x, double y, Rgb colour) override;
  void SetLineWidth(int width) override;
  void SetForeColor(Rgb colour) override { fore_ = colour; }
  void SetCurrent(double x, double y) override {
    x_ = x;
    y_ = y;
  }
  double CurrentX() const override { return x_; }
  double CurrentY() const override { return y_; }
  void Print(std::string_view text) override;

  const std::vector<CanvasOp>& Ops() const { return ops_; }
  std::vector<CanvasOp> OpsOf(CanvasOp::Kind kind) const;
  std::size_t Count(CanvasOp::Kind kind) const;
  // Texts printed since the last clear, in order.
  std::vector<std::string> Texts() const;
  void Reset() { ops_.clear(); }
  int LineWidth() const { return width_; }
  double Left() const { return left_; }
  double Top() const { return top_; }
  double Right() const { return right_; }
  double Bottom() const { return bottom_; }

 private:
  std::vector<CanvasOp> ops_;
  Rgb fore_ = kColour1;
  int width_ = 1;
  double x_ = 0, y_ = 0;
  double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  // One text line in user units; a tenth of the height keeps lines apart.
  double LineHeight() const { return (top_ - bottom_) / 40.0; }
};

}  // namespace velmor
