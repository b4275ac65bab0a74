// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas that keeps nothing: for running an engine without a picture
// (benchmarks, long tests). Repeated drawing is skipped altogether.
#include "shared/canvas.h"

namespace velmor {

class NullCanvas : public Canvas {
 public:
  void SetScale(double, double, double, double) override {}
  void Cls() override {}
  void Line(double, double, double, double, Rgb) override {}
  void Circle(double, double, double, Rgb) override {}
  void PSet(double, double, Rgb) override {}
  void SetLineWidth(int) override {}
  void SetForeColor(Rgb) override {}
  void SetCurrent(double, double) override {}
  double CurrentX() const override { return 0; }
  double CurrentY() const override { return 0; }
  void Print(std::string_view) override {}
  void Repeated(std::uint64_t, std::uint64_t, Drawing) override {}
};

}  // namespace velmor
