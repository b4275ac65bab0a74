// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's default experiment in the pool, as its fields and
// "1-Задать T00, с" would leave it: for tests and benchmarks that run the
// engine without the window.
namespace velmor {

struct SharedPool;

void SetDefaultExperiment(SharedPool& pool, double T00 = 5);

}  // namespace velmor
