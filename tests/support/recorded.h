// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a recording canvas kept, read several values at once, for tests that
// compare them with a list.
#include <cstddef>
#include <initializer_list>
#include <vector>

#include "shared/recording_canvas.h"

namespace velmor::testing {

using Values = std::vector<double>;

// The user scale: left, top, right, bottom.
inline Values Edges(const RecordingCanvas& c) {
  return {c.Left(), c.Top(), c.Right(), c.Bottom()};
}

// A line's ends x1, y1, x2, y2 (a circle's x, y, radius; a point's or a
// text's x, y).
inline Values Coordinates(const CanvasOp& op) {
  return {op.a, op.b, op.c, op.d};
}

// Where a point or a text stands: x, y.
inline Values Place(const CanvasOp& op) {
  return {op.a, op.b};
}

// The elements at the given places.
template <class T>
std::vector<T> At(const std::vector<T>& all, std::initializer_list<std::size_t> places) {
  std::vector<T> out;
  for (std::size_t i : places) out.push_back(all.at(i));
  return out;
}

}  // namespace velmor::testing
