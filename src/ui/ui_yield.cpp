// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ui_yield.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>

#include "ui/form_registry.h"

namespace velmor::ui {

namespace {

struct YieldState {
  long long count = 0;
  std::function<void()> hook;
  bool quitting = false;
  std::chrono::steady_clock::time_point last{};
  // The clock is read every `readEvery` calls (see Yield).
  int readEvery = 32;
  int sinceRead = 0;
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

bool Yield(const Shower& showPending, std::chrono::milliseconds every) {
  YieldState& s = state;
  ++s.count;
  if (s.hook) {
    showPending();
    s.hook();
  }
  // Reading the clock costs more than a cheap step. It is read every so
  // many calls: twice as many while the reads come less than a millisecond
  // apart, half as many once they come more than two apart, so a loop of
  // cheap steps reads it seldom and one of costly steps still looks in time.
  if (++s.sinceRead >= s.readEvery) {
    s.sinceRead = 0;
    const auto now = std::chrono::steady_clock::now();
    const auto gap = now - s.lastRead;
    s.lastRead = now;
    if (gap < std::chrono::milliseconds(1)) {
      s.readEvery = std::min(s.readEvery * 2, 1024);
    } else if (gap > std::chrono::milliseconds(2)) {
      s.readEvery = std::max(s.readEvery / 2, 1);
    }
    if (now - s.last >= every) {
      s.last = now;
      showPending();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
  }
  return !s.quitting && FormRegistry::AnyOpen();
}

}  // namespace

bool UiYield() {
  return Yield({}, std::chrono::milliseconds(15));
}

bool UiYieldShowing(const void* show, void (*call)(const void*)) {
  // A look repaints the picture and every field changed since the last one,
  // about a millisecond's work: 40 looks a second keep the run smooth to the
  // eye and that work small beside the steps.
  return Yield({show, call}, std::chrono::milliseconds(25));
}

void LookOnlyAfterAWhile() {
  state.last = std::chrono::steady_clock::now();
}

long long UiYieldCount() {
  return state.count;
}

void SetYieldHook(std::function<void()> hook) {
  state.hook = std::move(hook);
}

void SetQuitting(bool on) {
  state.quitting = on;
}
bool Quitting() {
  return state.quitting;
}

}  // namespace velmor::ui
