#pragma once
// What the interferometer benchmarks share: a picture that draws nothing
// and a pool with the start-up constants.
#include <string_view>

#include "shared/canvas.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor::bench {

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
};

inline SharedPool& BenchPool() {
  static SharedPool pool = [] {
    SharedPool p;
    SetStartupConstants(p);
    return p;
  }();
  return pool;
}

}  // namespace velmor::bench
