// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ui_yield.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>

#include "ui/form_registry.h"

namespace velmor::ui {

namespace yield_detail {
Counts counts;
}  // namespace yield_detail

namespace {

struct YieldState {
  std::function<void()> hook;
  std::chrono::steady_clock::time_point last{};
  std::chrono::steady_clock::time_point lastRead{};
};

// Not a function's static: a loop yields hundreds of thousands of times a
// run, and would test its guard at each.
YieldState state;

// What a loop shows first whenever anything outside it may look.
struct Shower {
  const void* object = nullptr;
  void (*call)(const void*) = nullptr;
  void operator()() const {
    if (call) call(object);
  }
};

bool FullYield(const Shower& showPending, std::chrono::milliseconds every) {
  YieldState& s = state;
  yield_detail::Counts& c = yield_detail::counts;
  ++c.count;
  if (s.hook) {
    showPending();
    s.hook();
  }
  // Reading the clock costs more than a cheap step. It is read every so
  // many calls: twice as many while the reads come less than a millisecond
  // apart, half as many once they come more than two apart, so a loop of
  // cheap steps reads it seldom and one of costly steps still looks in time.
  if (++c.sinceRead >= c.readEvery) {
    c.sinceRead = 0;
    const auto now = std::chrono::steady_clock::now();
    const auto gap = now - s.lastRead;
    s.lastRead = now;
    if (gap < std::chrono::milliseconds(1)) {
      c.readEvery = std::min(c.readEvery * 2, 1024);
    } else if (gap > std::chrono::milliseconds(2)) {
      c.readEvery = std::max(c.readEvery / 2, 1);
    }
    if (now - s.last >= every) {
      s.last = now;
      showPending();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
  }
  return !c.quitting && FormRegistry::AnyOpen();
}

}  // namespace

bool UiYield() {
  return FullYield({}, std::chrono::milliseconds(15));
}

// A look repaints the picture and every field changed since the last one,
// about a millisecond's work: 40 looks a second keep the run smooth to the
// eye and that work small beside the steps.
bool yield_detail::Yield(const void* show, void (*call)(const void*), int everyMs) {
  return FullYield({show, call}, std::chrono::milliseconds(everyMs));
}

void LookOnlyAfterAWhile() {
  state.last = std::chrono::steady_clock::now();
}

long long UiYieldCount() {
  return yield_detail::counts.count;
}

void SetYieldHook(std::function<void()> hook) {
  state.hook = std::move(hook);
  yield_detail::counts.hooked = static_cast<bool>(state.hook);
}

void SetQuitting(bool on) {
  yield_detail::counts.quitting = on;
}
bool Quitting() {
  return yield_detail::counts.quitting;
}

}  // namespace velmor::ui
