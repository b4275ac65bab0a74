// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An array with explicit lower and upper index bounds; every access is
// checked, and an index outside the bounds is a compute fault, so a run that
// passes the last period ends with its error message instead of reading past
// the array.
#include <cstddef>
#include <vector>

#include "shared/faults.h"

namespace velmor {

template <class T>
class BoundedArray {
 public:
  BoundedArray() = default;
  BoundedArray(int lo, int hi) { Redim(lo, hi); }

  // Reallocates with every entry set to T{} (zero).
  void Redim(int lo, int hi) {
    lo_ = lo;
    hi_ = hi;
    data_.assign(hi >= lo ? static_cast<std::size_t>(hi - lo + 1) : 0, T{});
  }
  void Fill(const T& v) { data_.assign(data_.size(), v); }

  T& operator()(int i) { return data_[Offset(i)]; }
  const T& operator()(int i) const { return data_[Offset(i)]; }

  // Entries from..to in a row; fails as reading the first one missing would.
  const T* Row(int from, int to) const {
    if (to < from) return nullptr;
    Offset(to);
    return &data_[Offset(from)];
  }

  bool Contains(int i) const { return !data_.empty() && i >= lo_ && i <= hi_; }
  int Lo() const { return lo_; }
  int Hi() const { return hi_; }
  bool Empty() const { return data_.empty(); }

 private:
  std::size_t Offset(int i) const {
    if (!Contains(i)) RaiseComputeFault("index out of bounds");
    return static_cast<std::size_t>(i - lo_);
  }
  int lo_ = 0;
  int hi_ = -1;
  std::vector<T> data_;
};

}  // namespace velmor
