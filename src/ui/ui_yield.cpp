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
  std::function<void()> showPending;
  bool quitting = false;
  std::chrono::steady_clock::time_point last{};
};

YieldState& State() {
  static YieldState s;
  return s;
}

}  // namespace

bool UiYield() {
  YieldState& s = State();
  ++s.count;
  if (s.hook) {
    if (s.showPending) s.showPending();
    s.hook();
  }
  // Reading the clock every call would cost more than a cheap step; every
  // 32nd call is often enough to keep the interface responsive.
  if ((s.count & 31) == 0) {
    const auto now = std::chrono::steady_clock::now();
    if (now - s.last >= std::chrono::milliseconds(15)) {
      s.last = now;
      if (s.showPending) s.showPending();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
  }
  return !s.quitting && FormRegistry::AnyOpen();
}

long long UiYieldCount() {
  return State().count;
}

void SetYieldHook(std::function<void()> hook) {
  State().hook = std::move(hook);
}

void SetShowPending(std::function<void()> show) {
  State().showPending = std::move(show);
}

void SetQuitting(bool on) {
  State().quitting = on;
}
bool Quitting() {
  return State().quitting;
}

}  // namespace velmor::ui
