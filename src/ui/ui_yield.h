// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The yield of the step loops: lets the user interface run so that a stop
// click is seen, and tells the loop whether it may go on.
#include <functional>

#include "ui/form_registry.h"

namespace velmor::ui {

// Processes pending events (not necessarily at every call: at most about
// every 15 ms, so a loop of cheap steps stays cheap) and returns false once
// the program is quitting or no window of it is open.
bool UiYield();
// The same for a loop that puts off showing what it computes: `showPending`
// runs first whenever anything outside the loop may look (before pending
// events are processed, and before the driver's hook). Such a loop draws a
// picture, and lets the interface look at most about 40 times a second.
template <class Show>
bool UiYield(const Show& showPending);
// UiYield with what to show reached through a plain pointer: a loop yields
// hundreds of thousands of times a run, and wraps nothing for it.
inline bool UiYieldShowing(const void* show, void (*call)(const void*));

namespace yield_detail {
// What every yield looks at. Most yields do nothing more, and are answered
// here, in the loop's own code: the clock is read, the driver's hook run
// and events processed only every so many of them (see ui_yield.cpp).
struct Counts {
  long long count = 0;
  int sinceRead = 0;
  int readEvery = 32;
  bool hooked = false;
  bool quitting = false;
};
extern Counts counts;
bool Yield(const void* show, void (*call)(const void*), int everyMs);
}  // namespace yield_detail

inline bool UiYieldShowing(const void* show, void (*call)(const void*)) {
  yield_detail::Counts& c = yield_detail::counts;
  if (!c.hooked && c.sinceRead + 1 < c.readEvery) {
    ++c.count;
    ++c.sinceRead;
    return !c.quitting && FormRegistry::AnyOpen();
  }
  // A look interval of 25 ms: see ui_yield.cpp.
  return yield_detail::Yield(show, call, 25);
}

template <class Show>
bool UiYield(const Show& showPending) {
  return UiYieldShowing(&showPending,
                        [](const void* show) { (*static_cast<const Show*>(show))(); });
}

// The screen shows the interface as it is now (a run starts from it): the
// next look is due only one interval later, so a run shorter than that is
// painted once, when it ends, rather than also at its first yields.
void LookOnlyAfterAWhile();

// Calls counted since the program started.
long long UiYieldCount();

// The driver's hook, run at every call before anything else.
void SetYieldHook(std::function<void()> hook);

// "Выход": every loop sees false at its next yield.
void SetQuitting(bool on);
bool Quitting();

}  // namespace velmor::ui
