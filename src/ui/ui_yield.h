// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The yield of the step loops: lets the user interface run so that a stop
// click is seen, and tells the loop whether it may go on.
#include <functional>

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
bool UiYieldShowing(const void* show, void (*call)(const void*));

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
