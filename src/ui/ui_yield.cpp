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

YieldState& State() {
  static YieldState s;
  return s;
}

bool Yield(const std::function<void()>& showPending, std::chrono::milliseconds every) {
  YieldState& s = State();
  ++s.count;
  if (s.hook) {
    if (showPending) showPending();
    s.hook();
  }
  // Reading the clock every call would cost more than a cheap step; every
  // 32nd call is often enough to keep the interface responsive.
  if ((s.count & 31) == 0) {
    const auto now = std::chrono::steady_clock::now();
    if (now - s.last >= every) {
      s.last = now;
      if (showPending) showPending();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
  }
  return !s.quitting && FormRegistry::AnyOpen();
}

}  // namespace

bool UiYield() {
  return Yield(nullptr, std::chrono::milliseconds(15));
}

bool UiYield(const std::function<void()>& showPending) {
  // A look repaints the picture and every field changed since the last one,
  // about a millisecond's work: 40 looks a second keep the run smooth to the
  // eye and that work small beside the steps.
  return Yield(showPending, std::chrono::milliseconds(25));
}

long long UiYieldCount() {
  return State().count;
}

void SetYieldHook(std::function<void()> hook) {
  State().hook = std::move(hook);
}

void SetQuitting(bool on) {
  State().quitting = on;
}
bool Quitting() {
  return State().quitting;
}

}  // namespace velmor::ui
