// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A hand-made state written a row at a time: for tests that set up periods
// of an experiment without running it.
#include <initializer_list>

namespace velmor::testing {

// The values go into consecutive places of an array (indexed with ()), from
// `first` on.
template <class Array>
void Fill(Array& array, int first, std::initializer_list<double> values) {
  for (double v : values) array(first++) = v;
}

}  // namespace velmor::testing
