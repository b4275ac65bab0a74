// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loops that wait for something to arrive (beams, fronts, rays) run to a
// budget of steps: a broken engine whose beams never arrive fails its test
// with a message instead of holding the whole suite until the time limit.
#include <gtest/gtest.h>

namespace velmor::testing_support {

// Calls step() until done() holds, at most `budget` times.
template <class Done, class Step>
::testing::AssertionResult StepUntil(const char* what, long long budget, Done done, Step step) {
  for (long long n = 0; n < budget && !done(); ++n) step();
  if (done()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << what << " did not arrive within " << budget << " steps";
}

}  // namespace velmor::testing_support
