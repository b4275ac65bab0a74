// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ui_yield.h"

#include <QCoreApplication>
#include <chrono>

#include "ui/form_registry.h"

namespace velmor::ui {

namespace {

struct YieldState {
  long long count = 0;
  std::function<void()> hook;
  bool quitting = false;
  std::chrono::steady_clock::time_point last{};
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
  // Reading the clock every call would cost more than a cheap step; every
  // 32nd call is often enough to keep the interface responsive.
  if ((s.count & 31) == 0) {
    const auto now = std::chrono::steady_clock::now();
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
