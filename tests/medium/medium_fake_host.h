// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A medium window without a window, for the engine tests: choices set by the
// test, fields and questions recorded, a yield that can stop or close.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "medium/medium_host.h"
#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"
#include "support/medium_defaults.h"
#include "workbench/experiment_engine.h"

namespace velmor::medium_testing {

class MediumFakeHost : public MediumHost {
 public:
  bool autoMode = true;
  bool drawing = false;
  bool relativistic = false;
  bool signalOnly = false;
  DensityLaw law = DensityLaw::FromTop;
  FieldDelay delay = FieldDelay::Real;

  std::map<Out, std::string> fields;
  std::vector<std::pair<Out, std::string>> history;
  RecordingCanvas canvas;
  std::deque<bool> answers;  // Yes when empty
  std::vector<std::pair<std::string, std::string>> asked;
  long yields = 0;
  std::function<bool()> onYield;  // false ends the loop as a closing window

  bool AutoMode() const override { return autoMode; }
  bool Drawing() const override { return drawing; }
  bool Relativistic() const override { return relativistic; }
  DensityLaw Law() const override { return law; }
  FieldDelay Delay() const override { return delay; }
  bool SignalOnly() const override { return signalOnly; }
  void Show(Out f, double v) override { Put(f, GeneralForm(Chk(v))); }
  void ShowWhole(Out f, long long v) override { Put(f, WholeText(v)); }
  Canvas& Picture() override { return canvas; }
  bool Ask(const std::string& title, const std::string& text) override {
    asked.emplace_back(title, text);
    if (answers.empty()) return true;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  bool Yield() override {
    ++yields;
    return onYield ? onYield() : true;
  }

  std::string Field(Out f) const {
    const auto it = fields.find(f);
    return it == fields.end() ? "" : it->second;
  }
  // Every value a field has shown, in order.
  std::vector<std::string> Shown(Out f) const {
    std::vector<std::string> out;
    for (const auto& [field, text] : history) {
      if (field == f) out.push_back(text);
    }
    return out;
  }

 private:
  void Put(Out f, std::string text) {
    fields[f] = text;
    history.emplace_back(f, std::move(text));
  }
};

// The medium window's declared defaults.
inline void DefaultInputs(SharedPool& P, MediumState& M) {
  testing::SetMediumDefaults(P, M);
}

// The receiver at rest at (x, y), the source moving along X at `vx`,
// emitting with the period T.
inline void PlaceBodies(SharedPool& P, double x, double y, double vx, double T) {
  P.X(1) = x;
  P.Y(1) = y;
  P.VX(1) = 0;
  P.VX(2) = vx;
  P.T00 = T;
  P.v0 = 1 / T;
}

// An engine run from the medium window's declared defaults.
struct MediumEngineTest : ::testing::Test {
  SharedPool P;
  MediumState M;
  MediumFakeHost host;
  void SetUp() override { DefaultInputs(P, M); }
};

}  // namespace velmor::medium_testing
