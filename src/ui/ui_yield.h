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

// Calls counted since the program started.
long long UiYieldCount();

// The driver's hook, run at every call before anything else.
void SetYieldHook(std::function<void()> hook);

// What a running loop has yet to show in its window's fields: done before
// the interface next looks at them (before events are processed or the
// driver's hook runs), so a loop need not write its fields at every step.
// Empty when no loop defers anything.
void SetShowPending(std::function<void()> show);

// "Выход": every loop sees false at its next yield.
void SetQuitting(bool on);
bool Quitting();

}  // namespace velmor::ui
