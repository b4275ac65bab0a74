// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's default experiment in the pool, as its declared fields
// and "1-Задать T00, с" would leave it: for tests and benchmarks that run the
// engine without the window.
#include <optional>

namespace velmor {

struct SharedPool;

namespace testing {

class DeclaredForm;

// Also the start-up constants; T00 is the declared one unless given.
void SetDefaultExperiment(SharedPool& P, std::optional<double> T00 = std::nullopt);

// The start-up constants and the fields the main and the medium window both
// have (bodies, Vs, picture scale, time step, NC0, T00) where a start puts
// them, from a window's declared form.
void SetDeclaredExperiment(SharedPool& P, const DeclaredForm& form);

}  // namespace testing
}  // namespace velmor
